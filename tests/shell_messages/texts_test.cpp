// The text builder's rules: built error texts, brand words, counts, texts
// chosen by medium type, region, language and brand, and the placeholders.
#include "tests/shell_messages/messages_fixture.h"

#include <stdexcept>
#include <vector>

using namespace msg;

namespace {

struct ErrorCase {
    int type;
    const wchar_t* detail;
    const wchar_t* file;
    const wchar_t* title;  // "%E" stands for text 12313
    int text1[2];
};

CString expand(const wchar_t* pattern) {
    CString out(pattern);
    out.Replace(L"%E", langText(12313).GetString());
    out.Replace(L"%M", L"");  // the direction mark is for Arabic only
    return out;
}

}  // namespace

TEST_F(LanguageTest, ErrorTextsAreBuiltFromTheDetail) {
    const ErrorCase cases[] = {
        {91, L"", L"", L"* %E : ERROR_DOWNLOAD_FILE", {12310, 12312}},
        {92, L"x", L"", L"%E 1 : x", {12310, 12312}},
        {93, L"HTTP 404", L"", L"%E 1 : HTTP 404", {12310, 12312}},
        {95, L"", L"", L"%E : ERR_DOWNLOAD_FAIL", {12309, 0}},
        {95, L"Q", L"", L"%E : ERR_DOWNLOAD_FAIL", {12309, 0}},
        {95, L"ERR_DOWNLOAD", L"", L"%E 6 : ERR_DOWNLOAD", {12309, 0}},
        {95, L"ERR_AG_NUMSPAN", L"", L"%E 5 : ERR_AG_NUMSPAN", {12310, 12311}},
        {95, L"ERR_TIMEOUT", L"", L"%E : ERR_TIMEOUT", {12309, 0}},
        {96, L"", L"", L"* %E : ERR_UNZIP_FAIL", {12318, 12320}},
        {96, L"ERR_UNZIP_FAIL_RENAME", L"", L"%E 4 : ERR_UNZIP_FAIL_RENAME", {12318, 12319}},
        {96, L"ERR_UNZIP_FAIL_MODULE", L"", L"%E 3 : ERR_UNZIP_FAIL_MODULE", {12318, 12320}},
        {96, L"ERR_CRC", L"", L"* %E : ERR_CRC", {12318, 12320}},
        {100, L"ERR_FILE_CRC", L"MAP.001", L"%E 202 : ERR_FILE_CRC (MAP.001)%M", {12303, 12304}},
        {100, L"ERR_COPY", L"a.bin", L"%E 202 : ERR_COPY (a.bin)%M", {12302, 12304}},
        {101, L"ERR_FILE_SIZE", L"b.bin", L"%E 201 : ERR_FILE_SIZE (b.bin)%M", {12302, 12304}},
        {102, L"", L"c.bin", L"%E 204 : ERR_COPY_FAIL", {12303, 12304}},
        {102, L"Z", L"", L"%E 204 : ERR_COPY_FAIL", {12303, 12304}},
        {100, L"ERR_DISK", L"d.bin", L"%E 204 : ERR_DISK", {12303, 12304}},
    };
    for (const ErrorCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.type << " " << static_cast<const char*>(CW2A(c.detail)));
        MessageContext ctx = context();
        ctx.params = {{0, c.detail}, {1, c.file}};
        const MessageContent content = buildTexts(c.type, ctx);
        EXPECT_EQ(shown(content, kTitle), expand(c.title));
        std::vector<int> text1 = {c.text1[0]};
        if (c.text1[1]) text1.push_back(c.text1[1]);
        EXPECT_EQ(content.controls.at(kText1).ids, text1);
        const int heading = c.type >= 100 ? 12300 : c.type == 96 ? 12316 : 12307;
        EXPECT_EQ(content.controls.at(kHeading).ids, std::vector<int>{heading});
        EXPECT_TRUE(content.uses(kSubtitle));
        EXPECT_EQ(content.uses(kLink), c.type == 95);
    }
    // Under Arabic the file name's title ends in a left-to-right mark.
    MessageContext arabic = context(LANGUAGE_AR, REGION_ME);
    arabic.params = {{0, L"ERR_COPY"}, {1, L"a.bin"}};
    EXPECT_EQ(shown(buildTexts(100, arabic), kTitle), expand(L"%E 202 : ERR_COPY (a.bin)") + L"\x200E");
}

