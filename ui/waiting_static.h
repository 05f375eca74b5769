#pragma once
// The spinning waiting indicator: one frame of a PNG sequence at a time,
// advanced by a multimedia timer so that it keeps turning while the UI
// thread is busy.
#include "afx/ctrl.h"
#include "ui/gdi_func.h"

#include <atomic>
#include <vector>

class CWaitingStatic : public CStatic {
    DECLARE_DYNAMIC(CWaitingStatic)

public:
    CWaitingStatic();
    ~CWaitingStatic() override;

    // Starts the periodic timer with the interval and resolution set below;
    // nothing when the animation already runs.
    BOOL start();
    void stop();
    static void CALLBACK onTimer(UINT timerId, UINT message, DWORD_PTR user, DWORD_PTR, DWORD_PTR);

    void PreSubclassWindow() override;
    void DrawItem(LPDRAWITEMSTRUCT item) override;

    // The frames belong to the owner.
    std::vector<Gdiplus::Image*> m_frames;
    std::atomic<int> m_nFrame{-1};
    UINT m_nInterval = 100;
    COLORREF m_bgColor = RGB(0xF5, 0xF5, 0xF5);
    UINT m_nResolution = 1;
    std::atomic<bool> m_bStopped{false};

    UINT timerId() const { return m_nTimerId.load(); }

protected:
    void OnTimer(UINT_PTR id);
    DECLARE_MESSAGE_MAP()

private:
    void advance();

    // Each animation holds its own timer, so that stopping one page's
    // animation never kills another's.
    std::atomic<UINT> m_nTimerId{0};
};
