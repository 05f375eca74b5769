#include "foundation/logmanager.h"
#include "tests/webclient/print.h"
#include "tests/webclient/standin_client.h"
#include "webclient/request_param.h"
#include "webclient/statistics_upload.h"
#include "webclient/webpost.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

namespace {

std::string utf8(const CString& text) {
    return WideToMultiByte(text.GetString(), CP_UTF8).GetString();
}

TEST(Statistics, RecordsAndLastCode) {
    const struct {
        const wchar_t* record;
        const wchar_t* lastCode;
    } cases[] = {
        {L"[D:5,T:10:00:00.000,NAME:x]", L"D:5"},
        {L"[E:3,T:10:00:01.000,ED:401]", L"E:3"},
        {L"[COMPLETE]", L"[COMPLETE]"},  // no "," at all
        {L",x", L""},
        {L"", L""},
    };
    LogManager log;
    CString all;
    for (const auto& c : cases) {
        log.AddStatistics(c.record);
        all += c.record;
        EXPECT_EQ(log.getStatisticsContext().lastCode, CString(c.lastCode)) << c.record;
    }
    EXPECT_EQ(log.getStatisticsContext().errorLog, all);
    EXPECT_TRUE(log.hasStatisticsRecords());
    EXPECT_FALSE(LogManager().hasStatisticsRecords());
}

TEST(Statistics, LoginAndUpdateInfoFillTheContext) {
    LogManager log;
    LoginLogInfo login;
    EXPECT_EQ(login.m_strEncryptedUserType, CString(L"U"));
    login.m_strEncryptedUserId = L"eid";
    login.m_strEncryptedUserType = L"etype";
    login.m_strEncryptedCorp = L"ecorp";
    login.m_strUnused = L"never";
    login.m_strLanguage = L"KO";
    login.m_strUserId = L"ts.member";
    login.m_strUserType = L"member";
    login.m_strCorp = L"TS";
    log.SetStatisticsLoginInfo(login);
    log.SetStatisticsUpdateInfo(UpdateLogInfo{L"https://h/inf", L"A01", L"Arden", L"old map", L"old sw", L"new map",
                                              L"new sw"});
    const StatisticsContext c = log.getStatisticsContext();
    EXPECT_EQ(c.encryptedUserId, CString(L"eid"));
    EXPECT_EQ(c.encryptedUserType, CString(L"etype"));
    EXPECT_EQ(c.encryptedCorp, CString(L"ecorp"));
    EXPECT_EQ(c.language, CString(L"KO"));
    EXPECT_EQ(c.userId, CString(L"ts.member"));
    EXPECT_EQ(c.userType, CString(L"member"));
    EXPECT_EQ(c.corporate, CString(L"TS"));
    EXPECT_EQ(c.infPath, CString(L"https://h/inf"));
    EXPECT_EQ(c.deviceMCode, CString(L"A01"));
    EXPECT_EQ(c.deviceName, CString(L"Arden"));
    EXPECT_EQ(c.oldMapVersion, CString(L"old map"));
    EXPECT_EQ(c.oldSwVersion, CString(L"old sw"));
    EXPECT_EQ(c.newMapVersion, CString(L"new map"));
    EXPECT_EQ(c.newSwVersion, CString(L"new sw"));
}

TEST(Statistics, RecordsFromSeveralThreadsAreAllKept) {
    LogManager log;
    const CString record(L"[D:1,T:00:00:00.000]");
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 2000; ++i) log.AddStatistics(record);
        });
    }
    for (auto& t : threads) t.join();
    EXPECT_EQ(log.getStatisticsContext().errorLog.GetLength(), 4 * 2000 * record.GetLength());
}

TEST(Statistics, ErrorLogIsCutForTheUpload) {
    const CString pair(L"\xD83D\xDE97");  // one character, two units
    const struct {
        CString log;
        int sent;
    } cases[] = {
        {CString(L'a', 2999), 2999},
        {CString(L'a', 3000), 2999},
        {CString(L'a', 2998) + pair, 2998},            // the pair would be split: dropped whole
        {CString(L'a', 2997) + pair + L"b", 2999},     // the pair fits
    };
    for (const auto& c : cases) {
        CString sent = cutStatisticsErrorLog(c.log);
        EXPECT_EQ(sent.GetLength(), c.sent) << c.log.GetLength();
        EXPECT_EQ(sent, c.log.Left(c.sent));
    }
}

TEST(Statistics, JsonWithoutSignIn) {
    StatisticsContext c;
    c.deviceName = L"\xC544\xB374";  // Korean device name
    Json::Value body = makeStatisticsJson(c);
    EXPECT_EQ(body.size(), 19u);
    EXPECT_EQ(body["UserID"].asString(), utf8(CWebPOST::EncryptValue(L"nonmembers")));
    EXPECT_EQ(body["UserType"].asString(), utf8(CWebPOST::EncryptValue(L"guest")));
    EXPECT_EQ(body["Corporate"].asString(), utf8(CWebPOST::EncryptValue(L"")));
    EXPECT_EQ(body["Region"].asString(), "");
    EXPECT_EQ(body["DeviceName"].asString(), "\xEC\x95\x84\xEB\x8D\xB4");

    // The text sent lists the members by name.
    RequestParamJson param;
    param.m_value = body;
    const std::string text = utf8(param.makeQueryString());
    size_t last = 0;
    for (const std::string& name : body.getMemberNames()) {
        size_t at = text.find("\"" + name + "\"");
        ASSERT_NE(at, std::string::npos) << name;
        EXPECT_GT(at, last) << name;
        last = at;
    }
}

