// The folder field's shortened path (ten pixels a character here).
#include "ui/path_text.h"

#include <gtest/gtest.h>

TEST(PathText, CharactersBeforeTheLastFolderGiveWayToDots) {
    const auto measure = [](const CString& s) { return s.GetLength() * 10; };
    struct Case { const wchar_t* path; int width; const wchar_t* shown; };
    const Case cases[] = {
        {L"C:\\Users\\me\\Downloads\\target", 200, L"C:\\Users\\...\\target"},
        {L"C:\\Short", 200, L"C:\\Short"},
        {L"C:\\Users\\me\\Downloads\\target", 280, L"C:\\Users\\me\\Downloads\\target"},
        {L"ABCDEFGHIJ", 50, L"...DEFGHIJ"},
        {L"", 0, L""},
    };
    for (const Case& c : cases) EXPECT_STREQ(c.shown, fitPathText(c.path, c.width, measure).GetString()) << c.path;
}
