#include "shell/dlg_page_message_for_config.h"

#include "foundation/globalfunc.h"
#include "foundation/registered_messages.h"
#include "resources/resource.h"
#include "shell/dlg_root.h"
#include "ui/dlang.h"
#include "ui/font_cache.h"
#include "ui/gdi_func.h"
#include "ui/memory_canvas.h"
#include "ui/view_state.h"

namespace {

constexpr COLORREF BODY_COLOUR = 0xFFFFFF;
constexpr COLORREF VIEW_TEXT_COLOUR = 0x69635D;

}  // namespace

// The base's white background and its OK and Cancel stay; the painting is
// this page's own.
BEGIN_MESSAGE_MAP(CDlgPageMessageForConfig, CDlgPageMessage)
    ON_WM_PAINT()
END_MESSAGE_MAP()

CDlgPageMessageForConfig::CDlgPageMessageForConfig(CBaseDialog* root)
    : CDlgPageMessage(root, IDD_PAGE_MESSAGE_FOR_CONFIG) {
    // Shown as its own view, it carries the message view like every
    // message page.
    m_ePageViewStatus = VIEW_STATE_MESSAGE;
}

void CDlgPageMessageForConfig::record(const wchar_t* name, int value) {
    CString entry;
    entry.Format(L"%s(%d)", name, value);
    m_log.record(entry);
}

void CDlgPageMessageForConfig::setMessageType(int type, CWnd* requester) {
    record(L"setMessageType", type);
    // Every call configures in full: the pooled page's shortcut for the
    // same message again does not apply here.
    int previous = m_eMessageType;
    m_eMessageType = SERVER_ERROR_NONE;
    CDlgPageMessage::setMessageType(type, requester);
    if (type == SERVER_ERROR_ETC_PROGRAM_EXIT || type == SERVER_ERROR_ETC_OPEN_SOURCE_LICENSE ||
        type == SERVER_ERROR_ETC_EULA || type == SERVER_ETC_REMOVE_DOWNLOAD) {
        m_ePrevMessageType = previous;
    }
    if (GetSafeHwnd()) Invalidate(FALSE);
}

void CDlgPageMessageForConfig::buildTexts() {
    CDlgPageMessage::buildTexts();
    if (!m_btnOk.GetSafeHwnd() || m_eMessageType == SERVER_ETC_REMOVE_DOWNLOAD) return;
    m_mapUseCtrl[&m_btnCancel] = 0;
    m_btnCancel.ShowWindow(SW_HIDE);
    CRect client;
    GetClientRect(&client);
    CDLang::moveWnd(this, &m_btnOk, client.Width() / 2 - 100, client.Height() - 70, 200, 50, 2);
}

BOOL CDlgPageMessageForConfig::PreTranslateMessage(MSG* msg) { return CBaseChildDialog::PreTranslateMessage(msg); }

BOOL CDlgPageMessageForConfig::showPage(BOOL show) {
    record(L"showPage", show ? 1 : 0);
    BOOL shown = CDlgPageMessage::showPage(show);
    // The settings and the sign-out wait until the settings' question is
    // answered; the exit button follows the exit locks.
    if (show) {
        if (CDlgRoot* r = root()) {
            r->enableTopButton(0, this, FALSE);
            r->enableTopButton(2, this, FALSE);
        }
    }
    return shown;
}

BOOL CDlgPageMessageForConfig::initPage() {
    m_log.record(L"initPage");
    return TRUE;
}

void CDlgPageMessageForConfig::OnBnClickedButtonOk() {
    if (m_bOkProcessing) return;
    int type = m_eMessageType;
    record(L"OnBnClickedButtonOk", type);
    if (type == SERVER_ETC_REMOVE_DOWNLOAD) {
        // The question becomes its answer on the same page.
        setMessageType(SERVER_ETC_DOWNLOAD_REMOVED, this);
        return;
    }
    closePage(FALSE);
}

void CDlgPageMessageForConfig::OnBnClickedButtonCancel() {
    if (g_bFolderPickerOpen || m_bOkProcessing) return;
    int type = m_eMessageType;
    record(L"OnBnClickedButtonCancel", type);
    CWnd* requester = m_pRequestPage;
    closePage(FALSE);
    if (requester && requester != this && requester->GetSafeHwnd()) {
        ::SendMessageW(requester->GetSafeHwnd(), RWM_MESSAGE_RESULT, 0, type);
    }
}

// The class name in the header band, the view and the message type under it.
void CDlgPageMessageForConfig::OnPaint() {
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    CMemoryCanvas canvas(dc.GetSafeHdc(), client.Width(), client.Height());
    if (!canvas.valid()) return;
    canvas.fill(BODY_COLOUR);
    drawHeader(&canvas.cdc(), L"CDlgPageMessageForConfig");
    CString type = CGlobalFunc::getErrorName(static_cast<unsigned int>(m_eMessageType));
    if (type.IsEmpty()) type.Format(L"%d", m_eMessageType);
    CString view;
    view.Format(L"view %d: %s", static_cast<int>(VIEW_STATE_PAGE_FOR_CONFIG), type.GetString());
    RECT line = {0, 80, client.Width(), 120};
    CGdiFunc::drawTextInWnd(m_hWnd, canvas.dc(), line, view, g_strFontFace, 20, FALSE, VIEW_TEXT_COLOUR, 1);
    canvas.copyTo(dc.GetSafeHdc());
}
