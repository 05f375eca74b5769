// The vehicle and navigation-unit pictures as the pages ask the root for
// them: the cache and the placing live in shell/scan.
#include "shell/dlg_root.h"

#include "shell/scan/picture_cache.h"
#include "shell/scan/picture_static.h"

CString CDlgRoot::getVehicleImagePath(InfInfo* entry) { return ::getVehicleImagePath(entry); }

CString CDlgRoot::getGpsImagePath(InfInfo* entry) { return ::getGpsImagePath(entry); }

bool CDlgRoot::get_remote_image(const CString& url, const CString& localPath) {
    return ::get_remote_image(url, localPath);
}

void CDlgRoot::setVehicleImage(CWnd* control, InfInfo* entry) {
    if (control) ::setVehicleImage(control->GetSafeHwnd(), entry);
}

void CDlgRoot::setGpsImage(CWnd* control, InfInfo* entry) {
    if (control) ::setGpsImage(control->GetSafeHwnd(), entry);
}

void CDlgRoot::setPngOnStatic(CWnd* control, UINT pngId) {
    if (control) ::setPngOnStatic(control->GetSafeHwnd(), pngId);
}

Gdiplus::Bitmap* CDlgRoot::loadBitmapFile(const CString& path) { return ::loadBitmapFile(path); }
