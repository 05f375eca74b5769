#include "webclient/download_plan.h"

#include <gtest/gtest.h>

namespace {

struct PlanCase {
    const char* name;
    int status;
    ULONGLONG offset;
    bool hasLength;
    ULONGLONG length;
    const wchar_t* range;
    download_plan::Kind kind;
    ULONGLONG total, deliver, skip;
    bool untilEnd;
};

TEST(DownloadPlan, RepliesTable) {
    using K = download_plan;
    const PlanCase cases[] = {
        {"whole file", 200, 0, true, 1000, L"", K::READ, 1000, 1000, 0, false},
        {"resumed part", 206, 400, true, 600, L"bytes 400-999/1000", K::READ, 1000, 600, 0, false},
        {"resumed beyond 4 GiB", 206, 5000000000ULL, true, 10, L"bytes 5000000000-5000000009/5000000010", K::READ,
         5000000010ULL, 10, 0, false},
        {"part at the wrong place", 206, 400, true, 600, L"bytes 0-599/1000", K::FAIL, 0, 0, 0, false},
        {"Range ignored: read past what is held", 200, 400, true, 1000, L"", K::READ, 1000, 600, 400, false},
        {"Range ignored, nothing new", 200, 1000, true, 1000, L"", K::DONE, 1000, 0, 0, false},
        {"Range ignored, server file shorter", 200, 1000, true, 10, L"", K::FAIL, 0, 0, 0, false},
        {"no length: read to the end", 200, 0, false, 0, L"", K::READ, 0, 0, 0, true},
        {"no length on a part", 206, 400, false, 0, L"", K::READ, 400, 0, 0, true},
        {"empty file", 200, 0, true, 0, L"", K::DONE, 0, 0, 0, false},
        {"416 at the end of a complete file", 416, 1000, true, 0, L"bytes */1000", K::DONE, 1000, 0, 0, false},
        {"416 without Content-Range", 416, 1000, false, 0, L"", K::FAIL, 0, 0, 0, false},
        {"416 past the end", 416, 1200, true, 0, L"bytes */1000", K::FAIL, 0, 0, 0, false},
        {"416 with a body", 416, 1000, true, 20, L"bytes */1000", K::FAIL, 0, 0, 0, false},
        {"416 from the start", 416, 0, true, 0, L"", K::FAIL, 0, 0, 0, false},
        {"404 without a body", 404, 0, true, 0, L"", K::FAIL, 0, 0, 0, false},
        {"404 without a length", 404, 0, false, 0, L"", K::FAIL, 0, 0, 0, false},
        {"500 with a body", 500, 0, true, 30, L"", K::FAIL, 0, 0, 0, false},
        {"204 is no file", 204, 0, true, 0, L"", K::FAIL, 0, 0, 0, false},
        {"302 is no file", 302, 0, true, 0, L"", K::FAIL, 0, 0, 0, false},
    };
    for (const PlanCase& c : cases) {
        SCOPED_TRACE(c.name);
        download_plan plan = planDownloadReply(c.status, c.offset, c.hasLength, c.length, c.range);
        EXPECT_EQ(plan.kind, c.kind);
        if (c.kind == K::FAIL) continue;
        EXPECT_EQ(plan.total, c.total);
        EXPECT_EQ(plan.deliver, c.deliver);
        EXPECT_EQ(plan.skip, c.skip);
        EXPECT_EQ(plan.untilEnd, c.untilEnd);
    }
}

TEST(DownloadPlan, ContentRangeForms) {
    struct Case {
        const wchar_t* text;
        bool ok;
        long long first, size;
    } cases[] = {
        {L"bytes 0-9/10", true, 0, 10},
        {L"bytes 5-9/*", true, 5, -1},
        {L"bytes */10", true, -1, 10},
        {L"Bytes  7-8/9 ", true, 7, 9},
        {L"bytes 9-5/10", false, 0, 0},
        {L"bytes */*", false, 0, 0},
        {L"items 0-1/2", false, 0, 0},
        {L"bytes x-1/2", false, 0, 0},
        {L"bytes 0-9/999999999999999999", true, 0, 999999999999999999LL},
        {L"bytes 0-9/9999999999999999999", false, 0, 0},
        {L"bytes 0-9999999999999999999/10", false, 0, 0},
        {L"", false, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(CStringA(c.text).GetString());
        long long first = 0, size = 0;
        ASSERT_EQ(parseContentRange(c.text, first, size), c.ok);
        if (!c.ok) continue;
        EXPECT_EQ(first, c.first);
        EXPECT_EQ(size, c.size);
    }
}

}  // namespace
