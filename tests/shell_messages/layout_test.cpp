// Fonts, positions and the text block of the message pages as tables.
#include "foundation/code_tables.h"
#include "shell/messages/message_layout.h"
#include "shell/messages/message_type_table.h"

#include <gtest/gtest.h>

#include <map>

using namespace msg;

namespace {

void PrintTo(const Box& b, std::ostream* os) { *os << "(" << b.x << ", " << b.y << ", " << b.w << "x" << b.h << ")"; }

}  // namespace

TEST(MessageFonts, ButtonSizesByCaptionLength) {
    const struct {
        int length, ok, cancel, config;
    } cases[] = {
        {0, 22, 22, 22},  {15, 22, 22, 22}, {16, 18, 18, 18}, {20, 18, 18, 18},
        {21, 16, 18, 18}, {22, 16, 18, 18}, {23, 14, 14, 14}, {60, 14, 14, 14},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(okFontSize(c.length), c.ok) << c.length;
        EXPECT_EQ(cancelFontSize(c.length), c.cancel) << c.length;
        EXPECT_EQ(configButtonFontSize(c.length), c.config) << c.length;
    }
}

TEST(MessageLayout, ButtonsRadiosAndFolderControls) {
    const int w = kPageWidth, h = kPageHeight;
    EXPECT_EQ(buttonBoxes(10, false, w, h).ok, (Box{350, 520, 200, 50}));
    for (int document : {203, 204, 1007}) EXPECT_EQ(buttonBoxes(document, false, w, h).ok, (Box{350, 530, 200, 50}));
    const ButtonBoxes pair = buttonBoxes(20, true, w, h);
    EXPECT_EQ(pair.ok, (Box{245, 520, 200, 50}));
    EXPECT_EQ(pair.cancel, (Box{455, 520, 200, 50}));
    EXPECT_EQ(openFolderBoxes(w, h).cancel, pair.cancel);
    EXPECT_EQ(removeDownloadsTitleBox(w), (Box{200, 100, 240, 60}));

    const std::map<int, Box> radios = {{kRadioYes1, {110, 253, 200, 20}},
                                       {kRadioNo1, {360, 253, 200, 20}},
                                       {kRadioYes2, {110, 453, 200, 20}},
                                       {kRadioNo2, {360, 453, 200, 20}}};
    for (const auto& [id, box] : radios) EXPECT_EQ(radioBox(id), box) << id;

    const struct {
        int type, pathLength;
        Box box;
    } folders[] = {
        {1006, 30, {20, 370, 860, 20}}, {83, 20, {360, 455, 180, 20}}, {83, 200, {20, 455, 860, 20}},
        {81, 30, {90, 324, 570, 20}},   {1012, 30, {90, 324, 570, 20}},
    };
    for (const auto& f : folders) EXPECT_EQ(folderPathBox(f.type, f.pathLength, w), f.box) << f.type;
    EXPECT_EQ(folderFieldBox(), (Box{80, 314, 590, 40}));
    EXPECT_EQ(changeFolderBox(), (Box{680, 314, 140, 40}));

    EXPECT_EQ(firstOpenFolderBox(LANGUAGE_EN, 20, w), (Box{360, 370, 860, 20}));
    EXPECT_EQ(firstOpenFolderBox(LANGUAGE_ES, 20, w), (Box{380, 320, 860, 20}));
    EXPECT_EQ(firstOpenFolderBox(LANGUAGE_KO, 120, w), (Box{5, 370, 860, 20}));
}

TEST(MessageLayout, CheckBoxAndLinkByLanguageAndBrand) {
    EXPECT_EQ(checkBoxBox(100, LANGUAGE_KO), (Box{110, 460, 128, 24}));
    EXPECT_EQ(checkBoxBox(100, LANGUAGE_PT), (Box{110, 460, 236, 24}));
    EXPECT_EQ(checkBoxBox(100, LANGUAGE_EN), (Box{110, 460, 340, 24}));

    const struct {
        int language, brand, type, width;
    } links[] = {
        {LANGUAGE_KO, CORP_TS, 47, 100 + 5 + 15 - 22}, {LANGUAGE_KO, CORP_DR, 47, 105 - 20},
        {LANGUAGE_EN, CORP_TS, 47, 120 + 20},          {LANGUAGE_EN, CORP_DR, 47, 105 + 35},
        {LANGUAGE_FR, CORP_TS, 47, 125 + 15 - 15},     {LANGUAGE_FR, CORP_LV, 47, 140 - 10},
        {LANGUAGE_FR, CORP_DR, 47, 125},               {LANGUAGE_F1, CORP_TS, 47, 120 + 20},
        {LANGUAGE_F1, CORP_DR, 47, 105 + 40},          {LANGUAGE_ES, CORP_TS, 47, 120 + 10},
        {LANGUAGE_ES, CORP_LV, 47, 120 + 25},          {LANGUAGE_RU, CORP_DR, 47, 60 - 5},
        {LANGUAGE_RU, CORP_TS, 47, 75 - 5},            {LANGUAGE_AR, CORP_TS, 47, 140 - 20},
        {LANGUAGE_AR, CORP_LV, 95, 140 - 25},          {LANGUAGE_AR, CORP_DR, 47, 125 - 65},
        {LANGUAGE_AR, CORP_DR, 95, 125 - 60},          {LANGUAGE_DE, CORP_DR, 47, 105},
    };
    for (const auto& l : links) {
        EXPECT_EQ(linkWidth(100, l.language, l.brand, l.type), l.width) << l.language << " " << l.brand;
    }
    EXPECT_EQ(linkBox(100, LANGUAGE_DE, CORP_DR, 47, 300, kPageWidth), (Box{397, 330, 105, 24}));
}

