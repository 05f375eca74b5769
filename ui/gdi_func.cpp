// Images, shared state and the geometry rules of the drawing functions.
#include "ui/gdi_func.h"

#include "foundation/code_tables.h"
#include "foundation/regsetting.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace {

ULONG_PTR g_gdiplusToken = 0;
HMODULE g_resourceModule = nullptr;
Gdiplus::FontFamily* g_arialFamily = nullptr;

// Stretching a one-pixel row or column with the default wrap mode blends
// its ends with transparent black; tiling keeps the edge colour.
class EdgeAttributes {
public:
    EdgeAttributes() { m_attributes.SetWrapMode(Gdiplus::WrapModeTileFlipXY); }
    Gdiplus::ImageAttributes* get() { return &m_attributes; }

private:
    Gdiplus::ImageAttributes m_attributes;
};

}  // namespace

void CGdiFunc::setGdiplusToken(ULONG_PTR token) { g_gdiplusToken = token; }
ULONG_PTR CGdiFunc::getGdiplusToken() { return g_gdiplusToken; }
void CGdiFunc::setResourceModule(HMODULE module) { g_resourceModule = module; }
HMODULE CGdiFunc::getResourceModule() { return g_resourceModule; }

void CGdiFunc::deleteSharedFamily() {
    delete g_arialFamily;
    g_arialFamily = nullptr;
}

bool CGdiFunc::isArabic() { return CRegSetting::getLanguage() == LANGUAGE_AR; }

Gdiplus::Color CGdiFunc::toColor(COLORREF colour) {
    return Gdiplus::Color(0xFF, GetRValue(colour), GetGValue(colour), GetBValue(colour));
}

Gdiplus::FontFamily* CGdiFunc::familyOf(const CString& face) {
    auto* family = new Gdiplus::FontFamily(face);
    if (family->GetLastStatus() == Gdiplus::Ok && family->IsAvailable()) return family;
    delete family;
    if (!g_arialFamily) g_arialFamily = new Gdiplus::FontFamily(L"Arial");
    return g_arialFamily;
}

bool CGdiFunc::isSharedFamily(const Gdiplus::FontFamily* family) { return family == g_arialFamily; }

int CGdiFunc::clientWidth(HWND window) {
    RECT client{};
    if (!window || !GetClientRect(window, &client)) return 0;
    return client.right - client.left;
}

Gdiplus::Bitmap* CGdiFunc::loadPngResource(UINT id) {
    if (!g_gdiplusToken || !g_resourceModule) return nullptr;
    HRSRC info = FindResourceW(g_resourceModule, MAKEINTRESOURCEW(id), L"PNG");
    if (!info) return nullptr;
    DWORD size = SizeofResource(g_resourceModule, info);
    HGLOBAL resource = LoadResource(g_resourceModule, info);
    const void* bytes = resource ? LockResource(resource) : nullptr;
    if (!size || !bytes) return nullptr;

    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!block) return nullptr;
    void* target = GlobalLock(block);
    if (!target) {
        GlobalFree(block);
        return nullptr;
    }
    memcpy(target, bytes, size);
    GlobalUnlock(block);

    IStream* stream = nullptr;
    // The stream frees the block when it is released.
    if (FAILED(CreateStreamOnHGlobal(block, TRUE, &stream))) {
        GlobalFree(block);
        return nullptr;
    }
    Gdiplus::Bitmap* copy = nullptr;
    {
        Gdiplus::Bitmap decoded(stream);
        if (decoded.GetLastStatus() == Gdiplus::Ok) {
            UINT width = decoded.GetWidth();
            UINT height = decoded.GetHeight();
            copy = new Gdiplus::Bitmap(static_cast<INT>(width), static_cast<INT>(height), PixelFormat32bppARGB);
            Gdiplus::Rect whole(0, 0, static_cast<INT>(width), static_cast<INT>(height));
            Gdiplus::BitmapData data{};
            bool copied = false;
            // The decoder writes straight into our own pixel buffer.
            if (copy->GetLastStatus() == Gdiplus::Ok &&
                copy->LockBits(&whole, Gdiplus::ImageLockModeWrite, PixelFormat32bppARGB, &data) == Gdiplus::Ok) {
                Gdiplus::BitmapData source = data;
                copied = decoded.LockBits(&whole, Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeUserInputBuf,
                                          PixelFormat32bppARGB, &source) == Gdiplus::Ok;
                if (copied) decoded.UnlockBits(&source);
                copy->UnlockBits(&data);
            }
            if (!copied) {
                delete copy;
                copy = nullptr;
            }
        }
    }
    stream->Release();
    return copy;
}

