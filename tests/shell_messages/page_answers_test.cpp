// The real message page on the root with its stand-in pages: what each
// answer sends, which view follows and which message the page turns into;
// the folder change through the picker seam; the consent radios; the page
// over the settings page.
#include "tests/shell/shell_fixture.h"
#include "tests/engine_drives/fake_drives.h"
#include "tests/shell_messages/messages_fixture.h"
#include "tests/shell_messages/page_install_path.h"

#include "foundation/code_tables.h"
#include "foundation/config_file.h"
#include "foundation/globalfunc.h"
#include "foundation/logmanager.h"
#include "foundation/program_strings.h"
#include "foundation/registered_messages.h"
#include "foundation/regsetting.h"
#include "pages/account/dlg_page_config.h"
#include "pages/account/dlg_page_login.h"
#include "pages/vehicle/dlg_car_reg.h"
#include "pages/vehicle/dlg_car_update.h"
#include "resources/resource.h"
#include "shell/dlg_page_message.h"
#include "shell/dlg_page_message_for_config.h"
#include "shell/message_page_services.h"
#include "shell/message_types.h"
#include "ui/lang_library.h"
#include "ui/session_flags.h"
#include "ui/text_ids.h"
#include "ui/view_state.h"
#include "webclient/connectivity.h"

#include <functional>
#include <string>

namespace {

void addDrive(FakeDrives& drives, wchar_t letter) {
    FakeDrive d;
    d.total = 4ull << 30;
    d.free = 2ull << 30;
    drives.drives[letter] = d;
}

class MessageAnswers : public RootFixture {
protected:
    void SetUp() override {
        RootFixture::SetUp();
        CRegSetting::setRegion(REGION_US);
        m_previousServices = setMessagePageServices(recordingServices());
        createRoot();
        root->pushViewPage(VIEW_STATE_CAR_REG, TRUE);
        recorder()->clearCalls();
    }
    void TearDown() override {
        setMessagePageServices(m_previousServices);
        setConnectivityProbe(nullptr);
        RootFixture::TearDown();
    }
    MessagePageServices recordingServices() {
        MessagePageServices s;
        s.showPageAfterLogin = [this] {
            services.push_back(L"showPageAfterLogin");
            return pageAfterLoginShown;
        };
        s.startUserPrivateThread = [this] { services.push_back(L"startUserPrivateThread"); };
        s.deleteDownloadFiles = [this] {
            services.push_back(L"deleteDownloadFiles");
            return downloadsRemoved;
        };
        s.setFrameDataPath = [this](const CString& folder) { services.push_back(L"frameDataPath:" + folder); };
        return s;
    }
    CDlgPageMessage* ask(int type, CWnd* requester, std::map<int, CString> params = {}) {
        CDlgPageMessage* page = root->getMessagePage(SERVER_ERROR_NONE);
        EXPECT_NE(page, nullptr);
        for (const auto& [index, text] : params) page->setParam(text, index);
        page->setMessageType(type, requester);
        root->pushViewPage(VIEW_STATE_MESSAGE, TRUE);
        return page;
    }
    void click(CDlgPageMessage* page, UINT id) {
        page->SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(page->GetDlgItem(id)->m_hWnd));
    }
    // The requester's answers as "type,result" entries.
    int answers(const CString& entry) { return recorder()->callCount(L"messageResult(" + entry + L")"); }
    int answerCount() {
        int n = 0;
        for (const CString& call : recorder()->calls()) n += call.Find(L"messageResult(") == 0 ? 1 : 0;
        return n;
    }

public:
    FakeDrives drives;
    std::vector<CString> services;
    BOOL pageAfterLoginShown = FALSE;
    BOOL downloadsRemoved = TRUE;

private:
    MessagePageServices m_previousServices;
};

