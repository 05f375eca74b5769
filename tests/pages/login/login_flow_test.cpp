// The login page's flows through the real root and message pages: the
// consent report after each attempt, what a start or a reset signs in on its
// own, dealer and all-brands modes, the keys, the answers pressed on the
// message page, hidden-mode logins and many logins in a row.
#include "tests/pages/login/login_fixture.h"

#include "afx/dc.h"
#include "afx/gdi.h"
#include "foundation/private_messages.h"
#include "pages/account/login_texts.h"
#include "ui/lang_library.h"

namespace {

std::vector<CString> g_opened;

// Records what the page hands to the browser.
class LauncherRecorder {
public:
    LauncherRecorder() {
        g_opened.clear();
        m_previous = CGlobalFunc::setUrlLauncher([](const CString& url) { g_opened.push_back(url); });
    }
    ~LauncherRecorder() { CGlobalFunc::setUrlLauncher(m_previous); }

private:
    CGlobalFunc::UrlLauncher m_previous;
};

}  // namespace

// After every attempt in KR, refused or not, the consent report goes out
// until the service has taken it once; never outside KR.
TEST_F(LoginPage, ConsentReportFollowsEachAttemptInKoreaUntilTaken) {
    struct Case {
        int region;
        int reported;  // stored before the attempt
        const wchar_t* id;
        const wchar_t* password;
        size_t reports;
    } cases[] = {
        {REGION_KR, 0, L"refuse.401", L"refuse", 1},
        {REGION_KR, 0, L"ts.member", L"Tessaly#2024", 1},
        {REGION_KR, 1, L"refuse.401", L"refuse", 0},
        {REGION_US, 0, L"refuse.401", L"refuse", 0},
    };
    // The reports a case must not send would come after its own attempt:
    // every case ends with a reported attempt that is counted too.
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.region << " " << c.reported << " " << narrow(c.id));
        // A saved automatic sign-in would sign the restarted root in.
        forgetSavedSignIns();
        storeGuid();
        if (c.region != REGION_KR) restart(c.region, LANGUAGE_EN);
        if (CDlgPageMessage* shown = shownMessage()) shown->closePage(TRUE);
        root->pushViewPage(VIEW_STATE_LOGIN, TRUE);
        page->resetPage();
        pumpFor(20);
        const size_t from = logSize();
        setConsentReported(c.reported);
        login(c.id, c.password);
        if (c.reports) ASSERT_TRUE(pumpUntil([&] { return consentReported() == 1; }, 10000));
        forgetSavedSignIns();
        storeGuid();
        if (c.region != REGION_KR) restart(REGION_KR, LANGUAGE_KO);
        if (CDlgPageMessage* shown = shownMessage()) shown->closePage(TRUE);
        root->pushViewPage(VIEW_STATE_LOGIN, TRUE);
        page->resetPage();
        pumpFor(20);
        // The marker: an attempt that reports.
        setConsentReported(0);
        login(L"refuse.401", L"refuse");
        ASSERT_TRUE(pumpUntil([&] { return consentReported() == 1; }, 10000));
        ASSERT_TRUE(pumpUntil([&] { return standin_log::of("chkPrivate", from).size() >= c.reports + 1; }, 10000));
        pumpFor(100);
        const auto reports = standin_log::of("chkPrivate", from);
        EXPECT_EQ(c.reports + 1, reports.size());
        if (c.reports) EXPECT_TRUE(has(reports[0], std::string("\"D1\": \"") + narrow(c.id) + "\"")) << reports[0];
    }
}

