#pragma once
// The bytes of a descriptor download as they arrive. The buffer grows with
// what is delivered and never beyond the size the worker announced, so a
// server that sends more than it declared cannot write past it. (The worker
// itself reads past what a later cycle's reply repeats when the server
// ignores Range.)
#include <windows.h>

#include <vector>

class inf_receive_buffer {
public:
    // Descriptors are small text files; a reply claiming more is refused
    // rather than held in memory.
    static constexpr ULONGLONG kMaxBytes = 16ull * 1024 * 1024;

    // The start of a reply.
    void begin() { m_started = true; }
    // FALSE when the bytes would pass the announced total (the size the
    // complete file will have) or the size limit; nothing is kept then.
    bool append(const BYTE* chunk, UINT32 length, ULONGLONG announcedTotal);

    bool started() const { return m_started; }
    const std::vector<char>& bytes() const { return m_bytes; }
    void release() { std::vector<char>().swap(m_bytes); }

private:
    std::vector<char> m_bytes;
    bool m_started = false;
};