std::array<CGdiFunc::SlicePiece, 8> CGdiFunc::nineSlicePieces(int iw, int ih, int bw, int bh, int l, int r, int t,
                                                              int b) {
    auto span = [](int value) { return std::max(value, 0); };
    int midWidth = span(bw - l - r);
    int midHeight = span(bh - t - b);
    using Gdiplus::Rect;
    return {{
        {Rect(0, 0, l, t), Rect(0, 0, l, t)},
        {Rect(l, 0, 1, t), Rect(l, 0, midWidth, t)},
        {Rect(iw - r, 0, r, t), Rect(bw - r, 0, r, t)},
        {Rect(0, t, l, 1), Rect(0, t, l, midHeight)},
        {Rect(0, ih - b, l, b), Rect(0, bh - b, l, b)},
        {Rect(iw - r, t, r, 1), Rect(bw - r, t, r, midHeight)},
        {Rect(iw - r, ih - b, r, b), Rect(bw - r, bh - b, r, b)},
        {Rect(l, ih - b, 1, b), Rect(l, bh - b, midWidth, b)},
    }};
}

BOOL CGdiFunc::drawNineSlice(Gdiplus::Graphics* graphics, Gdiplus::Image* image, int width, int height, int left,
                             int right, int top, int bottom) {
    if (!image || !graphics) return FALSE;
    EdgeAttributes attributes;
    // Whole source pixels, so that a stretched edge never samples its
    // transparent surroundings.
    Gdiplus::InterpolationMode interpolation = graphics->GetInterpolationMode();
    Gdiplus::PixelOffsetMode offset = graphics->GetPixelOffsetMode();
    graphics->SetInterpolationMode(Gdiplus::InterpolationModeNearestNeighbor);
    graphics->SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
    auto pieces = nineSlicePieces(static_cast<int>(image->GetWidth()), static_cast<int>(image->GetHeight()), width,
                                  height, left, right, top, bottom);
    for (const auto& piece : pieces) {
        if (piece.destination.Width <= 0 || piece.destination.Height <= 0) continue;
        graphics->DrawImage(image, piece.destination, piece.source.X, piece.source.Y, piece.source.Width,
                            piece.source.Height, Gdiplus::UnitPixel, attributes.get());
    }
    graphics->SetInterpolationMode(interpolation);
    graphics->SetPixelOffsetMode(offset);
    return TRUE;
}

int CGdiFunc::mirrorX(int x, int width, int clientWidth) { return clientWidth - x - width; }

RECT CGdiFunc::mirrorRect(const RECT& rect, int clientWidth) {
    RECT mirrored = rect;
    mirrored.left = clientWidth - rect.right;
    mirrored.right = clientWidth - rect.left;
    return mirrored;
}

Gdiplus::Status CGdiFunc::drawImage(HWND window, Gdiplus::Graphics* graphics, Gdiplus::Image* image, int x, int y,
                                    int width, int height) {
    if (!graphics) return Gdiplus::InvalidParameter;
    if (window && isArabic()) x = mirrorX(x, width, clientWidth(window));
    return graphics->DrawImage(image, x, y, width, height);
}

Gdiplus::Status CGdiFunc::drawImagePart(Gdiplus::Graphics* graphics, HWND window, Gdiplus::Image* image,
                                        const Gdiplus::Rect& destination, int sourceTop, int sourceWidth,
                                        int sourceHeight) {
    if (!graphics) return Gdiplus::InvalidParameter;
    Gdiplus::Rect target = destination;
    if (window && isArabic()) target.X = mirrorX(target.X, target.Width, clientWidth(window));
    return graphics->DrawImage(image, target, 0, sourceTop, sourceWidth, sourceHeight, Gdiplus::UnitPixel);
}
