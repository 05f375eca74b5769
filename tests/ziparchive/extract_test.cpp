#include "tests/ziparchive/zip_test_support.h"
#include "ziparchive/zipentrypath.h"
#include "ziparchive/zippath.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Progress {
    std::vector<int> chunks;
    std::vector<int> sums;
    size_t stopAfter = SIZE_MAX;
};

bool recordProgress(int chunk, int sum, void* data) {
    auto* p = static_cast<Progress*>(data);
    p->chunks.push_back(chunk);
    p->sums.push_back(sum);
    return p->chunks.size() < p->stopAfter;
}

WORD indexOf(CZipArchive& zip, const CString& name) {
    for (int i = 0; i < zip.GetCount(); ++i) {
        CZipFileHeader h;
        zip.GetFileInfo(h, static_cast<WORD>(i));
        if (h.GetFileName() == name) return static_cast<WORD>(i);
    }
    ADD_FAILURE() << "no entry " << CW2A(name.GetString());
    return 0xFFFF;
}

DWORD comprSize(CZipArchive& zip, WORD index) {
    CZipFileHeader h;
    zip.GetFileInfo(h, index);
    return h.m_uComprSize;
}

}  // namespace

TEST(ZipExtract, EntriesLandWithTheirBytesTimesAndAttributes) {
    TempDir dir;
    CZipArchive zip;
    zip.Open(fixture(L"standard.zip").GetString());
    struct Case {
        const wchar_t* entry;
        const wchar_t* expected;  // under expected/
    } cases[] = {
        {L"stored.bin", L"stored.bin"},
        {L"deflated.txt", L"deflated.txt"},
        {L"empty.txt", L"empty.txt"},
        {L"empty_deflated.txt", L"empty_deflated.txt"},
        {L"exact.bin", L"exact.bin"},
        {L"a\\b\\c.bin", L"a\\b\\c.bin"},
        {L"readonly.txt", L"readonly.txt"},
        {L"\u00fcber.txt", L"\u00fcber.txt"},
        {L"\uc9c0\ub3c4.txt", L"\uc9c0\ub3c4.txt"},
    };
    for (const Case& c : cases) {
        WORD index = indexOf(zip, c.entry);
        EXPECT_TRUE(zip.ExtractFile(index, dir.path().GetString())) << CW2A(c.entry);
        CString path = dir / c.entry;
        EXPECT_TRUE(fileExists(path)) << CW2A(c.entry);
        EXPECT_EQ(expectedBytes(c.expected), readBytes(path)) << CW2A(c.entry);
    }

    // The file carries the entry's local modification time.
    WIN32_FILE_ATTRIBUTE_DATA data;
    ASSERT_TRUE(GetFileAttributesExW((dir / L"stored.bin").GetString(), GetFileExInfoStandard, &data));
    FILETIME local;
    SYSTEMTIME st;
    FileTimeToLocalFileTime(&data.ftLastWriteTime, &local);
    FileTimeToSystemTime(&local, &st);
    EXPECT_EQ(2021, st.wYear);
    EXPECT_EQ(6, st.wMonth);
    EXPECT_EQ(15, st.wDay);
    EXPECT_EQ(13, st.wHour);
    EXPECT_EQ(45, st.wMinute);
    EXPECT_EQ(30, st.wSecond);
    // The low word of the external attributes (the high word holds Unix
    // mode bits, which are no attributes).
    EXPECT_TRUE(GetFileAttributesW((dir / L"readonly.txt").GetString()) & FILE_ATTRIBUTE_READONLY);

    // A folder entry makes the folder chain.
    EXPECT_TRUE(zip.ExtractFile(indexOf(zip, L"dir\\sub\\"), dir.path().GetString()));
    EXPECT_EQ(-1, getPathKind(dir / L"dir\\sub"));

    // Without the full-path flag only the file name is kept.
    EXPECT_TRUE(zip.ExtractFile(indexOf(zip, L"a\\b\\c.bin"), (dir / L"flat").GetString(), false));
    EXPECT_EQ(expectedBytes(L"a\\b\\c.bin"), readBytes(dir / L"flat\\c.bin"));
    zip.Close();
}

