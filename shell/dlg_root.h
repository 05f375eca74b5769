#pragma once
// The one visible window: the skinned root dialog. It builds every page once,
// shows one at a time through its view states and page history, hands out
// the pooled message pages, answers the messages it asked itself, and owns
// the title buttons' rules (exit, settings, logout).
#include "afx/afx.h"
#include "shell/scan/guest_catalog.h"
#include "shell/shell_frame.h"
#include "ui/base_dialog.h"
#include "ui/dlang.h"

#include <functional>
#include <list>
#include <vector>

class CBaseChildDialog;
class CDlgPageLogin;
class CDlgPageConfig;
class CDlgConfMsg;
class CDlgCarReg;
class CDlgCarChange;
class CDlgCarUpdate;
class CDlgCarFinish;
class CDlgInfoPopup;
class CDlgJoinMsg;
class CDlgHidden;
class CDlgHiddenPWD;
class CDlgPageMessageExit;
class CDlgPageMessageForConfig;
class CDlgInfoImagePopup;
class CDlgPageMessage;
class InfInfo;
class InfInfoList;
struct stNoticeResult;

namespace Gdiplus { class Bitmap; }

// TRUE while the folder picker of browseFolder is open; the message pages'
// answers and the settings button wait for it to close.
extern BOOL g_bFolderPickerOpen;

class CDlgRoot : public CBaseDialog {
public:
    explicit CDlgRoot(IShellFrame* mainFrame);
    ~CDlgRoot() override;

    // ---- page factory
    void createPages();
    void destroyPages();

    // ---- views, history and the message-page pool
    // 0 when view is already the current view, 1 otherwise.
    int pushViewPage(int view, BOOL show) override;
    void pullViewPage();
    void hidePagesExcept(int view);
    // A free page (or the open one), created when none qualifies; null only
    // when no page window can be made.
    CDlgPageMessage* getMessagePage(int type);
    CDlgPageMessage* findMessagePage(int type);
    int getViewStatus() const override { return m_eViewStatus; }
    // Title buttons on and the registration or change page showing, whatever
    // view id a pull left behind.
    BOOL allowsHiddenMode() const override;

    // ---- title buttons
    // kind 0 settings, 1 the page's exit lock (FALSE locks), 2 logout.
    void enableTopButton(int kind, CWnd* page, BOOL enable);
    BOOL updateTopButtons();
    BOOL isConfigPageCurrent() const;
    BOOL isLoginPageCurrent() const;
    static BOOL isRestrictedRegion(int region, int corp);

    void setFinishResult(InfInfo* entry, char drive);
    // Any thread: the record is copied and handed to the UI thread.
    void showNotices(const stNoticeResult& notice);

    // ---- the medium scan and the first page after a sign-in
    // Continues a successful sign-in: the hidden hand-over, else the scan
    // of the media and the page or message that follows from it.
    void AutoMatchAndLastMode();
    // 1 when a vehicle matched or a software-version medium was seen.
    int scanVerFiles();
    // Message 1000 when corp's catalogue lists the medium's model.
    BOOL findMediumInCatalog(int corp);
    // FALSE only when no message page could be had.
    BOOL showPageAfterLogin();
    // The registration page's destination tag for a medium on drive ("X").
    void readRegVer(InfInfo* entry, const CString& drive);
    // The same for an earlier download in the download folder; the text is
    // not used.
    void readLastReg(InfInfo* entry, const CString& unused = CString());
    // From "X:" (or "X:\"); the identifier goes to m_strConfigurationId.
    BOOL readConfigurationId(const CString& driveRoot);
    static void mergeInfTails(InfInfoList* list);
    static void mergeTailMaps(InfFileTailMap* target, const InfFileTailMap* source);
    // A brand's guest catalogue; the scans ask through it.
    static BOOL requestGuestCatalog(InfInfoList*& catalog, int corp);
    // Where the catalogues come from; empty puts the service back.
    static void setGuestCatalogSource(GuestCatalogRequest source);

    // ---- the consent report (region KR)
    // Captures the answers, user and brand here and reports them on a
    // worker thread of below-normal priority.
    void startUserPrivateThread();
    // param: a report captured by the UI thread (UserPrivateReport*), which
    // the thread deletes.
    static UINT UserPrivateThread(LPVOID param);
    // The same report on the calling thread; the reply's code.
    int requestUserPrivate();

    // ---- the vehicle and navigation-unit pictures
    CString getVehicleImagePath(InfInfo* entry);
    CString getGpsImagePath(InfInfo* entry);
    static bool get_remote_image(const CString& url, const CString& localPath);
    void setVehicleImage(CWnd* control, InfInfo* entry);
    void setGpsImage(CWnd* control, InfInfo* entry);
    void setPngOnStatic(CWnd* control, UINT pngId);
    static Gdiplus::Bitmap* loadBitmapFile(const CString& path);

