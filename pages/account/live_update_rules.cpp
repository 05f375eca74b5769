#include "pages/account/live_update_rules.h"

namespace live_update {

namespace {

// 128-bit so that no count the messages can carry overflows times 100.
int percentOf(__int128 done, __int128 total) {
    if (total == 0) total = 1;
    const __int128 percent = done * 100 / total;
    return (percent < 0 || percent > 100) ? kNoChange : static_cast<int>(percent);
}

Rect place(int clientWidth, int y, int h, bool rightToLeft) {
    const int w = clientWidth - 68;
    const int x = rightToLeft ? clientWidth - w - 34 : 34;
    return {x, y, w, h};
}

}  // namespace

int filePercent(WPARAM total, LPARAM done) {
    // Both counts are the engine's signed file counts.
    return percentOf(static_cast<LONG_PTR>(done), static_cast<LONG_PTR>(total));
}

int downloadPercent(WPARAM received, LPARAM total) {
    return percentOf(static_cast<ULONG_PTR>(received), static_cast<LONG_PTR>(total));
}

int failCodeOfError(WPARAM error, LPARAM serverCode) {
    if (serverCode == 404) return LIVEUPDATE_FAIL_NOT_FOUND;
    if (error == 91) return LIVEUPDATE_FAIL_SIZE;
    if (error == 92) return LIVEUPDATE_FAIL_CRC;
    return LIVEUPDATE_FAIL_NETWORK;
}

Rect messageRect(int clientWidth, bool rightToLeft) { return place(clientWidth, 96, 18, rightToLeft); }
Rect barRect(int clientWidth, bool rightToLeft) { return place(clientWidth, 151, 10, rightToLeft); }

}  // namespace live_update
