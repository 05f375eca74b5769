#include "ziparchive/ziparchive.h"

#include "ziparchive/zipexception.h"

#include <algorithm>
#include <new>

std::atomic<unsigned char> zipExtractBusy{0};

CZipArchive::CZipArchive() {
    m_info.m_stream.zalloc = &CZipArchive::zlibAlloc;
    m_info.m_stream.zfree = &CZipArchive::zlibFree;
    m_info.m_stream.opaque = this;
    m_centralDir.Init(&m_storage);
}

CZipArchive::~CZipArchive() {
    endInflate();
    for (void* block : m_blocks) delete[] static_cast<char*>(block);
}

voidpf CZipArchive::zlibAlloc(voidpf opaque, uInt items, uInt size) {
    auto* self = static_cast<CZipArchive*>(opaque);
    // No exception may cross zlib's C frames: a failure returns null, which
    // zlib reports as Z_MEM_ERROR.
    char* block = new (std::nothrow) char[static_cast<size_t>(items) * size];
    if (block && self->m_bDetectZlibMemoryLeaks) {
        try {
            self->m_blocks.push_back(block);
        } catch (...) {
            delete[] block;
            return Z_NULL;
        }
    }
    return block;
}

void CZipArchive::zlibFree(voidpf opaque, voidpf address) {
    auto* self = static_cast<CZipArchive*>(opaque);
    auto it = std::find(self->m_blocks.begin(), self->m_blocks.end(), address);
    if (it != self->m_blocks.end()) self->m_blocks.erase(it);
    delete[] static_cast<char*>(address);
}

void CZipArchive::endInflate() {
    if (!m_info.m_bInflating) return;
    inflateEnd(&m_info.m_stream);
    m_info.m_bInflating = false;
}

void CZipArchive::throwError(int code) const {
    ThrowZipException(code, m_storage.GetFilePath().GetString());
}

void CZipArchive::Open(LPCWSTR path, int mode, int volumeSize) {
    if (!IsClosed()) return;
    if (mode != zipOpen && mode != zipOpenReadOnly) ThrowZipException(CZipException::generic, path);
    m_iFileOpened = entryNone;
    m_storage.Open(path, mode, volumeSize);
    m_centralDir.Init(&m_storage);
    m_centralDir.Read();
}

void CZipArchive::Close(bool afterError) {
    if (IsClosed() && !(afterError && m_storage.IsFileOpen())) return;
    if (afterError) {
        m_info.m_pBuffer.Release();
        m_iFileOpened = entryNone;
    } else if (m_iFileOpened == entryExtract) {
        CloseEntry(nullptr, false);
    }
    // An entry abandoned after an error still holds zlib's state.
    endInflate();
    m_info.m_pBuffer.Release();
    m_extractBuffer.Release();
    m_centralDir.Clear();
    m_storage.Close(afterError);
}

bool CZipArchive::GetFileInfo(CZipFileHeader& header, WORD index) const {
    if (IsClosed() || index >= m_centralDir.GetCount()) return false;
    header = *m_centralDir[index];
    return true;
}

bool CZipArchive::IsEntryDirectory(WORD index) const {
    if (IsClosed() || index >= m_centralDir.GetCount()) return false;
    return m_centralDir[index]->IsDirectory();
}
