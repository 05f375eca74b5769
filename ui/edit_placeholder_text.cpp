#include "ui/edit_placeholder_text.h"
#include "ui/edit_frame.h"

#include "foundation/code_tables.h"
#include "foundation/private_messages.h"
#include "foundation/registered_messages.h"
#include "foundation/regsetting.h"

IMPLEMENT_DYNAMIC(CEditPlaceholderText, CEdit)

BEGIN_MESSAGE_MAP(CEditPlaceholderText, CEdit)
    ON_WM_SIZE()
    ON_WM_NCPAINT()
    ON_WM_PAINT()
    ON_REGISTERED_MESSAGE(RWM_CHANGE_LANGUAGE, &CEditPlaceholderText::OnChangeLanguage)
END_MESSAGE_MAP()

CEditPlaceholderText::CEditPlaceholderText() = default;
CEditPlaceholderText::~CEditPlaceholderText() { delete m_pFrame; }

void CEditPlaceholderText::setFrameImage(UINT id) {
    delete m_pFrame;
    m_pFrame = CGdiFunc::loadPngResource(id);
}

BOOL CEditPlaceholderText::PreTranslateMessage(MSG* msg) {
    if (msg->hwnd == m_hWnd && msg->message == WM_KEYDOWN) {
        if (msg->wParam == VK_RETURN && m_pEnterTarget && m_pEnterTarget->GetSafeHwnd()) {
            ::SendMessageW(m_pEnterTarget->GetSafeHwnd(), UM_EDIT_ENTER, 0, 0);
        }
        if (msg->wParam == VK_PROCESSKEY && m_bBlockIme) return TRUE;
    }
    return CEdit::PreTranslateMessage(msg);
}

void CEditPlaceholderText::OnSize(UINT type, int cx, int cy) {
    CEdit::OnSize(type, cx, cy);
    RECT box{};
    ::SendMessageW(m_hWnd, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&box));
    int height = box.bottom - box.top;
    box.top = cy / 2 - height / 2;
    box.bottom = box.top + height;
    ::SendMessageW(m_hWnd, EM_SETRECT, 0, reinterpret_cast<LPARAM>(&box));
}

void CEditPlaceholderText::drawFrame() { drawEditFrame(*this, m_pFrame, m_borderColor); }

void CEditPlaceholderText::OnNcPaint() {
    if (!m_pFrame) drawFrame();
}

void CEditPlaceholderText::OnPaint() {
    // A frame image lies under the text, a one-pixel frame over it.
    if (m_pFrame) drawFrame();
    if (::GetWindowTextLengthW(m_hWnd) > 0 || m_strPlaceholder.IsEmpty()) {
        Default();
        if (!m_pFrame) drawFrame();
        return;
    }
    PAINTSTRUCT paint{};
    HDC dc = ::BeginPaint(m_hWnd, &paint);
    RECT client{};
    ::GetClientRect(m_hWnd, &client);
    // The same background the edit paints itself.
    HWND parent = ::GetParent(m_hWnd);
    HBRUSH brush = parent ? reinterpret_cast<HBRUSH>(::SendMessageW(parent, WM_CTLCOLOREDIT,
                                                                    reinterpret_cast<WPARAM>(dc),
                                                                    reinterpret_cast<LPARAM>(m_hWnd)))
                          : nullptr;
    // Over a frame image the placeholder stands on the image itself.
    if (!m_pFrame) FillRect(dc, &client, brush ? brush : static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    RECT box{};
    ::SendMessageW(m_hWnd, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&box));
    HGDIOBJ font = reinterpret_cast<HGDIOBJ>(::SendMessageW(m_hWnd, WM_GETFONT, 0, 0));
    HGDIOBJ previous = font ? SelectObject(dc, font) : nullptr;
    SetTextColor(dc, m_placeholderColor);
    SetBkMode(dc, TRANSPARENT);
    // A placeholder longer than the field ends in an ellipsis rather than
    // being cut off mid-word.
    UINT format = DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX;
    if (GetWindowLongPtrW(m_hWnd, GWL_STYLE) & ES_RIGHT) format |= DT_RIGHT;
    if (GetWindowLongPtrW(m_hWnd, GWL_EXSTYLE) & WS_EX_RTLREADING) format |= DT_RTLREADING;
    DrawTextW(dc, m_strPlaceholder, m_strPlaceholder.GetLength(), &box, format);
    if (previous) SelectObject(dc, previous);
    ::EndPaint(m_hWnd, &paint);
    if (!m_pFrame) drawFrame();
}

LRESULT CEditPlaceholderText::OnChangeLanguage(WPARAM, LPARAM) {
    bool arabic = CRegSetting::getLanguage() == LANGUAGE_AR;
    ModifyStyle(arabic ? 0 : ES_RIGHT, arabic ? ES_RIGHT : 0);
    ModifyStyleEx(arabic ? 0 : WS_EX_RTLREADING, arabic ? WS_EX_RTLREADING : 0);
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
    return 0;
}
