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
