// The message page's life in the pool: set-up, configuring a message,
// parameters, showing and closing.
#include "shell/dlg_page_message.h"

#include "foundation/globalfunc.h"
#include "foundation/logmanager.h"
#include "foundation/private_messages.h"
#include "foundation/registered_messages.h"
#include "foundation/regsetting.h"
#include "pages/account/dlg_page_config.h"
#include "resources/resource.h"
#include "shell/caption_size.h"
#include "shell/dlg_root.h"
#include "shell/shell_engine.h"
#include "ui/base_helpers.h"
#include "ui/font_cache.h"
#include "ui/gdi_func.h"
#include "ui/lang_library.h"
#include "ui/memory_canvas.h"
#include "ui/session_flags.h"
#include "ui/view_state.h"

namespace {

constexpr int MESSAGE_DIALOG_ID = 91;
constexpr COLORREF WHITE = 0xFFFFFF;
constexpr COLORREF DISABLED_TEXT = 0xB1AAA4;

constexpr int IDB_MEDIUM_PICTURE = 373;
constexpr int IDB_CHANGE_FOLDER = 398;
constexpr int IDB_DOC_IMAGE = 474;
constexpr int IDB_ICON_ERROR = 536;
constexpr int IDB_ICON_WARNING = 537;

constexpr int TEXT_CHECK_BACKUP = 15234;
constexpr int TEXT_LINK_CS_CENTER = 12054;
constexpr int TEXT_OK = 12045;
constexpr int TEXT_CANCEL = 12040;
constexpr int TEXT_EXIT = 12135;
constexpr int TEXT_EXIT_CANCEL = 12136;

bool refreshesDetailsOnRepeat(int type) {
    switch (type) {
        case 10: case 90: case 91: case 92: case 93: case 101: case 102:
            return true;
        default:
            return false;
    }
}

void deleteRichText(CRichEditCtrlEx*& box) {
    if (!box) return;
    if (box->GetSafeHwnd()) box->DestroyWindow();
    delete box;
    box = nullptr;
}

}  // namespace

BEGIN_MESSAGE_MAP(CDlgPageMessage, CBaseChildDialog)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_BN_CLICKED(IDC_BUTTON_OK, &CDlgPageMessage::OnBnClickedButtonOk)
    ON_BN_CLICKED(IDC_BUTTON_CANCEL, &CDlgPageMessage::OnBnClickedButtonCancel)
    ON_BN_CLICKED(IDC_BUTTON_CHANGE_FOLDER, &CDlgPageMessage::OnBnClickedButtonChangeFolder)
    ON_BN_CLICKED(IDC_RADIO_CONSENT1_YES, &CDlgPageMessage::OnBnClickedRadioConsent1Yes)
    ON_BN_CLICKED(IDC_RADIO_CONSENT1_NO, &CDlgPageMessage::OnBnClickedRadioConsent1No)
    ON_BN_CLICKED(IDC_RADIO_CONSENT2_YES, &CDlgPageMessage::OnBnClickedRadioConsent2Yes)
    ON_BN_CLICKED(IDC_RADIO_CONSENT2_NO, &CDlgPageMessage::OnBnClickedRadioConsent2No)
    ON_REGISTERED_MESSAGE(RWM_CHANGE_LANGUAGE, &CDlgPageMessage::OnChangeLanguage)
END_MESSAGE_MAP()

CDlgPageMessage::CDlgPageMessage(CBaseDialog* root, UINT templateId) : CBaseChildDialog(templateId, root) {
    m_ePageViewStatus = VIEW_STATE_MESSAGE;
}

CDlgPageMessage::~CDlgPageMessage() {
    if (CDlgRoot* r = root()) r->m_lang.removeDlg(MESSAGE_DIALOG_ID);
    deleteRichText(m_pRichText1);
    deleteRichText(m_pRichText2);
    for (Gdiplus::Bitmap** picture : {&m_pMediumPicture, &m_pIconError, &m_pIconWarning, &m_pIconExit, &m_pDocImage}) {
        base_helpers::releaseBitmap(*picture);
    }
    m_eMessageType = SERVER_ERROR_NONE;
}

CDlgRoot* CDlgPageMessage::root() const { return CDlgRoot::of(m_pRootDlg); }