TEST_F(LanguageTest, MediumOutsideTheAccountNamesItsBrandAndModel) {
    struct Case {
        const wchar_t* letter;
        int region, language;
        const wchar_t* brandWord;  // text id as text, or empty
        const wchar_t* model;
    } cases[] = {
        {L"V", REGION_US, LANGUAGE_EN, L"12004", L"First"},
        {L"L", REGION_US, LANGUAGE_EN, L"12003", L"First"},
        {L"W", REGION_KR, LANGUAGE_KO, L"12002", L"First"},
        {L"X", REGION_US, LANGUAGE_EN, L"", L"First"},
        {L"", REGION_US, LANGUAGE_EN, L"", L"First"},
        {L"V", REGION_KR, LANGUAGE_EN, L"12004", L"Second"},
        {L"V", REGION_ME, LANGUAGE_AR, L"12004", L"First"},
    };
    for (const Case& c : cases) {
        MessageContext ctx = context(c.language, c.region);
        ctx.params = {{0, c.letter}, {1, L"First"}, {2, L"Second"}};
        const MessageContent content = buildTexts(1000, ctx);
        CString expected = langText(13134);
        const CString word = *c.brandWord ? langText(_wtoi(c.brandWord)) : CString();
        expected.Replace(L"[#Brand#]", word.GetString());
        // Direction marks keep a Latin name in order inside Arabic; elsewhere they would show as gaps.
        const CString model = c.language == LANGUAGE_AR ? CString(L"\x200F\x200E") + c.model + L"\x200E" : CString(c.model);
        expected.Replace(L"[#Model Name#]", model.GetString());
        EXPECT_EQ(shown(content, kText1), expected) << static_cast<const char*>(CW2A(c.letter)) << " " << c.region;
    }
}

TEST_F(LanguageTest, MatchedMediumListsTwoOrThreeVehiclesByCount) {
    const CString wrap = L"\x200F\x200E";
    int language = LANGUAGE_EN;
    auto name = [&](const wchar_t* n) { return language == LANGUAGE_AR ? wrap + n + L"\x200E" : CString(n); };
    struct Case {
        const wchar_t* count;
        int region, language;
        int text;
        std::vector<std::pair<const wchar_t*, const wchar_t*>> names;
    } cases[] = {
        {L"4", REGION_US, LANGUAGE_EN, 13177, {{L"[#A Model#]", L"a1"}, {L"[#B Model#]", L"b1"}}},
        {L"4", REGION_KR, LANGUAGE_EN, 13177, {{L"[#A Model#]", L"a2"}, {L"[#B Model#]", L"b2"}}},
        {L"6", REGION_US, LANGUAGE_EN, 13179, {{L"[#A Model#]", L"a1"}, {L"[#B Model#]", L"b1"}, {L"[#C Model#]", L"c1"}}},
        {L"6", REGION_KR, LANGUAGE_ES, 13179, {{L"[#A Model#]", L"a2"}, {L"[#B Model#]", L"b2"}, {L"[#C Model#]", L"c2"}}},
        {L"4", REGION_ME, LANGUAGE_AR, 13177, {{L"[#A Model#]", L"a1"}, {L"[#B Model#]", L"b1"}}},
        {L"2", REGION_US, LANGUAGE_EN, 0, {}},
        {L"", REGION_US, LANGUAGE_EN, 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << static_cast<const char*>(CW2A(c.count)) << " " << c.region);
        MessageContext ctx = context(c.language, c.region);
        language = c.language;
        ctx.params[0] = c.count;
        if (CString(c.count) == L"4") {
            ctx.params.insert({{1, L"a1"}, {2, L"b1"}, {3, L"a2"}, {4, L"b2"}});
        } else {
            ctx.params.insert({{1, L"a1"}, {2, L"b1"}, {3, L"c1"}, {4, L"a2"}, {5, L"b2"}, {6, L"c2"}});
        }
        const MessageContent content = buildTexts(1002, ctx);
        EXPECT_TRUE(content.uses(kHeading));
        EXPECT_TRUE(content.uses(kOk));
        EXPECT_FALSE(content.uses(kTitle));
        if (!c.text) {
            EXPECT_FALSE(content.uses(kText1));
            continue;
        }
        CString expected = langText(c.text);
        for (const auto& [placeholder, value] : c.names) expected.Replace(placeholder, name(value).GetString());
        EXPECT_EQ(shown(content, kText1), expected);
    }
}