// Entries are read ahead of need; going back to an earlier entry, or
// skipping some, must land on its own header, never on bytes kept for another.
TEST(ZipExtract, AnyOrderGivesTheSameBytes) {
    CZipArchive zip;
    zip.Open(fixture(L"standard.zip").GetString());
    std::vector<WORD> files;
    for (WORD i = 0; i < zip.GetCount(); ++i) {
        CZipFileHeader h;
        zip.GetFileInfo(h, i);
        if (!h.IsDirectory()) files.push_back(i);
    }
    std::vector<WORD> backwards(files.rbegin(), files.rend());
    std::vector<WORD> everyOther, twice;
    for (size_t i = 0; i < files.size(); i += 2) everyOther.push_back(files[i]);
    for (WORD i : files) twice.insert(twice.end(), {i, i});
    for (const auto& order : {backwards, everyOther, twice}) {
        TempDir dir;
        for (WORD i : order) {
            CZipFileHeader h;
            zip.GetFileInfo(h, i);
            ASSERT_TRUE(zip.ExtractFile(i, dir.path().GetString())) << i;
            EXPECT_EQ(expectedBytes(h.GetFileName()), readBytes(dir / h.GetFileName())) << i;
        }
    }
    zip.Close();
}

TEST(ZipExtract, ProgressReportsCompressedBytes) {
    TempDir dir;
    CZipArchive zip;
    zip.Open(fixture(L"standard.zip").GetString());
    struct Case {
        const wchar_t* entry;
        size_t calls;
    } cases[] = {
        {L"exact.bin", 2},  // the closing read of 0 bytes is not reported
        {L"deflated.txt", 4},
        {L"stored.bin", 1},
        {L"empty.txt", 0},
        {L"dir\\sub\\", 0},
    };
    for (const Case& c : cases) {
        Progress p;
        WORD index = indexOf(zip, c.entry);
        EXPECT_TRUE(zip.ExtractFile(index, dir.path().GetString(), true, nullptr, recordProgress, &p, 65535));
        EXPECT_EQ(c.calls, p.chunks.size()) << CW2A(c.entry);
        if (!p.sums.empty()) {
            EXPECT_EQ(comprSize(zip, index), static_cast<DWORD>(p.sums.back())) << CW2A(c.entry);
        }
        int sum = 0;
        for (size_t i = 0; i < p.chunks.size(); ++i) {
            sum += p.chunks[i];
            EXPECT_EQ(sum, p.sums[i]);
        }
    }
    EXPECT_EQ(0, zipExtractBusy.load());
    zip.Close();
}

TEST(ZipExtract, StopFromCallbackLeavesShorterFile) {
    TempDir dir;
    CZipArchive zip;
    zip.Open(fixture(L"standard.zip").GetString());
    WORD index = indexOf(zip, L"deflated.txt");
    Progress p;
    p.stopAfter = 1;
    EXPECT_FALSE(zip.ExtractFile(index, dir.path().GetString(), true, nullptr, recordProgress, &p, 65535));
    ASSERT_EQ(1u, p.chunks.size());
    EXPECT_EQ(65535u, readBytes(dir / L"deflated.txt").size());
    // Compressed data is read in 16 KiB blocks.
    EXPECT_EQ(0, p.sums[0] % 16384);
    EXPECT_LT(static_cast<DWORD>(p.sums[0]), comprSize(zip, index));
    // The entry is closed: the next one extracts.
    EXPECT_TRUE(zip.ExtractFile(indexOf(zip, L"stored.bin"), dir.path().GetString()));
    zip.Close();
}

