#include "tests/webclient/print.h"
#include "tests/webclient/standin_client.h"
#include "webclient/api_endpoints.h"
#include "webclient/download_worker.h"
#include "webclient/response_parser_guid.h"
#include "webclient/response_parser_language.h"
#include "webclient/response_parser_login.h"
#include "webclient/webpost.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

// ---------------------------------------------------------------- GUID

struct GuidCase {
    const wchar_t* reply;
    int returned;
    int code;
    const wchar_t* guid;
};

TEST(ResponseParserGUID, Replies) {
    const GuidCase cases[] = {
        {L"\r\n\n", 0, -1, L"unchanged"},
        {L"", 0, -1, L"unchanged"},
        {L"200|abc", 1, 200, L"abc"},
        {L"200|abc#!#", 1, 200, L"abc"},
        {L"200", 0, -1, L"unchanged"},
        {L"200|abc#!#300|def", 1, 300, L"def"},
        {L"20\r\n0|ab\nc|extra", 1, 200, L"abc"},
    };
    for (const GuidCase& c : cases) {
        CString guid(L"unchanged");
        ResponseParserGUID parser(-1, 0, &guid);
        EXPECT_EQ(parser.parse(c.reply), c.returned) << c.reply;
        EXPECT_EQ(parser.getResultCode(), c.code) << c.reply;
        EXPECT_EQ(guid, CString(c.guid)) << c.reply;
    }
}

// ---------------------------------------------------------------- language

TEST(ResponseParserLanguage, RegionsAndTheirLanguages) {
    LanguageCodeTable table;
    ResponseParserLanguage parser(-1, 2, &table);
    ASSERT_EQ(parser.parse(L"200|*|KR$KO$EN\r\n|*|US$EN"), 1);
    EXPECT_EQ(parser.getResultCode(), 200);
    EXPECT_EQ(table.regions, (std::vector<CString>{L"KR", L"US"}));
    ASSERT_EQ(table.languages.size(), 2u);
    EXPECT_EQ(table.languages[L"KR"], (std::vector<CString>{L"KO", L"EN"}));
    EXPECT_EQ(table.languages[L"US"], (std::vector<CString>{L"EN"}));

    // The first record of a region wins; the region is listed each time.
    ASSERT_EQ(parser.parse(L"200|*|KR$KO|*|KR$EN"), 1);
    EXPECT_EQ(table.languages[L"KR"], (std::vector<CString>{L"KO"}));
    EXPECT_EQ(table.regions, (std::vector<CString>{L"KR", L"KR"}));
}

TEST(ResponseParserLanguage, UnusableRepliesLeaveTheTable) {
    const struct {
        const wchar_t* reply;
        int code;
    } cases[] = {
        {L"200|*|KR", 7},      // no language code
        {L"500", 7},           // refusal without records
        {L"\n\r\n", -1},       // nothing at all
    };
    for (const auto& c : cases) {
        LanguageCodeTable table;
        table.regions = {L"AU"};
        table.languages[L"AU"] = {L"EN"};
        ResponseParserLanguage parser(7, 2, &table);
        EXPECT_EQ(parser.parse(c.reply), 0) << c.reply;
        EXPECT_EQ(parser.getResultCode(), c.code) << c.reply;
        EXPECT_EQ(table.regions, (std::vector<CString>{L"AU"})) << c.reply;
        EXPECT_EQ(table.languages.size(), 1u) << c.reply;
    }
}

// ---------------------------------------------------------------- login

// A sign-in reply in format 2, field by field.
struct LoginReply {
    CString result = L"200|Kim|";
    std::vector<CString> fields = std::vector<CString>(19);

    LoginReply& set(int field, const CString& value) {
        fields[static_cast<size_t>(field)] = value;
        return *this;
    }
    CString text() const {
        CString out = L"STANDIN#!#" + result;
        for (size_t i = 2; i < fields.size(); ++i) out += L"#!#" + fields[i];
        return out;
    }
};

