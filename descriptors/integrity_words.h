#pragma once
// Four words that mark a record as complete. Whoever fills a vehicle entry
// or an update item sets them last; readers skip a record whose words
// differ, so a half-built or reused record is never acted on.
#include <windows.h>

struct integrity_words {
    int word[4] = {0, 0, 0, 0};

    void set() {
        word[0] = -1;
        word[1] = 0;
        word[2] = static_cast<int>(0xEEEEEEEEu);
        word[3] = 0;
    }
    void reset() { word[0] = word[1] = word[2] = word[3] = 0; }
    bool intact() const {
        return word[0] == -1 && word[1] == 0 && word[2] == static_cast<int>(0xEEEEEEEEu) && word[3] == 0;
    }
};
