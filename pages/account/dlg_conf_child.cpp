#include "pages/account/dlg_conf_child.h"
#include "pages/account/document_helpers.h"

#include "foundation/code_tables.h"
#include "foundation/current_ui.h"
#include "foundation/globalfunc.h"
#include "foundation/program_strings.h"
#include "foundation/regsetting.h"
#include "resources/resource.h"
#include "ui/rich_edit_ctrl_ex.h"

#include <richedit.h>

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kTitle = RGB(94, 108, 125);
constexpr COLORREF kButtonName = RGB(164, 170, 177);
constexpr UINT kMark = 474;
constexpr UINT kMarkRightToLeft = 1727;
constexpr int kScrollHeight = 900;
// Re-applies the pairs' marks once the clicked button has handled its
// release: a notifying static reports the click on the press, before the
// button toggles its own mark.
constexpr UINT_PTR kSettleTimer = 1;



// A title breaks after its first character: it takes two lines.
bool isTwoLineTitle(const CString& title) { return title.GetLength() > 1 && title[1] == L'\n'; }

}  // namespace

IMPLEMENT_DYNAMIC(CDlgConfChild, CFormView)

BEGIN_MESSAGE_MAP(CDlgConfChild, CFormView)
    ON_WM_SHOWWINDOW()
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_TIMER()
    ON_BN_CLICKED(IDC_RADIO_CONSENT1_YES, &CDlgConfChild::OnBnClickedRadio1)
    ON_BN_CLICKED(IDC_RADIO_CONSENT1_NO, &CDlgConfChild::OnBnClickedRadio2)
    ON_BN_CLICKED(IDC_RADIO_CONSENT2_YES, &CDlgConfChild::OnBnClickedRadio3)
    ON_BN_CLICKED(IDC_RADIO_CONSENT2_NO, &CDlgConfChild::OnBnClickedRadio4)
END_MESSAGE_MAP()

CDlgConfChild::CDlgConfChild() : CFormView(IDD_CONF_CHILD), m_nRegion(CRegSetting::getRegion()) {}

CDlgConfChild::~CDlgConfChild() {
    for (CRichEditCtrlEx*& edit : m_pDocument) {
        if (edit && edit->GetSafeHwnd()) edit->DestroyWindow();
        delete edit;
        edit = nullptr;
    }
}

void CDlgConfChild::DoDataExchange(CDataExchange* dx) {
    DDX_Control(dx, IDC_STATIC_TITLE1, m_staticTitle1);
    DDX_Control(dx, IDC_STATIC_TITLE3, m_staticTitle3);
    DDX_Control(dx, IDC_STATIC_TITLE4, m_staticTitle4);
    DDX_Control(dx, IDC_STATIC_FILE_EMPTY1, m_staticEmpty1);
    DDX_Control(dx, IDC_STATIC_FILE_EMPTY3, m_staticEmpty3);
    DDX_Control(dx, IDC_STATIC_FILE_EMPTY4, m_staticEmpty4);
    DDX_Control(dx, IDC_STATIC_BTN_NAME1, m_staticBtnName1);
    DDX_Control(dx, IDC_STATIC_BTN_NAME3, m_staticBtnName3);
    DDX_Control(dx, IDC_STATIC_BTN_NAME4, m_staticBtnName4);
    DDX_Control(dx, IDC_BOX_DOCUMENT1, m_box1);
    DDX_Control(dx, IDC_BOX_DOCUMENT3, m_box3);
    DDX_Control(dx, IDC_BOX_DOCUMENT4, m_box4);
    DDX_Control(dx, IDC_BOX_ICON1, m_icon1);
    DDX_Control(dx, IDC_BOX_ICON3, m_icon3);
    DDX_Control(dx, IDC_BOX_ICON4, m_icon4);
    DDX_Control(dx, IDC_BOX_ICON1_HIGH, m_icon1High);
    DDX_Control(dx, IDC_BOX_ICON3_HIGH, m_icon3High);
    DDX_Control(dx, IDC_BOX_ICON4_HIGH, m_icon4High);
    DDX_Control(dx, IDC_RADIO_CONSENT1_YES, m_btnAgree1);
    DDX_Control(dx, IDC_RADIO_CONSENT1_NO, m_btnDisagree1);
    DDX_Control(dx, IDC_RADIO_CONSENT2_YES, m_btnAgree2);
    DDX_Control(dx, IDC_RADIO_CONSENT2_NO, m_btnDisagree2);
}

