#pragma once
// Decompression state of the entry open for extraction.
#include "ziparchive/zipautobuffer.h"

#include <zlib.h>

struct CZipInternalInfo {
    DWORD m_iBufferSize = 0x4000;  // compressed bytes taken from the archive per read
    z_stream m_stream{};
    DWORD m_uUncomprLeft = 0;
    DWORD m_uComprLeft = 0;
    DWORD m_uCrc32 = 0;
    CZipAutoBuffer m_pBuffer;
    bool m_bInflating = false;  // m_stream holds an inflate state
};
