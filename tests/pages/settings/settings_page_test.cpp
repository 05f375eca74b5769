// The settings page on the real root with its message pages, over a frame
// double, against the stand-in service: the language-list synchronisation,
// OK and Cancel, the folder row, the terms view and the sign-up notice.
#include "pages/account/dlg_conf_child.h"
#include "pages/account/dlg_conf_msg.h"
#include "pages/account/dlg_join_msg.h"
#include "pages/account/dlg_page_config.h"
#include "pages/account/dlg_page_login.h"

#include "foundation/code_tables.h"
#include "foundation/config_file.h"
#include "foundation/current_ui.h"
#include "foundation/globalfunc.h"
#include "foundation/logmanager.h"
#include "foundation/program_strings.h"
#include "foundation/registered_messages.h"
#include "foundation/regsetting.h"
#include "resources/resource.h"
#include "shell/dlg_page_message.h"
#include "shell/dlg_page_message_for_config.h"
#include "shell/message_types.h"
#include "engine/usb_detector.h"
#include "tests/engine_drives/fake_drives.h"
#include "tests/shell/shell_fixture.h"
#include "tests/shell_frame/standin_log.h"
#include "tests/shell_messages/page_install_path.h"
#include "tests/support/capture.h"
#include "ui/lang_library.h"
#include "ui/session_flags.h"
#include "ui/view_state.h"
#include "webclient/api_endpoints.h"
#include "webclient/connectivity.h"

#include <memory>
#include <string>

namespace {

const wchar_t* const kGuid = L"C0FFEE00-5EED-4B1D-8A11-000000000001";

// The frame the pages reach: the download folder, the calls of the frame.
class SettingsFrame : public FakeFrame {
public:
    InfInfoList* vehicleList() override { return list; }
    CUSBDetector* driveWatcher() override { return watcher.get(); }
    void setDownloadPaths() override { ++downloadPaths; }
    void startNoticeTimer(UINT milliseconds) override { noticeTimers.push_back(milliseconds); }
    void setVehicleList(InfInfoList* l) override {
        list = l;
        FakeFrame::vehicleList = l ? TRUE : FALSE;
    }

    InfInfoList* list = nullptr;
    std::unique_ptr<CUSBDetector> watcher;
    int downloadPaths = 0;
    std::vector<UINT> noticeTimers;
};

std::string narrow(const CString& s) { return std::string(CW2A(s.GetString(), CP_UTF8)); }
bool has(const std::string& line, const std::string& part) { return line.find(part) != std::string::npos; }

// The wheel's wParam for notches turned towards the user.
WPARAM wheelDown(int notches) { return static_cast<WPARAM>(static_cast<WORD>(-WHEEL_DELTA * notches)) << 16; }

void setFaults(const char* json) { writeBytes(standin_log::folder() + L"faults.json", json); }

int profileInt(const wchar_t* section, const wchar_t* entry) {
    return static_cast<int>(AfxGetApp()->GetProfileInt(section, entry, -1));
}

}  // namespace

class SettingsPage : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(CConfigFile::getInstance()->loadFile(moduleFolder() + L"config.json"));
        useInstallPath(programFolder());
        useLanguage(REGION_KR, LANGUAGE_KO);
        g_bSignedIn = FALSE;
        g_bGuestLogin = FALSE;
        g_strCorpCode = L"N";
        g_strJoinCorpCode = L"N";
        CRegSetting::setLastUserCorp(CORP_TS);
        CRegSetting::setLastUserType(USER_TYPE_MEMBER);
        CRegSetting::setDataPath(kFolder);
        ::CreateDirectoryW(kFolder, nullptr);
        for (int region : {REGION_KR, REGION_US, REGION_EU, REGION_ME, REGION_AU, REGION_RU, REGION_CA}) {
            AfxGetApp()->WriteProfileString(getRegionCode(region) + L"_User", nullptr, nullptr);
            AfxGetApp()->WriteProfileString(getRegionCode(region) + L"_User", L"ClientGUID", kGuid);
        }
        AfxGetApp()->WriteProfileInt(L"Settings", L"SEND_VCRM_DESC1", 0);
        AfxGetApp()->WriteProfileInt(L"Settings", L"SEND_VCRM_DESC2", 0);
        setFaults("[]");
        setShellEngine(&engine);
        makeRoot();
    }
    // The root and its pages made from what is stored now.
    void makeRoot() {
        if (root) {
            if (root->m_pPageLogin) root->m_pPageLogin->joinWorker();
            root->DestroyWindow();
            root.reset();
        }
        root = std::make_unique<CDlgRoot>(&frame);
        ASSERT_TRUE(root->Create(IDD_BASE_DIALOG, nullptr));
        root->SetWindowPos(nullptr, 40, 40, 900, 680, SWP_NOZORDER);
        root->ShowWindow(SW_SHOW);
        pumpFor(80);
        page = root->m_pPageConfig;
        ASSERT_NE(nullptr, page);
    }
    // A root made as the program starts in the stored region and language,
    // once the login page's own start (a guest sign-in in some regions) is
    // over.
    void startRoot() {
        makeRoot();
        root->m_pPageLogin->joinWorker();
        pumpFor(100);
        if (CDlgPageMessage* message = shownMessage()) {
            message->closePage(TRUE);
            root->pullViewPage();
            pumpFor(30);
        }
    }
    void TearDown() override {
        setConnectivityProbe(nullptr);
        CDlgRoot::setFolderPicker(nullptr);
        CGlobalFunc::setUrlLauncher(nullptr);
        setFaults("[]");
        page = nullptr;
        if (root) {
            if (root->m_pPageLogin) root->m_pPageLogin->joinWorker();
            if (root->GetSafeHwnd()) root->DestroyWindow();
            root.reset();
        }
        setShellEngine(nullptr);
        g_bSignedIn = FALSE;
        pumpFor(20);
    }

    // The title button, as the user presses it.
    void openSettings() {
        root->OnBnClickedButtonConfig();
        pumpFor(60);
    }
    static size_t logSize() { return standin_log::lines().size(); }
    static std::vector<std::string> requests(size_t from) { return standin_log::of("GetLanguage", from); }
    CDlgPageMessage* shownMessage() const { return root->m_pShownMessagePage; }
    // The answer of the message page shown now.
    void answer(int result) {
        CDlgPageMessage* message = shownMessage();
        ASSERT_NE(nullptr, message);
        const int type = message->m_eMessageType;
        CWnd* requester = message->m_pRequestPage;
        // As the message page's buttons do: back to the previous view, then
        // the answer.
        message->closePage(FALSE);
        ASSERT_NE(nullptr, requester);
        requester->SendMessage(RWM_MESSAGE_RESULT, static_cast<WPARAM>(result), type);
        pumpFor(60);
    }
    std::vector<int> regionIds() const { return page->m_vecRegionIds; }
    std::vector<int> languageIds() const { return page->m_vecLanguageIds; }
    void choose(CImageCombo& combo, const std::vector<int>& ids, int id, UINT control) {
        for (size_t i = 0; i < ids.size(); ++i) {
            if (ids[i] == id) combo.SetCurSel(static_cast<int>(i));
        }
        page->SendMessage(WM_COMMAND, MAKEWPARAM(control, CBN_SELENDOK), reinterpret_cast<LPARAM>(combo.m_hWnd));
        pumpFor(30);
    }
    void chooseLanguage(int language) {
        choose(page->m_comboLanguage, page->m_vecLanguageIds, language, IDC_COMBO_LANGUAGE);
    }
    void chooseRegion(int region) { choose(page->m_comboRegion, page->m_vecRegionIds, region, IDC_COMBO_REGION); }
    void chooseBrand(int corp) { choose(page->m_comboBrand, page->m_vecCorpIds, corp, IDC_COMBO_BRAND); }
    void click(CWnd& control, UINT id) {
        page->SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(control.m_hWnd));
        pumpFor(30);
    }
    CString statistics() const { return g_logManager.getStatisticsContext().errorLog; }

    static constexpr const wchar_t* kFolder = L"C:\\users\\Public\\KestruneSettings";
    SettingsFrame frame;
    FakeEngine engine;
    std::unique_ptr<CDlgRoot> root;
    CDlgPageConfig* page = nullptr;
};

