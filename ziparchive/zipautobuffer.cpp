#include "ziparchive/zipautobuffer.h"

#include <cstring>

CZipAutoBuffer& CZipAutoBuffer::operator=(const CZipAutoBuffer& other) {
    if (this == &other) return *this;
    Release();
    if (other.m_iSize) {
        Allocate(other.m_iSize);
        memcpy(m_pBuffer.get(), other.m_pBuffer.get(), other.m_iSize);
    }
    return *this;
}

char* CZipAutoBuffer::Allocate(DWORD size, bool zeroMemory) {
    if (size != m_iSize) {
        Release();
        if (size == 0) return nullptr;
        m_pBuffer.reset(new char[size]);
        m_iSize = size;
    }
    if (zeroMemory && m_pBuffer) memset(m_pBuffer.get(), 0, m_iSize);
    return m_pBuffer.get();
}

void CZipAutoBuffer::Release() {
    m_pBuffer.reset();
    m_iSize = 0;
}
