#pragma once
// A page that drives update runs the way the update page does, on a window
// of its own thread: Next and Hold, the three routines the engine calls
// (with a medium or a folder as target, never a format), the start of the
// format step when the pre-check completes, and a record of every message.
#include "engine/transfer_page.h"
#include "tests/engine/message_window.h"

#include "descriptors/inf_info.h"

#include <atomic>
#include <functional>
#include <list>

class ControlPage : public MessageWindow, public transfer_page {
public:
    // drive: the medium's letter, 0 for the download folder as target.
    ControlPage(wchar_t drive, std::list<InfInfo*> descriptors);
    ~ControlPage() override;

    // Next: clears a pause, listens to every manager, queues START.
    void next();
    // Hold: stops the managers and pauses the command queue.
    void hold();

    int beginTransfer() override;
    void computeAndInitDownload() override;
    void StartCarCopy() override;

    std::atomic<int> computeCalls{0};
    std::atomic<int> formatCalls{0};
    std::atomic<int> beginCalls{0};
    // While set, the compute routine waits (a slow pre-check).
    std::atomic<bool> holdCompute{false};
    // Called on the page's thread when a copy completion arrives, before
    // it is recorded (set before next()).
    std::function<void()> atCopyComplete;

protected:
    void onMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    wchar_t m_drive;
    std::list<InfInfo*> m_descriptors;
};
