#include "descriptors/inf_info.h"

#include "afx/file.h"
#include "descriptors/inf_file_update.h"
#include "descriptors/inf_receive_buffer.h"
#include "descriptors/path_join.h"
#include "foundation/logmanager.h"
#include "webclient/download_worker.h"

#include <wininet.h>

namespace {

// The data sink of the descriptor download: a start call (bytes, 0) per
// reply, deliveries, and polls (null, 0) while the worker waits.
int appendInfData(download_worker& worker, inf_receive_buffer& buffer, const BYTE* chunk, UINT32 length) {
    if (length == 0) {
        if (chunk) buffer.begin();
        return 1;
    }
    if (!buffer.append(chunk, length, worker.total)) {
        worker.code = INET_ERROR_READ;
        return 0;
    }
    return 1;
}

// The copy kept for reference: %TEMP%\Kestrune\<INF file name>. Only the
// name's last component is used, so a server-given name cannot place the
// file elsewhere.
void writeReferenceCopy(const CString& infFileName, const CString& text) {
    CString name = infFileName.Mid(std::max(infFileName.ReverseFind(L'\\'), infFileName.ReverseFind(L'/')) + 1);
    if (name.IsEmpty() || !isContainedName(name)) {
        LOG_WRITE(L"[WARNING] descriptor name unusable for the reference copy [name:%s]", infFileName.GetString());
        return;
    }
    wchar_t temp[MAX_PATH + 1] = {};
    DWORD length = GetTempPathW(MAX_PATH, temp);
    if (length == 0 || length > MAX_PATH) return;
    CString path = temp;
    if (!appendPath(path, L"Kestrune") || !appendPath(path, name)) return;
    common_util::ensure_directory(path);

    CFile file;
    if (!file.Open(path.GetString(), CFile::modeCreate | CFile::modeWrite)) return;
    CStringA utf8 = WideToMultiByte(text.GetString(), CP_UTF8);
    try {
        file.Write(utf8.GetString(), static_cast<UINT>(utf8.GetLength()));
        file.Close();
    } catch (CFileException* e) {
        // The copy is for reference only; the read goes on from memory.
        e->Delete();
        file.Abort();
    }
}

}  // namespace

int InfInfo::loadInfFile(const std::atomic<bool>* run, ULONGLONG deadline) {
    if (m_nReads.load() > 0) return 1;

    const CString url = getInfFileUrl();
    int result = 0;
    {
        download_worker worker(url);
        worker.deadline = deadline;
        inf_receive_buffer buffer;
        bool delivered = worker.remote_file_download_tls(
            0, run, [&worker, &buffer](const BYTE* chunk, UINT32 length) {
                return appendInfData(worker, buffer, chunk, length);
            });
        CString text;
        if (buffer.started()) {
            text = infTextFromBytes(buffer.bytes().data(), buffer.bytes().size());
            buffer.release();
        }
        m_nLastHttpStatus = worker.status;
        m_nLastWorkerResult = worker.code;

        if (!delivered) {
            LOG_WRITE(L"[ERR_INF_DOWNLOAD][url:%s][status:%d][code:%d]", url.GetString(), worker.status, worker.code);
            ++m_nFailures;
        } else {
            writeReferenceCopy(m_strInfFileName, text);
            result = readInfText(text);
            if (!result) {
                m_nLastWorkerResult = INET_ERROR_UNUSABLE_BODY;
                LOG_WRITE(L"[ERR_INF_DOWNLOAD][no descriptor entries][url:%s][status:%d]", url.GetString(),
                          worker.status);
            }
        }
    }
    DeleteUrlCacheEntryW(url.GetString());
    return result;
}
