#include "afx/wnd.h"

#include "afx/app.h"
#include "afx/ctrl.h"
#include "afx/module.h"
#include "afx/thread_state.h"

#include <mutex>
#include <set>
#include <string>
#include <vector>

IMPLEMENT_DYNAMIC(CWnd, CCmdTarget)

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
    ON_WM_NCDESTROY()
    ON_WM_DRAWITEM()
    ON_WM_MEASUREITEM()
    ON_WM_CTLCOLOR()
    ON_WM_VSCROLL()
    ON_WM_HSCROLL()
END_MESSAGE_MAP()

AfxThreadState* AfxGetThreadState() {
    // Never freed: late global destructors may still unbind windows.
    static thread_local AfxThreadState* state = nullptr;
    if (!state) state = new AfxThreadState;
    return state;
}

void AfxDeleteTempMaps() {
    AfxThreadState* state = AfxGetThreadState();
    for (auto& entry : state->temporaryWnd) {
        entry.second->m_hWnd = nullptr;
        delete entry.second;
    }
    state->temporaryWnd.clear();
    afxDeleteTempDCs(state);
    afxDeleteTempGdiObjects(state);
}

// ---- handle maps -----------------------------------------------------------

HWND CWnd::GetSafeHwnd() const {
    return this ? m_hWnd : nullptr;
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd) {
    if (!hWnd) return nullptr;
    auto& map = AfxGetThreadState()->permanentWnd;
    auto it = map.find(hWnd);
    return it == map.end() ? nullptr : it->second;
}

CWnd* CWnd::FromHandle(HWND hWnd) {
    if (!hWnd) return nullptr;
    if (CWnd* p = FromHandlePermanent(hWnd)) return p;
    auto& temps = AfxGetThreadState()->temporaryWnd;
    auto it = temps.find(hWnd);
    if (it != temps.end()) return it->second;
    auto* wrapper = new CWnd;
    wrapper->m_hWnd = hWnd;
    temps.emplace(hWnd, wrapper);
    return wrapper;
}

BOOL CWnd::Attach(HWND hWndNew) {
    if (!hWndNew) return FALSE;
    AfxThreadState* state = AfxGetThreadState();
    auto temp = state->temporaryWnd.find(hWndNew);
    if (temp != state->temporaryWnd.end()) {
        temp->second->m_hWnd = nullptr;
        delete temp->second;
        state->temporaryWnd.erase(temp);
    }
    state->permanentWnd[hWndNew] = this;
    m_hWnd = hWndNew;
    return TRUE;
}

HWND CWnd::Detach() {
    HWND h = m_hWnd;
    if (h) {
        auto& map = AfxGetThreadState()->permanentWnd;
        auto it = map.find(h);
        if (it != map.end() && it->second == this) map.erase(it);
    }
    m_hWnd = nullptr;
    return h;
}

CWnd::~CWnd() {
    if (CWinApp* app = AfxGetApp(); app && app->m_pMainWnd == this) app->m_pMainWnd = nullptr;
    if (m_hWnd && FromHandlePermanent(m_hWnd) == this) {
        HWND h = UnsubclassWindow();
        ::DestroyWindow(h);
    }
}

// ---- creation --------------------------------------------------------------

namespace {

bool isImeWindow(HWND hWnd) {
    wchar_t name[16] = {};
    ::GetClassNameW(hWnd, name, 16);
    return lstrcmpiW(name, L"IME") == 0;
}

const wchar_t kDefaultClass[] = L"AfxWnd";

}  // namespace