// Region 3 with TS stored: a TS guest login starts with the page, its
// buttons hidden until the attempt ends. The stand-in's catalogue has no
// vehicle in region ME, so the attempt ends in 47 after the one automatic
// retry of 900.
TEST_F(LoginPage, RestrictedRegionSignsAGuestInAtOnce) {
    setFaults(R"([{"path": "/api/ChkRegist", "stall": 2, "stall_after": -1, "times": 1}])");
    const size_t from = logSize();
    restart(REGION_ME, LANGUAGE_EN, CORP_TS);
    ASSERT_TRUE(pumpUntil([&] { return page->m_bWaiting != FALSE; }, 10000));
    for (CWnd* w : std::initializer_list<CWnd*>{&page->m_btnNnTs, &page->m_btnNnLv, &page->m_btnNnDr,
                                                &page->m_btnDealer, &page->m_btnLogin}) {
        EXPECT_FALSE(w->IsWindowVisible()) << w->GetDlgCtrlID();
    }
    waitEnd();
    setFaults("[]");
    const auto lines = signIns(from);
    ASSERT_EQ(2u, lines.size());
    for (const std::string& line : lines) {
        EXPECT_TRUE(has(line, "\"D1\": \"\"")) << line;
        EXPECT_TRUE(has(line, "\"D2\": \"TS\"")) << line;
        EXPECT_TRUE(has(line, "\"D4\": \"ME\"")) << line;
    }
    EXPECT_TRUE(g_bGuestLogin);
    ASSERT_NE(nullptr, shownMessage());
    EXPECT_EQ(SERVER_ERROR_LOGIN_SYSTEM, shownMessage()->m_eMessageType);
    EXPECT_EQ(CString(kGuid), root->m_strSubTitle);
    // Once the attempt has ended the guest buttons come back.
    press(IDC_BUTTON_OK);
    EXPECT_TRUE(page->m_btnNnTs.IsWindowVisible());
}

// In KR a non-member button opens the sign-up notice; coming back without
// joining starts that brand's guest login once.
TEST_F(LoginPage, KoreanGuestButtonOpensTheSignUpNoticeAndBackStartsOneGuestLogin) {
    ::SendMessageW(page->m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_BUTTON_NN, BN_CLICKED), 0);
    pumpFor(40);
    ASSERT_TRUE(page->m_btnNnTs.IsWindowVisible());
    const size_t from = logSize();
    focusWindow(root->m_hWnd);
    clickAt(page->m_btnNnTs.m_hWnd, 40, 40);
    pumpUntil([&] { return root->m_eViewStatus == VIEW_STATE_JOIN_MSG; }, 5000);
    EXPECT_EQ(VIEW_STATE_JOIN_MSG, root->m_eViewStatus);
    EXPECT_EQ(CString(L"TS"), g_strJoinCorpCode);
    EXPECT_EQ(SERVER_ERROR_ETC_EULA, root->m_pCurMessagePage->m_eMessageType);
    EXPECT_TRUE(chkRegist(from).empty());
    EXPECT_FALSE(page->isWorkerRunning());

    root->pushViewPage(VIEW_STATE_LOGIN, TRUE);
    ASSERT_TRUE(pumpUntil([&] { return signIns(from).size() == 1; }, 10000));
    waitEnd();
    EXPECT_EQ(CString(L"N"), g_strJoinCorpCode);
    const auto lines = signIns(from);
    EXPECT_TRUE(has(lines[0], "\"D1\": \"\"")) << lines[0];
    EXPECT_TRUE(has(lines[0], "\"D2\": \"TS\"")) << lines[0];
    EXPECT_TRUE(g_bSignedIn);
    // Later paints start nothing more.
    root->pushViewPage(VIEW_STATE_LOGIN, TRUE);
    page->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    pumpFor(100);
    EXPECT_FALSE(page->isWorkerRunning());
    EXPECT_EQ(1u, signIns(from).size());
}

