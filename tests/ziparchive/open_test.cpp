#include "tests/ziparchive/zip_test_support.h"

#include <gtest/gtest.h>

namespace {

std::string smallArchive() {
    std::string bytes = readBytes(fixture(L"small.zip"));
    EXPECT_FALSE(bytes.empty()) << "fixtures missing: run ctest -R ziparchive";
    return bytes;
}

// The end record of an archive without comment is its last 22 bytes.
size_t endRecord(const std::string& bytes) { return bytes.size() - 22; }

}  // namespace

// The end record is searched backwards over at most 65557 bytes in chunks of
// 32 KiB that overlap by 3 bytes.
TEST(ZipOpen, EndRecordSearchWindow) {
    struct Case {
        unsigned commentLength;
        size_t trailing;  // bytes after the comment that the record does not count
        int expected;
    } cases[] = {
        {0, 0, kOk},
        {32746, 0, kOk},  // signature ends the first chunk
        {32747, 0, kOk},  // signature across the chunk border ...
        {32748, 0, kOk},
        {32749, 0, kOk},
        {32750, 0, kOk},  // ... and wholly in the second chunk
        {65535, 0, kOk},  // record at the far end of the window
        {65535, 1, CZipException::cdirNotFound},
    };
    TempDir dir;
    for (const Case& c : cases) {
        std::string bytes = smallArchive();
        putWord(bytes, endRecord(bytes) + 20, c.commentLength);
        bytes.append(c.commentLength + c.trailing, '\0');
        CString path = dir / L"comment.zip";
        ASSERT_TRUE(writeBytes(path, bytes));
        CZipArchive zip;
        int result = outcome([&] { zip.Open(path.GetString()); });
        EXPECT_EQ(c.expected, result) << "comment " << c.commentLength << " + " << c.trailing;
        if (result == kOk) {
            EXPECT_EQ(2, zip.GetCount());
        }
        zip.Close(true);
    }
}

TEST(ZipOpen, BrokenArchivesRaise) {
    struct Case {
        const char* what;
        std::function<void(std::string&)> damage;
        int expected;
    } cases[] = {
        {"empty file", [](std::string& b) { b.clear(); }, CZipException::cdirNotFound},
        {"no end record", [](std::string& b) { b.assign(5000, 'x'); }, CZipException::cdirNotFound},
        {"end record cut short", [](std::string& b) { b.resize(b.size() - 5); }, CZipException::badZipFile},
        {"directory beyond the end record",
         [](std::string& b) { putDword(b, endRecord(b) + 16, 0x10000); }, CZipException::badZipFile},
        {"entries without directory", [](std::string& b) { putDword(b, endRecord(b) + 12, 0); },
         CZipException::badZipFile},
        {"header signature", [](std::string& b) {
             size_t cd = b.find("PK\x01\x02");
             b[cd + 3] = 9;
         }, CZipException::badZipFile},
        {"more entries than headers", [](std::string& b) { putWord(b, endRecord(b) + 10, 3); },
         CZipException::badZipFile},
    };
    TempDir dir;
    for (const Case& c : cases) {
        std::string bytes = smallArchive();
        c.damage(bytes);
        CString path = dir / L"broken.zip";
        ASSERT_TRUE(writeBytes(path, bytes));
        CZipArchive zip;
        CString name;
        EXPECT_EQ(c.expected, outcome([&] { zip.Open(path.GetString()); }, &name)) << c.what;
        EXPECT_EQ(path, name) << c.what;
        zip.Close(true);
        EXPECT_TRUE(zip.IsClosed());
    }

    CZipArchive zip;
    CString name;
    EXPECT_EQ(kFileError, outcome([&] { zip.Open((dir / L"missing.zip").GetString()); }, &name));
    EXPECT_EQ(dir / L"missing.zip", name);
}

TEST(ZipOpen, StubZeroEntriesAndReopen) {
    TempDir dir;
    CZipArchive zip;
    // Data in front of the archive: every offset is shifted by it.
    ASSERT_EQ(kOk, outcome([&] { zip.Open(fixture(L"stub.zip").GetString()); }));
    ASSERT_EQ(2, zip.GetCount());
    EXPECT_TRUE(zip.ExtractFile(0, dir.path().GetString()));
    EXPECT_EQ(expectedBytes(L"one.txt"), readBytes(dir / L"one.txt"));

    // Opening again while open changes nothing.
    zip.Open(fixture(L"empty.zip").GetString());
    EXPECT_EQ(2, zip.GetCount());
    zip.Close();
    EXPECT_TRUE(zip.IsClosed());
    EXPECT_EQ(0, zip.GetCount());

    ASSERT_EQ(kOk, outcome([&] { zip.Open(fixture(L"empty.zip").GetString()); }));
    EXPECT_FALSE(zip.IsClosed());
    EXPECT_EQ(0, zip.GetCount());
    CZipFileHeader header;
    EXPECT_FALSE(zip.GetFileInfo(header, 0));
    zip.Close();
}

TEST(ZipOpen, EntryList) {
    CZipArchive zip;
    ASSERT_EQ(kOk, outcome([&] { zip.Open(fixture(L"standard.zip").GetString()); }));
    const wchar_t* names[] = {L"stored.bin", L"deflated.txt", L"empty.txt", L"empty_deflated.txt", L"exact.bin",
                              L"a\\b\\c.bin", L"readonly.txt", L"\u00fcber.txt", L"\uc9c0\ub3c4.txt",
                              L"dir\\sub\\"};
    ASSERT_EQ(10, zip.GetCount());
    for (int i = 0; i < zip.GetCount(); ++i) {
        CZipFileHeader header;
        ASSERT_TRUE(zip.GetFileInfo(header, static_cast<WORD>(i)));
        EXPECT_EQ(CString(names[i]), header.GetFileName());
        EXPECT_EQ(i == 9, zip.IsEntryDirectory(static_cast<WORD>(i)));
    }
    CZipFileHeader header;
    EXPECT_FALSE(zip.GetFileInfo(header, 10));
    EXPECT_FALSE(zip.IsEntryDirectory(10));
    // Indexes are 16-bit: 65536 + 1 is entry 1.
    int wrapped = 65537;
    ASSERT_TRUE(zip.GetFileInfo(header, static_cast<WORD>(wrapped)));
    EXPECT_EQ(CString(L"deflated.txt"), header.GetFileName());
    zip.Close();

    // Without the UTF-8 flag the name is OEM text.
    ASSERT_EQ(kOk, outcome([&] { zip.Open(fixture(L"names.zip").GetString()); }));
    ASSERT_TRUE(zip.GetFileInfo(header, 10));
    EXPECT_EQ(CString(L"\u00fcber_oem.txt"), header.GetFileName());
    zip.Close();
}