// A pause or stop mid-entry leaves a partial file that the retry replaces.
TEST(ZipExtract, InterruptedEntryLeavesAWritablePartialFile) {
    TempDir dir;
    CZipArchive zip;
    zip.Open(fixture(L"standard.zip").GetString());
    const WORD readOnly = indexOf(zip, L"readonly.txt");
    Progress p;
    p.stopAfter = 1;
    EXPECT_FALSE(zip.ExtractFile(readOnly, dir.path().GetString(), true, nullptr, recordProgress, &p, 4));
    const DWORD partial = GetFileAttributesW((dir / L"readonly.txt").GetString());
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, partial);
    EXPECT_FALSE(partial & FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(4u, readBytes(dir / L"readonly.txt").size());

    // The retry, and a second extraction over the finished read-only copy.
    for (int round = 0; round < 2; ++round) {
        EXPECT_TRUE(zip.ExtractFile(readOnly, dir.path().GetString())) << round;
        EXPECT_EQ(expectedBytes(L"readonly.txt"), readBytes(dir / L"readonly.txt")) << round;
        EXPECT_TRUE(GetFileAttributesW((dir / L"readonly.txt").GetString()) & FILE_ATTRIBUTE_READONLY) << round;
    }
    SetFileAttributesW((dir / L"readonly.txt").GetString(), FILE_ATTRIBUTE_NORMAL);
    zip.Close();

    // An entry followed by a data descriptor, stopped mid-way: the descriptor
    // is not looked for inside the entry's data.
    zip.Open(fixture(L"descriptor.zip").GetString());
    Progress stop;
    stop.stopAfter = 1;
    EXPECT_EQ(kOk, outcome([&] {
        EXPECT_FALSE(zip.ExtractFile(0, dir.path().GetString(), true, nullptr, recordProgress, &stop, 1000));
    }));
    EXPECT_EQ(kOk, outcome([&] { EXPECT_TRUE(zip.ExtractFile(0, dir.path().GetString())); }));
    EXPECT_EQ(expectedBytes(L"descriptor\\d1.txt"), readBytes(dir / L"d1.txt"));
    EXPECT_EQ(kOk, outcome([&] { EXPECT_TRUE(zip.ExtractFile(1, dir.path().GetString())); }));
    zip.Close();

    // A data error after the first chunks: the busy flag still goes down.
    zip.Open(fixture(L"truncated.zip").GetString());
    EXPECT_EQ(CZipException::bufError, outcome([&] { zip.ExtractFile(0, dir.path().GetString(), true, nullptr,
                                                                      nullptr, nullptr, 1000); }));
    EXPECT_EQ(0, zipExtractBusy.load());
    zip.Close(true);
}

TEST(ZipExtract, DataErrorsRaiseTheirCause) {
    const long long kNoFile = -1, kSomeBytes = -2;
    struct Case {
        const wchar_t* archive;
        int expected;
        long long left;  // bytes left on disk, kNoFile or kSomeBytes
    } cases[] = {
        {L"badcrc.zip", CZipException::badCrc, 40000},  // raised after the whole entry was read
        {L"corrupt.zip", CZipException::dataError, 0},
        {L"truncated.zip", CZipException::bufError, kSomeBytes},  // the stream ends early
        {L"storedsize.zip", CZipException::badZipFile, kNoFile},
        {L"badmethod.zip", CZipException::badZipFile, kNoFile},
        {L"badlocal.zip", CZipException::badZipFile, kNoFile},
    };
    for (const Case& c : cases) {
        TempDir dir;
        CZipArchive zip;
        zip.Open(fixture(c.archive).GetString());
        CZipFileHeader header;
        zip.GetFileInfo(header, 0);
        CString name;
        EXPECT_EQ(c.expected, outcome([&] { zip.ExtractFile(0, dir.path().GetString()); }, &name))
            << CW2A(c.archive);
        EXPECT_EQ(fixture(c.archive), name);
        CString path = dir / header.GetFileName();
        if (c.left == kNoFile) {
            EXPECT_FALSE(fileExists(path)) << CW2A(c.archive);
        } else if (c.left != kSomeBytes) {
            EXPECT_EQ(c.left, static_cast<long long>(readBytes(path).size())) << CW2A(c.archive);
        }
        // An entry abandoned by an error gives its zlib state back on close.
        zip.Close(true);
        EXPECT_EQ(0u, zip.GetZlibBlockCount()) << CW2A(c.archive);
    }
}

