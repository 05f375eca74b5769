#include "pages/account/dlg_page_login.h"

#include "foundation/code_tables.h"
#include "foundation/current_ui.h"
#include "foundation/globalfunc.h"
#include "foundation/lastmodeinfo.h"
#include "foundation/logmanager.h"
#include "foundation/message_pump.h"
#include "foundation/private_messages.h"
#include "foundation/program_strings.h"
#include "foundation/registered_messages.h"
#include "foundation/regsetting.h"
#include "pages/account/login_texts.h"
#include "resources/resource.h"
#include "shell/dlg_page_message.h"
#include "shell/dlg_root.h"
#include "shell/message_types.h"
#include "ui/lang_library.h"
#include "webclient/api_endpoints.h"
#include "ui/font_cache.h"
#include "ui/session_flags.h"
#include "ui/view_state.h"

BOOL g_bGuestLogin = FALSE;

BEGIN_MESSAGE_MAP(CDlgPageLogin, CBaseChildDialog)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_DESTROY()
    ON_WM_SHOWWINDOW()
    ON_BN_CLICKED(IDC_BUTTON_LOGIN, &CDlgPageLogin::OnBnClickedButtonLogin)
    ON_BN_CLICKED(IDC_BUTTON_LOGIN_NM, &CDlgPageLogin::OnBnClickedButtonLoginNm)
    ON_BN_CLICKED(IDC_BUTTON_TS, &CDlgPageLogin::OnBnClickedButtonTs)
    ON_BN_CLICKED(IDC_BUTTON_LV, &CDlgPageLogin::OnBnClickedButtonLv)
    ON_BN_CLICKED(IDC_BUTTON_DR, &CDlgPageLogin::OnBnClickedButtonDr)
    ON_BN_CLICKED(IDC_BUTTON_NN, &CDlgPageLogin::OnBnClickedButtonNn)
    ON_BN_CLICKED(IDC_BUTTON_NN_TS, &CDlgPageLogin::OnBnClickedButtonNnTs)
    ON_BN_CLICKED(IDC_BUTTON_NN_LV, &CDlgPageLogin::OnBnClickedButtonNnLv)
    ON_BN_CLICKED(IDC_BUTTON_NN_DR, &CDlgPageLogin::OnBnClickedButtonNnDr)
    ON_EN_UPDATE(IDC_EDIT_ID, &CDlgPageLogin::OnEnUpdateEdit)
    ON_EN_UPDATE(IDC_EDIT_PWD, &CDlgPageLogin::OnEnUpdateEdit)
    ON_BN_CLICKED(IDC_CHECK_IDSAVE, &CDlgPageLogin::OnBnClickedCheckIdSave)
    ON_BN_CLICKED(IDC_CHECK_IDAUTO, &CDlgPageLogin::OnBnClickedCheckIdAuto)
    ON_STN_CLICKED(IDC_STATIC_CHECK_ID_SAVE, &CDlgPageLogin::OnClickedStaticCheckIdSave)
    ON_STN_CLICKED(IDC_STATIC_CHECK_ID_AUTO, &CDlgPageLogin::OnClickedStaticCheckIdAuto)
    ON_STN_CLICKED(IDC_STATIC_DEALER, &CDlgPageLogin::OnBnClickedDealer)
    ON_MESSAGE(UM_EDIT_ENTER, &CDlgPageLogin::OnEditEnter)
    ON_MESSAGE(WM_USER + 777, &CDlgPageLogin::OnRepaintTopBar)
    ON_MESSAGE(UM_LOGIN_PENDING_JOIN, &CDlgPageLogin::OnPendingJoin)
    ON_REGISTERED_MESSAGE(RWM_THREAD_START, &CDlgPageLogin::OnThreadStart)
    ON_REGISTERED_MESSAGE(RWM_LOGIN_PROCESS, &CDlgPageLogin::OnLoginProcess)
    ON_REGISTERED_MESSAGE(RWM_THREAD_END, &CDlgPageLogin::OnThreadEnd)
    ON_REGISTERED_MESSAGE(RWM_MESSAGE_RESULT, &CDlgPageLogin::OnRegisteredMessage_MessageResult)
    ON_REGISTERED_MESSAGE(RWM_CHANGE_LANGUAGE, &CDlgPageLogin::OnChangeLanguagePage)
    ON_REGISTERED_MESSAGE(RWM_CONFIG_CLOSED, &CDlgPageLogin::OnConfigClosed)
    ON_REGISTERED_MESSAGE(RWM_EXIT_PROGRAM_CANCEL, &CDlgPageLogin::OnExitProgramCancel)