TEST_F(LanguageTest, MediumQuestionsFollowTheVehiclesMediumType) {
    struct Case {
        int type;
        std::function<CString()> medium;
        int heading, title;
    } cases[] = {
        {1016, nullptr, 12349, 12350},
        {1016, [] { return CString(); }, 12349, 12350},
        {1016, [] { return CString(L"SD"); }, 12349, 12350},
        {1016, [] { return CString(L"USB"); }, 12348, 12351},
        {1016, []() -> CString { throw std::runtime_error("no entry"); }, 12349, 12350},
        {1018, nullptr, 12354, 12355},
        {1018, [] { return CString(L"SD"); }, 12354, 12355},
        {1018, [] { return CString(L"USB"); }, 12348, 12356},
        {1018, []() -> CString { throw std::runtime_error("no entry"); }, 12354, 12355},
    };
    int row = 0;
    for (const Case& c : cases) {
        MessageContext ctx = context();
        ctx.mediumType = c.medium;
        const MessageContent content = buildTexts(c.type, ctx);
        EXPECT_EQ(content.controls.at(kHeading).ids, std::vector<int>{c.heading}) << row;
        EXPECT_EQ(content.controls.at(kTitle).ids, std::vector<int>{c.title}) << row;
        EXPECT_TRUE(content.clearDestIsDrive);
        EXPECT_TRUE(content.uses(kCancel));
        ++row;
    }
}

TEST_F(LanguageTest, TextsChosenByRegionLanguageAndBrand) {
    struct Case {
        int type, region, language, brand;
        int control;
        std::vector<int> ids;  // empty: the control is not used
    } cases[] = {
        {1008, REGION_US, LANGUAGE_EN, CORP_TS, kTitle, {12095, 12621}},
        {1009, REGION_US, LANGUAGE_EN, CORP_TS, kTitle, {12095, 12622}},
        {1010, REGION_US, LANGUAGE_EN, CORP_TS, kTitle, {12095, 12623}},
        {1008, REGION_US, LANGUAGE_EN, CORP_TS, kOk, {12103}},
        {1008, REGION_US, LANGUAGE_EN, CORP_TS, kCancel, {12104}},
        {1008, REGION_KR, LANGUAGE_KO, CORP_TS, kTitle, {13097}},
        {1008, REGION_KR, LANGUAGE_KO, CORP_TS, kOk, {12174}},
        {1008, REGION_KR, LANGUAGE_KO, CORP_TS, kCancel, {}},
        {1009, REGION_CA, LANGUAGE_EN, CORP_TS, kTitle, {13096}},
        {1010, REGION_KR, LANGUAGE_KO, CORP_TS, kTitle, {13101}},
        {1010, REGION_KR, LANGUAGE_KO, CORP_TS, kCancel, {12104}},
        {80, REGION_US, LANGUAGE_EN, CORP_TS, kText2, {14224}},
        {80, REGION_US, LANGUAGE_FR, CORP_TS, kText2, {13224}},
        {80, REGION_US, LANGUAGE_RU, CORP_TS, kText2, {13224}},
        {80, REGION_US, LANGUAGE_IT, CORP_TS, kText2, {13224}},
        {80, REGION_US, LANGUAGE_ES, CORP_TS, kText2, {14224}},
        {1023, REGION_US, LANGUAGE_RU, CORP_TS, kText2, {14245}},
        {1023, REGION_US, LANGUAGE_F1, CORP_TS, kText2, {13245}},
        {1023, REGION_US, LANGUAGE_KO, CORP_TS, kText2, {14245}},
        {1021, REGION_US, LANGUAGE_EN, CORP_TS, kTitle, {12085}},
        {1021, REGION_US, LANGUAGE_EN, CORP_DR, kText1, {13087}},
        {1021, REGION_US, LANGUAGE_EN, CORP_LV, kText1, {13089}},
        {1021, REGION_US, LANGUAGE_EN, CORP_NONE, kTitle, {}},
    };
    for (const Case& c : cases) {
        const MessageContent content = buildTexts(c.type, context(c.language, c.region, c.brand));
        const auto it = content.controls.find(c.control);
        const std::vector<int> got = it == content.controls.end() ? std::vector<int>() : it->second.ids;
        EXPECT_EQ(got, c.ids) << c.type << " region " << c.region << " language " << c.language << " brand "
                              << c.brand << " control " << c.control;
    }
}

