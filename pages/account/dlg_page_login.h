#pragma once
// Login page (view VIEW_STATE_LOGIN): member, non-member and dealer sign-in
// for one of the three brands, the saved sign-in per brand, and the login
// worker that sends the request. The worker reads only the attempt's values
// fixed before it starts and hands every result to the UI thread through the
// three worker messages; the handlers do the rest on the UI thread.
#include "pages/account/call_log.h"
#include "pages/account/login_layout.h"
#include "ui/base_child_dialog.h"
#include "ui/edit_ctrl.h"
#include "ui/edit_placeholder_text.h"
#include "ui/png_button.h"
#include "ui/png_with_text_button.h"
#include "ui/static_ex.h"

#include <atomic>
#include <map>

class CDlgRoot;
class IShellFrame;
class InfInfoList;
class InfInfo;

// A non-member entry was chosen (set by the non-member entries, cleared by
// the page's reset); what follows a sign-in and the message pages read it.
extern BOOL g_bGuestLogin;

struct SavedLoginInfo {
    CString strID;
    CString strPassword;
    int nSave = 0;
    int nAuto = 0;
    int nWrongNotice = 0;
};

class CDlgPageLogin : public CBaseChildDialog {
public:
    explicit CDlgPageLogin(CBaseDialog* root);
    ~CDlgPageLogin() override;

    // ---- what the shell and the other pages call
    BOOL showPage(BOOL show) override;
    BOOL initPage() override;
    void showWaiting(int type) override;
    void focusPassword();
    void loadSavedLoginInfo(int corp);
    void matchLastVehicle();
    void selectBrand(int corp);
    void resetPage();
    void autoGuestLogin();
    void loginWithIdPassword(const CString& id, const CString& password);
    void OnBnClickedButtonNnTs();
    void OnBnClickedButtonNnLv();
    void OnBnClickedButtonNnDr();

    // What the shell called on the page, one entry per call ("name" or
    // "name(arguments)"); the shell's tests count them.
    void recordCall(const CString& entry) { m_log.record(entry); }
    std::vector<CString> calls() const { return m_log.entries(); }
    int callCount(const CString& entry) const { return m_log.count(entry); }
    void clearCalls() { m_log.clear(); }

    // ---- the worker (runs on its own thread)
    static UINT threadLogin(LPVOID param);
    int TryLogin();
    // The worker of the running attempt has ended (or none ran).
    BOOL isWorkerRunning() const { return m_hWorker && WaitForSingleObject(m_hWorker, 0) == WAIT_TIMEOUT; }
    // Waits, pumping, until a running worker has ended.
    void joinWorker();

    // ---- members the shell reads (names kept)
    // Brand (corp id) the page shows.
    int m_nCorp = 0;
    // Pressed brand-column button: 1 TS, 2 LV, 3 DR, 5 non-member, 4 none.
    int m_nCorpButton = 4;
    int m_nUserType = 0;  // USER_TYPE_MEMBER or USER_TYPE_GUEST
    // The ID entered for the last attempt (header title, consent report).
    CString m_strUserID;
    // For the statistics record of a sign-out to another brand.
    int m_nSignedInCorp = 0;
    int m_nLoginKind = 0;

    // ---- state (Part of the page's own rules)
    BOOL m_bDealerMode = FALSE;
    BOOL m_bAllBrands = FALSE;
    BOOL m_bHiddenLogin = FALSE;
    BOOL m_bAutoGuest = FALSE;
    BOOL m_bNoAutoLogin = FALSE;
    BOOL m_bSelectionLoaded = FALSE;
    BOOL m_bFirstSaveTick = TRUE;
    BOOL m_bShownOnce = FALSE;
    BOOL m_bWaitingStarted = FALSE;
    BOOL m_bTitleTwoLines = FALSE;  // the loaded title breaks into two lines
    std::map<int, SavedLoginInfo> m_mapSavedLogin;
    // The edits' values moved by UpdateData.
    CString m_strFormID;
    CString m_strFormPassword;
    CString m_strLastID;
    CString m_strLastPassword;
    // What the worker of the running attempt reads; fixed before it starts.
    CString m_strWorkerID;
    CString m_strWorkerPassword;
    int m_nAttemptCorp = 0;
    int m_nAttemptUserType = 0;
    BOOL m_bAttemptDealer = FALSE;
    BOOL m_bAttemptHidden = FALSE;
    // Written by the worker while the UI thread waits in SendMessage.
    CString m_strServerText;
    std::atomic<int> m_nRetry900{0};
    // The list of a successful attempt until the worker hands it over.
    InfInfoList* m_pSuccessList = nullptr;

