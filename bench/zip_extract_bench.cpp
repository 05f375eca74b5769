// Extracts every entry of a package the way the unzip worker does (full
// paths, progress callback, 65535-byte buffer, CRC-32 checked on close) and
// prints one line of figures for bench/zip_bench.py:
//   entries=N bytes=B seconds=S peak_working_set_kib=K
//   bench_ziparchive.exe <package.zip> <target folder>
#include "ziparchive/ziparchive.h"
#include "ziparchive/zipexception.h"

#include <psapi.h>

#include <cstdio>

namespace {

// Like the worker's callback: counts compressed bytes into a progress total.
bool countProgress(int chunk, int, void* data) {
    *static_cast<long long*>(data) += chunk;
    return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: bench_ziparchive <package.zip> <target folder>\n");
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
        for (int i = 0; i < entries; ++i) {
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
        fwprintf(stderr, L"error: %s\n", text);
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
