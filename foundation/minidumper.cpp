#include "foundation/minidumper.h"

#include "afx/handle.h"
#include "foundation/logmanager.h"

#include <dbghelp.h>
#include <shlobj.h>

namespace {

void showMessageBox(const CString& text) {
    MessageBoxW(nullptr, text.GetString(), L"Kestrune", MB_OK);
}

MiniDumper::Notifier g_notifier = &showMessageBox;

using MiniDumpWriteDumpFn = BOOL(WINAPI*)(HANDLE, DWORD, HANDLE, MINIDUMP_TYPE, PMINIDUMP_EXCEPTION_INFORMATION,
                                          PMINIDUMP_USER_STREAM_INFORMATION, PMINIDUMP_CALLBACK_INFORMATION);

// The system's DBGHELP.DLL by its full path: one beside the program or in
// the current folder would run elevated.
HMODULE loadDbgHelp() {
    wchar_t system[MAX_PATH] = {};
    const UINT n = GetSystemDirectoryW(system, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return nullptr;
    return LoadLibraryW((CString(system) + L"\\DBGHELP.DLL").GetString());
}

}  // namespace

MiniDumper::MiniDumper() {
    SetUnhandledExceptionFilter(&MiniDumper::UnhandledException);
    LOG_WRITE(L"[MiniDumper Init Success.]");
}

void MiniDumper::setNotifier(Notifier notifier) {
    g_notifier = notifier ? notifier : &showMessageBox;
}

CString MiniDumper::dumpPath() {
    wchar_t folder[MAX_PATH] = {};
    SHGetSpecialFolderPathW(nullptr, folder, CSIDL_APPDATA, FALSE);
    return CString(folder) + L"\\crashDump.dmp";
}

LONG WINAPI MiniDumper::UnhandledException(EXCEPTION_POINTERS* exception) {
    LONG result = EXCEPTION_CONTINUE_SEARCH;
    CString message;
    UniqueModule dbghelp(loadDbgHelp());
    if (!dbghelp) {
        message = L"DBGHELP.DLL not found.";
    } else {
        auto writeDump =
            reinterpret_cast<MiniDumpWriteDumpFn>(GetProcAddress(dbghelp.get(), "MiniDumpWriteDump"));
        if (!writeDump) {
            message = L"DBGHELP.DLL too old.";
        } else {
            CString path = dumpPath();
            UniqueFileHandle file(CreateFileW(path.GetString(), GENERIC_WRITE, FILE_SHARE_WRITE, nullptr,
                                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
            if (!file) {
                message.Format(L"Failed to create dump file '%s' (error %d)", path.GetString(),
                               static_cast<int>(GetLastError()));
            } else {
                MINIDUMP_EXCEPTION_INFORMATION info;
                info.ThreadId = GetCurrentThreadId();
                info.ExceptionPointers = exception;
                info.ClientPointers = FALSE;
                if (writeDump(GetCurrentProcess(), GetCurrentProcessId(), file.get(), MiniDumpNormal, &info,
                              nullptr, nullptr)) {
                    message.Format(L"Saved dump file to '%s'", path.GetString());
                    result = EXCEPTION_EXECUTE_HANDLER;
                } else {
                    message.Format(L"Failed to save dump file to '%s' (error %d)", path.GetString(),
                                   static_cast<int>(GetLastError()));
                }
            }
        }
    }
    CString text = L"[" + message + L"]";
    g_notifier(text);
    LOG_WRITE(L"%s", text.GetString());
    return result;
}