void CDlgPageMessage::DoDataExchange(CDataExchange* dx) {
    CBaseChildDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_STATIC_ALERT, m_staticAlert);
    DDX_Control(dx, IDC_STATIC_TITLE1, m_staticTitle1);
    DDX_Control(dx, IDC_STATIC_TITLE2, m_staticTitle2);
    const int texts[7] = {IDC_STATIC_TEXT1, IDC_STATIC_TEXT2, IDC_STATIC_TEXT3, IDC_STATIC_TEXT4,
                          IDC_STATIC_TEXT5, IDC_STATIC_TEXT6, IDC_STATIC_TEXT7};
    for (int i = 0; i < 7; ++i) DDX_Control(dx, texts[i], m_staticText[i]);
    DDX_Control(dx, IDC_STATIC_SUB_TEXT1, m_staticSubText1);
    DDX_Control(dx, IDC_STATIC_SUB_TEXT2, m_staticSubText2);
    DDX_Control(dx, IDC_BUTTON_LINK, m_btnLink);
    DDX_Control(dx, IDC_CHECK_BACKUP, m_checkBackup);
    DDX_Control(dx, IDC_BUTTON_OK, m_btnOk);
    DDX_Control(dx, IDC_BUTTON_CANCEL, m_btnCancel);
    const int radios[4] = {IDC_RADIO_CONSENT1_YES, IDC_RADIO_CONSENT1_NO, IDC_RADIO_CONSENT2_YES,
                           IDC_RADIO_CONSENT2_NO};
    for (int i = 0; i < 4; ++i) DDX_Control(dx, radios[i], m_radio[i]);
    DDX_Control(dx, IDC_EDIT_FOLDER_FRAME, m_editFolderFrame);
    DDX_Control(dx, IDC_EDIT_FOLDER_PATH, m_editFolderPath);
    DDX_Control(dx, IDC_BUTTON_CHANGE_FOLDER, m_btnChangeFolder);
}

BOOL CDlgPageMessage::OnInitDialog() {
    CBaseChildDialog::OnInitDialog();
    m_btnOk.ModifyStyle(0, BS_OWNERDRAW);
    m_btnCancel.ModifyStyle(0, BS_OWNERDRAW);
    m_btnOk.setImage(IDB_BUTTON_OK_STRIP);
    m_btnCancel.setImage(IDB_BUTTON_CANCEL_STRIP);
    for (COLORREF& colour : m_btnCancel.m_colors) colour = WHITE;

    // Their kinds draw the caption in the text grey on the white body.
    m_checkBackup.setText(L"check", 16, FALSE, 0);
    m_btnLink.setText(CLangLibrary::loadLangString(TEXT_LINK_CS_CENTER), 16, FALSE, 5);

    CWnd* used[] = {&m_staticTitle1, &m_staticTitle2, &m_staticText[0], &m_staticText[1], &m_staticText[2],
                    &m_staticText[3], &m_staticText[4], &m_staticText[5], &m_staticText[6], &m_btnLink,
                    &m_checkBackup, &m_staticSubText1, &m_staticSubText2, &m_btnOk, &m_btnCancel};
    for (CWnd* control : used) {
        m_mapUseCtrl[control] = 0;
        control->ShowWindow(SW_HIDE);
    }
    m_staticAlert.ShowWindow(SW_HIDE);

    m_pDocImage = CGdiFunc::loadPngResource(IDB_DOC_IMAGE);
    m_pIconExit = CGdiFunc::loadPngResource(IDB_EXIT_IMAGE);
    m_pIconError = CGdiFunc::loadPngResource(IDB_ICON_ERROR);
    m_pIconWarning = CGdiFunc::loadPngResource(IDB_ICON_WARNING);

    m_editFolderFrame.ShowWindow(SW_HIDE);
    m_editFolderPath.ShowWindow(SW_HIDE);
    m_btnChangeFolder.ShowWindow(SW_HIDE);
    m_editFolderFrame.EnableWindow(FALSE);
    m_btnChangeFolder.setImage(IDB_CHANGE_FOLDER);

    CRect first(115, 126, 789, 238), second(115, 326, 789, 438);
    DWORD style = WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL;
    // The rich edit library is loaded by whoever needs it first.
    if (!AfxInitRichEdit2()) LOG_WRITE(L"[ERR] rich edit library not loaded");
    m_pRichText1 = new CRichEditCtrlEx();
    m_pRichText2 = new CRichEditCtrlEx();
    if (!m_pRichText1->Create(style, first, this, 0x7001)) deleteRichText(m_pRichText1);
    if (!m_pRichText2->Create(style, second, this, 0x7002)) deleteRichText(m_pRichText2);
    if (m_pRichText1) m_pRichText1->ShowWindow(SW_HIDE);
    if (m_pRichText2) m_pRichText2->ShowWindow(SW_HIDE);

    refresh();
    return TRUE;
}

CString CDlgPageMessage::getParam(int index) const {
    auto found = m_mapParam.find(index);
    return found == m_mapParam.end() ? CString() : found->second;
}