TEST_F(LanguageTest, PlaceholdersTakeTheirParameters) {
    struct Case {
        int type;
        int control;
        std::vector<std::pair<const wchar_t*, const wchar_t*>> values;  // placeholder -> value
    } cases[] = {
        {75, kTitle, {{L"[#Remaining Space#]", L"1.2 GB"}, {L"[#Required Space#]", L"3.4 GB"}}},
        {63, kTitle, {{L"[#Remaining Space#]", L"1.2 GB"}, {L"[#Required Space#]", L"3.4 GB"}}},
        {74, kTitle, {{L"[#Remaining Space#]", L"1.2 GB"}, {L"[#Required Space#]", L"3.4 GB"}}},
        {76, kText1, {{L"[#Number#]", L"17"}}},
        {81, kText1, {{L"[#Number#]", L"17"}}},
        {1004, kTitle, {{L"[#Region#]", L"1.2 GB"}}},
        {1013, kTitle, {{L"[#Drive Name#]", L"1.2 GB"}}},
        {1026, kTitle, {{L"[#Brand#]", L"1.2 GB"}}},
        {1027, kTitle, {{L"[#Brand#]", L"1.2 GB"}}},
    };
    for (bool set : {true, false}) {
        for (const Case& c : cases) {
            MessageContext ctx = context();
            if (set) {
                ctx.params = {{0, L"1.2 GB"}, {1, L"3.4 GB"}};
                ctx.messageNumber = L"17";
            }
            const MessageContent content = buildTexts(c.type, ctx);
            CString expected;
            for (int id : content.controls.at(c.control).ids) {
                if (!expected.IsEmpty()) expected += L"\n";
                expected += langText(id);
            }
            ASSERT_NE(expected.Find(c.values.front().first), -1) << c.type;
            for (const auto& [placeholder, value] : c.values) expected.Replace(placeholder, set ? value : L"");
            EXPECT_EQ(shown(content, c.control), expected) << c.type << (set ? " set" : " never set");
        }
    }
}