// The widths above are the tuned ones; a box never ends inside its caption
// nor outside the page, whatever the tuning says.
TEST(MessageLayout, CheckBoxAndLinkHoldTheirMeasuredCaption) {
    const struct {
        int language, brand, caption, linkWidth;
    } links[] = {
        {LANGUAGE_KO, CORP_DR, 100, 104},  // tuned 85
        {LANGUAGE_RU, CORP_TS, 100, 104},  // tuned 70
        {LANGUAGE_AR, CORP_DR, 100, 104},  // tuned 60
        {LANGUAGE_EN, CORP_DR, 100, 140},  // tuned wider: kept
        {LANGUAGE_EN, CORP_DR, 1000, 880},  // longer than the page: page less margins
    };
    for (const auto& l : links) {
        Box box = linkBox(l.caption, l.language, l.brand, 47, 300, kPageWidth);
        EXPECT_EQ(box.w, l.linkWidth) << l.language << " " << l.brand;
        EXPECT_EQ(box.x, (kPageWidth - box.w) / 2);
    }
    EXPECT_EQ(checkBoxBox(400, LANGUAGE_EN).w, 428) << "English's fixed 340 cut a long caption";
    EXPECT_EQ(checkBoxBox(100, LANGUAGE_EN).w, 340);
    EXPECT_EQ(checkBoxBox(900, LANGUAGE_KO).w, kPageWidth - 110 - 10);
}

TEST(MessageLayout, FolderControlsFollowTheTextBlock) {
    FolderAfterDrawing row = folderAfterDrawing(1012, 400, LANGUAGE_AR);
    EXPECT_TRUE(row.row);
    EXPECT_EQ(row.field, (Box{80, 412, 590, 40}));
    EXPECT_EQ(row.button, (Box{680, 412, 140, 40}));
    EXPECT_EQ(row.path, (Box{90, 422, 570, 20}));
    EXPECT_TRUE(row.rightAligned);
    EXPECT_FALSE(folderAfterDrawing(1012, 400, LANGUAGE_EN).rightAligned);
    EXPECT_EQ(folderAfterDrawing(81, 400, LANGUAGE_EN).path, (Box{20, 344, 860, 20}));
    EXPECT_EQ(folderAfterDrawing(1006, 400, LANGUAGE_EN).path, (Box{20, 344, 860, 20}));
    EXPECT_EQ(folderAfterDrawing(83, 400, LANGUAGE_EN).path, (Box{20, 412, 860, 20}));
    EXPECT_FALSE(folderAfterDrawing(20, 400, LANGUAGE_EN).shown);
}

TEST(MessageLayout, HeaderDocumentsAndOkImage) {
    EXPECT_EQ(headingFontSize(83, LANGUAGE_IT), 20);
    EXPECT_EQ(headingFontSize(83, LANGUAGE_EN), 22);
    EXPECT_EQ(headingFontSize(20, LANGUAGE_IT), 22);
    EXPECT_EQ(headingTop(CORP_TS), 8);
    EXPECT_EQ(headingTop(CORP_DR), 4);
    EXPECT_EQ(consentPictureOffset(LANGUAGE_EN, 10, CORP_TS), 0);
    EXPECT_EQ(consentPictureOffset(LANGUAGE_KO, 60, CORP_TS), 9);
    EXPECT_EQ(consentPictureOffset(LANGUAGE_KO, 60, CORP_LV), 12);
    EXPECT_EQ(consentPictureOffset(LANGUAGE_KO, 61, CORP_LV), 0);
    EXPECT_EQ(consentHeadingOffset(LANGUAGE_KO, 60), 10);
    EXPECT_EQ(consentHeadingOffset(LANGUAGE_KO, 61), 0);
    EXPECT_EQ(consentHeadingOffset(LANGUAGE_EN, 5), 0);
    EXPECT_EQ(okButtonImage(CORP_DR, REGION_US), 470);
    EXPECT_EQ(okButtonImage(CORP_LV, REGION_US), 1736);
    EXPECT_EQ(okButtonImage(CORP_LV, REGION_CA), 1736);
    EXPECT_EQ(okButtonImage(CORP_LV, REGION_KR), 471);
    EXPECT_EQ(okButtonImage(CORP_TS, REGION_KR), 469);
    EXPECT_EQ(okButtonImage(CORP_NONE, REGION_KR), 469);
}

