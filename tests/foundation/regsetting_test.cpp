#include "foundation/lastmodeinfo.h"
#include "foundation/regsetting.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

// Every test starts from an empty profile, as on a first start.
class RegSettingTest : public testing::Test {
protected:
    void SetUp() override {
        RegDeleteTreeW(HKEY_CURRENT_USER, TestApp::registryPath().GetString());
        g_nSendVcrmDesc1 = 0;
        g_nSendVcrmDesc2 = 0;
    }
    void TearDown() override { SetUp(); }

    static CWinApp* app() { return AfxGetApp(); }
    static bool hasValue(const wchar_t* section, const wchar_t* name) {
        return app()->GetProfileString(section, name, L"<none>") != L"<none>" ||
               app()->GetProfileInt(section, name, -7) != static_cast<UINT>(-7);
    }
};

TEST_F(RegSettingTest, FirstStartDefaults) {
    LastModeInfo mode(CORP_TS, USER_TYPE_MEMBER, L"keep1", L"keep2");
    struct Case {
        const char* what;
        int got;
        int want;
    } cases[] = {
        {"region", CRegSetting::getRegion(), REGION_KR},
        {"language", CRegSetting::getLanguage(), LANGUAGE_KO},
        {"first open", CRegSetting::isFirstOpenProgram(), TRUE},
        {"consent 1", CRegSetting::isSendVcrmDesc1(), FALSE},
        {"consent 2", CRegSetting::isSendVcrmDesc2(), FALSE},
        {"last corp", CRegSetting::getLastUserCorp(), CORP_TS},
        {"last type", CRegSetting::getLastUserType(), USER_TYPE_MEMBER},
        {"save", CRegSetting::isCheckedSave(CORP_TS), FALSE},
        {"auto", CRegSetting::isCheckedAuto(CORP_LV), FALSE},
        {"model guide", CRegSetting::isCheckedSoftwareModelGuide(CORP_DR), FALSE},
        {"system update", CRegSetting::isCheckedSystemUpdate(CORP_TS), FALSE},
        {"last mode", CRegSetting::getLastMode(mode), FALSE},
    };
    for (const auto& c : cases) EXPECT_EQ(c.got, c.want) << c.what;
    EXPECT_EQ(mode.strFirst, CString(L"keep1"));
    EXPECT_EQ(mode.strSecond, CString(L"keep2"));
    EXPECT_EQ(CRegSetting::getDataPath(), CString());
    EXPECT_EQ(CRegSetting::getInstallPath(), CString());
    EXPECT_EQ(CRegSetting::getUserID(CORP_TS), CString());
    EXPECT_EQ(CRegSetting::getUserInfo(CORP_TS), CString());
    EXPECT_EQ(CRegSetting::getClientGUID(), CString());
    // Reading writes nothing but the "Settings" defaults it has to mend.
    EXPECT_FALSE(hasValue(L"KR_User", L"LastUserCorp"));
    EXPECT_FALSE(hasValue(L"Settings", L"FIRST_OPEN_PROGRAM"));
}