// The title button: one request whose D1 is the GUID, the lists from the
// reply (the stand-in's EU and RU are not offered), the stage 14 record.
TEST_F(SettingsPage, OpeningSynchronisesTheLists) {
    const size_t from = logSize();
    const CString before = statistics();
    openSettings();
    const auto lines = requests(from);
    ASSERT_EQ(1u, lines.size());
    EXPECT_TRUE(has(lines[0], std::string("\"D1\": \"") + narrow(kGuid) + "\"")) << lines[0];
    EXPECT_EQ(VIEW_STATE_CONFIG, root->m_eViewStatus);
    EXPECT_TRUE(page->IsWindowVisible());
    EXPECT_EQ((std::vector<int>{REGION_KR, REGION_US, REGION_CA, REGION_AU, REGION_NZ, REGION_ME}), regionIds());
    EXPECT_EQ((std::vector<int>{LANGUAGE_KO, LANGUAGE_EN}), languageIds());
    EXPECT_NE(-1, statistics().Mid(before.GetLength()).Find(L"[D:14,T:"));
    EXPECT_EQ(LANGUAGE_KO, page->m_nSavedLanguage);
    EXPECT_EQ(REGION_KR, page->m_nSavedRegion);
    // KR: two columns, no brand list.
    EXPECT_FALSE(page->m_comboBrand.IsWindowVisible());
    EXPECT_EQ(395, childRectIn(page->m_hWnd, page->m_comboRegion.m_hWnd).right -
                       childRectIn(page->m_hWnd, page->m_comboRegion.m_hWnd).left);
    // The languages follow the region chosen.
    chooseRegion(REGION_US);
    EXPECT_EQ((std::vector<int>{LANGUAGE_EN, LANGUAGE_ES}), languageIds());
    EXPECT_TRUE(page->m_comboBrand.IsWindowVisible());
    click(page->m_btnCancel, IDC_BUTTON_CANCEL);
}

// Opened in each region, the language list is the reply's list of the
// stored region.
TEST_F(SettingsPage, OpeningOffersTheStoredRegionsLanguages) {
    struct Case {
        int region;
        int language;
        std::vector<int> languages;
    } cases[] = {
        {REGION_KR, LANGUAGE_KO, {LANGUAGE_KO, LANGUAGE_EN}},
        {REGION_US, LANGUAGE_EN, {LANGUAGE_EN, LANGUAGE_ES}},
        {REGION_ME, LANGUAGE_AR, {LANGUAGE_AR, LANGUAGE_EN, LANGUAGE_FR, LANGUAGE_KO}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.region);
        useLanguage(c.region, c.language);
        startRoot();
        openSettings();
        ASSERT_EQ(VIEW_STATE_CONFIG, root->m_eViewStatus);
        EXPECT_EQ(c.region, page->getSelectedRegion());
        EXPECT_EQ(c.languages, languageIds());
        EXPECT_EQ(static_cast<int>(c.languages.size()), page->m_comboLanguage.GetCount());
        EXPECT_EQ(c.language, page->getSelectedLanguage());
        click(page->m_btnCancel, IDC_BUTTON_CANCEL);
    }
}