void CDlgPageMessage::setParam(const CString& text, int index) { m_mapParam[index] = text; }

void CDlgPageMessage::setMessageType(int type, CWnd* requester) {
    updateFonts();
    LOG_WRITE(L"SERVER_ERROR_DETAIL = %s", CGlobalFunc::getErrorName(static_cast<unsigned>(type)).GetString());
    for (CPngWithTextButton& radio : m_radio) {
        if (radio.GetSafeHwnd()) radio.ShowWindow(SW_HIDE);
    }

    if (type != 47 && type != 20 && type != 100 && type == m_eMessageType && requester == m_pRequestPage) {
        if (refreshesDetailsOnRepeat(type)) {
            if (!getParam(0).IsEmpty() && m_staticSubText1.GetSafeHwnd()) m_staticSubText1.SetWindowText(getParam(0));
            if (!getParam(1).IsEmpty() && m_staticSubText2.GetSafeHwnd()) m_staticSubText2.SetWindowText(getParam(1));
            // The page draws the detail lines itself.
            if (GetSafeHwnd()) Invalidate(FALSE);
        } else if (type == 203 || type == 204 || type == 1007) {
            if (m_pRichText1) m_pRichText1->SetFocus();
            if (type == 1007) {
                for (CPngWithTextButton& radio : m_radio) {
                    if (radio.GetSafeHwnd()) radio.ShowWindow(SW_SHOW);
                }
            }
        }
        return;
    }

    CSingleLock hold(&m_mutexMessage, TRUE);
    if (type == 201 || type == 203 || type == 204 || type == 1005) m_ePrevMessageType = m_eMessageType;
    m_eMessageType = type;
    CDlgRoot* r = root();
    CWnd* settingsPage = r ? static_cast<CWnd*>(r->m_pPageConfig) : nullptr;
    // The settings page hears the answers of the connection and language-list
    // messages; its region and brand messages reset the session through the
    // page's own answer.
    const bool settingsAnswered = type == SERVER_ERROR_NETWORK_FAIL || type == SERVER_ERROR_LANGUAGE_FAIL;
    if (requester && (requester != settingsPage || settingsAnswered)) {
        m_pRequestPage = requester;
    } else if (m_bClosed) {
        // A free page keeps nobody from its previous use: its answer would
        // reach a page that no longer asks.
        m_pRequestPage = nullptr;
    }

    m_bConsentDefaultsDue = true;
    for (auto& entry : m_mapUseCtrl) entry.second = 0;
    if (m_btnLink.GetSafeHwnd()) m_btnLink.ShowWindow(SW_HIDE);
    if (m_checkBackup.GetSafeHwnd()) m_checkBackup.ShowWindow(SW_HIDE);

    if (type == 60) {
        base_helpers::releaseBitmap(m_pMediumPicture);
        m_pMediumPicture = CGdiFunc::loadPngResource(IDB_MEDIUM_PICTURE);
    } else if (type == 203 && m_pRichText1) {
        m_pRichText1->MoveWindow(115, 116, 674, 392, TRUE);
        m_pRichText1->Invalidate(TRUE);
        m_pRichText1->ShowWindow(SW_SHOW);
        if (m_pRichText2) m_pRichText2->ShowWindow(SW_HIDE);
    } else if (type == 204 && m_pRichText1) {
        m_pRichText1->ShowWindow(SW_HIDE);
    } else if (type == 1007) {
        if (m_pRichText1) {
            m_pRichText1->MoveWindow(115, 126, 674, 112, TRUE);
            m_pRichText1->ShowWindow(SW_SHOW);
        }
        if (m_pRichText2) {
            m_pRichText2->MoveWindow(115, 326, 674, 112, TRUE);
            m_pRichText2->ShowWindow(SW_SHOW);
        }
        for (CPngWithTextButton& radio : m_radio) {
            if (radio.GetSafeHwnd()) radio.ShowWindow(SW_SHOW);
        }
    }
    if (type != 203 && type != 1007) {
        if (m_pRichText1) m_pRichText1->ShowWindow(SW_HIDE);
        if (m_pRichText2) m_pRichText2->ShowWindow(SW_HIDE);
    }

    refresh();

    for (auto& entry : m_mapUseCtrl) {
        if (entry.first->GetSafeHwnd()) entry.first->ShowWindow(entry.second ? SW_SHOW : SW_HIDE);
    }
    CWnd* textControls[] = {&m_staticAlert, &m_staticTitle1, &m_staticTitle2, &m_staticText[0], &m_staticText[1],
                            &m_staticText[2], &m_staticText[3], &m_staticText[4], &m_staticText[5],
                            &m_staticText[6], &m_staticSubText1, &m_staticSubText2, &m_editFolderFrame,
                            &m_editFolderPath, &m_btnChangeFolder};
    for (CWnd* control : textControls) {
        if (control->GetSafeHwnd()) control->ShowWindow(SW_HIDE);
    }
    if (type == 1012) {
        if (m_editFolderFrame.GetSafeHwnd()) m_editFolderFrame.ShowWindow(SW_SHOW);
        if (m_btnChangeFolder.GetSafeHwnd()) m_btnChangeFolder.ShowWindow(SW_SHOW);
    }
    if (GetSafeHwnd()) Invalidate(FALSE);
}

