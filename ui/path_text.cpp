#include "ui/path_text.h"

#include "afx/dc.h"
#include "afx/wnd.h"

#include <windows.h>

namespace {

constexpr int kMaxPathText = 259;

}  // namespace

CString fitPathText(const CString& path, int width, const std::function<int(const CString&)>& measure) {
    CString text = path.Left(kMaxPathText);
    if (text.IsEmpty() || measure(text) <= width) return text;
    const int lastSlash = text.ReverseFind(L'\\');
    int pos = lastSlash - 1;
    if (lastSlash >= 0) {
        while (pos > 0 && measure(text) >= width) {
            text.Delete(pos, 1);
            --pos;
        }
    }
    const int start = pos - 2 < 0 ? 0 : pos - 2;
    return text.Left(start) + L"..." + text.Mid(start + 3 > text.GetLength() ? text.GetLength() : start + 3);
}

CString fitPathText(CWnd* control) {
    if (!control || !control->GetSafeHwnd()) return CString();
    const HWND hwnd = control->GetSafeHwnd();
    CString text;
    control->GetWindowText(text);
    RECT client{};
    ::GetClientRect(hwnd, &client);
    CClientDC dc(control);
    const HFONT font = reinterpret_cast<HFONT>(::SendMessageW(hwnd, WM_GETFONT, 0, 0));
    const HGDIOBJ old = font ? dc.SelectObject(static_cast<HGDIOBJ>(font)) : nullptr;
    auto measure = [&dc](const CString& s) { return static_cast<int>(dc.GetTextExtent(s).cx); };
    CString fitted = fitPathText(text, client.right - client.left, measure);
    if (old) dc.SelectObject(old);
    return fitted;
}
