// The root's side of the medium scan: from the account and the media on
// the removable test drives R: and S: to the view or message it shows.
#include "engine/usb_detector.h"
#include "foundation/code_tables.h"
#include "foundation/globalfunc.h"
#include "foundation/logmanager.h"
#include "foundation/program_strings.h"
#include "foundation/regsetting.h"
#include "pages/account/dlg_page_login.h"
#include "pages/vehicle/dlg_car_reg.h"
#include "resources/resource.h"
#include "shell/dlg_page_message.h"
#include "shell/message_types.h"
#include "tests/engine_drives/fake_drives.h"
#include "tests/shell/shell_fixture.h"
#include "tests/shell_scan/scan_fixtures.h"
#include "tests/support/capture.h"
#include "tests/webclient/config_scope.h"
#include "tests/webclient/standin_client.h"
#include "ui/session_flags.h"
#include "ui/static_ex.h"
#include "tests/ui_bases/ui_env.h"
#include "ui/view_state.h"

#include "afx/app.h"

#include <algorithm>
#include <functional>
#include <list>
#include <map>
#include <memory>
#include <vector>

namespace {

const wchar_t kSwA01[] = L"KOR.TS.A01.000.SD.STD_240501";

// The frame as the scan sees it: the account's list, the drive watcher and
// the retired catalogues, which it keeps until it ends as the program's does.
class ScanFrame : public FakeFrame {
public:
    InfInfoList* vehicleList() override { return account.get(); }
    CUSBDetector* driveWatcher() override { return watcher.get(); }
    void retireCatalogue(InfInfoList* list) override { retired.emplace_back(list); }
    void requestGUID() override { ++guidRequests; }

    bool keeps(const InfInfo* entry) const {
        for (const auto& list : retired)
            if (std::find(list->m_list.begin(), list->m_list.end(), entry) != list->m_list.end()) return true;
        return false;
    }

    std::unique_ptr<InfInfoList> account;
    std::unique_ptr<CUSBDetector> watcher;
    std::vector<std::unique_ptr<InfInfoList>> retired;
    int guidRequests = 0;
};

// Empties a test drive's root.
void clearDrive(wchar_t letter) {
    CString root;
    root.Format(L"%c:\\", letter);
    WIN32_FIND_DATAW found{};
    HANDLE find = FindFirstFileW((root + L"*").GetString(), &found);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        const CString name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            CGlobalFunc::deleteDirectory(root + name);
            RemoveDirectoryW((root + name).GetString());
        } else {
            DeleteFileW((root + name).GetString());
        }
    } while (FindNextFileW(find, &found));
    FindClose(find);
}

void setSetting(int key, int value) {
    const std::vector<CString>& keys = CRegSetting::getSettingKeys();
    AfxGetApp()->WriteProfileInt(keys[REG_SETTINGS_SECTION], keys[key], value);
}

CString head2(const wchar_t* brand, const wchar_t* model, int complete = 0, const wchar_t* sw = L"KOR.TS.OLD") {
    CString line;
    line.Format(L"+|2024.05.01|%s|%s|NAME|%s|%d\n", sw, brand, model, complete);
    return line;
}

// The brands' catalogues; every request makes a new list, as the service does.
struct FakeCatalogs {
    std::string asked;
    GuestCatalogRequest source() {
        return [this](InfInfoList*& out, int corp) -> BOOL {
            asked += static_cast<char>('0' + corp);
            delete out;
            switch (corp) {
                case CORP_TS:
                    out = makeList({{L"TS_A01_COMMON.inf", L"TS", L"A01", kSwA01, L"Arden"}});
                    break;
                case CORP_LV:
                    out = makeList({{L"LV_C10.inf", L"LV", L"C10", L"USA.LV.C10.000.SD.INT_240401", L"Corsa"}});
                    break;
                default:
                    out = makeList({{L"DR_D20.inf", L"DR", L"D20", L"EUR.DR.D20.000.SD.STD_240201", L"Delta"}});
                    break;
            }
            return TRUE;
        };
    }
};

