// The image guides' pictures, texts, rectangles and addresses, read as the
// page will read them.
#include "foundation/code_tables.h"
#include "pages/account/image_guide_tables.h"
#include "pages/account/web_guide_rules.h"
#include "tests/webclient/standin_client.h"

#include <gtest/gtest.h>

namespace {

using namespace image_guide;

TEST(ImageGuideTables, PicturesByBrandRegionLanguageAndGuide) {
    struct {
        int type, brand, region, language;
        Pictures expected;
    } cases[] = {
        {0, CORP_TS, REGION_KR, LANGUAGE_KO, {1697, 1690, 1691, 1692, 1696, 1715}},
        {0, 0, REGION_US, LANGUAGE_EN, {1697, 1690, 1691, 1692, 1695, 1715}},
        {0, CORP_DR, REGION_KR, LANGUAGE_KO, {1705, 1698, 1699, 1700, 1704, 1715}},
        {0, CORP_LV, REGION_KR, LANGUAGE_EN, {1713, 1706, 1707, 1708, 1711, 1715}},
        {0, CORP_LV, REGION_US, LANGUAGE_KO, {1758, 1751, 1752, 1753, 1756, 1715}},  // no Korean side picture
        {0, CORP_LV, REGION_CA, LANGUAGE_F1, {1758, 1751, 1752, 1753, 1756, 1715}},
        {17, CORP_LV, REGION_US, LANGUAGE_EN, {1714, 1751, 1752, 1753, 1756, 1715}},
        {17, CORP_DR, REGION_ME, LANGUAGE_AR, {1722, 1698, 1699, 1700, 1703, 1715}},
        {0, CORP_TS, REGION_ME, LANGUAGE_AR, {1719, 1690, 1691, 1692, 1695, 1715}},
        {0, CORP_DR, REGION_ME, LANGUAGE_AR, {1720, 1698, 1699, 1700, 1703, 1715}},
        {0, CORP_LV, REGION_ME, LANGUAGE_AR, {1721, 1706, 1707, 1708, 1711, 1715}},
        {0, CORP_LV, REGION_US, LANGUAGE_AR, {1759, 1751, 1752, 1753, 1756, 1715}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.type << "/" << c.brand << "/" << c.region << "/" << c.language);
        Pictures p{};
        ASSERT_TRUE(picturesFor(c.type, c.brand, c.region, c.language, p));
        EXPECT_EQ(c.expected.main, p.main);
        EXPECT_EQ(c.expected.icon1, p.icon1);
        EXPECT_EQ(c.expected.icon2, p.icon2);
        EXPECT_EQ(c.expected.icon3, p.icon3);
        EXPECT_EQ(c.expected.side, p.side);
        EXPECT_EQ(c.expected.marker, p.marker);
    }
    Pictures none{};
    EXPECT_FALSE(picturesFor(5, CORP_TS, REGION_US, LANGUAGE_EN, none)) << "other guides load no pictures";
}

TEST(ImageGuideTables, TextsAndEmphasis) {
    const Texts model = textsFor(0, REGION_US);
    EXPECT_EQ(12145, model.title);
    EXPECT_EQ(model.t[0], model.t[2]) << "t2 repeats t0";
    EXPECT_EQ(12629, model.t[6]);
    EXPECT_EQ(0, model.t[7]);
    EXPECT_EQ(12632, textsFor(17, REGION_US).t[1]);
    EXPECT_EQ(12632, textsFor(17, REGION_CA).t[1]);
    EXPECT_EQ(12633, textsFor(17, REGION_KR).t[1]);
    EXPECT_EQ(12642, textsFor(17, REGION_KR).t[10]);
    EXPECT_EQ(13363, textsFor(17, REGION_KR).title);
    EXPECT_EQ(12359, textsFor(3, REGION_KR).title);
    EXPECT_EQ(0, textsFor(3, REGION_KR).t[0]);

    struct {
        int region, language;
        bool t2, t3;
    } emphasis[] = {{REGION_US, LANGUAGE_KO, true, false}, {REGION_CA, LANGUAGE_F1, true, true},
                    {REGION_KR, LANGUAGE_KO, false, true}, {REGION_ME, LANGUAGE_AR, false, true}};
    for (const auto& e : emphasis) {
        EXPECT_EQ(e.t2, emphasisFor(e.region, e.language).t2Red) << e.region << "/" << e.language;
        EXPECT_EQ(e.t3, emphasisFor(e.region, e.language).t3Red) << e.region << "/" << e.language;
    }
}

TEST(ImageGuideTables, Rectangles) {
    struct {
        int type, brand, language, index;
        Rect expected;
    } cases[] = {
        {0, CORP_TS, LANGUAGE_EN, 1, {64, 114, 389, 138}},
        {0, CORP_LV, LANGUAGE_ES, 1, {69, 112, 369, 136}},
        {0, CORP_TS, LANGUAGE_F1, 1, {69, 112, 389, 136}},
        {0, CORP_TS, LANGUAGE_AR, 1, {64, 120, 389, 144}},
        {0, CORP_TS, LANGUAGE_DE, 1, {64, 112, 389, 136}},
        {0, CORP_DR, LANGUAGE_RU, 3, {471, 100, 850, 124}},
        {0, CORP_LV, LANGUAGE_F1, 4, {471, 183, 806, 207}},
        {0, CORP_LV, LANGUAGE_ES, 5, {471, 268, 826, 292}},
        {0, CORP_TS, LANGUAGE_RU, 6, {460, 372, 849, 479}},
        {17, CORP_TS, LANGUAGE_KO, 4, {640, 360, 790, 384}},
        {17, CORP_TS, LANGUAGE_F1, 4, {690, 360, 840, 384}},
        {17, CORP_TS, LANGUAGE_DE, 6, {670, 385, 820, 409}},
        {17, CORP_TS, LANGUAGE_DE, 5, {520, 385, 680, 409}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.type << "/" << c.brand << "/" << c.language << " r" << c.index);
        Rect r[7] = {};
        ASSERT_TRUE(rectanglesFor(c.type, c.brand, c.language, r));
        EXPECT_EQ(c.expected.left, r[c.index].left);
        EXPECT_EQ(c.expected.top, r[c.index].top);
        EXPECT_EQ(c.expected.right, r[c.index].right);
        EXPECT_EQ(c.expected.bottom, r[c.index].bottom);
    }
    Rect none[7] = {};
    EXPECT_FALSE(rectanglesFor(9, CORP_TS, LANGUAGE_EN, none));
}

TEST(ImageGuideTables, Addresses) {
    standin::available();
    EXPECT_TRUE(supportAddress(0).IsEmpty());
    const CString luvo = supportAddress(CORP_LV);
    EXPECT_EQ(luvo.GetLength() - 6, luvo.Find(L"/luvo/"));
    if (standin::available()) EXPECT_EQ(0, luvo.Find(standin::config("WEB_MAKER_SITE")));
    EXPECT_STREQ(luvo.GetString(), guideLink(17, CORP_LV, L"US", L"EN").GetString());
    EXPECT_STREQ(luvo.GetString(), guideLink(17, CORP_LV, L"KR", L"KO").GetString()) << "one page in every language";
    EXPECT_NE(-1, supportAddress(CORP_TS).Find(L"/tessaly/"));
    EXPECT_NE(-1, supportAddress(CORP_DR).Find(L"/dravane/"));
    EXPECT_STREQ(web_guide::guideAddress(7, CORP_DR, L"US", L"ES").GetString(),
                 guideLink(7, CORP_DR, L"US", L"ES").GetString());
    EXPECT_TRUE(guideLink(0, CORP_DR, L"US", L"EN").IsEmpty());
    EXPECT_TRUE(guideLink(1, CORP_DR, L"US", L"EN").IsEmpty());
    EXPECT_TRUE(guideLink(18, CORP_DR, L"US", L"EN").IsEmpty());
}

}  // namespace
