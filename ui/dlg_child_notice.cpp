#include "ui/dlg_child_notice.h"

#include "foundation/globalfunc.h"
#include "foundation/logmanager.h"
#include "foundation/registered_messages.h"
#include "foundation/regsetting.h"
#include "resources/resource.h"
#include "ui/base_helpers.h"
#include "ui/lang_library.h"
#include "ui/font_cache.h"
#include "ui/gdi_func.h"
#include "ui/memory_canvas.h"
#include "ui/notice_layout.h"
#include "ui/text_ids.h"

namespace {
constexpr int MIRROR_ARABIC = 2;
constexpr COLORREF CAPTION_COLOUR = 0xFFFFFF;
constexpr COLORREF DATE_COLOUR = 0xF2F0EF;
}  // namespace

BEGIN_MESSAGE_MAP(CDlgChildNotice, CDialog)
    ON_WM_PAINT()
    ON_WM_SIZE()
    ON_REGISTERED_MESSAGE(RWM_CHANGE_LANGUAGE, &CDlgChildNotice::OnChangeLanguage)
    ON_BN_CLICKED(IDC_BUTTON_MORE, &CDlgChildNotice::OnBnClickedButtonMore)
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

CDlgChildNotice::CDlgChildNotice(CWnd* parent) : CDialog(IDD_CHILD_NOTICE, parent) {}

CDlgChildNotice::~CDlgChildNotice() { base_helpers::releaseBitmap(m_pImgMark); }

void CDlgChildNotice::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_STATIC_TITLE, m_staticTitle);
    DDX_Control(dx, IDC_BUTTON_ITEM, m_btnItem);
    DDX_Control(dx, IDC_STATIC_DATE, m_staticDate);
    DDX_Control(dx, IDC_BUTTON_MORE, m_btnMore);
}

BOOL CDlgChildNotice::OnInitDialog() {
    CDialog::OnInitDialog();
    m_staticTitle.ModifyStyle(SS_TYPEMASK, SS_OWNERDRAW);
    m_staticDate.ModifyStyle(SS_TYPEMASK, SS_OWNERDRAW);
    m_staticTitle.m_textColor = CAPTION_COLOUR;
    m_staticTitle.m_bgColor = notice_layout::BAR_COLOUR;
    m_staticTitle.m_nStyle = 0x10;
    m_staticTitle.m_bSingleLine = TRUE;
    m_staticDate.m_textColor = DATE_COLOUR;
    m_staticDate.m_bgColor = notice_layout::BAR_COLOUR;
    m_staticDate.m_nStyle = 0x10;
    m_btnItem.m_bgColor = notice_layout::BAR_COLOUR;

    m_btnMore.setImage(IDB_BUTTON_MORE);
    m_btnMore.setEnable(FALSE);
    m_btnMore.Invalidate(TRUE);
    m_btnMore.EnableWindow(FALSE);

    m_btnItem.setText(CLangLibrary::loadLangString(IDS_NOTICE_NONE), 12, FALSE, 4);
    refreshNotice();
    m_staticTitle.SetWindowText(CLangLibrary::loadLangString(IDS_NOTICE_CAPTION));
    m_staticTitle.setFontStyle(16, FALSE);
    m_staticDate.setFontStyle(12, FALSE);
    // Without the font the item keeps the system font rather than taking a null pointer's handle.
    if (CFont* font = CFontCache::getFont(12)) {
        m_btnItem.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font->GetSafeHandle()), TRUE);
    }
    return TRUE;
}

void CDlgChildNotice::layoutNotice() {
    if (!GetSafeHwnd()) return;
    CRect client;
    GetClientRect(&client);
    CSize measured = m_staticTitle.measureText(CLangLibrary::loadLangString(IDS_NOTICE_CAPTION));
    auto l = notice_layout::layout(measured.cx, client.Width(), CRegSetting::getLastUserCorp());
    struct {
        CWnd& control;
        notice_layout::Box box;
    } rows[] = {{m_staticTitle, l.caption}, {m_btnItem, l.item}, {m_staticDate, l.date}};
    for (auto& r : rows) {
        CGlobalFunc::moveChildWindow(m_hWnd, r.control.GetSafeHwnd(), r.box.x, r.box.y, r.box.width, r.box.height,
                                     MIRROR_ARABIC);
    }
    refreshNotice();
}

