#pragma once
// The self-update popup's rules apart from its window: fail codes, the
// bar's percent from the engine's two progress messages, and the layout.
#include <windows.h>

enum LiveUpdateFailCode {
    LIVEUPDATE_FAIL_NETWORK = 0,
    LIVEUPDATE_FAIL_SIZE = 1,
    LIVEUPDATE_FAIL_CRC = 2,
    LIVEUPDATE_FAIL_NOT_FOUND = 3,
};

namespace live_update {

constexpr UINT_PTR kConnectionTimer = 1;
constexpr UINT kConnectionPeriodMs = 1000;
constexpr int kWidth = 400;
constexpr int kHeight = 200;
// After completion the popup stays at 100 percent this many passes of
// 100 ms, so the user sees the end before the program restarts.
constexpr int kCompletionPasses = 7;
constexpr DWORD kCompletionPassMs = 100;
// How long DoModal waits for the worker to leave the engine.
constexpr DWORD kWorkerWaitMs = 10000;

constexpr int kNoChange = -1;

// UM_LIVEUPDATE_PROGRESS: wParam files to fetch, lParam files done.
// The percent (done * 100 / total, 0 counting as 1, truncated) in 64 bits,
// or kNoChange when it lies outside 0..100.
int filePercent(WPARAM total, LPARAM done);
// UM_DOWNLOAD_PROGRESS: wParam kilobytes received (unsigned), lParam
// kilobytes in all (signed, 0 counting as 1); the same range rule.
int downloadPercent(WPARAM received, LPARAM total);

// UM_LIVEUPDATE_ERROR's parameters: a server code of 404 means the file is
// missing, then 91 size and 92 CRC; anything else counts as the network.
int failCodeOfError(WPARAM error, LPARAM serverCode);

struct Rect {
    int x, y, w, h;
};
// Message line and bar in a client area of the given width; mirrored for
// a right-to-left interface (the same place at these sizes).
Rect messageRect(int clientWidth, bool rightToLeft);
Rect barRect(int clientWidth, bool rightToLeft);

}  // namespace live_update