TEST(ZipExtract, DataDescriptorsAndOddEntries) {
    struct Case {
        const wchar_t* archive;
        const char* results;
    } cases[] = {
        {L"descriptor.zip", "111"},
        // The deflate stream's empty last block lies after the first 16 KiB.
        {L"tail16k.zip", "11"},
        // An impossible DOS date keeps the time of extraction.
        {L"zerodate.zip", "1"},
        // Encrypted entries cannot be read: nothing is written for them.
        {L"encrypted.zip", "01"},
    };
    for (const Case& c : cases) {
        TempDir dir;
        std::string results;
        EXPECT_EQ(kOk, extractAll(fixture(c.archive), dir.path(), &results)) << CW2A(c.archive);
        EXPECT_EQ(c.results, results) << CW2A(c.archive);
    }
    TempDir dir;
    extractAll(fixture(L"descriptor.zip"), dir.path());
    EXPECT_EQ(expectedBytes(L"descriptor\\d1.txt"), readBytes(dir / L"d1.txt"));
    extractAll(fixture(L"tail16k.zip"), dir.path());
    EXPECT_EQ(expectedBytes(L"tail\\tail.bin"), readBytes(dir / L"tail.bin"));
    extractAll(fixture(L"encrypted.zip"), dir.path());
    EXPECT_FALSE(fileExists(dir / L"secret.txt"));
}

// Nothing is written outside the target folder, whatever the entry's name.
TEST(ZipExtract, NamesThatLeaveTheFolderAreRefused) {
    TempDir root;
    CString out = root / L"out";
    CZipArchive zip;
    zip.Open(fixture(L"names.zip").GetString());
    struct Case {
        WORD index;
        const wchar_t* lands;  // under out\, or null when refused
    } cases[] = {
        {0, nullptr},                        // ../evil1.txt
        {1, nullptr},                        // ..\evil2.txt
        {2, nullptr},                        // a/../../evil3.txt
        {3, L"drive.txt"},                   // C:/drive.txt: the drive is dropped
        {4, L"rooted.txt"},                  // leading separators are dropped
        {5, nullptr},                        // \C:\evil4.txt
        {6, nullptr},                        // an NTFS stream
        {7, nullptr},                        // NUL.txt is the null device
        {8, nullptr},                        // sub/con is the console
        {9, nullptr},                        // .../evil5.txt
        {10, L"\u00fcber_oem.txt"},
        {11, L"plain\\dir"},                 // folder without the folder attribute
        {12, nullptr},                       // "..\0/"
        {13, nullptr},                       // a control character
    };
    for (const Case& c : cases) {
        bool ok = zip.ExtractFile(c.index, out.GetString());
        EXPECT_EQ(c.lands != nullptr, ok) << c.index;
        if (c.lands) {
            EXPECT_TRUE(fileExists(out + L"\\" + c.lands)) << c.index;
        }
    }
    zip.Close();

    // The temporary root holds the target folder and nothing else.
    CFileFind find;
    BOOL more = find.FindFile(root / L"*");
    int entries = 0;
    while (more) {
        more = find.FindNextFile();
        if (find.IsDots()) continue;
        ++entries;
        EXPECT_EQ(CString(L"out"), find.GetFileName());
    }
    EXPECT_EQ(1, entries);

    struct PathCase {
        const wchar_t* name;
        bool fullPath;
        const wchar_t* target;  // null when refused
    } paths[] = {
        {L"a\\b\\c.bin", true, L"C:\\out\\a\\b\\c.bin"},
        {L"a/b/c.bin", false, L"C:\\out\\c.bin"},
        {L"D:\\\\x.bin", true, L"C:\\out\\x.bin"},
        {L"a\\.\\x.bin", true, L"C:\\out\\a\\.\\x.bin"},
        {L"a\\..\\..\\x.bin", false, L"C:\\out\\x.bin"},  // only the file name is kept
        {L"a\\..", false, nullptr},
        {L"a\\ .. \\x", true, nullptr},
        {L"a\\lpt1.log", true, nullptr},
        {L"a\\com10.log", true, L"C:\\out\\a\\com10.log"},
        {L"a\\console.log", true, L"C:\\out\\a\\console.log"},
        {L"C:", true, nullptr},
        {L"\\\\", true, nullptr},
    };
    for (const PathCase& c : paths) {
        CString target;
        bool ok = buildEntryTargetPath(L"C:\\out\\", c.name, c.fullPath, target);
        EXPECT_EQ(c.target != nullptr, ok) << CW2A(c.name);
        if (c.target) {
            EXPECT_EQ(CString(c.target), target) << CW2A(c.name);
        }
    }
}