// Reply faults: the message raised over the page, the record.
TEST_F(SettingsPage, ReplyCodesGiveMessagesAndRecords) {
    struct Case {
        const char* name;
        const char* fault;
        int message;  // 0: none
        const wchar_t* record;
        std::vector<int> regions;
    } cases[] = {
        {"500", R"([{"path": "/api/GetLanguage", "status": 200, "body": "500"}])", SERVER_ERROR_LANGUAGE_UNKNOWN,
         L"[D:13,T:", {}},
        {"another code", R"([{"path": "/api/GetLanguage", "status": 200, "body": "404"}])", 0,
         L",PS:90,ED:404,FP:", {}},
        {"empty reply", R"([{"path": "/api/GetLanguage", "empty": true}])", 0, L",PS:90,ED:0,FP:", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        setFaults(c.fault);
        const CString before = statistics();
        openSettings();
        const CString added = statistics().Mid(before.GetLength());
        EXPECT_NE(-1, added.Find(c.record)) << narrow(added);
        if (c.message) {
            ASSERT_NE(nullptr, shownMessage());
            EXPECT_EQ(c.message, shownMessage()->m_eMessageType);
            EXPECT_EQ(VIEW_STATE_MESSAGE, root->m_eViewStatus);
            shownMessage()->closePage(TRUE);
            root->pullViewPage();
            pumpFor(30);
        } else {
            EXPECT_EQ(VIEW_STATE_CONFIG, root->m_eViewStatus);
        }
        // Not synchronised: the built-in language choices.
        EXPECT_EQ((std::vector<int>{LANGUAGE_EN, LANGUAGE_KO}), languageIds());
        click(page->m_btnCancel, IDC_BUTTON_CANCEL);
    }
}

// A failed request leaves only the built-in extra regions in the list; the
// stored region, which it lacks, stays the page's region, and the next
// successful opening shows it again: OK then changes nothing.
TEST_F(SettingsPage, FailedRequestKeepsTheRegion) {
    useLanguage(REGION_US, LANGUAGE_EN);
    startRoot();
    openSettings();
    click(page->m_btnCancel, IDC_BUTTON_CANCEL);
    setFaults(R"([{"path": "/api/GetLanguage", "status": 200, "body": "404"}])");
    openSettings();
    EXPECT_EQ((std::vector<int>{REGION_AU, REGION_NZ, REGION_ME}), regionIds());
    EXPECT_EQ(REGION_US, page->m_nCurRegion);
    click(page->m_btnCancel, IDC_BUTTON_CANCEL);
    setFaults("[]");
    openSettings();
    EXPECT_EQ(REGION_US, page->getSelectedRegion());
    EXPECT_EQ(REGION_US, page->m_nSavedRegion);
    EXPECT_EQ(REGION_US, g_nCurrentRegion);
    click(page->m_btnOk, IDC_BUTTON_OK);
    EXPECT_EQ(nullptr, shownMessage());
    EXPECT_EQ(REGION_US, CRegSetting::getRegion());
    EXPECT_FALSE(page->IsWindowVisible());
}

// Offline: 20 over the open page; OK checks again (one request once online)
// and refills the lists; Cancel closes the page.
TEST_F(SettingsPage, OfflineShowsTheConnectionMessage) {
    bool online = false;
    setConnectivityProbe([&](DWORD& flags) {
        flags = 0;
        return online;
    });
    // Region KR would reset another language: stored language 8 in the US.
    CRegSetting::setRegion(REGION_US);
    useLanguage(REGION_US, LANGUAGE_DE);
    page->loadSettings();
    const size_t from = logSize();
    openSettings();
    ASSERT_NE(nullptr, shownMessage());
    EXPECT_EQ(SERVER_ERROR_NETWORK_FAIL, shownMessage()->m_eMessageType);
    EXPECT_TRUE(requests(from).empty());
    EXPECT_EQ((std::vector<int>{LANGUAGE_EN, LANGUAGE_KO, LANGUAGE_DE}), languageIds());
    EXPECT_EQ((std::vector<int>{REGION_US}), regionIds());
    online = true;
    answer(1);
    EXPECT_EQ(1u, requests(from).size());
    EXPECT_EQ((std::vector<int>{REGION_KR, REGION_US, REGION_CA, REGION_AU, REGION_NZ, REGION_ME}), regionIds());
    click(page->m_btnCancel, IDC_BUTTON_CANCEL);

    online = false;
    openSettings();
    ASSERT_NE(nullptr, shownMessage());
    answer(0);
    EXPECT_FALSE(page->IsWindowVisible());
    EXPECT_NE(VIEW_STATE_CONFIG, root->m_eViewStatus);
    EXPECT_EQ(1u, requests(from).size());
}

// 130 on the first opening of the language list while not synchronised;
// after its OK the list opens; again only after the view is reopened.
TEST_F(SettingsPage, LanguageListNoticeOncePerOpening) {
    setFaults(R"([{"path": "/api/GetLanguage", "status": 200, "body": "404"}])");
    openSettings();
    auto dropDown = [&] {
        page->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_COMBO_LANGUAGE, CBN_DROPDOWN),
                          reinterpret_cast<LPARAM>(page->m_comboLanguage.m_hWnd));
        pumpFor(40);
    };
    dropDown();
    ASSERT_NE(nullptr, shownMessage());
    EXPECT_EQ(SERVER_ERROR_LANGUAGE_FAIL, shownMessage()->m_eMessageType);
    answer(1);
    EXPECT_EQ(VIEW_STATE_CONFIG, root->m_eViewStatus);
    EXPECT_TRUE(page->m_bNoticeShown);
    dropDown();
    EXPECT_EQ(VIEW_STATE_CONFIG, root->m_eViewStatus);
    click(page->m_btnCancel, IDC_BUTTON_CANCEL);
    openSettings();
    dropDown();
    ASSERT_NE(nullptr, shownMessage());
    EXPECT_EQ(SERVER_ERROR_LANGUAGE_FAIL, shownMessage()->m_eMessageType);
    answer(1);
    click(page->m_btnCancel, IDC_BUTTON_CANCEL);
}

// OK and Cancel: what is written, the message shown, the reset.
TEST_F(SettingsPage, LanguageOnlyClosesAndStartsTheNoticeTimer) {
    openSettings();
    chooseLanguage(LANGUAGE_EN);
    EXPECT_EQ(LANGUAGE_EN, CRegSetting::getLanguage());  // at once
    click(page->m_btnOk, IDC_BUTTON_OK);
    EXPECT_EQ(LANGUAGE_EN, CRegSetting::getLanguage());
    EXPECT_EQ(REGION_KR, CRegSetting::getRegion());
    EXPECT_FALSE(page->IsWindowVisible());
    EXPECT_EQ(nullptr, shownMessage());
    EXPECT_EQ(std::vector<UINT>{100}, frame.noticeTimers);
    EXPECT_EQ(0, root->m_bSettingsChanged);
}

TEST_F(SettingsPage, LanguageThenCancelRestores) {
    openSettings();
    chooseLanguage(LANGUAGE_EN);
    EXPECT_EQ(LANGUAGE_EN, g_nCurrentLanguage);
    click(page->m_btnCancel, IDC_BUTTON_CANCEL);
    EXPECT_EQ(LANGUAGE_KO, CRegSetting::getLanguage());
    EXPECT_EQ(LANGUAGE_KO, g_nCurrentLanguage);
    EXPECT_FALSE(page->IsWindowVisible());
    EXPECT_TRUE(frame.noticeTimers.empty());
}

TEST_F(SettingsPage, RegionChangeAsksForAReset) {
    openSettings();
    chooseRegion(REGION_AU);
    click(page->m_btnOk, IDC_BUTTON_OK);
    ASSERT_NE(nullptr, shownMessage());
    EXPECT_EQ(SERVER_ETC_LANGUAGE_CHANGED, shownMessage()->m_eMessageType);
    EXPECT_EQ(CLangLibrary::loadLangString(12548), shownMessage()->getParam(0));
    EXPECT_EQ(REGION_AU, CRegSetting::getRegion());
    EXPECT_EQ(LANGUAGE_EN, CRegSetting::getLanguage());
    EXPECT_EQ(1, root->m_bSettingsChanged);
    const int loads = page->callCount(L"loadSettings");
    shownMessage()->OnBnClickedButtonOk();
    pumpFor(60);
    EXPECT_EQ(loads + 1, page->callCount(L"loadSettings"));  // one reset
}

TEST_F(SettingsPage, BrandChangeInRegionUsWritesBrandAndFolder) {
    CRegSetting::setRegion(REGION_US);
    useLanguage(REGION_US, LANGUAGE_EN);
    makeRoot();
    openSettings();
    ASSERT_TRUE(page->m_comboBrand.IsWindowVisible());
    const CString other = L"C:\\users\\Public\\KestruneSettingsOther";
    ::CreateDirectoryW(other, nullptr);
    frame.setDownloadFolder(other);
    chooseBrand(CORP_LV);
    click(page->m_btnOk, IDC_BUTTON_OK);
    ASSERT_NE(nullptr, shownMessage());
    EXPECT_EQ(SERVER_ETC_BRAND_CHANGED, shownMessage()->m_eMessageType);
    EXPECT_EQ(CLangLibrary::loadLangString(12003), shownMessage()->getParam(0));
    EXPECT_EQ(CORP_LV, CRegSetting::getLastUserCorp());
    EXPECT_EQ(other, CRegSetting::getDataPath());
    const int loads = page->callCount(L"loadSettings");
    shownMessage()->OnBnClickedButtonOk();
    pumpFor(60);
    EXPECT_EQ(loads + 1, page->callCount(L"loadSettings"));
    // The reset reloads the page from what is stored: the folder stays.
    EXPECT_EQ(other, frame.downloadFolder());
}

