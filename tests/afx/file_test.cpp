#include "afx/afx.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

namespace {

TEST(CFileTest, OpenReportsFailureThroughTheException) {
    TempDir dir;
    CFile f;
    CFileException e;
    EXPECT_FALSE(f.Open((dir / L"missing.bin").GetString(), CFile::modeRead, &e));
    EXPECT_EQ(e.m_cause, CFileException::fileNotFound);
    EXPECT_EQ(e.m_lOsError, ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(f.Open((dir / L"no\\such\\dir\\x").GetString(), CFile::modeCreate | CFile::modeWrite, &e));
    EXPECT_EQ(e.m_cause, CFileException::badPath);
}

TEST(CFileTest, WriteSeekReadAndLength) {
    TempDir dir;
    CString path = dir / L"data.bin";
    {
        CFile f;
        ASSERT_TRUE(f.Open(path.GetString(), CFile::modeCreate | CFile::modeReadWrite));
        f.Write("0123456789", 10);
        EXPECT_EQ(f.GetLength(), 10u);
        EXPECT_EQ(f.Seek(-4, CFile::end), 6u);
        char buf[8] = {};
        EXPECT_EQ(f.Read(buf, 8), 4u);
        EXPECT_STREQ(buf, "6789");
        EXPECT_EQ(f.Read(buf, 8), 0u);
        f.SetLength(3);
        EXPECT_EQ(f.GetLength(), 3u);
        EXPECT_EQ(f.GetFileName(), CString(L"data.bin"));
    }
    // modeNoTruncate keeps the contents, plain modeCreate truncates.
    {
        CFile f;
        ASSERT_TRUE(f.Open(path.GetString(), CFile::modeCreate | CFile::modeNoTruncate | CFile::modeWrite));
        EXPECT_EQ(f.SeekToEnd(), 3u);
    }
    {
        CFile f;
        ASSERT_TRUE(f.Open(path.GetString(), CFile::modeCreate | CFile::modeWrite));
        EXPECT_EQ(f.GetLength(), 0u);
    }
}

TEST(CFileTest, FailedCallsThrowFileExceptions) {
    TempDir dir;
    CString path = dir / L"ro.bin";
    ASSERT_TRUE(writeBytes(path, "abc"));
    CFile f;
    ASSERT_TRUE(f.Open(path.GetString(), CFile::modeRead));
    bool thrown = false;
    try {
        f.Write("x", 1);
    } catch (CFileException* e) {
        thrown = true;
        EXPECT_EQ(e->m_cause, CFileException::accessDenied);
        e->Delete();
    }
    EXPECT_TRUE(thrown);

    thrown = false;
    try {
        CFile::Remove((dir / L"nothing").GetString());
    } catch (CException* e) {
        thrown = true;
        e->Delete();
    }
    EXPECT_TRUE(thrown);
}

TEST(CFileTest, ShareModes) {
    TempDir dir;
    CString path = dir / L"locked.bin";
    ASSERT_TRUE(writeBytes(path, "abc"));
    CFile writer;
    ASSERT_TRUE(writer.Open(path.GetString(), CFile::modeWrite | CFile::shareDenyWrite));
    CFile other;
    CFileException e;
    EXPECT_FALSE(other.Open(path.GetString(), CFile::modeWrite | CFile::shareDenyNone, &e));
    EXPECT_EQ(e.m_cause, CFileException::sharingViolation);
    EXPECT_TRUE(other.Open(path.GetString(), CFile::modeRead | CFile::shareDenyNone));
}

TEST(CStdioFileTest, ReadsLinesWithAnyLineEnd) {
    TempDir dir;
    CString path = dir / L"lines.txt";
    ASSERT_TRUE(writeBytes(path, "one\r\ntwo\n\r\nlast"));
    CStdioFile f;
    ASSERT_TRUE(f.Open(path.GetString(), CFile::modeRead | CFile::typeText));
    CString line;
    std::vector<CString> lines;
    while (f.ReadString(line)) lines.push_back(line);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], CString(L"one"));
    EXPECT_EQ(lines[1], CString(L"two"));
    EXPECT_EQ(lines[2], CString(L""));
    EXPECT_EQ(lines[3], CString(L"last"));

    CStdioFile out;
    ASSERT_TRUE(out.Open((dir / L"out.txt").GetString(), CFile::modeCreate | CFile::modeWrite | CFile::typeText));
    out.WriteString(L"a\nb\n");
    out.Close();
    EXPECT_EQ(readBytes(dir / L"out.txt"), "a\r\nb\r\n");
}

TEST(CFileFindTest, VisitsEveryEntryOnce) {
    TempDir dir;
    ASSERT_TRUE(writeBytes(dir / L"a.log", "12345"));
    ASSERT_TRUE(writeBytes(dir / L"b.txt", ""));
    ASSERT_TRUE(CreateDirectoryW((dir / L"sub").GetString(), nullptr));

    CFileFind find;
    ASSERT_TRUE(find.FindFile((dir / L"*.*").GetString()));
    int files = 0, dirs = 0, dots = 0;
    BOOL more = TRUE;
    while (more) {
        more = find.FindNextFile();
        if (find.IsDots()) { ++dots; continue; }
        if (find.IsDirectory()) { ++dirs; continue; }
        ++files;
        EXPECT_EQ(find.GetFilePath(), dir / find.GetFileName());
        if (find.GetFileName() == L"a.log") {
            EXPECT_EQ(find.GetLength(), 5u);
        }
    }
    EXPECT_EQ(files, 2);
    EXPECT_EQ(dirs, 1);
    EXPECT_EQ(dots, 2);

    CFileFind none;
    EXPECT_FALSE(none.FindFile((dir / L"*.zip").GetString()));
}

}  // namespace