TEST(MessageTextBlock, StylesByTypeAndLanguage) {
    const struct {
        BlockElement element;
        int type, language, gap, size;
        COLORREF colour;
    } cases[] = {
        {BlockElement::Title, 20, LANGUAGE_EN, 30, 20, 0x7D6C5E},
        {BlockElement::Title, 44, LANGUAGE_RU, 30, 18, 0x7D6C5E},
        {BlockElement::Title, 44, LANGUAGE_EN, 30, 20, 0x7D6C5E},
        {BlockElement::Title, 1012, LANGUAGE_EN, 30, 19, 0x7D6C5E},
        {BlockElement::Title, 1006, LANGUAGE_AR, 30, 19, 0x7D6C5E},
        {BlockElement::Title, 92, LANGUAGE_EN, 30, 20, 0x0000CB},
        {BlockElement::Subtitle, 102, LANGUAGE_EN, 15, 20, 0x7D6C5E},
        {BlockElement::Subtitle, 84, LANGUAGE_EN, 30, 20, 0x7D6C5E},
        {BlockElement::Text1, 20, LANGUAGE_DE, 30, 15, 0x7D6C5E},
        {BlockElement::Text1, 61, LANGUAGE_FR, 30, 15, 0x7D6C5E},
        {BlockElement::Text1, 61, LANGUAGE_DE, 30, 16, 0x7D6C5E},
        {BlockElement::Text1, 1000, LANGUAGE_EN, 30, 19, 0x7D6C5E},
        {BlockElement::Text1, 1002, LANGUAGE_EN, 30, 20, 0x7D6C5E},
        {BlockElement::Text2, 1000, LANGUAGE_EN, 30, 20, 0x7D6C5E},
        {BlockElement::Text3, 46, LANGUAGE_EN, 30, 16, 0x383838},
        {BlockElement::Detail1, 90, LANGUAGE_EN, 30, 16, 0x7D6C5E},
        {BlockElement::Detail2, 10, LANGUAGE_EN, 30, 16, 0x7D6C5E},
    };
    for (const auto& c : cases) {
        const ElementStyle s = elementStyle(c.element, c.type, c.language, kPageWidth);
        EXPECT_EQ(s.gap, c.gap) << c.type << " " << static_cast<int>(c.element);
        EXPECT_EQ(s.size, c.size) << c.type << " " << static_cast<int>(c.element);
        EXPECT_EQ(s.colour, c.colour) << c.type << " " << static_cast<int>(c.element);
    }
    EXPECT_EQ(elementStyle(BlockElement::Text1, 1000, LANGUAGE_EN, kPageWidth).left, 1);
    EXPECT_EQ(elementStyle(BlockElement::Text1, 20, LANGUAGE_EN, kPageWidth).right, kPageWidth - 10);
}