LRESULT CALLBACK afxCbtFilterHook(int code, WPARAM wParam, LPARAM lParam) {
    AfxThreadState* state = AfxGetThreadState();
    if (code == HCBT_CREATEWND && state->pWndInit) {
        HWND hWnd = reinterpret_cast<HWND>(wParam);
        if (!isImeWindow(hWnd)) {
            CWnd* pWnd = state->pWndInit;
            state->pWndInit = nullptr;
            // Windows gives a child its id before this hook runs, Wine only
            // after it; PreSubclassWindow may read it.
            const CREATESTRUCTW* cs = reinterpret_cast<CBT_CREATEWNDW*>(lParam)->lpcs;
            if ((cs->style & WS_CHILD) && cs->hMenu && ::GetWindowLongPtrW(hWnd, GWLP_ID) == 0) {
                ::SetWindowLongPtrW(hWnd, GWLP_ID, reinterpret_cast<LONG_PTR>(cs->hMenu));
            }
            pWnd->Attach(hWnd);
            pWnd->PreSubclassWindow();
            auto old = reinterpret_cast<WNDPROC>(
                ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AfxWndProc)));
            if (old != &AfxWndProc) pWnd->m_pfnSuper = old;
        }
    }
    return ::CallNextHookEx(state->hHookCbt, code, wParam, lParam);
}

void AfxHookWindowCreate(CWnd* pWnd) {
    AfxThreadState* state = AfxGetThreadState();
    if (!state->hHookCbt) {
        state->hHookCbt = ::SetWindowsHookExW(WH_CBT, &afxCbtFilterHook, nullptr, ::GetCurrentThreadId());
    }
    state->pWndInit = pWnd;
}

BOOL AfxUnhookWindowCreate() {
    AfxThreadState* state = AfxGetThreadState();
    if (state->hHookCbt) {
        ::UnhookWindowsHookEx(state->hHookCbt);
        state->hHookCbt = nullptr;
    }
    if (state->pWndInit) {
        state->pWndInit = nullptr;
        return FALSE;
    }
    return TRUE;
}

BOOL AfxRegisterClass(WNDCLASSW* lpWndClass) {
    WNDCLASSW existing{};
    if (::GetClassInfoW(lpWndClass->hInstance, lpWndClass->lpszClassName, &existing)) return TRUE;
    return ::RegisterClassW(lpWndClass) != 0;
}

LPCWSTR AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor, HBRUSH hbrBackground, HICON hIcon) {
    static std::mutex lock;
    static std::set<std::wstring> names;  // stable storage for the returned names
    HINSTANCE hInst = AfxGetInstanceHandle();
    wchar_t name[96];
    _snwprintf(name, 96, L"Afx:%p:%x:%p:%p:%p", static_cast<void*>(hInst), nClassStyle, static_cast<void*>(hCursor),
               static_cast<void*>(hbrBackground), static_cast<void*>(hIcon));
    name[95] = L'\0';
    std::lock_guard<std::mutex> guard(lock);
    const std::wstring& stored = *names.insert(name).first;
    WNDCLASSW wc{};
    wc.style = nClassStyle;
    wc.lpfnWndProc = ::DefWindowProcW;
    wc.hInstance = hInst;
    wc.hIcon = hIcon;
    wc.hCursor = hCursor;
    wc.hbrBackground = hbrBackground;
    wc.lpszClassName = stored.c_str();
    return AfxRegisterClass(&wc) ? stored.c_str() : nullptr;
}

