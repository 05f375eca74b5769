#include "afx/wnd.h"

#include "afx/app.h"
#include "afx/ctrl.h"
#include "afx/module.h"
#include "afx/thread_state.h"

#include <mutex>
#include <set>
#include <string>

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

const CWnd CWnd::wndTop(HWND_TOP);
const CWnd CWnd::wndBottom(HWND_BOTTOM);
const CWnd CWnd::wndTopMost(HWND_TOPMOST);
const CWnd CWnd::wndNoTopMost(HWND_NOTOPMOST);

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
    auto owned = state->permanentWnd.find(hWndNew);
    if (owned != state->permanentWnd.end() && owned->second != this) {
        // Taking it over would leave the first object with a handle whose
        // messages no longer reach it: a dead control.
        wchar_t line[96];
        wsprintfW(line, L"CWnd::Attach: window %p belongs to another object\n", static_cast<void*>(hWndNew));
        ::OutputDebugStringW(line);
        return FALSE;
    }
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
    // A bound object is unbound by WM_NCDESTROY; a temporary wrapper keeps
    // its handle value, as it stays the wrapper of that value until idle time.
    return ::DestroyWindow(m_hWnd);
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