class StatisticsUpload : public testing::Test {
protected:
    void SetUp() override {
        REQUIRE_STANDIN();
        standin::clearFaults();
        standin::markRequests();
    }
    void TearDown() override {
        if (standin::available()) standin::clearFaults();
    }
};

TEST_F(StatisticsUpload, ContextArrivesAsJson) {
    LogManager log;
    LoginLogInfo login;
    login.m_strLanguage = L"KO";
    login.m_strUserId = L"ts.member";
    login.m_strUserType = L"member";
    login.m_strCorp = L"TS";
    log.SetStatisticsLoginInfo(login);
    log.SetStatisticsClientID(L"C0FFEE00-5EED-4B1D-8A11-000000000001");
    log.SetStatisticsUpdateInfo(UpdateLogInfo{L"https://h/contents/inf", L"A01", L"\xC544\xB374 \xB0B4\xBE44",
                                              L"2023.01.01", L"KOR.OLD", L"2024.05.01", L"KOR.NEW"});
    log.AddStatistics(L"[D:5,T:10:00:00.000,NAME:x]");
    log.AddStatistics(CString(L'x', 3000));
    log.AddStatistics(L"[E:3,T:10:00:01.000,ED:401]");

    EXPECT_EQ(log.SendStatistics(), CString(L"200"));

    auto entries = standin::requests("/api/SetDownErrorLog");
    ASSERT_EQ(entries.size(), 1u);
    const Json::Value& e = entries[0];
    EXPECT_EQ(e["status"].asInt(), 200);
    EXPECT_TRUE(e["errors"].empty()) << e["errors"].toStyledString();
    EXPECT_TRUE(e["warnings"].empty()) << e["warnings"].toStyledString();
    const Json::Value& json = e["json"];
    EXPECT_EQ(json["LastCode"].asString(), "E:3");
    EXPECT_EQ(json["OSType"].asString(), "win");
    EXPECT_EQ(json["ClientID"].asString(), "C0FFEE00-5EED-4B1D-8A11-000000000001");
    EXPECT_EQ(json["Language"].asString(), "KO");
    EXPECT_EQ(json["DeviceName"].asString(), utf8(L"\xC544\xB374 \xB0B4\xBE44"));
    EXPECT_EQ(json["DeviceMCode"].asString(), "A01");
    EXPECT_EQ(json["INFPath"].asString(), "https://h/contents/inf");
    EXPECT_EQ(json["OldMapVer"].asString(), "2023.01.01");
    EXPECT_EQ(json["NewSWVer"].asString(), "KOR.NEW");
    EXPECT_EQ(json["Region"].asString(), "");
    const std::string errorLog = json["ErrorLog"].asString();
    EXPECT_EQ(errorLog.size(), 2999u);
    EXPECT_EQ(errorLog, "[D:5,T:10:00:00.000,NAME:x]" + std::string(2999 - 27, 'x'));
    EXPECT_EQ(e["decrypted"]["Corporate"].asString(), "TS");
    EXPECT_EQ(e["decrypted"]["UserType"].asString(), "member");
    EXPECT_EQ(e["decrypted"]["UserID"].asString(), "ts.member");
    // "%d.%d.%d" and eight digits of date, a hyphen, the time with milliseconds.
    const std::string osVersion = json["OSVer"].asString();
    EXPECT_EQ(std::count(osVersion.begin(), osVersion.end(), '.'), 2);
    EXPECT_EQ(json["LocalTime"].asString().size(), 21u);
    EXPECT_EQ(json["LocalTime"].asString()[8], '-');
    EXPECT_EQ(json["ClientVer"].asString(), utf8([] {
                  CString v;
                  LogManager::getFileVersion(v);
                  return v;
              }()));
    // The context keeps the whole log.
    EXPECT_EQ(log.getStatisticsContext().errorLog.GetLength(), 27 + 27 + 3000);
}

TEST_F(StatisticsUpload, NoSignInAndFailedPost) {
    LogManager log;
    log.AddStatistics(L"[D:0,T:10:00:00.000]");
    EXPECT_EQ(log.SendStatistics(), CString(L"200"));
    auto entries = standin::requests("/api/SetDownErrorLog");
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0]["json"]["LastCode"].asString(), "D:0");
    EXPECT_EQ(entries[0]["decrypted"]["UserID"].asString(), "nonmembers");
    EXPECT_EQ(entries[0]["decrypted"]["UserType"].asString(), "guest");

    standin::setFaults(R"([{"path": "/api/SetDownErrorLog", "status": 500}])");
    EXPECT_EQ(log.SendStatistics(), CString(L"0"));
    // A second upload sends the whole context again.
    standin::clearFaults();
    log.AddStatistics(L"[E:3,T:10:00:01.000,ED:401]");
    EXPECT_EQ(log.SendStatistics(), CString(L"200"));
    entries = standin::requests("/api/SetDownErrorLog");
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[2]["json"]["ErrorLog"].asString(), "[D:0,T:10:00:00.000][E:3,T:10:00:01.000,ED:401]");
}

}  // namespace