// One table of type, button and state: the answer the requester receives
// (empty: none), the root's view afterwards and the type the page shows.
TEST_F(MessageAnswers, AnswersTable) {
    struct Case {
        const char* name;
        int type;
        UINT button;
        std::function<void(MessageAnswers&, CDlgPageMessage*)> before;
        const wchar_t* answer;  // "type,result" or nullptr for none
        int view;
        int typeAfter;  // 0: the page closed
    };
    const auto withDrive = [](MessageAnswers& t, CDlgPageMessage*) { addDrive(t.drives, L'R'); };
    const Case cases[] = {
        {"plain OK", SERVER_ERROR_USB_LOCK, IDC_BUTTON_OK, nullptr, L"61,1", VIEW_STATE_CAR_REG, 0},
        {"plain Cancel", SERVER_ERROR_UPDATE_CHECK_MEMORY_USB, IDC_BUTTON_CANCEL, nullptr, L"74,0", VIEW_STATE_CAR_REG, 0},
        {"91 Cancel shows registration, no answer", SERVER_ERROR_DOWNLOAD_FILE_SIZE, IDC_BUTTON_CANCEL, nullptr,
         nullptr, VIEW_STATE_CAR_REG, -1},
        {"1013 without a drive answers 0", SERVER_ETC_SAVE_TO_SD, IDC_BUTTON_OK, nullptr, L"1013,0",
         VIEW_STATE_CAR_REG, 0},
        {"1013 with a drive answers 1", SERVER_ETC_SAVE_TO_SD, IDC_BUTTON_OK, withDrive, L"1013,1", VIEW_STATE_CAR_REG,
         0},
        {"1016 without a drive becomes 1018", SERVER_ETC_SD_CARD_QUESTION, IDC_BUTTON_OK, nullptr, nullptr,
         VIEW_STATE_MESSAGE, SERVER_ETC_INSERT_MEDIUM},
        {"1016 with a drive answers 1", SERVER_ETC_SD_CARD_QUESTION, IDC_BUTTON_OK, withDrive, L"1016,1",
         VIEW_STATE_CAR_REG, 0},
        {"1018 without a drive stays", SERVER_ETC_INSERT_MEDIUM, IDC_BUTTON_OK, nullptr, nullptr, VIEW_STATE_MESSAGE,
         SERVER_ETC_INSERT_MEDIUM},
        {"1018 with a drive goes to registration", SERVER_ETC_INSERT_MEDIUM, IDC_BUTTON_OK, withDrive, nullptr,
         VIEW_STATE_CAR_REG, 0},
        {"70 checked", SERVER_ERROR_UPDATE_CHECK_BACKUP, IDC_BUTTON_OK,
         [](MessageAnswers&, CDlgPageMessage* p) { p->m_checkBackup.m_bChecked = TRUE; }, L"70,1", VIEW_STATE_CAR_REG,
         0},
        {"70 unchecked", SERVER_ERROR_UPDATE_CHECK_BACKUP, IDC_BUTTON_OK,
         [](MessageAnswers&, CDlgPageMessage* p) { p->m_checkBackup.m_bChecked = FALSE; }, L"70,0", VIEW_STATE_CAR_REG,
         0},
        {"82 becomes 1012", SERVER_ERROR_UPDATE_CHECK_SAVE_DRIVE_UPDATE_HDD, IDC_BUTTON_OK, nullptr, nullptr,
         VIEW_STATE_MESSAGE, SERVER_ETC_SAVE_TO_HDD},
        {"83 over registration becomes 1012", SERVER_ERROR_UPDATE_CHECK_SAVE_FOLDER_UPDATE_HDD, IDC_BUTTON_OK, nullptr,
         nullptr, VIEW_STATE_MESSAGE, SERVER_ETC_SAVE_TO_HDD},
        {"1024 goes to registration", SERVER_ERROR_USB_IS_BIGSIZE, IDC_BUTTON_OK, nullptr, nullptr, VIEW_STATE_CAR_REG,
         0},
        {"1002 after a page was shown", SERVER_ETC_MEDIUM_MATCHED, IDC_BUTTON_OK,
         [](MessageAnswers& t, CDlgPageMessage*) { t.pageAfterLoginShown = TRUE; }, nullptr, VIEW_STATE_CAR_REG, 0},
        {"1002 when no page was shown", SERVER_ETC_MEDIUM_MATCHED, IDC_BUTTON_OK,
         [](MessageAnswers& t, CDlgPageMessage*) { t.pageAfterLoginShown = FALSE; }, L"1002,1", VIEW_STATE_CAR_REG, 0},
        // The answer goes to the registration page whoever asked; without a
        // main frame that page does nothing with it.
        {"1012 answers the registration page", SERVER_ETC_SAVE_TO_HDD, IDC_BUTTON_OK, nullptr, nullptr,
         VIEW_STATE_CAR_REG, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        drives.drives.clear();
        recorder()->clearCalls();
        CDlgPageMessage* page = ask(c.type, recorder());
        if (c.before) c.before(*this, page);
        click(page, c.button);
        pumpFor(20);
        EXPECT_EQ(answerCount(), c.answer ? 1 : 0);
        if (c.answer) {
            EXPECT_EQ(answers(c.answer), 1);
        }
        if (c.view == VIEW_STATE_MESSAGE) {
            EXPECT_EQ(root->m_eViewStatus, VIEW_STATE_MESSAGE);
        } else {
            EXPECT_EQ(root->m_pCurPage, static_cast<CBaseChildDialog*>(root->m_pPageCarReg));
        }
        if (c.typeAfter > 0) {
            EXPECT_EQ(page->m_eMessageType, c.typeAfter);
            EXPECT_TRUE(page->IsWindowVisible());
            EXPECT_FALSE(page->m_bClosed);
        } else if (c.typeAfter == 0) {
            EXPECT_TRUE(page->m_bClosed);
        }
        EXPECT_FALSE(page->IsWindowVisible() && c.view != VIEW_STATE_MESSAGE);
        if (!page->m_bClosed) page->closePage(TRUE);
        root->pushViewPage(VIEW_STATE_CAR_REG, TRUE);
    }
}

// 83 goes back to the message that leads to a usable folder: the folder row
// over the registration page, the first-start message over the login.
TEST_F(MessageAnswers, FolderRefusalGoesBackByTheViewUnderTheMessage) {
    for (int base : {VIEW_STATE_CAR_REG, VIEW_STATE_LOGIN, VIEW_STATE_CAR_CHANGE}) {
        root->pushViewPage(base, TRUE);
        CDlgPageMessage* page = ask(SERVER_ERROR_UPDATE_CHECK_SAVE_FOLDER_UPDATE_HDD, recorder());
        click(page, IDC_BUTTON_OK);
        int expected = base == VIEW_STATE_CAR_REG ? SERVER_ETC_SAVE_TO_HDD
                       : base == VIEW_STATE_LOGIN ? SERVER_ETC_FIRST_OPEN
                                                  : SERVER_ERROR_UPDATE_CHECK_SAVE_FOLDER_UPDATE_HDD;
        EXPECT_EQ(page->m_eMessageType, expected) << base;
        EXPECT_EQ(page->m_pRequestPage, static_cast<CWnd*>(recorder())) << base;
        EXPECT_EQ(root->m_eViewStatus, VIEW_STATE_MESSAGE);
        page->closePage(TRUE);
    }
}

// Offline, the retry of 20 stays up on the login view; elsewhere the answer
// comes after the 300 ms wait.
TEST_F(MessageAnswers, NetworkRetryOffline) {
    setConnectivityProbe([](DWORD& flags) {
        flags = 0;
        return false;
    });
    root->pushViewPage(VIEW_STATE_LOGIN, TRUE);
    CDlgPageMessage* page = ask(SERVER_ERROR_NETWORK_FAIL, recorder());
    click(page, IDC_BUTTON_OK);
    EXPECT_FALSE(page->m_bClosed);
    EXPECT_EQ(page->m_eMessageType, SERVER_ERROR_NETWORK_FAIL);
    EXPECT_EQ(answerCount(), 0);
    page->closePage(TRUE);

    root->pushViewPage(VIEW_STATE_CAR_REG, TRUE);
    page = ask(SERVER_ERROR_NETWORK_FAIL, recorder());
    ASSERT_EQ(page->m_btnOk.m_strCaption, CLangLibrary::loadLangString(12039)) << "OK carries the retry caption";
    DWORD start = GetTickCount();
    click(page, IDC_BUTTON_OK);
    EXPECT_EQ(answers(L"20,1"), 1);
    EXPECT_GE(GetTickCount() - start, 290u);
    EXPECT_EQ(root->m_pCurPage, static_cast<CBaseChildDialog*>(root->m_pPageCarReg));
}

// The document and removal messages go back to the message they replaced,
// except documents opened from the consent message.
TEST_F(MessageAnswers, DocumentsAndRemovalGoBackToTheMessageTheyReplaced) {
    struct Case {
        int from;
        int type;
        int restored;
    } cases[] = {
        {SERVER_ERROR_USB_LOCK, SERVER_ERROR_ETC_OPEN_SOURCE_LICENSE, SERVER_ERROR_USB_LOCK},
        {SERVER_ERROR_USB_LOCK, SERVER_ERROR_ETC_EULA, SERVER_ERROR_USB_LOCK},
        {SERVER_ETC_DATA_CONSENT, SERVER_ERROR_ETC_EULA, SERVER_ERROR_ETC_EULA},
        {SERVER_ERROR_USB_NTFS, SERVER_ETC_REMOVE_DOWNLOAD, SERVER_ERROR_USB_NTFS},
    };
    for (const Case& c : cases) {
        services.clear();
        CDlgPageMessage* page = ask(c.from, recorder());
        page->setMessageType(c.type, recorder());
        EXPECT_EQ(page->m_ePrevMessageType, c.from);
        click(page, IDC_BUTTON_OK);
        EXPECT_EQ(page->m_eMessageType, c.restored) << c.type;
        EXPECT_TRUE(page->m_bClosed);
        EXPECT_EQ(answerCount(), 0);
        EXPECT_EQ(services.size(), c.type == SERVER_ETC_REMOVE_DOWNLOAD ? 1u : 0u);
    }
}

// First start in Korea: the consent follows unless both consents are
// stored; OK on the consent stores the answers and reports them once.
TEST_F(MessageAnswers, FirstStartChainsToTheConsentInKorea) {
    struct Case {
        int region;
        BOOL consented;
        int typeAfter;
    } cases[] = {{REGION_KR, FALSE, SERVER_ETC_DATA_CONSENT},
                 {REGION_KR, TRUE, SERVER_ETC_FIRST_OPEN},
                 {REGION_US, FALSE, SERVER_ETC_FIRST_OPEN}};
    for (const Case& c : cases) {
        CRegSetting::setRegion(c.region);
        g_nSendVcrmDesc1 = g_nSendVcrmDesc2 = c.consented;
        CRegSetting::setSendVcrmDesc1();
        CRegSetting::setSendVcrmDesc2();
        root->pushViewPage(VIEW_STATE_LOGIN, TRUE);
        CDlgPageMessage* page = ask(SERVER_ETC_FIRST_OPEN, recorder());
        click(page, IDC_BUTTON_OK);
        EXPECT_EQ(page->m_eMessageType, c.typeAfter) << c.region << c.consented;
        EXPECT_EQ(root->m_eViewStatus, c.typeAfter == SERVER_ETC_DATA_CONSENT ? VIEW_STATE_MESSAGE
                                                                              : VIEW_STATE_CAR_REG);
        if (c.typeAfter == SERVER_ETC_DATA_CONSENT) {
            EXPECT_EQ(page->m_pRequestPage, static_cast<CWnd*>(page));
            EXPECT_EQ(g_nSendVcrmDesc1, 1) << "the consent starts at yes";
            EXPECT_TRUE(page->m_radio[0].IsWindowVisible());
            // The user says no to the second.
            page->m_radio[3].m_bChecked = TRUE;
            click(page, IDC_RADIO_CONSENT2_NO);
            services.clear();
            click(page, IDC_BUTTON_OK);
            EXPECT_TRUE(CRegSetting::isSendVcrmDesc1());
            EXPECT_FALSE(CRegSetting::isSendVcrmDesc2());
            EXPECT_EQ(services, std::vector<CString>{L"startUserPrivateThread"});
            EXPECT_EQ(root->m_eViewStatus, VIEW_STATE_CAR_REG);
            EXPECT_FALSE(page->m_radio[0].IsWindowVisible());
        }
        page->closePage(TRUE);
    }
}

TEST_F(MessageAnswers, ConsentRadioPairs) {
    struct Case {
        const char* name;
        UINT clicked;
        BOOL yesBefore, noBefore;  // states before the click
        int answerBefore;
        BOOL yesAfter, noAfter;
        int answerAfter;
    } cases[] = {
        {"yes chosen", IDC_RADIO_CONSENT1_YES, FALSE, TRUE, 0, TRUE, FALSE, 1},
        {"selected yes clicked again", IDC_RADIO_CONSENT1_YES, TRUE, FALSE, 1, TRUE, FALSE, 1},
        {"no chosen", IDC_RADIO_CONSENT1_NO, TRUE, FALSE, 1, FALSE, TRUE, 0},
        {"selected no clicked again", IDC_RADIO_CONSENT1_NO, FALSE, TRUE, 0, FALSE, TRUE, 0},
        {"second pair: no chosen", IDC_RADIO_CONSENT2_NO, TRUE, FALSE, 1, FALSE, TRUE, 0},
        {"second pair: yes chosen", IDC_RADIO_CONSENT2_YES, FALSE, TRUE, 0, TRUE, FALSE, 1},
    };
    CDlgPageMessage* page = ask(SERVER_ETC_DATA_CONSENT, recorder());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        bool second = c.clicked == IDC_RADIO_CONSENT2_YES || c.clicked == IDC_RADIO_CONSENT2_NO;
        CPngWithTextButton& yes = page->m_radio[second ? 2 : 0];
        CPngWithTextButton& no = page->m_radio[second ? 3 : 1];
        int& answer = second ? g_nSendVcrmDesc2 : g_nSendVcrmDesc1;
        yes.m_bChecked = c.yesBefore;
        no.m_bChecked = c.noBefore;
        answer = c.answerBefore;
        // The button toggles itself before it reports the click.
        CPngWithTextButton& clicked = c.clicked == IDC_RADIO_CONSENT1_YES || c.clicked == IDC_RADIO_CONSENT2_YES ? yes : no;
        clicked.m_bChecked = !clicked.m_bChecked;
        click(page, c.clicked);
        EXPECT_EQ(yes.m_bChecked, c.yesAfter);
        EXPECT_EQ(no.m_bChecked, c.noAfter);
        EXPECT_EQ(answer, c.answerAfter);
    }
}

