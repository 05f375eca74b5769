// The download-check report as the service decrypts it: who updated (member
// or guest), the head unit's name in the language the report picks, the
// system version, and how each kind of reply ends (record, log line, result).
#include "tests/shell_frame/update_page_fixture.h"

#include "foundation/globalfunc.h"
#include "tests/webclient/standin_client.h"
#include "webclient/webpost.h"

#include <gtest/gtest.h>

#include <string>

using namespace update_page_test;

namespace {

// The version read, the service pack not: the call fails with the first two
// numbers set.
BOOL unknownVersion(int& major, int& minor, int&) {
    major = 6;
    minor = 1;
    return FALSE;
}

std::string utf8(const CString& text) { return std::string(CW2A(text.GetString(), CP_UTF8)); }

// Everything the log writer has put into its folder so far.
std::string logText() {
    std::string all;
    WIN32_FIND_DATAW data{};
    const CString folder = g_logManager.folder();
    HANDLE find = FindFirstFileW((folder + L"\\*.log").GetString(), &data);
    if (find == INVALID_HANDLE_VALUE) return all;
    do {
        all += readBytes(folder + L"\\" + data.cFileName);
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return all;
}

size_t occurrences(const std::string& text, const std::string& part) {
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

TEST_F(UpdatePage, DownCheckValuesAndReplies) {
    REQUIRE_STANDIN();
    const CString korean = L"내비게이션 AVN 5";
    const CString intl = L"Navigation AVN 5";
    const struct {
        const char* what;
        bool member;
        int region, language;
        CString intlName;
        bool versionKnown;
        const char* faults;
        const char* d1;
        CString d3;
        BOOL result;
        // The statistics record the report leaves (empty: none).
        const wchar_t* recordHead;
        const wchar_t* recordTail;
        std::string logLine;
    } cases[] = {
        {"guest, Korean UI, accepted", false, REGION_KR, LANGUAGE_KO, intl, true, "[]", "nonmembers", korean, TRUE,
         L"[D:12,T:", L",NAME:내비게이션 AVN 5]", "[DEBUG_12_DOWNLOAD_CHECK][DownloadCheck Upload Success.]"},
        {"member, English UI in region 1, busy", true, REGION_KR, LANGUAGE_EN, intl, true,
         R"([{"path": "/api/ChkDown", "status": 200, "body": "STANDIN#!#500|*|busy"}])", "ts.road", intl, FALSE,
         L"[E:12,T:", L",ED:500]", "[ERR_12_DOWNLOAD_CHECK][DownLoadCheck Upload Fail.][busy][ErrCode:500]"},
        {"member, no other-language name, version unknown, empty reply", true, REGION_KR, LANGUAGE_EN, L"", false,
         R"([{"path": "/api/ChkDown", "empty": true}])", "ts.road", korean, FALSE, L"", L"",
         "[ERR_11_DOWNLOAD_CHECK]return value is null"},
        {"guest, other region, reply without separators", false, REGION_US, LANGUAGE_EN, intl, true,
         R"([{"path": "/api/ChkDown", "status": 200, "body": "200|*|OK"}])", "nonmembers", korean, FALSE,
         L"[E:12,T:", L",ED:0]", "[ERR_12_DOWNLOAD_CHECK][DownLoadCheck Upload Fail.][][ErrCode:]"},
    };
    InfInfoList* list = frame->m_pInfInfoList;
    list->setCorp(CORP_TS);
    m_entry.setInfFileName(L"ts-arden.inf");
    m_entry.setModelCode(L"101");
    m_entry.setDeviceName(korean);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        setLanguage(c.region, c.language);
        AfxGetApp()->WriteProfileString(getRegionCode(c.region) + L"_User", L"ClientGUID", L"guid-of-this-client");
        m_entry.setDeviceNameIntl(c.intlName);
        list->setText1(c.member ? L"Road Dealer" : L"");
        list->setEncryptedId(c.member ? CWebPOST::EncryptValue(L"ts.road") : CString());
        standin::setFaults(c.faults);
        const CGlobalFunc::OsVersionReader system =
            c.versionKnown ? nullptr : CGlobalFunc::setOsVersionReader(&unknownVersion);
        const size_t before = standin::requests("/api/ChkDown").size();
        const CString records = g_logManager.getStatisticsContext().errorLog;
        const std::string logBefore = logText();

        EXPECT_EQ(c.result, page->sendDownCheck());

        if (!c.versionKnown) CGlobalFunc::setOsVersionReader(system);
        standin::clearFaults();
        // The web client tries an unanswered request again; every attempt
        // carries the same values.
        const std::vector<Json::Value> sent = standin::requestsAtLeast("/api/ChkDown", before + 1);
        ASSERT_LE(before + 1, sent.size());
        const Json::Value& entry = sent.back();
        EXPECT_EQ(0u, entry["errors"].size()) << entry["errors"].toStyledString();
        const Json::Value& p = entry["params"];
        EXPECT_EQ(c.d1, p["D1"].asString());
        EXPECT_EQ("guid-of-this-client", p["D8"].asString());
        EXPECT_EQ(utf8(c.d3), p["D3"].asString());
        EXPECT_EQ("ts-arden.inf", p["D4"].asString());
        EXPECT_EQ("101", p["D6"].asString());
        EXPECT_EQ(utf8(getRegionCode(c.region)), p["D7"].asString());
        if (!c.versionKnown) EXPECT_EQ("0.0.0", p["D10"].asString());
        else EXPECT_NE("0.0.0", p["D10"].asString());

        const CString added = g_logManager.getStatisticsContext().errorLog.Mid(records.GetLength());
        if (*c.recordHead) {
            EXPECT_EQ(0, added.Find(c.recordHead)) << CW2A(added.GetString());
            EXPECT_NE(-1, added.Find(c.recordTail)) << CW2A(added.GetString());
        } else {
            EXPECT_EQ(-1, added.Find(L"[D:12")) << CW2A(added.GetString());
            EXPECT_EQ(-1, added.Find(L"[E:12")) << CW2A(added.GetString());
        }
        EXPECT_EQ(occurrences(logBefore, c.logLine) + 1, occurrences(logText(), c.logLine)) << c.logLine;
    }
    for (int region : {REGION_KR, REGION_US}) {
        AfxGetApp()->WriteProfileString(getRegionCode(region) + L"_User", L"ClientGUID", nullptr);
    }
}

}  // namespace