// Automatic sign-in: a guest's radios are inert and OK stores 0; a member's
// "yes" stores 1, the save flag and the sign-in's ID and password.
TEST_F(SettingsPage, AutomaticSignInByUserType) {
    // The login page writes its user type when it hides: a guest's.
    root->m_pPageLogin->m_nUserType = USER_TYPE_GUEST;
    CRegSetting::setLastUserType(USER_TYPE_GUEST);
    openSettings();
    EXPECT_FALSE(page->m_radioYes.IsWindowEnabled());
    click(page->m_staticRadioYes, IDC_STATIC_RADIO_YES);
    EXPECT_FALSE(page->m_bRadioYes);
    click(page->m_btnOk, IDC_BUTTON_OK);
    EXPECT_FALSE(CRegSetting::isCheckedAuto(CORP_TS));

    root->m_pPageLogin->m_nUserType = USER_TYPE_MEMBER;
    CRegSetting::setLastUserType(USER_TYPE_MEMBER);
    InfInfoList list;
    list.setUserId(L"ts.member");
    list.setPassword(L"Tessaly#2024");
    frame.setVehicleList(&list);
    openSettings();
    EXPECT_TRUE(page->m_radioYes.IsWindowEnabled());
    click(page->m_staticRadioYes, IDC_STATIC_RADIO_YES);
    EXPECT_TRUE(page->m_bRadioYes);
    click(page->m_btnOk, IDC_BUTTON_OK);
    EXPECT_TRUE(CRegSetting::isCheckedAuto(CORP_TS));
    EXPECT_TRUE(CRegSetting::isCheckedSave(CORP_TS));
    EXPECT_EQ(CString(L"ts.member"), CRegSetting::getUserID(CORP_TS));
    EXPECT_EQ(CString(L"Tessaly#2024"), CRegSetting::getUserInfo(CORP_TS));
    frame.setVehicleList(nullptr);
}

// Consents: changed in KR start one report; unchanged, no report; both
// values are written on every OK.
TEST_F(SettingsPage, ConsentsWrittenOnOk) {
    openSettings();
    root->m_pPageConfMsg->m_nConsent1 = 1;
    root->m_pPageConfMsg->m_nConsent2 = 1;
    const size_t from = logSize();
    click(page->m_btnOk, IDC_BUTTON_OK);
    EXPECT_EQ(1, profileInt(L"Settings", L"SEND_VCRM_DESC1"));
    EXPECT_EQ(1, profileInt(L"Settings", L"SEND_VCRM_DESC2"));
    EXPECT_TRUE(pumpUntil([&] { return !standin_log::of("chkPrivate", from).empty(); }, 10000));
    pumpFor(200);
    EXPECT_EQ(1u, standin_log::of("chkPrivate", from).size());
    openSettings();
    click(page->m_btnOk, IDC_BUTTON_OK);
    pumpFor(200);
    EXPECT_EQ(1u, standin_log::of("chkPrivate", from).size());
    EXPECT_EQ(1, profileInt(L"Settings", L"SEND_VCRM_DESC1"));
}

// Tab and the wheel are dropped before the controls see them.
TEST_F(SettingsPage, TabAndWheelAreDropped) {
    openSettings();
    MSG tab{page->m_comboLanguage.m_hWnd, WM_KEYDOWN, VK_TAB, 0};
    MSG wheel{page->m_comboLanguage.m_hWnd, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0};
    MSG timer{page->m_comboLanguage.m_hWnd, WM_TIMER, 9, 0};
    CWnd* window = page;
    EXPECT_TRUE(window->PreTranslateMessage(&tab));
    EXPECT_TRUE(window->PreTranslateMessage(&wheel));
    // A control's timer 9 still reaches it.
    EXPECT_FALSE(window->PreTranslateMessage(&timer));
    // A Ctrl+click on OK still applies.
    focusWindow(root->m_hWnd);
    chooseLanguage(LANGUAGE_EN);
    INPUT control{};
    control.type = INPUT_KEYBOARD;
    control.ki.wVk = VK_CONTROL;
    ::SendInput(1, &control, sizeof(control));
    clickAt(page->m_btnOk.m_hWnd, 20, 20);
    control.ki.dwFlags = KEYEVENTF_KEYUP;
    ::SendInput(1, &control, sizeof(control));
    EXPECT_TRUE(pumpUntil([&] { return !page->IsWindowVisible(); }, 3000));
    EXPECT_EQ(std::vector<UINT>{100}, frame.noticeTimers);
}

// The BT/ID line: the first medium of the drive list whose configuration
// files give an id; none gives an empty line.
TEST_F(SettingsPage, BtIdFromTheFirstMediumWithAnId) {
    FakeDrives drives;
    FakeDrive medium;
    medium.total = 8ull << 30;
    medium.free = 4ull << 30;
    drives.drives[L'R'] = medium;
    drives.drives[L'S'] = medium;
    frame.watcher = std::make_unique<CUSBDetector>();
    const CString folder = L"\\Data\\Common\\Configuration\\";
    auto place = [&](wchar_t drive, const wchar_t* name) {
        CString dir;
        dir.Format(L"%c:%s", drive, folder.GetString());
        CGlobalFunc::createDirectoryPath(dir);
        writeBytes(dir + name, "x");
    };
    auto clear = [&] {
        for (wchar_t drive : {L'R', L'S'}) {
            CString data;
            data.Format(L"%c:\\Data", drive);
            CGlobalFunc::deleteDirectory(data);
            ::RemoveDirectoryW(data);
        }
    };
    struct Case {
        const char* name;
        const wchar_t* onR;
        const wchar_t* onS;
        const wchar_t* line;
    } cases[] = {
        {"none", nullptr, nullptr, L""},
        {"S only", nullptr, L"hu_0a.1b.2c.3d.4e.5f_serial.AAA", L"BT/ID : 0A-1B-2C-3D-4E-5F"},
        {"first drive wins", L"hu_11.22.33.44.55.66_serial.AAA", L"hu_0a.1b.2c.3d.4e.5f_serial.AAA",
         L"BT/ID : 11-22-33-44-55-66"},
    };
    for (const Case& c : cases) {
        clear();
        if (c.onR) place(L'R', c.onR);
        if (c.onS) place(L'S', c.onS);
        page->ShowBTID();
        CString line;
        page->m_staticBtId.GetWindowText(line);
        EXPECT_EQ(CString(c.line), line) << c.name;
    }
    clear();
    frame.watcher.reset();
}