END_MESSAGE_MAP()

CDlgPageLogin::CDlgPageLogin(CBaseDialog* root)
    : CBaseChildDialog(IDD_PAGE_LOGIN, root) {
    m_ePageViewStatus = VIEW_STATE_LOGIN;
}

CDlgPageLogin::~CDlgPageLogin() {
    joinWorker();
    delete m_pEmblem;
    delete m_pNnBack;
    delete m_pSpare;
    delete m_pDealerMark;
    if (m_hBrandBitmap) DeleteObject(m_hBrandBitmap);
}

CDlgRoot* CDlgPageLogin::root() const { return CDlgRoot::of(getRootDlg()); }

IShellFrame* CDlgPageLogin::frame() const {
    CDlgRoot* r = root();
    return r ? r->m_pMainFrame : nullptr;
}

void CDlgPageLogin::joinWorker() {
    if (!m_hWorker) return;
    // The worker sends its messages to this window: keep them flowing.
    while (WaitForSingleObject(m_hWorker, 0) == WAIT_TIMEOUT) waitPumpingMessages(10);
    CloseHandle(m_hWorker);
    m_hWorker = nullptr;
}

void CDlgPageLogin::DoDataExchange(CDataExchange* dx) {
    DDX_Control(dx, IDC_STATIC_LOADING1, m_staticLoading1);
    DDX_Control(dx, IDC_STATIC_LOADING2, m_staticLoading2);
    DDX_Control(dx, IDC_STATIC_TITLE, m_staticTitle);
    DDX_Control(dx, IDC_STATIC_TITLE_LINE2, m_staticTitle2);
    DDX_Control(dx, IDC_STATIC_IDPWD_WRONG, m_staticWrong);
    DDX_Control(dx, IDC_BRAND_IMG, m_staticBrandImg);
    DDX_Control(dx, IDC_BUTTON_TS, m_btnTs);
    DDX_Control(dx, IDC_BUTTON_LV, m_btnLv);
    DDX_Control(dx, IDC_BUTTON_DR, m_btnDr);
    DDX_Control(dx, IDC_BUTTON_NN, m_btnNn);
    DDX_Control(dx, IDC_BUTTON_NN_TS, m_btnNnTs);
    DDX_Control(dx, IDC_BUTTON_NN_LV, m_btnNnLv);
    DDX_Control(dx, IDC_BUTTON_NN_DR, m_btnNnDr);
    DDX_Control(dx, IDC_EDIT_ID, m_editID);
    DDX_Control(dx, IDC_EDIT_PWD, m_editPwd);
    DDX_Control(dx, IDC_EDIT_ID_FRAME, m_editIDFrame);
    DDX_Control(dx, IDC_EDIT_PWD_FRAME, m_editPwdFrame);
    DDX_Control(dx, IDC_CHECK_IDSAVE, m_checkSave);
    DDX_Control(dx, IDC_CHECK_IDAUTO, m_checkAuto);
    DDX_Control(dx, IDC_STATIC_CHECK_ID_SAVE, m_staticCheckSave);
    DDX_Control(dx, IDC_STATIC_CHECK_ID_AUTO, m_staticCheckAuto);
    DDX_Control(dx, IDC_BUTTON_LOGIN, m_btnLogin);
    DDX_Control(dx, IDC_BUTTON_LOGIN_NM, m_btnLoginNm);
    DDX_Control(dx, IDC_BUTTON_LINK_FIND_ACC_PWD, m_linkFind);
    DDX_Control(dx, IDC_BUTTON_LINK_USERJOIN, m_linkJoin);
    DDX_Control(dx, IDC_STATIC_DEALER, m_btnDealer);
    DDX_Text(dx, IDC_EDIT_ID, m_strFormID);
    DDX_Text(dx, IDC_EDIT_PWD, m_strFormPassword);
}

CString CDlgPageLogin::editText(CEditPlaceholderText& edit) const {
    CString text;
    if (edit.GetSafeHwnd()) edit.GetWindowText(text);
    return text;
}

void CDlgPageLogin::applyFirstOpenEula() {
    if (CRegSetting::isSendVcrmDesc1() && CRegSetting::isSendVcrmDesc2()) CRegSetting::setFirstOpenEula();
}

