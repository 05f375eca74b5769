// The login page on the real root with its message pages, over a frame
// double, against the stand-in service: what goes out (read back from the
// stand-in's log), what each answer becomes, and the form's rules.
#include "pages/account/dlg_page_login.h"

#include "foundation/code_tables.h"
#include "foundation/config_file.h"
#include "foundation/globalfunc.h"
#include "foundation/logmanager.h"
#include "foundation/program_strings.h"
#include "foundation/registered_messages.h"
#include "foundation/regsetting.h"
#include "resources/resource.h"
#include "shell/dlg_page_message.h"
#include "shell/message_types.h"
#include "tests/shell/shell_fixture.h"
#include "tests/shell_frame/standin_log.h"
#include "tests/support/capture.h"
#include "ui/session_flags.h"
#include "ui/view_state.h"

#include <memory>
#include <string>

namespace {

const wchar_t* const kGuid = L"C0FFEE00-5EED-4B1D-8A11-000000000001";

// The frame the page reaches: keeps the lists it is given, counts the
// notice downloads and the dealer flag.
class LoginFrame : public FakeFrame {
public:
    ~LoginFrame() override {
        for (InfInfoList* l : lists) delete l;
    }
    void setVehicleList(InfInfoList* list) override {
        if (list) lists.push_back(list);
        current = list;
        FakeFrame::vehicleList = list ? TRUE : FALSE;
    }
    InfInfoList* vehicleList() override { return current; }
    void setDealerLogin(BOOL dealer) override { dealerFlag = dealer; }
    void runNoticeDownload() override { ++notices; }

    std::vector<InfInfoList*> lists;
    InfInfoList* current = nullptr;
    BOOL dealerFlag = FALSE;
    std::atomic<int> notices{0};
};

std::string narrow(const CString& s) { return std::string(CW2A(s.GetString(), CP_UTF8)); }

bool has(const std::string& line, const std::string& part) { return line.find(part) != std::string::npos; }

}  // namespace

class LoginPage : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(CConfigFile::getInstance()->loadFile(moduleFolder() + L"config.json"));
        useLanguage(REGION_KR, LANGUAGE_KO);
        g_bSignedIn = FALSE;
        g_bGuestLogin = FALSE;
        g_strCorpCode = L"N";
        g_strJoinCorpCode = L"N";
        CRegSetting::setLastUserCorp(CORP_TS);
        forgetSavedSignIns();
        storeGuid();
        setShellEngine(&engine);
        root = std::make_unique<CDlgRoot>(&frame);
        ASSERT_TRUE(root->Create(IDD_BASE_DIALOG, nullptr));
        root->SetWindowPos(nullptr, 40, 40, 900, 680, SWP_NOZORDER);
        root->ShowWindow(SW_SHOW);
        pumpFor(80);
        page = root->m_pPageLogin;
        ASSERT_NE(nullptr, page);
    }
    void TearDown() override {
        if (page) page->joinWorker();
        page = nullptr;
        if (root) {
            if (root->GetSafeHwnd()) root->DestroyWindow();
            root.reset();
        }
        setShellEngine(nullptr);
        g_bSignedIn = FALSE;
        pumpFor(20);
    }
    // A stored automatic sign-in would sign the next root in at once.
    static void forgetSavedSignIns() {
        for (int region : {REGION_KR, REGION_US, REGION_EU, REGION_ME, REGION_TR}) {
            AfxGetApp()->WriteProfileString(getRegionCode(region) + L"_User", nullptr, nullptr);
        }
    }
    static void storeGuid() {
        for (int region : {REGION_KR, REGION_US, REGION_EU, REGION_ME, REGION_TR}) {
            AfxGetApp()->WriteProfileString(getRegionCode(region) + L"_User", L"ClientGUID", kGuid);
        }
    }
    // Types into the form and presses the login button; waits for the end.
    void login(const CString& id, const CString& password) {
        page->m_editID.SetWindowText(id);
        page->m_editPwd.SetWindowText(password);
        pumpFor(20);
        ::SendMessageW(page->m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_BUTTON_LOGIN, BN_CLICKED),
                       reinterpret_cast<LPARAM>(page->m_btnLogin.m_hWnd));
        waitEnd();
    }
    void waitEnd() {
        ASSERT_TRUE(pumpUntil([&] { return !page->isWorkerRunning() && !page->m_bWaiting; }, 30000));
        pumpFor(40);
    }
    // The attempt's values as the page fixes them, then the routine alone.
    int tryLogin(const CString& id, const CString& password, int corp = CORP_TS, int userType = USER_TYPE_MEMBER,
                 BOOL dealer = FALSE) {
        page->m_strWorkerID = id;
        page->m_strWorkerPassword = password;
        page->m_nAttemptCorp = corp;
        page->m_nAttemptUserType = userType;
        page->m_bAttemptDealer = dealer;
        const int result = page->TryLogin();
        delete page->m_pSuccessList;
        page->m_pSuccessList = nullptr;
        return result;
    }
    static std::vector<std::string> chkRegist(size_t from) { return standin_log::of("ChkRegist", from); }
    static size_t logSize() { return standin_log::lines().size(); }
    CDlgPageMessage* shownMessage() const { return root->m_pShownMessagePage; }

    LoginFrame frame;
    FakeEngine engine;
    std::unique_ptr<CDlgRoot> root;
    CDlgPageLogin* page = nullptr;
};

