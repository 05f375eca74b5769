// The requests of the scan, the consent report and the picture cache,
// against the stand-in service.
#include "foundation/code_tables.h"
#include "foundation/globalfunc.h"
#include "foundation/logmanager.h"
#include "foundation/regsetting.h"
#include "shell/scan/consent_report.h"
#include "shell/scan/guest_catalog.h"
#include "shell/scan/picture_cache.h"
#include "tests/shell_scan/scan_fixtures.h"
#include "tests/support/test_support.h"
#include "tests/webclient/standin_client.h"
#include "webclient/connectivity.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <memory>

namespace {

const wchar_t kGuid[] = L"C0FFEE00-5EED-4B1D-8A11-000000000001";

void useRegion(int region) {
    CRegSetting::setRegion(region);
    AfxGetApp()->WriteProfileString(getRegionCode(region) + L"_User", L"ClientGUID", kGuid);
}

std::string param(const Json::Value& entry, const char* name) {
    return entry["params"][name].asString();
}

bool plain(const Json::Value& entry, const char* name) {
    for (const Json::Value& p : entry["plain"])
        if (p.asString() == name) return true;
    return false;
}

}  // namespace

TEST(GuestCatalog, RepliesAndFailures) {
    REQUIRE_STANDIN();
    useRegion(REGION_KR);
    standin::clearFaults();

    // The old list goes; the new one lists what a guest sees.
    InfInfoList* catalog = makeList({{L"OLD.inf", L"TS", L"1", L""}});
    standin::markRequests();
    EXPECT_TRUE(requestGuestCatalog(catalog, CORP_TS));
    ASSERT_NE(catalog, nullptr);
    EXPECT_TRUE(catalog->isOwning());
    ASSERT_EQ(catalog->size(), 3u);  // two descriptors of one vehicle, one of another
    for (InfInfo* e : catalog->m_list) EXPECT_EQ(e->getBrandCode(), CString(L"TS"));
    auto log = standin::requests("/api/ChkRegist");
    ASSERT_EQ(log.size(), 1u);
    EXPECT_TRUE(plain(log[0], "D1") && plain(log[0], "D3")) << log[0].toStyledString();
    EXPECT_EQ(param(log[0], "D2"), "TS");
    EXPECT_EQ(param(log[0], "D4"), "KR");
    EXPECT_EQ(param(log[0], "D5"), "C0FFEE00-5EED-4B1D-8A11-000000000001");
    EXPECT_TRUE(log[0]["errors"].empty()) << log[0].toStyledString();

    // No LV vehicle in KR: a valid, empty answer.
    EXPECT_TRUE(requestGuestCatalog(catalog, CORP_LV));
    ASSERT_NE(catalog, nullptr);
    EXPECT_TRUE(catalog->empty());

    struct Case {
        const char* name;
        const char* faults;
        bool offline;
    } failures[] = {
        {"refusal", R"([{"path": "/api/ChkRegist", "status": 200, "body": "STANDIN#!#401||refused"}])", false},
        {"server error", R"([{"path": "/api/ChkRegist", "status": 500}])", false},
        {"no connection", "[]", true},
    };
    for (const Case& c : failures) {
        standin::setFaults(c.faults);
        ConnectivityProbe previous;
        if (c.offline) previous = setConnectivityProbe([](DWORD& flags) {
            flags = 0;
            return false;
        });
        EXPECT_FALSE(requestGuestCatalog(catalog, CORP_TS)) << c.name;
        if (c.offline) setConnectivityProbe(previous);
        ASSERT_NE(catalog, nullptr) << c.name;
        EXPECT_TRUE(catalog->empty()) << c.name;
    }
    standin::clearFaults();
    delete catalog;
}

TEST(ConsentReport, ValuesRegionAndReply) {
    REQUIRE_STANDIN();
    standin::clearFaults();
    const std::vector<CString>& keys = CRegSetting::getSettingKeys();
    auto desc0 = [&]() {
        return AfxGetApp()->GetProfileInt(keys[REG_SETTINGS_SECTION], keys[REG_SETTINGS_SEND_VCRM_DESC0], 0);
    };
    auto store = [&](int key, int value) {
        AfxGetApp()->WriteProfileInt(keys[REG_SETTINGS_SECTION], keys[key], value);
    };

    // Outside KR: no thread, no request.
    useRegion(REGION_US);
    standin::markRequests();
    EXPECT_FALSE(startUserPrivateThread(UserPrivateReport::capture(L"ts.us", L"TS")));
    EXPECT_EQ(requestUserPrivate(UserPrivateReport::capture(L"ts.us", L"TS")), 0);
    EXPECT_TRUE(standin::requests("/api/chkPrivate").empty());

    useRegion(REGION_KR);
    struct Case {
        int desc1, desc2;  // -1: never stored
        const char *d5, *d6;
    } cases[] = {{1, 1, "Y", "Y"}, {0, 0, "N", "N"}, {-1, -1, "N", "N"}, {1, 2, "Y", "N"}};
    for (const Case& c : cases) {
        AfxGetApp()->WriteProfileInt(keys[REG_SETTINGS_SECTION], keys[REG_SETTINGS_SEND_VCRM_DESC0], 0);
        HKEY settings = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, (TestApp::registryPath() + L"\\Settings").GetString(), 0, KEY_SET_VALUE,
                          &settings) == ERROR_SUCCESS) {
            RegDeleteValueW(settings, keys[REG_SETTINGS_SEND_VCRM_DESC1].GetString());
            RegDeleteValueW(settings, keys[REG_SETTINGS_SEND_VCRM_DESC2].GetString());
            RegCloseKey(settings);
        }
        if (c.desc1 >= 0) store(REG_SETTINGS_SEND_VCRM_DESC1, c.desc1);
        if (c.desc2 >= 0) store(REG_SETTINGS_SEND_VCRM_DESC2, c.desc2);
        standin::markRequests();
        EXPECT_EQ(requestUserPrivate(UserPrivateReport::capture(L"ts.member", L"TS")), 200);
        auto log = standin::requests("/api/chkPrivate");
        ASSERT_EQ(log.size(), 1u);
        EXPECT_TRUE(log[0]["errors"].empty()) << log[0].toStyledString();
        EXPECT_EQ(param(log[0], "D1"), "ts.member");
        EXPECT_EQ(param(log[0], "D2"), "TS");
        EXPECT_EQ(param(log[0], "D3"), "KR");
        EXPECT_EQ(param(log[0], "D5"), c.d5);
        EXPECT_EQ(param(log[0], "D6"), c.d6);
        EXPECT_EQ(param(log[0], "D7"), "Y");
        EXPECT_EQ(param(log[0], "D8").size(), 14u);
        EXPECT_EQ(desc0(), 1u);
    }

    // Another reply code leaves the stored value; "N" is no brand code.
    AfxGetApp()->WriteProfileInt(keys[REG_SETTINGS_SECTION], keys[REG_SETTINGS_SEND_VCRM_DESC0], 0);
    standin::setFaults(R"([{"path": "/api/chkPrivate", "status": 200, "body": "STANDIN#!#500|*|no"}])");
    standin::markRequests();
    EXPECT_EQ(requestUserPrivate(UserPrivateReport::capture(L"ts.member", L"N")), 500);
    EXPECT_EQ(desc0(), 0u);
    standin::clearFaults();
    auto log = standin::requests("/api/chkPrivate");
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(param(log[0], "D2"), "");

    // The thread works on its own copy.
    standin::markRequests();
    {
        UserPrivateReport report = UserPrivateReport::capture(L"ts.member", L"TS");
        EXPECT_TRUE(startUserPrivateThread(report));
        report.userId = L"changed";
    }
    for (int i = 0; i < 200 && desc0() != 1; ++i) Sleep(50);
    EXPECT_EQ(desc0(), 1u);
    log = standin::requests("/api/chkPrivate");
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(param(log[0], "D1"), "ts.member");
}