// A stored automatic sign-in of the last brand: the page signs in when the
// root first shows it in regions 0, 1, 8 and 11 (there only with LV), not
// elsewhere, and never again after a sign-out in the same run.
TEST_F(LoginPage, StoredAutoLoginSignsInFromTheFirstShowOnlyInItsRegions) {
    struct Case {
        int region, corp;
        bool signsIn;
    } cases[] = {
        {REGION_US, CORP_TS, true}, {REGION_KR, CORP_DR, true},  {REGION_EU, CORP_DR, true},
        {REGION_RU, CORP_LV, true}, {REGION_IN, CORP_TS, false}, {REGION_VN, CORP_LV, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.region << " " << c.corp);
        useLanguage(c.region, LANGUAGE_EN);
        CRegSetting::setLastUserType(USER_TYPE_MEMBER);
        CRegSetting::setUserID(c.corp, L"refuse.401");
        CRegSetting::setUserInfo(c.corp, L"refuse");
        CRegSetting::setCheckedSave(c.corp, 1);
        CRegSetting::setCheckedAuto(c.corp, 1);
        const size_t from = logSize();
        restart(c.region, LANGUAGE_EN, c.corp);
        waitEnd();
        const auto lines = chkRegist(from);
        ASSERT_EQ(c.signsIn ? 1u : 0u, lines.size());
        if (!c.signsIn) continue;
        EXPECT_TRUE(has(lines[0], "\"D1\": \"refuse.401\"")) << lines[0];
        EXPECT_EQ(SERVER_ERROR_LOGIN_INCORRECT_ID_PASSWORD, shownMessage()->m_eMessageType);
        press(IDC_BUTTON_OK);
        // Signed out: the login view comes back without a new attempt.
        page->resetPage();
        root->pushViewPage(VIEW_STATE_CAR_REG, TRUE);
        root->pushViewPage(VIEW_STATE_LOGIN, TRUE);
        pumpFor(60);
        EXPECT_FALSE(page->isWorkerRunning());
        EXPECT_EQ(1u, chkRegist(from).size());
        CRegSetting::setCheckedAuto(c.corp, 0);
    }
    forgetSavedSignIns();
    storeGuid();
}

// Dealer mode from the non-member layout: the brand column without the
// guest entry, no auto-login box, inert links, the title in two statics.
TEST_F(LoginPage, DealerModeShowsTheBrandColumnWithInertLinks) {
    restart(REGION_EU, LANGUAGE_KO, CORP_TS);
    LauncherRecorder launcher;
    ASSERT_TRUE(page->m_btnDealer.IsWindowVisible());
    focusWindow(root->m_hWnd);
    clickAt(page->m_btnDealer.m_hWnd, 20, 10);
    pumpUntil([&] { return page->m_bDealerMode != FALSE; }, 5000);
    pumpFor(60);
    EXPECT_TRUE(page->m_bDealerMode);
    EXPECT_TRUE(frame.dealerFlag);
    EXPECT_FALSE(page->m_btnDealer.IsWindowVisible());
    for (CPngButton* b : {&page->m_btnTs, &page->m_btnLv, &page->m_btnDr}) EXPECT_TRUE(b->IsWindowVisible());
    EXPECT_FALSE(page->m_btnNn.IsWindowVisible());
    EXPECT_FALSE(page->m_btnNn.m_bEnabled);
    const CString title = CLangLibrary::loadLangString(kTextTitle);
    const int cut = title.Find(L'\n');
    EXPECT_EQ(title.Left(cut), textOf(page->m_staticTitle));
    EXPECT_EQ(title.Mid(cut), textOf(page->m_staticTitle2));
    EXPECT_TRUE(page->m_staticTitle.IsWindowVisible());
    EXPECT_TRUE(page->m_staticTitle2.IsWindowVisible());
    // Typing ticks save only; the auto box stays off and disabled.
    page->m_editID.SetWindowText(L"ts.dealer");
    pumpFor(20);
    EXPECT_TRUE(page->m_checkSave.m_bChecked);
    EXPECT_FALSE(page->m_checkAuto.m_bChecked);
    EXPECT_FALSE(page->m_checkAuto.m_bEnabled);
    for (CPngWithTextButton* link : {&page->m_linkFind, &page->m_linkJoin}) {
        ASSERT_TRUE(link->IsWindowVisible());
        focusWindow(root->m_hWnd);
        clickAt(link->m_hWnd, 10, 10);
    }
    EXPECT_TRUE(g_opened.empty());
    // The dealer login itself sends "D".
    const size_t from = logSize();
    login(L"ts.dealer", L"Dealer#2024");
    const auto lines = chkRegist(from);
    ASSERT_EQ(1u, lines.size());
    EXPECT_TRUE(has(lines[0], "\"D6\": \"D\"")) << lines[0];
}

