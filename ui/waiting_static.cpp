#include "ui/waiting_static.h"

#include "ui/memory_canvas.h"
#include "ui/text_rules.h"

#include <mmsystem.h>

IMPLEMENT_DYNAMIC(CWaitingStatic, CStatic)

BEGIN_MESSAGE_MAP(CWaitingStatic, CStatic)
    ON_WM_TIMER()
END_MESSAGE_MAP()

CWaitingStatic::CWaitingStatic() = default;

CWaitingStatic::~CWaitingStatic() {
    // The callback must not run on a control that is gone.
    stop();
}

BOOL CWaitingStatic::start() {
    if (m_nTimerId) return TRUE;
    m_bStopped = false;
    timeBeginPeriod(m_nResolution);
    // Synchronous kill: stop() returns only after a running callback.
    m_nTimerId = timeSetEvent(m_nInterval, m_nResolution, &CWaitingStatic::onTimer, reinterpret_cast<DWORD_PTR>(this),
                              TIME_PERIODIC | TIME_CALLBACK_FUNCTION | TIME_KILL_SYNCHRONOUS);
    if (!m_nTimerId) {
        timeEndPeriod(m_nResolution);
        m_bStopped = true;
        return FALSE;
    }
    return TRUE;
}

void CWaitingStatic::advance() {
    int count = static_cast<int>(m_frames.size());
    m_nFrame = text_rules::nextFrame(m_nFrame, count);
    if (m_hWnd) ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CALLBACK CWaitingStatic::onTimer(UINT timerId, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR) {
    auto* control = reinterpret_cast<CWaitingStatic*>(user);
    if (!control || timerId != control->m_nTimerId || control->m_bStopped) return;
    control->advance();
}

void CWaitingStatic::stop() {
    if (m_bStopped || !m_nTimerId) return;
    m_bStopped = true;
    bool killed = timeKillEvent(m_nTimerId) == TIMERR_NOERROR;
    bool released = timeEndPeriod(m_nResolution) == TIMERR_NOERROR;
    m_nTimerId = 0;
    if (killed && released && !m_frames.empty() && m_hWnd) ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CWaitingStatic::OnTimer(UINT_PTR id) {
    if (id == 1 && !m_bStopped) advance();
    CStatic::OnTimer(id);
}

void CWaitingStatic::PreSubclassWindow() {
    LONG_PTR style = GetWindowLongPtrW(m_hWnd, GWL_STYLE);
    style = (style & ~static_cast<LONG_PTR>(SS_TYPEMASK)) | SS_OWNERDRAW | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    SetWindowLongPtrW(m_hWnd, GWL_STYLE, style);
    CStatic::PreSubclassWindow();
}

void CWaitingStatic::DrawItem(LPDRAWITEMSTRUCT item) {
    RECT rect = item->rcItem;
    int width = rect.right - rect.left;
    int height = rect.bottom - rect.top;
    CMemoryCanvas canvas(item->hDC, width, height);
    {
        Gdiplus::Graphics graphics(canvas.dc());
        Gdiplus::SolidBrush background(CGdiFunc::toColor(m_bgColor));
        graphics.FillRectangle(&background, 0, 0, width, height);
        int frame = m_nFrame;
        if (frame >= 0 && frame < static_cast<int>(m_frames.size()) && m_frames[static_cast<size_t>(frame)]) {
            graphics.DrawImage(m_frames[static_cast<size_t>(frame)], 0, 0, width, height);
        }
    }
    canvas.copyTo(item->hDC, rect.left, rect.top);
}
