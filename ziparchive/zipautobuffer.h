#pragma once
// An owned byte buffer. A buffer of size 0 holds no block; copies are deep.
#include <windows.h>

#include <memory>

class CZipAutoBuffer {
public:
    CZipAutoBuffer() = default;
    explicit CZipAutoBuffer(DWORD size, bool zeroMemory = false) { Allocate(size, zeroMemory); }
    CZipAutoBuffer(const CZipAutoBuffer& other) { *this = other; }
    CZipAutoBuffer& operator=(const CZipAutoBuffer& other);
    CZipAutoBuffer(CZipAutoBuffer&&) noexcept = default;
    CZipAutoBuffer& operator=(CZipAutoBuffer&&) noexcept = default;

    // Allocating the size already held keeps the block (and its bytes).
    char* Allocate(DWORD size, bool zeroMemory = false);
    void Release();

    DWORD GetSize() const { return m_iSize; }
    bool IsAllocated() const { return m_pBuffer != nullptr; }
    char* GetBuffer() const { return m_pBuffer.get(); }
    operator char*() const { return m_pBuffer.get(); }

private:
    std::unique_ptr<char[]> m_pBuffer;
    DWORD m_iSize = 0;
};
