#include "foundation/globalfunc.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

namespace {

bool isLink(const CString& path) {
    DWORD attributes = GetFileAttributesW(path.GetString());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

using UnixNameFn = char*(CDECL*)(const WCHAR*);

// Wine's name of a path on the host; empty elsewhere.
CString hostPath(const CString& path) {
    auto unixName = reinterpret_cast<UnixNameFn>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name"));
    if (!unixName) return CString();
    char* name = unixName(path.GetString());
    CString result = name ? CString(CA2W(name, CP_UTF8)) : CString();
    HeapFree(GetProcessHeap(), 0, name);
    return result;
}

// Runs a host program under Wine, which starts it without a process handle:
// the caller polls for its effect.
bool runOnHost(const CString& command) {
    CString line = command;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, line.GetBuffer(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    if (process.hProcess) {
        WaitForSingleObject(process.hProcess, 10000);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    return true;
}

// A directory link: the platform's own where it can make one, else a host
// symbolic link (Wine's CreateSymbolicLink makes nothing, but it shows host
// links as reparse points).
bool makeDirectoryLink(const CString& link, const CString& target) {
    if (CreateSymbolicLinkW(link.GetString(), target.GetString(), SYMBOLIC_LINK_FLAG_DIRECTORY) && isLink(link))
        return true;
    CString from = hostPath(link), to = hostPath(target);
    if (from.IsEmpty() || to.IsEmpty()) return false;
    CString command;
    command.Format(L"Z:\\bin\\ln -s \"%s\" \"%s\"", to.GetString(), from.GetString());
    if (!runOnHost(command)) return false;
    for (int i = 0; i < 100 && !isLink(link); ++i) Sleep(50);
    return isLink(link);
}

// Host links that Wine could not remove, so that the temporary folder goes.
void removeHostLink(const CString& link) {
    CString from = hostPath(link);
    if (!isLink(link) || from.IsEmpty()) return;
    CString command;
    command.Format(L"Z:\\bin\\rm -f \"%s\"", from.GetString());
    if (!runOnHost(command)) return;
    for (int i = 0; i < 100 && isLink(link); ++i) Sleep(50);
}

TEST(GlobalCreateDirectory, BuildsEveryLevel) {
    TempDir dir;
    EXPECT_TRUE(CGlobalFunc::createDirectory(dir / L"a\\b\\c"));
    EXPECT_TRUE(fileExists(dir / L"a\\b\\c"));
    EXPECT_TRUE(CGlobalFunc::createDirectory(dir / L"x/y//z/"));
    EXPECT_TRUE(fileExists(dir / L"x\\y\\z"));

    ASSERT_TRUE(writeBytes(dir / L"a\\b\\c\\keep.txt", "k"));
    EXPECT_TRUE(CGlobalFunc::createDirectory(dir / L"a\\b\\c\\"));
    EXPECT_EQ(readBytes(dir / L"a\\b\\c\\keep.txt"), "k");
    EXPECT_FALSE(CGlobalFunc::createDirectory(L""));
}

TEST(GlobalCreateDirectory, PathWithoutDriveStartsAtTheDriveRoot) {
    CString name;
    name.Format(L"kt_nodrive_%lu", GetCurrentProcessId());
    wchar_t current[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, current);
    CString root = CString(current).Left(3);  // "C:\"
    EXPECT_TRUE(CGlobalFunc::createDirectory(name + L"\\dir"));
    EXPECT_TRUE(fileExists(root + name + L"\\dir"));
    EXPECT_TRUE(CGlobalFunc::createDirectory(L"\\" + name + L"\\other"));
    EXPECT_TRUE(fileExists(root + name + L"\\other"));
    removeTree(root + name);
}

TEST(GlobalCreateDirectory, FileInTheWayFails) {
    TempDir dir;
    ASSERT_TRUE(writeBytes(dir / L"blocker", "x"));
    EXPECT_FALSE(CGlobalFunc::createDirectory(dir / L"blocker\\after"));
    EXPECT_FALSE(fileExists(dir / L"blocker\\after"));
    // As the last level too: no folder of that name exists afterwards.
    EXPECT_FALSE(CGlobalFunc::createDirectory(dir / L"blocker"));
}

TEST(GlobalDeleteDirectory, RemovesTreeWithReadOnlyFiles) {
    TempDir dir;
    CString root = dir / L"tree";
    ASSERT_TRUE(CGlobalFunc::createDirectory(root + L"\\one\\two"));
    ASSERT_TRUE(writeBytes(root + L"\\top.txt", "t"));
    ASSERT_TRUE(writeBytes(root + L"\\one\\two\\deep.txt", "d"));
    ASSERT_TRUE(SetFileAttributesW((root + L"\\one\\two\\deep.txt").GetString(), FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(SetFileAttributesW((root + L"\\top.txt").GetString(), FILE_ATTRIBUTE_READONLY));

    EXPECT_TRUE(CGlobalFunc::deleteDirectory(root));
    EXPECT_FALSE(fileExists(root));

    ASSERT_TRUE(CGlobalFunc::createDirectory(root + L"\\inner"));
    EXPECT_TRUE(CGlobalFunc::deleteDirectory(root + L"/"));
    EXPECT_FALSE(fileExists(root));

    EXPECT_FALSE(CGlobalFunc::deleteDirectory(dir / L"missing"));
}

TEST(GlobalDeleteDirectory, LinksAreRemovedNotFollowed) {
    TempDir dir;
    CString target = dir / L"target", tree = dir / L"tree";
    ASSERT_TRUE(CGlobalFunc::createDirectory(target + L"\\sub"));
    ASSERT_TRUE(writeBytes(target + L"\\sub\\precious.txt", "p"));
    ASSERT_TRUE(CGlobalFunc::createDirectory(tree));
    if (!makeDirectoryLink(tree + L"\\link", target) || !makeDirectoryLink(dir / L"toplink", target)) {
        GTEST_SKIP() << "no directory links on this system";
    }

    // Wine cannot remove a host link through RemoveDirectory (it reaches for
    // the target instead); Windows removes junctions and links that way. The
    // result says whether the link went.
    const bool removable = !GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version");
    EXPECT_EQ(CGlobalFunc::deleteDirectory(tree), removable ? TRUE : FALSE);
    // The folder named for deletion is itself a link.
    EXPECT_EQ(CGlobalFunc::deleteDirectory(dir / L"toplink"), removable ? TRUE : FALSE);
    EXPECT_EQ(readBytes(target + L"\\sub\\precious.txt"), "p");
    EXPECT_EQ(fileExists(tree), !removable);
    EXPECT_EQ(isLink(dir / L"toplink"), !removable);
    removeHostLink(tree + L"\\link");
    removeHostLink(dir / L"toplink");
}

// Roots are tried on the test drive R: only, with it as the current drive,
// so that a mistake could never reach a real volume.
TEST(GlobalDeleteDirectory, RefusesEmptyPathsAndDriveRoots) {
    wchar_t previous[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, previous);
    ASSERT_TRUE(SetCurrentDirectoryW(L"R:\\"));
    CString sentinel;
    sentinel.Format(L"R:\\kt_sentinel_%lu.txt", GetCurrentProcessId());
    ASSERT_TRUE(writeBytes(sentinel, "s"));

    const wchar_t* refused[] = {L"",
                                L"\\",
                                L"/",
                                L"R:",
                                L"R:\\",
                                L"R:/",
                                L"R:\\\\",
                                L"R:\\sub\\..",
                                L".",
                                L"\\\\?\\R:\\",
                                L"\\\\?\\R:",
                                L"\\\\.\\R:\\",
                                L"\\\\?\\UNC\\localhost\\R$\\",
                                L"\\\\server\\share",
                                L"\\\\server\\share\\",
                                L"//server/share/",
                                L"\\\\server\\share\\dir\\..",
                                L"\\\\server"};
    for (const wchar_t* path : refused) EXPECT_FALSE(CGlobalFunc::deleteDirectory(path)) << path;
    EXPECT_TRUE(fileExists(sentinel));

    DeleteFileW(sentinel.GetString());
    SetCurrentDirectoryW(previous);
}

TEST(GlobalDeleteDirectory, WhatStaysMakesItFalse) {
    TempDir dir;
    CString root = dir / L"tree";
    ASSERT_TRUE(CGlobalFunc::createDirectory(root + L"\\inner"));
    ASSERT_TRUE(writeBytes(root + L"\\inner\\held.txt", "h"));
    ASSERT_TRUE(writeBytes(root + L"\\free.txt", "f"));
    UniqueFileHandle open(CreateFileW((root + L"\\inner\\held.txt").GetString(), GENERIC_READ, FILE_SHARE_READ,
                                      nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(open);
    EXPECT_FALSE(CGlobalFunc::deleteDirectory(root));
    EXPECT_FALSE(fileExists(root + L"\\free.txt"));  // the rest went all the same
    EXPECT_TRUE(fileExists(root + L"\\inner\\held.txt"));
    open.reset();
    EXPECT_TRUE(CGlobalFunc::deleteDirectory(root));
    EXPECT_FALSE(fileExists(root));
}

TEST(GlobalDeleteFile, ClearsReadOnlyAndReportsWhatStays) {
    TempDir dir;
    CString file = dir / L"ro.txt";
    ASSERT_TRUE(writeBytes(file, "r"));
    ASSERT_TRUE(SetFileAttributesW(file.GetString(), FILE_ATTRIBUTE_READONLY));
    EXPECT_TRUE(CGlobalFunc::deleteFile(file));
    EXPECT_FALSE(fileExists(file));
    EXPECT_TRUE(CGlobalFunc::deleteFile(dir / L"missing.txt"));

    // A file still open without delete sharing stays.
    CString held = dir / L"held.txt";
    ASSERT_TRUE(writeBytes(held, "h"));
    UniqueFileHandle open(CreateFileW(held.GetString(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_FALSE(CGlobalFunc::deleteFile(held));
    EXPECT_TRUE(fileExists(held));
}

TEST(GlobalIsFileExist, PackageNamesAndSearch) {
    TempDir dir;
    ASSERT_TRUE(writeBytes(dir / L"real.txt", "r"));
    struct Case {
        CString path;
        BOOL flag;
        BOOL exists;
    } cases[] = {
        {dir / L"real.txt", FALSE, TRUE},
        {dir / L"real.txt", TRUE, TRUE},
        {dir / L"real.*", FALSE, TRUE},
        {dir / L"missing.txt", TRUE, FALSE},
        {dir / L"MAP.exe", TRUE, TRUE},
        {dir / L"MAP.exe", FALSE, FALSE},
        {dir / L"sub\\SPOT.exe.part", TRUE, TRUE},
        {dir / L"map.exe", TRUE, FALSE},
        {dir / L"Image.exe", TRUE, FALSE},
        {dir.path().Left(dir.path().GetLength() - 1), FALSE, TRUE},  // a folder counts too
    };
    for (const auto& c : cases) EXPECT_EQ(CGlobalFunc::isFileExist(c.path, c.flag), c.exists) << c.path.GetString();
}

}  // namespace
