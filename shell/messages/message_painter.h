#pragma once
// The message pages draw their texts themselves: a grey header band with the
// heading, then either the centred text block (picture, title, subtitle,
// body texts and detail lines) or the frames and titles of the documents.
// The page's WM_PAINT hands its state to paintMessagePage; the preview in the
// tests does the same without a page.
#include "afx/string.h"

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

namespace msg {

// What a control shows; an empty text is not drawn.
struct PageTexts {
    CString heading, title, subtitle;
    CString text[3];
    CString detail[2];
};

struct PageState {
    int type = 0;
    int language = 0;
    int lastBrand = 0;  // the header's offset
    int rootBrand = 0;  // the document offsets of 1007
    CString face;       // the current font face
    PageTexts texts;
    Gdiplus::Image* picture = nullptr;   // the type's icon or the medium picture
    Gdiplus::Image* docImage = nullptr;  // above each document
};

struct PaintResult {
    int blockTop = 0;     // where the text block went in the page
    int blockBottom = 0;  // B: its bottom, 0 for the document types
};

PaintResult paintMessagePage(HDC dc, int clientWidth, int clientHeight, const PageState& state);

}  // namespace msg