// Two vehicles: the first with a common and a model descriptor.
LoginReply twoVehicles() {
    LoginReply r;
    r.result = L"200|Kim||A_COMMON.inf@A_MODEL.inf$1|B.inf$0";
    r.set(4, L"https://h/contents/inf/")
        .set(5, L"TS$Arden|Arden Navi|9|Y|*|TS$Belmont|Belmont Audio|5|N")
        .set(6, L"a.png|*|b.png")
        .set(7, L"https://h/img/vehicle")
        .set(8, L"A01|*|B02")
        .set(10, L"a_nav.png|*|b_nav.png")
        .set(11, L"https://h/img/gps")
        .set(12, L"SW.A|*|SW.B")
        .set(13, L"SD|*|USB")
        .set(14, L"3|*|5")
        .set(15, L"A01|A02|*|B02")
        .set(16, L"Arden Intl|Arden Navigation|*|Belmont Intl|Belmont Audio Intl")
        .set(17, L"ts-arden|*|ts-belmont")
        .set(18, L"TSD-0042|ignored");
    return r;
}

struct LoginOutput {
    CString text1 = L"-", text2 = L"-", text3 = L"-", dealer = L"-";
    InfInfoList list;
    int returned = 0;
    int code = 0;

    explicit LoginOutput(const CString& reply, int format = 2) {
        ResponseParserLogin parser(-1, format, &text1, &text2, &text3, &list, &dealer);
        returned = parser.parse(reply);
        code = parser.getResultCode();
    }
    std::vector<InfInfo*> entries() const { return std::vector<InfInfo*>(list.m_list.begin(), list.m_list.end()); }
};

// The guest catalogue reads the reply's own code: a 200 without vehicles is
// an empty catalogue, not a failure.
TEST(ResponseParserLogin, ReplyCodeAndListAgreement) {
    const struct {
        const wchar_t* name;
        CString reply;
        int replyCode;
        bool agree;
    } cases[] = {
        {L"only line ends", L"\r\n", -1, false},
        {L"success without vehicles", L"X#!#200|a|b", 200, true},
        {L"success with empty lists", LoginReply().text(), 200, true},
        {L"two vehicles", twoVehicles().text(), 200, true},
        {L"lists one short", [] {
             LoginReply r = twoVehicles();
             r.set(6, L"a.png");
             return r.text();
         }(), 200, false},
        {L"refusal", L"X#!#401|m1|m2", 401, true},
    };
    for (const auto& c : cases) {
        InfInfoList list;
        ResponseParserLogin parser(-1, 2, nullptr, nullptr, nullptr, &list, nullptr);
        parser.parse(c.reply);
        EXPECT_EQ(parser.getReplyCode(), c.replyCode) << c.name;
        EXPECT_EQ(parser.listsAgree(), c.agree) << c.name;
    }
}

TEST(ResponseParserLogin, ResultCodesTextsAndRefusals) {
    // "-" marks an output the parser did not touch.
    const struct {
        const wchar_t* name;
        CString reply;
        int format, returned, code;
        const wchar_t *text1, *text2, *text3;
        size_t entries;
    } cases[] = {
        {L"only line ends", L"\r\n\n", 2, 0, -1, L"-", L"-", L"-", 0},
        {L"success without vehicles", L"X#!#200|a|b", 2, 0, 900, L"a", L"", L"b", 0},
        {L"success with empty lists", LoginReply().text(), 2, 0, 900, L"Kim", L"", L"", 0},
        {L"refusal", L"X#!#401|m1|m2", 2, 1, 401, L"m1", L"", L"m2", 0},
        {L"904 carries its link first", L"X#!#904|https://h/web/authority|No authority", 2, 1, 904,
         L"https://h/web/authority", L"", L"No authority", 0},
        {L"code with noise", L"X#!#4x03\r\n||Reset your password", 2, 1, 403, L"", L"", L"Reset your password", 0},
        {L"no field 1", L"STANDIN", 2, 1, 0, L"", L"", L"", 0},
        {L"lists one short", [] {
             LoginReply r = twoVehicles();
             r.set(6, L"a.png");
             return r.text();
         }(), 2, 0, 900, L"Kim", L"", L"", 0},
        {L"a list field missing", [] {
             LoginReply r = twoVehicles();
             r.fields.resize(17);
             return r.text();
         }(), 2, 0, 900, L"Kim", L"", L"", 0},
        {L"refusal with a vehicle list", [] {
             LoginReply r = twoVehicles();
             r.result = L"700|Kim||A.inf$1|B.inf$1";
             return r.text();
         }(), 2, 1, 700, L"Kim", L"", L"", 2},
        {L"refusal with all 19 fields", [] {
             LoginReply r;
             r.result = L"401|m1|m2";
             return r.text();
         }(), 2, 1, 401, L"m1", L"", L"m2", 0},
        {L"another format", L"X#!#401|m1|m2", 1, 0, -1, L"-", L"-", L"-", 0},
    };
    for (const auto& c : cases) {
        LoginOutput out(c.reply, c.format);
        EXPECT_EQ(out.returned, c.returned) << c.name;
        EXPECT_EQ(out.code, c.code) << c.name;
        EXPECT_EQ(out.text1, CString(c.text1)) << c.name;
        EXPECT_EQ(out.text2, CString(c.text2)) << c.name;
        EXPECT_EQ(out.text3, CString(c.text3)) << c.name;
        EXPECT_EQ(out.list.size(), c.entries) << c.name;
    }
}