BOOL CDlgPageLogin::OnInitDialog() {
    CBaseChildDialog::OnInitDialog();
    CDLang::moveWnd(getRootDlg(), this, 0, 60, 900, 590, 0);
    m_bDealerMode = FALSE;
    if (IShellFrame* f = frame()) f->setDealerLogin(FALSE);
    initControls();
    loadTexts();
    applyLastSelection(CRegSetting::getLastUserCorp(), CRegSetting::getLastUserType());
    applyFirstOpenEula();
    showWaiting(0);
    applyFonts();
    layoutControls();
    if (IShellFrame* f = frame()) f->setVehicleList(nullptr);
    g_bSignedIn = FALSE;
    autoGuestLogin();
    return TRUE;
}

// ---- selection

void CDlgPageLogin::applyLastSelection(int corp, int) {
    m_bSelectionLoaded = FALSE;
    if (corp == CORP_LV) {
        OnBnClickedButtonLv();
    } else if (corp == CORP_DR) {
        OnBnClickedButtonDr();
    } else {
        OnBnClickedButtonTs();
    }
    m_bSelectionLoaded = TRUE;
    updateLoginButtons();
}

void CDlgPageLogin::selectBrandButton(int corp, CPngButton& button) {
    if (m_nCorpButton == corp) {
        if (button.GetSafeHwnd()) button.setCheck(1);
        return;
    }
    m_nCorpButton = corp;
    selectBrand(corp);
}

void CDlgPageLogin::OnBnClickedButtonTs() { selectBrandButton(CORP_TS, m_btnTs); }
void CDlgPageLogin::OnBnClickedButtonLv() { selectBrandButton(CORP_LV, m_btnLv); }
void CDlgPageLogin::OnBnClickedButtonDr() { selectBrandButton(CORP_DR, m_btnDr); }

void CDlgPageLogin::selectBrand(int corp) {
    CString entry;
    entry.Format(L"selectBrand(%d)", corp);
    recordCall(entry);
    loadSavedLoginInfo(corp);
    CFontCache::selectFaceForCorp(corp);
    CRegSetting::setLastUserCorp(corp);
    if (CDlgRoot* r = root()) r->m_nCorp = corp;
    m_nCorpButton = corp;
    setLoginKind(corp, USER_TYPE_MEMBER, TRUE);
    if (m_editID.GetSafeHwnd()) {
        m_editID.SetFocus();
        m_editID.SetSel(0, -1);
    }
    layoutCheckTexts();
    applyFonts();
    showBrandPicture(corp);
    for (CPngButton* b : brandColumnButtons()) b->m_nCaptionSize = 22;
    m_btnLogin.m_nCaptionSize = 22;
    m_btnLoginNm.m_nCaptionSize = 22;
    if (m_bDealerMode) {
        // A blank address: the links stay inert for a dealer.
        m_linkFind.setUrl(L" ");
        m_linkJoin.setUrl(L" ");
    } else {
        m_linkFind.setUrl(getWebPageUrl(WEB_PAGE_FIND_ID));
        m_linkJoin.setUrl(getWebPageUrl(WEB_PAGE_JOIN));
    }
    m_linkJoin.setCaption(CLangLibrary::loadLangString(kTextJoin));
    if (GetSafeHwnd()) Invalidate(FALSE);
    repaintRootBars();
    layoutControls();
}

void CDlgPageLogin::loadSavedLoginInfo(int corp) {
    CString entry;
    entry.Format(L"loadSavedLoginInfo(%d)", corp);
    recordCall(entry);
    SavedLoginInfo info;
    info.nSave = CRegSetting::isCheckedSave(corp) ? 1 : 0;
    info.nAuto = CRegSetting::isCheckedAuto(corp) ? 1 : 0;
    if (info.nSave) {
        info.strID = CRegSetting::getUserID(corp);
        info.strPassword = CRegSetting::getUserInfo(corp);
    }
    CRegSetting::setCheckedSave(corp, info.nSave);
    CRegSetting::setCheckedAuto(corp, info.nAuto);
    m_mapSavedLogin[corp] = info;
}

