#include "engine/system_tools.h"

#include <mutex>

namespace {

std::mutex g_lock;
CString g_override;

}  // namespace

CString systemToolPath(const CString& name) {
    CString folder;
    {
        std::lock_guard<std::mutex> lock(g_lock);
        folder = g_override;
    }
    if (folder.IsEmpty()) {
        wchar_t buffer[MAX_PATH] = {};
        UINT n = GetSystemDirectoryW(buffer, MAX_PATH);
        if (n > 0 && n < MAX_PATH) folder = buffer;
    }
    if (!folder.IsEmpty() && folder.Right(1) != L"\\") folder += L"\\";
    return folder + name;
}

CString setSystemToolFolder(const CString& folder) {
    std::lock_guard<std::mutex> lock(g_lock);
    CString old = g_override;
    g_override = folder;
    return old;
}
