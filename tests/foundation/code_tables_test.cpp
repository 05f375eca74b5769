#include "foundation/code_tables.h"
#include "foundation/program_strings.h"
#include "foundation/registered_messages.h"
#include "foundation/timezone_table.h"

#include <gtest/gtest.h>

namespace {

TEST(CodeTables, ForwardLookups) {
    struct Case {
        CString got;
        const wchar_t* want;
    } cases[] = {
        {getRegionCode(9), L"AU"},         {getRegionCode(13), L""},       {getRegionCode(-1), L""},
        {getRegionCode(REGION_KR), L"KR"}, {getRegionName(12), L"Turkey"}, {getRegionName(40), L""},
        {getLanguageCode(0), L"NIL"},      {getLocaleName(0), L""},        {getLocaleName(11), L"ar-AR"},
        {getLanguageCode(13), L"E2"},      {getLocaleName(4), L"fr-CA"},   {getCorpCode(0), L"NIL"},
        {getCorpCode(3), L"DR"},           {getCorpName(1), L"tessaly"},   {getCorpName(0), L"NIL"},
        {getUserTypeName(1), L"guest"},    {getUserTypeName(2), L""},
    };
    for (const auto& c : cases) EXPECT_STREQ(c.got.GetString(), c.want);
    EXPECT_EQ(g_mapLocaleName.size(), 13u);
    EXPECT_EQ(g_mapLanguageCode.size(), 14u);
}

TEST(CodeTables, ReverseLookupsIgnoreCaseAndDefaultToZero) {
    struct Case {
        int got;
        int want;
    } cases[] = {
        {getRegionId(L"kr"), REGION_KR},         {getRegionId(L"XX"), 0},
        {getRegionId(L""), 0},                   {getRegionId(L"tr"), REGION_TR},
        {getCorpId(L"nIl"), CORP_NONE},          {getCorpId(L"N"), CORP_NONE},
        {getCorpId(L"dr"), CORP_DR},             {getLanguageIdByLocale(L"EN-us"), LANGUAGE_EN},
        {getLanguageIdByLocale(L"de-EU"), LANGUAGE_DE}, {getLanguageId(L"f1"), LANGUAGE_F1},
        {getCorpIdByName(L"Luvo"), CORP_LV},     {getUserTypeId(L"GUEST"), USER_TYPE_GUEST},
        {getUserTypeId(L"dealer"), USER_TYPE_MEMBER},
    };
    for (const auto& c : cases) EXPECT_EQ(c.got, c.want);
}

TEST(RegisteredMessages, OneIdPerNameAnywhere) {
    const UINT ids[] = {RWM_USBDETECTOR_MESSAGE, RWM_MESSAGE_RESULT, RWM_SEND_STATICS, RWM_SEND_STATICS_HIDDEN,
                        RWM_CHANGE_LANGUAGE, RWM_THREAD_START, RWM_LOGIN_PROCESS, RWM_THREAD_END,
                        RWM_EXIT_PROGRAM_CANCEL, RWM_CONFIG_CLOSED};
    for (size_t i = 0; i < 10; ++i) {
        EXPECT_GE(ids[i], 0xC000u);
        for (size_t j = i + 1; j < 10; ++j) EXPECT_NE(ids[i], ids[j]);
    }
    EXPECT_EQ(RegisterWindowMessageW(L"RWM_MESSAGE_RESULT"), RWM_MESSAGE_RESULT);
    EXPECT_EQ(RegisterWindowMessageW(L"RWM_CONFIG_CLOSED"), RWM_CONFIG_CLOSED);
}

TEST(ProgramStrings, StartValues) {
    EXPECT_EQ(g_strCorpCode, CString(L"N"));
    EXPECT_EQ(g_strJoinCorpCode, CString(L"N"));
    EXPECT_TRUE(g_strMessageNumber.IsEmpty());
    EXPECT_EQ(getCorpId(g_strCorpCode), CORP_NONE);
}

TEST(TimeZoneTable, NamesAndAbbreviations) {
    struct Case {
        const wchar_t* zone;
        const wchar_t* abbreviation;
    } cases[] = {
        {L"Korea Standard Time", L"KST"},        {L"korea standard time", L"KST"},
        {L"Pacific Standard Time", L"PST"},      {L"Pitcairn Standard Time", L"PST"},
        {L"China Standard Time", L"CST"},        {L"Coordinated Universal Time", L"UTC"},
        {L"Western Sahara Standard Time", L"WT"}, {L"Anywhere on Earth", L"AoE"},
        {L"Dumont-d'Urville Time", L"DDUT"},     {L"", L""},
        {L"Nowhere Time", L""},
    };
    for (const auto& c : cases) {
        EXPECT_STREQ(findTimeZoneAbbreviation(c.zone).GetString(), c.abbreviation) << c.zone;
    }
    EXPECT_TRUE(g_strTimeZoneTable[438].IsEmpty());
    EXPECT_TRUE(g_strTimeZoneTable[439].IsEmpty());
    EXPECT_EQ(g_strTimeZoneTable[436], CString(L"Yekaterinburg Time"));
}

}  // namespace
