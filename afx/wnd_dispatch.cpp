// How a message travels: the window procedure, the message map, the
// default procedure, reflection to controls and pre-translation.
#include "afx/wnd.h"

#include "afx/app.h"
#include "afx/ctrl.h"
#include "afx/paint_count.h"
#include "afx/thread_state.h"

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
    if (!pWnd) return ::DefWindowProcW(hWnd, message, wParam, lParam);
    return AfxCallWndProc(pWnd, hWnd, message, wParam, lParam);
}

namespace {
const wchar_t kPaintCountProp[] = L"KestrunePaintCount";
}

UINT AfxGetPaintCount(HWND hWnd) {
    return static_cast<UINT>(reinterpret_cast<UINT_PTR>(::GetPropW(hWnd, kPaintCountProp)));
}

// Stamps come from one counter, so a window never shares one with another
// window, not even with an earlier window of the same handle.
static UINT nextPaintStamp() {
    static UINT stamp = 0;
    if (++stamp == 0) ++stamp;
    return stamp;
}

LRESULT AfxCallWndProc(CWnd* pWnd, HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    AfxThreadState* state = AfxGetThreadState();
    MSG saved = state->lastSentMsg;
    state->lastSentMsg.hwnd = hWnd;
    state->lastSentMsg.message = message;
    state->lastSentMsg.wParam = wParam;
    state->lastSentMsg.lParam = lParam;
    LRESULT result = pWnd->WindowProc(message, wParam, lParam);
    if (message == WM_PAINT) {
        ::SetPropW(hWnd, kPaintCountProp, reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(nextPaintStamp())));
    } else if (message == WM_NCDESTROY) {
        ::RemovePropW(hWnd, kPaintCountProp);
    }
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
    } else if (message == WM_PRINTCLIENT && wParam && !FindMessageEntry(WM_PRINTCLIENT)) {
        // A window that paints itself draws into the DC it is handed, so a
        // child can show what lies behind it (the default procedure would
        // leave the DC as it is).
        const AFX_MSGMAP_ENTRY* paint = FindMessageEntry(WM_PAINT);
        if (!paint) return FALSE;
        AfxThreadState* state = AfxGetThreadState();
        auto dc = reinterpret_cast<HDC>(wParam);
        AfxPrintTarget target{m_hWnd, dc, state->printTarget};
        state->printTarget = &target;
        const int saved = ::SaveDC(dc);
        paint->pfn(this, WM_PAINT, 0, 0, &result);
        ::RestoreDC(dc, saved);
        state->printTarget = target.prev;
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

// ---- pre-translation -------------------------------------------------------

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

