#include "ui/edit_ctrl.h"
#include "ui/edit_frame.h"

#include "foundation/code_tables.h"
#include "foundation/registered_messages.h"
#include "foundation/regsetting.h"

IMPLEMENT_DYNAMIC(CEditCtrl, CEdit)

BEGIN_MESSAGE_MAP(CEditCtrl, CEdit)
    ON_WM_CHAR()
    ON_WM_KEYDOWN()
    ON_WM_LBUTTONDOWN()
    ON_WM_RBUTTONDOWN()
    ON_WM_NCPAINT()
    ON_WM_PAINT()
    ON_WM_CTLCOLOR_REFLECT()
    ON_REGISTERED_MESSAGE(RWM_CHANGE_LANGUAGE, &CEditCtrl::OnChangeLanguage)
END_MESSAGE_MAP()

namespace {

bool isFilteredKey(WPARAM key) {
    return (key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z') || (key >= VK_NUMPAD0 && key <= VK_NUMPAD9) ||
           key == VK_BACK || key == VK_DELETE || key == VK_OEM_MINUS || key == VK_OEM_PERIOD;
}

bool isAllowedChar(UINT ch) {
    return (ch >= '0' && ch <= '9') || (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z') || ch == VK_BACK ||
           ch == '(' || ch == ')' || ch == '.' || ch == '_';
}

bool ctrlHeld() { return (GetKeyState(VK_CONTROL) & 0x8000) != 0; }

}  // namespace

CEditCtrl::CEditCtrl() { m_brush.CreateSolidBrush(RGB(255, 255, 255)); }

CEditCtrl::~CEditCtrl() {
    delete m_pFrame;
}

CString CEditCtrl::windowText() const {
    int length = ::GetWindowTextLengthW(m_hWnd);
    CString text;
    if (length > 0) {
        ::GetWindowTextW(m_hWnd, text.GetBuffer(length + 1), length + 1);
        text.ReleaseBuffer();
    }
    return text;
}

void CEditCtrl::setText(const CString& text, BOOL raw) {
    if (raw) {
        ::SetWindowTextW(m_hWnd, text);
        return;
    }
    m_bEditing = FALSE;
    if (text.IsEmpty()) {
        ::SendMessageW(m_hWnd, EM_SETPASSWORDCHAR, 0, 0);
        ::SetWindowTextW(m_hWnd, m_strPlaceholder);
        return;
    }
    if (m_bPassword) ::SendMessageW(m_hWnd, EM_SETPASSWORDCHAR, L'*', 0);
    ::SetWindowTextW(m_hWnd, text);
}

void CEditCtrl::getText(CString& out, BOOL raw) {
    out = windowText();
    if (!raw && out == m_strPlaceholder) out.Empty();
}

void CEditCtrl::setHintText(const CString& text) { m_strHint = text; }

void CEditCtrl::setColors(COLORREF background, COLORREF text) {
    m_bgColor = background;
    m_textColor = text;
    m_brush.DeleteObject();
    m_brush.CreateSolidBrush(background);
}

void CEditCtrl::setTextColor(COLORREF colour) { m_textColor = colour; }
void CEditCtrl::setBorderColor(COLORREF colour) { m_borderColor = colour; }

void CEditCtrl::setFrameImage(UINT id) {
    delete m_pFrame;
    m_pFrame = CGdiFunc::loadPngResource(id);
}

void CEditCtrl::setLanguageAlign(int language) {
    if (language == LANGUAGE_AR) {
        ModifyStyle(0, ES_RIGHT);
        ModifyStyleEx(0, WS_EX_RTLREADING);
    } else {
        ModifyStyle(ES_RIGHT, 0);
        ModifyStyleEx(WS_EX_RTLREADING, 0);
    }
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

void CEditCtrl::modifyAlignStyle(DWORD remove, DWORD add) {
    if (CGdiFunc::isArabic() && !(add & ES_CENTER)) add = ES_RIGHT;
    ModifyStyle(remove, add);
}

void CEditCtrl::PreSubclassWindow() {
    if (CGdiFunc::isArabic()) {
        ModifyStyle(0, ES_RIGHT);
        ModifyStyleEx(0, WS_EX_RTLREADING);
    }
    CEdit::PreSubclassWindow();
}

void CEditCtrl::showPlaceholder(bool notify) {
    ::SendMessageW(m_hWnd, EM_SETPASSWORDCHAR, 0, 0);
    ::SetWindowTextW(m_hWnd, m_strPlaceholder);
    m_bEditing = FALSE;
    if (notify) {
        HWND parent = ::GetParent(m_hWnd);
        int id = ::GetDlgCtrlID(m_hWnd);
        if (parent) {
            ::SendMessageW(parent, WM_COMMAND, MAKEWPARAM(id, EN_UPDATE), reinterpret_cast<LPARAM>(m_hWnd));
        }
    }
}

void CEditCtrl::beginEditing() {
    if (m_bPassword) ::SendMessageW(m_hWnd, EM_SETPASSWORDCHAR, L'*', 0);
    ::SetWindowTextW(m_hWnd, L"");
    m_bEditing = TRUE;
}

BOOL CEditCtrl::PreTranslateMessage(MSG* msg) {
    if (msg->hwnd != m_hWnd) return CEdit::PreTranslateMessage(msg);
    if (msg->message == WM_IME_COMPOSITION) {
        if (windowText() == m_strPlaceholder && !m_bEditing) beginEditing();
        return CEdit::PreTranslateMessage(msg);
    }
    if (msg->message != WM_KEYDOWN) return CEdit::PreTranslateMessage(msg);
    WPARAM key = msg->wParam;
    if (key == VK_PROCESSKEY) return TRUE;
    if (key == 'V' && ctrlHeld()) {
        // Pasting goes through the control's own paste, not the key filter.
        msg->message = WM_PASTE;
        msg->wParam = 0;
        msg->lParam = 0;
        return FALSE;
    }
    if (!isFilteredKey(key)) return CEdit::PreTranslateMessage(msg);

    CString text = windowText();
    if (key == 'X' && ctrlHeld()) return TRUE;
    bool placeholderShown = text == m_strPlaceholder;
    if (key == VK_BACK || key == VK_DELETE) {
        if (!placeholderShown) {
            DWORD start = 0, end = 0;
            ::SendMessageW(m_hWnd, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
            int lineStart = static_cast<int>(::SendMessageW(m_hWnd, EM_LINEINDEX, static_cast<WPARAM>(-1), 0));
            int column = static_cast<int>(end) - lineStart;
            if (text.GetLength() <= 1 && column == 1) {
                showPlaceholder(key == VK_BACK);
                return TRUE;
            }
            if (static_cast<int>(end - start) == text.GetLength()) {
                showPlaceholder(true);
                return TRUE;
            }
            return FALSE;
        }
        return m_bEditing ? FALSE : TRUE;
    }
    // An empty field is treated like the shown placeholder, so that the
    // first typed character of a password is masked too.
    if (text.IsEmpty() || (placeholderShown && !m_bEditing)) beginEditing();
    return FALSE;
}

void CEditCtrl::OnChar(UINT ch, UINT repeat, UINT flags) {
    if (isAllowedChar(ch)) CEdit::OnChar(ch, repeat, flags);
}

void CEditCtrl::OnKeyDown(UINT key, UINT repeat, UINT flags) {
    switch (key) {
    case 187: case 188: case 189: case 192: case 220: case 229: return;
    default: CEdit::OnKeyDown(key, repeat, flags);
    }
}

void CEditCtrl::OnLButtonDown(UINT flags, CPoint point) {
    CEdit::OnLButtonDown(flags, point);
    if (windowText() == m_strPlaceholder) {
        ::SendMessageW(m_hWnd, EM_SETSEL, 0, 0);
        ::SendMessageW(m_hWnd, EM_SCROLLCARET, 0, 0);
    }
}

void CEditCtrl::OnRButtonDown(UINT, CPoint) {}

void CEditCtrl::OnNcPaint() {}

void CEditCtrl::drawFrame() { drawEditFrame(*this, m_pFrame, m_borderColor); }

void CEditCtrl::OnPaint() {
    m_strLastText = windowText();
    // A frame image lies under the edit's own painting, a one-pixel frame
    // over it; the hint comes last. Nothing is invalidated from inside.
    if (m_pFrame) drawFrame();
    Default();
    if (!m_pFrame) {
        drawFrame();
    } else if (m_strLastText.IsEmpty() && !IsWindowEnabled()) {
        // A disabled edit without text shows only its image (a frame or a
        // line) on its background: the edit's own painting leaves what lay
        // there before.
        RECT window{};
        ::GetWindowRect(m_hWnd, &window);
        RECT all{0, 0, window.right - window.left, window.bottom - window.top};
        CWindowDC dc(this);
        HBRUSH background = ::CreateSolidBrush(m_bgColor);
        ::FillRect(dc.GetSafeHdc(), &all, background);
        ::DeleteObject(background);
        drawFrame();
    }
    if (!m_strLastText.IsEmpty() || m_strHint.IsEmpty()) return;
    RECT box{};
    ::SendMessageW(m_hWnd, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&box));
    CClientDC client(this);
    HDC dc = client.GetSafeHdc();
    HGDIOBJ font = reinterpret_cast<HGDIOBJ>(::SendMessageW(m_hWnd, WM_GETFONT, 0, 0));
    HGDIOBJ previous = font ? SelectObject(dc, font) : nullptr;
    SetTextColor(dc, m_textColor);
    SetBkMode(dc, TRANSPARENT);
    LONG_PTR style = GetWindowLongPtrW(m_hWnd, GWL_STYLE);
    LONG_PTR exStyle = GetWindowLongPtrW(m_hWnd, GWL_EXSTYLE);
    UINT format = DT_VCENTER;
    if (style & ES_CENTER) {
        format |= DT_CENTER;
    } else if (style & ES_RIGHT) {
        format |= DT_RIGHT;
    }
    if (style & ES_WANTRETURN) format |= DT_WORDBREAK;
    if (exStyle & WS_EX_RTLREADING) format |= DT_RTLREADING;
    DrawTextW(dc, m_strHint, m_strHint.GetLength(), &box, format);
    if (previous) SelectObject(dc, previous);
}

HBRUSH CEditCtrl::CtlColor(CDC* dc, UINT) {
    SetBkColor(dc->GetSafeHdc(), m_bgColor);
    SetTextColor(dc->GetSafeHdc(), m_textColor);
    if (m_pFrame) {
        // The text stands on the frame image.
        SetBkMode(dc->GetSafeHdc(), TRANSPARENT);
        return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    }
    return m_brush;
}

LRESULT CEditCtrl::OnChangeLanguage(WPARAM, LPARAM) {
    setLanguageAlign(CRegSetting::getLanguage());
    return 0;
}
