#pragma once
// The one visible window: the skinned root dialog. It builds every page once,
// shows one at a time through its view states and page history, hands out
// the pooled message pages, answers the messages it asked itself, and owns
// the title buttons' rules (exit, settings, logout).
#include "afx/afx.h"
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
    int m_bMessageReshown = 0;
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
    int m_bUpdateHeld = 0;
    int m_bTransferIdle = 1;
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