// D1..D6 as the stand-in decrypted them: member, dealer and non-member.
TEST_F(LoginPage, RequestCarriesTheAttemptsValues) {
    struct Case {
        const wchar_t* id;
        const wchar_t* password;
        int userType;
        BOOL dealer;
        std::vector<std::string> params;
    } cases[] = {
        {L"ts.member", L"Tessaly#2024", USER_TYPE_MEMBER, FALSE,
         {"\"D1\": \"ts.member\"", "\"D2\": \"TS\"", "\"D3\": \"Tessaly#2024\"", "\"D4\": \"KR\"",
          "\"D5\": \"C0FFEE00-5EED-4B1D-8A11-000000000001\"", "\"D6\": \"U\""}},
        {L"ts.dealer", L"Dealer#2024", USER_TYPE_MEMBER, TRUE, {"\"D1\": \"ts.dealer\"", "\"D6\": \"D\""}},
        {L"", L"", USER_TYPE_GUEST, FALSE, {"\"D1\": \"\"", "\"D3\": \"\"", "\"D6\": \"U\""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(narrow(c.id));
        const size_t from = logSize();
        const int notices = frame.notices;
        EXPECT_EQ(999, tryLogin(c.id, c.password, CORP_TS, c.userType, c.dealer));
        const auto lines = chkRegist(from);
        ASSERT_EQ(1u, lines.size());
        for (const std::string& p : c.params) EXPECT_TRUE(has(lines[0], p)) << p << "\n" << lines[0];
        // Encryptions of the empty text, not empty values.
        EXPECT_FALSE(has(lines[0], "\"plain\": [\"D1\""));
        EXPECT_EQ(notices + 1, frame.notices);
    }
}

TEST_F(LoginPage, DealerListCarriesTheDealerCode) {
    page->m_strWorkerID = L"ts.dealer";
    page->m_strWorkerPassword = L"Dealer#2024";
    page->m_nAttemptCorp = CORP_TS;
    page->m_bAttemptDealer = TRUE;
    ASSERT_EQ(999, page->TryLogin());
    std::unique_ptr<InfInfoList> list(page->m_pSuccessList);
    page->m_pSuccessList = nullptr;
    EXPECT_FALSE(list->getDealerCode().IsEmpty());
    EXPECT_FALSE(list->empty());
    EXPECT_EQ(CString(L"ts.dealer"), list->getUserId());
}

// Every refusal of the stand-in, and the transport faults: the message, the
// server text and the statistics record.
TEST_F(LoginPage, ServerCodesBecomeMessagesTextsAndRecords) {
    page->m_nRetry900 = 1;  // the automatic retry is its own test
    struct Case {
        const wchar_t* id;
        int type;
        const char* record;  // the record's tail
        bool text;
    } cases[] = {
        {L"refuse.400", SERVER_ERROR_LOGIN_AUTHORITY, ",ED:400]", false},
        {L"refuse.401", SERVER_ERROR_LOGIN_INCORRECT_ID_PASSWORD, ",ED:401]", false},
        {L"refuse.402", SERVER_ERROR_LOGIN_PASSWORD_LIMIT, ",ED:402]", false},
        {L"refuse.403", SERVER_ERROR_LOGIN_DEALER_PASSWORD_INIT, ",ED:403]", true},
        {L"refuse.405", SERVER_ERROR_LOGIN_PASSWORD_EXPIRED, ",ED:405]", true},
        {L"refuse.406", SERVER_ERROR_LOGIN_FAILED_EXCEEDED_COUNT, ",ED:406]", true},
        {L"refuse.407", SERVER_ERROR_LOGIN_PASSWORD_NEEDS_REST, ",ED:407]", true},
        {L"refuse.408", SERVER_ERROR_LOGIN_ACCESS_DENIED, ",ED:408]", true},
        {L"refuse.409", SERVER_ERROR_LOGIN_TEMPORARY_PASSWORD_EXPIRED, ",ED:409]", true},
        {L"refuse.423", SERVER_ERROR_LOGIN_INVALID_LOGIN_ATTEMPTS, ",ED:423]", true},
        {L"refuse.430", SERVER_ERROR_LOGIN_DIFFERENT_TOKEN_ID, ",ED:430]", true},
        {L"refuse.500", SERVER_ERROR_LOGIN_INPUT_INFO, ",ED:500]", false},
        {L"refuse.700", SERVER_ERROR_UPDATE_CHECK_INF_LIMIT, ",GUID:C0FFEE00-5EED-4B1D-8A11-000000000001,ED:700]",
         false},
        {L"refuse.900", SERVER_ERROR_LOGIN_SYSTEM, ",GUID:C0FFEE00-5EED-4B1D-8A11-000000000001,ED:900]", true},
        {L"refuse.901", SERVER_ERROR_LOGIN_UNKNOWN_SERVER, ",GUID:C0FFEE00-5EED-4B1D-8A11-000000000001,ED:901]",
         true},
        {L"refuse.902", SERVER_ERROR_NETWORK_FAIL, ",PS:0,ED:1000]", false},
        {L"refuse.903", SERVER_ERROR_LOGIN_NO_AUTHORITY_903, ",ED:903]", true},
        {L"refuse.904", SERVER_ERROR_LOGIN_NO_AUTHORITY_904, ",ED:904]", true},
        {L"ts.bound", SERVER_ERROR_LOGIN_DIFFERENT_TOKEN_ID, ",ED:430]", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(narrow(c.id));
        const CString before = g_logManager.getStatisticsContext().errorLog;
        const CString password = CString(c.id).Left(6) == L"refuse" ? L"refuse" : L"Tessaly#2024";
        if (CString(c.id) == L"ts.bound") {
            // Bound to another client's GUID.
            AfxGetApp()->WriteProfileString(L"KR_User", L"ClientGUID", L"C0FFEE00-5EED-4B1D-8A11-0000000000FF");
        }
        EXPECT_EQ(c.type, tryLogin(c.id, password));
        storeGuid();
        EXPECT_EQ(c.text, !page->m_strServerText.IsEmpty()) << narrow(page->m_strServerText);
        const std::string added = narrow(g_logManager.getStatisticsContext().errorLog.Mid(before.GetLength()));
        EXPECT_TRUE(has(added, c.record)) << added;
    }
    EXPECT_EQ(SERVER_ERROR_LOGIN_NO_AUTHORITY_904, tryLogin(L"refuse.904", L"refuse"));
    EXPECT_TRUE(page->m_strServerText.Find(L"/web/authority") > 0) << narrow(page->m_strServerText);
}

TEST_F(LoginPage, TransportFaultsAreANetworkFailure) {
    const char* faults[] = {
        R"({"path": "/api/ChkRegist", "status": 404})", R"({"path": "/api/ChkRegist", "status": 410})",
        R"({"path": "/api/ChkRegist", "empty": true})", R"({"path": "/api/ChkRegist", "drop": true})",
        R"({"path": "/api/ChkRegist", "body": "STANDIN", "status": 200})",
    };
    for (const char* fault : faults) {
        SCOPED_TRACE(fault);
        writeBytes(standin_log::folder() + L"faults.json", std::string("[") + fault + "]");
        const CString before = g_logManager.getStatisticsContext().errorLog;
        EXPECT_EQ(SERVER_ERROR_NETWORK_FAIL, tryLogin(L"ts.member", L"Tessaly#2024"));
        EXPECT_TRUE(page->m_strServerText.IsEmpty());
        EXPECT_TRUE(has(narrow(g_logManager.getStatisticsContext().errorLog.Mid(before.GetLength())),
                        "[E:1,T:"));
    }
    writeBytes(standin_log::folder() + L"faults.json", "[]");
}

// One automatic retry of 900 in the page's life, then 47.
TEST_F(LoginPage, FirstServerCode900IsRetriedOnceInTheRun) {
    const CString before = g_logManager.getStatisticsContext().errorLog;
    size_t from = logSize();
    EXPECT_EQ(999, tryLogin(L"ts.retry900", L"Tessaly#2024"));
    EXPECT_EQ(2u, chkRegist(from).size());
    EXPECT_FALSE(has(narrow(g_logManager.getStatisticsContext().errorLog.Mid(before.GetLength())), "ED:900"));
    from = logSize();
    EXPECT_EQ(SERVER_ERROR_LOGIN_SYSTEM, tryLogin(L"refuse.900", L"refuse"));
    EXPECT_EQ(1u, chkRegist(from).size());
    EXPECT_EQ(SERVER_ERROR_LOGIN_SYSTEM, tryLogin(L"ts.novehicle", L"Tessaly#2024"));
}

// Typed and clicked through the page: the list becomes current, the header
// shows the ID, the root moves on and the saved sign-in is written.
TEST_F(LoginPage, MemberSignsInThroughTheForm) {
    ASSERT_TRUE(page->IsWindowVisible());
    login(L"ts.member", L"Tessaly#2024");
    EXPECT_TRUE(g_bSignedIn);
    ASSERT_NE(nullptr, frame.current);
    EXPECT_EQ(CString(L"ts.member"), frame.current->getUserId());
    EXPECT_EQ(CString(L"ts.member"), root->m_strTitle);
    EXPECT_EQ(CString(L"TS"), g_strCorpCode);
    EXPECT_NE(VIEW_STATE_LOGIN, root->m_eViewStatus);
    // Typing ticked both boxes: ID and password saved.
    EXPECT_EQ(CString(L"ts.member"), CRegSetting::getUserID(CORP_TS));
    EXPECT_EQ(CString(L"Tessaly#2024"), CRegSetting::getUserInfo(CORP_TS));
    EXPECT_TRUE(root->exitLocks().empty());
}

TEST_F(LoginPage, RefusedLoginShowsItsMessageAndRestoresTheForm) {
    login(L"ts.member", L"wrong");
    EXPECT_FALSE(g_bSignedIn);
    EXPECT_EQ(VIEW_STATE_MESSAGE, root->m_eViewStatus);
    ASSERT_NE(nullptr, shownMessage());
    EXPECT_EQ(SERVER_ERROR_LOGIN_INCORRECT_ID_PASSWORD, shownMessage()->m_eMessageType);
    ::SendMessageW(page->m_hWnd, RWM_MESSAGE_RESULT, 1, SERVER_ERROR_LOGIN_INCORRECT_ID_PASSWORD);
    CString id, password;
    page->m_editID.GetWindowText(id);
    page->m_editPwd.GetWindowText(password);
    EXPECT_EQ(CString(L"ts.member"), id);
    EXPECT_EQ(CString(L"wrong"), password);
    EXPECT_TRUE(page->m_btnLogin.m_bEnabled);
    EXPECT_TRUE(frame.lists.empty());
}

// 45, 1021 and 1022 answered OK open the server's link and leave the
// password empty and the button disabled.
TEST_F(LoginPage, AuthorityAnswersOpenTheServersLink) {
    std::vector<CString> opened;
    auto previous = CGlobalFunc::setUrlLauncher([&](const CString& url) { opened.push_back(url); });
    login(L"refuse.904", L"refuse");
    ::SendMessageW(page->m_hWnd, RWM_MESSAGE_RESULT, 1, SERVER_ERROR_LOGIN_NO_AUTHORITY_904);
    CGlobalFunc::setUrlLauncher(previous);
    ASSERT_EQ(1u, opened.size());
    EXPECT_TRUE(opened[0].Find(L"/web/authority") > 0);
    CString password;
    page->m_editPwd.GetWindowText(password);
    EXPECT_TRUE(password.IsEmpty());
    EXPECT_FALSE(page->m_btnLogin.m_bEnabled);
    EXPECT_EQ(CString(L"N"), g_strCorpCode);
}

// The form's rules as input sequences.
TEST_F(LoginPage, TypingTicksTheBoxesAndTheFirstSaveTickTicksAuto) {
    page->m_editID.SetWindowText(L"");
    page->m_editPwd.SetWindowText(L"");
    pumpFor(20);
    EXPECT_FALSE(page->m_btnLogin.m_bEnabled);
    EXPECT_FALSE(page->m_checkSave.m_bChecked);
    EXPECT_FALSE(page->m_checkSave.m_bEnabled);
    page->m_editID.SetWindowText(L"a");
    pumpFor(20);
    EXPECT_TRUE(page->m_checkSave.m_bChecked);
    EXPECT_TRUE(page->m_checkAuto.m_bChecked);
    EXPECT_FALSE(page->m_btnLogin.m_bEnabled);
    page->m_editPwd.SetWindowText(L"b");
    pumpFor(20);
    EXPECT_TRUE(page->m_btnLogin.m_bEnabled);
    // Save off takes auto with it; the first save tick brings auto back.
    ::SendMessageW(page->m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_STATIC_CHECK_ID_SAVE, STN_CLICKED), 0);
    EXPECT_FALSE(page->m_checkSave.m_bChecked);
    EXPECT_FALSE(page->m_checkAuto.m_bChecked);
    ::SendMessageW(page->m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_STATIC_CHECK_ID_SAVE, STN_CLICKED), 0);
    EXPECT_TRUE(page->m_checkSave.m_bChecked);
    EXPECT_TRUE(page->m_checkAuto.m_bChecked);
    ::SendMessageW(page->m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_STATIC_CHECK_ID_SAVE, STN_CLICKED), 0);
    ::SendMessageW(page->m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_STATIC_CHECK_ID_SAVE, STN_CLICKED), 0);
    EXPECT_TRUE(page->m_checkSave.m_bChecked);
    EXPECT_FALSE(page->m_checkAuto.m_bChecked);  // later ticks leave auto alone
    // Auto on brings save along.
    ::SendMessageW(page->m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_STATIC_CHECK_ID_SAVE, STN_CLICKED), 0);
    ::SendMessageW(page->m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_STATIC_CHECK_ID_AUTO, STN_CLICKED), 0);
    EXPECT_TRUE(page->m_checkSave.m_bChecked);
    EXPECT_TRUE(page->m_checkAuto.m_bChecked);
    page->m_editID.SetWindowText(L"");
    page->m_editPwd.SetWindowText(L"");
    pumpFor(20);
    EXPECT_FALSE(page->m_checkSave.m_bChecked);
    EXPECT_FALSE(page->m_checkAuto.m_bChecked);
}