    // ---- results, exit and session
    void OnBnClickedButtonExit();
    LRESULT OnRegisteredMessage_MessageResult(WPARAM result, LPARAM type);
    void OnResetSession();
    void OnBnClickedButtonConfig();
    void returnToLogin(int corp);
    void cleanDownloadFolder();
    BOOL closeExplorerWindows(const CString& text);
    void broadcastConfigClosed();
    // The chosen folder, empty when cancelled. The second text is not used.
    CString browseFolder(const CString& initialFolder, const CString& unused = CString());

    // The folder picker behind browseFolder; tests answer without a modal
    // window. Empty puts the real picker back.
    using FolderPicker = std::function<CString(CWnd* owner, const CString& initialFolder)>;
    static void setFolderPicker(FolderPicker picker);
    // The shell windows behind closeExplorerWindows: each open folder
    // window's path, and the close. Empty puts the real enumeration back.
    struct ShellWindow {
        HWND hwnd;
        CString path;
    };
    using ShellWindowLister = std::function<bool(std::vector<ShellWindow>& windows)>;
    static void setShellWindowLister(ShellWindowLister lister);
    // path is folder itself or lies under it (no substring match).
    static bool isPathAtOrUnder(const CString& path, const CString& folder);

    BOOL PreTranslateMessage(MSG* msg) override;

    // ---- members, in the order the pages know them
    int m_nCorp = 0;
    CDlgPageLogin* m_pPageLogin = nullptr;
    CDlgPageConfig* m_pPageConfig = nullptr;
    CBaseChildDialog* m_pCurPage = nullptr;
    CDlgConfMsg* m_pPageConfMsg = nullptr;
    CDlgCarReg* m_pPageCarReg = nullptr;
    CDlgCarChange* m_pPageCarChange = nullptr;
    CDlgCarUpdate* m_pPageCarUpdate = nullptr;
    CDlgCarFinish* m_pPageCarFinish = nullptr;
    CDlgInfoPopup* m_pPageInfoPopup = nullptr;
    CDlgJoinMsg* m_pPageJoinMsg = nullptr;
    CDlgHidden* m_pPageHidden = nullptr;
    CDlgHiddenPWD* m_pPageHiddenPWD = nullptr;
    CDlgPageMessageExit* m_pPageExit = nullptr;
    CDlgPageMessageForConfig* m_pPageMsgForConfig = nullptr;
    CDlgInfoImagePopup* m_pPageInfoImagePopup = nullptr;
    std::list<CDlgPageMessage*>* m_pMessagePages = nullptr;
    CDlgPageMessage* m_pCurMessagePage = nullptr;
    CDlgPageMessage* m_pShownMessagePage = nullptr;
    IShellFrame* m_pMainFrame;
    int m_eViewStatus;
    int m_eBaseViewStatus;
    int m_eBaseViewStatusOld;
    std::vector<CBaseChildDialog*> m_vecPageHistory;
    CString m_strMediumCarName;
    CString m_strMediumCarNameIntl;
    CString m_strMediumSwVersion;
    CString m_strLastRegSwVersion;
    CString m_strLastRegInfVersion;
    int m_bDestIsDrive = 0;
    int m_bFirstOpenShown = 0;
    int m_bSettingsChanged = 0;
    int m_nMediumVerCorp = 0;
    std::atomic<int> m_bMessageReshown{0};
    Gdiplus::Bitmap* m_pFallbackPicture = nullptr;
    CString m_strInfBaseName;
    int m_bMediumOtherCorp = 0;
    int m_bMediumUnmatched = 0;
    int m_bMatchMessageShown = 0;
    int m_nMediumCorp = 0;
    int m_nAccountCorp = 0;
    CString m_strMediumModelCode;
    CString m_strConfigurationId;
    int m_bHasRegisteredVehicle = 0;
    std::atomic<int> m_bUpdateHeld{0};
    std::atomic<int> m_bTransferIdle{1};
    int m_bHiddenHandOver = 0;
    HWND m_hHiddenRequester = nullptr;
    CDLang m_lang;

    // The exit-lock list of the base: the exit button is enabled only while
    // it is empty.
    PageList& exitLocks() { return m_lstPage[1]; }
    // The root of a page; null when it has none or a page runs under
    // another root (a test's).
    static CDlgRoot* of(CBaseDialog* root) { return dynamic_cast<CDlgRoot*>(root); }

protected:
    BOOL OnInitDialog() override;
    virtual void OnPaint();
    void OnGetMinMaxInfo(MINMAXINFO* info);
    void OnTimer(UINT_PTR id);
    void OnDestroy();
    LRESULT OnShowNotices(WPARAM wParam, LPARAM lParam);
    void OnBnClickedButtonLogout();
    void OnHiddenButton();
    void OnChangeLanguageButton();
    void OnUsbOverButton();
    DECLARE_MESSAGE_MAP()

private:
    CBaseChildDialog* pageOfView(int view) const;
    bool isBaseView(int view) const;
    void refreshExitButton();
    void showSignedInButtons();
    void confirmedExitEngineSteps();
    void sendToPages(UINT message);
};