// Coming back to the consent (after the settings overlay) and a language
// switch rebuild the texts: the user's "no" stays "no" and is stored as such.
TEST_F(MessageAnswers, RefusedConsentSurvivesRefreshes) {
    CRegSetting::setRegion(REGION_KR);
    CDlgPageMessage* page = ask(SERVER_ETC_DATA_CONSENT, recorder());
    ASSERT_EQ(g_nSendVcrmDesc1, 1);
    page->m_radio[1].m_bChecked = TRUE;
    click(page, IDC_RADIO_CONSENT1_NO);
    ASSERT_EQ(g_nSendVcrmDesc1, 0);
    const struct {
        const char* what;
        std::function<void()> run;
    } refreshes[] = {
        {"shown again", [&] { page->showPage(TRUE); }},
        {"language refresh", [&] { page->SendMessage(RWM_CHANGE_LANGUAGE, 0, 0); }},
    };
    for (const auto& r : refreshes) {
        r.run();
        EXPECT_EQ(g_nSendVcrmDesc1, 0) << r.what;
        EXPECT_FALSE(page->m_radio[0].m_bChecked) << r.what;
        EXPECT_TRUE(page->m_radio[1].m_bChecked) << r.what;
        EXPECT_EQ(g_nSendVcrmDesc2, 1) << r.what;
    }
    click(page, IDC_BUTTON_OK);
    EXPECT_FALSE(CRegSetting::isSendVcrmDesc1());
    EXPECT_TRUE(CRegSetting::isSendVcrmDesc2());
    // A new question starts at "yes" again.
    page = ask(SERVER_ETC_DATA_CONSENT, recorder());
    EXPECT_EQ(g_nSendVcrmDesc1, 1);
    EXPECT_TRUE(page->m_radio[0].m_bChecked);
    page->closePage(TRUE);
}

