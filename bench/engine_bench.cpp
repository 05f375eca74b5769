// The transfer engine's copy and unzip paths against bare loops, in one
// executable and run (bench/run_engine_bench.sh):
//   bench_engine.exe copy <source folder> <medium root> <large files> <large MiB> <small files> <small KiB>
//     copies every file with copy_manager (1 MiB write-through chunks,
//     size and CRC-32 check) and with a bare loop that writes the same
//     chunks write-through and reads the copy back once; prints
//     "set=large|small files=N bytes=B engine=S bare=S" per set and run.
//   bench_engine.exe tree <source folder> <medium root> <files> <bytes>
//     a package folder (HTML) of that many small files copied by the
//     package route (copy, read-back check) and by the bare loop below;
//     prints "set=tree files=N bytes=B engine=S bare=S" per run.
//   bench_engine.exe treecost <source folder> <medium root> <files> <bytes>
//     what each file of a package folder costs, step by step, over that
//     many small files: the calls the package route makes per file, each
//     timed alone; prints "step=<name> us_per_file=U" per step.
//   bench_engine.exe unzip <package.zip> <target folder>
//     extracts every entry and checks the CRC-32 of every file the way the
//     unzip step does; prints "entries=N bytes=B seconds=S".
#include "descriptors/inf_info.h"
#include "engine/copy_manager.h"
#include "engine/unzip_worker.h"
#include "foundation/common_util.h"
#include "ziparchive/ziparchive.h"

#include <zlib.h>

#include <cstdio>
#include <functional>
#include <malloc.h>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr DWORD kChunk = 1048576;

double now() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / frequency.QuadPart;
}

struct bench_file {
    CString name;
    ULONGLONG size = 0;
    UINT32 crc = 0;
};