// The sign-in group shows in KR; in RU (brands TS and DR) it hides.
TEST_F(SettingsPage, SignInGroupFollowsRegionAndBrand) {
    openSettings();
    EXPECT_TRUE(page->m_staticAuto.IsWindowVisible());
    page->m_nCurRegion = REGION_RU;
    page->fillBrandCombo();
    EXPECT_EQ((std::vector<int>{CORP_TS, CORP_DR}), page->m_vecCorpIds);
    chooseBrand(CORP_DR);
    EXPECT_FALSE(page->m_staticAuto.IsWindowVisible());
    EXPECT_FALSE(page->m_staticBtId.IsWindowVisible());
    click(page->m_btnCancel, IDC_BUTTON_CANCEL);
}

// Region 11 offers brands 1 and 3. The sign-in group and the BT/ID line
// follow the stored brand on opening and on Cancel (shown only for brand 2)
// and the chosen brand while the page is open.
TEST_F(SettingsPage, Region11SignInGroupByBrand) {
    struct Case {
        int stored;
        bool shown;
    } cases[] = {{CORP_TS, false}, {CORP_LV, true}};
    // Not synchronised: the page keeps the stored region.
    setFaults(R"([{"path": "/api/GetLanguage", "status": 200, "body": "404"}])");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        CRegSetting::setRegion(REGION_RU);
        useLanguage(REGION_RU, LANGUAGE_EN);
        CRegSetting::setLastUserCorp(c.stored);
        startRoot();
        openSettings();
        ASSERT_EQ(VIEW_STATE_CONFIG, root->m_eViewStatus);
        EXPECT_EQ(REGION_RU, page->m_nCurRegion);
        EXPECT_EQ((std::vector<int>{CORP_TS, CORP_DR}), page->m_vecCorpIds);
        // The BT/ID line follows the group (it shows only with an id).
        EXPECT_EQ(c.shown, page->m_bSignInShown);
        for (CWnd* w : std::initializer_list<CWnd*>{&page->m_staticAuto, &page->m_radioYes, &page->m_staticRadioNo}) {
            EXPECT_EQ(c.shown, w->IsWindowVisible() != FALSE);
        }
        chooseBrand(CORP_DR);
        EXPECT_FALSE(page->m_bSignInShown);
        EXPECT_FALSE(page->m_staticAuto.IsWindowVisible());
        click(page->m_btnCancel, IDC_BUTTON_CANCEL);
        EXPECT_EQ(c.stored, CRegSetting::getLastUserCorp());
        // The page is hidden now: the group's own visibility bit.
        EXPECT_EQ(c.shown, page->m_bSignInShown);
        EXPECT_EQ(c.shown, (page->m_staticAuto.GetStyle() & WS_VISIBLE) != 0);
    }
}

// The folder: a usable pick is shown and stored on OK only; Cancel puts the
// stored folder back; an unusable drive or folder shows 82 or 83.
TEST_F(SettingsPage, ChangeFolder) {
    FakeDrives drives;
    FakeDrive fixed;
    fixed.type = DRIVE_FIXED;
    drives.drives[L'C'] = fixed;
    drives.drives[L'R'] = FakeDrive();
    const CString usable = L"C:\\users\\Public\\KestruneSettingsPicked";
    ::CreateDirectoryW(usable, nullptr);
    CString picked;
    CString offered;
    CDlgRoot::setFolderPicker([&](CWnd*, const CString& initial) {
        offered = initial;
        return picked;
    });
    openSettings();
    picked = L"";
    click(page->m_btnChangeFolder, IDC_BUTTON_CHANGE_FOLDER);
    EXPECT_EQ(CString(kFolder), offered);
    EXPECT_EQ(CString(kFolder), frame.downloadFolder());

    picked = usable;
    click(page->m_btnChangeFolder, IDC_BUTTON_CHANGE_FOLDER);
    EXPECT_EQ(usable, frame.downloadFolder());
    EXPECT_EQ(CString(kFolder), CRegSetting::getDataPath());
    click(page->m_btnCancel, IDC_BUTTON_CANCEL);
    EXPECT_EQ(CString(kFolder), frame.downloadFolder());

    openSettings();
    click(page->m_btnChangeFolder, IDC_BUTTON_CHANGE_FOLDER);
    click(page->m_btnOk, IDC_BUTTON_OK);
    EXPECT_EQ(usable, CRegSetting::getDataPath());
    EXPECT_EQ(1, frame.downloadPaths);

    struct Case {
        const wchar_t* chosen;
        int type;
    } cases[] = {
        {L"R:\\Maps", SERVER_ERROR_UPDATE_CHECK_SAVE_DRIVE_UPDATE_HDD},
        {L"C:\\users\\Public\\KestruneSettingsGone", SERVER_ERROR_UPDATE_CHECK_SAVE_FOLDER_UPDATE_HDD},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(narrow(c.chosen));
        openSettings();
        picked = c.chosen;
        const CString before = statistics();
        click(page->m_btnChangeFolder, IDC_BUTTON_CHANGE_FOLDER);
        EXPECT_EQ(VIEW_STATE_PAGE_FOR_CONFIG, root->m_eViewStatus);
        EXPECT_EQ(c.type, root->m_pPageMsgForConfig->m_eMessageType);
        EXPECT_EQ(usable, frame.downloadFolder());
        const bool record = c.type == SERVER_ERROR_UPDATE_CHECK_SAVE_DRIVE_UPDATE_HDD;
        EXPECT_EQ(record, statistics().Mid(before.GetLength()).Find(L",VN:R:\\,ED:PATHTYPE]") != -1);
        root->m_pPageMsgForConfig->closePage(TRUE);
        root->pullViewPage();
        pumpFor(30);
        click(page->m_btnCancel, IDC_BUTTON_CANCEL);
    }
}

// A long folder shows its last element whole with "..." before it.
TEST_F(SettingsPage, LongFolderIsFitted) {
    CString longFolder = L"C:\\users\\Public";
    while (longFolder.GetLength() < 200) longFolder += L"\\KestruneVeryLongFolderName";
    longFolder += L"\\Last";
    CRegSetting::setDataPath(longFolder);
    page->loadSettings();
    openSettings();
    CString shown;
    page->m_editFolder.GetWindowText(shown);
    EXPECT_NE(-1, shown.Find(L"..."));
    EXPECT_EQ(L"\\Last", shown.Right(5));
    EXPECT_EQ(longFolder, page->m_editFolder.m_strHint);
    saveScreenshot(root->m_hWnd, L"ko-long-folder",
                   L"settings in KR: the folder field shows a long path with ... before its last folder");
    click(page->m_btnCancel, IDC_BUTTON_CANCEL);
}

// ---- the terms view

class TermsView : public SettingsPage {
protected:
    CDlgConfMsg* terms() const { return root->m_pPageConfMsg; }
    void openTerms() {
        openSettings();
        click(page->m_btnAgreement, IDC_BUTTON_AGREEMENT_VIEW);
        ASSERT_EQ(VIEW_STATE_CAR_CONFIG, root->m_eViewStatus);
        ASSERT_NE(nullptr, terms()->m_pForm);
        pumpFor(60);
    }
};

