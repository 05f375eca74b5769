#pragma once
// Large I/O buffers, kept for reuse across files and threads: allocating a
// chunk costs more than copying or checking a small file.
//
// The engine's threads keep no thread_local object with a destructor. Its
// threads start through _beginthreadex, and with this toolchain's thread
// library such a thread can find the thread-exit destructor list of an
// ended thread as its own; its exit then frees that list's nodes a second
// time, memory another object (an update item of the next run) owns by now.
#include <windows.h>

#include <cstddef>
#include <memory>

class chunk_lease {
public:
    // A buffer of at least bytes, taken from the pool or made.
    explicit chunk_lease(size_t bytes);
    // Gives the buffer back to the pool.
    ~chunk_lease();
    chunk_lease(const chunk_lease&) = delete;
    chunk_lease& operator=(const chunk_lease&) = delete;

    BYTE* data() const { return m_data.get(); }

private:
    std::unique_ptr<BYTE[]> m_data;
    size_t m_size = 0;
};