// Writes (or keeps, when its size is right) a file of deterministic bytes
// and returns its CRC-32.
UINT32 makeFile(const CString& path, ULONGLONG size, unsigned seed) {
    std::vector<BYTE> block(kChunk);
    UINT32 crc = 0;
    bool keep = GetFileAttributesW(path.GetString()) != INVALID_FILE_ATTRIBUTES;
    if (keep) {
        WIN32_FILE_ATTRIBUTE_DATA data{};
        GetFileAttributesExW(path.GetString(), GetFileExInfoStandard, &data);
        keep = ((static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow) == size;
    }
    HANDLE file = keep ? INVALID_HANDLE_VALUE
                       : CreateFileW(path.GetString(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    unsigned state = seed * 2654435761u + 1;
    for (ULONGLONG done = 0; done < size;) {
        DWORD n = static_cast<DWORD>(std::min<ULONGLONG>(kChunk, size - done));
        for (DWORD i = 0; i < n; i += 4) {
            state = state * 1664525u + 1013904223u;
            memcpy(&block[i], &state, std::min<DWORD>(4, n - i));
        }
        crc = static_cast<UINT32>(crc32(crc, block.data(), n));
        if (file != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            WriteFile(file, block.data(), n, &written, nullptr);
        }
        done += n;
    }
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    return crc;
}

// A descriptor of the files below <source>\BENCH\<folder>, as items.
struct bench_set {
    std::unique_ptr<InfInfo> info;
    std::vector<std::unique_ptr<InfFileUpdate>> items;
};

bool makeSet(const CString& source, const wchar_t* folder, int count, ULONGLONG size, bench_set& set) {
    CString text = L"[HEAD]\r\nROOT_URL=http://bench.invalid/pkg\r\nCOMMON_PATH=BENCH\r\nMODEL_PATH=BENCH\r\nSD_ROOT=SD\r\n";
    // The descriptor folder, then the destination (the root reference is
    // not part of the local path).
    CString dir = source + L"\\BENCH\\" + folder + L"\\";
    common_util::ensure_directory(dir);
    for (int i = 0; i < count; ++i) {
        CString name;
        name.Format(L"%s_%04d.bin", folder, i);
        UINT32 crc = makeFile(dir + name, size, static_cast<unsigned>(i + 1) * (size & 0xFFFF));
        CString section;
        section.Format(L"[FILE_%04d]\r\nAG_FILENAME=%s\r\nAG_FILESIZE=%I64u\r\nAG_FILECRC=%u\r\nAG_NUMSPAN=0\r\n"
                       L"AG_ZIPNAME=%s\r\nAG_ZIPSIZE=%I64u\r\nAG_VER=1\r\nDEST_PATH=$SD_ROOT$\\%s\r\n"
                       L"FILEINFO_PATH=$COMMON_PATH$/%s\r\nERROR=0\r\n",
                       i + 1, name.GetString(), size, crc, name.GetString(), size, folder, folder);
        text += section;
    }
    set.info = std::make_unique<InfInfo>();
    set.info->setInfFileName(L"BENCH.inf");
    set.info->setInfUrl(L"http://bench.invalid/inf");
    if (!set.info->readInfText(text)) return false;
    set.info->getInfFileTails()->forEach([&](int, InfFileTail* tail) {
        auto item = std::make_unique<InfFileUpdate>();
        if (item->init(tail, CString())) set.items.push_back(std::move(item));
        return true;
    });
    return static_cast<int>(set.items.size()) == count;
}

CString mediumPath(InfFileUpdate* item, const CString& medium) {
    CString path = item->getFilePath(medium);
    common_util::normalize_path(path, medium);
    return path;
}

bool bareCopy(const CString& source, const CString& target, UINT32 expected, std::vector<BYTE>& buffer) {
    common_util::ensure_directory(target);
    HANDLE in = CreateFileW(source.GetString(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    HANDLE out = CreateFileW(target.GetString(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                             FILE_FLAG_WRITE_THROUGH, nullptr);
    if (in == INVALID_HANDLE_VALUE || out == INVALID_HANDLE_VALUE) return false;
    DWORD got = 0, written = 0;
    while (ReadFile(in, buffer.data(), kChunk, &got, nullptr) && got) WriteFile(out, buffer.data(), got, &written, nullptr);
    CloseHandle(in);
    CloseHandle(out);
    // Read back past the cache, as the engine's check does.
    static BYTE* aligned = static_cast<BYTE*>(_aligned_malloc(kChunk, 4096));
    HANDLE back = CreateFileW(target.GetString(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_FLAG_NO_BUFFERING, nullptr);
    uLong crc = 0;
    while (ReadFile(back, aligned, kChunk, &got, nullptr) && got) crc = crc32(crc, aligned, got);
    CloseHandle(back);
    return crc == expected;
}

int copyBench(const CString& source, const CString& medium, int largeCount, ULONGLONG largeMiB, int smallCount,
              ULONGLONG smallKiB) {
    bench_set large, small;
    if (!makeSet(source, L"LARGE", largeCount, largeMiB << 20, large) ||
        !makeSet(source, L"SMALL", smallCount, smallKiB << 10, small)) {
        fprintf(stderr, "could not prepare the source files\n");
        return 1;
    }
    copy_manager* cm = copy_manager::getInstance();
    cm->m_strDownloadFolder = source;
    cm->setBasePath(medium);
    cm->m_bActive = true;
    RunFlag running{true};
    std::vector<BYTE> buffer(kChunk);
    // A warm-up run, then three, the order of engine and bare loop
    // alternating: the host writes back what the previous step (or the
    // source files' creation) wrote while the next one runs.
    for (int run = 0; run < 4; ++run) {
        for (bench_set* set : {&large, &small}) {
            ULONGLONG bytes = 0;
            for (auto& item : set->items) {
                bytes += static_cast<ULONGLONG>(item->getFileSize());
                DeleteFileW(mediumPath(item.get(), medium).GetString());
            }
            double engine = 0, bare = 0;
            for (int step = 0; step < 2; ++step) {
                const bool engineStep = (step == 0) == (run % 2 == 0);
                const double t0 = now();
                for (auto& item : set->items) {
                    if (engineStep) {
                        item->m_nState = ITEM_STATE_UNZIPPED;
                        cm->func_copy_Item(item.get(), &running);
                        if (item->m_nState != ITEM_STATE_COPIED) {
                            fprintf(stderr, "engine copy failed: %ls\n", item->getFilePath(source).GetString());
                            return 1;
                        }
                    } else if (!bareCopy(item->getFilePath(source), mediumPath(item.get(), medium),
                                         item->getFileCrc(), buffer)) {
                        fprintf(stderr, "bare copy failed\n");
                        return 1;
                    }
                }
                (engineStep ? engine : bare) = now() - t0;
                for (auto& item : set->items) DeleteFileW(mediumPath(item.get(), medium).GetString());
            }
            if (run == 0) continue;
            printf("set=%s files=%d bytes=%I64u engine=%.3f bare=%.3f\n", set == &large ? "large" : "small",
                   static_cast<int>(set->items.size()), bytes, engine, bare);
            fflush(stdout);
        }
    }
    return 0;
}

// count files of size bytes in folder (made below source), named
// <prefix>00000.htm on; their names and CRC-32s.
void makeSmallFiles(const CString& source, const CString& folder, const wchar_t* prefix, int count, int size,
                    std::vector<CString>& names, std::vector<UINT32>& crcs) {
    CreateDirectoryW(source.GetString(), nullptr);
    CreateDirectoryW(folder.GetString(), nullptr);
    std::string bytes(static_cast<size_t>(size), 'h');
    for (int i = 0; i < count; ++i) {
        CString name;
        name.Format(L"%s%05d.htm", prefix, i);
        bytes[0] = static_cast<char>('a' + i % 26);
        HANDLE file = CreateFileW((folder + L"\\" + name).GetString(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0,
                                  nullptr);
        DWORD written = 0;
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(file);
        names.push_back(name);
        crcs.push_back(static_cast<UINT32>(crc32(0, reinterpret_cast<const Bytef*>(bytes.data()), bytes.size())));
    }
}

int treeBench(const CString& source, const CString& medium, int count, int size) {
    const CString folder = source + L"\\HTML";
    std::vector<CString> names;
    std::vector<UINT32> crcs;
    makeSmallFiles(source, folder, L"p", count, size, names, crcs);
    copy_manager* cm = copy_manager::getInstance();
    std::vector<BYTE> buffer(kChunk);
    const CString target = medium + L"PKG";
    auto clear = [&] {
        for (const CString& name : names) DeleteFileW((target + L"\\HTML\\" + name).GetString());
    };
    for (int run = 0; run < 3; ++run) {
        clear();
        double t0 = now();
        if (!cm->copyPackageFolders(L"HTML.exe", source, target, run_flags())) {
            fprintf(stderr, "package copy failed\n");
            return 1;
        }
        const double engine = now() - t0;
        clear();
        t0 = now();
        for (size_t i = 0; i < names.size(); ++i) {
            if (!bareCopy(folder + L"\\" + names[i], target + L"\\HTML\\" + names[i], crcs[i], buffer)) {
                fprintf(stderr, "bare copy failed\n");
                return 1;
            }
        }
        const double bare = now() - t0;
        if (run == 0) continue;
        printf("set=tree files=%d bytes=%I64u engine=%.3f bare=%.3f\n", count,
               static_cast<ULONGLONG>(count) * static_cast<ULONGLONG>(size), engine, bare);
        fflush(stdout);
    }
    clear();
    return 0;
}

int unzipBench(const CString& package, const CString& folder) {
    double t0 = now();
    unzip_worker worker;
    CZipArchive archive;
    std::vector<unzip_entry> entries;
    if (!worker.unzip_open(&entries, archive, package) || !worker.unzip(archive, folder, nullptr, run_flags(), nullptr)) {
        fprintf(stderr, "extraction failed, code %d\n", worker.m_nErrorCode);
        return 1;
    }
    ULONGLONG bytes = 0;
    for (WORD i = 0; i < static_cast<WORD>(archive.GetCount()); ++i) {
        CZipFileHeader header;
        archive.GetFileInfo(header, i);
        if (header.IsDirectory()) continue;
        CString path = folder + L"\\" + header.GetFileName();
        path.Replace(L'/', L'\\');
        if (!worker.crc_check_unzip(path, header.m_uCrc32, run_flags())) {
            fprintf(stderr, "CRC check failed: %ls\n", path.GetString());
            return 1;
        }
        bytes += header.m_uUncomprSize;
    }
    archive.Close(true);
    printf("entries=%d bytes=%I64u seconds=%.3f\n", static_cast<int>(entries.size()), bytes, now() - t0);
    return 0;
}

// Each per-file call of a package-folder copy, timed alone over every file.
int treeCost(const CString& source, const CString& medium, int count, int size) {
    const CString folder = source + L"\\COST";
    const CString target = medium + L"COST";
    CreateDirectoryW(target.GetString(), nullptr);
    std::vector<CString> names;
    std::vector<UINT32> crcs;
    makeSmallFiles(source, folder, L"c", count, size, names, crcs);
    std::vector<BYTE> buffer(kChunk);
    BYTE* aligned = static_cast<BYTE*>(_aligned_malloc(kChunk, 4096));
    auto step = [&](const char* what, const std::function<void(const CString&, const CString&)>& call) {
        const double t0 = now();
        for (const CString& name : names) call(folder + L"\\" + name, target + L"\\" + name);
        printf("step=%s us_per_file=%.1f\n", what, (now() - t0) * 1e6 / count);
        fflush(stdout);
    };
    step("find_one_file", [](const CString& from, const CString&) {
        WIN32_FIND_DATAW found;
        HANDLE h = FindFirstFileW(from.GetString(), &found);
        if (h != INVALID_HANDLE_VALUE) FindClose(h);
    });
    step("attributes_source", [](const CString& from, const CString&) {
        WIN32_FILE_ATTRIBUTE_DATA data;
        GetFileAttributesExW(from.GetString(), GetFileExInfoStandard, &data);
    });
    step("attributes_missing_target", [](const CString&, const CString& to) {
        WIN32_FILE_ATTRIBUTE_DATA data;
        GetFileAttributesExW(to.GetString(), GetFileExInfoStandard, &data);
    });
    step("copyfile", [](const CString& from, const CString& to) { CopyFileW(from.GetString(), to.GetString(), FALSE); });
    step("read_source_for_crc", [&](const CString& from, const CString&) {
        HANDLE in = CreateFileW(from.GetString(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        DWORD got = 0;
        while (ReadFile(in, buffer.data(), kChunk, &got, nullptr) && got) crc32(0, buffer.data(), got);
        CloseHandle(in);
    });
    step("readback_unbuffered", [&](const CString&, const CString& to) {
        HANDLE back = CreateFileW(to.GetString(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_NO_BUFFERING, nullptr);
        DWORD got = 0;
        while (ReadFile(back, aligned, kChunk, &got, nullptr) && got) crc32(0, aligned, got);
        CloseHandle(back);
    });
    step("set_time", [](const CString&, const CString& to) {
        HANDLE out = CreateFileW(to.GetString(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                                 nullptr);
        FILETIME t{};
        GetSystemTimeAsFileTime(&t);
        SetFileTime(out, nullptr, nullptr, &t);
        CloseHandle(out);
    });
    step("write_through_copy", [&](const CString& from, const CString& to) {
        HANDLE in = CreateFileW(from.GetString(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        HANDLE out = CreateFileW(to.GetString(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                 FILE_FLAG_WRITE_THROUGH, nullptr);
        DWORD got = 0, written = 0;
        while (ReadFile(in, buffer.data(), kChunk, &got, nullptr) && got) WriteFile(out, buffer.data(), got, &written, nullptr);
        CloseHandle(in);
        CloseHandle(out);
    });
    _aligned_free(aligned);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc == 8 && wcscmp(argv[1], L"copy") == 0) {
        return copyBench(argv[2], argv[3], _wtoi(argv[4]), _wtoi64(argv[5]), _wtoi(argv[6]), _wtoi64(argv[7]));
    }
    if (argc == 4 && wcscmp(argv[1], L"unzip") == 0) return unzipBench(argv[2], argv[3]);
    if (argc == 6 && wcscmp(argv[1], L"tree") == 0) return treeBench(argv[2], argv[3], _wtoi(argv[4]), _wtoi(argv[5]));
    if (argc == 6 && wcscmp(argv[1], L"treecost") == 0) return treeCost(argv[2], argv[3], _wtoi(argv[4]), _wtoi(argv[5]));
    fprintf(stderr, "usage: bench_engine copy <source> <medium> <n> <MiB> <n> <KiB> | tree <source> <medium> <n> <bytes>"
                    " | unzip <zip> <folder>\n");
    return 2;
}
