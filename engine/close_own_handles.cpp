#include "engine/close_own_handles.h"

#include "afx/handle.h"
#include "foundation/logmanager.h"

#include <atomic>
#include <vector>

namespace {

// The extended table: the plain one (class 16) carries 16-bit process ids
// and handle values, so above 65535 it matches nothing.
constexpr ULONG kSystemExtendedHandleInformation = 64;
constexpr LONG kStatusInfoLengthMismatch = static_cast<LONG>(0xC0000004);
constexpr ULONG kLargestBuffer = 256u << 20;

// One row of the extended handle table on x64: 40 bytes.
struct handle_entry {
    PVOID object;
    ULONG_PTR processId;
    ULONG_PTR handle;
    ACCESS_MASK access;
    USHORT creatorBackTraceIndex;
    USHORT objectTypeIndex;
    ULONG attributes;
    ULONG reserved;
};
static_assert(sizeof(handle_entry) == 40, "x64 extended handle table row");

struct handle_table {
    ULONG_PTR count;
    ULONG_PTR reserved;
    handle_entry entries[1];
};

using NtQuerySystemInformationFn = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);

std::atomic<bool> g_busy{false};

bool readHandleTable(std::vector<BYTE>& buffer) {
    UniqueModule ntdll(LoadLibraryW(L"NTDLL.dll"));
    if (!ntdll) return false;
    auto query = reinterpret_cast<NtQuerySystemInformationFn>(GetProcAddress(ntdll.get(), "NtQuerySystemInformation"));
    if (!query) return false;
    buffer.assign(4096, 0);
    for (;;) {
        ULONG needed = 0;
        LONG status = query(kSystemExtendedHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &needed);
        if (status == kStatusInfoLengthMismatch && buffer.size() < kLargestBuffer) {
            buffer.assign(buffer.size() * 2, 0);
            continue;
        }
        return status >= 0;
    }
}

// "\\?\C:\a\b" and "\\?\UNC\..." as GetFinalPathNameByHandle gives them,
// without the prefix.
CString finalPathOf(HANDLE handle) {
    wchar_t text[MAX_PATH + 1] = {};
    DWORD length = GetFinalPathNameByHandleW(handle, text, MAX_PATH, 0);
    if (length == 0 || length >= MAX_PATH) return CString();
    CString path(text);
    if (path.Left(4) == L"\\\\?\\") path = path.Mid(4);
    return path;
}

CString fullPathOf(const CString& path) {
    CString normal = path;
    normal.Replace(L'/', L'\\');
    wchar_t text[MAX_PATH + 1] = {};
    DWORD length = GetFullPathNameW(normal.GetString(), MAX_PATH, text, nullptr);
    if (length == 0 || length >= MAX_PATH) return normal;
    CString full(text);
    while (full.GetLength() > 3 && full[full.GetLength() - 1] == L'\\') full.Truncate(full.GetLength() - 1);
    return full;
}

bool liesBelow(const CString& path, const CString& folder) {
    if (path.GetLength() <= folder.GetLength()) return false;
    if (path.Left(folder.GetLength()).CompareNoCase(folder) != 0) return false;
    return path[folder.GetLength()] == L'\\' || folder[folder.GetLength() - 1] == L'\\';
}

}  // namespace

bool closeOwnHandles(const CString& path) {
    if (g_busy.exchange(true)) return false;
    struct clear_busy {
        ~clear_busy() { g_busy = false; }
    } clearBusy;

    std::vector<BYTE> buffer;
    if (!readHandleTable(buffer)) {
        LOG_WRITE(L"[closeOwnHandles] handle table not readable [path:%s]", path.GetString());
        return false;
    }
    const CString target = fullPathOf(path);
    const DWORD attributes = GetFileAttributesW(target.GetString());
    const bool folder = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    const auto* table = reinterpret_cast<const handle_table*>(buffer.data());
    const size_t fits = (buffer.size() - offsetof(handle_table, entries)) / sizeof(handle_entry);
    const size_t count = std::min<size_t>(static_cast<size_t>(table->count), fits);
    const DWORD self = GetCurrentProcessId();

    for (size_t i = 0; i < count; ++i) {
        const handle_entry& entry = table->entries[i];
        if (entry.processId != self) continue;
        HANDLE handle = reinterpret_cast<HANDLE>(entry.handle);
        // Only disk files: asking a pipe for its name can block for good.
        if (GetFileType(handle) != FILE_TYPE_DISK) continue;
        CString held = finalPathOf(handle);
        if (held.IsEmpty()) continue;
        if (folder) {
            if (liesBelow(held, target)) {
                LOG_WRITE(L"[closeOwnHandles] closed [handle:0x%Ix][file:%s]", entry.handle, held.GetString());
                CloseHandle(handle);
            }
        } else if (held.CompareNoCase(target) == 0) {
            LOG_WRITE(L"[closeOwnHandles] closed [handle:0x%Ix][file:%s]", entry.handle, held.GetString());
            CloseHandle(handle);
            break;
        }
    }
    return true;
}