BOOL CDlgPageMessage::showPage(BOOL show) {
    CBaseDialog* base = m_pRootDlg;
    if (!base) return FALSE;
    if (!show) {
        m_bShown = FALSE;
        ShowWindow(SW_HIDE);
        SendMessage(UM_CLOSE_DROPDOWN, 0, 0);
        return TRUE;
    }
    m_bShown = TRUE;
    ShowWindow(SW_SHOW);
    m_bClosed = FALSE;
    m_bOkProcessing = FALSE;
    buildTexts();
    switch (m_eMessageType) {
        case SERVER_ERROR_ETC_PROGRAM_EXIT: {
            PageList& locks = base->m_lstPage[1];
            CBaseDialog::addOrRemoveListItem(&locks, this, 0);
            if (g_bSignedIn) {
                if (base->m_btnConfig.GetSafeHwnd()) base->m_btnConfig.ShowWindow(SW_HIDE);
                if (base->m_btnLogout.GetSafeHwnd()) base->m_btnLogout.ShowWindow(SW_HIDE);
            }
            if (base->m_btnExit.GetSafeHwnd()) {
                base->m_btnExit.setEnable(locks.empty() ? TRUE : FALSE);
                base->m_btnExit.Invalidate(FALSE);
            }
            break;
        }
        case SERVER_ETC_LANGUAGE_CHANGED:
        case SERVER_ETC_BRAND_CHANGED:
        case SERVER_ETC_BRAND_CHANGED_GUEST:
            lockTopButtons();
            break;
        case SERVER_ETC_FIRST_OPEN:
            placeFolderPath();
            break;
        default:
            break;
    }
    return TRUE;
}

// The first-start message's path line: centred by its length, higher and
// further right in the languages whose texts run longer.
void CDlgPageMessage::placeFolderPath() {
    if (!m_editFolderPath.GetSafeHwnd()) return;
    CString path;
    m_editFolderPath.GetWindowText(path);
    int language = CRegSetting::getLanguage();
    bool longTexts = language == LANGUAGE_FR || language == LANGUAGE_F1 || language == LANGUAGE_ES ||
                     language == LANGUAGE_PT;
    CRect client;
    GetClientRect(&client);
    int x = client.Width() / 2 - 9 * path.GetLength() / 2;
    if (x < 0) x = 5;
    if (longTexts) x += 20;
    m_editFolderPath.MoveWindow(x, longTexts ? 320 : 370, 860, 20, TRUE);
}

void CDlgPageMessage::closePage(BOOL stay) {
    if (!m_pRootDlg) return;
    m_bShown = FALSE;
    ShowWindow(SW_HIDE);
    SendMessage(UM_CLOSE_DROPDOWN, 0, 0);
    m_bClosed = TRUE;
    // The next message on this page must not show this one's details.
    m_mapParam.clear();
    CDlgRoot* r = root();
    if (stay || !r) return;
    r->pullViewPage();
    if (shellEngine().isDownloadActive() || r->isConfigPageCurrent() || r->isLoginPageCurrent() || !m_pRequestPage) {
        return;
    }
    bool listed = r->m_pMainFrame && r->m_pMainFrame->hasVehicleList();
    r->showTitleButtons(listed ? CRegSetting::getLastUserCorp() : 0);
}

BOOL CDlgPageMessage::PreTranslateMessage(MSG* msg) {
    if (msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN &&
        (m_eMessageType == SERVER_ERROR_LOGIN_WRONG_IDPWD || m_eMessageType == SERVER_ERROR_LOGIN_AUTHORITY)) {
        OnBnClickedButtonOk();
        return TRUE;
    }
    return CBaseChildDialog::PreTranslateMessage(msg);
}

LRESULT CDlgPageMessage::OnChangeLanguage(WPARAM, LPARAM) {
    refresh();
    Invalidate(TRUE);
    return 0;
}
