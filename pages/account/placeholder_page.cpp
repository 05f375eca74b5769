#include "pages/account/placeholder_page.h"

#include "foundation/private_messages.h"
#include "foundation/registered_messages.h"
#include "ui/font_cache.h"
#include "ui/gdi_func.h"
#include "ui/memory_canvas.h"

namespace {

constexpr COLORREF BODY_COLOUR = 0xFFFFFF;
constexpr COLORREF VIEW_TEXT_COLOUR = 0x69635D;

}  // namespace

BEGIN_MESSAGE_MAP(CPlaceholderPage, CBaseChildDialog)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_REGISTERED_MESSAGE(RWM_MESSAGE_RESULT, &CPlaceholderPage::OnMessageResult)
    ON_REGISTERED_MESSAGE(RWM_CHANGE_LANGUAGE, &CPlaceholderPage::OnChangeLanguage)
    ON_REGISTERED_MESSAGE(RWM_CONFIG_CLOSED, &CPlaceholderPage::OnConfigClosed)
    ON_REGISTERED_MESSAGE(RWM_EXIT_PROGRAM_CANCEL, &CPlaceholderPage::OnExitProgramCancel)
    ON_MESSAGE(UM_MODULE_ERROR, &CPlaceholderPage::OnModuleError)
END_MESSAGE_MAP()

CPlaceholderPage::CPlaceholderPage(UINT templateId, CBaseDialog* root, const wchar_t* className, int viewId)
    : CBaseChildDialog(templateId, root), m_strClassName(className), m_nServedView(viewId) {}

BOOL CPlaceholderPage::showPage(BOOL show) {
    CString entry;
    entry.Format(L"showPage(%d)", show ? 1 : 0);
    recordCall(entry);
    if (show && !m_bShowResult) return FALSE;
    if (GetSafeHwnd()) ShowWindow(show ? SW_SHOW : SW_HIDE);
    m_bShown = show ? TRUE : FALSE;
    return TRUE;
}

BOOL CPlaceholderPage::initPage() {
    recordCall(L"initPage");
    return m_bInitResult;
}

void CPlaceholderPage::skipPage() { recordCall(L"skipPage"); }

BOOL CPlaceholderPage::setAutoSkip(BOOL autoSkip) {
    CString entry;
    entry.Format(L"setAutoSkip(%d)", autoSkip ? 1 : 0);
    recordCall(entry);
    return CBaseChildDialog::setAutoSkip(autoSkip);
}

// The registered messages that reach every page, and the module errors the
// frame sends to the current page, are recorded, so the shell's broadcasts,
// message results and error reports can be counted per page.
LRESULT CPlaceholderPage::OnMessageResult(WPARAM wParam, LPARAM lParam) {
    CString entry;
    entry.Format(L"messageResult(%d,%d)", static_cast<int>(lParam), static_cast<int>(wParam));
    recordCall(entry);
    return 0;
}

LRESULT CPlaceholderPage::OnChangeLanguage(WPARAM, LPARAM) {
    recordCall(L"changeLanguage");
    Invalidate(FALSE);
    return 0;
}

LRESULT CPlaceholderPage::OnConfigClosed(WPARAM, LPARAM) {
    recordCall(L"configClosed");
    return 0;
}

LRESULT CPlaceholderPage::OnExitProgramCancel(WPARAM, LPARAM) {
    recordCall(L"exitProgramCancel");
    return 0;
}

LRESULT CPlaceholderPage::OnModuleError(WPARAM wParam, LPARAM lParam) {
    CString entry;
    entry.Format(L"moduleError(%d,%d)", static_cast<int>(wParam), static_cast<int>(lParam));
    recordCall(entry);
    return 0;
}

BOOL CPlaceholderPage::OnEraseBkgnd(CDC*) { return TRUE; }

// The class name in the page's header band and the served view under it.
void CPlaceholderPage::OnPaint() {
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    CMemoryCanvas canvas(dc.GetSafeHdc(), client.Width(), client.Height());
    if (!canvas.valid()) return;
    canvas.fill(BODY_COLOUR);
    drawHeader(&canvas.cdc(), m_strClassName);
    CString view;
    view.Format(L"view %d", m_nServedView);
    RECT line = {0, 80, client.Width(), 120};
    CGdiFunc::drawTextInWnd(m_hWnd, canvas.dc(), line, view, g_strFontFace, 20, FALSE, VIEW_TEXT_COLOUR, 1);
    canvas.copyTo(dc.GetSafeHdc());
}