class RootScan : public RootFixture {
protected:
    void SetUp() override {
        RootFixture::SetUp();
        clearDrive(L'R');
        clearDrive(L'S');
        setSetting(REG_SETTINGS_FIRST_OPEN_PROGRAM, 0);
        setSetting(REG_SETTINGS_FIRST_OPEN_EULA, 0);
        g_bGuestLogin = FALSE;
        CDlgRoot::setGuestCatalogSource(catalogs.source());
    }
    void TearDown() override {
        RootFixture::TearDown();
        CDlgRoot::setGuestCatalogSource(nullptr);
        clearDrive(L'R');
        clearDrive(L'S');
        setSetting(REG_SETTINGS_FIRST_OPEN_PROGRAM, 0);
        setSetting(REG_SETTINGS_FIRST_OPEN_EULA, 0);
        g_bGuestLogin = FALSE;
    }

    // The two test drives as removable media (or none), seen by a watcher.
    void insertDrives(bool present = true) {
        drives.drives.clear();
        if (present) {
            for (wchar_t letter : {L'R', L'S'}) {
                FakeDrive d;
                d.total = 8 * kGiB;
                d.free = 4 * kGiB;
                drives.drives[letter] = d;
            }
        }
        scanFrame.watcher = std::make_unique<CUSBDetector>();
    }

    void createScanRoot() {
        const BOOL guest = g_bGuestLogin;
        const CString corpCode = g_strCorpCode;
        root = std::make_unique<CDlgRoot>(&scanFrame);
        ASSERT_TRUE(root->Create(IDD_BASE_DIALOG, nullptr));
        root->SetWindowPos(nullptr, 40, 40, 900, 680, SWP_NOZORDER);
        root->ShowWindow(SW_SHOW);
        pumpFor(80);
        // In a restricted region the login page signs a guest in at once;
        // the cases start after that attempt, signed out on the login view.
        if (CDlgPageLogin* login = root->m_pPageLogin) {
            login->joinWorker();
            pumpFor(40);
            if (CDlgPageMessage* shown = root->m_pShownMessagePage) shown->closePage(TRUE);
            root->pushViewPage(VIEW_STATE_LOGIN, TRUE);
            g_bSignedIn = FALSE;
            root->showTitleButtons(0);
            g_bGuestLogin = guest;
            g_strCorpCode = corpCode;
            pumpFor(40);
        }
    }

    int shownMessage() const {
        if (root->getViewStatus() != VIEW_STATE_MESSAGE || !root->m_pShownMessagePage) return 0;
        return root->m_pShownMessagePage->m_eMessageType;
    }

    FakeDrives drives;
    ScanFrame scanFrame;
    FakeCatalogs catalogs;
};

// A TS account: one registered vehicle (group flag set) unless told.
InfInfoList* tsAccount(bool registered = true) {
    InfInfoList* list = makeList({{L"TS_A01_COMMON.inf", L"TS", L"A01", kSwA01, L"Arden"},
                                  {L"TS_B02.inf", L"TS", L"B02", L"KOR.TS.B02", L"Belmont"}},
                                 CORP_TS);
    if (registered) list->m_list.front()->setGroup(1);
    return list;
}

}  // namespace