BOOL CWnd::PreCreateWindow(CREATESTRUCTW& cs) {
    if (!cs.lpszClass) {
        WNDCLASSW wc{};
        wc.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
        wc.lpfnWndProc = ::DefWindowProcW;
        wc.hInstance = AfxGetInstanceHandle();
        wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = kDefaultClass;
        if (!AfxRegisterClass(&wc)) return FALSE;
        cs.lpszClass = kDefaultClass;
    }
    return TRUE;
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCWSTR lpszClassName, LPCWSTR lpszWindowName, DWORD dwStyle, int x, int y,
                    int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu, LPVOID lpParam) {
    CREATESTRUCTW cs{};
    cs.dwExStyle = dwExStyle;
    cs.lpszClass = lpszClassName;
    cs.lpszName = lpszWindowName;
    cs.style = static_cast<LONG>(dwStyle);
    cs.x = x;
    cs.y = y;
    cs.cx = nWidth;
    cs.cy = nHeight;
    cs.hwndParent = hWndParent;
    cs.hMenu = nIDorHMenu;
    cs.hInstance = AfxGetInstanceHandle();
    cs.lpCreateParams = lpParam;
    if (!PreCreateWindow(cs)) {
        PostNcDestroy();
        return FALSE;
    }
    AfxHookWindowCreate(this);
    HWND hWnd = ::CreateWindowExW(cs.dwExStyle, cs.lpszClass, cs.lpszName, static_cast<DWORD>(cs.style), cs.x, cs.y,
                                  cs.cx, cs.cy, cs.hwndParent, cs.hMenu, cs.hInstance, cs.lpCreateParams);
    // Not bound at all: the object never saw a window, so it is cleaned up
    // here; a bound window that failed later went through WM_NCDESTROY.
    if (!AfxUnhookWindowCreate()) PostNcDestroy();
    return hWnd != nullptr;
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCWSTR lpszClassName, LPCWSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                    CWnd* pParentWnd, UINT nID, LPVOID lpParam) {
    return CreateEx(dwExStyle, lpszClassName, lpszWindowName, dwStyle, rect.left, rect.top, rect.right - rect.left,
                    rect.bottom - rect.top, pParentWnd->GetSafeHwnd(), reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)),
                    lpParam);
}

BOOL CWnd::Create(LPCWSTR lpszClassName, LPCWSTR lpszWindowName, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd,
                  UINT nID, CCreateContext* pContext) {
    return CreateEx(0, lpszClassName, lpszWindowName, dwStyle | WS_CHILD, rect, pParentWnd, nID, pContext);
}

BOOL CWnd::DestroyWindow() {
    if (!m_hWnd) return FALSE;
    bool permanent = FromHandlePermanent(m_hWnd) == this;
    HWND h = m_hWnd;
    BOOL ok = ::DestroyWindow(h);
    // A temporary wrapper is not told about WM_NCDESTROY.
    if (!permanent && m_hWnd == h) Detach();
    return ok;
}

BOOL CWnd::SubclassWindow(HWND hWnd) {
    if (!hWnd || !Attach(hWnd)) return FALSE;
    PreSubclassWindow();
    auto old = reinterpret_cast<WNDPROC>(::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AfxWndProc)));
    if (old != &AfxWndProc) m_pfnSuper = old;
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent) {
    return SubclassWindow(::GetDlgItem(pParent->GetSafeHwnd(), static_cast<int>(nID)));
}

HWND CWnd::UnsubclassWindow() {
    if (!m_hWnd) return nullptr;
    if (m_pfnSuper &&
        reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(m_hWnd, GWLP_WNDPROC)) == &AfxWndProc) {
        ::SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    }
    m_pfnSuper = nullptr;
    return Detach();
}

void CWnd::OnNcDestroy() {
    Default();
    unbindAfterNcDestroy();
}

void CWnd::unbindAfterNcDestroy() {
    if (CWinApp* app = AfxGetApp(); app && app->m_pMainWnd == this) {
        // The main window is gone: the application's loop ends.
        app->m_pMainWnd = nullptr;
        ::PostQuitMessage(0);
    }
    UnsubclassWindow();
    PostNcDestroy();
}

// ---- dispatch --------------------------------------------------------------

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
    if (!pWnd) return ::DefWindowProcW(hWnd, message, wParam, lParam);
    return AfxCallWndProc(pWnd, hWnd, message, wParam, lParam);
}

