#include "ui/rich_edit_ctrl_ex.h"

#include "foundation/globalfunc.h"
#include "foundation/registered_messages.h"
#include "ui/gdi_func.h"

#include <richedit.h>

#include <vector>

IMPLEMENT_DYNAMIC(CRichEditCtrlEx, CRichEditCtrl)

BEGIN_MESSAGE_MAP(CRichEditCtrlEx, CRichEditCtrl)
    ON_WM_CREATE()
    ON_NOTIFY_REFLECT(EN_LINK, &CRichEditCtrlEx::OnLink)
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_REGISTERED_MESSAGE(RWM_CHANGE_LANGUAGE, &CRichEditCtrlEx::OnChangeLanguage)
END_MESSAGE_MAP()

namespace {

DWORD CALLBACK readFile(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* read) {
    DWORD got = 0;
    BOOL ok = ReadFile(reinterpret_cast<HANDLE>(cookie), buffer, static_cast<DWORD>(size), &got, nullptr);
    *read = static_cast<LONG>(got);
    return ok ? 0 : 1;
}

const DWORD RTL_STYLES = WS_EX_RIGHT | WS_EX_RTLREADING | WS_EX_LEFTSCROLLBAR;

}  // namespace

CRichEditCtrlEx::CRichEditCtrlEx() = default;
CRichEditCtrlEx::~CRichEditCtrlEx() = default;

int CRichEditCtrlEx::OnCreate(LPCREATESTRUCT create) {
    int result = CRichEditCtrl::OnCreate(create);
    ::SendMessageW(m_hWnd, EM_SETBKGNDCOLOR, 0, RGB(0xF5, 0xF5, 0xF5));
    LRESULT mask = ::SendMessageW(m_hWnd, EM_GETEVENTMASK, 0, 0);
    ::SendMessageW(m_hWnd, EM_SETEVENTMASK, 0, mask | ENM_LINK);
    return result;
}

BOOL CRichEditCtrlEx::loadRtfFile(const CString& path) {
    if (path.IsEmpty()) return FALSE;
    DWORD attributes = GetFileAttributesW(path);
    HANDLE file = INVALID_HANDLE_VALUE;
    if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    }
    if (file == INVALID_HANDLE_VALUE) {
        ::ShowWindow(m_hWnd, SW_HIDE);
        return FALSE;
    }
    EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(file), 0, readFile};
    ::SendMessageW(m_hWnd, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&stream));
    CloseHandle(file);
    ::ShowWindow(m_hWnd, SW_SHOW);
    ::SetFocus(m_hWnd);
    ::PostMessageW(m_hWnd, WM_VSCROLL, SB_TOP, 0);
    return TRUE;
}

void CRichEditCtrlEx::setLeftToRight(BOOL leftToRight) {
    if (leftToRight == m_bLeftToRight || !m_bDirectionSwitch) return;
    m_bLeftToRight = leftToRight;
    PARAFORMAT2 format{};
    format.cbSize = sizeof(format);
    format.dwMask = PFM_RTLPARA;
    format.wEffects = leftToRight ? 0 : PFE_RTLPARA;
    // Every paragraph turns, not only the one at the caret.
    CHARRANGE kept{};
    ::SendMessageW(m_hWnd, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&kept));
    CHARRANGE all{0, -1};
    ::SendMessageW(m_hWnd, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&all));
    ::SendMessageW(m_hWnd, EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&format));
    ::SendMessageW(m_hWnd, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&kept));
    if (leftToRight) {
        ModifyStyleEx(RTL_STYLES, 0);
    } else {
        ModifyStyleEx(0, RTL_STYLES);
    }
}

BOOL CRichEditCtrlEx::PreTranslateMessage(MSG* msg) {
    // No zooming with Ctrl and the wheel.
    if (msg->message == WM_MOUSEWHEEL && (GET_KEYSTATE_WPARAM(msg->wParam) & MK_CONTROL)) return TRUE;
    return CRichEditCtrl::PreTranslateMessage(msg);
}

void CRichEditCtrlEx::OnLink(NMHDR* header, LRESULT* result) {
    auto* link = reinterpret_cast<ENLINK*>(header);
    *result = 0;
    if (link->msg != WM_LBUTTONDOWN) return;
    LONG length = link->chrg.cpMax - link->chrg.cpMin;
    if (length <= 0) return;
    std::vector<wchar_t> text(static_cast<size_t>(length) + 1, L'\0');
    TEXTRANGEW range{link->chrg, text.data()};
    ::SendMessageW(m_hWnd, EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&range));
    CGlobalFunc::openUrl(CString(text.data()));
    *result = 1;
}

void CRichEditCtrlEx::OnMouseMove(UINT flags, CPoint point) {
    if (!m_strUrl.IsEmpty()) ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
    CRichEditCtrl::OnMouseMove(flags, point);
}

void CRichEditCtrlEx::OnLButtonDown(UINT flags, CPoint point) {
    if (!m_strUrl.IsEmpty()) {
        ::SetCapture(m_hWnd);
        m_bPressed = TRUE;
        ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
    }
    CRichEditCtrl::OnLButtonDown(flags, point);
}

void CRichEditCtrlEx::OnLButtonUp(UINT flags, CPoint point) {
    if (!m_strUrl.IsEmpty() && m_bPressed) {
        m_bPressed = FALSE;
        if (::GetCapture() == m_hWnd) {
            ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
            ::ReleaseCapture();
            CGlobalFunc::openUrl(m_strUrl);
        }
    }
    CRichEditCtrl::OnLButtonUp(flags, point);
}

LRESULT CRichEditCtrlEx::OnChangeLanguage(WPARAM, LPARAM) {
    setLeftToRight(!CGdiFunc::isArabic());
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
    return 0;
}