TEST_F(LoginPage, LinksOpenTheirPagesOutsideDealerMode) {
    LauncherRecorder launcher;
    for (CPngWithTextButton* link : {&page->m_linkFind, &page->m_linkJoin}) {
        ASSERT_TRUE(link->IsWindowVisible());
        focusWindow(root->m_hWnd);
        const size_t opened = g_opened.size();
        clickAt(link->m_hWnd, 10, 10);
        pumpUntil([&] { return g_opened.size() > opened; }, 5000);
    }
    ASSERT_EQ(2u, g_opened.size());
    EXPECT_NE(g_opened[0], g_opened[1]);
}

// Shift+Ctrl+F1 shows every brand, but only signed out and outside KR.
TEST_F(LoginPage, ShiftCtrlF1ShowsAllBrandsOnlySignedOutOutsideKorea) {
    struct Case {
        int region;
        bool signedIn;
        bool allBrands;
    } cases[] = {
        {REGION_EU, false, true},
        {REGION_KR, false, false},
        {REGION_EU, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.region << " " << c.signedIn);
        restart(c.region, LANGUAGE_EN);
        if (c.signedIn) root->showTitleButtons(CORP_TS);
        focusWindow(page->m_hWnd);
        pressKeys({VK_SHIFT, VK_CONTROL, VK_F1});
        if (c.allBrands) pumpUntil([&] { return page->m_bAllBrands != FALSE; }, 5000);
        EXPECT_EQ(c.allBrands, page->m_bAllBrands != FALSE);
        if (!c.allBrands) continue;
        EXPECT_EQ(LoginLayout::BrandColumn, chooseLoginLayout(c.region, CORP_TS, true, false));
        for (CPngButton* b : {&page->m_btnTs, &page->m_btnLv, &page->m_btnDr, &page->m_btnNn}) {
            EXPECT_TRUE(b->IsWindowVisible()) << b->GetDlgCtrlID();
        }
        EXPECT_TRUE(page->m_editID.IsWindowVisible());
        EXPECT_EQ(USER_TYPE_MEMBER, page->m_nUserType);
    }
}

// Tab goes from the ID to the password and from anywhere else back to the
// ID, selecting the whole text; Enter logs in only with both edits shown
// and filled.
TEST_F(LoginPage, TabAlternatesTheEditsAndEnterNeedsBoth) {
    page->m_editID.SetWindowText(L"refuse.401");
    page->m_editPwd.SetWindowText(L"refuse");
    focusWindow(page->m_editID.m_hWnd);
    const struct {
        HWND from;
        HWND to;
    } steps[] = {
        {page->m_editID.m_hWnd, page->m_editPwd.m_hWnd},
        {page->m_editPwd.m_hWnd, page->m_editID.m_hWnd},
        {page->m_btnLogin.m_hWnd, page->m_editID.m_hWnd},
    };
    for (const auto& s : steps) {
        ::SetFocus(s.from);
        pumpFor(20);
        pressKeys({VK_TAB});
        pumpUntil([&] { return ::GetFocus() == s.to; }, 5000);
        EXPECT_EQ(s.to, ::GetFocus());
        DWORD start = 0, end = 0;
        ::SendMessageW(s.to, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        EXPECT_EQ(0u, start);
        EXPECT_EQ(static_cast<DWORD>(::GetWindowTextLengthW(s.to)), end);
    }
    // Enter with the password empty sends nothing.
    size_t from = logSize();
    page->m_editPwd.SetWindowText(L"");
    focusWindow(page->m_editID.m_hWnd);
    pressKeys({VK_RETURN});
    pumpFor(60);
    EXPECT_FALSE(page->isWorkerRunning());
    EXPECT_TRUE(chkRegist(from).empty());
    // Enter on the non-member form (edits hidden) sends nothing either.
    page->m_editPwd.SetWindowText(L"refuse");
    ::SendMessageW(page->m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_BUTTON_NN, BN_CLICKED), 0);
    ::SendMessageW(page->m_hWnd, UM_EDIT_ENTER, 0, 0);
    pumpFor(60);
    EXPECT_TRUE(chkRegist(from).empty());
    // Both filled and shown: Enter logs in.
    ::SendMessageW(page->m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_BUTTON_TS, BN_CLICKED), 0);
    page->m_editID.SetWindowText(L"refuse.401");
    page->m_editPwd.SetWindowText(L"refuse");
    focusWindow(page->m_editPwd.m_hWnd);
    pressKeys({VK_RETURN});
    waitEnd();
    EXPECT_EQ(1u, chkRegist(from).size());
}

