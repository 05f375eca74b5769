#include "shell/messages/message_painter.h"

#include "foundation/code_tables.h"
#include "foundation/globalfunc.h"
#include "shell/message_types.h"
#include "shell/messages/message_layout.h"
#include "ui/gdi_func.h"
#include "ui/memory_canvas.h"

#include <algorithm>

namespace msg {
namespace {

constexpr COLORREF kHeaderBand = 0xDFDFDF;
constexpr COLORREF kHeaderText = 0x69635D;
constexpr COLORREF kDocumentTitle = 0x7D6C5E;
constexpr int kAlignCentre = 1;
constexpr int kAlignNear = 0;
constexpr int kAlignFar = 2;
// Room for the tallest block the page can hold; the block is copied out.
constexpr int kBlockCanvasHeight = 1200;

void fill(HDC dc, const RECT& area, COLORREF colour) {
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &area, brush);
    DeleteObject(brush);
}

void drawPicture(HDC dc, Gdiplus::Image* image, int x, int y, bool mirror) {
    if (!image) return;
    Gdiplus::Graphics graphics(dc);
    const int w = static_cast<int>(image->GetWidth());
    const int h = static_cast<int>(image->GetHeight());
    if (mirror) {
        const Gdiplus::Point corners[3] = {{x + w, y}, {x, y}, {x + w, y + h}};
        graphics.DrawImage(image, corners, 3);
    } else {
        graphics.DrawImage(image, x, y, w, h);
    }
}

const CString& elementText(const PageTexts& t, BlockElement e) {
    switch (e) {
    case BlockElement::Title: return t.title;
    case BlockElement::Subtitle: return t.subtitle;
    case BlockElement::Text1: return t.text[0];
    case BlockElement::Text2: return t.text[1];
    case BlockElement::Text3: return t.text[2];
    case BlockElement::Detail1: return t.detail[0];
    case BlockElement::Detail2: return t.detail[1];
    }
    return t.title;
}

void paintDocuments(HDC dc, int w, const PageState& s) {
    const bool arabic = s.language == LANGUAGE_AR;
    // Document headings stand beside their mark: at the right end under
    // Arabic (the drawing library does not flip a near alignment itself).
    const int headingAlign = arabic ? kAlignFar : kAlignNear;
    const auto picture = [&](int y) {
        if (!s.docImage) return;
        const int x = arabic ? w - 110 - static_cast<int>(s.docImage->GetWidth()) : 110;
        drawPicture(dc, s.docImage, x, y, arabic);
    };
    if (s.type != SERVER_ETC_DATA_CONSENT) {
        picture(84);
        CGlobalFunc::drawRoundBox(dc, 112, 512);
        CGdiFunc::drawText(dc, RECT{120, 79, w - 120, 103}, s.texts.title, s.face, 18, FALSE, kDocumentTitle,
                           headingAlign);
        return;
    }
    const int d = consentPictureOffset(s.language, s.texts.subtitle.GetLength(), s.rootBrand);
    picture(81 + d);
    picture(281 + d);
    CGlobalFunc::drawRoundBox(dc, 122, 242);
    CGlobalFunc::drawRoundBox(dc, 322, 442);
    // A heading moved down keeps its full line: its box moves with it.
    const int e1 = consentHeadingOffset(s.language, s.texts.title.GetLength());
    const int e2 = consentHeadingOffset(s.language, s.texts.subtitle.GetLength());
    CGdiFunc::drawText(dc, RECT{120, 79 + e1, w - 120, 103 + e1}, s.texts.title, s.face, 16, FALSE, kDocumentTitle,
                       headingAlign);
    CGdiFunc::drawText(dc, RECT{120, 279 + e2, w - 120, 303 + e2}, s.texts.subtitle, s.face, 16, FALSE, kDocumentTitle,
                       headingAlign);
}

PaintResult paintTextBlock(HDC dc, int w, const PageState& s) {
    CMemoryCanvas block(dc, w, kBlockCanvasHeight);
    PaintResult out;
    if (!block.valid()) return out;
    block.fill(RGB(255, 255, 255));
    if (s.picture) {
        const int pw = static_cast<int>(s.picture->GetWidth());
        drawPicture(block.dc(), s.picture, s.type == SERVER_ERROR_USB_ZERO ? (w - pw) / 2 : kIconX, 0, false);
    }
    const BlockPlacement placed = placeTextBlock(
        s.type, s.language, s.picture != nullptr, w, [&](BlockElement e) { return !elementText(s.texts, e).IsEmpty(); },
        [&](BlockElement e, const ElementStyle& style, int top) {
            const RECT area{style.left, top, style.right, kBlockCanvasHeight};
            return CGdiFunc::drawTextLines(block.dc(), style.size, elementText(s.texts, e), s.face, kAlignCentre,
                                           style.colour, FALSE, 0, style.size + 8, 0, nullptr, area);
        });
    const int height = std::min(placed.height, kBlockCanvasHeight);
    out.blockTop = textBlockTop(height);
    out.blockBottom = out.blockTop + height;
    BitBlt(dc, 0, out.blockTop, w, height, block.dc(), 0, 0, SRCCOPY);
    return out;
}

}  // namespace

PaintResult paintMessagePage(HDC dc, int w, int h, const PageState& s) {
    fill(dc, RECT{0, 0, w, h}, RGB(255, 255, 255));
    fill(dc, RECT{0, 0, w, 60}, kHeaderBand);
    const int top = headingTop(s.lastBrand);
    CGdiFunc::drawText(dc, RECT{0, top, w, 60}, s.texts.heading, s.face, headingFontSize(s.type, s.language), FALSE,
                       kHeaderText, kAlignCentre);
    if (s.type == SERVER_ERROR_ETC_OPEN_SOURCE_LICENSE || s.type == SERVER_ERROR_ETC_EULA ||
        s.type == SERVER_ETC_DATA_CONSENT) {
        paintDocuments(dc, w, s);
        return PaintResult{};
    }
    return paintTextBlock(dc, w, s);
}

}  // namespace msg
