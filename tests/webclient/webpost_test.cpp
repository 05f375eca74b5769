#include "tests/webclient/print.h"
#include "tests/webclient/standin_client.h"
#include "webclient/api_endpoints.h"
#include "webclient/connectivity.h"
#include "webclient/webpost.h"
#include "webclient/webpost_reply.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

CString enc(const wchar_t* text) {
    return CWebPOST::EncryptValue(text);
}

RequestParamGUID guidParams() {
    RequestParamGUID p;
    p.m_strRegion = enc(L"KR");
    return p;
}

RequestParamLogin loginParams(const wchar_t* id, const wchar_t* password) {
    RequestParamLogin p;
    p.setParam1(enc(id));
    p.setParam2(enc(L"TS"));
    p.setParam3(enc(password));
    p.setParam4(enc(L"KR"));
    p.setParam5(enc(L"C0FFEE00-5EED-4B1D-8A11-000000000001"));
    p.m_strLoginType = enc(L"U");
    return p;
}

RequestParamLogin guestCatalogue() {
    RequestParamLogin p;
    p.setParam2(enc(L"TS"));
    p.setParam4(enc(L"KR"));
    p.setParam5(enc(L"guid"));
    return p;
}

RequestParamLanguage languageParams() {
    RequestParamLanguage p;
    p.setParam1(enc(L"TS"));
    p.setParam2(enc(L"KR"));
    p.setParam3(enc(L"guid"));
    return p;
}

RequestParamSendCheck sendCheckParams() {
    RequestParamSendCheck p;
    p.m_strUser = enc(L"nonmembers");
    p.m_strCorp = enc(L"TS");
    p.m_strDeviceName = enc(L"\xC544\xB374 \xB0B4\xBE44\xAC8C\xC774\xC158");  // Korean device name
    p.m_strInfFileName = enc(L"TS_A01_COMMON.inf");
    p.m_strFixed = enc(L"M");
    p.m_strModelCode = enc(L"A01");
    p.m_strRegion = enc(L"KR");
    p.m_strGUID = enc(L"guid");
    p.m_strSystemName = enc(L"win");
    p.m_strSystemVersion = enc(L"10.0.0");
    p.m_strTimeZone = enc(L"KST");
    p.m_strLocalTime = enc(L"20240501120000");
    return p;
}

RequestParamUserPrivate consentParams() {
    RequestParamUserPrivate p;
    p.m_strUserID = enc(L"ts.member");
    p.m_strCorp = enc(L"TS");
    p.m_strRegion = enc(L"KR");
    p.m_strGUID = enc(L"guid");
    p.m_strConsent1 = enc(L"Y");
    p.m_strConsent2 = enc(L"N");
    p.m_strAgreed = enc(L"Y");
    p.m_strLocalTime = enc(L"20240501120000");
    return p;
}

class WebPost : public testing::Test {
protected:
    void SetUp() override {
        REQUIRE_STANDIN();
        standin::clearFaults();
        standin::markRequests();
        host = getServerHost(API_GET_GUID);
    }
    void TearDown() override {
        if (standin::available()) standin::clearFaults();
    }

    CString host;
};

struct Call {
    const char* name;
    int apiType;
    const char* pathPattern;
    std::function<CString(CWebPOST&, const CString& host, const CString& path)> run;
    const wchar_t* replyStart;  // what the reply begins with
};

