// Stands in for the platform's formatting library with FormatEx's real
// signature. Each call appends "root|media|file system|label|quick|cluster"
// to KESTRUNE_FMIFS_LOG and then plays the callback script read from
// KESTRUNE_FMIFS_SCRIPT (read per call: the library stays loaded): blank
// separated commands, "11:1" for a command with a data byte.
#include <windows.h>

#include <stdio.h>

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

}  // namespace

extern "C" __declspec(dllexport) VOID WINAPI FormatEx(PWCHAR root, int mediaType, PWCHAR fileSystem, PWCHAR label,
                                                      BOOL quick, ULONG clusterSize, Callback callback) {
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
