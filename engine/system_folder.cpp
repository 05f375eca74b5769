#include "engine/system_folder.h"

#include "foundation/logmanager.h"

#include <mutex>
#include <string>

namespace {

std::mutex g_lock;
CString g_override;

}  // namespace

CString systemFolder() {
    {
        std::lock_guard<std::mutex> lock(g_lock);
        if (!g_override.IsEmpty()) return g_override;
    }
    wchar_t text[MAX_PATH + 1] = {};
    UINT length = GetSystemDirectoryW(text, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return CString();
    return CString(text);
}

CString setSystemFolder(const CString& folder) {
    std::lock_guard<std::mutex> lock(g_lock);
    CString before = g_override;
    g_override = folder;
    while (!g_override.IsEmpty() && (g_override.Right(1) == L"\\" || g_override.Right(1) == L"/")) {
        g_override.Truncate(g_override.GetLength() - 1);
    }
    return before;
}

CString systemFilePath(const CString& name) {
    return systemFolder() + L"\\" + name;
}

HMODULE loadSystemLibrary(const CString& name) {
    return LoadLibraryExW(systemFilePath(name).GetString(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

BOOL startSystemProgram(const CString& program, const CString& arguments, DWORD creationFlags,
                        BOOL inheritHandles, STARTUPINFOW& startup, PROCESS_INFORMATION& info) {
    const CString path = systemFilePath(program);
    CString commandLine = L"\"" + path + L"\"";
    if (!arguments.IsEmpty()) commandLine += L" " + arguments;
    std::wstring mutableLine(commandLine.GetString());
    BOOL started = CreateProcessW(path.GetString(), &mutableLine[0], nullptr, nullptr, inheritHandles,
                                  creationFlags, nullptr, nullptr, &startup, &info);
    if (!started) {
        LOG_WRITE(L"[CreateProcess][file:%s][ErrorCode:%d]", path.GetString(), static_cast<int>(GetLastError()));
    }
    return started;
}