// Tops and heights for a fixed measurement: every element 24 high, the
// subtitle 0 (it reports no height).
TEST(MessageTextBlock, PlacesElementsBelowTheIconWithGapsAndAdvances) {
    const auto measure = [](BlockElement e, const ElementStyle&, int) { return e == BlockElement::Subtitle ? 0 : 24; };
    const auto titleSubtitleText = [](BlockElement e) {
        return e == BlockElement::Title || e == BlockElement::Subtitle || e == BlockElement::Text1;
    };
    BlockPlacement icon = placeTextBlock(20, LANGUAGE_EN, true, kPageWidth, titleSubtitleText, measure);
    EXPECT_EQ(icon.top[0], 110 + 30);
    EXPECT_EQ(icon.top[1], 140 + 24 + 30);  // a title of one line still advances its own height
    EXPECT_EQ(icon.top[2], 194 + 30);       // the subtitle drew nothing: its gap only
    EXPECT_EQ(icon.top[3], -1);
    EXPECT_EQ(icon.height, 224 + 24);
    EXPECT_EQ(textBlockTop(icon.height), (445 - 248) / 2 + 70);

    const BlockPlacement plain = placeTextBlock(84, LANGUAGE_EN, false, kPageWidth, titleSubtitleText, measure);
    EXPECT_EQ(plain.top[0], 30);

    // 1012 keeps room for the folder row where its body text would be.
    const BlockPlacement row = placeTextBlock(1012, LANGUAGE_EN, false, kPageWidth, titleSubtitleText, measure);
    EXPECT_EQ(row.top[2], -1);
    EXPECT_EQ(row.height, 30 + 24 + 30 + 135);

    // A text of three lines under 56 pixels is not run over by the next one.
    const auto tall = [](BlockElement, const ElementStyle&, int) { return 54; };
    const auto texts = [](BlockElement e) { return e == BlockElement::Text1 || e == BlockElement::Text2; };
    const BlockPlacement lines = placeTextBlock(49, LANGUAGE_EN, false, kPageWidth, texts, tall);
    EXPECT_GE(lines.top[3] - lines.top[2], 54);
    // Short texts take at least a line.
    EXPECT_EQ(elementAdvance(BlockElement::Text1, 20, 10), 16);
    EXPECT_EQ(elementAdvance(BlockElement::Title, 20, 10), 20);
    EXPECT_EQ(elementAdvance(BlockElement::Text1, 1002, 10), 20);
    EXPECT_EQ(elementAdvance(BlockElement::Text1, 20, 0), 0);
}

TEST(MessageLayout, ArabicMirrorsEveryPlacedBox) {
    const Box boxes[] = {buttonBoxes(20, true, kPageWidth, kPageHeight).ok, radioBox(kRadioYes1), checkBoxBox(100, LANGUAGE_AR),
                         folderFieldBox(), changeFolderBox(), folderPathBox(1006, 10, kPageWidth)};
    for (const Box& b : boxes) {
        const Box ar = mirrored(b, kPageWidth, LANGUAGE_AR);
        EXPECT_EQ(ar.x, kPageWidth - b.x - b.w);
        EXPECT_EQ(ar.y, b.y);
        EXPECT_EQ(ar.w, b.w);
        EXPECT_EQ(mirrored(b, kPageWidth, LANGUAGE_EN), b);
    }
    // OK and Cancel change sides; the radios' yes goes right.
    const ButtonBoxes pair = buttonBoxes(20, true, kPageWidth, kPageHeight);
    EXPECT_EQ(mirrored(pair.ok, kPageWidth, LANGUAGE_AR), pair.cancel);
    EXPECT_EQ(mirrored(radioBox(kRadioYes1), kPageWidth, LANGUAGE_AR).x, 590);
    EXPECT_EQ(mirrored(changeFolderBox(), kPageWidth, LANGUAGE_AR).x, 80);
}

TEST(MessageLayout, RefreshPlacesEveryControlOnce) {
    const std::vector<PlacedControl> alone = refreshLayout(83, false, 20, kPageWidth, kPageHeight);
    std::map<int, Box> boxes;
    for (const PlacedControl& p : alone) EXPECT_TRUE(boxes.emplace(p.control, p.box).second) << p.control;
    EXPECT_EQ(boxes.count(kCancel), 0u);
    EXPECT_EQ(boxes.at(kOk), (Box{350, 520, 200, 50}));
    EXPECT_EQ(boxes.at(kFolderPath), (Box{360, 455, 180, 20}));
    EXPECT_EQ(boxes.at(kBrowser), (Box{0, 0, 0, 0}));
    EXPECT_EQ(boxes.at(kRadioNo2), (Box{360, 453, 200, 20}));

    boxes.clear();
    for (const PlacedControl& p : refreshLayout(1005, true, 20, kPageWidth, kPageHeight)) boxes[p.control] = p.box;
    EXPECT_EQ(boxes.at(kCancel), (Box{455, 520, 200, 50}));
    EXPECT_EQ(boxes.at(kTitle), (Box{200, 100, 240, 60}));

    const std::map<int, int> pooled = [] {
        std::map<int, int> m;
        for (const auto& [control, size] : buttonFontSizes(21, 21, false)) m[control] = size;
        return m;
    }();
    EXPECT_EQ(pooled.at(kOk), 16);
    EXPECT_EQ(pooled.at(kCancel), 18);
    EXPECT_EQ(pooled.at(kLink), 16);
    EXPECT_EQ(pooled.at(kChangeFolder), 18);
    for (const auto& [control, size] : buttonFontSizes(21, 21, true)) {
        if (control == kOk) EXPECT_EQ(size, 18);
    }
}