LRESULT AfxCallWndProc(CWnd* pWnd, HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    AfxThreadState* state = AfxGetThreadState();
    MSG saved = state->lastSentMsg;
    state->lastSentMsg.hwnd = hWnd;
    state->lastSentMsg.message = message;
    state->lastSentMsg.wParam = wParam;
    state->lastSentMsg.lParam = lParam;
    LRESULT result = pWnd->WindowProc(message, wParam, lParam);
    // A class whose own WM_NCDESTROY handler did not call the base still
    // gets unbound (the object may have been deleted when it did).
    if (message == WM_NCDESTROY && CWnd::FromHandlePermanent(hWnd) == pWnd) pWnd->unbindAfterNcDestroy();
    state->lastSentMsg = saved;
    return result;
}

const MSG* CWnd::GetCurrentMessage() {
    return &AfxGetThreadState()->lastSentMsg;
}

LRESULT CWnd::Default() {
    const MSG& m = AfxGetThreadState()->lastSentMsg;
    return DefWindowProc(m.message, m.wParam, m.lParam);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_pfnSuper) return ::CallWindowProcW(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcW(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (!OnWndMsg(message, wParam, lParam, &result)) result = DefWindowProc(message, wParam, lParam);
    return result;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    LRESULT result = 0;
    if (message == WM_COMMAND) {
        if (!OnCommand(wParam, lParam)) return FALSE;
        result = 1;
    } else if (message == WM_NOTIFY) {
        if (!OnNotify(wParam, lParam, &result)) return FALSE;
    } else {
        UINT key = message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC ? WM_CTLCOLOR : message;
        const AFX_MSGMAP_ENTRY* e = FindMessageEntry(key);
        if (!e || !e->pfn(this, message, wParam, lParam, &result)) return FALSE;
    }
    if (pResult) *pResult = result;
    return TRUE;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
    UINT nID = LOWORD(wParam);
    int nCode = HIWORD(wParam);
    auto hWndCtrl = reinterpret_cast<HWND>(lParam);
    if (!hWndCtrl) {
        if (nID == 0) return FALSE;
        nCode = 0;  // menu and accelerator commands are plain commands
    } else if (ReflectLastMsg(hWndCtrl)) {
        return TRUE;  // the control took its own notification
    }
    return OnCmdMsg(nID, MAKELONG(nCode, WM_COMMAND), nullptr, nullptr);
}

BOOL CWnd::OnNotify(WPARAM, LPARAM lParam, LRESULT* pResult) {
    auto* hdr = reinterpret_cast<NMHDR*>(lParam);
    if (ReflectLastMsg(hdr->hwndFrom, pResult)) return TRUE;
    AFX_NOTIFY notify{pResult, hdr};
    return OnCmdMsg(static_cast<UINT>(hdr->idFrom), MAKELONG(0, WM_NOTIFY), &notify, nullptr);
}

BOOL CWnd::ReflectLastMsg(HWND hWndChild, LRESULT* pResult) {
    CWnd* pWnd = FromHandlePermanent(hWndChild);
    return pWnd ? pWnd->SendChildNotifyLastMsg(pResult) : FALSE;
}

BOOL CWnd::SendChildNotifyLastMsg(LRESULT* pResult) {
    const MSG& m = AfxGetThreadState()->lastSentMsg;
    return OnChildNotify(m.message, m.wParam, m.lParam, pResult);
}

BOOL CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    return ReflectChildNotify(message, wParam, lParam, pResult);
}

BOOL CWnd::ReflectChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    if (message == WM_COMMAND) {
        int nCode = HIWORD(wParam);
        return OnCmdMsg(0, MAKELONG(nCode, WM_REFLECT_BASE + WM_COMMAND), nullptr, nullptr);
    }
    if (message == WM_NOTIFY) {
        LRESULT ignored = 0;
        AFX_NOTIFY notify{pResult ? pResult : &ignored, reinterpret_cast<NMHDR*>(lParam)};
        return OnCmdMsg(0, MAKELONG(0, WM_REFLECT_BASE + WM_NOTIFY), &notify, nullptr);
    }
    UINT key = message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC ? WM_CTLCOLOR : message;
    if (key == WM_CTLCOLOR || message == WM_DRAWITEM || message == WM_MEASUREITEM || message == WM_VSCROLL ||
        message == WM_HSCROLL) {
        const AFX_MSGMAP_ENTRY* e = FindMessageEntry(WM_REFLECT_BASE + key);
        LRESULT result = 0;
        if (e && e->pfn(this, message, wParam, lParam, &result)) {
            if (pResult) *pResult = result;
            return TRUE;
        }
    }
    return FALSE;
}

