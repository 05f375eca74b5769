#include "afx/frame.h"

#include "afx/app.h"
#include "afx/module.h"

IMPLEMENT_DYNCREATE(CFrameWnd, CWnd)
IMPLEMENT_DYNCREATE(CFrameWndEx, CFrameWnd)

BEGIN_MESSAGE_MAP(CFrameWnd, CWnd)
    ON_WM_CREATE()
    ON_WM_CLOSE()
END_MESSAGE_MAP()

const CRect CFrameWnd::rectDefault(CW_USEDEFAULT, CW_USEDEFAULT, 0, 0);

namespace {
const wchar_t kFrameClass[] = L"AfxFrameOrView";
}

BOOL CFrameWnd::PreCreateWindow(CREATESTRUCTW& cs) {
    if (!cs.lpszClass) {
        WNDCLASSW wc{};
        wc.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
        wc.lpfnWndProc = ::DefWindowProcW;
        wc.hInstance = AfxGetInstanceHandle();
        wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        wc.lpszClassName = kFrameClass;
        if (!AfxRegisterClass(&wc)) return FALSE;
        cs.lpszClass = kFrameClass;
    }
    if (static_cast<DWORD>(cs.style) & FWS_ADDTOTITLE) cs.style |= static_cast<LONG>(FWS_PREFIXTITLE);
    cs.dwExStyle |= WS_EX_CLIENTEDGE;
    return TRUE;
}

LPCWSTR CFrameWnd::iconWndClass(DWORD dwDefaultStyle, UINT nIDResource) {
    HICON hIcon = ::LoadIconW(AfxGetResourceHandle(), MAKEINTRESOURCEW(nIDResource));
    if (!hIcon) return nullptr;
    // The class PreCreateWindow would choose, with the frame's icon.
    CREATESTRUCTW cs{};
    cs.style = static_cast<LONG>(dwDefaultStyle);
    PreCreateWindow(cs);
    WNDCLASSW wc{};
    if (cs.lpszClass && ::GetClassInfoW(AfxGetInstanceHandle(), cs.lpszClass, &wc) && wc.hIcon != hIcon) {
        return AfxRegisterWndClass(wc.style, wc.hCursor, wc.hbrBackground, hIcon);
    }
    return nullptr;
}

BOOL CFrameWnd::LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd, CCreateContext* pContext) {
    CString full;
    if (full.LoadString(nIDResource)) AfxExtractSubString(m_strTitle, full, 0);
    LPCWSTR cls = iconWndClass(dwDefaultStyle, nIDResource);
    CString title = m_strTitle;
    HINSTANCE hInst = AfxGetResourceHandle();
    // A program without a menu resource simply has no menu.
    LPCWSTR menu = ::FindResourceW(hInst, MAKEINTRESOURCEW(nIDResource), MAKEINTRESOURCEW(4) /* RT_MENU */)
                       ? MAKEINTRESOURCEW(nIDResource)
                       : nullptr;
    if (!Create(cls, title, dwDefaultStyle, rectDefault, pParentWnd, menu, 0, pContext)) return FALSE;
    m_hAccelTable = ::LoadAcceleratorsW(hInst, MAKEINTRESOURCEW(nIDResource));
    return TRUE;
}

BOOL CFrameWnd::Create(LPCWSTR lpszClassName, LPCWSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                       CWnd* pParentWnd, LPCWSTR lpszMenuName, DWORD dwExStyle, CCreateContext* pContext) {
    HMENU hMenu = lpszMenuName ? ::LoadMenuW(AfxGetResourceHandle(), lpszMenuName) : nullptr;
    m_strTitle = lpszWindowName;
    int x = rect.left, y = rect.top, cx, cy;
    if (rect.left == CW_USEDEFAULT) {
        cx = cy = CW_USEDEFAULT;
    } else {
        cx = rect.right - rect.left;
        cy = rect.bottom - rect.top;
    }
    if (!CreateEx(dwExStyle, lpszClassName, lpszWindowName, dwStyle, x, y, cx, cy, pParentWnd->GetSafeHwnd(), hMenu,
                  pContext)) {
        if (hMenu) ::DestroyMenu(hMenu);  // the object may be gone already
        return FALSE;
    }
    return TRUE;
}

int CFrameWnd::OnCreate(LPCREATESTRUCT lpCreateStruct) {
    return CWnd::OnCreate(lpCreateStruct) == -1 ? -1 : 0;
}

void CFrameWnd::OnClose() {
    DestroyWindow();
}

BOOL CFrameWnd::PreTranslateMessage(MSG* pMsg) {
    if (CWnd::PreTranslateMessage(pMsg)) return TRUE;
    if (pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST && m_hAccelTable) {
        return ::TranslateAcceleratorW(m_hWnd, m_hAccelTable, pMsg);
    }
    return FALSE;
}

BOOL CFrameWnd::OnCmdMsg(UINT nID, int nCode, void* pExtra, void* pHandlerInfo) {
    if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
    CWinApp* app = AfxGetApp();
    return app && app->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}
