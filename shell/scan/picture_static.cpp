#include "shell/scan/picture_static.h"

#include "foundation/program_strings.h"
#include "foundation/regsetting.h"
#include "shell/scan/picture_cache.h"
#include "ui/gdi_func.h"

#include <memory>

namespace {

SIZE controlSize(HWND control) {
    RECT r{};
    GetWindowRect(control, &r);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

// A new bitmap of the given size with the source stretched over it.
Gdiplus::Bitmap* stretched(Gdiplus::Bitmap* source, SIZE size) {
    if (!source || size.cx <= 0 || size.cy <= 0) return nullptr;
    // GDI+ cannot draw into an indexed bitmap.
    Gdiplus::PixelFormat format = source->GetPixelFormat();
    if (Gdiplus::IsIndexedPixelFormat(format) || format == PixelFormatUndefined) format = PixelFormat32bppARGB;
    std::unique_ptr<Gdiplus::Bitmap> target(new Gdiplus::Bitmap(size.cx, size.cy, format));
    if (target->GetLastStatus() != Gdiplus::Ok) return nullptr;
    Gdiplus::Graphics graphics(target.get());
    graphics.DrawImage(source, 0, 0, size.cx, size.cy);
    return target.release();
}

// The control keeps showing the bitmap, so it stays alive until it is
// replaced; a static that made a copy of its own (a bitmap with alpha under
// common controls 6) does not need ours.
void handToControl(HWND control, Gdiplus::Bitmap* bitmap) {
    if (!control || !bitmap) return;
    HBITMAP handed = nullptr;
    if (bitmap->GetHBITMAP(Gdiplus::Color(255, 255, 255, 255), &handed) != Gdiplus::Ok || !handed) return;
    HBITMAP previous = reinterpret_cast<HBITMAP>(
        SendMessageW(control, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(handed)));
    if (previous && previous != handed) DeleteObject(previous);
    if (reinterpret_cast<HBITMAP>(SendMessageW(control, STM_GETIMAGE, IMAGE_BITMAP, 0)) != handed)
        DeleteObject(handed);
}

void placePicture(HWND control, const CString& path, UINT brandPicture, bool keepAspect) {
    std::unique_ptr<Gdiplus::Bitmap> cached(loadBitmapFile(path));
    std::unique_ptr<Gdiplus::Bitmap> shown;
    if (cached) {
        const SIZE size = keepAspect ? gpsPictureSize(controlSize(control),
                                                      SIZE{static_cast<LONG>(cached->GetWidth()),
                                                           static_cast<LONG>(cached->GetHeight())})
                                     : vehiclePictureSize(controlSize(control));
        shown.reset(stretched(cached.get(), size));
    }
    // A file GDI+ cannot read: the brand's picture as it is.
    if (!shown) shown.reset(CGdiFunc::loadPngResource(brandPicture));
    handToControl(control, shown.get());
}

}  // namespace

void setPngOnStatic(HWND control, UINT pngId) {
    if (!control || pngId == 0) return;
    std::unique_ptr<Gdiplus::Bitmap> picture(CGdiFunc::loadPngResource(pngId));
    if (!picture) return;
    std::unique_ptr<Gdiplus::Bitmap> shown(stretched(picture.get(), vehiclePictureSize(controlSize(control))));
    handToControl(control, shown.get());
}

void setVehicleImage(HWND control, const InfInfo* entry) {
    const int region = CRegSetting::getRegion();
    const UINT brand = brandVehiclePicture(g_strCorpCode, region);
    const CString path = entry ? getVehicleImagePath(entry) : CString();
    if (path.IsEmpty()) {
        setPngOnStatic(control, brand);
        return;
    }
    placePicture(control, path, brand, false);
}

void setGpsImage(HWND control, const InfInfo* entry) {
    if (!entry) return;
    const UINT brand = brandGpsPicture(g_strCorpCode, CRegSetting::getRegion());
    const CString path = getGpsImagePath(entry);
    if (path.IsEmpty()) {
        setPngOnStatic(control, brand);
        return;
    }
    placePicture(control, path, brand, true);
}

void releaseStaticImage(HWND control) {
    if (!control) return;
    HBITMAP previous = reinterpret_cast<HBITMAP>(SendMessageW(control, STM_SETIMAGE, IMAGE_BITMAP, 0));
    if (previous) DeleteObject(previous);
}