TEST_F(LanguageTest, FolderAndDocumentTypesPrepareTheirControls) {
    MessageContext ctx = context(LANGUAGE_EN, REGION_US, CORP_DR);
    ctx.dataPath = L"C:/Kestrune/Download";
    ctx.params = {{0, L"Finished"}};

    MessageContent row = buildTexts(1012, ctx);
    EXPECT_EQ(row.folderBox, FolderBox::Row);
    EXPECT_EQ(row.folderPath, L"C:\\Kestrune\\Download");
    EXPECT_EQ(row.folderMaxChars, 255);
    EXPECT_EQ(row.changeFolderCaption, 12193);

    MessageContent box = buildTexts(83, ctx);
    EXPECT_EQ(box.folderBox, FolderBox::Path);
    EXPECT_EQ(box.folderPath, L"C:/Kestrune/Download");
    EXPECT_TRUE(box.folderCentred);
    ctx.configVariant = true;
    box = buildTexts(83, ctx);
    EXPECT_FALSE(box.folderCentred);  // the settings variant's box is left-aligned
    EXPECT_EQ(box.folderFontSize, 15);
    EXPECT_EQ(buildTexts(1028, ctx).controls.at(kTitle).ids, std::vector<int>{12611});
    EXPECT_TRUE(buildTexts(1007, ctx).controls.empty());  // not a type of the settings variant
    ctx.configVariant = false;

    EXPECT_EQ(shown(buildTexts(1006, ctx), kText1), L" \n" + langText(12108));
    EXPECT_EQ(shown(buildTexts(1017, ctx), kTitle), L"Finished");
    const MessageContent empty42 = buildTexts(42, ctx);
    EXPECT_TRUE(empty42.uses(kText1));
    EXPECT_EQ(shown(empty42, kText1), L"");

    EXPECT_EQ(buildTexts(204, ctx).document, Document::Terms);
    EXPECT_FALSE(buildTexts(204, ctx).uses(kText1));
    ctx.termsLoaded = false;
    EXPECT_EQ(buildTexts(204, ctx).controls.at(kText1).ids, std::vector<int>{13407});

    const MessageContent consent = buildTexts(1007, ctx);
    EXPECT_EQ(consent.document, Document::Consent);
    EXPECT_TRUE(consent.consentDefaults);
    EXPECT_EQ(consent.controls.at(kText2).ids, std::vector<int>{13408});

    const MessageContent open = buildTexts(1020, ctx);
    EXPECT_TRUE(open.openFolderButton);
    EXPECT_EQ(open.changeFolderCaption, 12333);
    EXPECT_TRUE(buildTexts(205, ctx).startWaiting);

    const MessageContent detail = buildTexts(10, MessageContext{ctx.language, ctx.region, ctx.lastBrand,
                                                               {{0, L""}, {1, L"E:\\MAP"}}});
    EXPECT_FALSE(detail.uses(kDetail1));
    EXPECT_EQ(detail.controls.at(kDetail2).value, L"E:\\MAP");
}

TEST_F(LanguageTest, LinksAndOwnButtonSizes) {
    const MessageContent language = buildTexts(51, context());
    EXPECT_EQ(language.linkIconCaption, 12060);
    EXPECT_TRUE(language.linkFlag);
    EXPECT_FALSE(language.linkUrlAtOnce);
    EXPECT_TRUE(buildTexts(94, context()).linkUrlAtOnce);
    EXPECT_EQ(buildTexts(72, context()).linkIconCaption, 12173);
    EXPECT_EQ(buildTexts(47, context()).linkIconCaption, 0);

    struct Case {
        int type, language, brand, size;
    } cases[] = {
        {81, LANGUAGE_KO, CORP_DR, 24}, {81, LANGUAGE_KO, CORP_TS, 0}, {81, LANGUAGE_EN, CORP_TS, 22},
        {1006, LANGUAGE_AR, CORP_LV, 22}, {1006, LANGUAGE_KO, CORP_DR, 24}, {83, LANGUAGE_EN, CORP_TS, 0},
        {1005, LANGUAGE_KO, CORP_TS, 24}, {1005, LANGUAGE_DE, CORP_DR, 22}, {20, LANGUAGE_EN, CORP_TS, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(buildTexts(c.type, context(c.language, REGION_US, c.brand)).okCancelFontSize, c.size)
            << c.type << " " << c.language << " " << c.brand;
    }
}

TEST(MessageRepeat, OnlyTheSameTypeAndRequesterRepeats) {
    EXPECT_TRUE(isRepeat(10, 10, true));
    EXPECT_TRUE(isRepeat(204, 204, true));
    EXPECT_FALSE(isRepeat(10, 10, false));
    EXPECT_FALSE(isRepeat(10, 90, true));
    for (int always : {20, 47, 100}) EXPECT_FALSE(isRepeat(always, always, true)) << always;
    for (int type : {10, 90, 91, 92, 93, 101, 102}) EXPECT_TRUE(refreshesDetailLines(type)) << type;
    for (int type : {95, 96, 100, 204}) EXPECT_FALSE(refreshesDetailLines(type)) << type;
}
