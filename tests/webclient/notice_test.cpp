#include "foundation/code_tables.h"
#include "foundation/globalfunc.h"
#include "foundation/logmanager.h"
#include "foundation/regsetting.h"
#include "tests/support/test_support.h"
#include "tests/webclient/print.h"
#include "tests/webclient/standin_client.h"
#include "webclient/api_endpoints.h"
#include "webclient/notice_parser.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const char kNotice[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?><result><resultYn>Y</resultYn><exCode>0</exCode>"
    "<exMessage>OK</exMessage><item><pubDate>2024.01.02</pubDate><title>Map update</title>"
    "<dtlUrl>https://h/notice/1</dtlUrl><ltUrl>https://h/notice</ltUrl></item></result>";

stNoticeResult readFile(CNoticeParser& parser, const std::string& xml) {
    TempDir dir;
    writeBytes(dir / L"notice.xml", xml);
    parser.parseNotice(dir / L"notice.xml");
    stNoticeResult result;
    return parser.getResult(result);
}

TEST(NoticeFile, States) {
    const struct {
        const char* name;
        std::string xml;
        int state;
        const wchar_t *date, *title, *detail, *more;
    } cases[] = {
        {"notice", kNotice, 0, L"[2024.01.02]", L"Map update", L"https://h/notice/1", L"https://h/notice"},
        {"lower-case y with a message", "<r><resultYn>y</resultYn><exMessage>Refused</exMessage></r>", 3, L"",
         L"Refused", L"", L""},
        {"lower-case y without a message", "<r><resultYn>y</resultYn></r>", 2, L"", L"", L"", L""},
        {"no notice", "<r><resultYn>Y</resultYn><exMessage>No notice</exMessage></r>", 1, L"", L"No notice", L"",
         L""},
        {"no notice, no message", "<r><resultYn>Y</resultYn></r>", 2, L"", L"", L"", L""},
        {"no resultYn", "<r><exCode/></r>", 2, L"", L"", L"", L""},
        {"resultYn without text", "<r><resultYn><b>Y</b></resultYn><exCode/></r>", 2, L"", L"", L"", L""},
        {"no root", "<?xml version=\"1.0\"?>", 2, L"", L"", L"", L""},
        {"not well-formed", "<r><resultYn>Y</resultYn><exCode>", 2, L"", L"", L"", L""},
        {"empty file", "", 2, L"", L"", L"", L""},
        {"notice without item", "<r><resultYn>Y</resultYn><exCode/></r>", 0, L"", L"", L"", L""},
        {"empty elements",
         "<r><resultYn>Y</resultYn><exCode/><item><pubDate/><title/><dtlUrl/><ltUrl></ltUrl></item></r>", 0, L"[]",
         L"", L"", L""},
        // Every text is UTF-8: the message as much as the title.
        {"Korean texts",
         "<r><resultYn>Y</resultYn><exCode/><item><title>\xEC\xA7\x80\xEB\x8F\x84</title>"
         "<dtlUrl>https://h/\xEA\xB3\xB5\xEC\xA7\x80</dtlUrl></item></r>",
         0, L"", L"\xC9C0\xB3C4", L"https://h/\xACF5\xC9C0", L""},
        {"Korean message", "<r><resultYn>N</resultYn><exMessage>\xEC\x97\x86\xEC\x9D\x8C</exMessage></r>", 3, L"",
         L"\xC5C6\xC74C", L"", L""},
    };
    for (const auto& c : cases) {
        CNoticeParser parser;
        stNoticeResult r = readFile(parser, c.xml);
        EXPECT_EQ(r.nStatus, c.state) << c.name;
        EXPECT_EQ(r.strPubDate, CString(c.date)) << c.name;
        EXPECT_EQ(r.strTitle, CString(c.title)) << c.name;
        EXPECT_EQ(r.strDtlURL, CString(c.detail)) << c.name;
        EXPECT_EQ(r.strMoreURL, CString(c.more)) << c.name;
    }
}

TEST(NoticeFile, MissingElementsKeepEarlierTexts) {
    CNoticeParser parser;
    readFile(parser, kNotice);
    stNoticeResult r = readFile(parser, "<r><resultYn>Y</resultYn><exMessage>No notice</exMessage></r>");
    EXPECT_EQ(r.nStatus, 1);
    EXPECT_EQ(r.strTitle, CString(L"No notice"));
    EXPECT_EQ(r.strPubDate, CString(L"[2024.01.02]"));
    EXPECT_EQ(r.strMoreURL, CString(L"https://h/notice"));
    // A title that is no UTF-8 leaves the field as it was.
    r = readFile(parser, "<r><resultYn>Y</resultYn><exCode/><item><title>\xFF\xFE</title></item></r>");
    EXPECT_EQ(r.nStatus, 0);
    EXPECT_EQ(r.strTitle, CString(L"No notice"));
}