TEST_F(LoginPage, StoreLoginInfoWritesOnlyForAnOrdinaryMember) {
    struct Case {
        int save, autoLogin;
        int userType;
        BOOL hidden;
        const wchar_t* id;
        const wchar_t* password;
    } cases[] = {
        {1, 1, USER_TYPE_MEMBER, FALSE, L"me", L"pw"},
        {1, 0, USER_TYPE_MEMBER, FALSE, L"me", L"pw"},
        {0, 0, USER_TYPE_MEMBER, FALSE, L"", L""},
        {1, 1, USER_TYPE_GUEST, FALSE, L"kept", L"kept"},
        {1, 1, USER_TYPE_MEMBER, TRUE, L"kept", L"kept"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.save << c.autoLogin << c.userType << c.hidden);
        CRegSetting::setUserID(CORP_TS, L"kept");
        CRegSetting::setUserInfo(CORP_TS, L"kept");
        page->m_nCorp = CORP_TS;
        page->m_nUserType = c.userType;
        page->m_bHiddenLogin = c.hidden;
        page->m_editID.SetWindowText(L"me");
        page->m_editPwd.SetWindowText(L"pw");
        page->m_checkSave.setCheck(c.save);
        page->m_checkAuto.setCheck(c.autoLogin);
        page->storeLoginInfo();
        EXPECT_EQ(CString(c.id), CRegSetting::getUserID(CORP_TS));
        EXPECT_EQ(CString(c.password), CRegSetting::getUserInfo(CORP_TS));
    }
    page->m_bHiddenLogin = FALSE;
    page->m_nUserType = USER_TYPE_MEMBER;
}