TEST_F(TermsView, DocumentsByRegion) {
    struct Case {
        int region;
        const wchar_t* terms;
    } cases[] = {
        {REGION_KR, L"TermsOfUse_ko-KR.rtf"}, {REGION_ME, L"TermsOfUse_en-ME.rtf"},
        {REGION_NZ, L"TermsOfUse_en-AU.rtf"}, {REGION_AU, L"TermsOfUse_en-AU.rtf"},
        {REGION_RU, L"TermsOfUse_en-US.rtf"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CString(c.terms), CDlgConfChild::getEulaFileName(c.region, 1)) << c.region;
        EXPECT_EQ(CString(c.region == REGION_KR ? L"License_C_ko-KR.rtf" : L"License_C_en-US.rtf"),
                  CDlgConfChild::getEulaFileName(c.region, 3));
    }
    // A missing document shows its label instead.
    const CString eula = programFolder() + L"\\Eula\\";
    ASSERT_TRUE(::MoveFileW(eula + L"TermsOfUse_ko-KR.rtf", eula + L"TermsOfUse_ko-KR.moved"));
    openTerms();
    CDlgConfChild* form = terms()->m_pForm;
    EXPECT_TRUE(form->m_staticEmpty1.IsWindowVisible());
    EXPECT_FALSE(form->m_staticEmpty3.IsWindowVisible());
    ::MoveFileW(eula + L"TermsOfUse_ko-KR.moved", eula + L"TermsOfUse_ko-KR.rtf");
    terms()->OnBnClickedOk();
    click(page->m_btnCancel, IDC_BUTTON_CANCEL);
}

// KR: the consents lie below the page; wheel and bar reach them. Elsewhere
// nothing scrolls and no consent shows.
TEST_F(TermsView, ScrollingReachesTheConsentsInKoreaOnly) {
    openTerms();
    CDlgConfChild* form = terms()->m_pForm;
    EXPECT_TRUE(form->m_btnAgree2.IsWindowVisible());
    EXPECT_EQ(900, form->GetTotalSize().cy);
    const RECT before = childRectIn(form->m_hWnd, form->m_btnAgree2.m_hWnd);
    form->SendMessage(WM_MOUSEWHEEL, wheelDown(10), 0);
    pumpFor(30);
    EXPECT_GT(form->GetScrollPosition().y, 0);
    form->SendMessage(WM_VSCROLL, SB_BOTTOM, 0);
    pumpFor(30);
    const RECT after = childRectIn(form->m_hWnd, form->m_btnAgree2.m_hWnd);
    CRect client;
    form->GetClientRect(&client);
    EXPECT_EQ(before.top - form->GetScrollPosition().y, after.top);
    EXPECT_LE(after.bottom, client.bottom);
    saveScreenshot(root->m_hWnd, L"ko-terms-consents",
                   L"terms view in KR scrolled to the end: second consent document, agree / disagree visible");
    terms()->OnBnClickedOk();
    click(page->m_btnCancel, IDC_BUTTON_CANCEL);

    CRegSetting::setRegion(REGION_US);
    useLanguage(REGION_US, LANGUAGE_EN);
    page->loadSettings();
    openTerms();
    form = terms()->m_pForm;
    EXPECT_FALSE(form->m_btnAgree1.IsWindowVisible());
    EXPECT_FALSE(form->m_staticTitle3.IsWindowVisible());
    EXPECT_EQ(0, form->GetTotalSize().cy);
    form->SendMessage(WM_MOUSEWHEEL, wheelDown(10), 0);
    EXPECT_EQ(0, form->GetScrollPosition().y);
    saveScreenshot(root->m_hWnd, L"en-terms", L"terms view in US: only the terms of use, no consents");
    terms()->OnBnClickedOk();
    click(page->m_btnCancel, IDC_BUTTON_CANCEL);
}

// OK hands the form's consents over; leaving by another view discards them.
TEST_F(TermsView, ConsentsTravelOnlyThroughOk) {
    openTerms();
    CDlgConfChild* form = terms()->m_pForm;
    EXPECT_TRUE(form->m_btnDisagree1.m_bChecked);
    form->ScrollToPosition(POINT{0, 400});
    pumpFor(30);
    clickAt(form->m_btnAgree1.m_hWnd, 8, 8);
    pumpFor(60);
    EXPECT_EQ(1, form->m_nConsent1);
    EXPECT_FALSE(form->m_btnDisagree1.m_bChecked);
    // Clicking the selected button changes nothing.
    clickAt(form->m_btnAgree1.m_hWnd, 8, 8);
    pumpFor(60);
    EXPECT_EQ(1, form->m_nConsent1);
    EXPECT_TRUE(form->m_btnAgree1.m_bChecked);
    terms()->SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    pumpFor(30);
    EXPECT_EQ(1, terms()->m_nConsent1);
    EXPECT_EQ(VIEW_STATE_CONFIG, root->m_eViewStatus);

    click(page->m_btnAgreement, IDC_BUTTON_AGREEMENT_VIEW);
    form = terms()->m_pForm;
    ASSERT_NE(nullptr, form);
    EXPECT_TRUE(form->m_btnAgree1.m_bChecked);
    form->ScrollToPosition(POINT{0, 400});
    pumpFor(30);
    clickAt(form->m_btnDisagree1.m_hWnd, 8, 8);
    pumpFor(60);
    root->pushViewPage(VIEW_STATE_CONFIG, TRUE);
    pumpFor(30);
    EXPECT_EQ(nullptr, terms()->m_pForm);
    EXPECT_EQ(1, terms()->m_nConsent1);
    click(page->m_btnCancel, IDC_BUTTON_CANCEL);
}

// The licence file is written once per showing, not per paint; the settings
// texts survive the terms page's destruction.
TEST_F(TermsView, LicenceWrittenOncePerShowing) {
    openTerms();
    const int writes = terms()->m_nLicenceWrites;
    for (int i = 0; i < 5; ++i) {
        terms()->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        pumpFor(20);
    }
    EXPECT_EQ(writes, terms()->m_nLicenceWrites);
    terms()->OnBnClickedOk();
    CString title;
    page->m_staticTitle.GetWindowText(title);
    EXPECT_FALSE(title.IsEmpty());
    root->m_lang.removeDlg(VIEW_STATE_CAR_CONFIG);
    EXPECT_EQ(12364, root->m_lang.appliedId(&page->m_staticTitle));
    click(page->m_btnCancel, IDC_BUTTON_CANCEL);
}

// ---- the sign-up notice

// The root's pooled message pages.
struct RootFixtureAccess {
    static std::vector<CDlgPageMessage*> pool(CDlgRoot* root) {
        std::vector<CDlgPageMessage*> out;
        if (root->m_pMessagePages) {
            for (CDlgPageMessage* page : *root->m_pMessagePages) out.push_back(page);
        }
        return out;
    }
};