// While the worker runs: Alt+F4 is swallowed, the exit button stays
// locked, every start control is hidden, and a hidden-mode login sends
// nothing more.
TEST_F(LoginPage, WaitingLocksExitAndStartsNothingElse) {
    setFaults(R"([{"path": "/api/ChkRegist", "stall": 3, "stall_after": -1, "times": 1}])");
    const size_t from = logSize();
    page->m_editID.SetWindowText(L"ts.member");
    page->m_editPwd.SetWindowText(L"Tessaly#2024");
    ::SendMessageW(page->m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_BUTTON_LOGIN, BN_CLICKED),
                   reinterpret_cast<LPARAM>(page->m_btnLogin.m_hWnd));
    ASSERT_TRUE(pumpUntil([&] { return page->m_bWaiting != FALSE; }, 10000));
    pumpFor(40);
    EXPECT_FALSE(root->exitLocks().empty());
    EXPECT_FALSE(root->m_btnExit.m_bEnabled);
    for (CWnd* w : std::initializer_list<CWnd*>{&page->m_editID, &page->m_editPwd, &page->m_btnLogin,
                                                &page->m_btnTs, &page->m_btnLv, &page->m_btnDr, &page->m_btnNn,
                                                &page->m_btnNnTs, &page->m_linkFind, &page->m_checkSave}) {
        EXPECT_FALSE(w->IsWindowVisible()) << w->GetDlgCtrlID();
    }
    EXPECT_TRUE(page->m_staticLoading1.IsWindowVisible());
    const int statics = mainFrame().sendStatics;
    focusWindow(page->m_hWnd);
    pressKeys({VK_MENU, VK_F4});
    EXPECT_TRUE(root->IsWindowVisible());
    EXPECT_EQ(statics, mainFrame().sendStatics);
    page->loginWithIdPassword(L"refuse.401", L"refuse");
    waitEnd();
    setFaults("[]");
    EXPECT_EQ(1u, chkRegist(from).size());
    EXPECT_TRUE(g_bSignedIn);
    EXPECT_TRUE(root->exitLocks().empty());
}

// The answers pressed on the shown message page.
TEST_F(LoginPage, NetworkFailureOkRetriesWithTheSameCredentials) {
    // Every try of the attempt is dropped; the connection is back for OK.
    setFaults(R"([{"path": "/api/ChkRegist", "drop": true}])");
    login(L"ts.member", L"Tessaly#2024");
    setFaults("[]");
    ASSERT_EQ(SERVER_ERROR_NETWORK_FAIL, shownMessage()->m_eMessageType);
    EXPECT_FALSE(g_bSignedIn);
    const size_t from = logSize();
    // The form was changed meanwhile; the retry sends the failed attempt's.
    page->m_editID.SetWindowText(L"someone.else");
    press(IDC_BUTTON_OK);
    waitEnd();
    const auto lines = chkRegist(from);
    ASSERT_EQ(1u, lines.size());
    EXPECT_TRUE(has(lines[0], "\"D1\": \"ts.member\"")) << lines[0];
    EXPECT_TRUE(g_bSignedIn);
    ASSERT_NE(nullptr, frame.current);
    EXPECT_EQ(CString(L"ts.member"), frame.current->getUserId());
}