TEST(ResponseParserLogin, VehiclesBecomeEntries) {
    LoginOutput out(twoVehicles().text());
    ASSERT_EQ(out.returned, 1);
    EXPECT_EQ(out.code, 200);
    EXPECT_EQ(out.dealer, CString(L"TSD-0042"));
    const std::vector<InfInfo*> e = out.entries();
    ASSERT_EQ(e.size(), 3u);

    // Listed first, then by sort number; a vehicle's descriptors stay in order.
    EXPECT_EQ(e[0]->getInfFileName(), CString(L"A_COMMON.inf"));
    EXPECT_EQ(e[1]->getInfFileName(), CString(L"A_MODEL.inf"));
    EXPECT_EQ(e[2]->getInfFileName(), CString(L"B.inf"));
    EXPECT_EQ(e[0]->getModelFlag(), 0);
    EXPECT_EQ(e[1]->getModelFlag(), 1);
    EXPECT_EQ(e[0]->getFirstDescriptor(), e[0]);
    EXPECT_EQ(e[1]->getFirstDescriptor(), e[0]);
    EXPECT_EQ(e[2]->getFirstDescriptor(), e[2]);
    EXPECT_EQ(e[1]->getMapUpdate(), 1);
    EXPECT_EQ(e[2]->getMapUpdate(), 0);

    const InfInfo& a = *e[1];
    EXPECT_TRUE(a.m_guard.intact());
    EXPECT_EQ(a.getInfUrl(), CString(L"https://h/contents/inf/"));
    EXPECT_EQ(a.getBrandCode(), CString(L"TS"));
    EXPECT_EQ(a.getCarName(), CString(L"Arden"));
    EXPECT_EQ(a.getDeviceName(), CString(L"Arden Navi"));
    EXPECT_EQ(a.getSortNumber(), 9);
    EXPECT_EQ(a.getGroup(), 1);
    EXPECT_EQ(a.getVehicleImageName(), CString(L"a.png"));
    EXPECT_EQ(a.getVehicleImageUrl(), CString(L"https://h/img/vehicle"));
    EXPECT_EQ(a.getGpsImageName(), CString(L"a_nav.png"));
    EXPECT_EQ(a.getGpsImageUrl(), CString(L"https://h/img/gps"));
    EXPECT_EQ(a.getModelCode(), CString(L"A01"));
    EXPECT_EQ(a.getModelCodeList(), CString(L"A01|A02"));
    EXPECT_EQ(a.getMediaType(), CString(L"SD"));
    EXPECT_EQ(a.getDeviceType(), 3);
    EXPECT_EQ(a.getCarNameIntl(), CString(L"Arden Intl"));
    EXPECT_EQ(a.getDeviceNameIntl(), CString(L"Arden Navigation"));
    // Both descriptors of one vehicle share its pattern: the second is set apart.
    EXPECT_EQ(e[0]->getSwVersion(), CString(L"SW.A"));
    EXPECT_EQ(e[1]->getSwVersion(), CString(L"SW.A "));
    EXPECT_EQ(e[2]->getSwVersion(), CString(L"SW.B"));
    EXPECT_EQ(e[2]->getGroup(), 0);
    EXPECT_EQ(e[2]->getDeviceType(), 5);
}

