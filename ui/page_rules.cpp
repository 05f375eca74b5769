#include "ui/page_rules.h"

#include "foundation/code_tables.h"

namespace page_rules {

int fitFontSizeBy(int startSize, int maxLines, const std::function<int(int size)>& linesAt) {
    int size = startSize;
    for (;;) {
        if (linesAt(size) <= maxLines) return size;
        --size;
        if (size <= 4) return size;
    }
}

int driveTypeTextId(const CString& mediaType) {
    if (mediaType.Find(L"SD") >= 0) return TEXT_DRIVE_SD;
    if (mediaType.Find(L"USB") >= 0) return mediaType.Find(L"DVD") >= 0 ? 0 : TEXT_DRIVE_USB;
    if (mediaType.Find(L"DVD") >= 0) return TEXT_DRIVE_DVD;
    return TEXT_DRIVE_SD;
}

int waitingLeft(int clientWidth, bool arabic) {
    int centred = (clientWidth - WAITING_SIZE) / 2;
    return arabic ? clientWidth - centred - WAITING_SIZE : centred;
}

}  // namespace page_rules
