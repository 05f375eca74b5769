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

CPlaceholderPage::CPlaceholderPage(UINT templateId, CBaseDialog* root, const wchar_t* className, int viewId)
    : CBaseChildDialog(templateId, root), m_strClassName(className), m_nServedView(viewId) {}

BOOL CPlaceholderPage::OnInitDialog() {
    CBaseChildDialog::OnInitDialog();
    return TRUE;
}

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
// frame sends to the current page, are recorded too, so the shell's
// broadcasts, message results and error reports can be counted per page.
LRESULT CPlaceholderPage::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    CString entry;
    if (message == RWM_MESSAGE_RESULT) {
        entry.Format(L"messageResult(%d,%d)", static_cast<int>(lParam), static_cast<int>(wParam));
    } else if (message == RWM_CHANGE_LANGUAGE) {
        entry = L"changeLanguage";
        Invalidate(FALSE);
    } else if (message == RWM_CONFIG_CLOSED) {
        entry = L"configClosed";
    } else if (message == RWM_EXIT_PROGRAM_CANCEL) {
        entry = L"exitProgramCancel";
    } else if (message == UM_MODULE_ERROR) {
        entry.Format(L"moduleError(%d,%d)", static_cast<int>(wParam), static_cast<int>(lParam));
    }
    if (!entry.IsEmpty()) {
        recordCall(entry);
        return 0;
    }
    switch (message) {
        case WM_ERASEBKGND:
            return TRUE;
        case WM_PAINT:
            paint();
            return 0;
        default:
            return CBaseChildDialog::WindowProc(message, wParam, lParam);
    }
}

// The class name in the page's header band and the served view under it.
void CPlaceholderPage::paint() {
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