namespace {

struct Pictures : testing::Test {
    void SetUp() override {
        if (!standin::available()) GTEST_SKIP() << "no stand-in instance";
        standin::clearFaults();
        folder = CGlobalFunc::getAppDataPath() + L"\\Kestrune\\VehicleImages\\";
        for (const wchar_t* name : {L"ts_arden.png", L"ts_belmont.png", L"missing.png"})
            DeleteFileW((folder + name).GetString());
    }
    void TearDown() override { standin::clearFaults(); }

    std::unique_ptr<InfInfo> entry(const wchar_t* picture) {
        std::unique_ptr<InfInfo> e(new InfInfo);
        e->setVehicleImageName(picture);
        e->setVehicleImageUrl(standin::url(L"/contents/img/vehicle"));
        e->setGpsImageName(L"ts_arden_nav.png");
        e->setGpsImageUrl(standin::url(L"/contents/img/gps"));
        return e;
    }

    // Every file of the cache folder other than the pictures.
    int strayFiles() {
        int n = 0;
        WIN32_FIND_DATAW found{};
        HANDLE find = FindFirstFileW((folder + L"*").GetString(), &found);
        if (find == INVALID_HANDLE_VALUE) return 0;
        do {
            CString name = found.cFileName;
            if (name != L"." && name != L".." && name.Right(4) != L".png") ++n;
        } while (FindNextFileW(find, &found));
        FindClose(find);
        return n;
    }

    CString folder;
};

}  // namespace

