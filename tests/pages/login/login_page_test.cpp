// The login page on the real root with its message pages, over a frame
// double, against the stand-in service: what goes out (read back from the
// stand-in's log), what each answer becomes, and the form's rules.
#include "tests/pages/login/login_fixture.h"

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