TEST(ResponseParserLogin, ListedFirstMarkAndRepeatedPatterns) {
    const wchar_t* marks[] = {L"Y", L"y", L"N", L"Yes", L""};
    const BYTE expectedMark[] = {1, 1, 0, 0, 0};
    LoginReply r;
    r.result = L"200|||A.inf$1|B.inf$1|C.inf$1|D.inf$1|E.inf$1";
    CString names, lists;
    for (int i = 0; i < 5; ++i) {
        CString item;
        // Descending sort numbers keep the reply's order apart from the mark.
        item.Format(L"TS$V%d|D|%d|%s", i, 50 - i, marks[i]);
        names += (i ? L"|*|" : L"") + item;
        lists += i ? L"|*|X" : L"X";
    }
    r.set(5, names).set(6, lists).set(8, lists).set(10, lists).set(12, lists).set(13, lists).set(14, lists)
        .set(15, lists).set(16, lists).set(17, lists);
    LoginOutput out(r.text());
    ASSERT_EQ(out.returned, 1);
    std::vector<InfInfo*> e = out.entries();
    ASSERT_EQ(e.size(), 5u);
    for (InfInfo* entry : e) {
        int i = entry->getCarName()[1] - L'0';
        EXPECT_EQ(entry->getGroup(), expectedMark[i]) << i;
    }
    std::vector<CString> patterns;
    for (InfInfo* entry : e) patterns.push_back(entry->getSwVersion());
    std::sort(patterns.begin(), patterns.end());
    EXPECT_EQ(patterns, (std::vector<CString>{L"X", L"X ", L"X  ", L"X   ", L"X   "}));
}

TEST(ResponseParserLogin, EmptyPiecesAndLineEnds) {
    LoginReply r;
    // An empty INF name still makes an entry; a piece without "$" has no map update.
    r.result = L"200|Kim||@B.inf";
    r.set(5, L"TS").set(6, L"").set(8, L"").set(10, L"").set(12, L"").set(13, L"").set(14, L"").set(15, L"")
        .set(16, L"").set(17, L"");
    CString text = r.text();
    text.Replace(L"#!#", L"\r\n#!#\n");
    LoginOutput out(text);
    ASSERT_EQ(out.returned, 1);
    std::vector<InfInfo*> e = out.entries();
    ASSERT_EQ(e.size(), 2u);
    EXPECT_EQ(e[0]->getInfFileName(), CString(L""));
    EXPECT_EQ(e[1]->getInfFileName(), CString(L"B.inf"));
    EXPECT_EQ(e[0]->getMapUpdate(), 0);
    EXPECT_EQ(e[0]->getBrandCode(), CString(L"TS"));
    EXPECT_EQ(e[0]->getCarName(), CString(L""));
    EXPECT_EQ(e[0]->getSortNumber(), 0);
    EXPECT_EQ(e[1]->getSwVersion(), CString(L""));  // an empty pattern stays empty
}

// Descriptor names become folders under the download folder, made and
// emptied by the shell: only plain names the platform keeps as written.
TEST(ResponseParserLogin, DescriptorNameRule) {
    const struct {
        const wchar_t* name;
        bool usable;
    } cases[] = {
        {L"Model.inf", true},          {L"A_COMMON.INF", true},        {L"Arden 2024.inf", true},
        {L"..\\escaped\\Model.inf", false}, {L"..\\*.inf", false},     {L"..", false},
        {L"sub/Model.inf", false},     {L"sub\\Model.inf", false},     {L"C:Model.inf", false},
        {L"*.inf", false},             {L"Model?.inf", false},         {L"<a>.inf", false},
        {L"a|b.inf", false},           {L"\"a\".inf", false},          {L"Model.inf.", false},
        {L"Model.inf ", false},        {L"MODEL~1.INF", false},        {L"Model~x.inf", true},
        {L"nul.inf", false},           {L"COM1", false},               {L"a\tb.inf", false},
        {L"", false},
    };
    for (const auto& c : cases) EXPECT_EQ(ResponseParserLogin::isUsableDescriptorName(c.name), c.usable) << c.name;
}

