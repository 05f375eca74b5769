#include "engine/usb_detector.h"
#include "tests/engine_drives/fake_drives.h"
#include "tests/engine_drives/system_stubs.h"

#include <gtest/gtest.h>

namespace {

// Wine 8 does not answer the writable query, so the fake probe does; the
// partition tool is the stub, which records what it was told.
TEST(ClearReadOnly, TellsThePartitionToolAndAsksAfterItEnded) {
    for (bool writable : {true, false}) {
        StubTools tools;
        SetEnvironmentVariableW(L"KESTRUNE_STUB_STDIN", L"1");
        FakeDrives fake;
        FakeDrive d;
        d.total = 8 * kGiB;
        d.disk = 3;
        d.writable = writable;
        fake.drives[L'R'] = d;
        std::string recordWhenAsked;
        fake.onWritableAsked = [&] { recordWhenAsked = tools.stubRecord(); };

        DriveInfo info;
        info.rootPath = L"R:\\";
        EXPECT_EQ(writable, CUSBDetector::clearReadOnly(info) != FALSE);
        const std::string expectedInput = "SELECT DISK 3\nATTRIBUTES DISK CLEAR READONLY\nEXIT\n";
        const std::string record = tools.stubRecord();
        EXPECT_NE(std::string::npos, record.find("diskpart.exe\"\n" + expectedInput)) << record;
        // The tool had read all its input and ended before the question.
        EXPECT_EQ(record, recordWhenAsked);
    }
}

TEST(ClearReadOnly, NoDiskNumberStartsNothing) {
    StubTools tools;
    FakeDrives fake;
    FakeDrive d;
    d.writable = true;
    fake.drives[L'R'] = d;
    EXPECT_FALSE(CUSBDetector::clearReadOnly(L'R'));
    EXPECT_FALSE(CUSBDetector::clearReadOnly(DriveInfo()));
    EXPECT_EQ("", tools.stubRecord());
}

// The tool acts on the whole disk under the letter: only disks the
// formatter would take are handed to it.
TEST(ClearReadOnly, OnlyRemovableOrSmallUsbDisks) {
    struct Case {
        const char* what;
        UINT type;
        bool usb;
        ULONGLONG total;
        bool started;
    } cases[] = {
        {"removable", DRIVE_REMOVABLE, false, 64 * kGiB, true},
        {"USB below 32 GiB", DRIVE_FIXED, true, 16 * kGiB, true},
        {"USB of 64 GiB", DRIVE_FIXED, true, 64 * kGiB, false},
        {"fixed disk", DRIVE_FIXED, false, 8 * kGiB, false},
    };
    for (const Case& c : cases) {
        StubTools tools;
        FakeDrives fake;
        FakeDrive d;
        d.type = c.type;
        d.usb = c.usb;
        d.total = c.total;
        d.disk = 0;
        d.writable = true;
        fake.drives[L'R'] = d;
        EXPECT_EQ(c.started, CUSBDetector::clearReadOnly(L'R') != FALSE) << c.what;
        EXPECT_EQ(c.started, tools.stubRecord().find("diskpart.exe") != std::string::npos) << c.what;
    }
}

TEST(ClearReadOnly, AToolThatNeverEndsIsStopped) {
    StubTools tools("hang");
    FakeDrives fake;
    FakeDrive d;
    d.disk = 1;
    d.writable = true;
    fake.drives[L'R'] = d;
    const DWORD previous = CUSBDetector::setPartitionToolWait(500);
    EXPECT_FALSE(CUSBDetector::clearReadOnly(L'R'));
    CUSBDetector::setPartitionToolWait(previous);
}

}  // namespace