void CDlgPageLogin::setLoginKind(int corp, int userType, BOOL update) {
    if (m_bSelectionLoaded) {
        SavedLoginInfo& info = m_mapSavedLogin[corp];
        if (m_editID.GetSafeHwnd()) m_editID.SetWindowText(info.strID);
        if (m_editPwd.GetSafeHwnd()) m_editPwd.SetWindowText(info.strPassword);
        info.nSave = m_checkSave.m_bChecked ? 1 : 0;
        info.nAuto = m_checkAuto.m_bChecked ? 1 : 0;
    }
    m_nCorp = corp;
    m_nUserType = userType;
    if (update) {
        updateGuestButtons();
        showMemberForm(userType);
        showBrandPicture(corp);
        for (CPngButton* b : {&m_btnTs, &m_btnLv, &m_btnDr, &m_btnNn, &m_btnNnTs, &m_btnNnLv, &m_btnNnDr}) {
            if (b->GetSafeHwnd()) b->setCheck(0);
        }
        if (userType == USER_TYPE_MEMBER) {
            CPngButton* pressed = corp == CORP_LV ? &m_btnLv : corp == CORP_DR ? &m_btnDr : &m_btnTs;
            if (pressed->GetSafeHwnd()) pressed->setCheck(1);
            const UINT strip = loginButtonStrip(corp, CRegSetting::getRegion());
            if (m_btnLogin.GetSafeHwnd()) m_btnLogin.setImage(strip);
            if (m_btnLoginNm.GetSafeHwnd()) m_btnLoginNm.setImage(strip);
        } else if (m_btnNn.GetSafeHwnd()) {
            m_btnNn.setCheck(1);
        }
    }
    CRegSetting::setLastUserCorp(corp);
    CRegSetting::setLastUserType(userType);
    applySavedLoginInfo(corp);
}

void CDlgPageLogin::applySavedLoginInfo(int corp) {
    SavedLoginInfo info = m_mapSavedLogin[corp];
    info.nSave = CRegSetting::isCheckedSave(corp) ? 1 : 0;
    info.nAuto = CRegSetting::isCheckedAuto(corp) ? 1 : 0;
    info.strID = CRegSetting::getUserID(corp);
    info.strPassword = CRegSetting::getUserInfo(corp);
    if (!m_bShownOnce && !info.nSave) return;
    if (!info.nSave) {
        // Nothing saved: the edits show what the entry holds (empty).
        info.strID = m_mapSavedLogin[corp].strID;
        info.strPassword = m_mapSavedLogin[corp].strPassword;
    }
    if (m_editID.GetSafeHwnd()) m_editID.SetWindowText(info.strID);
    if (m_editPwd.GetSafeHwnd()) m_editPwd.SetWindowText(info.strPassword);
    m_checkSave.setCheck(info.nSave);
    m_checkAuto.setCheck(info.nAuto);
    setWrongNoticeShown(info.nWrongNotice);
    updateLoginButtons();
}

// ---- non-member

std::vector<CPngButton*> CDlgPageLogin::brandColumnButtons() { return {&m_btnTs, &m_btnLv, &m_btnDr, &m_btnNn}; }

void CDlgPageLogin::OnBnClickedButtonNnTs() {
    recordCall(L"OnBnClickedButtonNnTs");
    nonMemberLogin(CORP_TS);
}

void CDlgPageLogin::OnBnClickedButtonNnLv() {
    recordCall(L"OnBnClickedButtonNnLv");
    nonMemberLogin(CORP_LV);
}

void CDlgPageLogin::OnBnClickedButtonNnDr() {
    recordCall(L"OnBnClickedButtonNnDr");
    nonMemberLogin(CORP_DR);
}

void CDlgPageLogin::nonMemberLogin(int corp) {
    CFontCache::selectFaceForCorp(corp);
    CDlgRoot* r = root();
    if (r) r->m_nCorp = corp;
    CRegSetting::setLastUserCorp(corp);
    repaintRootBars();
    if (CRegSetting::getRegion() == REGION_KR || m_bDealerMode) {
        CDlgPageMessage* page = r ? r->getMessagePage(999) : nullptr;
        if (!page) return;
        g_strJoinCorpCode = getCorpCode(corp);
        page->setMessageType(SERVER_ERROR_ETC_EULA, this);
        r->pushViewPage(VIEW_STATE_JOIN_MSG, TRUE);
    } else {
        g_bGuestLogin = TRUE;
        CPngButton& button = corp == CORP_LV ? m_btnNnLv : corp == CORP_DR ? m_btnNnDr : m_btnNnTs;
        if (button.GetSafeHwnd()) button.setCheck(1);
        if (m_editID.GetSafeHwnd()) m_editID.SetFocus();
        setLoginKind(corp, USER_TYPE_GUEST, FALSE);
        startGuestLogin();
    }
    g_strCorpCode = getCorpCode(corp);
}

void CDlgPageLogin::OnBnClickedButtonLoginNm() {
    if (m_nCorp == CORP_TS) {
        OnBnClickedButtonNnTs();
    } else if (m_nCorp == CORP_LV) {
        OnBnClickedButtonNnLv();
    } else {
        OnBnClickedButtonNnDr();
    }
}