TEST_F(LoginPage, NetworkFailureCancelReturnsAGuestToTheGuestForm) {
    restart(REGION_EU, LANGUAGE_EN);
    setFaults(R"([{"path": "/api/ChkRegist", "drop": true}])");
    focusWindow(root->m_hWnd);
    clickAt(page->m_btnNnTs.m_hWnd, 40, 40);
    // The attempt starts when the click arrives; it ends on its message.
    ASSERT_TRUE(pumpUntil([&] { return shownMessage() != nullptr; }, 30000));
    waitEnd();
    setFaults("[]");
    ASSERT_EQ(SERVER_ERROR_NETWORK_FAIL, shownMessage()->m_eMessageType);
    press(IDC_BUTTON_CANCEL);
    EXPECT_EQ(VIEW_STATE_LOGIN, root->m_eViewStatus);
    EXPECT_EQ(USER_TYPE_GUEST, page->m_nUserType);
    EXPECT_EQ(5, page->m_nCorpButton);
    EXPECT_TRUE(g_strCorpCode.IsEmpty());
    EXPECT_TRUE(root->m_strTitle.IsEmpty());
    EXPECT_TRUE(root->m_strSubTitle.IsEmpty());
    EXPECT_EQ(0, root->m_nTitleButtons);
    EXPECT_FALSE(g_bSignedIn);
    pumpFor(60);
    EXPECT_FALSE(page->isWorkerRunning());
}

TEST_F(LoginPage, NetworkFailureCancelLeavesAMembersFormAsItWas) {
    setFaults(R"([{"path": "/api/ChkRegist", "drop": true}])");
    login(L"ts.member", L"Tessaly#2024");
    setFaults("[]");
    const size_t from = logSize();
    ASSERT_EQ(SERVER_ERROR_NETWORK_FAIL, shownMessage()->m_eMessageType);
    press(IDC_BUTTON_CANCEL);
    EXPECT_EQ(VIEW_STATE_LOGIN, root->m_eViewStatus);
    EXPECT_EQ(USER_TYPE_MEMBER, page->m_nUserType);
    EXPECT_EQ(CString(L"ts.member"), textOf(page->m_editID));
    EXPECT_EQ(CString(L"Tessaly#2024"), textOf(page->m_editPwd));
    EXPECT_TRUE(page->m_editID.IsWindowVisible());
    EXPECT_TRUE(page->m_btnLogin.m_bEnabled);
    pumpFor(60);
    EXPECT_TRUE(chkRegist(from).empty());
}

// A refusal answered on its page gives the form back as it was typed.
TEST_F(LoginPage, RefusalAnswersRestoreTheEdits) {
    struct Case {
        const wchar_t* id;
        int type;
    } cases[] = {
        {L"refuse.400", SERVER_ERROR_LOGIN_AUTHORITY},
        {L"refuse.500", SERVER_ERROR_LOGIN_INPUT_INFO},
        {L"refuse.401", SERVER_ERROR_LOGIN_INCORRECT_ID_PASSWORD},
        {L"refuse.405", SERVER_ERROR_LOGIN_PASSWORD_EXPIRED},
        {L"refuse.406", SERVER_ERROR_LOGIN_FAILED_EXCEEDED_COUNT},
        {L"refuse.407", SERVER_ERROR_LOGIN_PASSWORD_NEEDS_REST},
        {L"refuse.408", SERVER_ERROR_LOGIN_ACCESS_DENIED},
        {L"refuse.409", SERVER_ERROR_LOGIN_TEMPORARY_PASSWORD_EXPIRED},
        {L"refuse.423", SERVER_ERROR_LOGIN_INVALID_LOGIN_ATTEMPTS},
        {L"refuse.430", SERVER_ERROR_LOGIN_DIFFERENT_TOKEN_ID},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(narrow(c.id));
        login(c.id, L"refuse");
        ASSERT_NE(nullptr, shownMessage());
        EXPECT_EQ(c.type, shownMessage()->m_eMessageType);
        press(IDC_BUTTON_OK);
        EXPECT_EQ(VIEW_STATE_LOGIN, root->m_eViewStatus);
        EXPECT_EQ(CString(c.id), textOf(page->m_editID));
        EXPECT_EQ(CString(L"refuse"), textOf(page->m_editPwd));
        EXPECT_TRUE(page->m_btnLogin.m_bEnabled);
        EXPECT_FALSE(g_bSignedIn);
    }
    EXPECT_TRUE(frame.lists.empty());
}