// A refused model descriptor goes alone; a refused common descriptor takes
// its vehicle with it, whose models would otherwise join another folder.
TEST(ResponseParserLogin, RefusedDescriptorNamesAreDropped) {
    const struct {
        const wchar_t* vehicles;
        std::vector<CString> kept;
    } cases[] = {
        {L"A_COMMON.inf@..\\escaped\\Model.inf$1|B.inf$0", {L"A_COMMON.inf", L"B.inf"}},
        {L"..\\*.inf@A_MODEL.inf$1|B.inf$0", {L"B.inf"}},
        {L"A_COMMON.inf@A_MODEL.inf$1|B.inf.$0", {L"A_COMMON.inf", L"A_MODEL.inf"}},
    };
    for (const auto& c : cases) {
        LoginReply r = twoVehicles();
        r.result = CString(L"200|Kim||") + c.vehicles;
        LoginOutput out(r.text());
        EXPECT_EQ(out.code, 200) << c.vehicles;
        std::vector<CString> names;
        for (InfInfo* e : out.entries()) names.push_back(e->getInfFileName());
        EXPECT_EQ(names, c.kept) << c.vehicles;
    }
}

// ---------------------------------------------------------------- stand-in

CString enc(const wchar_t* text) {
    return CWebPOST::EncryptValue(text);
}

bool fetches(const CString& url) {
    download_worker worker(url);
    return worker.remote_file_download_tls(0, nullptr, [](const BYTE*, UINT32) { return 1; }) && worker.status == 200;
}

TEST(ResponseParserLogin, StandInAccountBecomesItsVehicles) {
    REQUIRE_STANDIN();
    standin::clearFaults();
    RequestParamLogin p;
    p.setParam1(enc(L"ts.member"));
    p.setParam2(enc(L"TS"));
    p.setParam3(enc(L"Tessaly#2024"));
    p.setParam4(enc(L"KR"));
    p.setParam5(enc(L"C0FFEE00-5EED-4B1D-8A11-000000000001"));
    p.m_strLoginType = enc(L"U");
    CWebPOST post;
    const CString reply =
        post.LoginStart(getServerHost(API_CHK_REGIST), getApiPath(API_CHK_REGIST), 443, p, TRUE);
    ASSERT_FALSE(reply.IsEmpty());

    LoginOutput out(reply);
    ASSERT_EQ(out.code, 200);
    EXPECT_EQ(out.text1, CString(L"\xAE40\xBBFC\xC218"));  // the member's name
    std::vector<InfInfo*> e = out.entries();
    ASSERT_EQ(e.size(), 3u);
    EXPECT_EQ(e[0]->getInfFileName(), CString(L"TS_A01_COMMON.inf"));
    EXPECT_EQ(e[1]->getInfFileName(), CString(L"TS_A01_MODEL.inf"));
    EXPECT_EQ(e[2]->getInfFileName(), CString(L"TS_B02.inf"));
    EXPECT_EQ(e[1]->getFirstDescriptor(), e[0]);
    EXPECT_EQ(e[0]->getModelCode(), CString(L"A01"));
    EXPECT_EQ(e[0]->getModelCodeList(), CString(L"A01|A02"));
    EXPECT_EQ(e[2]->getModelCode(), CString(L"B02"));
    EXPECT_EQ(e[0]->getSwVersion(), CString(L"KOR.TS.A01.000.SD.STD_240501|USA.TS.A01.000.SD.STD_240501"));
    EXPECT_EQ(e[1]->getSwVersion(), e[0]->getSwVersion() + L" ");
    EXPECT_EQ(e[2]->getMapUpdate(), 0);
    EXPECT_EQ(e[2]->getDeviceType(), 5);
    EXPECT_EQ(e[0]->getDeviceNameIntl(), CString(L"Arden Navigation"));

    for (InfInfo* entry : e) {
        // Each descriptor and picture is where the reply says.
        EXPECT_NE(entry->getInfFileHead(), nullptr) << CStringA(entry->getInfFileName()).GetString();
        EXPECT_TRUE(fetches(entry->getVehicleImageUrl() + L"/" + entry->getVehicleImageName()));
        EXPECT_TRUE(fetches(entry->getGpsImageUrl() + L"/" + entry->getGpsImageName()));
    }
}

}  // namespace