void CDlgChildNotice::refreshNotice() {
    if (!GetSafeHwnd()) return;
    bool arabic = CGdiFunc::isArabic();
    m_btnItem.m_nRightToLeft = arabic ? 1 : 0;
    for (CStaticEx* text : {&m_staticTitle, &m_staticDate}) {
        BOOL leftToRight = !arabic;
        if (text->m_bLeftToRight != leftToRight) {
            text->m_bLeftToRight = leftToRight;
            text->Invalidate(TRUE);
        }
    }

    base_helpers::reloadBitmap(m_pImgMark, IDB_NOTICE_MARK);
    m_staticTitle.SetWindowText(CLangLibrary::loadLangString(IDS_NOTICE_CAPTION));
    if (m_stNoticeResult.nStatus == 0) {
        m_btnItem.setCaption(m_stNoticeResult.strTitle);
        m_btnItem.setUrl(m_stNoticeResult.strDtlURL);
        m_staticDate.SetWindowText(m_stNoticeResult.strPubDate);
        m_staticDate.ShowWindow(SW_SHOW);
    } else {
        m_btnItem.setCaption(CLangLibrary::loadLangString(IDS_NOTICE_NONE));
        m_btnItem.setUrl(CString());
        m_staticDate.SetWindowText(L"");
        m_staticDate.ShowWindow(SW_HIDE);
    }
    CGlobalFunc::invalidateChild(m_hWnd, m_btnItem.GetSafeHwnd());

    if (m_btnMore.GetSafeHwnd()) {
        CRect client;
        GetClientRect(&client);
        auto more = notice_layout::moreButton(client.Width());
        CGlobalFunc::moveChildWindow(m_hWnd, m_btnMore.GetSafeHwnd(), more.x, more.y, more.width, more.height,
                                     MIRROR_ARABIC);
    }
    Invalidate(FALSE);
}

void CDlgChildNotice::OnPaint() {
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    CMemoryCanvas canvas(dc.GetSafeHdc(), client.Width(), client.Height());
    if (!canvas.valid()) return;
    canvas.fill(0xFFFFFF);
    RECT bar = {0, client.Height() - notice_layout::BAR_HEIGHT, client.Width(), client.Height()};
    base_helpers::fillSolid(canvas.dc(), bar, notice_layout::BAR_COLOUR);
    if (m_pImgMark && m_btnMore.GetSafeHwnd()) {
        RECT more = base_helpers::childRect(m_hWnd, m_btnMore.GetSafeHwnd());
        int w = static_cast<int>(m_pImgMark->GetWidth()), h = static_cast<int>(m_pImgMark->GetHeight());
        Gdiplus::Graphics g(canvas.dc());
        CGdiFunc::drawImage(m_hWnd, &g, m_pImgMark, notice_layout::markX(more, client.Width(), CGdiFunc::isArabic()),
                            client.Height() - notice_layout::BAR_HEIGHT + h / 2, w, h);
    }
    canvas.copyTo(dc.GetSafeHdc());
}

BOOL CDlgChildNotice::OnEraseBkgnd(CDC* dc) {
    CRect client;
    GetClientRect(&client);
    base_helpers::fillSolid(dc->GetSafeHdc(), client, notice_layout::BAR_COLOUR);
    return TRUE;
}

void CDlgChildNotice::OnSize(UINT type, int cx, int cy) {
    CDialog::OnSize(type, cx, cy);
    if (!m_btnMore.GetSafeHwnd()) return;
    CRect client;
    GetClientRect(&client);
    int x = client.Width() - 35;
    if (CGdiFunc::isArabic()) x = client.Width() - x - 20;
    m_btnMore.SetWindowPos(nullptr, x, 10, 20, 20, SWP_NOZORDER);
}

void CDlgChildNotice::OnBnClickedButtonMore() {
    if (m_stNoticeResult.nStatus != 0 || m_stNoticeResult.strMoreURL.IsEmpty()) return;
    CGlobalFunc::openUrl(m_stNoticeResult.strMoreURL);
    LOG_WRITE(L"m_stNoticeResult.strMoreURL = [%s]", m_stNoticeResult.strMoreURL.GetString());
}

LRESULT CDlgChildNotice::OnChangeLanguage(WPARAM, LPARAM) {
    m_btnItem.setCaption(CString());
    m_btnItem.Invalidate(TRUE);
    // The caption's width changes with the language; lay out again.
    layoutNotice();
    return 0;
}

BOOL CDlgChildNotice::PreTranslateMessage(MSG* msg) {
    if (msg->message == WM_KEYDOWN) return TRUE;
    return CDialog::PreTranslateMessage(msg);
}