void CDlgPageLogin::OnBnClickedButtonNn() {
    if (m_nCorpButton == 5) {
        if (m_btnNn.GetSafeHwnd()) m_btnNn.setCheck(1);
        return;
    }
    m_nCorpButton = 5;
    CDlgRoot* r = root();
    setLoginKind(r ? r->m_nCorp : m_nCorp, USER_TYPE_GUEST, TRUE);
    if (m_editID.GetSafeHwnd()) m_editID.SetFocus();
    loadTexts();
    applyFonts();
    showBrandPicture(m_nCorp);
    Invalidate(FALSE);
    for (CWnd* w : std::initializer_list<CWnd*>{&m_editID, &m_editPwd, &m_editIDFrame, &m_editPwdFrame,
                                                &m_staticBrandImg}) {
        if (w->GetSafeHwnd()) w->ShowWindow(SW_HIDE);
    }
}

void CDlgPageLogin::startGuestLogin() {
    enableEdits(FALSE);
    m_strWorkerID.Empty();
    m_strWorkerPassword.Empty();
    for (CWnd* w : std::initializer_list<CWnd*>{&m_staticBrandImg, &m_btnNnTs, &m_btnNnLv, &m_btnNnDr}) {
        if (w->GetSafeHwnd()) w->ShowWindow(SW_HIDE);
    }
    if (IShellFrame* f = frame()) f->requestGUID();
    startWorker(FALSE);
    if (CDlgRoot* r = root()) r->setSubTitle(CRegSetting::getClientGUID());
}

void CDlgPageLogin::autoGuestLogin() {
    m_bAutoGuest = FALSE;
    CDlgRoot* r = root();
    const int corp = r ? r->m_nCorp : m_nCorp;
    if (!CDlgRoot::isRestrictedRegion(CRegSetting::getRegion(), corp)) return;
    m_bAutoGuest = TRUE;
    if (corp == CORP_TS) {
        OnBnClickedButtonNnTs();
    } else if (corp == CORP_LV) {
        OnBnClickedButtonNnLv();
    } else if (corp == CORP_DR) {
        OnBnClickedButtonNnDr();
    } else {
        g_bGuestLogin = TRUE;
        OnBnClickedButtonLogin();
    }
}

// ---- member

void CDlgPageLogin::enableEdits(BOOL enable) {
    if (m_editID.GetSafeHwnd()) m_editID.EnableWindow(enable);
    if (m_editPwd.GetSafeHwnd()) m_editPwd.EnableWindow(enable);
}

void CDlgPageLogin::OnBnClickedButtonLogin() {
    if (m_bWaiting) return;
    enableEdits(FALSE);
    UpdateData(TRUE);
    const CString id = m_strFormID;
    const CString password = m_strFormPassword;
    m_strUserID = id;
    m_strLastID = id;
    m_strLastPassword = password;
    m_strWorkerID = id;
    m_strWorkerPassword = password;
    storeLoginInfo();
    if (IShellFrame* f = frame()) f->requestGUID();
    startWorker(FALSE);
}

void CDlgPageLogin::loginWithIdPassword(const CString& id, const CString& password) {
    // A second worker would share this page's members with the first.
    if (m_bWaiting || isWorkerRunning()) return;
    m_strUserID = id;
    m_strLastID = id;
    m_strLastPassword = password;
    m_strWorkerID = id;
    m_strWorkerPassword = password;
    // The user's own saved sign-in stays as it is: a hidden-mode account is
    // never stored (it would sign the next start in automatically).
    m_nUserType = USER_TYPE_MEMBER;
    CRegSetting::setLastUserType(USER_TYPE_MEMBER);
    if (IShellFrame* f = frame()) f->requestGUID();
    startWorker(TRUE);
}

LRESULT CDlgPageLogin::OnEditEnter(WPARAM, LPARAM) {
    const bool shown = m_editID.GetSafeHwnd() && m_editPwd.GetSafeHwnd() && m_editID.IsWindowVisible() &&
                       m_editPwd.IsWindowVisible();
    if (!shown) return 0;
    updateLoginButtons();
    if (m_btnLogin.m_bEnabled && !m_bWaiting) OnBnClickedButtonLogin();
    return 0;
}