// A file's folders are made as its open finds them missing, however many
// levels are missing and whether they come from the entry or the target.
TEST(ZipExtract, MissingFoldersAboveAFileAreMade) {
    TempDir dir;
    CZipArchive zip;
    zip.Open(fixture(L"standard.zip").GetString());
    const WORD nested = indexOf(zip, L"a\\b\\c.bin");
    struct Case {
        const wchar_t* folder;  // under the temporary folder
        bool fullPath;
        const wchar_t* expected;
    } cases[] = {
        {L"t1", true, L"t1\\a\\b\\c.bin"},
        {L"t2\\x\\y\\z", true, L"t2\\x\\y\\z\\a\\b\\c.bin"},
        {L"t2\\x\\w", true, L"t2\\x\\w\\a\\b\\c.bin"},  // beside a chain made before
        {L"t3\\x\\", false, L"t3\\x\\c.bin"},
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(zip.ExtractFile(nested, (dir / c.folder).GetString(), c.fullPath)) << CW2A(c.folder);
        EXPECT_EQ(expectedBytes(L"a\\b\\c.bin"), readBytes(dir / c.expected)) << CW2A(c.folder);
    }

    // A file stands where one of the folders should go: the open fails
    // naming the target, and nothing is made below the file.
    ASSERT_TRUE(writeBytes(dir / L"blocked", "x"));
    CString name;
    EXPECT_EQ(kFileError, outcome([&] { zip.ExtractFile(nested, (dir / L"blocked\\deeper").GetString()); }, &name));
    EXPECT_EQ(dir / L"blocked\\deeper\\a\\b\\c.bin", name);
    EXPECT_EQ("x", readBytes(dir / L"blocked"));
    zip.Close(true);
}

TEST(ZipExtract, BadCallsAndUnwritableTargets) {
    TempDir dir;
    CZipArchive zip;
    zip.Open(fixture(L"small.zip").GetString());
    EXPECT_FALSE(zip.ExtractFile(0, dir.path().GetString(), true, nullptr, nullptr, nullptr, 0));
    EXPECT_FALSE(zip.ExtractFile(0, nullptr));
    EXPECT_FALSE(zip.ExtractFile(0, L""));
    EXPECT_FALSE(zip.ExtractFile(7, dir.path().GetString()));
    EXPECT_FALSE(fileExists(dir / L"one.txt"));

    // A folder stands where the file should go.
    ASSERT_TRUE(CreateDirectoryW((dir / L"one.txt").GetString(), nullptr));
    CString name;
    EXPECT_EQ(kFileError, outcome([&] { zip.ExtractFile(0, dir.path().GetString()); }, &name));
    EXPECT_EQ(dir / L"one.txt", name);
    zip.Close(true);

    zip.Open(fixture(L"small.zip").GetString());
    EXPECT_TRUE(zip.ExtractFile(1, dir.path().GetString()));
    zip.Close();
}