std::vector<Call> calls() {
    return {
        {"GUID", API_GET_GUID, "/api/GetGUID",
         [](CWebPOST& w, const CString& h, const CString& p) { return w.RequestGUID(h, p, 443, guidParams(), TRUE); },
         L"200|C0FFEE00-5EED-4B1D-8A11-000000000001"},
        {"sign-in", API_CHK_REGIST, "/api/ChkRegist",
         [](CWebPOST& w, const CString& h, const CString& p) {
             return w.LoginStart(h, p, 443, loginParams(L"ts.member", L"Tessaly#2024"), TRUE);
         },
         L"STANDIN#!#200|"},
        {"guest catalogue", API_CHK_REGIST, "/api/ChkRegist",
         [](CWebPOST& w, const CString& h, const CString& p) { return w.LoginStart(h, p, 443, guestCatalogue(), FALSE); },
         L"STANDIN#!#200||"},
        {"languages", API_GET_LANGUAGE, "/api/GetLanguage",
         [](CWebPOST& w, const CString& h, const CString& p) {
             return w.GetAvailableLanguageCode(h, p, 443, languageParams(), TRUE);
         },
         L"200|*|KR$KO$EN"},
        {"download check", API_CHK_DOWN, "/api/ChkDown",
         [](CWebPOST& w, const CString& h, const CString& p) { return w.SendChkCode(h, p, 443, sendCheckParams()); },
         L"STANDIN#!#200|*|OK"},
        {"consent", API_CHK_PRIVATE, "/api/chkPrivate",
         [](CWebPOST& w, const CString& h, const CString& p) {
             return w.GetUserPrivate(h, p, 443, consentParams(), TRUE);
         },
         L"STANDIN#!#200|*|OK"},
    };
}

TEST_F(WebPost, EachCallIsUnderstoodByTheService) {
    for (const Call& c : calls()) {
        SCOPED_TRACE(c.name);
        standin::markRequests();
        CWebPOST post;
        CString reply = c.run(post, getServerHost(c.apiType), getApiPath(c.apiType));
        EXPECT_EQ(reply.Left(static_cast<int>(wcslen(c.replyStart))), CString(c.replyStart)) << reply.GetString();
        auto log = standin::requests(c.pathPattern);
        ASSERT_EQ(log.size(), 1u);
        EXPECT_TRUE(log[0]["errors"].empty()) << log[0]["errors"].toStyledString();
        EXPECT_TRUE(log[0]["warnings"].empty()) << log[0]["warnings"].toStyledString();
        EXPECT_EQ(log[0]["scheme"].asString(), "https");
        EXPECT_EQ(standin::header(log[0], "User-Agent"), "VELM");
        if (c.apiType == API_CHK_DOWN) {
            EXPECT_EQ(log[0]["params"]["D3"].asString(),
                      "\xEC\x95\x84\xEB\x8D\xB4 \xEB\x82\xB4\xEB\xB9\x84\xEA\xB2\x8C\xEC\x9D\xB4\xEC\x85\x98");
        }
    }
}

TEST_F(WebPost, CallsRetryAndGiveUp) {
    struct Case {
        size_t call;
        const char* rules;
        bool answered;
        size_t requests;
    } cases[] = {
        {0, R"([{"path":"/api/GetGUID","status":500,"times":2}])", true, 3},
        {0, R"([{"path":"/api/GetGUID","status":404}])", false, 5},
        {0, R"([{"path":"/api/GetGUID","empty":true,"times":1}])", true, 2},  // an empty reply is no answer
        {0, R"([{"path":"/api/GetGUID","cut":5,"times":1}])", true, 2},          // nor is a cut one
        {3, R"([{"path":"/api/GetLanguage","endless":20000000,"times":1}])", true, 2},
        {1, R"([{"path":"/api/ChkRegist","drop":true}])", false, 0},
        {3, R"([{"path":"/api/GetLanguage","status":503,"times":4}])", true, 5},
        {4, R"([{"path":"/api/ChkDown","empty":true}])", false, 5},
        {5, R"([{"path":"/api/chkPrivate","status":500}])", false, 3},
        {5, R"([{"path":"/api/chkPrivate","status":302,"body":"moved"}])", true, 1},  // 3xx is usable
    };
    const std::vector<Call> all = calls();
    for (const Case& c : cases) {
        const Call& call = all[c.call];
        SCOPED_TRACE(testing::Message() << call.name << " " << c.rules);
        standin::setFaults(c.rules);
        standin::markRequests();
        CWebPOST post;
        CString reply = call.run(post, getServerHost(call.apiType), getApiPath(call.apiType));
        EXPECT_EQ(!reply.IsEmpty(), c.answered) << reply.GetString();
        if (c.answered && std::string(c.rules).find("\"status\"") == std::string::npos) {
            EXPECT_EQ(reply.Left(static_cast<int>(wcslen(call.replyStart))), call.replyStart);
        }
        if (c.requests) {
            EXPECT_EQ(standin::requests(call.pathPattern).size(), c.requests);
        }
    }
}