TEST_F(Pictures, DownloadedOnceAndCached) {
    auto arden = entry(L"ts_arden.png");
    standin::markRequests();
    const CString path = getVehicleImagePath(arden.get());
    EXPECT_EQ(path, folder + L"ts_arden.png");
    EXPECT_EQ(standin::requests("/contents/img/vehicle/*").size(), 1u);
    EXPECT_NE(GetFileAttributesW(CString(folder.Left(folder.GetLength() - 1)).GetString()) & FILE_ATTRIBUTE_HIDDEN, 0u);
    EXPECT_EQ(getVehicleImagePath(arden.get()), path);
    EXPECT_EQ(standin::requests("/contents/img/vehicle/*").size(), 1u);
    std::unique_ptr<Gdiplus::Bitmap> bitmap(loadBitmapFile(path));
    EXPECT_NE(bitmap, nullptr);
    EXPECT_FALSE(getGpsImagePath(arden.get()).IsEmpty());
    EXPECT_EQ(strayFiles(), 0);
}

TEST_F(Pictures, FailuresLeaveNoFile) {
    struct Case {
        const char* name;
        const wchar_t* picture;
        const char* faults;
        size_t requests;
        bool record;
    } cases[] = {
        {"not on the server", L"missing.png", "[]", 1, true},
        {"cut short", L"ts_belmont.png",
         R"([{"path": "/contents/img/vehicle/*", "cut": 100, "times": 1},
             {"path": "/contents/img/vehicle/*", "status": 500}])",
         2, true},
        {"a reply that never ends (no picture is that large)", L"ts_belmont.png",
         R"([{"path": "/contents/img/vehicle/*", "endless": 20000000}])", 1, true},
        {"a path instead of a name", L"..\\ts_arden.png", "[]", 0, false},
        {"a device name", L"con.png", "[]", 0, false},
        {"no picture", L"", "[]", 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        standin::setFaults(c.faults);
        standin::markRequests();
        const CString before = g_logManager.getStatisticsContext().errorLog;
        auto e = entry(c.picture);
        EXPECT_TRUE(getVehicleImagePath(e.get()).IsEmpty());
        EXPECT_EQ(standin::requests("/contents/img/vehicle/*").size() > 0, c.requests > 0);
        const CString added = g_logManager.getStatisticsContext().errorLog.Mid(before.GetLength());
        const CString address = pictureAddress(e->getVehicleImageUrl(), c.picture);
        EXPECT_EQ(added.Find(L"[E:2,") >= 0 && added.Find(L",PS:0,FP:" + address + L"]") >= 0, c.record)
            << utf8(added);
        EXPECT_EQ(strayFiles(), 0);
        if (isPlainPictureName(c.picture)) EXPECT_FALSE(fileExists(folder + c.picture));
    }
}

TEST(PictureRules, NamesBrandsAndSizes) {
    struct NameCase {
        const wchar_t* name;
        bool plain;
    } names[] = {
        {L"ts_arden.png", true}, {L"\xC544\xB374.png", true}, {L"..\\a.png", false}, {L"a/b.png", false},
        {L"C:a.png", false},     {L"a\x01.png", false},       {L"..", false},       {L"NUL", false},
        {L"lpt1.png", false},    {L"console.png", true},      {L"", false},
    };
    for (const NameCase& c : names) EXPECT_EQ(isPlainPictureName(c.name), c.plain) << c.name;

    struct BrandCase {
        const wchar_t* corp;
        int region;
        UINT vehicle, gps;
    } brands[] = {
        {L"TS", REGION_KR, 529, 529}, {L"DR", REGION_EU, 530, 530}, {L"LV", REGION_CA, 1741, 1741},
        {L"LV", REGION_US, 1741, 1741}, {L"LV", REGION_EU, 531, 531}, {L"N", REGION_KR, 406, 490},
        {L"", REGION_US, 406, 490},
    };
    for (const BrandCase& c : brands) {
        EXPECT_EQ(brandVehiclePicture(c.corp, c.region), c.vehicle) << c.corp << c.region;
        EXPECT_EQ(brandGpsPicture(c.corp, c.region), c.gps) << c.corp << c.region;
    }

    SIZE s = gpsPictureSize(SIZE{100, 80}, SIZE{400, 200});
    EXPECT_EQ(s.cx, 102);
    EXPECT_EQ(s.cy, 52);
    s = vehiclePictureSize(SIZE{100, 80});
    EXPECT_EQ(s.cx, 102);
    EXPECT_EQ(s.cy, 82);
    EXPECT_EQ(pictureAddress(L"https://h/img\\", L"a.png"), CString(L"https://h/img/a.png"));

    // A file GDI+ cannot read, or none, gives no bitmap.
    TempDir dir;
    writeBytes(dir / L"bad.png", "not a picture");
    EXPECT_EQ(loadBitmapFile(dir / L"bad.png"), nullptr);
    EXPECT_EQ(loadBitmapFile(dir / L"none.png"), nullptr);
    EXPECT_EQ(loadBitmapFile(L""), nullptr);
}