class JoinNoticePage : public SettingsPage {
protected:
    CDlgJoinMsg* join() const { return root->m_pPageJoinMsg; }
    void storeDate(const wchar_t* key, int daysBack) { storeDate(L"KR_User", key, daysBack); }
    void storeDate(const wchar_t* section, const wchar_t* key, int daysBack) {
        SYSTEMTIME now{};
        ::GetLocalTime(&now);
        FILETIME file{};
        ::SystemTimeToFileTime(&now, &file);
        ULARGE_INTEGER value{};
        value.LowPart = file.dwLowDateTime;
        value.HighPart = file.dwHighDateTime;
        value.QuadPart -= static_cast<ULONGLONG>(daysBack) * 86400ULL * 10000000ULL;
        file.dwLowDateTime = value.LowPart;
        file.dwHighDateTime = value.HighPart;
        SYSTEMTIME then{};
        ::FileTimeToSystemTime(&file, &then);
        CString date;
        date.Format(L"%d%02d%02d", then.wYear, then.wMonth, then.wDay);
        AfxGetApp()->WriteProfileString(section, key, date);
    }
    // The login page's non-member entry of the brand, as clicked.
    void nonMember(int corp) {
        CDlgPageLogin* login = root->m_pPageLogin;
        // From the login page, with no earlier guest sign-in still answering.
        login->joinWorker();
        pumpFor(100);
        for (CDlgPageMessage* message : RootFixtureAccess::pool(root.get())) message->closePage(TRUE);
        root->pushViewPage(VIEW_STATE_LOGIN, TRUE);
        pumpFor(40);
        if (corp == CORP_TS) login->OnBnClickedButtonNnTs();
        if (corp == CORP_LV) login->OnBnClickedButtonNnLv();
        if (corp == CORP_DR) login->OnBnClickedButtonNnDr();
        pumpFor(150);
    }
};

TEST_F(JoinNoticePage, StoredDateSkipsTheNoticeFor30Days) {
    storeDate(L"HIDE_CHECK_DATE_TS", 29);
    nonMember(CORP_TS);
    EXPECT_TRUE(pumpUntil([&] { return !join()->IsWindowVisible(); }, 3000));
    EXPECT_TRUE(g_bGuestLogin);
    EXPECT_NE(VIEW_STATE_JOIN_MSG, root->m_eViewStatus);

    g_bGuestLogin = FALSE;
    storeDate(L"HIDE_CHECK_DATE_TS", 30);
    nonMember(CORP_TS);
    EXPECT_EQ(VIEW_STATE_JOIN_MSG, root->m_eViewStatus);
    EXPECT_TRUE(join()->IsWindowVisible());
    EXPECT_FALSE(g_bGuestLogin);
    // Another brand keeps its own date.
    join()->OnBnClickedNext();
}

// The date is kept per brand and per region: only the brand's own date in
// the stored region's section skips its notice.
TEST_F(JoinNoticePage, DatesArePerBrandAndRegion) {
    struct Case {
        const char* name;
        const wchar_t* section;
        int storedCorp;
        int daysBack;
        int noticeCorp;
        bool dealer;  // the notice outside KR, region US
        bool skipped;
    } cases[] = {
        {"TS 29 days", L"KR_User", CORP_TS, 29, CORP_TS, false, true},
        {"TS 30 days", L"KR_User", CORP_TS, 30, CORP_TS, false, false},
        {"LV 29 days", L"KR_User", CORP_LV, 29, CORP_LV, false, true},
        {"DR 30 days", L"KR_User", CORP_DR, 30, CORP_DR, false, false},
        {"DR 29 days", L"KR_User", CORP_DR, 29, CORP_DR, false, true},
        {"LV's date for TS", L"KR_User", CORP_LV, 1, CORP_TS, false, false},
        {"TS's date for DR", L"KR_User", CORP_TS, 1, CORP_DR, false, false},
        {"US date in KR", L"US_User", CORP_TS, 1, CORP_TS, false, false},
        {"US date in US", L"US_User", CORP_TS, 1, CORP_TS, true, true},
        {"KR date in US", L"KR_User", CORP_TS, 1, CORP_TS, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (const wchar_t* section : {L"KR_User", L"US_User"}) {
            for (int corp : {CORP_TS, CORP_LV, CORP_DR}) AfxGetApp()->WriteProfileString(section, hideDateKey(corp), nullptr);
        }
        storeDate(c.section, hideDateKey(c.storedCorp), c.daysBack);
        CRegSetting::setRegion(c.dealer ? REGION_US : REGION_KR);
        root->m_pPageLogin->m_bDealerMode = c.dealer ? TRUE : FALSE;
        g_bGuestLogin = FALSE;
        nonMember(c.noticeCorp);
        if (c.skipped) {
            EXPECT_TRUE(pumpUntil([&] { return !join()->IsWindowVisible(); }, 3000));
            EXPECT_TRUE(g_bGuestLogin);
            EXPECT_NE(VIEW_STATE_JOIN_MSG, root->m_eViewStatus);
        } else {
            pumpFor(100);
            EXPECT_EQ(VIEW_STATE_JOIN_MSG, root->m_eViewStatus);
            EXPECT_TRUE(join()->IsWindowVisible());
            EXPECT_FALSE(g_bGuestLogin);
            root->pushViewPage(VIEW_STATE_LOGIN, TRUE);
            pumpFor(40);
        }
    }
    root->m_pPageLogin->m_bDealerMode = FALSE;
}

TEST_F(JoinNoticePage, NextUntickedStoresNothing) {
    for (const wchar_t* key : {L"HIDE_CHECK_DATE_TS", L"HIDE_CHECK_DATE_LV", L"HIDE_CHECK_DATE_DR"}) {
        AfxGetApp()->WriteProfileString(L"KR_User", key, nullptr);
    }
    nonMember(CORP_LV);
    ASSERT_EQ(VIEW_STATE_JOIN_MSG, root->m_eViewStatus);
    // Next unticked stores nothing.
    join()->SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    pumpFor(40);
    EXPECT_TRUE(AfxGetApp()->GetProfileString(L"KR_User", L"HIDE_CHECK_DATE_LV", L"").IsEmpty());
    EXPECT_TRUE(g_bGuestLogin);
}

// The label toggles the box; Join opens the brand's sign-up page, stores
// nothing and shows the member form.
TEST_F(JoinNoticePage, LabelAndJoin) {
    AfxGetApp()->WriteProfileString(L"KR_User", L"HIDE_CHECK_DATE_DR", nullptr);
    nonMember(CORP_DR);
    ASSERT_EQ(VIEW_STATE_JOIN_MSG, root->m_eViewStatus);
    clickAt(join()->m_staticLabel.m_hWnd, 10, 8);
    pumpFor(60);
    EXPECT_TRUE(join()->m_checkShow30.m_bChecked);
    EXPECT_TRUE(join()->m_staticLabel.m_bBold);
    std::vector<CString> opened;
    CGlobalFunc::setUrlLauncher([&](const CString& url) { opened.push_back(url); });
    join()->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_BUTTON_JOIN, BN_CLICKED), 0);
    pumpFor(60);
    ASSERT_EQ(1u, opened.size());
    EXPECT_EQ(getJoinPageUrl(CORP_DR), opened[0]);
    EXPECT_TRUE(AfxGetApp()->GetProfileString(L"KR_User", L"HIDE_CHECK_DATE_DR", L"").IsEmpty());
    EXPECT_FALSE(g_bGuestLogin);
    EXPECT_EQ(VIEW_STATE_LOGIN, root->m_eViewStatus);
    EXPECT_EQ(USER_TYPE_MEMBER, root->m_pPageLogin->m_nUserType);
}