// 45, 1021 and 1022 answered OK: the server's link goes to the browser
// when it is an address (a plain text is refused), the password is gone
// and the login button waits for a new one.
TEST_F(LoginPage, AuthorityAnswersOpenOnlyAServerLink) {
    struct Case {
        const wchar_t* id;
        int type;
        bool opens;
    } cases[] = {
        {L"refuse.904", SERVER_ERROR_LOGIN_NO_AUTHORITY_904, true},
        {L"refuse.903", SERVER_ERROR_LOGIN_NO_AUTHORITY_903, false},
        {L"refuse.403", SERVER_ERROR_LOGIN_DEALER_PASSWORD_INIT, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(narrow(c.id));
        LauncherRecorder launcher;
        login(c.id, L"refuse");
        ASSERT_EQ(c.type, shownMessage()->m_eMessageType);
        EXPECT_FALSE(page->m_strServerText.IsEmpty());
        press(IDC_BUTTON_OK);
        ASSERT_EQ(c.opens ? 1u : 0u, g_opened.size());
        if (c.opens) {
            EXPECT_EQ(page->m_strServerText, g_opened[0]);
            EXPECT_TRUE(g_opened[0].Find(L"/web/authority") > 0);
        }
        EXPECT_EQ(CString(c.id), textOf(page->m_editID));
        EXPECT_TRUE(textOf(page->m_editPwd).IsEmpty());
        EXPECT_FALSE(page->m_btnLogin.m_bEnabled);
        EXPECT_EQ(CString(L"N"), g_strCorpCode);
        EXPECT_EQ(0, root->m_nTitleButtons);
    }
}

// 1027 (the brand changed for a guest) and 1000 (the medium belongs to no
// vehicle of the account) answered OK reach the page.
TEST_F(LoginPage, BrandChangeAndForeignMediumAnswersReachThePage) {
    restart(REGION_EU, LANGUAGE_EN, CORP_DR);
    CDlgPageMessage* message = root->getMessagePage(999);
    ASSERT_NE(nullptr, message);
    message->setMessageType(SERVER_ETC_BRAND_CHANGED_GUEST, page);
    root->pushViewPage(VIEW_STATE_MESSAGE, TRUE);
    const size_t from = logSize();
    press(IDC_BUTTON_OK);
    waitEnd();
    const auto lines = signIns(from);
    ASSERT_EQ(1u, lines.size());
    EXPECT_TRUE(has(lines[0], "\"D1\": \"\"")) << lines[0];
    EXPECT_TRUE(has(lines[0], "\"D2\": \"DR\"")) << lines[0];
    EXPECT_TRUE(g_bGuestLogin);

    page->clearCalls();
    root->pushViewPage(VIEW_STATE_LOGIN, TRUE);
    message = root->getMessagePage(999);
    message->setParam(L"V", 0);
    message->setMessageType(SERVER_ETC_MEDIUM_NOT_IN_ACCOUNT, page);
    root->pushViewPage(VIEW_STATE_MESSAGE, TRUE);
    press(IDC_BUTTON_OK);
    EXPECT_EQ(1, page->callCount(L"resetPage"));
    EXPECT_TRUE(page->m_bNoAutoLogin);
    EXPECT_FALSE(g_bSignedIn);
}

// A hidden-mode login that fails is recorded with the ID it was given; an
// ordinary sign-in afterwards goes its own way, not to the hidden page.
TEST_F(LoginPage, HiddenModeRecordsTheEnteredIdAndLeavesNoHandOver) {
    CRegSetting::setUserID(CORP_TS, L"saved.user");
    const CString before = g_logManager.getStatisticsContext().errorLog;
    page->loginWithIdPassword(L"refuse.401", L"refuse");
    waitEnd();
    const std::string added = narrow(g_logManager.getStatisticsContext().errorLog.Mid(before.GetLength()));
    EXPECT_TRUE(has(added, "ID:refuse.401,")) << added;
    EXPECT_EQ(CString(L"saved.user"), CRegSetting::getUserID(CORP_TS));
    press(IDC_BUTTON_OK);

    // What the failed hidden login left behind.
    CWnd requester;
    ASSERT_TRUE(requester.CreateEx(0, L"STATIC", L"", WS_POPUP, CRect(0, 0, 10, 10), nullptr, 0));
    root->m_bHiddenHandOver = 1;
    root->m_hHiddenRequester = requester.m_hWnd;
    login(L"ts.member", L"Tessaly#2024");
    EXPECT_TRUE(g_bSignedIn);
    EXPECT_NE(VIEW_STATE_HIDDEN, root->m_eViewStatus);
    EXPECT_TRUE(::IsWindow(requester.m_hWnd));
    EXPECT_EQ(0, root->m_bHiddenHandOver);
    requester.DestroyWindow();
}

// Fifty logins of every kind: no growth of memory, GDI objects or handles,
// and no worker left.
TEST_F(LoginPage, FiftyLoginsLeaveNothingBehind) {
    setConsentReported(1);
    const struct {
        const wchar_t* id;
        const wchar_t* password;
    } kinds[] = {
        {L"ts.member", L"Tessaly#2024"},
        {nullptr, nullptr},  // guest
        {L"refuse.401", L"refuse"},
        {L"refuse.900", L"refuse"},
    };
    auto run = [&](int count) {
        for (int i = 0; i < count; ++i) {
            const auto& kind = kinds[i % 4];
            if (kind.id) {
                login(kind.id, kind.password);
            } else {
                // The guest login a closed sign-up notice leaves pending.
                g_strJoinCorpCode = L"TS";
                page->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
                ASSERT_TRUE(pumpUntil([] { return g_strJoinCorpCode == L"N"; }, 10000));
                waitEnd();
            }
            if (root->m_eViewStatus == VIEW_STATE_MESSAGE && shownMessage()) {
                // The login's own refusals are answered; what follows a
                // sign-in (a medium to insert) is closed as a logout would.
                if (shownMessage()->m_pRequestPage == page) {
                    press(IDC_BUTTON_OK);
                } else {
                    shownMessage()->closePage(TRUE);
                }
            }
            page->resetPage();
            pumpFor(20);
            frame.dropOldLists();
        }
    };
    run(8);  // caches, fonts and pictures settle
    const long gdi = CGdiObject::liveCount(), dcs = CDC::liveCount();
    const DWORD gdiHandles = gdiObjects();
    DWORD handles = 0, handlesAfter = 0;
    GetProcessHandleCount(GetCurrentProcess(), &handles);
    const SIZE_T memory = pagefileUsage();
    run(50);
    GetProcessHandleCount(GetCurrentProcess(), &handlesAfter);
    EXPECT_EQ(gdi, CGdiObject::liveCount());
    EXPECT_EQ(dcs, CDC::liveCount());
    EXPECT_LE(gdiObjects(), gdiHandles + 8);
    EXPECT_LE(handlesAfter, handles + 16);
    EXPECT_LT(pagefileUsage(), memory + 4 * 1024 * 1024);
    EXPECT_FALSE(page->isWorkerRunning());
    EXPECT_TRUE(root->exitLocks().empty());
}
