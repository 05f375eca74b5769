// Stands in for the disk checker: reads its answer from standard input and
// appends its command line and that answer to chkdsk.log beside itself.
#include <windows.h>

#include <cstdio>
#include <cwchar>

int wmain(int, wchar_t**) {
    char answer[16] = {};
    DWORD got = 0;
    ReadFile(GetStdHandle(STD_INPUT_HANDLE), answer, sizeof(answer) - 1, &got, nullptr);
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    wchar_t* slash = wcsrchr(path, L'\\');
    if (slash) wcscpy(slash + 1, L"chkdsk.log");
    FILE* log = _wfopen(path, L"a");
    if (log) {
        fwprintf(log, L"%ls|%hs\n", GetCommandLineW(), answer);
        fclose(log);
    }
    printf("The type of the file system is NTFS.\n");
    return 0;
}