// A hidden-mode login keeps the user's saved sign-in.
TEST_F(LoginPage, HiddenModeLoginStoresNoCredentials) {
    CRegSetting::setUserID(CORP_TS, L"saved.user");
    page->loginWithIdPassword(L"ts.member", L"Tessaly#2024");
    waitEnd();
    EXPECT_TRUE(g_bSignedIn);
    EXPECT_EQ(CString(L"saved.user"), CRegSetting::getUserID(CORP_TS));
    EXPECT_EQ(CString(L"ts.member"), page->m_strUserID);
}

// The page's layouts photographed on the root, per language and region.
class LoginScreens : public LoginPage {
protected:
    void SetUp() override {}
    void start(int region, int language, int corp) {
        LoginPage::SetUp();
        if (root) root->DestroyWindow();
        root.reset();
        useLanguage(region, language);
        CRegSetting::setLastUserCorp(corp);
        setShellEngine(&engine);
        root = std::make_unique<CDlgRoot>(&frame);
        ASSERT_TRUE(root->Create(IDD_BASE_DIALOG, nullptr));
        root->SetWindowPos(nullptr, 40, 40, 900, 680, SWP_NOZORDER);
        root->ShowWindow(SW_SHOW);
        page = root->m_pPageLogin;
        pumpFor(150);
    }
    void shoot(const CString& name, const CString& shows) {
        root->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        pumpFor(150);
        saveScreenshot(root->m_hWnd, name, shows, true);
    }
};