// The folder picker seam answers; the settings page's path test decides
// over the drive probe (C: fixed, X: removable) and the real folders.
TEST_F(MessageAnswers, ChangeFolder) {
    const CString before = L"C:\\users\\Public\\Documents\\KestruneDownloads";
    ::CreateDirectoryW(L"C:\\users\\Public\\KestruneOther", nullptr);
    ::RemoveDirectoryW(L"C:\\users\\Public\\KestruneGone");
    FakeDrive fixed;
    fixed.type = DRIVE_FIXED;
    drives.drives[L'C'] = fixed;
    drives.drives[L'X'] = FakeDrive();
    struct Case {
        const char* name;
        const wchar_t* chosen;
        int typeAfter;
        bool stored;
        const wchar_t* record;  // expected statistics fragment
    } cases[] = {
        {"cancelled", L"", SERVER_ETC_SAVE_TO_HDD, false, nullptr},
        {"the same folder", L"C:\\users\\Public\\Documents\\KestruneDownloads", SERVER_ETC_SAVE_TO_HDD, false,
         nullptr},
        {"usable", L"C:\\users\\Public\\KestruneOther", SERVER_ETC_SAVE_TO_HDD, true, nullptr},
        {"unusable drive", L"X:\\Maps", SERVER_ERROR_UPDATE_CHECK_SAVE_DRIVE_UPDATE_HDD, false,
         L"VN:X:\\,ED:PATHTYPE]"},
        {"unusable folder", L"C:\\users\\Public\\KestruneGone", SERVER_ERROR_UPDATE_CHECK_SAVE_FOLDER_UPDATE_HDD,
         false, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CRegSetting::setDataPath(before);
        services.clear();
        CString picked = c.chosen;
        CString offered;
        CDlgRoot::setFolderPicker([&](CWnd*, const CString& initial) {
            offered = initial;
            return picked;
        });
        CDlgPageMessage* page = ask(SERVER_ETC_SAVE_TO_HDD, recorder());
        ASSERT_TRUE(page->m_btnChangeFolder.IsWindowVisible());
        click(page, IDC_BUTTON_CHANGE_FOLDER);
        EXPECT_EQ(offered, before);
        EXPECT_EQ(page->m_eMessageType, c.typeAfter);
        EXPECT_EQ(CRegSetting::getDataPath(), c.stored ? picked : before);
        EXPECT_EQ(services.size(), c.stored ? 1u : 0u);
        if (c.stored) {
            EXPECT_EQ(services[0], L"frameDataPath:" + picked);
            CString shown;
            page->m_editFolderPath.GetWindowText(shown);
            EXPECT_EQ(shown, picked);
        }
        if (c.typeAfter != SERVER_ETC_SAVE_TO_HDD) {
            EXPECT_EQ(page->m_pRequestPage, static_cast<CWnd*>(page));
            EXPECT_EQ(root->m_eViewStatus, VIEW_STATE_MESSAGE);
        }
        if (c.typeAfter == SERVER_ERROR_UPDATE_CHECK_SAVE_FOLDER_UPDATE_HDD) {
            EXPECT_EQ(page->getParam(0), picked);
        }
        if (c.record) {
            EXPECT_NE(statisticsRecords().Find(c.record), -1) << CW2A(statisticsRecords().GetString());
        }
        EXPECT_EQ(answerCount(), 0);
        page->closePage(TRUE);
        root->pushViewPage(VIEW_STATE_CAR_REG, TRUE);
    }
    CDlgRoot::setFolderPicker(nullptr);
}

// No registered vehicle: in the US the owner portal opens through the
// launcher after a session reset; elsewhere the first page after sign-in.
TEST_F(MessageAnswers, NoVehicleOpensTheOwnerPortal) {
    const CString config = programFolder() + L"\\owners_config.json";
    {
        CStdioFile file;
        ASSERT_TRUE(file.Open(config, CFile::modeCreate | CFile::modeWrite | CFile::typeText));
        file.WriteString(L"{\"WEB_OWNERS_TS\":\"https://owners.example/ts\",\"WEB_OWNERS_LV\":"
                         L"\"https://owners.example/lv\",\"WEB_OWNERS_DR\":\"https://owners.example/dr\","
                         L"\"WEB_MEMBER_KR_LV\":\"https://member.example/lv\"}");
    }
    ASSERT_TRUE(CConfigFile::getInstance()->loadFile(config));
    std::vector<CString> opened;
    auto previous = CGlobalFunc::setUrlLauncher([&](const CString& target) { opened.push_back(target); });
    struct Case {
        int type, region, registered;
        const wchar_t* url;  // nullptr: nothing opened
        bool pageAfterLogin;
    } cases[] = {
        {SERVER_ETC_NO_VEHICLE_TS, REGION_US, 0, L"https://owners.example/ts/us/en/index.html", false},
        {SERVER_ETC_NO_VEHICLE_DR, REGION_US, 0, L"https://owners.example/dr/us/en/index.html", false},
        {SERVER_ETC_NO_VEHICLE_LV, REGION_US, 0, L"https://owners.example/lv/us/en/luvo-owner-portal.html/", false},
        {SERVER_ETC_NO_VEHICLE_TS, REGION_US, 1, nullptr, false},
        {SERVER_ETC_NO_VEHICLE_LV, REGION_US, 1, nullptr, true},
        {SERVER_ETC_NO_VEHICLE_TS, REGION_KR, 0, nullptr, true},
        {SERVER_ETC_NO_VEHICLE_LV, REGION_KR, 0, L"https://member.example/lv/kr/kmpg/selectMyPageCkbCarInfo.do",
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.type << " region " << c.region << " registered " << c.registered);
        opened.clear();
        services.clear();
        CRegSetting::setRegion(c.region);
        root->m_bHasRegisteredVehicle = c.registered;
        root->pushViewPage(VIEW_STATE_CAR_REG, TRUE);
        CDlgPageMessage* page = ask(c.type, recorder());
        click(page, IDC_BUTTON_OK);
        EXPECT_EQ(opened.size(), c.url ? 1u : 0u);
        if (c.url && !opened.empty()) {
            EXPECT_EQ(opened[0], CString(c.url));
        }
        EXPECT_EQ(services.size() == 1 && services[0] == L"showPageAfterLogin", c.pageAfterLogin);
        EXPECT_EQ(answerCount(), 0);
        if (!page->m_bClosed) page->closePage(TRUE);
    }
    CGlobalFunc::setUrlLauncher(previous);
    DeleteFileW(config);
    CStdioFile empty;
    if (empty.Open(config, CFile::modeCreate | CFile::modeWrite | CFile::typeText)) {
        empty.WriteString(L"{}");
        empty.Close();
        CConfigFile::getInstance()->loadFile(config);
        DeleteFileW(config);
    }
}

// Cancel on "medium not in the account": another brand's medium goes to its
// login; the same brand goes on by region, registration and the view under
// the message. No answer is sent.
TEST_F(MessageAnswers, MediumOfAnotherAccountCancel) {
    const CString dr = getCorpCode(CORP_DR);
    struct Case {
        const char* name;
        const wchar_t* corpCode;
        int region, registered, base, lastBrand;
        int view;       // the root's view afterwards
        int typeAfter;  // the page's type when it stays, 0 otherwise
        bool pageAfterLogin;
    } cases[] = {
        {"another brand", L"N", REGION_KR, 0, VIEW_STATE_CAR_REG, CORP_TS, VIEW_STATE_LOGIN, 0, false},
        {"registered vehicle", nullptr, REGION_KR, 1, VIEW_STATE_CAR_REG, CORP_DR, VIEW_STATE_CAR_REG, 0, false},
        {"no vehicle, not on login", nullptr, REGION_KR, 0, VIEW_STATE_CAR_REG, CORP_DR, VIEW_STATE_CAR_CHANGE, 0,
         false},
        {"no vehicle on login", nullptr, REGION_KR, 0, VIEW_STATE_LOGIN, CORP_DR, VIEW_STATE_MESSAGE,
         SERVER_ETC_NO_VEHICLE_DR, false},
        {"outside Korea", nullptr, REGION_US, 0, VIEW_STATE_CAR_REG, CORP_DR, VIEW_STATE_CAR_CHANGE, 0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        services.clear();
        pageAfterLoginShown = FALSE;
        g_strCorpCode = c.corpCode ? CString(c.corpCode) : dr;
        CRegSetting::setRegion(c.region);
        CRegSetting::setLastUserCorp(c.lastBrand);
        root->m_nMediumCorp = CORP_DR;
        root->m_bHasRegisteredVehicle = c.registered;
        root->pushViewPage(c.base, TRUE);
        recorder()->clearCalls();
        CDlgPageMessage* page = ask(SERVER_ETC_MEDIUM_NOT_IN_ACCOUNT, recorder(), {{0, L"V"}});
        click(page, IDC_BUTTON_CANCEL);
        EXPECT_EQ(answerCount(), 0);
        if (c.view == VIEW_STATE_MESSAGE) {
            EXPECT_EQ(root->m_eViewStatus, VIEW_STATE_MESSAGE);
            EXPECT_EQ(page->m_eMessageType, c.typeAfter);
            EXPECT_EQ(page->m_pRequestPage, static_cast<CWnd*>(page));
        } else {
            EXPECT_EQ(root->m_eBaseViewStatus, c.view);
        }
        if (c.corpCode) {
            EXPECT_EQ(g_strCorpCode, dr);
            EXPECT_EQ(root->m_nCorp, CORP_DR);
            EXPECT_EQ(CRegSetting::getLastUserCorp(), CORP_DR);
        }
        EXPECT_EQ(services.size() == 1 && services[0] == L"showPageAfterLogin", c.pageAfterLogin);
        if (!page->m_bClosed) page->closePage(TRUE);
    }
}

// The same message again for the same requester only refreshes its detail
// lines, and they are drawn anew.
TEST_F(MessageAnswers, RepeatRefreshesTheDrawnDetailLines) {
    CDlgPageMessage* page = ask(SERVER_ERROR_USB_REMOVE_FAIL, recorder(), {{0, L"E:\\"}, {1, L"OLD"}});
    page->UpdateWindow();
    page->setParam(L"F:\\", 0);
    page->setParam(L"", 1);
    page->setMessageType(SERVER_ERROR_USB_REMOVE_FAIL, recorder());
    CString first, second;
    page->m_staticSubText1.GetWindowText(first);
    page->m_staticSubText2.GetWindowText(second);
    EXPECT_EQ(first, CString(L"F:\\"));
    EXPECT_EQ(second, CString(L"OLD")) << "an empty parameter keeps its line";
    EXPECT_TRUE(::GetUpdateRect(page->m_hWnd, nullptr, FALSE));
    page->closePage(TRUE);
}

// The session messages answer nobody: a brand change resets the session and
// leaves the page up until the login shows; the guest's brand change enters
// that brand again as a guest.
TEST_F(MessageAnswers, SessionMessages) {
    struct Case {
        int type, lastBrand;
        const wchar_t* loginCall;
        bool closed;
    } cases[] = {
        {SERVER_ETC_BRAND_CHANGED, CORP_TS, L"resetPage", false},
        {SERVER_ETC_LANGUAGE_CHANGED, CORP_TS, L"resetPage", false},
        {SERVER_ETC_BRAND_CHANGED_GUEST, CORP_LV, L"OnBnClickedButtonNnLv", true},
        {SERVER_ETC_BRAND_CHANGED_GUEST, CORP_DR, L"OnBnClickedButtonNnDr", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        CRegSetting::setLastUserCorp(c.lastBrand);
        root->m_pPageLogin->clearCalls();
        g_bSignedIn = TRUE;
        CDlgPageMessage* page = ask(c.type, recorder(), {{0, L"Luvo"}});
        // Shown, the message keeps the settings and the sign-out from the user.
        EXPECT_TRUE(root->m_btnConfig.IsWindowVisible());
        EXPECT_FALSE(root->m_btnConfig.m_bEnabled);
        EXPECT_TRUE(root->m_btnLogout.IsWindowVisible());
        EXPECT_FALSE(root->m_btnLogout.m_bEnabled);
        click(page, IDC_BUTTON_OK);
        g_bSignedIn = FALSE;
        EXPECT_EQ(root->m_pPageLogin->callCount(c.loginCall), 1);
        EXPECT_EQ(page->m_bClosed != FALSE, c.closed);
        EXPECT_EQ(answerCount(), 0);
        EXPECT_EQ(CRegSetting::getLastUserCorp(), c.lastBrand);
        if (!page->m_bClosed) page->closePage(TRUE);
        root->pushViewPage(VIEW_STATE_CAR_REG, TRUE);
    }
}

// OK on "medium not in the account" signs out to the medium's brand (from
// the letter of parameter 0, read before the close forgets it) and records
// the choice; 71 returns to the last brand's login.
TEST_F(MessageAnswers, MediumOfAnotherAccountOkReturnsToItsLogin) {
    struct Case {
        int type;
        const wchar_t* letter;
        int mediumCorp;
        const wchar_t* selected;
        bool record;
    } cases[] = {
        {SERVER_ETC_MEDIUM_NOT_IN_ACCOUNT, L"L", CORP_LV, L"selectBrand(2)", true},
        {SERVER_ETC_MEDIUM_NOT_IN_ACCOUNT, L"V", CORP_DR, L"selectBrand(3)", true},
        {SERVER_ETC_MEDIUM_NOT_IN_ACCOUNT, L"X", CORP_DR, L"selectBrand(3)", true},  // no brand: the last one
        {SERVER_ERROR_UPDATE_CHECK_INF_LIMIT, L"", CORP_DR, L"selectBrand(1)", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.type << " " << CW2A(c.letter));
        CRegSetting::setLastUserCorp(CORP_TS);
        g_strCorpCode = getCorpCode(CORP_TS);
        root->m_nMediumCorp = c.mediumCorp;
        root->m_pPageLogin->clearCalls();
        CString before = statisticsRecords();
        root->pushViewPage(VIEW_STATE_CAR_REG, TRUE);
        CDlgPageMessage* page = ask(c.type, recorder(), {{0, c.letter}});
        click(page, IDC_BUTTON_OK);
        // The login page's reset selects the stored brand as well.
        EXPECT_GE(root->m_pPageLogin->callCount(c.selected), 1);
        EXPECT_EQ(g_strCorpCode, CString(L"N"));
        EXPECT_EQ(root->m_eViewStatus, VIEW_STATE_LOGIN);
        EXPECT_EQ(answerCount(), 0);
        EXPECT_EQ(statisticsRecords().GetLength() > before.GetLength(), c.record);
    }
}

// The page over the settings page.
class ConfigMessage : public MessageAnswers {
protected:
    void SetUp() override {
        MessageAnswers::SetUp();
        root->pushViewPage(VIEW_STATE_CONFIG, TRUE);
        page = root->m_pPageMsgForConfig;
        ASSERT_NE(page, nullptr);
    }
    void show(int type) {
        page->setMessageType(type, nullptr);
        root->pushViewPage(VIEW_STATE_PAGE_FOR_CONFIG, TRUE);
        pumpFor(60);
    }
    CDlgPageMessageForConfig* page = nullptr;
};

TEST_F(ConfigMessage, RemovalAnswerAndBackToTheSettings) {
    // A removal that left files must not tell the user they are gone; the
    // next removal that works says so again.
    const struct {
        BOOL removed;
        int title;
    } cases[] = {{TRUE, IDS_MSG_DOWNLOAD_REMOVED_TITLE},
                 {FALSE, IDS_MSG_DOWNLOAD_NOT_REMOVED_TITLE},
                 {TRUE, IDS_MSG_DOWNLOAD_REMOVED_TITLE}};
    for (const auto& c : cases) {
        services.clear();
        downloadsRemoved = c.removed;
        show(SERVER_ETC_REMOVE_DOWNLOAD);
        page->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_BUTTON_OK, BN_CLICKED), 0);
        EXPECT_EQ(services, std::vector<CString>{L"deleteDownloadFiles"});
        EXPECT_EQ(page->m_eMessageType, SERVER_ETC_DOWNLOAD_REMOVED);
        CString title;
        page->m_staticTitle1.GetWindowText(title);
        EXPECT_FALSE(title.IsEmpty()) << "1028 has its own texts here";
        EXPECT_EQ(title, langText(c.title)) << c.removed;
        // A language refresh keeps the answer the removal gave.
        page->SendMessage(RWM_CHANGE_LANGUAGE, 0, 0);
        page->m_staticTitle1.GetWindowText(title);
        EXPECT_EQ(title, langText(c.title)) << c.removed;
        page->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_BUTTON_OK, BN_CLICKED), 0);
        EXPECT_TRUE(page->m_bClosed);
        EXPECT_EQ(root->m_pCurPage, static_cast<CBaseChildDialog*>(root->m_pPageConfig));
    }
}

// The settings variant shows the refused folder under the text.
TEST_F(ConfigMessage, FolderRefusalShowsItsPath) {
    CRegSetting::setDataPath(L"C:\\users\\Public\\KestruneRefused");
    show(SERVER_ERROR_UPDATE_CHECK_SAVE_FOLDER_UPDATE_HDD);
    page->UpdateWindow();
    pumpFor(60);
    EXPECT_TRUE(page->m_editFolderPath.IsWindowVisible());
    CString shown;
    page->m_editFolderPath.GetWindowText(shown);
    EXPECT_EQ(shown, CString(L"C:\\users\\Public\\KestruneRefused"));
    page->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_BUTTON_OK, BN_CLICKED), 0);
    EXPECT_TRUE(page->m_bClosed);
    EXPECT_EQ(root->m_pCurPage, static_cast<CBaseChildDialog*>(root->m_pPageConfig));
}

}  // namespace