void CWnd::OnDrawItem(int, LPDRAWITEMSTRUCT lpDrawItemStruct) {
    if (lpDrawItemStruct->CtlType != ODT_MENU && ReflectLastMsg(lpDrawItemStruct->hwndItem)) return;
    Default();
}

void CWnd::OnMeasureItem(int, LPMEASUREITEMSTRUCT lpMeasureItemStruct) {
    if (lpMeasureItemStruct->CtlType != ODT_MENU) {
        HWND hCtrl = ::GetDlgItem(m_hWnd, static_cast<int>(lpMeasureItemStruct->CtlID));
        if (hCtrl && ReflectLastMsg(hCtrl)) return;
    }
    Default();
}

HBRUSH CWnd::OnCtlColor(CDC*, CWnd* pWnd, UINT) {
    LRESULT result = 0;
    if (pWnd && pWnd->SendChildNotifyLastMsg(&result)) return reinterpret_cast<HBRUSH>(result);
    return reinterpret_cast<HBRUSH>(Default());
}

BOOL CWnd::reflectScroll(CScrollBar* pScrollBar) {
    return pScrollBar && FromHandlePermanent(pScrollBar->m_hWnd) == pScrollBar && pScrollBar->SendChildNotifyLastMsg();
}

void CWnd::OnVScroll(UINT, UINT, CScrollBar* pScrollBar) {
    if (!reflectScroll(pScrollBar)) Default();
}

void CWnd::OnHScroll(UINT, UINT, CScrollBar* pScrollBar) {
    if (!reflectScroll(pScrollBar)) Default();
}

// ---- pre-translation and modal loops ---------------------------------------

BOOL CWnd::PreTranslateMessage(MSG*) {
    return FALSE;
}

BOOL CWnd::WalkPreTranslateTree(HWND hWndStop, MSG* pMsg) {
    for (HWND hWnd = pMsg->hwnd; hWnd; hWnd = ::GetParent(hWnd)) {
        if (CWnd* pWnd = FromHandlePermanent(hWnd); pWnd && pWnd->PreTranslateMessage(pMsg)) return TRUE;
        if (hWnd == hWndStop) break;
    }
    return FALSE;
}

BOOL CWnd::ContinueModal() {
    return (m_nFlags & WF_CONTINUEMODAL) != 0;
}

void CWnd::EndModalLoop(int nResult) {
    m_nModalResult = nResult;
    if (m_nFlags & WF_CONTINUEMODAL) {
        m_nFlags &= ~WF_CONTINUEMODAL;
        PostMessage(WM_NULL);  // wakes the loop
    }
}

