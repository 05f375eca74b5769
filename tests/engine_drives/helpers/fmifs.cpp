// Stands in for the platform's formatting library with FormatEx's real
// signature. Each call appends "root|media|file system|label|quick|cluster"
// to KESTRUNE_FMIFS_LOG and then plays the callback script read from
// KESTRUNE_FMIFS_SCRIPT (read per call: the library stays loaded): blank
// separated commands, "11:1" for a command with a data byte.
#include <windows.h>

#include <stdio.h>
#include <wctype.h>

#include <sstream>
#include <string>

using Callback = BOOLEAN(WINAPI*)(int command, DWORD subAction, PVOID data);

namespace {

std::wstring env(const wchar_t* name) {
    wchar_t buffer[1024] = {};
    DWORD n = GetEnvironmentVariableW(name, buffer, 1024);
    return (n > 0 && n < 1024) ? std::wstring(buffer) : std::wstring();
}

std::string narrow(const wchar_t* text) {
    std::string out;
    for (; text && *text; ++text) out += static_cast<char>(*text);
    return out;
}

// Deletes everything below folder ("X:\"), the folder itself stays.
bool emptyFolder(const std::wstring& folder) {
    WIN32_FIND_DATAW data{};
    HANDLE find = FindFirstFileW((folder + L"*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return true;
    bool ok = true;
    do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        const std::wstring path = folder + name;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            ok = emptyFolder(path + L"\\") && RemoveDirectoryW(path.c_str()) && ok;
        } else {
            SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            ok = DeleteFileW(path.c_str()) && ok;
        }
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return ok;
}

// KESTRUNE_FMIFS_MODE=empty: a format that empties the test drives R:\ and
// S:\ and succeeds; any other root fails. For running the program itself.
bool emptyMode(const wchar_t* root, Callback callback) {
    if (env(L"KESTRUNE_FMIFS_MODE") != L"empty") return false;
    std::wstring drive = root ? root : L"";
    for (wchar_t& c : drive) c = static_cast<wchar_t>(towupper(c));
    BYTE ok = (drive == L"R:\\" || drive == L"S:\\") && emptyFolder(drive) ? 1 : 0;
    callback(11, 0, &ok);
    return true;
}

}  // namespace

extern "C" __declspec(dllexport) VOID WINAPI FormatEx(PWCHAR root, int mediaType, PWCHAR fileSystem, PWCHAR label,
                                                      BOOL quick, ULONG clusterSize, Callback callback) {
    if (emptyMode(root, callback)) return;
    std::ostringstream record;
    record << narrow(root) << "|" << mediaType << "|" << narrow(fileSystem) << "|" << narrow(label) << "|" << quick
           << "|" << clusterSize << "\n";
    if (FILE* log = _wfopen(env(L"KESTRUNE_FMIFS_LOG").c_str(), L"ab")) {
        fputs(record.str().c_str(), log);
        fclose(log);
    }

    std::string text;
    if (FILE* file = _wfopen(env(L"KESTRUNE_FMIFS_SCRIPT").c_str(), L"rb")) {
        char buffer[256];
        size_t got;
        while ((got = fread(buffer, 1, sizeof(buffer), file)) > 0) text.append(buffer, got);
        fclose(file);
    }
    std::istringstream script(text);
    std::string step;
    while (script >> step) {
        const size_t colon = step.find(':');
        const int command = std::stoi(step.substr(0, colon));
        BYTE data = colon == std::string::npos ? 0 : static_cast<BYTE>(std::stoi(step.substr(colon + 1)));
        callback(command, 0, &data);
    }
}
