// Downloads one address with the HTTP download worker into a file, the way
// the transfer engine does (the sink writes every batch at the file's end),
// and prints one line of figures for bench/download_bench.py:
//   bytes=B seconds=S peak_working_set_kib=K code=C status=H
//   bench_download.exe [--raw] <url> <output file>
// --raw reads with bare WinINet calls instead (256 KiB reads straight into
// the file): the platform's own ceiling on this machine.
#include "webclient/download_worker.h"

#include <psapi.h>

#include <cstdio>
#include <vector>

namespace {

bool rawDownload(const wchar_t* url, HANDLE file, unsigned long long& bytes, int& status) {
    HINTERNET internet = InternetOpenW(L"bench", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    HINTERNET request = internet ? InternetOpenUrlW(internet, url, nullptr, 0,
                                                     INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, 0)
                                 : nullptr;
    bool ok = request != nullptr;
    if (ok) {
        wchar_t text[16] = {};
        DWORD size = sizeof(text);
        HttpQueryInfoW(request, HTTP_QUERY_STATUS_CODE, text, &size, nullptr);
        status = _wtoi(text);
    }
    std::vector<BYTE> buffer(262144);
    while (ok) {
        DWORD got = 0, written = 0;
        ok = InternetReadFile(request, buffer.data(), static_cast<DWORD>(buffer.size()), &got) != FALSE;
        if (!ok || got == 0) break;
        ok = WriteFile(file, buffer.data(), got, &written, nullptr) && written == got;
        bytes += got;
    }
    if (request) InternetCloseHandle(request);
    if (internet) InternetCloseHandle(internet);
    return ok;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const bool raw = argc == 4 && wcscmp(argv[1], L"--raw") == 0;
    if (raw) ++argv, --argc;
    if (argc != 3) {
        fprintf(stderr, "usage: bench_download [--raw] <url> <output file>\n");
        return 2;
    }
    HANDLE file = CreateFileW(argv[2], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        fprintf(stderr, "cannot create the output file (%lu)\n", GetLastError());
        return 2;
    }
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);

    unsigned long long bytes = 0;
    bool writeFailed = false;
    download_worker worker(argv[1]);
    bool ok = raw ? rawDownload(argv[1], file, bytes, worker.status)
                  : worker.remote_file_download_tls(0, nullptr, [&](const BYTE* data, UINT32 count) {
        if (!data || count == 0) return 1;
        DWORD written = 0;
        if (!WriteFile(file, data, count, &written, nullptr) || written != count) {
            writeFailed = true;
            return 0;
        }
        bytes += count;
        return 1;
    });
    QueryPerformanceCounter(&end);
    CloseHandle(file);

    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
    printf("bytes=%llu seconds=%.3f peak_working_set_kib=%llu code=%d status=%d\n", bytes,
           static_cast<double>(end.QuadPart - start.QuadPart) / frequency.QuadPart,
           static_cast<unsigned long long>(counters.PeakWorkingSetSize / 1024), worker.code, worker.status);
    return ok && !writeFailed ? 0 : 1;
}