    // ---- controls
    CStaticEx m_staticLoading1, m_staticLoading2, m_staticTitle, m_staticTitle2, m_staticWrong;
    CStatic m_staticBrandImg;
    CPngButton m_btnTs, m_btnLv, m_btnDr, m_btnNn, m_btnNnTs, m_btnNnLv, m_btnNnDr;
    CEditPlaceholderText m_editID, m_editPwd;
    CEditCtrl m_editIDFrame, m_editPwdFrame;  // disabled, white
    CPngButton m_checkSave, m_checkAuto;
    CPngWithTextButton m_staticCheckSave, m_staticCheckAuto;
    CPngButton m_btnLogin, m_btnLoginNm;
    CPngWithTextButton m_linkFind, m_linkJoin, m_btnDealer;

    // ---- layout and look
    LoginLayoutInput layoutInput() const;
    void initControls();
    void applyFonts();
    void loadTexts();
    void layoutCheckTexts();
    void fitCheckText(CPngWithTextButton& label, const RECT& rect);
    void layoutControls();
    void showMemberForm(int userType);
    void updateGuestButtons();
    void showBrandPicture(int corp);

    // ---- form rules
    void updateLoginButtons();
    void storeLoginInfo();
    void setWrongNoticeShown(BOOL shown);

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    BOOL PreTranslateMessage(MSG* msg) override;
    virtual void OnPaint();
    virtual void fillBackground(CDC* dc);
    BOOL OnEraseBkgnd(CDC* dc);
    void OnDestroy();
    void OnShowWindow(BOOL show, UINT status);

    void OnBnClickedButtonLogin();
    void OnBnClickedButtonLoginNm();
    void OnBnClickedButtonTs();
    void OnBnClickedButtonLv();
    void OnBnClickedButtonDr();
    void OnBnClickedButtonNn();
    void OnBnClickedCheckIdSave();
    void OnBnClickedCheckIdAuto();
    void OnClickedStaticCheckIdSave();
    void OnClickedStaticCheckIdAuto();
    void OnBnClickedDealer();
    void OnEnUpdateEdit();
    LRESULT OnEditEnter(WPARAM wParam, LPARAM lParam);
    LRESULT OnRepaintTopBar(WPARAM wParam, LPARAM lParam);
    LRESULT OnPendingJoin(WPARAM wParam, LPARAM lParam);
    LRESULT OnThreadStart(WPARAM wParam, LPARAM lParam);
    LRESULT OnLoginProcess(WPARAM wParam, LPARAM lParam);
    LRESULT OnThreadEnd(WPARAM wParam, LPARAM lParam);
    LRESULT OnRegisteredMessage_MessageResult(WPARAM wParam, LPARAM lParam);
    LRESULT OnChangeLanguagePage(WPARAM wParam, LPARAM lParam);
    LRESULT OnConfigClosed(WPARAM wParam, LPARAM lParam);
    LRESULT OnExitProgramCancel(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    CDlgRoot* root() const;
    IShellFrame* frame() const;
    void applyLastSelection(int corp, int userType);
    void setLoginKind(int corp, int userType, BOOL update);
    void applySavedLoginInfo(int corp);
    void selectBrandButton(int corp, CPngButton& button);
    void nonMemberLogin(int corp);
    void startGuestLogin();
    void startWorker(BOOL hidden);
    void clearRootSession();
    void repaintRootBars();
    void restoreEdits(BOOL withPassword);
    void enableEdits(BOOL enable);
    void handlePendingJoin();
    void applyFirstOpenEula();
    void refreshBusyState();
    CString editText(CEditPlaceholderText& edit) const;
    std::vector<CPngButton*> brandColumnButtons();

    HANDLE m_hWorker = nullptr;
    Gdiplus::Bitmap* m_pEmblem = nullptr;
    Gdiplus::Bitmap* m_pNnBack = nullptr;
    Gdiplus::Bitmap* m_pSpare = nullptr;
    Gdiplus::Bitmap* m_pDealerMark = nullptr;
    HBITMAP m_hBrandBitmap = nullptr;
    BOOL m_bJoinPosted = FALSE;
    CallLog m_log;
};
