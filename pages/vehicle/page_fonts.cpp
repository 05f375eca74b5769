#include "pages/vehicle/page_fonts.h"

#include "ui/font_cache.h"
#include "ui/static_ex.h"

namespace page_fonts {

void setWindowFont(CWnd& window, int pixelSize) {
    if (!window.GetSafeHwnd()) return;
    if (CFont* font = CFontCache::getFont(pixelSize)) {
        window.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font->GetSafeHandle()), TRUE);
    }
}

void setStaticFont(CStaticEx& control, int size) {
    control.setFontStyle(size, FALSE);
    setWindowFont(control, size);
}

}  // namespace page_fonts
