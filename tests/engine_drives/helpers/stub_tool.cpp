// Stands in for format.com and diskpart.exe: appends its command line and
// whatever arrives on its standard input to the file named by
// KESTRUNE_STUB_LOG, then exits with KESTRUNE_STUB_EXIT ("hang": never).
#include <windows.h>

#include <string>

namespace {

std::wstring env(const wchar_t* name) {
    wchar_t buffer[1024] = {};
    DWORD n = GetEnvironmentVariableW(name, buffer, 1024);
    return (n > 0 && n < 1024) ? std::wstring(buffer) : std::wstring();
}

}  // namespace

int wmain() {
    const std::wstring exitText = env(L"KESTRUNE_STUB_EXIT");
    std::string record = "ARGS ";
    {
        const wchar_t* line = GetCommandLineW();
        int n = WideCharToMultiByte(CP_UTF8, 0, line, -1, nullptr, 0, nullptr, nullptr);
        std::string narrow(n > 0 ? n - 1 : 0, '\0');
        if (n > 1) WideCharToMultiByte(CP_UTF8, 0, line, -1, &narrow[0], n, nullptr, nullptr);
        record += narrow + "\n";
    }
    if (env(L"KESTRUNE_STUB_STDIN") == L"1") {
        HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
        char buffer[512];
        DWORD got = 0;
        while (ReadFile(in, buffer, sizeof(buffer), &got, nullptr) && got > 0) record.append(buffer, got);
        // Something for the caller to drain.
        DWORD written = 0;
        std::string out(8192, 'x');
        WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), out.data(), static_cast<DWORD>(out.size()), &written, nullptr);
    }
    const std::wstring log = env(L"KESTRUNE_STUB_LOG");
    if (!log.empty()) {
        HANDLE file = CreateFileW(log.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, 0, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            WriteFile(file, record.data(), static_cast<DWORD>(record.size()), &written, nullptr);
            CloseHandle(file);
        }
    }
    if (exitText == L"hang") Sleep(INFINITE);
    return exitText.empty() ? 0 : _wtoi(exitText.c_str());
}
