#include "engine/usb_detector.h"
#include "tests/engine_drives/fake_drives.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

FakeDrive removable(ULONGLONG total) {
    FakeDrive d;
    d.total = total;
    d.free = total / 2;
    return d;
}

FakeDrive usbFixed(ULONGLONG total) {
    FakeDrive d = removable(total);
    d.type = DRIVE_FIXED;
    d.usb = true;
    return d;
}

struct AcceptanceCase {
    const char* name;
    std::function<FakeDrive()> drive;
    BOOL accepted;
};

TEST(DriveInfo, AcceptanceFollowsSizeBusAndMedia) {
    const AcceptanceCase cases[] = {
        {"one byte under 240 MiB", [] { return removable(251658239); }, FALSE},
        {"exactly 240 MiB", [] { return removable(251658240); }, TRUE},
        {"USB fixed disk of exactly 32 GiB", [] { return usbFixed(32 * kGiB); }, TRUE},
        {"USB fixed disk one KiB over 32 GiB", [] { return usbFixed(32 * kGiB + kKiB); }, FALSE},
        {"USB fixed disk of 4 TiB (KiB above 32 bits)", [] { return usbFixed(4 * kTiB); }, FALSE},
        {"USB fixed disk of 4 TiB + 16 GiB (wraps to 16 GiB in 32 bits)",
         [] { return usbFixed(4 * kTiB + 16 * kGiB); }, FALSE},
        {"USB stick reporting removable, 4 TiB", [] { FakeDrive d = usbFixed(4 * kTiB); d.type = DRIVE_REMOVABLE; return d; }, TRUE},
        {"card reader on another bus, 64 GiB", [] { return removable(64 * kGiB); }, TRUE},
        {"fixed disk on another bus, 16 GiB", [] { FakeDrive d = removable(16 * kGiB); d.type = DRIVE_FIXED; return d; }, FALSE},
        {"USB CD/DVD drive", [] { FakeDrive d = removable(kGiB); d.type = DRIVE_CDROM; return d; }, FALSE},
        {"3.5-inch floppy media", [] { FakeDrive d = removable(kGiB); d.mediaType = 5; return d; }, FALSE},
        {"5.25-inch floppy media", [] { FakeDrive d = removable(kGiB); d.mediaType = 10; return d; }, FALSE},
        {"removable media type", [] { FakeDrive d = removable(kGiB); d.mediaType = 11; return d; }, TRUE},
        {"size unreadable", [] { FakeDrive d = removable(kGiB); d.spaceReadable = false; return d; }, FALSE},
        {"volume information unreadable", [] { FakeDrive d = removable(kGiB); d.volumeReadable = false; return d; }, FALSE},
    };
    for (const AcceptanceCase& c : cases) {
        FakeDrives fake;
        fake.drives[L'R'] = c.drive();
        DriveInfo info;
        EXPECT_EQ(c.accepted, CUSBDetector::getDriveInfo(L'R', &info)) << c.name;
    }
    DriveInfo info;
    EXPECT_FALSE(CUSBDetector::getDriveInfo(0, &info));
    EXPECT_FALSE(CUSBDetector::getDriveInfo(L'R', nullptr));
}

