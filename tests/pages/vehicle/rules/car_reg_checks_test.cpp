// The registration page's size arithmetic at its boundaries, in 64 bits.
#include "pages/vehicle/car_reg_checks.h"

#include "engine/drive_probe.h"

#include <vector>

#include <gtest/gtest.h>

using namespace car_reg;

TEST(CarRegSizes, DiskSizeTextsChangeUnitAboveEachThousandTwentyFour) {
    struct Case { ULONGLONG bytes; bool unitFirst; const wchar_t* text; };
    const ULONGLONG MiB = 1048576ULL;
    const Case cases[] = {
        {0, false, L"0.00 MB"},
        {1024 * MiB, false, L"1024.00 MB"},
        {1025 * MiB, false, L"1.00 GB"},
        {1048576 * MiB, false, L"1024.00 GB"},
        {1048577 * MiB, false, L"1.00 TB"},
        {5 * 1048576 * MiB, false, L"5.00 TB"},  // 32 bits would wrap here
        {1536 * MiB, true, L"GB 1.50"},
    };
    for (const Case& c : cases) EXPECT_STREQ(c.text, formatDiskSize(c.bytes, c.unitFirst).GetString()) << c.bytes;

    EXPECT_STREQ(L"(1024.0 MB)", formatDriveSize(1048576).GetString());
    EXPECT_STREQ(L"( 1.0 GB)", formatDriveSize(1049600).GetString());
    EXPECT_STREQ(L"( 6.0 TB)", formatDriveSize(6ULL * 1024 * 1024 * 1024).GetString());
}

TEST(CarRegSizes, LocalSpaceKeepsTwiceTheReserveFree) {
    struct Case { ULONGLONG freeToCaller; ULONGLONG update; bool passes; };
    const Case cases[] = {
        {10000000000ULL, 5904000000ULL, true},
        {10000000000ULL, 5904000001ULL, false},
        {2047999999ULL, 0, false},  // below the reserve nothing fits
        {0, 0, false},
        {20000000000000ULL, 15000000000000ULL, true},  // 20 TB disk
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.passes, checkLocalSpace(c.update, usableFreeSpace(c.freeToCaller)).passes)
            << c.freeToCaller << " / " << c.update;

    const LocalSpace refused = checkLocalSpace(5904000001ULL, usableFreeSpace(10000000000ULL));
    EXPECT_STREQ(L"9", refused.requiredGB.GetString());  // 7,583 MiB needed
    EXPECT_STREQ(L"7.95", refused.hrs.GetString());
    const LocalSpace deep = checkLocalSpace(6000000000000ULL, usableFreeSpace(1000000000000ULL));
    EXPECT_STREQ(L"-5004.10", deep.hfs.GetString());
    EXPECT_STREQ(L"5725", deep.requiredGB.GetString());  // its KiB count passes 32 bits
}

TEST(CarRegSizes, LargeMediaOnlyForHeadUnitsThatReadThem) {
    for (int type : {0, 1, 2, 9, 10, 11, 12, 13, 14, 15, 16, 17}) {
        const bool reads = type == 10 || (type >= 13 && type <= 16);
        EXPECT_FALSE(refusedAsTooLarge(33554432ULL, type)) << type;
        EXPECT_EQ(!reads, refusedAsTooLarge(33554433ULL, type)) << type;
    }
}

TEST(CarRegSizes, MediumHoldsTheUpdateAndItsMargin) {
    EXPECT_TRUE(checkMediumSpace(3584000000ULL, 4000000).passes);
    const MediumSpace refused = checkMediumSpace(3584000001ULL, 4000000);
    EXPECT_FALSE(refused.passes);
    EXPECT_STREQ(L"3.81GB", refused.mediumGB.GetString());
    EXPECT_STREQ(L"3.81GB", refused.needGB.GetString());
    EXPECT_STREQ(L"3.81GB", checkMediumSpace(3584000000ULL + 1073741824ULL, 4000000).mediumGB.GetString());
    EXPECT_STREQ(L"4.82GB", checkMediumSpace(3584000000ULL + 1073741824ULL, 4000000).needGB.GetString());
    // A medium beyond 4 GiB: its bytes do not wrap.
    EXPECT_TRUE(checkMediumSpace(4000000000ULL, 5242880).passes);
}

