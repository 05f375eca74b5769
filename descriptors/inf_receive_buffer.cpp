#include "descriptors/inf_receive_buffer.h"

bool inf_receive_buffer::append(const BYTE* chunk, UINT32 length, ULONGLONG announcedTotal) {
    if (length == 0) return true;
    if (!chunk) return false;
    ULONGLONG after = m_bytes.size() + static_cast<ULONGLONG>(length);
    if (after > announcedTotal || after > kMaxBytes) return false;
    m_bytes.insert(m_bytes.end(), reinterpret_cast<const char*>(chunk), reinterpret_cast<const char*>(chunk) + length);
    return true;
}
