#include "engine/score_board.h"

namespace {

void raise(std::atomic<ULONGLONG>& counter, ULONGLONG value) {
    ULONGLONG seen = counter.load();
    while (seen < value && !counter.compare_exchange_weak(seen, value)) {
    }
}

}  // namespace

score_board* score_board::getBoards() {
    static score_board boards[BOARD_COUNT];
    return boards;
}

void score_board::reset() {
    setTotalSize(0);
    setCurrentSize(0);
    setTotalCount(0);
    setCurrentCount(0);
}

void score_board::raiseCurrentSize(ULONGLONG value) {
    raise(m_currentSize, value);
}

void score_board::raiseCurrentCount(ULONGLONG value) {
    raise(m_currentCount, value);
}