TEST(CarRegSizes, RoundToThousandths) {
    EXPECT_DOUBLE_EQ(3.815, roundToThousandths(3.8147));
    EXPECT_DOUBLE_EQ(-0.001, roundToThousandths(-0.0014));
    EXPECT_DOUBLE_EQ(2.0, roundToThousandths(1.9996));
}

namespace {

// Answers the space questions from its fields; the rest is never asked here.
class SpaceProbe : public IDriveQueries {
public:
    UINT getDriveType(const CString&) override { return DRIVE_FIXED; }
    BOOL isUsbBusDevice(wchar_t) override { return FALSE; }
    DWORD getLogicalDrives() override { return 0; }
    BOOL getDiskSpace(const CString& root, ULONGLONG& total, ULONGLONG& free) override {
        roots.push_back(root);
        total = volumeTotal;
        free = volumeFree;
        return ++asked > failures;
    }
    BOOL getClusterGeometry(const CString&, DWORD&, DWORD&) override { return FALSE; }
    BOOL getVolumeInformation(const CString&, CString&, DWORD&, CString&) override { return FALSE; }
    BOOL getFirstMediaType(wchar_t, int&) override { return FALSE; }
    BOOL getDiskNumber(wchar_t, DWORD&) override { return FALSE; }
    BOOL getVolumeName(const CString&, CString&) override { return FALSE; }
    BOOL isDiskWritable(wchar_t) override { return TRUE; }

    ULONGLONG volumeTotal = 0, volumeFree = 0;
    int failures = 0, asked = 0;
    std::vector<CString> roots;
};

struct ProbeInstalled {
    explicit ProbeInstalled(IDriveQueries* p) : previous(setDriveQueries(p)) {}
    ~ProbeInstalled() { setDriveQueries(previous); }
    IDriveQueries* previous;
};

}  // namespace

TEST(CarRegSizes, FreeSpaceComesFromTheProbeWithFiveRetries) {
    SpaceProbe probe;
    ProbeInstalled installed(&probe);
    probe.volumeTotal = 5ULL << 40;  // 5 TiB
    probe.volumeFree = 10000000000ULL;
    probe.failures = 5;
    EXPECT_EQ(7952000000ULL, usableFreeSpaceOn(L"D"));
    EXPECT_EQ(6, probe.asked);
    EXPECT_STREQ(L"D:\\", probe.roots.front().GetString());

    probe.asked = 0;
    probe.failures = 6;
    ULONGLONG total = 1, free = 1;
    EXPECT_FALSE(driveSpaceOn(L"D", total, free));
    EXPECT_EQ(0ULL, total);
    probe.asked = 0;
    EXPECT_EQ(0ULL, usableFreeSpaceOn(L"D"));

    probe.failures = 0;
    EXPECT_TRUE(driveSpaceOn(L"D", total, free));
    EXPECT_STREQ(L"5.00 TB", formatDiskSize(total, false).GetString());
}

TEST(CarRegSizes, SystemProbeGivesTheCallersShare) {
    ULONGLONG total = 0, free = 0;
    ASSERT_TRUE(driveQueries().getCallerSpace(L"C:\\", total, free));
    EXPECT_GT(total, 0ULL);
    EXPECT_LE(free, total);
}

TEST(CarRegSizes, FolderLetterIsThePartBeforeTheColon) {
    EXPECT_STREQ(L"D", folderDriveLetter(L"D:\\Kestrune").GetString());
    EXPECT_STREQ(L"", folderDriveLetter(L"\\\\server\\share").GetString());
    EXPECT_STREQ(L"", folderDriveLetter(L"").GetString());
    // No letter: no drive is asked and nothing counts as free.
    EXPECT_EQ(0ULL, usableFreeSpaceOn(folderDriveLetter(L"relative\\folder")));
}
