#pragma once
// The face of a message button's caption: the longer the caption, the
// smaller the face, so that it fits the 200-pixel button.
#include "afx/string.h"

inline int captionPixelSize(const CString& text) {
    int length = text.GetLength();
    if (length < 16) return 22;
    if (length <= 22) return 18;
    return 14;
}