int CWnd::RunModalLoop(DWORD dwFlags) {
    bool idle = true;
    LONG idleCount = 0;
    bool showIdle = (dwFlags & MLF_SHOWONIDLE) && !(GetStyle() & WS_VISIBLE);
    HWND hWndParent = ::GetParent(m_hWnd);
    m_nFlags |= WF_MODALLOOP | WF_CONTINUEMODAL;
    MSG msg{};
    for (;;) {
        while (idle && !::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            if (!(dwFlags & MLF_NOIDLEMSG) && hWndParent && idleCount == 0) {
                ::SendMessageW(hWndParent, WM_ENTERIDLE, MSGF_DIALOGBOX, reinterpret_cast<LPARAM>(m_hWnd));
            }
            if (showIdle) {
                ShowWindow(SW_SHOWNORMAL);
                UpdateWindow();
                showIdle = false;
            }
            if (!ContinueModal()) goto ExitModal;
            if (!(dwFlags & MLF_NOKICKIDLE) && !SendMessage(WM_KICKIDLE, MSGF_DIALOGBOX, idleCount++)) idle = false;
        }
        do {
            if (!AfxPumpMessage()) {
                // WM_QUIT ends the modal loop and is passed on to the outer loop.
                ::PostQuitMessage(0);
                m_nFlags &= ~(WF_MODALLOOP | WF_CONTINUEMODAL);
                return -1;
            }
            UINT pumped = AfxGetThreadState()->msgCur.message;
            if (showIdle && (pumped == 0x118 /* WM_SYSTIMER */ || pumped == WM_SYSKEYDOWN)) {
                ShowWindow(SW_SHOWNORMAL);
                UpdateWindow();
                showIdle = false;
            }
            if (!ContinueModal()) goto ExitModal;
            idle = true;
            idleCount = 0;
        } while (::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE));
    }
ExitModal:
    m_nFlags &= ~(WF_MODALLOOP | WF_CONTINUEMODAL);
    return m_nModalResult;
}

// ---- data exchange and wrappers --------------------------------------------

BOOL CWnd::ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags) {
    DWORD style = GetStyle();
    DWORD newStyle = (style & ~dwRemove) | dwAdd;
    if (style == newStyle) return FALSE;
    ::SetWindowLongPtrW(m_hWnd, GWL_STYLE, static_cast<LONG_PTR>(newStyle));
    if (nFlags) ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | nFlags);
    return TRUE;
}

BOOL CWnd::ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags) {
    DWORD style = GetExStyle();
    DWORD newStyle = (style & ~dwRemove) | dwAdd;
    if (style == newStyle) return FALSE;
    ::SetWindowLongPtrW(m_hWnd, GWL_EXSTYLE, static_cast<LONG_PTR>(newStyle));
    if (nFlags) ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | nFlags);
    return TRUE;
}

void CWnd::GetWindowText(CString& rString) const {
    int n = ::GetWindowTextLengthW(m_hWnd);
    wchar_t* buf = rString.GetBufferSetLength(n);
    ::GetWindowTextW(m_hWnd, buf, n + 1);
    rString.ReleaseBuffer();
}

int CWnd::GetDlgItemText(int nID, CString& rString) const {
    rString.Empty();
    if (HWND h = ::GetDlgItem(m_hWnd, nID)) FromHandle(h)->GetWindowText(rString);
    return rString.GetLength();
}

void CWnd::SetFont(CFont* pFont, BOOL bRedraw) {
    ::SendMessageW(m_hWnd, WM_SETFONT, reinterpret_cast<WPARAM>(CGdiObject::handleOf(pFont)), bRedraw);
}

CFont* CWnd::GetFont() const {
    return CFont::FromHandle(reinterpret_cast<HFONT>(::SendMessageW(m_hWnd, WM_GETFONT, 0, 0)));
}

void CWnd::SetIcon(HICON hIcon, BOOL bBigIcon) {
    ::SendMessageW(m_hWnd, WM_SETICON, bBigIcon ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(hIcon));
}

CWnd* CWnd::GetTopLevelParent() const {
    HWND h = m_hWnd;
    for (;;) {
        HWND next = (::GetWindowLongPtrW(h, GWL_STYLE) & WS_CHILD) ? ::GetParent(h) : ::GetWindow(h, GW_OWNER);
        if (!next) break;
        h = next;
    }
    return FromHandle(h);
}

BOOL CWnd::SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags) {
    return ::SetWindowPos(m_hWnd, pWndInsertAfter->GetSafeHwnd(), x, y, cx, cy, nFlags);
}

BOOL CWnd::RedrawWindow(LPCRECT lpRectUpdate, CRgn* prgnUpdate, UINT flags) {
    return ::RedrawWindow(m_hWnd, lpRectUpdate, static_cast<HRGN>(CGdiObject::handleOf(prgnUpdate)), flags);
}

