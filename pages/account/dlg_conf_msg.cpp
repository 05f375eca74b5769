#include "pages/account/dlg_conf_msg.h"

#include "foundation/code_tables.h"
#include "foundation/current_ui.h"
#include "foundation/globalfunc.h"
#include "foundation/program_strings.h"
#include "foundation/registered_messages.h"
#include "foundation/regsetting.h"
#include "pages/account/dlg_conf_child.h"
#include "pages/account/document_helpers.h"
#include "pages/account/language_lists.h"
#include "resources/resource.h"
#include "shell/dlg_root.h"
#include "shell/messages/message_documents.h"
#include "ui/dlang.h"
#include "ui/font_cache.h"
#include "ui/gdi_func.h"
#include "ui/lang_library.h"
#include "ui/memory_canvas.h"
#include "ui/rich_edit_ctrl_ex.h"
#include "ui/session_flags.h"
#include "ui/view_state.h"

namespace {

// The page registers its texts under its own view id: the settings page
// registers under 90, and each page's destructor drops its own only.
constexpr int kDialogId = VIEW_STATE_CAR_CONFIG;
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBand = RGB(223, 223, 223);
constexpr COLORREF kBandText = RGB(93, 99, 105);

CString withoutProductName(CString text) {
    text.Replace(L"[#업데이트 프로그램명#] ", L"");
    text.Replace(L"[#Update Program Name#] ", L"");
    return text;
}




}  // namespace

BEGIN_MESSAGE_MAP(CDlgConfMsg, CPlaceholderPage)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_BN_CLICKED(IDOK, &CDlgConfMsg::OnBnClickedOk)
    ON_REGISTERED_MESSAGE(RWM_CHANGE_LANGUAGE, &CDlgConfMsg::OnChangeLanguagePage)
END_MESSAGE_MAP()

CDlgConfMsg::CDlgConfMsg(CBaseDialog* root) : CPlaceholderPage(IDD_CONF_MSG, root, L"CDlgConfMsg", VIEW_STATE_CAR_CONFIG) {}

CDlgConfMsg::~CDlgConfMsg() {
    destroyForm();
    for (CRichEditCtrlEx* edit : {m_pRichText1, m_pRichText2}) {
        if (edit && edit->GetSafeHwnd()) edit->DestroyWindow();
        delete edit;
    }
    if (CDlgRoot* r = CDlgRoot::of(getRootDlg())) r->m_lang.removeDlg(kDialogId);
}

void CDlgConfMsg::DoDataExchange(CDataExchange* dx) {
    DDX_Control(dx, IDC_STATIC_TITLE1, m_staticTitle[0]);
    DDX_Control(dx, IDC_STATIC_TITLE2, m_staticTitle[1]);
    DDX_Control(dx, IDC_STATIC_TITLE3, m_staticTitle[2]);
    DDX_Control(dx, IDC_STATIC_TITLE4, m_staticTitle[3]);
    DDX_Control(dx, IDC_STATIC_ALERT, m_staticAlert);
    DDX_Control(dx, IDOK, m_btnOk);
    DDX_Control(dx, IDCANCEL, m_btnCancel);
}

BOOL CDlgConfMsg::OnInitDialog() {
    CBaseChildDialog::OnInitDialog();
    CDLang::moveWnd(getRootDlg(), this, 0, 60, 900, 590, 0);
    for (CStaticEx& title : m_staticTitle) title.m_nStyle = 17;
    layoutControls();
    applyTexts();
    if (CFont* font = CFontCache::getFont(24)) m_btnOk.SetFont(font, FALSE);
    if (CWnd* placeholder = GetDlgItem(IDC_FORM_PLACEHOLDER)) {
        placeholder->GetWindowRect(&m_rcForm);
        ScreenToClient(&m_rcForm);
        placeholder->DestroyWindow();
    }
    return TRUE;
}

void CDlgConfMsg::layoutControls() {
    CRect client;
    GetClientRect(&client);
    const int w = client.Width(), h = client.Height();
    auto place = [this](CWnd* control, int x, int y, int cx, int cy) {
        if (control && control->GetSafeHwnd()) CDLang::moveWnd(this, control, x, y, cx, cy, 2);
    };
    place(&m_staticTitle[0], 100, 200, w - 500, 30);
    for (int i = 1; i < 4; ++i) place(&m_staticTitle[i], 100, 300 + 50 * i, w - 500, 30);
    place(&m_btnCancel, 450, 550, 100, 30);
    place(GetDlgItem(IDC_FORM_PLACEHOLDER), 0, 60, w, h - 140);
    place(&m_btnOk, w / 2 - 100, h - 70, 200, 50);
    // Below the page's visible area: the documents are loaded, never shown.
    if (!m_pRichText1) m_pRichText1 = createDocumentEdit(this, CRect(94, 750, w - 94, 800), 0x7101);
    if (!m_pRichText2) m_pRichText2 = createDocumentEdit(this, CRect(94, 810, w - 94, 860), 0x7102);
    for (CRichEditCtrlEx* edit : {m_pRichText1, m_pRichText2}) {
        if (edit) edit->setLeftToRight(g_nCurrentLanguage != LANGUAGE_AR);
    }
}