void CDlgConfChild::OnInitialUpdate() {
    CFormView::OnInitialUpdate();
    for (CStaticEx* s : {&m_staticTitle1, &m_staticTitle3, &m_staticTitle4, &m_staticBtnName1, &m_staticBtnName3,
                         &m_staticBtnName4}) {
        s->m_nStyle = 17;
    }
    for (CStaticEx* s : {&m_staticEmpty1, &m_staticEmpty3, &m_staticEmpty4}) s->m_nStyle = 2;
    const UINT mark = g_nCurrentLanguage == LANGUAGE_AR ? kMarkRightToLeft : kMark;
    m_box3.setFrameImage(IDB_COMBO_FRAME);
    m_box4.setFrameImage(IDB_COMBO_FRAME);
    for (CEditCtrl* icon : {&m_icon1, &m_icon3, &m_icon4, &m_icon1High, &m_icon3High, &m_icon4High}) {
        icon->setFrameImage(mark);
    }
    for (CEditCtrl* box : {&m_box1, &m_box3, &m_box4, &m_icon1, &m_icon3, &m_icon4, &m_icon1High, &m_icon3High,
                           &m_icon4High}) {
        // Frames only paint.
        if (box->GetSafeHwnd()) box->EnableWindow(FALSE);
    }
    layoutControls();
    applyTexts();
    loadDocuments();
    for (CStaticEx* s : {&m_staticTitle1, &m_staticTitle3, &m_staticTitle4, &m_staticEmpty1, &m_staticEmpty3,
                         &m_staticEmpty4}) {
        s->setFontStyle(18, FALSE);
        s->m_textColor = kTitle;
    }
    for (CStaticEx* s : {&m_staticBtnName1, &m_staticBtnName3, &m_staticBtnName4}) {
        s->setFontStyle(16, FALSE);
        s->m_textColor = kButtonName;
    }
}

void CDlgConfChild::layoutControls() {
    CRect client;
    GetClientRect(&client);
    const int w = client.Width();
    const bool arabic = g_nCurrentLanguage == LANGUAGE_AR;
    // Form coordinates: the content moves with the scroll position.
    const CPoint origin = GetScrollPosition();
    auto place = [&](CWnd& control, int x, int y, int cx, int cy) {
        if (!control.GetSafeHwnd()) return;
        const int left = arabic ? w - cx - x : x;
        control.SetWindowPos(nullptr, left - origin.x, y - origin.y, cx, cy, SWP_NOZORDER | SWP_NOACTIVATE);
    };
    // The titles and the missing-document labels stand beside their icons:
    // at the right edge in the mirrored form.
    for (CStaticEx* s : {&m_staticTitle1, &m_staticTitle3, &m_staticTitle4, &m_staticEmpty1, &m_staticEmpty3,
                         &m_staticEmpty4}) {
        if (s->m_bRightAlign == (arabic ? TRUE : FALSE)) continue;
        s->m_bRightAlign = arabic ? TRUE : FALSE;
        if (s->GetSafeHwnd()) s->Invalidate(FALSE);
    }
    const int titleY = CRegSetting::getRegion() == REGION_KR ? 24 : 22;
    place(m_staticTitle1, 120, titleY, w - 120, 24);
    place(m_icon1, 110, 24, 8, 24);
    place(m_icon1High, 110, 12, 8, 24);
    place(m_box1, 110, 50, w - 221, 385);
    place(m_staticEmpty1, 112, 60, 658, 380);
    place(m_staticBtnName1, w - 211, 169, 79, 37);
    place(m_staticTitle3, 120, 458, w - 120, 40);
    place(m_icon3, 110, 468, 8, 24);
    place(m_icon3High, 110, 458, 8, 24);
    place(m_box3, 110, 504, w - 221, 100);
    place(m_staticEmpty3, 120, 509, 638, 85);
    place(m_staticBtnName3, w - 211, 615, 79, 37);
    place(m_btnAgree1, 110, 619, 200, 20);
    place(m_btnDisagree1, 360, 619, 200, 20);
    place(m_staticTitle4, 120, 696, w - 120, 40);
    place(m_icon4, 110, 706, 8, 24);
    place(m_icon4High, 110, 696, 8, 24);
    place(m_box4, 110, 742, w - 221, 100);
    place(m_staticEmpty4, 120, 747, 638, 85);
    place(m_staticBtnName4, w - 211, 853, 79, 37);
    place(m_btnAgree2, 110, 857, 200, 20);
    place(m_btnDisagree2, 360, 857, 200, 20);
    const RECT documents[3] = {{115, 55, w - 115, 430}, {115, 509, w - 115, 594}, {115, 747, w - 115, 832}};
    AfxInitRichEdit2();
    for (int i = 0; i < 3; ++i) {
        RECT r = documents[i];
        if (arabic) r = RECT{w - r.right, r.top, w - r.left, r.bottom};
        if (!m_pDocument[i]) {
            m_pDocument[i] = new CRichEditCtrlEx();
            const DWORD style = WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY;
            if (!m_pDocument[i]->Create(style, CRect(r), this, 0x7201 + i)) {
                delete m_pDocument[i];
                m_pDocument[i] = nullptr;
                continue;
            }
            m_pDocument[i]->SendMessage(EM_SETBKGNDCOLOR, 0, kWhite);
        } else {
            place(*m_pDocument[i], r.left, r.top, r.right - r.left, r.bottom - r.top);
        }
        m_pDocument[i]->setLeftToRight(!arabic);
    }
}

