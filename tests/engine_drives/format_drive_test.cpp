#include "engine/format_drive.h"
#include "tests/engine_drives/fake_drives.h"
#include "tests/engine_drives/system_stubs.h"

#include <gtest/gtest.h>
#include <tlhelp32.h>

#include <functional>

#include "afx/handle.h"
#include "foundation/globalfunc.h"
#include "foundation/regsetting.h"

namespace {

// The fake probe's name for the volume at R:.
const CString kVolumeR = L"\\\\?\\Volume{R}\\";

TEST(FormatDrive, ClusterFileSystemAndCommandTables) {
    const std::pair<ULONGLONG, DWORD> clusters[] = {{0, 0},          {512, 4096},     {4096, 4096},   {4097, 8192},
                                                    {8192, 8192},    {16384, 16384},  {32768, 32768}, {65536, 65536},
                                                    {65537, 0},      {131072, 0},     {1ull << 33, 0}};
    for (const auto& [current, passed] : clusters) EXPECT_EQ(passed, formatClusterSize(current)) << current;

    for (const wchar_t* type : {L"10", L"13", L"14", L"15", L"16"}) EXPECT_EQ(CString(L"exFAT"), formatFileSystem(type));
    for (const wchar_t* type : {L"12", L"1", L"", L" 13", L"130", L"11"}) {
        EXPECT_EQ(CString(L"FAT32"), formatFileSystem(type)) << CStringA(type).GetString();
    }

    const std::pair<DWORD, const wchar_t*> commands[] = {{4096, L"R: /Q /Y /X /FS:FAT32 /A:4096"},
                                                         {8192, L"R: /Q /Y /X /FS:FAT32 /A:8192"},
                                                         {16384, L"R: /Q /Y /X /FS:FAT32 /A:16K"},
                                                         {32768, L"R: /Q /Y /X /FS:FAT32 /A:32K"},
                                                         {65536, L"R: /Q /Y /X /FS:FAT32 /A:64K"}};
    for (const auto& [cluster, arguments] : commands) {
        EXPECT_EQ(CString(arguments), formatCommandArguments(L'R', L"FAT32", cluster));
    }
}

TEST(FormatDrive, FormattableDrives) {
    FakeDrives fake;
    struct Case {
        const char* what;
        UINT type;
        bool usb;
        ULONGLONG total;
        BOOL formattable;
    } cases[] = {
        {"removable of any size", DRIVE_REMOVABLE, false, 4 * kTiB, TRUE},
        {"USB fixed just under 32 GiB", DRIVE_FIXED, true, 32 * kGiB - kKiB, TRUE},
        {"USB fixed of exactly 32 GiB", DRIVE_FIXED, true, 32 * kGiB, FALSE},
        {"USB fixed of 4 TiB + 16 GiB", DRIVE_FIXED, true, 4 * kTiB + 16 * kGiB, FALSE},
        {"fixed disk on another bus", DRIVE_FIXED, false, 8 * kGiB, FALSE},
    };
    for (const Case& c : cases) {
        FakeDrive d;
        d.type = c.type;
        d.usb = c.usb;
        d.total = c.total;
        fake.drives[L'R'] = d;
        EXPECT_EQ(c.formattable, isFormattableDrive(L"R:\\")) << c.what;
    }
    EXPECT_FALSE(isFormattableDrive(L"Q:\\"));
    EXPECT_FALSE(isFormattableDrive(L""));
    EXPECT_FALSE(isFormattableDrive(L"relative\\folder"));
}

class FormatWithLibrary : public testing::Test {
protected:
    void SetUp() override {
        FakeDrive d;
        d.total = 16 * kGiB;
        d.sectorsPerCluster = 64;  // 32 KiB clusters
        fake.drives[L'R'] = d;
    }
    FakeDrives fake;
    StubTools tools;
};

// The library's verdict comes from its callback: done with success counts
// only when the volume was not reported in use, or structure work followed.
// A volume left in use is an error: the command-line formatter's forced
// dismount would lose the files another program holds open.
TEST_F(FormatWithLibrary, CallbackSequences) {
    struct Case {
        const char* script;
        const char* fallbackExit;
        BOOL result;
        bool fallbackRan;
    } cases[] = {
        {"15 11:1", "1", TRUE, false},    {"11:1", "1", TRUE, false},     {"8 15 11:1", "1", TRUE, false},
        {"8 11:1", "0", FALSE, false},    {"8 11:1", "1", FALSE, false},  {"15 11:0", "0", TRUE, true},
        {"", "0", TRUE, true},            {"1 2 3 11:1", "1", TRUE, false},
    };
    for (const Case& c : cases) {
        tools.clearRecords();
        tools.setScript(c.script);
        tools.setExit(c.fallbackExit);
        EXPECT_EQ(c.result, formatDrive(L"R:\\", L"12", kVolumeR)) << c.script << " / exit " << c.fallbackExit;
        EXPECT_EQ("R:\\|11|FAT32||1|32768\n", tools.fmifsRecord()) << c.script;
        const std::string fallback = tools.stubRecord();
        EXPECT_EQ(c.fallbackRan, !fallback.empty()) << c.script;
        if (c.fallbackRan) {
            EXPECT_NE(std::string::npos, fallback.find("format.com\" R: /Q /Y /X /FS:FAT32 /A:32K"));
        }
        EXPECT_EQ(c.result, FormatExLibrary::getInstance().result.load()) << c.script;
    }
}

TEST_F(FormatWithLibrary, MediaTypeFileSystemAndOneLoad) {
    tools.setScript("15 11:1");
    ASSERT_TRUE(formatDrive(L"R:\\", L"13", kVolumeR));
    EXPECT_EQ("R:\\|11|exFAT||1|32768\n", tools.fmifsRecord());
    const HMODULE loaded = FormatExLibrary::getInstance().module;
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(loaded, path, MAX_PATH);
    EXPECT_EQ(0, CString(path).Right(18).CompareNoCase(L"systools\\fmifs.dll")) << CStringA(path).GetString();

    FakeDrive usb;
    usb.type = DRIVE_FIXED;
    usb.usb = true;
    usb.total = 32 * kGiB - kKiB;
    usb.sectorsPerCluster = 1;  // 512-byte clusters become 4096
    fake.drives[L'R'] = usb;
    tools.clearRecords();
    ASSERT_TRUE(formatDrive(L"R:\\", L"", kVolumeR));
    EXPECT_EQ("R:\\|12|FAT32||1|4096\n", tools.fmifsRecord());
    EXPECT_EQ(loaded, FormatExLibrary::getInstance().module);
}

TEST_F(FormatWithLibrary, StaleInUseFlagDoesNotFailTheNextFormat) {
    tools.setExit("1");
    tools.setScript("8");
    EXPECT_FALSE(formatDrive(L"R:\\", L"12", kVolumeR));
    EXPECT_EQ(1, formatFailed.load());
    tools.setScript("11:1");
    EXPECT_TRUE(formatDrive(L"R:\\", L"12", kVolumeR));
}

TEST_F(FormatWithLibrary, NothingIsTouchedWithoutAVolumeOrForOtherDrives) {
    fake.drives[L'R'].sectorsPerCluster = 0;
    fake.drives[L'R'].bytesPerSector = 0;
    tools.setScript("15 11:1");
    EXPECT_FALSE(formatDrive(L"R:\\", L"12", kVolumeR));
    EXPECT_FALSE(formatDrive(L"", L"12", kVolumeR));
    FakeDrive fixed;
    fixed.type = DRIVE_FIXED;
    fixed.total = 8 * kGiB;
    fake.drives[L'C'] = fixed;
    EXPECT_FALSE(formatDrive(L"C:\\", L"12", L"\\\\?\\Volume{C}\\"));
    EXPECT_EQ("", tools.fmifsRecord());
    EXPECT_EQ("", tools.stubRecord());

    // 128 KiB clusters go to the library as its own choice; the fallback
    // cannot take that size and refuses.
    fake.drives[L'R'].sectorsPerCluster = 256;
    fake.drives[L'R'].bytesPerSector = 512;
    tools.setScript("8 11:1");
    EXPECT_FALSE(formatDrive(L"R:\\", L"12", kVolumeR));
    EXPECT_EQ("R:\\|11|FAT32||1|0\n", tools.fmifsRecord());
    EXPECT_EQ("", tools.stubRecord());
}

// The letter is checked against the volume the user chose, and volumes that
// hold the program, its downloads or the system are never formatted.
TEST_F(FormatWithLibrary, OnlyTheChosenVolumeAndNeverOneOfOurs) {
    EXPECT_EQ(kVolumeR, formatVolumeName(L"R:\\Some\\Folder"));
    EXPECT_EQ(CString(), formatVolumeName(L"Q:\\"));
    EXPECT_EQ(CString(), formatVolumeName(L"relative"));

    const wchar_t programLetter = CGlobalFunc::getModuleDirectory()[0];
    const CString dataBefore = CRegSetting::getDataPath();
    struct Case {
        const char* what;
        std::function<void()> arrange;
        CString path, chosen;
        bool formatted;
    } cases[] = {
        {"the chosen volume, root only", [] {}, L"R:\\Some\\Folder", kVolumeR, true},
        {"another medium got the letter", [&] { fake.drives[L'R'].volume = L"\\\\?\\Volume{other}\\"; },
         L"R:\\", kVolumeR, false},
        {"no volume recorded", [] {}, L"R:\\", CString(), false},
        {"the download folder is on it", [] { CRegSetting::setDataPath(L"R:\\Downloads"); }, L"R:\\", kVolumeR,
         false},
        {"the program's volume under another letter",
         [&] {
             FakeDrive program;
             program.volume = kVolumeR;
             fake.drives[static_cast<wchar_t>(towupper(programLetter))] = program;
         },
         L"R:\\", kVolumeR, false},
    };
    for (const Case& c : cases) {
        SetUp();
        CRegSetting::setDataPath(dataBefore);
        c.arrange();
        tools.clearRecords();
        tools.setScript("15 11:1");
        EXPECT_EQ(c.formatted, formatDrive(c.path, L"12", c.chosen) != FALSE) << c.what;
        EXPECT_EQ(c.formatted ? "R:\\|11|FAT32||1|32768\n" : "", tools.fmifsRecord()) << c.what;
        EXPECT_EQ("", tools.stubRecord()) << c.what;
        fake.drives.clear();
    }
    CRegSetting::setDataPath(dataBefore);
}

bool stubProcessRunning() {
    UniqueHandle<FileHandleTraits> snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry)) {
        if (_wcsicmp(entry.szExeFile, L"format.com") == 0) return true;
    }
    return false;
}

TEST(FormatByCommand, ExitCodesArgumentsAndAFormatterThatNeverEnds) {
    StubTools tools;
    EXPECT_TRUE(formatDriveByCommand(L"R:\\", L"exFAT", 4096));
    EXPECT_NE(std::string::npos, tools.stubRecord().find("format.com\" R: /Q /Y /X /FS:exFAT /A:4096\n"));
    tools.setExit("5");
    EXPECT_FALSE(formatDriveByCommand(L"R:\\", L"exFAT", 65536));
    tools.clearRecords();
    EXPECT_FALSE(formatDriveByCommand(L"R:\\", L"FAT32", 511));
    EXPECT_FALSE(formatDriveByCommand(L"R:\\", L"", 4096));
    EXPECT_FALSE(formatDriveByCommand(L"", L"FAT32", 4096));
    EXPECT_EQ("", tools.stubRecord());

    tools.setExit("hang");
    const DWORD previous = setFormatCommandWait(500);
    EXPECT_FALSE(formatDriveByCommand(L"R:\\", L"FAT32", 4096));
    setFormatCommandWait(previous);
    EXPECT_FALSE(stubProcessRunning());
}

}  // namespace
