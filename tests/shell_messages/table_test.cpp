// The type table against the lists it was written from, and its texts
// against the language library.
#include "foundation/globalfunc.h"
#include "tests/shell_messages/messages_fixture.h"

#include <set>
#include <vector>

using namespace msg;

namespace {

std::vector<const MessageTypeRow*> rows() {
    std::size_t count = 0;
    const MessageTypeRow* table = messageTypeTable(&count);
    std::vector<const MessageTypeRow*> out;
    for (std::size_t i = 0; i < count; ++i) out.push_back(&table[i]);
    return out;
}

std::set<int> range(int from, int to) {
    std::set<int> out;
    for (int t = from; t <= to; ++t) out.insert(t);
    return out;
}

// Contexts that together reach every branch of the builder that picks texts.
std::vector<MessageContext> branchContexts() {
    std::vector<MessageContext> out;
    for (int region : {REGION_US, REGION_KR}) {
        for (int language : {LANGUAGE_EN, LANGUAGE_KO, LANGUAGE_FR}) {
            for (int brand : {CORP_TS, CORP_LV, CORP_DR}) {
                MessageContext c;
                c.region = region;
                c.language = language;
                c.lastBrand = brand;
                c.params = {{0, L"4"}, {1, L"a"}, {2, L"b"}};
                c.termsLoaded = brand != CORP_DR;
                c.mediumType = [brand] { return CString(brand == CORP_TS ? L"USB" : L"SD"); };
                out.push_back(c);
            }
        }
    }
    out.back().params[0] = L"6";
    return out;
}

}  // namespace

TEST(MessageTypeTable, HoldsTheEightyNineTypesOnceInOrder) {
    std::size_t count = 0;
    const MessageTypeRow* table = messageTypeTable(&count);
    ASSERT_EQ(count, 89u);
    for (std::size_t i = 1; i < count; ++i) EXPECT_LT(table[i - 1].type, table[i].type) << table[i].type;
    // Where the log names a type, the table names it alike.
    int named = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const CString logged = CGlobalFunc::getErrorName(table[i].type);
        if (logged.IsEmpty()) continue;
        ++named;
        EXPECT_TRUE(logged == table[i].name) << table[i].type;
    }
    EXPECT_GT(named, 50);
    for (int type : {10, 73, 999, 1015, 1028, 1037, 1038}) {
        const bool listed = type != 73 && type != 1015 && type != 1038;
        EXPECT_EQ(findMessageType(type) != nullptr, listed) << type;
    }
    std::size_t configCount = 0;
    configMessageTypeTable(&configCount);
    EXPECT_EQ(configCount, 5u);
    EXPECT_EQ(findConfigMessageType(1028)->title.ids[0], 12611);
    EXPECT_TRUE(findMessageType(1028)->title.empty());  // its texts belong to the settings variant
    EXPECT_EQ(findConfigMessageType(1007), nullptr);
}

TEST(MessageTypeTable, IconsFollowTheirLists) {
    std::set<int> error = range(40, 48);
    for (int t : {20, 50, 51, 72, 80}) error.insert(t);
    for (int t : range(90, 96)) error.insert(t);
    for (int t : range(1029, 1037)) error.insert(t);
    std::set<int> warning = {49, 61, 62, 63, 71, 74, 75, 76, 81, 82, 83, 100, 101, 102, 1003, 1016, 1018, 1019};
    for (int t : range(1021, 1025)) warning.insert(t);
    const std::set<int> exitIcon = {201, 202, 1014};
    for (const MessageTypeRow* row : rows()) {
        Icon expected = Icon::None;
        if (error.count(row->type)) expected = Icon::Error;
        if (warning.count(row->type)) expected = Icon::Warning;
        if (exitIcon.count(row->type)) expected = Icon::Exit;
        if (row->type == 60) expected = Icon::Medium;
        EXPECT_EQ(row->icon, expected) << row->type;
    }
}

// Every row in English: each control the row names is used and shows the
// row's texts (a rule may add controls, never drop or change a listed one);
// every type a user can answer has an OK caption.
TEST_F(LanguageTest, EveryRowShowsItsOwnTextsInEnglish) {
    const std::set<int> noButton = {41, 205, 999, 1025, 1028};
    for (const MessageTypeRow* row : rows()) {
        SCOPED_TRACE(row->type);
        const MessageContent content = buildTexts(row->type, context());
        const std::pair<int, TextList> lists[] = {{kHeading, row->heading}, {kTitle, row->title},
                                                   {kSubtitle, row->subtitle}, {kText1, row->text1},
                                                   {kText2, row->text2}, {kText3, row->text3}};
        for (const auto& [control, list] : lists) {
            if (list.empty()) continue;
            ASSERT_TRUE(content.uses(control)) << control;
            CString expected;
            for (int i = 0; i < 3 && list.ids[i]; ++i) {
                if (i) expected += L"\n";
                if (list.ids[i] == kTextSpace) expected += L" ";
                else if (list.ids[i] != kTextEmpty) expected += langText(list.ids[i]);
            }
            if (content.placeholders.empty()) {
                EXPECT_EQ(shown(content, control), expected) << control;
            }
        }
        const std::pair<int, int> captions[] = {{kLink, row->link}, {kCheck, row->check}, {kOk, row->ok},
                                                {kCancel, row->cancel}};
        for (const auto& [control, id] : captions) {
            if (id) EXPECT_EQ(shown(content, control), langText(id)) << control;
        }
        EXPECT_EQ(content.icon, row->icon);
        EXPECT_EQ(content.uses(kOk), !noButton.count(row->type));
        EXPECT_EQ(content.uses(kCheck), row->type == 70);
    }
}

// What the builder can put on a page exists in all three columns of the
// language library, and Korean and Arabic are their own translations.
TEST_F(LanguageTest, EveryTextOfEveryTypeExistsInEnglishKoreanAndArabic) {
    std::set<int> ids = {12060, 12173, 12193, 12333, 12493, 12494, 12002, 12003, 12004, 12313};
    std::vector<MessageContext> contexts = branchContexts();
    for (const MessageTypeRow* row : rows()) {
        for (const MessageContext& c : contexts) {
            for (const auto& [control, texts] : buildTexts(row, c).controls) {
                for (int id : texts.ids) {
                    if (id > 0) ids.insert(id);
                }
            }
        }
    }
    for (MessageContext c : contexts) {
        c.configVariant = true;
        for (int type : {82, 83, 203, 1005, 1028}) {
            for (const auto& [control, texts] : buildTexts(type, c).controls) {
                for (int id : texts.ids) ids.insert(id);
            }
        }
    }
    EXPECT_GT(ids.size(), 240u);
    std::map<int, CString> english;
    ASSERT_TRUE(CLangLibrary::loadLanguage(LANGUAGE_EN));
    for (int id : ids) {
        english[id] = langText(id);
        EXPECT_FALSE(english[id].IsEmpty()) << "English " << id;
    }
    for (int language : {LANGUAGE_KO, LANGUAGE_AR}) {
        ASSERT_TRUE(CLangLibrary::loadLanguage(language));
        for (int id : ids) {
            const CString text = langText(id);
            EXPECT_FALSE(text.IsEmpty()) << language << " " << id;
            // Codes and the brand words may stay Latin; sentences may not.
            if (english[id].GetLength() > 12) EXPECT_NE(text, english[id]) << language << " " << id;
        }
    }
}
