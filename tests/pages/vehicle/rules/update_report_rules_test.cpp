// The report's and the upload's text rules: service addresses split and
// rebuilt, the download-check reply read, the system-version and local-time
// values.
#include "pages/vehicle/update_report_rules.h"

#include <gtest/gtest.h>

using namespace update_report;

TEST(UpdateReportRules, AddressesSplitAndRebuild) {
    const struct {
        const char* url;
        const char* scheme;
        const char* host;
        int port;
        const char* path;
        const char* query;
        const char* rebuilt;
    } cases[] = {
        {" \t https://h:8443/offlinevcrm/data.do?a=1#frag \r\n", "https", "h", 8443, "/offlinevcrm/data.do", "a=1",
         "https://h:8443/offlinevcrm/data.do?a=1"},
        {"http://host", "http", "host", 0, "", "", "http://host"},
        {"host/x", "", "host", 0, "/x", "", "://host/x"},
        {"https://h/p?a=1#b=2", "https", "h", 0, "/p", "a=1", "https://h/p?a=1"},
        {"https://h:/p", "https", "h", 0, "/p", "", "https://h/p"},
        {"https://h:abc/p", "https", "h", 0, "/p", "", "https://h/p"},
        // The scheme prefix is compared as written.
        {"HTTPS://h/p", "", "HTTPS", 0, "//h/p", "", "://HTTPS//h/p"},
        {"", "", "", 0, "", "", "://"},
        {"https://", "https", "", 0, "", "", "https://"},
    };
    for (const auto& c : cases) {
        url_parts parts;
        parts.port = 99;
        splitUrl(c.url, parts);
        EXPECT_EQ(c.scheme, parts.scheme) << c.url;
        EXPECT_EQ(c.host, parts.host) << c.url;
        EXPECT_EQ(c.port, parts.port) << c.url;
        EXPECT_EQ(c.path, parts.path) << c.url;
        EXPECT_EQ(c.query, parts.query) << c.url;
        EXPECT_EQ(c.rebuilt, rebuildUrl(parts)) << c.url;
    }
}

TEST(UpdateReportRules, DownCheckReplies) {
    const struct {
        const wchar_t* reply;
        const wchar_t* codeText;
        int code;
        const wchar_t* message;
    } cases[] = {
        {L"x#!#200|*|OK", L"200", 200, L"OK"},
        {L"x#!#500|*|busy#!#later", L"500", 500, L"busy"},
        {L"#!#200", L"200", 200, L""},
        // Without the separators the code text is empty and counts 0.
        {L"200|*|OK", L"", 0, L""},
        {L"x#!#", L"", 0, L""},
        {L"x#!#abc|*|m", L"abc", 0, L"m"},
        {L"x#!#99999999999|*|m", L"99999999999", 0, L"m"},
        {L"x#!#-200|*|m", L"-200", 0, L"m"},
    };
    for (const auto& c : cases) {
        const down_check_reply r = parseDownCheckReply(c.reply);
        EXPECT_EQ(CString(c.codeText), r.codeText) << CW2A(c.reply);
        EXPECT_EQ(c.code, r.code) << CW2A(c.reply);
        EXPECT_EQ(CString(c.message), r.message) << CW2A(c.reply);
    }
}

TEST(UpdateReportRules, SystemVersionAndLocalTime) {
    EXPECT_EQ(CString(L"10.0.0"), systemVersionText(true, 10, 0, 0));
    EXPECT_EQ(CString(L"6.1.1"), systemVersionText(true, 6, 1, 1));
    // A version that could not be read goes out as 0.0.0, whatever was set.
    EXPECT_EQ(CString(L"0.0.0"), systemVersionText(false, 6, 1, 0));
    SYSTEMTIME t{};
    t.wYear = 2026;
    t.wMonth = 3;
    t.wDay = 4;
    t.wHour = 5;
    t.wMinute = 6;
    t.wSecond = 7;
    EXPECT_EQ(CString(L"20260304050607"), localTimeText(t));
}