void CDlgPageLogin::startWorker(BOOL hidden) {
    if (m_hWorker) {
        // The previous attempt has sent its last message; let its thread go.
        joinWorker();
    }
    m_bHiddenLogin = hidden;
    m_bAttemptHidden = hidden;
    m_nAttemptCorp = m_nCorp;
    m_nAttemptUserType = m_nUserType;
    m_bAttemptDealer = m_bDealerMode;
    CWinThread* thread = AfxBeginThread(threadLogin, this, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    if (!thread) {
        LOG_WRITE(L"the login worker could not start");
        enableEdits(TRUE);
        return;
    }
    DuplicateHandle(GetCurrentProcess(), thread->m_hThread, GetCurrentProcess(), &m_hWorker, 0, FALSE,
                    DUPLICATE_SAME_ACCESS);
    thread->ResumeThread();
}

// ---- the worker's messages (UI thread; the worker waits in SendMessage)

LRESULT CDlgPageLogin::OnThreadStart(WPARAM, LPARAM) {
    showWaiting(1);
    setWrongNoticeShown(FALSE);
    m_strServerText.Empty();
    g_strCorpCode = corpCodeOrNone(m_nAttemptCorp);
    if (CDlgRoot* r = root()) {
        r->m_bMessageReshown = 0;
        r->Invalidate(FALSE);
    }
    refreshBusyState();
    return 0;
}

LRESULT CDlgPageLogin::OnLoginProcess(WPARAM, LPARAM lParam) {
    auto* list = reinterpret_cast<InfInfoList*>(lParam);
    if (IShellFrame* f = frame()) {
        f->setVehicleList(list);
    } else {
        delete list;
    }
    g_bSignedIn = TRUE;
    m_nSignedInCorp = m_nAttemptCorp;
    CDlgRoot* r = root();
    if (r) {
        r->showTitleButtons(0);
        if (!m_strUserID.IsEmpty()) {
            r->setTitle(m_strUserID);
        } else {
            r->setSubTitle(CRegSetting::getClientGUID());
        }
    }
    storeLoginInfo();
    if (r) {
        // A hand-over left by a failed hidden-mode login must not send an
        // ordinary sign-in to the hidden page.
        if (!m_bAttemptHidden) {
            r->m_bHiddenHandOver = 0;
            r->m_hHiddenRequester = nullptr;
        }
        r->AutoMatchAndLastMode();
    }
    return 0;
}

LRESULT CDlgPageLogin::OnThreadEnd(WPARAM wParam, LPARAM) {
    const int result = static_cast<int>(wParam);
    enableEdits(TRUE);
    CDlgRoot* r = root();
    if (result == 999) {
        if (r) {
            r->showTitleButtons(m_nCorp ? m_nCorp : 1);
            const CString id = editText(m_editID);
            if (!id.IsEmpty() && m_nAttemptUserType == USER_TYPE_MEMBER) {
                r->setTitle(m_bAttemptHidden ? m_strUserID : id);
            } else {
                r->setSubTitle(CRegSetting::getClientGUID());
            }
        }
        storeLoginInfo();
        showWaiting(2);
    } else {
        showWaiting(2);
        CDlgPageMessage* page = r ? r->getMessagePage(999) : nullptr;
        if (page) {
            if (result == SERVER_ERROR_LOGIN_SYSTEM && !m_strServerText.IsEmpty()) page->setParam(m_strServerText, 0);
            page->setMessageType(result, this);
            r->pushViewPage(VIEW_STATE_MESSAGE, TRUE);
            applyLastSelection(CRegSetting::getLastUserCorp(), CRegSetting::getLastUserType());
        }
    }
    refreshBusyState();
    if (r) r->updateTopButtons();
    m_bAutoGuest = FALSE;
    if (r && CRegSetting::getRegion() == REGION_KR && !isSendVcrmDesc0()) r->startUserPrivateThread();
    return 0;
}

// ---- message results

void CDlgPageLogin::restoreEdits(BOOL withPassword) {
    if (m_editID.GetSafeHwnd()) m_editID.SetWindowText(m_strLastID);
    if (m_editPwd.GetSafeHwnd()) m_editPwd.SetWindowText(withPassword ? m_strLastPassword : CString());
}

LRESULT CDlgPageLogin::OnRegisteredMessage_MessageResult(WPARAM wParam, LPARAM lParam) {
    const int answer = static_cast<int>(wParam);
    const int type = static_cast<int>(lParam);
    CString entry;
    entry.Format(L"messageResult(%d,%d)", type, answer);
    recordCall(entry);
    LOG_WRITE(L"MessageType = %s, Result = %d", CGlobalFunc::getErrorName(type).GetString(), answer);
    RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
    CDlgRoot* r = root();
    if (!r || !frame()) return 0;
    frame()->requestGUID();
    switch (type) {
        case SERVER_ERROR_NETWORK_FAIL:
            if (answer == 1) {
                m_nCorp = m_nAttemptCorp;
                m_nUserType = m_nAttemptUserType;
                enableEdits(FALSE);
                startWorker(m_bAttemptHidden);
            } else if (m_nAttemptUserType == USER_TYPE_GUEST) {
                clearRootSession();
                m_nCorpButton = 4;
                OnBnClickedButtonNn();
            }
            break;
        case SERVER_ERROR_LOGIN_AUTHORITY:
        case SERVER_ERROR_LOGIN_INPUT_INFO:
        case SERVER_ERROR_LOGIN_INCORRECT_ID_PASSWORD:
        case SERVER_ERROR_LOGIN_PASSWORD_EXPIRED:
        case SERVER_ERROR_LOGIN_FAILED_EXCEEDED_COUNT:
        case SERVER_ERROR_LOGIN_PASSWORD_NEEDS_REST:
        case SERVER_ERROR_LOGIN_ACCESS_DENIED:
        case SERVER_ERROR_LOGIN_TEMPORARY_PASSWORD_EXPIRED:
        case SERVER_ERROR_LOGIN_INVALID_LOGIN_ATTEMPTS:
        case SERVER_ERROR_LOGIN_DIFFERENT_TOKEN_ID:
        case SERVER_ERROR_LOGIN_UNKOWN:
            restoreEdits(TRUE);
            updateLoginButtons();
            r->Invalidate(FALSE);
            m_checkSave.Invalidate(FALSE);
            m_checkAuto.Invalidate(FALSE);
            break;
        case SERVER_ERROR_LOGIN_DEALER_PASSWORD_INIT:
        case SERVER_ERROR_LOGIN_NO_AUTHORITY_904:
        case SERVER_ERROR_LOGIN_NO_AUTHORITY_903:
            if (answer == 1) CGlobalFunc::openUrl(m_strServerText);
            restoreEdits(FALSE);
            m_btnLogin.m_bHover = FALSE;
            m_btnLogin.m_bPressed = FALSE;
            m_btnLogin.setEnable(FALSE);
            r->Invalidate(FALSE);
            r->showTitleButtons(0);
            g_strCorpCode = L"N";
            m_checkSave.Invalidate(FALSE);
            m_checkAuto.Invalidate(FALSE);
            break;
        default:
            break;
    }
    return 0;
}

void CDlgPageLogin::clearRootSession() {
    g_strCorpCode.Empty();
    CDlgRoot* r = root();
    if (!r) return;
    r->showTitleButtons(0);
    r->setTitle(CString());
    r->setSubTitle(CString());
    CRect band(0, 0, 900, 60);
    r->InvalidateRect(&band, TRUE);
}

void CDlgPageLogin::repaintRootBars() {
    CDlgRoot* r = root();
    if (!r || !r->GetSafeHwnd()) return;
    CRect header(0, 0, 900, 60);
    CRect bottom(14, 650, 886, 700);
    r->InvalidateRect(&header, FALSE);
    r->InvalidateRect(&bottom, FALSE);
}

LRESULT CDlgPageLogin::OnRepaintTopBar(WPARAM, LPARAM) {
    repaintRootBars();
    return 0;
}

// ---- reset, dealer mode, last vehicle

void CDlgPageLogin::resetPage() {
    recordCall(L"resetPage");
    m_bWaitingStarted = FALSE;
    if (IShellFrame* f = frame()) f->setVehicleList(nullptr);
    g_bSignedIn = FALSE;
    g_bGuestLogin = FALSE;
    m_bAutoGuest = TRUE;
    m_nCorpButton = 4;
    m_bNoAutoLogin = TRUE;
    if (!GetSafeHwnd()) return;
    initControls();
    loadTexts();
    applyLastSelection(CRegSetting::getLastUserCorp(), CRegSetting::getLastUserType());
    applyFonts();
    layoutControls();
    CDlgRoot* r = root();
    if (r) {
        r->showTitleButtons(0);
        r->pushViewPage(VIEW_STATE_LOGIN, TRUE);
    }
    applyFirstOpenEula();
    if (m_editID.GetSafeHwnd()) {
        m_editID.SetFocus();
        m_editID.SetSel(0, -1);
    }
    autoGuestLogin();
}

void CDlgPageLogin::OnBnClickedDealer() {
    if (m_btnDealer.GetSafeHwnd()) m_btnDealer.ShowWindow(SW_HIDE);
    m_bSelectionLoaded = TRUE;
    m_bDealerMode = TRUE;
    if (IShellFrame* f = frame()) f->setDealerLogin(TRUE);
    for (CPngButton* b : {&m_btnTs, &m_btnDr, &m_btnLv}) {
        if (!b->GetSafeHwnd()) continue;
        b->ShowWindow(SW_SHOW);
        b->setEnable(TRUE);
    }
    resetPage();
    const CString title = CLangLibrary::loadLangString(kTextTitle);
    const int lineBreak = title.Find(L'\n');
    // The first static was hidden while it held nothing.
    m_staticTitle.ShowWindow(SW_SHOW);
    if (lineBreak > 0) {
        m_staticTitle.SetWindowText(title.Left(lineBreak));
        m_staticTitle2.SetWindowText(title.Mid(lineBreak));
        m_staticTitle2.ShowWindow(SW_SHOW);
    } else {
        m_staticTitle.SetWindowText(title);
        m_staticTitle2.SetWindowText(CString());
        m_staticTitle2.ShowWindow(SW_HIDE);
    }
}

void CDlgPageLogin::matchLastVehicle() {
    recordCall(L"matchLastVehicle");
    IShellFrame* f = frame();
    if (!f) return;
    InfInfo* vehicle = f->findLastModeVehicle();
    LastModeInfo info(CRegSetting::getLastUserCorp(), CRegSetting::getLastUserType());
    if (!CRegSetting::getLastMode(info)) return;
    if (!vehicle) return;
    if (CDlgRoot* r = root()) r->readLastReg(vehicle, CString());
}

void CDlgPageLogin::focusPassword() {
    recordCall(L"focusPassword");
    if (m_editPwd.GetSafeHwnd()) m_editPwd.SetFocus();
    if (m_editID.GetSafeHwnd()) {
        m_editID.SetFocus();
        m_editID.SetSel(0, -1);
    }
}

// ---- showing

BOOL CDlgPageLogin::showPage(BOOL show) {
    CString entry;
    entry.Format(L"showPage(%d)", show ? 1 : 0);
    recordCall(entry);
    if (!GetSafeHwnd()) return TRUE;
    if (show) {
        ShowWindow(SW_SHOW);
        if (!m_bShownOnce) SetWindowPos(&wndTop, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        if (m_editID.GetSafeHwnd() && m_editID.IsWindowEnabled()) {
            m_editID.SetFocus();
            m_editID.SetSel(0, -1);
        }
        m_bShownOnce = TRUE;
    } else {
        const BOOL wasShown = IsWindowVisible();
        ShowWindow(SW_HIDE);
        SendMessage(UM_CLOSE_DROPDOWN, 0, 0);
        CDlgRoot* r = root();
        if (wasShown && r && r->m_nMediumVerCorp == 0) CRegSetting::setLastUserType(m_nUserType);
    }
    m_bShown = show ? TRUE : FALSE;
    return TRUE;
}

void CDlgPageLogin::OnShowWindow(BOOL show, UINT) {
    Default();
    if (!show) return;
    CDlgRoot* r = root();
    if (m_bWaitingStarted && r && r->getViewStatus() != VIEW_STATE_MESSAGE) return;
    for (CPngButton* b : brandColumnButtons()) {
        if (!b->GetSafeHwnd()) continue;
        b->setEnable(TRUE);
    }
}

BOOL CDlgPageLogin::initPage() {
    recordCall(L"initPage");
    const int corp = CRegSetting::getLastUserCorp();
    const int region = CRegSetting::getRegion();
    const bool autoRegion = region == REGION_US || region == REGION_KR || region == REGION_EU ||
                            (region == REGION_RU && corp == CORP_LV);
    if (CRegSetting::isCheckedAuto(corp) && !m_bNoAutoLogin && autoRegion && !m_bWaiting) OnBnClickedButtonLogin();
    return TRUE;
}

LRESULT CDlgPageLogin::OnChangeLanguagePage(WPARAM, LPARAM) {
    recordCall(L"changeLanguage");
    loadTexts();
    applyFonts();
    showBrandPicture(m_nCorp);
    layoutControls();
    Invalidate(FALSE);
    return 0;
}

// Broadcasts of the root that reach every page; the login page has nothing
// to do for them but they are recorded like the shell's other calls.
LRESULT CDlgPageLogin::OnConfigClosed(WPARAM, LPARAM) {
    recordCall(L"configClosed");
    return 0;
}

LRESULT CDlgPageLogin::OnExitProgramCancel(WPARAM, LPARAM) {
    recordCall(L"exitProgramCancel");
    return 0;
}

void CDlgPageLogin::OnDestroy() {
    joinWorker();
    Default();
}
