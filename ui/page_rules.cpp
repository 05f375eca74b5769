#include "ui/page_rules.h"

#include "ui/text_ids.h"

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
    if (mediaType.Find(L"SD") >= 0) return IDS_MEDIUM_SD;
    if (mediaType.Find(L"USB") >= 0) return mediaType.Find(L"DVD") >= 0 ? 0 : IDS_MEDIUM_USB;
    if (mediaType.Find(L"DVD") >= 0) return IDS_MEDIUM_DVD;
    return IDS_MEDIUM_SD;
}

int waitingLeft(int clientWidth, bool arabic) {
    int centred = (clientWidth - WAITING_SIZE) / 2;
    return arabic ? clientWidth - centred - WAITING_SIZE : centred;
}

}  // namespace page_rules