TEST(WebPostLog, QueryValuesAreMasked) {
    const struct {
        const wchar_t* path;
        const wchar_t* logged;
    } cases[] = {
        {L"/api/ChkRegist?D1=abc%2B&D2=&D3=x=y", L"/api/ChkRegist?D1=*&D2=*&D3=*"},
        {L"/api/GetGUID?", L"/api/GetGUID?"},
        {L"/api/x?flag&D1=v", L"/api/x?flag&D1=*"},
        {L"/UpdateInfo.txt", L"/UpdateInfo.txt"},
    };
    for (const auto& c : cases) EXPECT_EQ(maskQueryValues(c.path), CString(c.logged)) << c.path;
}

TEST_F(WebPost, FormRequestDetails) {
    // No parameters: the path still ends in "?".
    CWebPOST post;
    ResponseData* data = new ResponseData();
    CString updateHost = standin::host();  // the update host's plain HTTP side
    ASSERT_TRUE(post.Submit(updateHost, getApiPath(API_LIVE_UPDATE) + L"UpdateInfo.txt", data, 80, nullptr, L"GET",
                            FALSE));
    ASSERT_NE(data->pData, nullptr);
    EXPECT_GT(data->count, 0u);
    EXPECT_EQ(data->pData[data->count], 0);
    EXPECT_EQ(post.FreeData(&data), 1);
    EXPECT_EQ(data, nullptr);
    auto log = standin::requests("*/UpdateInfo.txt");
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0]["query"].asString(), "");
    EXPECT_EQ(log[0]["scheme"].asString(), "http");

    // An empty reply is a reply: TRUE with count 0 and a one-byte block.
    standin::setFaults(R"([{"path":"/api/GetGUID","empty":true}])");
    data = new ResponseData();
    RequestParamGUID guid = guidParams();
    EXPECT_TRUE(post.Submit(host, getApiPath(API_GET_GUID), data, 443, &guid, L"GET", FALSE));
    EXPECT_EQ(data->count, 0u);
    ASSERT_NE(data->pData, nullptr);
    EXPECT_EQ(data->pData[0], 0);
    post.FreeData(&data);
    EXPECT_EQ(post.FreeData(&data), 1);  // an empty holder too
}

TEST_F(WebPost, NoConnectionSendsNothing) {
    ConnectivityProbe previous = setConnectivityProbe([](DWORD& flags) { return flags = 0, false; });
    CWebPOST post;
    CString reply = post.RequestGUID(host, getApiPath(API_GET_GUID), 443, guidParams(), TRUE);
    ResponseData data;
    RequestParamJson json;
    BOOL jsonSent = post.SubmitAsJson(host, getApiPath(API_SET_DOWN_ERROR_LOG), &data, 443, &json, L"POST", TRUE);
    int probe = post.HttpCheckStatus(host, getApiPath(API_GET_GUID), 443, L"GET", TRUE);
    setConnectivityProbe(previous);
    EXPECT_TRUE(reply.IsEmpty());
    EXPECT_FALSE(jsonSent);
    EXPECT_EQ(probe, -1);
    EXPECT_TRUE(standin::requests("/api/*").empty());
}