void CDlgConfChild::applyTexts() {
    setTextIfChanged(m_staticTitle1, g_strTermsTitle1);
    setTextIfChanged(m_staticTitle3, g_strTermsTitle3);
    setTextIfChanged(m_staticTitle4, g_strTermsTitle4);
    for (CStaticEx* s : {&m_staticEmpty1, &m_staticEmpty3, &m_staticEmpty4}) setTextIfChanged(*s, g_strTermsFileEmpty);
    for (CStaticEx* s : {&m_staticBtnName1, &m_staticBtnName3, &m_staticBtnName4}) {
        setTextIfChanged(*s, g_strTermsBtnName);
    }
    for (CPngWithTextButton* b : {&m_btnAgree1, &m_btnAgree2}) {
        if (b->m_strCaption != g_strTermsRadio1) b->setText(g_strTermsRadio1, 16, FALSE, 1);
    }
    for (CPngWithTextButton* b : {&m_btnDisagree1, &m_btnDisagree2}) {
        if (b->m_strCaption != g_strTermsRadio2) b->setText(g_strTermsRadio2, 16, FALSE, 1);
    }
}

CString CDlgConfChild::getEulaFolder() {
    const CString folder = CRegSetting::getInstallPath() + L"\\Eula\\";
    if (GetFileAttributesW(folder) == INVALID_FILE_ATTRIBUTES) {
        CGlobalFunc::createDirectory(folder);
        SetFileAttributesW(folder, FILE_ATTRIBUTE_HIDDEN);
    }
    return folder;
}

CString CDlgConfChild::getEulaFileName(int region, int document) {
    const bool korea = region == REGION_KR;
    if (document == 3) return korea ? L"License_C_ko-KR.rtf" : L"License_C_en-US.rtf";
    if (document == 4) return korea ? L"License_D_ko-KR.rtf" : L"License_D_en-US.rtf";
    switch (region) {
        case REGION_KR: return L"TermsOfUse_ko-KR.rtf";
        case REGION_ME: return L"TermsOfUse_en-ME.rtf";
        case REGION_NZ:
        case REGION_AU: return L"TermsOfUse_en-AU.rtf";
        default: return L"TermsOfUse_en-US.rtf";
    }
}

void CDlgConfChild::loadDocuments() {
    const CString folder = getEulaFolder();
    const int documents[3] = {1, 3, 4};
    CStaticEx* empty[3] = {&m_staticEmpty1, &m_staticEmpty3, &m_staticEmpty4};
    for (int i = 0; i < 3; ++i) {
        if (!m_pDocument[i]) continue;
        const CString path = folder + getEulaFileName(g_nCurrentRegion, documents[i]);
        const bool loaded = m_pDocument[i]->loadRtfFile(path) != FALSE;
        CRect format;
        m_pDocument[i]->GetClientRect(&format);
        format.DeflateRect(10, 0);
        m_pDocument[i]->SendMessage(EM_SETRECT, 0, reinterpret_cast<LPARAM>(&format));
        if (empty[i]->GetSafeHwnd()) empty[i]->ShowWindow(loaded ? SW_HIDE : SW_SHOW);
    }
    // The form, not a document, takes the focus: the wheel scrolls the form.
    if (GetSafeHwnd()) SetFocus();
}

