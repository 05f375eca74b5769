#pragma once
// Progress boards: four 64-bit counters each, moved by the worker threads
// with atomic operations and read by the pages on their timers. A reader may
// see a total and a current value from different moments.
#include <windows.h>

#include <atomic>

class boarder {
public:
    virtual ~boarder() = default;

    virtual ULONGLONG getTotalSize() const = 0;
    virtual void setTotalSize(ULONGLONG value) = 0;
    virtual void addTotalSize(LONGLONG delta) = 0;
    virtual ULONGLONG getCurrentSize() const = 0;
    virtual void setCurrentSize(ULONGLONG value) = 0;
    virtual void addCurrentSize(LONGLONG delta) = 0;
    virtual ULONGLONG getTotalCount() const = 0;
    virtual void setTotalCount(ULONGLONG value) = 0;
    virtual void addTotalCount(LONGLONG delta) = 0;
    virtual ULONGLONG getCurrentCount() const = 0;
    virtual void setCurrentCount(ULONGLONG value) = 0;
    virtual void addCurrentCount(LONGLONG delta) = 0;
    // The four counters to 0; the flag stays.
    virtual void reset() = 0;
    virtual void setFlag(unsigned char flag) = 0;
    // The flag, cleared on the way.
    virtual unsigned char takeFlag() = 0;
};

// The five boards by index.
enum {
    BOARD_CHECK_AND_COPY = 0,  // pre-check items; copied and verified bytes
    BOARD_DOWNLOAD = 1,
    BOARD_UNZIP = 2,
    BOARD_COPY_TOTALS = 3,
    BOARD_PACKAGE_COPY = 4,  // the folders of a self-contained package
    BOARD_COUNT = 5,
};

class score_board : public boarder {
public:
    // The process-wide boards; board k is at index k.
    static score_board* getBoards();

    ULONGLONG getTotalSize() const override { return m_totalSize.load(); }
    void setTotalSize(ULONGLONG value) override { m_totalSize.store(value); }
    void addTotalSize(LONGLONG delta) override { m_totalSize.fetch_add(static_cast<ULONGLONG>(delta)); }
    ULONGLONG getCurrentSize() const override { return m_currentSize.load(); }
    void setCurrentSize(ULONGLONG value) override { m_currentSize.store(value); }
    void addCurrentSize(LONGLONG delta) override { m_currentSize.fetch_add(static_cast<ULONGLONG>(delta)); }
    ULONGLONG getTotalCount() const override { return m_totalCount.load(); }
    void setTotalCount(ULONGLONG value) override { m_totalCount.store(value); }
    void addTotalCount(LONGLONG delta) override { m_totalCount.fetch_add(static_cast<ULONGLONG>(delta)); }
    ULONGLONG getCurrentCount() const override { return m_currentCount.load(); }
    void setCurrentCount(ULONGLONG value) override { m_currentCount.store(value); }
    void addCurrentCount(LONGLONG delta) override { m_currentCount.fetch_add(static_cast<ULONGLONG>(delta)); }
    void reset() override;
    void setFlag(unsigned char flag) override { m_flag.store(flag); }
    unsigned char takeFlag() override { return m_flag.exchange(0); }

    // Raises the current size to value when it is lower (compared unsigned),
    // so that bytes the workers added meanwhile are never taken back.
    void raiseCurrentSize(ULONGLONG value);
    void raiseCurrentCount(ULONGLONG value);

private:
    std::atomic<ULONGLONG> m_totalSize{0};
    std::atomic<ULONGLONG> m_currentSize{0};
    std::atomic<ULONGLONG> m_totalCount{0};
    std::atomic<ULONGLONG> m_currentCount{0};
    std::atomic<unsigned char> m_flag{0};
};
