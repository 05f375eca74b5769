// The modal loop of CWnd: it pumps through the application's
// pre-translation, so key rules hold in modal windows too.
#include "afx/wnd.h"

#include "afx/app.h"
#include "afx/thread_state.h"

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