void CDlgConfChild::showSections(bool shown) {
    for (CWnd* w : std::initializer_list<CWnd*>{&m_staticTitle3, &m_staticTitle4, &m_icon3, &m_icon3High, &m_icon4,
                                                &m_icon4High, &m_box3, &m_box4, &m_btnAgree1, &m_btnDisagree1,
                                                &m_btnAgree2, &m_btnDisagree2}) {
        showIfChanged(*w, shown);
    }
    for (int i = 1; i < 3; ++i) {
        if (m_pDocument[i]) showIfChanged(*m_pDocument[i], shown);
    }
    if (!shown) {
        showIfChanged(m_staticEmpty3, false);
        showIfChanged(m_staticEmpty4, false);
    }
}

void CDlgConfChild::OnShowWindow(BOOL show, UINT) {
    Default();
    if (!show) return;
    m_nConsent1 = m_nConsent1 == 1 ? 1 : 0;
    m_nConsent2 = m_nConsent2 == 1 ? 1 : 0;
    applyMarks();
    CRect client;
    GetClientRect(&client);
    if (m_nRegion == REGION_KR) {
        m_bCollapsed = 0;
        showSections(true);
        SetScrollSizes(MM_TEXT, CSize(client.Width(), kScrollHeight));
    } else {
        m_bCollapsed = 1;
        showSections(false);
        SetScrollSizes(MM_TEXT, CSize(0, 0));
    }
}

void CDlgConfChild::OnPaint() {
    CPaintDC paint(this);
    const bool twoLine1 = isTwoLineTitle(g_strTermsTitle1);
    showIfChanged(m_icon1, !twoLine1);
    showIfChanged(m_icon1High, twoLine1);
    if (!m_bCollapsed) {
        const bool twoLine3 = isTwoLineTitle(g_strTermsTitle3);
        const bool twoLine4 = isTwoLineTitle(g_strTermsTitle4);
        showIfChanged(m_icon3, !twoLine3);
        showIfChanged(m_icon3High, twoLine3);
        showIfChanged(m_icon4, !twoLine4);
        showIfChanged(m_icon4High, twoLine4);
    }
    for (CStaticEx* s : {&m_staticBtnName1, &m_staticBtnName3, &m_staticBtnName4}) showIfChanged(*s, false);
    applyTexts();
}

BOOL CDlgConfChild::OnEraseBkgnd(CDC* dc) {
    if (!dc) return TRUE;
    CRect client;
    GetClientRect(&client);
    HBRUSH brush = ::CreateSolidBrush(kWhite);
    ::FillRect(dc->GetSafeHdc(), &client, brush);
    ::DeleteObject(brush);
    return TRUE;
}

// A click selects its button of the pair: clicking the selected one leaves
// the pair as it is.
void CDlgConfChild::settle(CPngWithTextButton& agree, CPngWithTextButton& disagree, bool clickedAgree, int& consent) {
    const int before = consent;
    consent = clickedAgree ? 1 : 0;
    applyMarks();
    if (consent != before) {
        CPngWithTextButton& other = clickedAgree ? disagree : agree;
        if (other.GetSafeHwnd()) other.SetFocus();
    }
    if (GetSafeHwnd()) SetTimer(kSettleTimer, 1, nullptr);
}

void CDlgConfChild::applyMarks() {
    const std::pair<CPngWithTextButton*, bool> marks[] = {
        {&m_btnAgree1, m_nConsent1 == 1}, {&m_btnDisagree1, m_nConsent1 != 1},
        {&m_btnAgree2, m_nConsent2 == 1}, {&m_btnDisagree2, m_nConsent2 != 1},
    };
    for (const auto& [button, checked] : marks) {
        button->m_bChecked = checked ? TRUE : FALSE;
        if (button->GetSafeHwnd()) button->Invalidate(FALSE);
    }
}

void CDlgConfChild::OnTimer(UINT_PTR id) {
    if (id != kSettleTimer) return;
    KillTimer(kSettleTimer);
    applyMarks();
}

void CDlgConfChild::OnBnClickedRadio1() { settle(m_btnAgree1, m_btnDisagree1, true, m_nConsent1); }
void CDlgConfChild::OnBnClickedRadio2() { settle(m_btnAgree1, m_btnDisagree1, false, m_nConsent1); }
void CDlgConfChild::OnBnClickedRadio3() { settle(m_btnAgree2, m_btnDisagree2, true, m_nConsent2); }
void CDlgConfChild::OnBnClickedRadio4() { settle(m_btnAgree2, m_btnDisagree2, false, m_nConsent2); }
