#pragma once
// GDI+ drawing on which every skinned window paints: PNG skins from the
// program's resources, nine-slice frames, text on one line or broken into
// lines, whole images and parts of image strips. Every function that is
// given a window mirrors its horizontal position inside that window under
// the Arabic interface, so that one set of page coordinates serves both
// reading directions.
#include "afx/string.h"

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <array>
#include <functional>
#include <vector>

class CGdiFunc {
public:
    // ---- set by the application object (or a test main)
    // A token of 0 means GDI+ is not running; no image loads then.
    static void setGdiplusToken(ULONG_PTR token);
    static ULONG_PTR getGdiplusToken();
    // The module whose "PNG" resources loadPngResource reads.
    static void setResourceModule(HMODULE module);
    static HMODULE getResourceModule();
    // Deletes the shared "Arial" family (at exit, before GDI+ shuts down).
    static void deleteSharedFamily();

    // ---- images
    // A new bitmap owned by the caller, or null. The bitmap holds its own
    // copy of the pixels: nothing of the resource or the stream outlives
    // the call.
    static Gdiplus::Bitmap* loadPngResource(UINT id);
    // Frame at the graphics' origin: corners 1:1, edges stretched from one
    // pixel row or column, centre left to the caller.
    static BOOL drawNineSlice(Gdiplus::Graphics* graphics, Gdiplus::Image* image, int width, int height,
                              int left, int right, int top, int bottom);
    static Gdiplus::Status drawImage(HWND window, Gdiplus::Graphics* graphics, Gdiplus::Image* image,
                                     int x, int y, int width, int height);
    // The part (0, sourceTop, sourceWidth, sourceHeight): one frame of a
    // vertical strip.
    static Gdiplus::Status drawImagePart(Gdiplus::Graphics* graphics, HWND window, Gdiplus::Image* image,
                                         const Gdiplus::Rect& destination, int sourceTop, int sourceWidth,
                                         int sourceHeight);

    // ---- text
    static Gdiplus::RectF measureText(Gdiplus::Graphics* graphics, const Gdiplus::Font* font, const CString& text,
                                      int count = -1);
    static std::vector<CString> splitLines(Gdiplus::Graphics* graphics, const Gdiplus::Font* font,
                                           const CString& text, int widthLimit);
    // The text cut to the width with a trailing ellipsis, or unchanged when
    // it fits. Ellipsis trimming of the string format does the same on
    // Windows; Wine's GDI+ only clips, so the one-line drawings cut here.
    // A right-to-left line ends in the ellipsis of text_rules::lineEllipsis.
    static CString fitWithEllipsis(Gdiplus::Graphics* graphics, const Gdiplus::Font* font, const CString& text,
                                   Gdiplus::REAL width, bool rightToLeft = false);
    // One line, cut with an ellipsis (Arabic: right to left, may wrap).
    // Returns the size of the whole text, not of what fitted.
    static SIZE drawText(HDC dc, const RECT& rect, const CString& text, const CString& face, int size, BOOL bold,
                         COLORREF colour, int horizontalAlign);
    static SIZE drawTextInWnd(HWND window, HDC dc, const RECT& rect, const CString& text, const CString& face,
                              int size, BOOL bold, COLORREF colour, int horizontalAlign);
    // One line read left to right in every language (a fixed Latin string):
    // the alignment means left, centre or right on every platform.
    static SIZE drawLeftToRightText(HDC dc, const RECT& rect, const CString& text, const CString& face, int size,
                                    BOOL bold, COLORREF colour, int horizontalAlign);
    // Word-wrapped lines, each in a box of one step (line height plus
    // spacing); lineHeight -1 takes the rectangle's height. Returns the
    // height used; firstLineFree, when given, receives the step less the
    // first line's measured height.
    static int drawTextLines(HDC dc, int size, const CString& text, const CString& face, int horizontalAlign,
                             COLORREF colour, BOOL underline, int verticalAlign, int lineHeight, int lineSpacing,
                             int* firstLineFree, const RECT& rect);
    static int drawTextLinesEx(HDC dc, int size, const CString& text, const CString& face, int horizontalAlign,
                               COLORREF colour, BOOL underline, int verticalAlign, int lineHeight, int lineSpacing,
                               int* firstLineFree, const RECT& rect);
    static int drawTextLinesInWnd(HWND window, HDC dc, int size, const CString& text, const CString& face,
                                  int horizontalAlign, COLORREF colour, BOOL underline, int verticalAlign,
                                  int lineHeight, int lineSpacing, int* firstLineFree, const RECT& rect);
    static int drawTextLinesExInWnd(HWND window, HDC dc, int size, const CString& text, const CString& face,
                                    int horizontalAlign, COLORREF colour, BOOL underline, int verticalAlign,
                                    int lineHeight, int lineSpacing, int* firstLineFree, const RECT& rect);

    // ---- rules behind the drawing, pure so that tests reach them
    struct SlicePiece {
        Gdiplus::Rect source;
        Gdiplus::Rect destination;
    };
    // The eight pieces in drawing order; sizes below 0 become 0.
    static std::array<SlicePiece, 8> nineSlicePieces(int imageWidth, int imageHeight, int width, int height,
                                                     int left, int right, int top, int bottom);
    // splitLines over any width measure (the width of a candidate line).
    static std::vector<CString> splitLinesBy(const CString& text, int widthLimit,
                                             const std::function<int(const CString&)>& measureWidth);
    // The step between two lines. The Ex variant replaces only 20 by 24.
    static int lineStep(int lineHeight, int rectHeight, int lineSpacing, bool ex);
    static RECT mirrorRect(const RECT& rect, int clientWidth);
    static int mirrorX(int x, int width, int clientWidth);
    // The string formats of drawText and drawTextLines.
    static void singleLineFormat(Gdiplus::StringFormat& format, int horizontalAlign, bool rightToLeft);
    static void multiLineFormat(Gdiplus::StringFormat& format, int horizontalAlign, int verticalAlign,
                                bool rightToLeft);

    // ---- helpers of the controls
    static bool isArabic();
    // COLORREF to an opaque GDI+ colour.
    static Gdiplus::Color toColor(COLORREF colour);
    // The face's family, or the shared "Arial" family (not to be deleted:
    // check with isSharedFamily).
    static Gdiplus::FontFamily* familyOf(const CString& face);
    static bool isSharedFamily(const Gdiplus::FontFamily* family);
    // Client width of a window, 0 for none.
    static int clientWidth(HWND window);
};