// ---- screenshots in Korean, English and Arabic (region ME)

TEST_F(JoinNoticePage, Screenshots) {
    for (const UiLanguage& l : kLanguages) {
        SCOPED_TRACE(narrow(l.tag));
        CRegSetting::setRegion(l.region);
        useLanguage(l);
        CRegSetting::setLastUserType(USER_TYPE_MEMBER);
        startRoot();
        const CString dir = CString(l.tag) + L"-";
        openSettings();
        ASSERT_EQ(VIEW_STATE_CONFIG, root->m_eViewStatus);
        WindowShot shot = saveScreenshot(root->m_hWnd, dir + L"settings-member",
                                         L"settings as a member: lists, folder row, remove row, licence and terms "
                                         L"buttons, automatic sign-in with its radios, OK and Cancel");
        // The page body is white and the OK skin of the brand shows.
        const RECT ok = childRectIn(root->m_hWnd, page->m_btnOk.m_hWnd);
        EXPECT_GT(shot.count(skinFill(469), ok), 100);
        const RECT region = childRectIn(page->m_hWnd, page->m_comboRegion.m_hWnd);
        const bool arabic = l.language == LANGUAGE_AR;
        // The title bar's buttons stand at the far side from the logo:
        // mirrored to the left in Arabic.
        for (CPngButton* button : {&root->m_btnExit, &root->m_btnMini, &root->m_btnGuide}) {
            const RECT r = childRectIn(root->m_hWnd, button->m_hWnd);
            if (arabic) EXPECT_LT(r.right, 450) << button->GetDlgCtrlID();
            else EXPECT_GT(r.left, 450) << button->GetDlgCtrlID();
        }
        if (arabic) {
            // Mirrored: the region list stands at the right.
            EXPECT_EQ(900 - 50, region.right);
        } else {
            EXPECT_EQ(50, region.left);
        }
        // Each closed list is as high as its place, its text at the leading
        // edge with the reading order of the language.
        for (CImageCombo* combo : {&page->m_comboRegion, &page->m_comboBrand, &page->m_comboLanguage}) {
            const RECT box = childRectIn(page->m_hWnd, combo->m_hWnd);
            EXPECT_EQ(40, box.bottom - box.top);
            EXPECT_EQ(!arabic, combo->m_bLeftToRight != FALSE);
            EXPECT_EQ(arabic, (combo->GetExStyle() & WS_EX_RTLREADING) != 0);
            const text_rules::ComboFace face = combo->faceLayout();
            EXPECT_EQ(arabic, face.arrow.left < face.text.left);
        }
        // The separator is one line across the page's width.
        const RECT separator = childRectIn(root->m_hWnd, page->m_editSeparator.m_hWnd);
        const RECT line{separator.left, separator.top, separator.right, separator.bottom};
        EXPECT_GE(shot.count(skinFill(IDB_SEPARATOR_LINE), line), separator.right - separator.left - 4);
        page->m_comboLanguage.ShowDropDown(TRUE);
        pumpFor(100);
        COMBOBOXINFO info{};
        info.cbSize = sizeof(info);
        page->m_comboLanguage.GetComboBoxInfo(&info);
        saveScreenshot(info.hwndList, dir + L"language-list", L"the open language list: one name per language");
        page->m_comboLanguage.ShowDropDown(FALSE);
        click(page->m_btnCancel, IDC_BUTTON_CANCEL);

        CRegSetting::setLastUserType(USER_TYPE_GUEST);
        openSettings();
        saveScreenshot(root->m_hWnd, dir + L"settings-guest",
                       L"settings as a guest: the automatic sign-in radios and their labels greyed");
        click(page->m_btnCancel, IDC_BUTTON_CANCEL);
        CRegSetting::setLastUserType(USER_TYPE_MEMBER);

        setConnectivityProbe([](DWORD& flags) {
            flags = 0;
            return false;
        });
        openSettings();
        saveScreenshot(root->m_hWnd, dir + L"message-20", L"connection message 20 over the settings view");
        answer(0);
        setConnectivityProbe(nullptr);

        setFaults(R"([{"path": "/api/GetLanguage", "status": 200, "body": "404"}])");
        openSettings();
        page->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_COMBO_LANGUAGE, CBN_DROPDOWN),
                          reinterpret_cast<LPARAM>(page->m_comboLanguage.m_hWnd));
        pumpFor(60);
        saveScreenshot(root->m_hWnd, dir + L"message-130", L"language-list message 130 over the settings view");
        answer(1);
        click(page->m_btnCancel, IDC_BUTTON_CANCEL);
        setFaults("[]");

        openSettings();
        click(page->m_btnAgreement, IDC_BUTTON_AGREEMENT_VIEW);
        pumpFor(100);
        saveScreenshot(root->m_hWnd, dir + L"terms", L"terms view: header band, the terms of use in their box, OK");
        // The title stands beside its icon, on the icon's reading side.
        if (CDlgConfChild* form = root->m_pPageConfMsg->m_pForm) {
            EXPECT_EQ(arabic, form->m_staticTitle1.m_bRightAlign != FALSE);
            const RECT title = childRectIn(form->m_hWnd, form->m_staticTitle1.m_hWnd);
            const RECT icon = childRectIn(form->m_hWnd, form->m_icon1.m_hWnd);
            EXPECT_EQ(arabic, title.right <= icon.left);
        }
        root->m_pPageConfMsg->OnBnClickedOk();
        click(page->m_btnCancel, IDC_BUTTON_CANCEL);
    }
    // The sign-up notice in KR for each brand.
    CRegSetting::setRegion(REGION_KR);
    useLanguage(REGION_KR, LANGUAGE_KO);
    startRoot();
    for (int corp : {CORP_TS, CORP_LV, CORP_DR}) {
        AfxGetApp()->WriteProfileString(L"KR_User", hideDateKey(corp), nullptr);
        nonMember(corp);
        ASSERT_EQ(VIEW_STATE_JOIN_MSG, root->m_eViewStatus);
        saveScreenshot(root->m_hWnd, L"ko-join-" + getCorpCode(corp),
                       L"sign-up notice in Korean: the notice names the brand; Join in the brand's skin, Next");
        // Back to the login page without going on as a guest.
        root->pushViewPage(VIEW_STATE_LOGIN, TRUE);
        pumpFor(40);
    }
}
