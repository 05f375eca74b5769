// The settings page's rules as data: the lists a language reply gives, the
// path test over the drive probe and real folders, and
// the sign-up notice's dates and caption sizes.
#include "pages/account/dlg_join_msg.h"
#include "pages/account/dlg_page_config.h"
#include "pages/account/language_lists.h"

#include "foundation/code_tables.h"
#include "tests/engine_drives/fake_drives.h"
#include "ui/path_text.h"
#include "webclient/response_parser_language.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<int> ids(const std::vector<ComboEntry>& entries) {
    std::vector<int> out;
    for (const ComboEntry& e : entries) out.push_back(e.id);
    return out;
}

struct Parsed {
    LanguageCodeTable table;
    int code = -1;
};

Parsed parse(const CString& reply) {
    Parsed p;
    ResponseParserLanguage parser(-1, 2, &p.table);
    if (parser.parse(withFallbackLines(reply))) p.code = parser.getResultCode();
    return p;
}

}  // namespace

// Each reply: the regions offered, the languages of KR and of AU.
TEST(SettingsLists, RepliesGiveRegionsAndLanguages) {
    struct Case {
        const char* name;
        const wchar_t* reply;
        int code;
        std::vector<int> regions;
        std::vector<int> koreaLanguages;
        std::vector<int> australiaLanguages;
    } cases[] = {
        {"KR only gains AU, NZ, ME", L"200|*|KR$KO$EN", 200, {REGION_KR, REGION_AU, REGION_NZ, REGION_ME},
         {LANGUAGE_KO, LANGUAGE_EN}, {LANGUAGE_EN, LANGUAGE_KO}},
        {"AU keeps its own list", L"200|*|KR$KO$EN|*|AU$EN", 200, {REGION_KR, REGION_AU, REGION_NZ, REGION_ME},
         {LANGUAGE_KO, LANGUAGE_EN}, {LANGUAGE_EN}},
        {"EU is not offered", L"200|*|EU$EN$DE|*|US$EN$ES", 200, {REGION_US, REGION_AU, REGION_NZ, REGION_ME},
         {LANGUAGE_KO}, {LANGUAGE_EN, LANGUAGE_KO}},
        {"KR twice: first record, offered once", L"200|*|KR$KO|*|KR$EN$FR", 200,
         {REGION_KR, REGION_AU, REGION_NZ, REGION_ME}, {LANGUAGE_KO}, {LANGUAGE_EN, LANGUAGE_KO}},
        {"codes match exactly", L"200|*|AUS$EN|*|KR$KO $EN", 200, {REGION_KR, REGION_AU, REGION_NZ, REGION_ME},
         {LANGUAGE_EN}, {LANGUAGE_EN, LANGUAGE_KO}},
        {"lower case codes", L"200|*|kr$ko$en", 200, {REGION_KR, REGION_AU, REGION_NZ, REGION_ME},
         {LANGUAGE_KO, LANGUAGE_EN}, {LANGUAGE_EN, LANGUAGE_KO}},
        {"500", L"500", 500, {REGION_AU, REGION_NZ, REGION_ME}, {LANGUAGE_KO}, {LANGUAGE_EN, LANGUAGE_KO}},
        {"empty reply", L"", 0, {REGION_AU, REGION_NZ, REGION_ME}, {LANGUAGE_KO}, {LANGUAGE_EN, LANGUAGE_KO}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Parsed p = parse(c.reply);
        EXPECT_EQ(c.code, p.code);
        EXPECT_EQ(c.regions, ids(regionEntries(p.table, true, REGION_US)));
        // A region without a record offers the stored language (Korean here).
        EXPECT_EQ(c.koreaLanguages, ids(languageEntries(p.table, true, REGION_KR, LANGUAGE_KO)));
        EXPECT_EQ(c.australiaLanguages, ids(languageEntries(p.table, true, REGION_AU, LANGUAGE_KO)));
    }
}

TEST(SettingsLists, FallbackLinesOnlyForMissingRegions) {
    EXPECT_EQ(CString(L"200|*|KR$KO|*|AU$EN$KO|*|NZ$EN$KO|*|ME$AR$EN$FR$KO\n"),
              withFallbackLines(L"200|*|KR$KO\n"));
    EXPECT_EQ(CString(L"200|*|AU$EN|*|NZ$EN|*|ME$AR"), withFallbackLines(L"200|*|AU$EN|*|NZ$EN|*|ME$AR"));
    // "AUS" is no record of AU.
    EXPECT_EQ(CString(L"200|*|AUS$EN|*|NZ$EN|*|ME$AR|*|AU$EN$KO\n"), withFallbackLines(L"200|*|AUS$EN|*|NZ$EN|*|ME$AR"));
}

// Without a synchronised list: English, Korean and the stored language; the
// stored region when it has a name.
TEST(SettingsLists, BuiltInChoicesWhileOffline) {
    const LanguageCodeTable none;
    EXPECT_EQ((std::vector<int>{LANGUAGE_EN, LANGUAGE_KO, LANGUAGE_DE}), ids(languageEntries(none, false, 0, LANGUAGE_DE)));
    EXPECT_EQ((std::vector<int>{LANGUAGE_EN, LANGUAGE_KO}), ids(languageEntries(none, false, 0, LANGUAGE_KO)));
    for (int region = 0; region <= 12; ++region) {
        const bool named = region == 0 || region == 1 || region == 3 || region == 5 || region == 7 || region == 9;
        EXPECT_EQ(named ? std::vector<int>{region} : std::vector<int>{}, ids(regionEntries(none, false, region)))
            << region;
    }
}

TEST(SettingsLists, BrandsAndOkPictureByRegion) {
    struct Case {
        int region;
        std::vector<int> brands;
    } cases[] = {
        {REGION_BR, {CORP_LV, CORP_DR}}, {REGION_TR, {CORP_LV, CORP_DR}}, {REGION_EU, {CORP_TS, CORP_DR}},
        {REGION_RU, {CORP_TS, CORP_DR}}, {REGION_US, {CORP_TS, CORP_LV, CORP_DR}},
        {REGION_KR, {CORP_TS, CORP_LV, CORP_DR}},
    };
    for (const Case& c : cases) EXPECT_EQ(c.brands, ids(brandEntries(c.region))) << c.region;
    EXPECT_EQ(469u, okButtonImage(CORP_TS, REGION_KR));
    EXPECT_EQ(470u, okButtonImage(CORP_DR, REGION_US));
    EXPECT_EQ(471u, okButtonImage(CORP_LV, REGION_KR));
    EXPECT_EQ(1736u, okButtonImage(CORP_LV, REGION_CA));
    EXPECT_EQ(469u, okButtonImage(CORP_NONE, REGION_US));
    EXPECT_EQ(12548, changedRegionText(REGION_AU));
    EXPECT_EQ(0, changedRegionText(REGION_TR));
    EXPECT_EQ(12003, changedBrandText(CORP_LV));
}

// The path test reads the drive through the probe and the folder itself.
TEST(SettingsPathType, DrivesAndFolders) {
    FakeDrives drives;
    FakeDrive fixed;
    fixed.type = DRIVE_FIXED;
    drives.drives[L'C'] = fixed;
    FakeDrive usbSmall = fixed, usbLarge = fixed, usbHuge = fixed, usbUnreadable = fixed;
    usbSmall.usb = usbLarge.usb = usbHuge.usb = usbUnreadable.usb = true;
    usbSmall.total = 16ull << 30;
    usbLarge.total = 64ull << 30;
    usbHuge.total = 4ull << 40;  // 32-bit KiB would wrap to 0
    usbUnreadable.spaceReadable = false;
    drives.drives[L'C'] = fixed;
    drives.drives[L'R'] = FakeDrive();  // removable
    FakeDrive network;
    network.type = DRIVE_REMOTE;
    drives.drives[L'N'] = network;

    const CString base = L"C:\\users\\Public\\KestrunePathType";
    const CString users = L"C:\\Users\\kestrune-test";
    for (const CString& folder : {base, base + L"\\readonly", users, users + L"\\Downloads",
                                  users + L"\\Downloads\\deeper"}) {
        ::CreateDirectoryW(folder, nullptr);
    }
    // Folders marked read-only, as Windows marks a profile's folders.
    const std::vector<CString> readOnly = {users + L"\\Downloads\\", users + L"\\Downloads\\deeper\\",
                                           base + L"\\readonly\\"};
    CDlgPageConfig::setAttributeReader([&](const CString& path) {
        DWORD attributes = ::GetFileAttributesW(path);
        for (const CString& marked : readOnly) {
            if (attributes != INVALID_FILE_ATTRIBUTES && marked.CompareNoCase(path) == 0) {
                attributes |= FILE_ATTRIBUTE_READONLY;
            }
        }
        return attributes;
    });
    // The lower-case "users" form of a read-only profile subfolder.
    const CString lowerUsers = L"C:\\users\\kestrune-test\\Downloads";

    struct Case {
        const char* name;
        CString path;
        int result;
    } cases[] = {
        {"fixed, not USB", base, 0},
        {"removable drive", L"R:\\Maps", 1},
        {"network drive", L"N:\\Share", 1},
        {"empty", L"", 1},
        {"missing folder", base + L"\\gone", 2},
        {"missing profile subfolder", users + L"\\gone", 2},
        {"read-only folder", base + L"\\readonly", 2},
        {"profile subfolder marked read-only", users + L"\\Downloads", 0},
        {"one level deeper", users + L"\\Downloads\\deeper", 2},
        {"lower-case users: by its attributes", lowerUsers, 2},
    };
    for (const Case& c : cases) EXPECT_EQ(c.result, CDlgPageConfig::checkPathType(c.path)) << c.name;

    struct UsbCase {
        const char* name;
        FakeDrive drive;
        int result;
    } usbCases[] = {
        {"USB 16 GiB", usbSmall, 1},
        {"USB 64 GiB", usbLarge, 0},
        {"USB 4 TiB", usbHuge, 0},
        {"USB size unreadable", usbUnreadable, 0},
    };
    for (const UsbCase& c : usbCases) {
        drives.drives[L'C'] = c.drive;
        EXPECT_EQ(c.result, CDlgPageConfig::checkPathType(base)) << c.name;
    }
    drives.drives[L'C'] = fixed;
    CDlgPageConfig::setAttributeReader(nullptr);
    for (const CString& folder : {users + L"\\Downloads\\deeper", users + L"\\Downloads", base + L"\\readonly"}) {
        ::RemoveDirectoryW(folder);
    }
    ::RemoveDirectoryW(users);
    ::RemoveDirectoryW(base);
}

TEST(SettingsPathText, LongestPathIsCutAt259Characters) {
    const auto measure = [](const CString& s) { return s.GetLength(); };
    CString path = L"C:\\";
    while (path.GetLength() < 300) path += L"abcdefghi\\";
    const CString fitted = fitPathText(path, 1000, measure);
    EXPECT_EQ(259, fitted.GetLength());
    EXPECT_EQ(path.Left(259), fitted);
}

TEST(JoinNotice, StoredDateSkipsForThirtyDays) {
    SYSTEMTIME today{};
    today.wYear = 2026;
    today.wMonth = 3;
    today.wDay = 15;
    today.wHour = 12;
    struct Case {
        const wchar_t* stored;
        bool skipped;
    } cases[] = {
        {L"20260315", true},   // today
        {L"20260214", true},   // 29 days back
        {L"20260213", false},  // 30 days back: the limit itself
        {L"20250101", false},
        {L"", false},
        {L"not a date", false},
    };
    for (const Case& c : cases) EXPECT_EQ(c.skipped, joinNoticeSkipped(c.stored, today)) << CW2A(c.stored);
    EXPECT_EQ(CString(L"HIDE_CHECK_DATE_LV"), hideDateKey(CORP_LV));
    EXPECT_TRUE(hideDateKey(CORP_NONE).IsEmpty());
}

TEST(JoinNotice, CaptionSizesByLength) {
    struct Case {
        int length, join, next;
    } cases[] = {{15, 22, 22}, {16, 18, 22}, {18, 18, 22}, {19, 18, 18}, {22, 18, 18}, {23, 14, 14}};
    for (const Case& c : cases) {
        EXPECT_EQ(c.join, joinCaptionSize(c.length)) << c.length;
        EXPECT_EQ(c.next, nextCaptionSize(c.length)) << c.length;
    }
}
