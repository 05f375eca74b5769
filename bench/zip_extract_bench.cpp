// Extracts every entry of a package the way the unzip worker does (full
// paths, progress callback, 65535-byte buffer, CRC-32 checked on close) and
// prints one line of figures for the benchmark scripts:
//   entries=N bytes=B seconds=S peak_working_set_kib=K failed=F
//   bench_ziparchive.exe <package.zip> <target folder>
// With --floor it writes the same files (names and sizes from the package)
// with nothing but CreateFile, WriteFile and CloseHandle, making each folder
// once: what the platform itself costs for those files.
//   bench_ziparchive.exe --floor <package.zip> <target folder>
#include "ziparchive/ziparchive.h"
#include "ziparchive/zipexception.h"

#include <psapi.h>

#include <cstdio>
#include <set>
#include <vector>

namespace {

// Like the worker's callback: counts compressed bytes into a progress total.
bool countProgress(int chunk, int, void* data) {
    *static_cast<long long*>(data) += chunk;
    return true;
}

// Every folder level of path below root, made once per run.
bool makeFolders(const std::wstring& path, std::set<std::wstring>& made) {
    for (size_t at = path.find(L'\\', 3); at != std::wstring::npos; at = path.find(L'\\', at + 1)) {
        std::wstring level = path.substr(0, at);
        if (!made.insert(level).second) continue;
        if (!CreateDirectoryW(level.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return false;
    }
    return true;
}

int writeFloor(CZipArchive& zip, const wchar_t* folder, int& failed, unsigned long long& bytes) {
    std::set<std::wstring> made;
    std::vector<char> data;
    const int entries = zip.GetCount();
    for (int i = 0; i < entries; ++i) {
        CZipFileHeader header;
        zip.GetFileInfo(header, static_cast<WORD>(i));
        CString name = header.GetFileName();
        name.Replace(L'/', L'\\');
        std::wstring path = std::wstring(folder) + L"\\" + name.GetString();
        if (!makeFolders(path, made)) ++failed;
        if (name.Right(1) == L"\\") continue;
        data.resize(header.m_uUncomprSize);
        HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            ++failed;
            continue;
        }
        DWORD written = 0;
        if (!data.empty() && !WriteFile(file, data.data(), static_cast<DWORD>(data.size()), &written, nullptr)) ++failed;
        CloseHandle(file);
        bytes += header.m_uUncomprSize;
    }
    return entries;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const bool floorOnly = argc == 4 && wcscmp(argv[1], L"--floor") == 0;
    if (floorOnly) {
        ++argv;
        --argc;
    }
    if (argc != 3) {
        fprintf(stderr, "usage: bench_ziparchive [--floor] <package.zip> <target folder>\n");
        return 2;
    }
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);

    CZipArchive zip;
    long long progress = 0;
    unsigned long long bytes = 0;
    int entries = 0;
    int failed = 0;
    try {
        zip.Open(argv[1], CZipArchive::zipOpenReadOnly, 0);
        entries = zip.GetCount();
        if (floorOnly) entries = writeFloor(zip, argv[2], failed, bytes);
        for (int i = 0; !floorOnly && i < entries; ++i) {
            CZipFileHeader header;
            zip.GetFileInfo(header, static_cast<WORD>(i));
            bytes += header.m_uUncomprSize;
            if (!zip.ExtractFile(static_cast<WORD>(i), argv[2], true, nullptr, countProgress, &progress, 65535)) {
                ++failed;
            }
        }
    } catch (CException* e) {
        wchar_t text[512];
        e->GetErrorMessage(text, 512);
        // %ls: the same meaning in every runtime's wide printf.
        fwprintf(stderr, L"error: %ls\n", text);
        e->Delete();
        zip.Close(true);
        return 1;
    }
    zip.Close(true);
    QueryPerformanceCounter(&end);

    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof(memory);
    GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof(memory));
    double seconds = static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
    printf("entries=%d bytes=%llu seconds=%.3f peak_working_set_kib=%llu failed=%d\n", entries, bytes, seconds,
           static_cast<unsigned long long>(memory.PeakWorkingSetSize / 1024), failed);
    return failed ? 1 : 0;
}