TEST_F(LoginScreens, Layouts) {
    struct Case {
        const wchar_t* file;
        int region, language, corp;
        const wchar_t* shows;
    } cases[] = {
        {L"ko_kr_brand_column_ts", REGION_KR, LANGUAGE_KO, CORP_TS,
         L"Korean, region KR: grey brand column on the left with TS pressed, LV, DR, guest; title in two lines; "
         L"ID and password edits, two check labels, login button, two links; nothing clipped"},
        {L"ko_kr_brand_column_lv", REGION_KR, LANGUAGE_KO, CORP_LV,
         L"Korean, region KR, brand LV pressed in the column; LV strips"},
        {L"en_us_form", REGION_US, LANGUAGE_EN, CORP_TS,
         L"English, region US: no title, no columns; brand picture, edits, check labels, login and guest "
         L"buttons, links at y 505"},
        {L"en_eu_non_member", REGION_EU, LANGUAGE_EN, CORP_TS,
         L"English, region EU: grey band on top with the title; non-member TS and DR stacked (no LV), "
         L"Dealer Login under them with its mark"},
        {L"en_tr_non_member", REGION_TR, LANGUAGE_EN, CORP_TS,
         L"English, region TR: LV, DR, then TS last; Dealer Login below"},
        {L"ar_me_non_member", REGION_ME, LANGUAGE_AR, CORP_TS,
         L"Arabic, region ME: non-member layout mirrored (buttons centred), title right-aligned"},
        {L"ar_us_form", REGION_US, LANGUAGE_AR, CORP_TS,
         L"Arabic, region US: the US form mirrored, edits right-aligned, Arabic link widths"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(narrow(c.file));
        start(c.region, c.language, c.corp);
        shoot(c.file, c.shows);
        TearDown();
    }
}

TEST_F(LoginScreens, WaitingAndRefusal) {
    start(REGION_KR, LANGUAGE_KO, CORP_TS);
    writeBytes(standin_log::folder() + L"faults.json", R"([{"path": "/api/ChkRegist", "stall": 3, "stall_after": -1}])");
    page->m_editID.SetWindowText(L"ts.member");
    page->m_editPwd.SetWindowText(L"Tessaly#2024");
    ::SendMessageW(page->m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_BUTTON_LOGIN, BN_CLICKED),
                   reinterpret_cast<LPARAM>(page->m_btnLogin.m_hWnd));
    ASSERT_TRUE(pumpUntil([&] { return page->m_bWaiting != FALSE; }, 10000));
    // While waiting: the exit button is locked, a hidden-mode login sends nothing.
    EXPECT_FALSE(root->exitLocks().empty());
    const size_t from = logSize();
    page->loginWithIdPassword(L"ts.member", L"Tessaly#2024");
    shoot(L"ko_kr_waiting", L"Korean: waiting state, header text, waiting animation and 'please wait'; no form");
    waitEnd();
    writeBytes(standin_log::folder() + L"faults.json", "[]");
    EXPECT_LE(chkRegist(from).size(), 1u);
    login(L"ts.member", L"wrong");
    shoot(L"ko_kr_1029", L"Korean: message 1029 (wrong ID or password) over the page");
}