TEST_F(RootScan, FromAccountAndMediaToTheViewOrMessage) {
    ScopedConfig config(R"({"MODEL_EQUIVALENCE": "101,102|201,202,203"})");
    struct Case {
        const char* name;
        std::function<InfInfoList*()> account;
        std::function<void()> media;  // written on R: and S:
        std::function<void()> setting;
        int view;
        int message;
        std::vector<const wchar_t*> params;  // the message's, from 0
        const wchar_t* carInf = nullptr;     // handed to the registration page
        bool drives = true;
    };
    auto candidates = [] {
        return makeList({{L"A.inf", L"TS", L"101", L"KOR.TS.101.000.SD.STD_1", L"One"},
                         {L"B.inf", L"TS", L"102", L"", L"Two"},
                         {L"C.inf", L"TS", L"201", L"KOR.TS.201.000.SD.STD_1", L"Four"},
                         {L"D.inf", L"TS", L"202", L"", L"Five"},
                         {L"E.inf", L"TS", L"203", L"", L"Six"}},
                        CORP_TS);
    };
    const Case cases[] = {
        {"a software version nobody accepts", [] { return tsAccount(); },
         [] { writeText(L"R:\\swversion\\swversion.info", L"KOR.ZZ.999.000.SD.STD_1"); }, nullptr,
         VIEW_STATE_MESSAGE, SERVER_ETC_MEDIUM_UP_TO_DATE},
        {"two candidates", candidates,
         [] { writeText(L"S:\\swversion\\swversion.info", L"KOR.TS.101.000.SD.STD_1"); }, nullptr,
         VIEW_STATE_MESSAGE, SERVER_ETC_MEDIUM_MATCHED, {L"4", L"Two", L"One", L"Two (intl)", L"One (intl)"},
         L"A.inf"},
        {"three candidates", candidates,
         [] { writeText(L"R:\\swversion\\swversion.info", L"KOR.TS.201.000.SD.STD_1"); }, nullptr,
         VIEW_STATE_MESSAGE, SERVER_ETC_MEDIUM_MATCHED,
         {L"6", L"Five", L"Six", L"Four", L"Five (intl)", L"Six (intl)", L"Four (intl)"}, L"C.inf"},
        {"another brand's medium in its catalogue", [] { return tsAccount(); },
         [] { writeText(L"R:\\DR_D20.ver", head2(L"DR", L"D20")); }, nullptr, VIEW_STATE_MESSAGE,
         SERVER_ETC_MEDIUM_NOT_IN_ACCOUNT, {L"V", L"Delta", L"Delta (intl)"}},
        {"another brand's model its catalogue lacks", [] { return tsAccount(); },
         [] { writeText(L"R:\\DR_D99.ver", head2(L"DR", L"D99")); }, nullptr, VIEW_STATE_CAR_REG, 0},
        {"a version file of the account's vehicle", [] { return tsAccount(); },
         [] { writeText(L"R:\\TS_A01_COMMON.ver", head2(L"TS", L"A01")); }, nullptr, VIEW_STATE_CAR_REG, 0, {},
         L"TS_A01_COMMON.inf"},
        {"first start", [] { return tsAccount(); }, nullptr,
         [] { setSetting(REG_SETTINGS_FIRST_OPEN_PROGRAM, 1); }, VIEW_STATE_MESSAGE, SERVER_ETC_FIRST_OPEN},
        {"consent not yet answered in KR", [] { return tsAccount(); }, nullptr,
         [] {
             CRegSetting::setRegion(REGION_KR);
             setSetting(REG_SETTINGS_FIRST_OPEN_EULA, 1);
         },
         VIEW_STATE_MESSAGE, SERVER_ETC_DATA_CONSENT},
        {"consent answered in KR", [] { return tsAccount(); }, nullptr, [] { CRegSetting::setRegion(REGION_KR); },
         VIEW_STATE_CAR_REG, 0},
        {"no registered vehicle, TS", [] { return tsAccount(false); }, nullptr, nullptr, VIEW_STATE_MESSAGE,
         SERVER_ETC_NO_VEHICLE_TS, {}, nullptr, false},
        {"no registered vehicle, DR", [] { return tsAccount(false); }, nullptr,
         [] { CRegSetting::setLastUserCorp(CORP_DR); }, VIEW_STATE_MESSAGE, SERVER_ETC_NO_VEHICLE_DR, {}, nullptr,
         false},
        {"no registered vehicle, LV", [] { return tsAccount(false); }, nullptr,
         [] { CRegSetting::setLastUserCorp(CORP_LV); }, VIEW_STATE_MESSAGE, SERVER_ETC_NO_VEHICLE_LV},
        {"no registered vehicle but the medium matches", [] { return tsAccount(false); },
         [] { writeText(L"R:\\TS_A01_COMMON.ver", head2(L"TS", L"A01")); }, nullptr, VIEW_STATE_CAR_REG, 0, {},
         L"TS_A01_COMMON.inf"},
        {"a guest without registered vehicle", [] { return tsAccount(false); }, nullptr,
         [] { g_bGuestLogin = TRUE; }, VIEW_STATE_CAR_REG, 0},
    };
    // Every case in each language, photographed.
    for (const UiLanguage& language : kLanguages)
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SCOPED_TRACE(static_cast<const char*>(CW2A(language.tag)));
        SetUp();
        useLanguage(language);
        scanFrame.account.reset(c.account());
        const std::list<InfInfo*> accountEntries = scanFrame.account->m_list;
        if (c.media) c.media();
        if (c.setting) c.setting();
        insertDrives(c.drives);
        createScanRoot();
        const CString recordsBefore = statisticsRecords();

        root->AutoMatchAndLastMode();
        pumpFor(40);

        EXPECT_EQ(root->getViewStatus(), c.view);
        EXPECT_EQ(shownMessage(), c.message);
        CString shot(c.name), shows;
        shot.Replace(L' ', L'_');
        shot.Replace(L",", L"");
        shot.Replace(L"'", L"");
        shows.Format(L"after sign-in, %s: view %d, message %d", CString(c.name).GetString(), c.view, c.message);
        WindowShot picture = saveScreenshot(root->GetSafeHwnd(), CString(L"after_sign_in_") + language.tag + L"_" + shot,
                       CString(language.tag) + L", " + shows, true);
        if (c.view == VIEW_STATE_CAR_REG) {
            // The login page left for the registration page: none of its
            // controls shows, and no empty label of the page lets what the
            // screen held before (the login page's links and bar) through.
            EXPECT_FALSE(root->m_pPageLogin->IsWindowVisible());
            for (HWND child = GetWindow(root->m_pPageLogin->m_hWnd, GW_CHILD); child;
                 child = GetWindow(child, GW_HWNDNEXT))
                EXPECT_FALSE(IsWindowVisible(child)) << GetDlgCtrlID(child);
            // Where no other control lies over it, an empty drawn label shows
            // only its own background.
            CDlgCarReg* reg = root->m_pPageCarReg;
            std::vector<HWND> shown;
            for (HWND child = GetWindow(reg->m_hWnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
                if (IsWindowVisible(child)) shown.push_back(child);
            for (HWND child : shown) {
                auto* label = dynamic_cast<CStaticEx*>(CWnd::FromHandlePermanent(child));
                if (!label || GetWindowTextLengthW(child) > 0 ||
                    (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) != SS_OWNERDRAW)
                    continue;
                const RECT box = childRectIn(root->m_hWnd, child);
                std::vector<RECT> others;
                for (HWND other : shown)
                    if (other != child) others.push_back(childRectIn(root->m_hWnd, other));
                int stale = 0;
                for (int y = box.top; y < box.bottom; ++y)
                    for (int x = box.left; x < box.right; ++x) {
                        const POINT at{x, y};
                        const bool covered = std::any_of(others.begin(), others.end(),
                                                         [&](const RECT& r) { return PtInRect(&r, at) != FALSE; });
                        if (!covered && picture.at(x, y) != label->m_bgColor) ++stale;
                    }
                EXPECT_EQ(stale, 0) << GetDlgCtrlID(child);
            }
        }
        if (!c.params.empty() && root->m_pShownMessagePage) {
            for (size_t i = 0; i < c.params.size(); ++i)
                EXPECT_EQ(root->m_pShownMessagePage->getParam(static_cast<int>(i)), CString(c.params[i])) << i;
        }
        InfInfo* car = root->m_pPageCarReg->m_pCarInfo;
        EXPECT_EQ(car ? car->getInfFileName() : CString(), CString(c.carInf ? c.carInf : L""));
        // Consumed by the continuation.
        EXPECT_EQ(root->m_bMediumUnmatched, 0);
        EXPECT_EQ(root->m_bMatchMessageShown, 0);
        // The account's own list is never freed or replaced.
        EXPECT_EQ(scanFrame.account->m_list, accountEntries);
        for (InfInfo* entry : accountEntries) EXPECT_FALSE(entry->getInfFileName().IsEmpty());

        if (c.message == SERVER_ETC_MEDIUM_UP_TO_DATE) {
            const CString added = statisticsRecords().Mid(recordsBefore.GetLength());
            EXPECT_NE(added.Find(L"SWV:KOR.ZZ.999.000.SD.STD_1"), -1) << added.GetString();
            EXPECT_EQ(root->m_strMediumSwVersion, CString(L"KOR.ZZ.999.000.SD.STD_1"));
        }
        if (c.message == SERVER_ETC_FIRST_OPEN) EXPECT_EQ(root->m_bFirstOpenShown, 1);
        if (c.message >= SERVER_ETC_NO_VEHICLE_TS && c.message <= SERVER_ETC_NO_VEHICLE_LV) {
            EXPECT_FALSE(root->m_btnLogout.m_bEnabled);
            EXPECT_FALSE(root->m_btnConfig.m_bEnabled);
        }
        if (c.message == SERVER_ETC_MEDIUM_NOT_IN_ACCOUNT) {
            EXPECT_EQ(root->m_nMediumCorp, CORP_DR);
            EXPECT_EQ(root->m_nAccountCorp, CORP_TS);
            EXPECT_EQ(root->m_strMediumCarName, CString(L"Delta"));
            EXPECT_TRUE(root->m_btnConfig.m_bEnabled);
        }
        TearDown();
        useLanguage(REGION_US, LANGUAGE_EN);
    }
}

TEST_F(RootScan, HiddenHandOverClosesTheRequesterAndScansNothing) {
    scanFrame.account.reset(tsAccount());
    writeText(L"R:\\swversion\\swversion.info", L"KOR.ZZ.999.000.SD.STD_1");
    insertDrives();
    createScanRoot();
    HWND requester = CreateWindowExW(0, L"STATIC", L"requester", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                     nullptr, nullptr);
    root->m_bHiddenHandOver = 1;
    root->m_hHiddenRequester = requester;
    root->AutoMatchAndLastMode();
    EXPECT_FALSE(IsWindow(requester));
    EXPECT_EQ(root->m_bHiddenHandOver, 0);
    EXPECT_EQ(root->getViewStatus(), VIEW_STATE_HIDDEN);
    EXPECT_EQ(root->m_bMediumUnmatched, 0);  // no scan ran
    EXPECT_TRUE(catalogs.asked.empty());
}

TEST_F(RootScan, AnEntryFromACatalogueOutlivesTheScanAndTheNextOne) {
    // A first-layout file names its descriptor: the catalogues are asked,
    // and the account's own brand supplies the match.
    scanFrame.account.reset(tsAccount());
    writeText(L"R:\\X.ver", L"*|1|2|TS_A01_COMMON|x\n");
    insertDrives();
    createScanRoot();
    EXPECT_EQ(root->scanVerFiles(), 1);
    EXPECT_EQ(catalogs.asked, "123");
    InfInfo* chosen = root->m_pPageCarReg->m_pCarInfo;
    ASSERT_NE(chosen, nullptr);
    EXPECT_EQ(std::find(scanFrame.account->m_list.begin(), scanFrame.account->m_list.end(), chosen),
              scanFrame.account->m_list.end());
    scanFrame.entry = chosen;  // the frame's Cur_inf
    // Only the catalogue holding the entry is kept.
    ASSERT_EQ(scanFrame.retired.size(), 1u);

    EXPECT_EQ(root->scanVerFiles(), 1);
    EXPECT_TRUE(scanFrame.keeps(scanFrame.entry));
    EXPECT_EQ(scanFrame.currentEntry()->getInfFileName(), CString(L"TS_A01_COMMON.inf"));
    EXPECT_EQ(scanFrame.account->size(), 2u);
}

TEST_F(RootScan, NoDrivesAndNoAccountScanNothing) {
    insertDrives(false);
    createScanRoot();
    EXPECT_EQ(root->scanVerFiles(), 0);  // no account list
    scanFrame.account.reset(tsAccount());
    writeText(L"R:\\swversion\\swversion.info", L"KOR.ZZ.999.000.SD.STD_1");
    EXPECT_EQ(root->scanVerFiles(), 0);  // R: holds a file, but no drive is there
    EXPECT_EQ(root->m_bMediumUnmatched, 0);
    EXPECT_TRUE(catalogs.asked.empty());
}

TEST_F(RootScan, DestinationTagsAndConfigurationId) {
    scanFrame.account.reset(tsAccount());
    insertDrives();
    createScanRoot();
    InfInfo* a01 = scanFrame.account->m_list.front();

    // The medium's version file at the drive's root.
    writeText(L"R:\\TS_A01_COMMON.ver", head2(L"TS", L"A01", 1, kSwA01) + L"PKG|MAP.exe|1|1|9|1\n");
    root->readRegVer(a01, L"R");
    EXPECT_EQ(root->m_pPageCarReg->m_strRegTag, CString(L"lastreg"));
    root->readRegVer(a01, L"S");
    EXPECT_EQ(root->m_pPageCarReg->m_strRegTag, CString(L"reg"));

    // No account entry of the model: nothing of it can be missing.
    TempDir data;
    CRegSetting::setDataPath(data.path());
    std::unique_ptr<InfInfo> stranger(makeEntry({L"X.inf", L"TS", L"Q77", L""}));
    root->readLastReg(stranger.get(), L"");
    EXPECT_EQ(root->m_pPageCarReg->m_strRegTag, CString(L"lastreg"));
    root->readLastReg(a01);
    EXPECT_EQ(root->m_pPageCarReg->m_strRegTag, CString(L"reg"));

    struct Case {
        const wchar_t* file;  // under R:\Data\Common\Configuration\, or none
        const wchar_t* id;
    } cases[] = {
        {L"hu_0a.1b.2c.3d.4e.5f_serial.AAA", L"0A-1B-2C-3D-4E-5F"},
        {L"hu_0a.1b.2c.3d.4e.5f.aaa", L""},
        {L"_0a.1b.2c.3d.4e.5f_serial.aaa", L""},
        {nullptr, L""},
    };
    for (const Case& c : cases) {
        clearDrive(L'R');
        if (c.file) writeText(CString(L"R:\\Data\\Common\\Configuration\\") + c.file, L"x");
        root->m_strConfigurationId = L"stale";
        EXPECT_EQ(root->readConfigurationId(L"R:"), *c.id ? TRUE : FALSE) << c.id;
        EXPECT_EQ(root->m_strConfigurationId, CString(c.id));
    }
}

TEST_F(RootScan, AnotherBrandsMediumFoundInTheServicesCatalogue) {
    REQUIRE_STANDIN();
    CDlgRoot::setGuestCatalogSource(nullptr);
    CRegSetting::setRegion(REGION_KR);
    AfxGetApp()->WriteProfileString(getRegionCode(REGION_KR) + L"_User", L"ClientGUID",
                                    L"C0FFEE00-5EED-4B1D-8A11-000000000001");
    scanFrame.account.reset(tsAccount());
    writeText(L"R:\\DR_D20.ver", head2(L"DR", L"D20"));
    insertDrives();
    createScanRoot();
    root->AutoMatchAndLastMode();
    EXPECT_EQ(shownMessage(), SERVER_ETC_MEDIUM_NOT_IN_ACCOUNT);
    ASSERT_NE(root->m_pShownMessagePage, nullptr);
    EXPECT_EQ(root->m_pShownMessagePage->getParam(0), CString(L"V"));
    EXPECT_FALSE(root->m_strMediumCarName.IsEmpty() && root->m_strMediumCarNameIntl.IsEmpty());
}

TEST_F(RootScan, ConsentReportTakesTheLoginPagesUserAndTheSessionsBrand) {
    REQUIRE_STANDIN();
    standin::clearFaults();
    const std::vector<CString>& keys = CRegSetting::getSettingKeys();
    auto desc0 = [&]() {
        return AfxGetApp()->GetProfileInt(keys[REG_SETTINGS_SECTION], keys[REG_SETTINGS_SEND_VCRM_DESC0], 0);
    };
    setSetting(REG_SETTINGS_SEND_VCRM_DESC0, 0);
    setSetting(REG_SETTINGS_SEND_VCRM_DESC1, 1);
    setSetting(REG_SETTINGS_SEND_VCRM_DESC2, 0);
    insertDrives(false);
    createScanRoot();
    root->m_pPageLogin->m_strUserID = L"ts.member";
    g_strCorpCode = L"TS";

    // Outside KR: no GUID request, no thread, no report.
    standin::markRequests();
    root->startUserPrivateThread();
    EXPECT_EQ(root->requestUserPrivate(), 0);
    EXPECT_EQ(scanFrame.guidRequests, 0);

    CRegSetting::setRegion(REGION_KR);
    root->startUserPrivateThread();
    // What the thread sends was taken before it started.
    root->m_pPageLogin->m_strUserID = L"changed";
    g_strCorpCode = L"N";
    EXPECT_TRUE(pumpUntil([&] { return desc0() == 1; }, 10000));
    EXPECT_EQ(scanFrame.guidRequests, 1);
    auto log = standin::requests("/api/chkPrivate");
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0]["params"]["D1"].asString(), "ts.member");
    EXPECT_EQ(log[0]["params"]["D2"].asString(), "TS");
    EXPECT_EQ(log[0]["params"]["D5"].asString(), "Y");
    EXPECT_EQ(log[0]["params"]["D6"].asString(), "N");
    setSetting(REG_SETTINGS_SEND_VCRM_DESC1, 0);
}