class NoticeDownload : public testing::Test {
protected:
    void SetUp() override {
        REQUIRE_STANDIN();
        standin::clearFaults();
        CRegSetting::setRegion(REGION_KR);
        CRegSetting::setLanguage(LANGUAGE_KO);
        CRegSetting::setLastUserCorp(CORP_TS);
    }
    void TearDown() override {
        if (standin::available()) standin::clearFaults();
    }
    stNoticeResult read() {
        parser.readNotice(getServerHost(API_GET_NOTICE), getApiPath(API_GET_NOTICE), getServerPort(API_GET_NOTICE));
        stNoticeResult r;
        return parser.getResult(r);
    }
    CNoticeParser parser;
};

TEST_F(NoticeDownload, NoticeOfRegionBrandAndLanguage) {
    // A read-only file left from an earlier run is replaced.
    const CString target = CNoticeParser::noticeFolder() + L"notice.xml";
    CGlobalFunc::createDirectory(CNoticeParser::noticeFolder());
    writeBytes(target, "stale");
    SetFileAttributesW(target.GetString(), FILE_ATTRIBUTE_READONLY);

    stNoticeResult r = read();
    EXPECT_EQ(r.nStatus, 0);
    EXPECT_EQ(r.strPubDate, CString(L"[2024.05.01]"));
    EXPECT_EQ(r.strTitle, CString(L"\xC9C0\xB3C4 \xC5C5\xB370\xC774\xD2B8 \xC548\xB0B4"));
    EXPECT_EQ(r.strDtlURL, L"https://" + standin::host() + L"/web/notice/1");
    EXPECT_EQ(r.strMoreURL, L"https://" + standin::host() + L"/web/notice/1/more");
    auto log = standin::requests("/api/KR/TS/KO/GetNotice");
    EXPECT_FALSE(log.empty());

    // Stored on one line, in a hidden folder.
    const std::string stored = readBytes(target);
    EXPECT_EQ(stored.find('\n'), std::string::npos);
    EXPECT_NE(GetFileAttributesW(CNoticeParser::noticeFolder().GetString()) & FILE_ATTRIBUTE_HIDDEN, 0u);

    // The brand is kept per region.
    CRegSetting::setRegion(REGION_US);
    CRegSetting::setLastUserCorp(CORP_LV);
    r = read();
    EXPECT_EQ(r.nStatus, 3);
    EXPECT_EQ(r.strTitle, CString(L"Notice service is unavailable"));
}

TEST_F(NoticeDownload, TitleWrappedOverTwoLines) {
    standin::setFaults(R"([{"path": "/api/*/GetNotice", "status": 200, "body":
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<result>\r\n<resultYn>Y</resultYn>\r\n<exCode>0</exCode>\r\n<item>\r\n<pubDate>2024.06.01</pubDate>\r\n<title>Map update\r\nfor June</title>\n</item>\r\n</result>\r\n"}])");
    stNoticeResult r = read();
    EXPECT_EQ(r.nStatus, 0);
    EXPECT_EQ(r.strTitle, CString(L"Map updatefor June"));
}

TEST_F(NoticeDownload, FailedDownloadIsRecorded) {
    const struct {
        const char* name;
        const char* rules;
        int port;
    } cases[] = {
        {"nothing listens", "[]", 1},
        {"connection dropped: nothing arrives", R"([{"path": "/api/*/GetNotice", "drop": true}])", 443},
        {"a reply that does not end", R"([{"path": "/api/*/GetNotice", "endless": 17000000}])", 443},
    };
    for (const auto& c : cases) {
        standin::setFaults(c.rules);
        g_logManager.AddStatistics(L"[D:0,T:00:00:00.000]");
        parser.readNotice(getServerHost(API_GET_NOTICE), getApiPath(API_GET_NOTICE), c.port);
        stNoticeResult r;
        EXPECT_EQ(parser.getResult(r).nStatus, 2) << c.name;
        const StatisticsContext stats = g_logManager.getStatisticsContext();
        EXPECT_EQ(stats.lastCode, CString(L"E:4")) << c.name;
        CString url;
        url.Format(L"%s:%d%s", getServerHost(API_GET_NOTICE).GetString(), c.port,
                   getApiPath(API_GET_NOTICE).GetString());
        EXPECT_EQ(stats.errorLog.Right(url.GetLength() + 5), L",FP:" + url + L"]") << c.name;
    }
}

}  // namespace