TEST_F(WebPost, JsonRequestCarriesItsBody) {
    RequestParamJson body;
    body.m_value["UserID"] = CStringA(CWebPOST::EncryptValue(L"ts.member")).GetString();
    body.m_value["Count"] = 3;
    CWebPOST post;
    ResponseData* data = new ResponseData();
    ASSERT_TRUE(post.SubmitAsJson(host, getApiPath(API_SET_DOWN_ERROR_LOG), data, 443, &body, L"POST", TRUE));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(data->pData), data->count), "200");
    post.FreeData(&data);
    auto log = standin::requests("/api/SetDownErrorLog");
    ASSERT_EQ(log.size(), 1u);
    EXPECT_TRUE(log[0]["errors"].empty()) << log[0]["errors"].toStyledString();
    EXPECT_EQ(log[0]["decrypted"]["UserID"].asString(), "ts.member");
    EXPECT_EQ(log[0]["json"]["Count"].asInt(), 3);
    EXPECT_EQ(standin::header(log[0], "User-Agent"), "KSClient");
    EXPECT_EQ(standin::header(log[0], "Content-Type"), "application/json;");

    // Port 443 without the secure flag is plain HTTP for the JSON request,
    // which a TLS server does not answer.
    data = new ResponseData();
    EXPECT_FALSE(post.SubmitAsJson(host, getApiPath(API_SET_DOWN_ERROR_LOG), data, 443, &body, L"POST", FALSE));
    post.FreeData(&data);
}

TEST_F(WebPost, StatusProbe) {
    const CString updateHost = L"http://" + standin::host();
    const CString updatePath = getApiPath(API_LIVE_UPDATE);
    struct Case {
        const char* name;
        const char* rules;
        CString server, path;
        int port;
        BOOL secure;
        int want;
    } cases[] = {
        {"list file", "[]", updateHost, updatePath + L"UpdateInfo.txt", 80, FALSE, 0},
        {"missing file", "[]", updateHost, updatePath + L"none.txt", 80, FALSE, -8},
        {"moved", R"([{"path":"*/UpdateInfo.txt","status":302}])", updateHost, updatePath + L"UpdateInfo.txt", 80,
         FALSE, 0},
        {"server error", R"([{"path":"*/UpdateInfo.txt","status":500}])", updateHost, updatePath + L"UpdateInfo.txt",
         80, FALSE, -8},
        {"no reply", R"([{"path":"*/UpdateInfo.txt","drop":true}])", updateHost, updatePath + L"UpdateInfo.txt", 80,
         FALSE, -8},  // WinINet reads a reply that never came as status 0
        {"HTTPS", "[]", host, getApiPath(API_GET_GUID), 443, TRUE, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        standin::setFaults(c.rules);
        CWebPOST post;
        EXPECT_EQ(post.HttpCheckStatus(c.server, c.path, c.port, L"GET", c.secure), c.want);
    }
}

// The service's address as one decimal number: the same server, a name its
// certificate does not carry.
CString unnamedAlias(const CString& dotted) {
    unsigned a = 0, b = 0, c = 0, d = 0;
    swscanf(dotted.GetString(), L"%u.%u.%u.%u", &a, &b, &c, &d);
    CString alias;
    alias.Format(L"%lu", static_cast<unsigned long>((a << 24) | (b << 16) | (c << 8) | d));
    return alias;
}

TEST_F(WebPost, CertificateForAnotherNameIsRefused) {
    const CString alias = unnamedAlias(host);
    CWebPOST post;
    EXPECT_TRUE(post.RequestGUID(alias, getApiPath(API_GET_GUID), 443, guidParams(), TRUE).IsEmpty());
    EXPECT_EQ(post.HttpCheckStatus(alias, getApiPath(API_GET_GUID), 443, L"GET", TRUE), -9);
    ResponseData data;
    RequestParamJson json;
    EXPECT_FALSE(post.SubmitAsJson(alias, getApiPath(API_SET_DOWN_ERROR_LOG), &data, 443, &json, L"POST", TRUE));
    EXPECT_TRUE(standin::requests("/api/*").empty());
}

}  // namespace