TEST_F(RootScan, TheDriveWatchersDrivesDecideWhichMediumCounts) {
    struct Case {
        const char* name;
        const wchar_t* onR;  // model of a "+" file of the account's brand, or none
        const wchar_t* onS;
        bool sRemoved;  // the watcher no longer lists S:
        const wchar_t* carInf;
    } cases[] = {
        {"both match: the lower letter wins", L"A01", L"B02", false, L"TS_A01_COMMON.inf"},
        {"only the higher letter matches", L"Z99", L"B02", false, L"TS_B02.inf"},
        {"the matching drive was removed", L"Z99", L"B02", true, nullptr},
    };
    scanFrame.account.reset(tsAccount());
    insertDrives();
    createScanRoot();
    for (const Case& c : cases) {
        clearDrive(L'R');
        clearDrive(L'S');
        writeText(L"R:\\R.ver", head2(L"TS", c.onR));
        writeText(L"S:\\S.ver", head2(L"TS", c.onS));
        drives.drives.clear();
        for (wchar_t letter : {L'R', L'S'}) {
            if (letter == L'S' && c.sRemoved) continue;
            FakeDrive d;
            d.total = 8 * kGiB;
            drives.drives[letter] = d;
        }
        root->m_pPageCarReg->m_pCarInfo = nullptr;
        EXPECT_EQ(root->scanVerFiles(), c.carInf ? 1 : 0) << c.name;
        InfInfo* car = root->m_pPageCarReg->m_pCarInfo;
        EXPECT_EQ(car ? car->getInfFileName() : CString(), CString(c.carInf ? c.carInf : L"")) << c.name;
    }
}