void CWnd::CenterWindow(CWnd* pAlternateOwner) {
    DWORD style = GetStyle();
    HWND hWndCenter = pAlternateOwner->GetSafeHwnd();
    if (!pAlternateOwner) hWndCenter = (style & WS_CHILD) ? ::GetParent(m_hWnd) : ::GetWindow(m_hWnd, GW_OWNER);
    CRect rcDlg;
    GetWindowRect(&rcDlg);
    CRect rcArea, rcCenter;
    if (!(style & WS_CHILD)) {
        // An invisible or minimised owner is no reference: centre on the screen.
        if (hWndCenter) {
            DWORD centerStyle = static_cast<DWORD>(::GetWindowLongPtrW(hWndCenter, GWL_STYLE));
            if (!(centerStyle & WS_VISIBLE) || (centerStyle & WS_MINIMIZE)) hWndCenter = nullptr;
        }
        MONITORINFO mi{};
        mi.cbSize = sizeof(mi);
        if (!hWndCenter) {
            ::GetMonitorInfoW(::MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTOPRIMARY), &mi);
            rcCenter = mi.rcWork;
            rcArea = mi.rcWork;
        } else {
            ::GetWindowRect(hWndCenter, &rcCenter);
            ::GetMonitorInfoW(::MonitorFromWindow(hWndCenter, MONITOR_DEFAULTTONEAREST), &mi);
            rcArea = mi.rcWork;
        }
    } else {
        HWND hWndParent = ::GetParent(m_hWnd);
        ::GetClientRect(hWndParent, &rcArea);
        ::GetClientRect(hWndCenter, &rcCenter);
        ::MapWindowPoints(hWndCenter, hWndParent, reinterpret_cast<POINT*>(&rcCenter), 2);
        ::MapWindowPoints(nullptr, hWndParent, reinterpret_cast<POINT*>(&rcDlg), 2);
    }
    int x = (rcCenter.left + rcCenter.right) / 2 - rcDlg.Width() / 2;
    int y = (rcCenter.top + rcCenter.bottom) / 2 - rcDlg.Height() / 2;
    if (x + rcDlg.Width() > rcArea.right) x = rcArea.right - rcDlg.Width();
    if (x < rcArea.left) x = rcArea.left;
    if (y + rcDlg.Height() > rcArea.bottom) y = rcArea.bottom - rcDlg.Height();
    if (y < rcArea.top) y = rcArea.top;
    ::SetWindowPos(m_hWnd, nullptr, x, y, -1, -1, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CWnd::SendMessageToDescendants(UINT message, WPARAM wParam, LPARAM lParam, BOOL bDeep, BOOL bOnlyPerm) {
    std::vector<HWND> children;
    for (HWND h = ::GetTopWindow(m_hWnd); h; h = ::GetWindow(h, GW_HWNDNEXT)) children.push_back(h);
    for (HWND h : children) {
        if (!::IsWindow(h)) continue;
        if (bOnlyPerm) {
            if (CWnd* pWnd = FromHandlePermanent(h)) AfxCallWndProc(pWnd, h, message, wParam, lParam);
        } else {
            ::SendMessageW(h, message, wParam, lParam);
        }
        if (bDeep && ::IsWindow(h) && ::GetTopWindow(h)) {
            CWnd temp;
            temp.m_hWnd = h;
            temp.SendMessageToDescendants(message, wParam, lParam, bDeep, bOnlyPerm);
            temp.m_hWnd = nullptr;
        }
    }
}

int CWnd::MessageBox(LPCWSTR lpszText, LPCWSTR lpszCaption, UINT nType) {
    if (!lpszCaption) lpszCaption = AfxGetApp() ? AfxGetApp()->m_pszAppName : L"";
    return ::MessageBoxW(m_hWnd, lpszText, lpszCaption, nType);
}