void CDlgConfMsg::applyTexts() {
    CDlgRoot* r = CDlgRoot::of(getRootDlg());
    if (r) {
        r->m_lang.setText(kDialogId, &m_staticAlert, 12376);
        r->m_lang.setText(kDialogId, &m_staticTitle[1], 12401);
        r->m_lang.setText(kDialogId, &m_staticTitle[2], 12402);
        r->m_lang.setText(kDialogId, &m_staticTitle[3], 12403);
    }
    setTextIfChanged(m_staticTitle[0], withoutProductName(CLangLibrary::loadLangString(12399)));
    showIfChanged(m_staticAlert, false);
    showIfChanged(m_btnCancel, false);
    const CString ok = CLangLibrary::loadLangString(12116);
    if (m_btnOk.GetSafeHwnd() && m_btnOk.m_strCaption != ok) m_btnOk.setText(ok, 16, 400);
    for (CStaticEx& title : m_staticTitle) showIfChanged(title, false);
}

void CDlgConfMsg::loadDocuments() {
    const CString licence = getResourceRtfFile();
    ++m_nLicenceWrites;
    if (m_pRichText1) m_pRichText1->loadRtfFile(licence);
    if (m_pRichText2) m_pRichText2->loadRtfFile(loadTermsFile(g_nCurrentRegion, CRegSetting::getLanguage()));
    // Loading focuses the off-screen documents; the page keeps the focus.
    if (m_pForm && m_pForm->GetSafeHwnd()) {
        m_pForm->SetFocus();
    } else if (GetSafeHwnd()) {
        SetFocus();
    }
}

CString CDlgConfMsg::getResourceRtfFile(const char* logFunction) {
    return msg::writeLicenceFile(AfxGetResourceHandle(), CGlobalFunc::getAppDataPath(), logFunction);
}

CString CDlgConfMsg::loadTermsFile(int region, int language) {
    const CString base = CRegSetting::getInstallPath() + L"\\Eula\\";
    if (region != REGION_KR) return base + L"TermsOfUse_en-US.rtf";
    return base + (language == LANGUAGE_KO ? L"TermsOfUse_ko-KR.rtf" : L"TermsOfUse_en-KR.rtf");
}

void CDlgConfMsg::loadSharedTexts() {
    auto text = [](int id) { return CLangLibrary::loadLangString(static_cast<UINT>(id)); };
    g_strTermsTitle1 = withoutProductName(text(12401));
    g_strTermsTitle3 = text(12402);
    g_strTermsTitle4 = text(12403);
    g_strTermsFileEmpty = text(12407) + L"\n" + text(12408);
    g_strTermsBtnName = text(12400);
    g_strTermsRadio1 = text(12114);
    g_strTermsRadio2 = text(12115);
}

BOOL CDlgConfMsg::showPage(BOOL show) {
    recordCall(show ? L"showPage(1)" : L"showPage(0)");
    if (!show) {
        destroyForm();
        m_bShown = FALSE;
        ShowWindow(SW_HIDE);
        return TRUE;
    }
    if (CDlgRoot* r = CDlgRoot::of(getRootDlg())) {
        r->enableTopButton(0, this, FALSE);
        r->enableTopButton(2, this, FALSE);
    }
    if (m_btnOk.GetSafeHwnd()) m_btnOk.setImage(okButtonImage(CRegSetting::getLastUserCorp(), CRegSetting::getRegion()));
    if (!m_pForm) {
        m_pForm = new CDlgConfChild();
        m_pForm->m_nConsent1 = m_nConsent1;
        m_pForm->m_nConsent2 = m_nConsent2;
        if (m_nTermsRegion != 99) m_pForm->m_nRegion = m_nTermsRegion;
        if (!m_pForm->Create(nullptr, nullptr, WS_CHILD | WS_VSCROLL | WS_HSCROLL, m_rcForm, this, IDD_CONF_CHILD)) {
            delete m_pForm;
            m_pForm = nullptr;
        } else {
            m_pForm->OnInitialUpdate();
            if (m_nTermsRegion != 99) m_pForm->m_nRegion = m_nTermsRegion;
            m_pForm->ShowWindow(SW_SHOW);
        }
    }
    m_bShown = TRUE;
    ShowWindow(SW_SHOW);
    loadDocuments();
    return TRUE;
}

void CDlgConfMsg::destroyForm() {
    if (!m_pForm) return;
    if (m_pForm->GetSafeHwnd()) m_pForm->DestroyWindow();
    delete m_pForm;
    m_pForm = nullptr;
}

void CDlgConfMsg::OnBnClickedOk() {
    if (m_pForm) {
        m_nConsent1 = m_pForm->m_nConsent1;
        m_nConsent2 = m_pForm->m_nConsent2;
    }
    m_bShown = FALSE;
    ShowWindow(SW_HIDE);
    destroyForm();
    if (CDlgRoot* r = CDlgRoot::of(getRootDlg())) r->pullViewPage();
}

LRESULT CDlgConfMsg::OnChangeLanguagePage(WPARAM, LPARAM) {
    recordCall(L"changeLanguage");
    applyTexts();
    if (m_bShown) loadDocuments();
    return 0;
}

void CDlgConfMsg::OnPaint() {
    CPaintDC paint(this);
    CRect client;
    GetClientRect(&client);
    CMemoryCanvas canvas(paint.GetSafeHdc(), client.Width(), client.Height());
    if (!canvas.valid()) return;
    canvas.fill(kWhite);
    canvas.fill(RECT{0, 0, client.Width(), 60}, kBand);
    CString header;
    if (m_staticAlert.GetSafeHwnd()) m_staticAlert.GetWindowText(header);
    const RECT band{0, 4, client.Width(), 60};
    CGdiFunc::drawTextLines(canvas.dc(), 22, header, g_strFontFace, 1, kBandText, FALSE, 1, -1, 0, nullptr, band);
    canvas.copyTo(paint.GetSafeHdc(), 0, 0);
}

BOOL CDlgConfMsg::OnEraseBkgnd(CDC*) { return TRUE; }