// Where each setter puts its value, in the region's user subkey or in
// "Settings", and in which form.
TEST_F(RegSettingTest, SettersWriteTheLayout) {
    CRegSetting::setRegion(REGION_EU);
    CRegSetting::setLastUserType(USER_TYPE_GUEST);
    g_nSendVcrmDesc1 = 1;
    g_nSendVcrmDesc2 = 3;
    struct Case {
        const char* what;
        std::function<BOOL()> set;
        const wchar_t* section;
        const wchar_t* name;
        const wchar_t* text;  // null: an integer value
        int number;
    } cases[] = {
        {"save", [] { return CRegSetting::setCheckedSave(CORP_LV, 1); }, L"EU_User", L"LV_CheckedSave", nullptr, 1},
        {"save 2", [] { return CRegSetting::setCheckedSave(CORP_TS, 2); }, L"EU_User", L"TS_CheckedSave", nullptr, 0},
        {"auto", [] { return CRegSetting::setCheckedAuto(CORP_DR, 1); }, L"EU_User", L"DR_guest_CheckedAuto",
         nullptr, 1},
        {"guide", [] { return CRegSetting::setCheckedSoftwareModelGuide(CORP_TS, 1); }, L"EU_User",
         L"TS_CheckedSoftwareModelGuide", nullptr, 1},
        {"update", [] { return CRegSetting::setCheckedSystemUpdate(CORP_NONE, 1); }, L"EU_User",
         L"NIL_CheckedSystemUpdate", nullptr, 1},
        {"unknown brand", [] { return CRegSetting::setCheckedSave(9, 1); }, L"EU_User", L"_CheckedSave", nullptr, 1},
        {"id", [] { return CRegSetting::setUserID(CORP_LV, L"abc"); }, L"EU_User", L"LV_UserID", L"YWJjAA==", 0},
        {"corp", [] { return CRegSetting::setLastUserCorp(CORP_DR); }, L"EU_User", L"LastUserCorp", L"dravane", 0},
        {"type", [] { return CRegSetting::setLastUserType(USER_TYPE_MEMBER); }, L"EU_User", L"LastUserType",
         L"member", 0},
        {"mode", [] { return CRegSetting::setLastMode(LastModeInfo(CORP_DR, USER_TYPE_GUEST, L"A.inf", L"M7")); },
         L"EU_User", L"DR_guest_LastMode", L"A.inf/M7", 0},
        {"consent 1", [] { return CRegSetting::setSendVcrmDesc1(); }, L"Settings", L"SEND_VCRM_DESC1", nullptr, 1},
        {"consent 2", [] { return CRegSetting::setSendVcrmDesc2(); }, L"Settings", L"SEND_VCRM_DESC2", nullptr, 0},
        {"first open", [] { return CRegSetting::setFirstOpenProgram(); }, L"Settings", L"FIRST_OPEN_PROGRAM",
         nullptr, 0},
        {"eula", [] { return CRegSetting::setFirstOpenEula(); }, L"Settings", L"FIRST_OPEN_EULA", nullptr, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_TRUE(c.set());
        if (c.text) {
            EXPECT_EQ(app()->GetProfileString(c.section, c.name, L"<none>"), CString(c.text));
        } else {
            EXPECT_EQ(app()->GetProfileInt(c.section, c.name, -7), static_cast<UINT>(c.number));
        }
    }
    CRegSetting::setUserInfo(CORP_TS, L"pw");
    EXPECT_EQ(app()->GetProfileString(L"EU_User", L"TS_UserInfo").Left(1), CString(L"*"));
    EXPECT_EQ(CRegSetting::getUserInfo(CORP_TS), CString(L"pw"));
    EXPECT_FALSE(hasValue(L"KR_User", L"TS_UserInfo"));
}

TEST_F(RegSettingTest, FlagsReadTrueOnlyForOne) {
    struct Case {
        const wchar_t* section;
        const wchar_t* name;
        std::function<BOOL()> read;
    } cases[] = {
        {L"KR_User", L"TS_CheckedSave", [] { return CRegSetting::isCheckedSave(CORP_TS); }},
        {L"KR_User", L"LV_member_CheckedAuto", [] { return CRegSetting::isCheckedAuto(CORP_LV); }},
        {L"KR_User", L"DR_CheckedSoftwareModelGuide", [] { return CRegSetting::isCheckedSoftwareModelGuide(CORP_DR); }},
        {L"KR_User", L"TS_CheckedSystemUpdate", [] { return CRegSetting::isCheckedSystemUpdate(CORP_TS); }},
        {L"Settings", L"SEND_VCRM_DESC1", [] { return CRegSetting::isSendVcrmDesc1(); }},
        {L"Settings", L"SEND_VCRM_DESC2", [] { return CRegSetting::isSendVcrmDesc2(); }},
        {L"Settings", L"FIRST_OPEN_PROGRAM", [] { return CRegSetting::isFirstOpenProgram(); }},
    };
    for (const auto& c : cases) {
        for (int stored : {0, 1, 2, -1}) {
            app()->WriteProfileInt(c.section, c.name, stored);
            EXPECT_EQ(c.read(), stored == 1 ? TRUE : FALSE) << c.name << " = " << stored;
        }
        // A text where a number belongs reads as missing.
        app()->WriteProfileString(c.section, c.name, L"1");
        EXPECT_EQ(c.read(), wcscmp(c.name, L"FIRST_OPEN_PROGRAM") == 0 ? TRUE : FALSE) << c.name;
    }
}

TEST_F(RegSettingTest, ValuesBelongToOneRegionAndOneBrand) {
    CRegSetting::setRegion(REGION_EU);
    CRegSetting::setUserID(CORP_TS, L"eu-ts");
    CRegSetting::setUserID(CORP_LV, L"eu-lv");
    CRegSetting::setUserInfo(CORP_TS, L"secret");
    CRegSetting::setCheckedSave(CORP_TS, 1);
    CRegSetting::setLastUserCorp(CORP_LV);
    CRegSetting::setLastMode(LastModeInfo(CORP_TS, USER_TYPE_MEMBER, L"a.inf", L"m1"));

    CRegSetting::setRegion(REGION_KR);
    EXPECT_EQ(CRegSetting::getUserID(CORP_TS), CString());
    EXPECT_EQ(CRegSetting::getUserInfo(CORP_TS), CString());
    EXPECT_FALSE(CRegSetting::isCheckedSave(CORP_TS));
    EXPECT_EQ(CRegSetting::getLastUserCorp(), CORP_TS);
    LastModeInfo mode(CORP_TS, USER_TYPE_MEMBER);
    EXPECT_FALSE(CRegSetting::getLastMode(mode));
    CRegSetting::setUserID(CORP_TS, L"kr-ts");

    CRegSetting::setRegion(REGION_EU);
    EXPECT_EQ(CRegSetting::getUserID(CORP_TS), CString(L"eu-ts"));
    EXPECT_EQ(CRegSetting::getUserID(CORP_LV), CString(L"eu-lv"));
    EXPECT_EQ(CRegSetting::getUserID(CORP_DR), CString());
    EXPECT_EQ(CRegSetting::getUserInfo(CORP_TS), CString(L"secret"));
    EXPECT_EQ(CRegSetting::getUserInfo(CORP_LV), CString());
    EXPECT_TRUE(CRegSetting::isCheckedSave(CORP_TS));
    EXPECT_FALSE(CRegSetting::isCheckedSave(CORP_LV));
    EXPECT_EQ(CRegSetting::getLastUserCorp(), CORP_LV);
    EXPECT_TRUE(CRegSetting::getLastMode(mode));
    EXPECT_EQ(mode.strFirst, CString(L"a.inf"));

    CRegSetting::setRegion(REGION_KR);
    EXPECT_EQ(CRegSetting::getUserID(CORP_TS), CString(L"kr-ts"));
}

TEST_F(RegSettingTest, AutoSignInFollowsTheStoredSignInKind) {
    CRegSetting::setCheckedAuto(CORP_TS, 1);  // as a member, the default kind
    EXPECT_TRUE(CRegSetting::isCheckedAuto(CORP_TS));
    CRegSetting::setLastUserType(USER_TYPE_GUEST);
    EXPECT_FALSE(CRegSetting::isCheckedAuto(CORP_TS));
    CRegSetting::setCheckedAuto(CORP_TS, 1);
    CRegSetting::setCheckedAuto(CORP_TS, 0);
    EXPECT_FALSE(CRegSetting::isCheckedAuto(CORP_TS));
    CRegSetting::setLastUserType(USER_TYPE_MEMBER);
    EXPECT_TRUE(CRegSetting::isCheckedAuto(CORP_TS));
}

TEST_F(RegSettingTest, LastModeParsing) {
    struct Case {
        const wchar_t* stored;
        BOOL result;
        const wchar_t* first;
        const wchar_t* second;
    } cases[] = {
        {L"a.inf/M1", TRUE, L"a.inf", L"M1"},
        {L"a.inf/M1/extra", TRUE, L"a.inf", L"M1"},
        {L"/only", TRUE, L"only", L"old2"},
        {L"//a//b//", TRUE, L"a", L"b"},
        {L"one", TRUE, L"one", L"old2"},
        {L"///", TRUE, L"old1", L"old2"},
        {L"", FALSE, L"old1", L"old2"},
    };
    for (const auto& c : cases) {
        app()->WriteProfileString(L"KR_User", L"LV_guest_LastMode", c.stored);
        LastModeInfo mode(CORP_LV, USER_TYPE_GUEST, L"old1", L"old2");
        EXPECT_EQ(CRegSetting::getLastMode(mode), c.result) << c.stored;
        EXPECT_EQ(mode.strFirst, CString(c.first)) << c.stored;
        EXPECT_EQ(mode.strSecond, CString(c.second)) << c.stored;
    }
    // Each brand and sign-in kind has a value of its own.
    LastModeInfo member(CORP_LV, USER_TYPE_MEMBER);
    EXPECT_FALSE(CRegSetting::getLastMode(member));
    EXPECT_TRUE(CRegSetting::setLastMode(LastModeInfo(CORP_LV, USER_TYPE_MEMBER, L"x.inf", L"X")));
    EXPECT_TRUE(CRegSetting::getLastMode(member));
    EXPECT_EQ(member.strFirst + L"|" + member.strSecond, CString(L"x.inf|X"));
}

TEST_F(RegSettingTest, UnknownWordsAndIdsReadAsZero) {
    struct Case {
        const wchar_t* section;
        const wchar_t* name;
        const wchar_t* stored;
        std::function<int()> read;
        int want;
    } cases[] = {
        {L"KR_User", L"LastUserCorp", L"LUVO", [] { return CRegSetting::getLastUserCorp(); }, CORP_LV},
        {L"KR_User", L"LastUserCorp", L"bogus", [] { return CRegSetting::getLastUserCorp(); }, CORP_NONE},
        {L"KR_User", L"LastUserCorp", L"", [] { return CRegSetting::getLastUserCorp(); }, CORP_NONE},
        {L"KR_User", L"LastUserType", L"guest", [] { return CRegSetting::getLastUserType(); }, USER_TYPE_GUEST},
        {L"KR_User", L"LastUserType", L"dealer", [] { return CRegSetting::getLastUserType(); }, USER_TYPE_MEMBER},
        {L"Settings", L"Region", L"kr", [] { return CRegSetting::getRegion(); }, REGION_KR},
        {L"Settings", L"Region", L"XX", [] { return CRegSetting::getRegion(); }, REGION_US},
        {L"Settings", L"Region", L"", [] { return CRegSetting::getRegion(); }, REGION_KR},
    };
    for (const auto& c : cases) {
        app()->WriteProfileString(c.section, c.name, c.stored);
        EXPECT_EQ(c.read(), c.want) << c.name << " = " << CW2A(c.stored).operator const char*();
    }
    // The empty region was mended in place.
    EXPECT_EQ(app()->GetProfileString(L"Settings", L"Region"), CString(L"KR"));

    // An id outside the tables stores an empty word, which reads as id 0.
    CRegSetting::setLastUserCorp(9);
    EXPECT_EQ(app()->GetProfileString(L"KR_User", L"LastUserCorp", L"<none>"), CString());
    EXPECT_EQ(CRegSetting::getLastUserCorp(), CORP_NONE);
    CRegSetting::setLastUserType(4);
    EXPECT_EQ(CRegSetting::getLastUserType(), USER_TYPE_MEMBER);
    CRegSetting::setLastMode(LastModeInfo(7, 4, L"a", L"b"));
    EXPECT_EQ(app()->GetProfileString(L"KR_User", L"__LastMode"), CString(L"a/b"));
}

TEST_F(RegSettingTest, LanguageInKoreaIsKoreanOrUsEnglish) {
    struct Case {
        const wchar_t* region;
        const wchar_t* stored;
        int want;
        const wchar_t* afterwards;
    } cases[] = {
        {L"KR", L"fr-EU", LANGUAGE_KO, L"ko-KR"}, {L"KR", L"KO-kr", LANGUAGE_KO, L"ko-KR"},
        {L"KR", L"en-US", LANGUAGE_EN, L"en-US"}, {L"EU", L"fr-EU", LANGUAGE_FR, L"fr-EU"},
        {L"KR", L"", LANGUAGE_NONE, L""},          {L"EU", L"xx-YY", LANGUAGE_NONE, L"xx-YY"},
    };
    for (const auto& c : cases) {
        app()->WriteProfileString(L"Settings", L"Region", c.region);
        app()->WriteProfileString(L"Settings", L"Language", c.stored);
        EXPECT_EQ(CRegSetting::getLanguage(), c.want) << c.stored;
        EXPECT_EQ(app()->GetProfileString(L"Settings", L"Language"), CString(c.afterwards)) << c.stored;
    }
}

}  // namespace
