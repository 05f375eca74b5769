#include "tests/ziparchive/zip_test_support.h"
#include "ziparchive/zippath.h"

#include <gtest/gtest.h>

namespace {

const ULONGLONG GiB = 1024ULL * 1024 * 1024;

CString copySplitSet(const CString& folder, bool withMiddle = true) {
    copyFixture(L"split\\pkg.000", folder);
    if (withMiddle) copyFixture(L"split\\pkg.001", folder);
    return copyFixture(L"split\\pkg.zip", folder);
}

}  // namespace

TEST(ZipSplit, ThreeVolumesOpenThroughTheLast) {
    TempDir dir;
    CZipArchive zip;
    ASSERT_EQ(kOk, outcome([&] { zip.Open(fixture(L"split\\pkg.zip").GetString()); }));
    EXPECT_EQ(-1, zip.GetStorage()->IsSplit());
    ASSERT_EQ(2, zip.GetCount());
    // big.bin starts in pkg.000 and ends in pkg.zip.
    for (WORD i = 0; i < 2; ++i) {
        CZipFileHeader h;
        zip.GetFileInfo(h, i);
        EXPECT_TRUE(zip.ExtractFile(i, dir.path().GetString())) << i;
        EXPECT_EQ(expectedBytes(L"split\\" + h.GetFileName()), readBytes(dir / h.GetFileName())) << i;
    }
    zip.Close();
    EXPECT_TRUE(zip.IsClosed());
}

TEST(ZipSplit, MissingMiddleVolumeNamesItsFile) {
    TempDir dir;
    CString path = copySplitSet(dir.path(), false);
    CZipArchive zip;
    ASSERT_EQ(kOk, outcome([&] { zip.Open(path.GetString()); }));
    CString name;
    EXPECT_EQ(kFileError, outcome([&] { zip.ExtractFile(0, (dir / L"out").GetString()); }, &name));
    EXPECT_EQ(dir / L"pkg.001", name);
    zip.Close(true);
    EXPECT_EQ(0u, zip.GetZlibBlockCount());
}

TEST(ZipSplit, RemovableDrivesCannotHoldSplitPackages) {
    // R: is a removable drive of the test prefix.
    TempDir onR(L"R:\\");
    CZipArchive zip;
    CString name;
    EXPECT_EQ(CZipException::noCallback, outcome([&] { zip.Open(copySplitSet(onR.path()).GetString()); }, &name));
    EXPECT_EQ(onR / L"pkg.zip", name);
    zip.Close(true);
    // A single-file archive there is fine.
    EXPECT_EQ(kOk, extractAll(copyFixture(L"small.zip", onR.path()), onR / L"out"));

    // A USB disk that calls itself fixed counts as removable below 32 GiB.
    struct Case {
        ULONGLONG bytes;
        int expected;
    } cases[] = {
        {16 * GiB, CZipException::noCallback},
        {64 * GiB, kOk},
    };
    TempDir dir;
    CString path = copySplitSet(dir.path());
    for (const Case& c : cases) {
        FakeDriveProbe probe;
        probe.usb = TRUE;
        probe.totalBytes = c.bytes;
        ScopedDriveProbe scope(&probe);
        CZipArchive z;
        EXPECT_EQ(c.expected, outcome([&] { z.Open(path.GetString()); })) << c.bytes;
        z.Close(true);
    }
}

TEST(ZipSplit, EndRecordOfVolumeZeroMeansSingleFile) {
    TempDir dir;
    CZipArchive zip;
    ASSERT_EQ(kOk, outcome([&] { zip.Open(fixture(L"small.zip").GetString(), CZipArchive::zipOpenReadOnly, 65536); }));
    EXPECT_EQ(0, zip.GetStorage()->IsSplit());
    EXPECT_TRUE(zip.ExtractFile(0, dir.path().GetString()));
    zip.Close();
}

TEST(ZipDrive, IsRemovableDrive) {
    struct Case {
        UINT type;
        BOOL usb;
        BOOL sizeKnown;
        ULONGLONG bytes;
        BOOL expected;
    } cases[] = {
        {DRIVE_REMOVABLE, FALSE, TRUE, 0, TRUE},
        {DRIVE_REMOVABLE, TRUE, TRUE, 2000 * GiB, TRUE},
        {DRIVE_FIXED, TRUE, TRUE, 16 * GiB, TRUE},
        {DRIVE_FIXED, TRUE, TRUE, 32 * GiB - 1024, TRUE},
        {DRIVE_FIXED, TRUE, TRUE, 32 * GiB, FALSE},
        // 4 TiB + 16 GiB: its size in KiB cut to 32 bits would look small.
        {DRIVE_FIXED, TRUE, TRUE, 4096 * GiB + 16 * GiB, FALSE},
        {DRIVE_FIXED, TRUE, FALSE, 16 * GiB, FALSE},
        {DRIVE_FIXED, FALSE, TRUE, 16 * GiB, FALSE},
        {DRIVE_CDROM, FALSE, TRUE, 1 * GiB, FALSE},
    };
    for (const Case& c : cases) {
        FakeDriveProbe probe;
        probe.driveType = c.type;
        probe.usb = c.usb;
        probe.sizeKnown = c.sizeKnown;
        probe.totalBytes = c.bytes;
        ScopedDriveProbe scope(&probe);
        EXPECT_EQ(c.expected, isRemovableDrive(L"E:\\update\\pkg.zip"))
            << c.type << " usb " << c.usb << " size " << c.bytes;
    }
    // Paths without a drive letter are never removable.
    EXPECT_FALSE(isRemovableDrive(L"\\\\server\\share\\pkg.zip"));
    // The real probe: R: is removable, the prefix's C: is not.
    EXPECT_TRUE(isRemovableDrive(L"R:\\pkg.zip"));
    EXPECT_FALSE(isRemovableDrive(L"C:\\pkg.zip"));
}

TEST(ZipPath, ForceDirectoryAndPathKind) {
    TempDir dir;
    CString a = dir / L"a";
    ASSERT_TRUE(CreateDirectoryW(a.GetString(), nullptr));
    // Only a exists: b, then c are made.
    EXPECT_TRUE(forceDirectory(a + L"\\b\\c\\"));
    EXPECT_EQ(-1, getPathKind(a + L"\\b\\c"));
    EXPECT_TRUE(forceDirectory(a + L"\\b\\c"));
    ASSERT_TRUE(writeBytes(a + L"\\file", "x"));
    EXPECT_FALSE(forceDirectory(a + L"\\file"));
    EXPECT_FALSE(forceDirectory(a + L"\\file\\below"));
    EXPECT_TRUE(forceDirectory(L"C:"));
    EXPECT_TRUE(forceDirectory(L"C:\\"));

    struct Case {
        CString path;
        int kind;
    } cases[] = {
        {a, -1},
        {a + L"\\file", 1},
        {a + L"\\none", 0},
        {L"C:\\", -1},
    };
    for (const Case& c : cases) EXPECT_EQ(c.kind, getPathKind(c.path)) << CW2A(c.path.GetString());
    EXPECT_TRUE(isEnterableDirectory(a));
    EXPECT_FALSE(isEnterableDirectory(a + L"\\file"));
}