TEST(DriveInfo, FieldsOfAcceptedAndRejectedDrives) {
    FakeDrives fake;
    FakeDrive big = usbFixed(5 * kTiB);
    big.free = 4 * kTiB + 5 * kKiB;
    big.flags = 0x80000;
    fake.drives[L'R'] = big;
    DriveInfo rejected;
    ASSERT_FALSE(CUSBDetector::getDriveInfo(L'R', &rejected));
    // Filled before the bus test; KiB saturate instead of wrapping.
    EXPECT_EQ(CString(L"R:\\"), rejected.rootPath);
    EXPECT_EQ(0xFFFFFFFFu, rejected.totalKB);
    EXPECT_EQ(0xFFFFFFFFu, rejected.freeKB);
    EXPECT_EQ(DRIVE_FIXED, rejected.driveType);
    EXPECT_EQ(0, rejected.readOnly);  // set only for an accepted drive
    EXPECT_EQ(CString(L"R"), rejected.getDriveLetter());
    EXPECT_EQ(CString(L"R"), rejected.getRootPath());

    struct ClusterCase {
        DWORD sectors, bytes, stored;
    } clusters[] = {{8, 512, 4096}, {65536, 512, 32 * 1024 * 1024}, {131072, 512, 0}, {0, 0, 0}};
    for (const ClusterCase& c : clusters) {
        FakeDrive d = removable(8 * kGiB);
        d.sectorsPerCluster = c.sectors;
        d.bytesPerSector = c.bytes;
        d.flags = 0x80000;
        d.label = L"CAR";
        d.fileSystem = L"exFAT";
        fake.drives[L'R'] = d;
        DriveInfo info;
        ASSERT_TRUE(CUSBDetector::getDriveInfo(L'R', &info));
        EXPECT_EQ(c.stored, info.clusterSize) << c.sectors << " x " << c.bytes;
        EXPECT_EQ(1, info.readOnly);
        EXPECT_EQ(8u * 1024 * 1024, info.totalKB);
        EXPECT_EQ(4u * 1024 * 1024, info.freeKB);
        EXPECT_EQ(CString(L"CAR"), info.volumeLabel);
        EXPECT_EQ(CString(L"exFAT"), info.fileSystem);
    }
    EXPECT_EQ(CString(), DriveInfo().getDriveLetter());
}

TEST(DriveInfo, FullScanKeepsAcceptedDrivesOnly) {
    FakeDrives fake;
    fake.drives[L'C'] = [] { FakeDrive d = removable(100 * kGiB); d.type = DRIVE_FIXED; return d; }();
    fake.drives[L'R'] = removable(kGiB);
    fake.drives[L'S'] = removable(kMiB);
    fake.drives[L'T'] = usbFixed(16 * kGiB);
    CUSBDetector detector;
    auto* map = detector.getAllDriveInfoList();
    ASSERT_NE(nullptr, map);
    std::wstring letters;
    for (const auto& [letter, info] : *map) letters += letter;
    EXPECT_EQ(L"RT", letters);
    fake.drives.clear();
    EXPECT_TRUE(detector.updateAllDriveInfo());
    EXPECT_TRUE(map->empty());
}

// R: of the test prefix is a folder-backed drive typed "floppy": Wine
// passes every acceptance step for it.
TEST(DriveInfo, SmokeOnTheTestPrefixsRemovableDrive) {
    if (GetDriveTypeW(L"R:\\") != DRIVE_REMOVABLE) GTEST_SKIP() << "R: is not a removable drive here";
    DriveInfo info;
    ASSERT_TRUE(CUSBDetector::getDriveInfo(L'R', &info));
    EXPECT_EQ(CString(L"R:\\"), info.rootPath);
    EXPECT_EQ(DRIVE_REMOVABLE, info.driveType);
    EXPECT_GT(info.totalKB, 0u);

    const CString folder = L"R:\\swversion";
    CreateDirectoryW(folder.GetString(), nullptr);
    EXPECT_EQ(CString(), CUSBDetector::getSwVersion(L"R:\\"));
    ASSERT_TRUE(writeBytes(folder + L"\\swversion.info", "LV.EU.SOP.V125.190101\r\nsecond line\r\n"));
    EXPECT_EQ(CString(L"LV.EU.SOP.V125.190101"), CUSBDetector::getSwVersion(L"R:\\"));
    ASSERT_TRUE(writeBytes(folder + L"\\swversion.info", "\r\nsecond line\r\n"));
    EXPECT_EQ(CString(), CUSBDetector::getSwVersion(L"R:\\"));
    removeTree(folder);
}

}  // namespace
