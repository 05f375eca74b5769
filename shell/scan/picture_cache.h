#pragma once
// The vehicle and navigation-unit pictures of the login reply: cached in two
// hidden folders under the application data ("Kestrune\VehicleImages",
// "Kestrune\GPSImages"), downloaded once, the brand's own picture in their
// place when there is none. Runs on the calling thread; a download blocks it.
#include "descriptors/inf_info.h"

#include <windows.h>

namespace Gdiplus {
class Bitmap;
}

// A name from the reply is used only as a plain file name: no separators,
// "..", ":", control characters or device names such as "CON" or "lpt1.png".
bool isPlainPictureName(const CString& name);

// The entry's picture base URL and file name joined as one address with "/".
CString pictureAddress(const CString& baseUrl, const CString& fileName);

// The cached file of the entry's picture, downloaded when missing; empty
// when the entry has none, the name is refused or the download failed (a
// stage 2 statistics record then names the address).
CString getVehicleImagePath(const InfInfo* entry);
CString getGpsImagePath(const InfInfo* entry);

// Downloads url into a temporary file beside localPath and renames it into
// place only when the whole body came, so that neither a cut download nor a
// second caller fetching the same picture leaves a partial file; a file that
// appeared meanwhile is kept. True when localPath then holds the picture.
bool get_remote_image(const CString& url, const CString& localPath);

// The skin pictures shown when an entry has no usable picture, by the
// session's brand code and the region.
UINT brandVehiclePicture(const CString& corpCode, int region);
UINT brandGpsPicture(const CString& corpCode, int region);

// A cached picture is drawn one pixel beyond the control on every side; a
// navigation-unit picture keeps its aspect ratio over the control's width.
SIZE vehiclePictureSize(SIZE control);
SIZE gpsPictureSize(SIZE control, SIZE picture);

// A GDI+ bitmap of the file; null for an empty path, a missing file or one
// GDI+ cannot read. The caller deletes it.
Gdiplus::Bitmap* loadBitmapFile(const CString& path);
