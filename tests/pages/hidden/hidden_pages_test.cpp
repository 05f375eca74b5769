// The hidden sign-in and bulk-download pages on the real root with its login
// page and message pages, over a frame double, against the stand-in
// service: the key that opens the sign-in, the sign-in's rules, the model
// lists of the signed-in account and the disk check.
#include "pages/account/dlg_hidden.h"
#include "pages/account/dlg_hidden_pwd.h"
#include "pages/account/dlg_page_login.h"

#include "foundation/code_tables.h"
#include "foundation/config_file.h"
#include "foundation/private_messages.h"
#include "foundation/registered_messages.h"
#include "foundation/regsetting.h"
#include "pages/account/hidden_rules.h"
#include "resources/resource.h"
#include "shell/dlg_page_message.h"
#include "shell/message_types.h"
#include "tests/shell/shell_fixture.h"
#include "tests/shell_frame/standin_log.h"
#include "tests/support/capture.h"
#include "ui/lang_library.h"
#include "ui/session_flags.h"
#include "ui/view_state.h"

#include <memory>
#include <string>

namespace {

const wchar_t* const kGuid = L"C0FFEE00-5EED-4B1D-8A11-000000000001";

// The frame the pages reach: keeps the lists it is given and records the
// models whose download the hidden page prepares.
class HiddenFrame : public FakeFrame {
public:
    ~HiddenFrame() override {
        for (InfInfoList* l : lists) delete l;
    }
    void setVehicleList(InfInfoList* list) override {
        if (list) lists.push_back(list);
        current = list;
        FakeFrame::vehicleList = list ? TRUE : FALSE;
    }
    InfInfoList* vehicleList() override { return current; }
    void setCurrentEntry(InfInfo* e) override { entry = e; }
    void initDownload(InfInfo* target, std::list<InfInfo*>) override { prepared.push_back(target); }

    std::vector<InfInfoList*> lists;
    InfInfoList* current = nullptr;
    std::vector<InfInfo*> prepared;
};

CString listText(CListBox& list, int row) {
    CString text;
    list.GetText(row, text);
    return text;
}

}  // namespace

class HiddenMode : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(CConfigFile::getInstance()->loadFile(moduleFolder() + L"config.json"));
        useLanguage(REGION_KR, LANGUAGE_KO);
        g_bSignedIn = FALSE;
        CRegSetting::setLastUserCorp(CORP_TS);
        for (int region : {REGION_KR, REGION_US, REGION_ME}) {
            AfxGetApp()->WriteProfileString(getRegionCode(region) + L"_User", nullptr, nullptr);
            AfxGetApp()->WriteProfileString(getRegionCode(region) + L"_User", L"ClientGUID", kGuid);
        }
        setShellEngine(&engine);
        root = std::make_unique<CDlgRoot>(&frame);
        ASSERT_TRUE(root->Create(IDD_BASE_DIALOG, nullptr));
        root->SetWindowPos(nullptr, 40, 40, 900, 680, SWP_NOZORDER);
        root->ShowWindow(SW_SHOW);
        pumpFor(80);
        login = root->m_pPageLogin;
        signIn = root->m_pPageHiddenPWD;
        hidden = root->m_pPageHidden;
        ASSERT_NE(nullptr, login);
        ASSERT_NE(nullptr, signIn);
        ASSERT_NE(nullptr, hidden);
    }
    void TearDown() override {
        CDlgHidden::setFreeSpaceQuery({});
        if (login) login->joinWorker();
        if (root) {
            if (root->GetSafeHwnd()) root->DestroyWindow();
            root.reset();
        }
        setShellEngine(nullptr);
        g_bSignedIn = FALSE;
        useLanguage(REGION_KR, LANGUAGE_KO);
        pumpFor(20);
    }
    // Signed in with the title buttons shown, on the registration page.
    void onRegistrationPage() {
        g_bSignedIn = TRUE;
        root->showTitleButtons(1);
        root->pushViewPage(VIEW_STATE_CAR_REG, TRUE);
        pumpFor(60);
    }
    void openSignIn() {
        onRegistrationPage();
        focusWindow(root->m_pCurPage->m_hWnd);
        pressKeys({VK_CONTROL, VK_SHIFT, VK_F5});
        ASSERT_TRUE(pumpUntil([&] { return root->m_pCurPage == static_cast<CBaseChildDialog*>(signIn); }));
        pumpFor(40);
    }
    void type(const CString& id, const CString& password) {
        signIn->m_editID.SetWindowText(id);
        signIn->m_editPwd.SetWindowText(password);
    }
    // Two clicks in a row land apart, so that they never make a double click.
    void clickOk(CWnd& page, CWnd& ok) {
        const RECT r = childRectIn(page.m_hWnd, ok.m_hWnd);
        clicks = (clicks + 1) % 2;
        clickAt(page.m_hWnd, (r.left + r.right) / 2 + (clicks ? -30 : 30), (r.top + r.bottom) / 2);
    }
    int clicks = 0;
    void waitLogin() {
        ASSERT_TRUE(pumpUntil([&] { return !login->isWorkerRunning() && !login->m_bWaiting; }, 30000));
        pumpFor(250);  // the page's watch over the sign-in
    }
    void signInAs(const CString& id, const CString& password) {
        openSignIn();
        type(id, password);
        clickOk(*signIn, signIn->m_btnOk);
        waitLogin();
    }
    static size_t logSize() { return standin_log::lines().size(); }
    static size_t chkRegist(size_t from) { return standin_log::of("ChkRegist", from).size(); }

    HiddenFrame frame;
    FakeEngine engine;
    std::unique_ptr<CDlgRoot> root;
    CDlgPageLogin* login = nullptr;
    CDlgHiddenPWD* signIn = nullptr;
    CDlgHidden* hidden = nullptr;
};

TEST_F(HiddenMode, KeyOpensTheSignInOnlyFromRegistrationAndChangePages) {
    g_bSignedIn = TRUE;
    root->showTitleButtons(1);
    struct {
        int view;
        bool opens;
    } cases[] = {{VIEW_STATE_LOGIN, false},      {VIEW_STATE_CAR_UPDATE, false}, {VIEW_STATE_CAR_FINISH, false},
                 {VIEW_STATE_CAR_REG, true},     {VIEW_STATE_CAR_CHANGE, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.view);
        root->pushViewPage(c.view, TRUE);
        pumpFor(60);
        // The search page comes up behind its image guide: close the guide.
        if (root->getViewStatus() == VIEW_STATE_INFO_IMAGE_POPUP) {
            root->pullViewPage();
            pumpFor(60);
        }
        CBaseChildDialog* before = root->m_pCurPage;
        focusWindow(before->m_hWnd);
        pressKeys({VK_CONTROL, VK_SHIFT, VK_F5});
        pumpFor(60);
        EXPECT_EQ(c.opens, root->m_pCurPage == static_cast<CBaseChildDialog*>(signIn));
        if (c.opens) {
            EXPECT_FALSE(root->m_btnConfig.IsWindowVisible()) << "no settings while the sign-in shows";
            EXPECT_FALSE(root->m_btnLogout.IsWindowVisible()) << "no sign-out while the sign-in shows";
            // Another page taking or giving back an exit lock, or the transfer
            // state being applied again, brings neither back.
            root->enableTopButton(1, login, TRUE);
            root->updateTopButtons();
            EXPECT_FALSE(root->m_btnConfig.IsWindowVisible());
            EXPECT_FALSE(root->m_btnLogout.IsWindowVisible());
        }
    }
}

TEST_F(HiddenMode, SignInRefusesEmptyFieldsSpaceCompositionAndEnter) {
    openSignIn();
    const size_t from = logSize();
    clickOk(*signIn, signIn->m_btnOk);
    pumpFor(40);
    EXPECT_EQ(signIn->m_editID.m_hWnd, ::GetFocus()) << "the empty ID first";
    type(L"ts.member", L"");
    clickOk(*signIn, signIn->m_btnOk);
    pumpFor(40);
    EXPECT_EQ(signIn->m_editPwd.m_hWnd, ::GetFocus());

    // Space is swallowed; plain characters are typed.
    focusWindow(signIn->m_editPwd.m_hWnd);
    pressKeys({VK_SPACE});
    pressKeys({'A'});
    pumpFor(40);
    CString typed;
    signIn->m_editPwd.GetWindowText(typed);
    EXPECT_STREQ(L"a", typed.MakeLower().GetString());
    // The composition key never reaches the field.
    MSG composition{signIn->m_editID.m_hWnd, WM_KEYDOWN, VK_PROCESSKEY, 0, 0, {}};
    EXPECT_TRUE(signIn->m_editID.PreTranslateMessage(&composition));
    EXPECT_EQ(255, static_cast<int>(signIn->m_editID.SendMessage(EM_GETLIMITTEXT)));
    EXPECT_EQ(L'*', static_cast<wchar_t>(signIn->m_editPwd.SendMessage(EM_GETPASSWORDCHAR)));

    // Enter in a field does not sign in.
    type(L"ts.member", L"Tessaly#2024");
    focusWindow(signIn->m_editPwd.m_hWnd);
    pressKeys({VK_RETURN});
    pumpFor(200);
    EXPECT_EQ(0u, chkRegist(from));
    EXPECT_EQ(root->m_pCurPage, static_cast<CBaseChildDialog*>(signIn));
}

TEST_F(HiddenMode, RefusedSignInGivesTheFieldsBackAndSecondOkStartsNothing) {
    openSignIn();
    type(L"refuse.401", L"refuse");
    const size_t from = logSize();
    clickOk(*signIn, signIn->m_btnOk);
    EXPECT_FALSE(signIn->m_editID.IsWindowEnabled());
    EXPECT_TRUE(signIn->m_btnOk.m_bEnabled) << "OK comes back at once";
    // A second OK while the first sign-in runs.
    signIn->SendMessage(WM_COMMAND, IDOK);
    waitLogin();
    EXPECT_EQ(1u, chkRegist(from)) << "one sign-in only";
    EXPECT_TRUE(signIn->m_editID.IsWindowEnabled());
    EXPECT_TRUE(signIn->m_editPwd.IsWindowEnabled());
    CString id;
    signIn->m_editID.GetWindowText(id);
    EXPECT_STREQ(L"refuse.401", id.GetString());
    ASSERT_NE(nullptr, root->m_pShownMessagePage);
    EXPECT_EQ(SERVER_ERROR_LOGIN_INCORRECT_ID_PASSWORD, root->m_pShownMessagePage->m_eMessageType);
    EXPECT_NE(VIEW_STATE_HIDDEN, root->m_eViewStatus);

    // A later ordinary sign-in does not end on the hidden page.
    root->pushViewPage(VIEW_STATE_LOGIN, TRUE);
    pumpFor(60);
    login->m_editID.SetWindowText(L"ts.member");
    login->m_editPwd.SetWindowText(L"Tessaly#2024");
    pumpFor(20);
    ::SendMessageW(login->m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_BUTTON_LOGIN, BN_CLICKED),
                   reinterpret_cast<LPARAM>(login->m_btnLogin.m_hWnd));
    waitLogin();
    EXPECT_FALSE(root->m_bHiddenHandOver);
    EXPECT_NE(VIEW_STATE_HIDDEN, root->m_eViewStatus);
}

TEST_F(HiddenMode, SignInLeadsToTheModelListsAndOpensAgain) {
    signInAs(L"ts.member", L"Tessaly#2024");
    ASSERT_EQ(VIEW_STATE_HIDDEN, root->m_eViewStatus);
    EXPECT_TRUE(hidden->IsWindowVisible());
    EXPECT_FALSE(signIn->IsWindowVisible());

    // Two models: Belmont (platform 5) before Arden (platform 3); one row
    // per group, highest first; everything selected.
    ASSERT_EQ(2, hidden->m_listModel.GetCount());
    EXPECT_STREQ(L"벨몬트 오디오", listText(hidden->m_listModel, 0).GetString());
    EXPECT_STREQ(L"아덴 내비게이션", listText(hidden->m_listModel, 1).GetString());
    ASSERT_EQ(2, hidden->m_listGroup.GetCount());
    EXPECT_STREQ(CLangLibrary::loadLangString(12564).GetString(), listText(hidden->m_listGroup, 0).GetString());
    EXPECT_STREQ(CLangLibrary::loadLangString(12562).GetString(), listText(hidden->m_listGroup, 1).GetString());
    EXPECT_EQ(2, hidden->m_listModel.GetSelCount());
    EXPECT_EQ(2, hidden->m_listGroup.GetSelCount());
    CString summary;
    hidden->m_staticSummary.GetWindowText(summary);
    EXPECT_NE(-1, summary.Find(L"GB / ")) << CStringA(summary).GetString();
    EXPECT_EQ(L'2', summary[summary.GetLength() - 1]);
    for (const auto& size : hidden->m_mapSize) EXPECT_GT(size.second, 0ULL) << "package sizes summed";

    // One group row selects its model only; a model row clears the groups.
    const RECT groups = childRectIn(hidden->m_hWnd, hidden->m_listGroup.m_hWnd);
    clickAt(hidden->m_hWnd, groups.left + 40, groups.top + 6);
    pumpFor(40);
    EXPECT_EQ(1, hidden->m_listGroup.GetSelCount());
    EXPECT_EQ(1, hidden->m_listModel.GetSelCount());
    EXPECT_GT(hidden->m_listModel.GetSel(0), 0);
    const RECT models = childRectIn(hidden->m_hWnd, hidden->m_listModel.m_hWnd);
    clickAt(hidden->m_hWnd, models.left + 40, models.top + 6 + hidden->m_listModel.GetItemHeight(0));
    pumpFor(40);
    EXPECT_EQ(0, hidden->m_listGroup.GetSelCount());
    EXPECT_EQ(1, hidden->m_listModel.GetSelCount());
    EXPECT_GT(hidden->m_listModel.GetSel(1), 0);

    // The sign-in opens again.
    root->pushViewPage(VIEW_STATE_HIDDEN_PWD, TRUE);
    pumpFor(60);
    EXPECT_TRUE(signIn->IsWindowVisible());
}

// Too little space: message 1019 with the missing amount; nothing starts and
// OK works again after the answer.
TEST_F(HiddenMode, TooLittleSpaceShowsTheShortfallAndStartsNothing) {
    std::vector<CString> asked;
    const ULONGLONG available = 2048000000ULL + 100000000ULL;
    CDlgHidden::setFreeSpaceQuery([&](const CString& rootPath, ULONGLONG& free) {
        asked.push_back(rootPath);
        free = available;
        return TRUE;
    });
    signInAs(L"ts.member", L"Tessaly#2024");
    ASSERT_EQ(VIEW_STATE_HIDDEN, root->m_eViewStatus);
    clickOk(*hidden, hidden->m_btnOk);
    pumpFor(60);
    ASSERT_FALSE(asked.empty());
    EXPECT_STREQ((hidden_rules::driveOf(CRegSetting::getDataPath()) + L":\\").GetString(), asked.back().GetString());
    ASSERT_NE(nullptr, root->m_pShownMessagePage);
    EXPECT_EQ(SERVER_ETC_HIDDEN_DISK_SPACE, root->m_pShownMessagePage->m_eMessageType);
    ULONGLONG need = hidden_rules::kRounding;
    for (const auto& size : hidden->m_mapSize) need += size.second;
    const CString figure = hidden_rules::shortfallText(100000000ULL, need);
    EXPECT_NE(-1, root->m_pShownMessagePage->getParam(0).Find(L"추가로 " + figure + L" GB"))
        << CStringA(root->m_pShownMessagePage->getParam(0)).GetString();
    EXPECT_FALSE(hidden->workerRunning());
    EXPECT_EQ(0, hidden->modelCounter());
    EXPECT_TRUE(frame.prepared.empty());

    // A failing query leaves no usable space.
    asked.clear();
    CDlgHidden::setFreeSpaceQuery([&](const CString& rootPath, ULONGLONG&) {
        asked.push_back(rootPath);
        return FALSE;
    });
    EXPECT_EQ(0ULL, CDlgHidden::getUsableFreeSpace(L"D"));
    EXPECT_EQ(6u, asked.size()) << "one query and five more";
}

// The run with the engine's answers sent by the test: model by model, the
// guards while it runs, and message 1020 at the end whose answer ends the
// program.
TEST_F(HiddenMode, RunGoesModelByModelAndEndsWithItsMessage) {
    CDlgHidden::setFreeSpaceQuery([](const CString&, ULONGLONG& free) {
        free = 100000000000ULL;
        return TRUE;
    });
    signInAs(L"ts.member", L"Tessaly#2024");
    ASSERT_EQ(VIEW_STATE_HIDDEN, root->m_eViewStatus);
    ASSERT_EQ(2, hidden->m_listModel.GetSelCount());
    clickOk(*hidden, hidden->m_btnOk);
    ASSERT_TRUE(pumpUntil([&] { return frame.prepared.size() == 1 && hidden->m_nState == hidden_rules::kStateDownload; },
                          5000));
    EXPECT_EQ(1, hidden->modelCounter());
    EXPECT_EQ(2, hidden->selectedCount());
    EXPECT_EQ(hidden->m_models[0], frame.entry) << "the first model is the current entry";
    EXPECT_TRUE(hidden->workerRunning()) << "running until its extraction ends";
    EXPECT_FALSE(root->m_bTransferIdle);
    CString line;
    hidden->m_staticModel.GetWindowText(line);
    EXPECT_STREQ(L"모델 : 벨몬트 오디오", line.GetString());
    EXPECT_TRUE(hidden->m_progress.IsWindowVisible());
    EXPECT_FALSE(hidden->m_listModel.IsWindowEnabled());

    // The pre-check of a model sets the select state: OK starts nothing.
    hidden->SendMessage(UM_TRANSFER_PHASE, TRANSFER_PHASE_CHECK, 0);
    hidden->SendMessage(WM_COMMAND, IDOK);
    pumpFor(60);
    EXPECT_EQ(1u, frame.prepared.size());
    EXPECT_EQ(1, hidden->modelCounter());
    // A language change keeps the run's look.
    hidden->SendMessage(RWM_CHANGE_LANGUAGE, 0, 0);
    EXPECT_TRUE(hidden->m_progress.IsWindowVisible());
    EXPECT_FALSE(hidden->m_listModel.IsWindowEnabled());

    // The first model's extraction ends: the second starts. A report that
    // no extraction is busy may come first; it does not use up the
    // pre-check's end.
    hidden->SendMessage(UM_CHECK_COMPLETE, 0, 0);
    hidden->SendMessage(UM_UNZIP_COMPLETE, 0, 0);
    pumpFor(60);
    EXPECT_EQ(1u, frame.prepared.size());
    hidden->SendMessage(UM_UNZIP_COMPLETE, 0, 1);
    ASSERT_TRUE(pumpUntil([&] { return frame.prepared.size() == 2; }, 5000));
    EXPECT_EQ(hidden->m_models[1], frame.entry);
    ASSERT_TRUE(pumpUntil([&] { return hidden->m_nState == hidden_rules::kStateDownload; }));
    pumpFor(1100);  // one tick of the progress timer
    hidden->m_staticPercent.GetWindowText(line);
    EXPECT_STREQ(L"2/2", line.GetString());
    saveScreenshot(root->m_hWnd, L"hidden_run_ko",
                   L"hidden page, run mode: lists greyed, the percentage title, the model line '모델 : 아덴 "
                   L"내비게이션', the bar, 2/2, downloaded MB and rate lines, OK reads the leave caption");

    // An engine error is only logged; an extraction that does not end well
    // starts nothing.
    hidden->SendMessage(UM_MODULE_ERROR, MODULE_DOWNLOAD, 0);
    hidden->SendMessage(UM_UNZIP_COMPLETE, 0, 1);
    EXPECT_EQ(2u, frame.prepared.size()) << "no pre-check end: ignored";

    // During downloads OK opens the exit path.
    hidden->SendMessage(WM_COMMAND, IDOK);
    ASSERT_TRUE(pumpUntil([&] { return root->m_eViewStatus == VIEW_STATE_EXIT; }));
    root->pushViewPage(VIEW_STATE_HIDDEN, TRUE);
    pumpFor(60);
    EXPECT_EQ(2, hidden->m_listModel.GetCount()) << "the run keeps its lists";

    hidden->SendMessage(UM_CHECK_COMPLETE, 0, 0);
    hidden->SendMessage(UM_UNZIP_COMPLETE, 0, 1);
    ASSERT_TRUE(pumpUntil([&] { return root->m_pShownMessagePage != nullptr; }));
    EXPECT_EQ(SERVER_ETC_HIDDEN_UNZIP_DONE, root->m_pShownMessagePage->m_eMessageType);
    EXPECT_FALSE(hidden->workerRunning());
    EXPECT_EQ(2u, frame.prepared.size());
    saveScreenshot(root->m_hWnd, L"hidden_1020_ko", L"message 1020 over the hidden page: every model is unpacked");
    const int before = mainFrame().sendStatics;
    hidden->SendMessage(RWM_MESSAGE_RESULT, IDOK, SERVER_ETC_HIDDEN_UNZIP_DONE);
    EXPECT_TRUE(pumpUntil([&] { return mainFrame().sendStatics == before + 1; }));
    EXPECT_EQ(1, frame.exitFlags);
}

// Space for the first model only: the check before the second shows 1019
// and the run stops there.
TEST_F(HiddenMode, SpaceForOneModelStopsTheSecond) {
    int queries = 0;
    CDlgHidden::setFreeSpaceQuery([&](const CString&, ULONGLONG& free) {
        free = ++queries <= 2 ? 100000000000ULL : 2048000000ULL;
        return TRUE;
    });
    signInAs(L"ts.member", L"Tessaly#2024");
    ASSERT_EQ(VIEW_STATE_HIDDEN, root->m_eViewStatus);
    clickOk(*hidden, hidden->m_btnOk);
    ASSERT_TRUE(pumpUntil([&] { return frame.prepared.size() == 1; }, 5000));
    hidden->SendMessage(UM_CHECK_COMPLETE, 0, 0);
    hidden->SendMessage(UM_UNZIP_COMPLETE, 0, 1);
    pumpFor(700);
    ASSERT_NE(nullptr, root->m_pShownMessagePage);
    EXPECT_EQ(SERVER_ETC_HIDDEN_DISK_SPACE, root->m_pShownMessagePage->m_eMessageType);
    EXPECT_EQ(1u, frame.prepared.size());
    EXPECT_EQ(1, hidden->modelCounter());
    EXPECT_FALSE(hidden->workerRunning());
}

TEST_F(HiddenMode, PicturesOfTheSignInAndTheModelLists) {
    // The account signs in in Korean; the pages then follow each language.
    CDlgHidden::setFreeSpaceQuery([](const CString&, ULONGLONG& free) {
        free = 2048000000ULL;
        return TRUE;
    });
    signInAs(L"ts.member", L"Tessaly#2024");
    ASSERT_EQ(VIEW_STATE_HIDDEN, root->m_eViewStatus);
    for (const UiLanguage& language : kLanguages) {
        useLanguage(language);
        // As the frame's broadcast: every page and control, then the
        // root's title buttons.
        root->SendMessageToDescendants(RWM_CHANGE_LANGUAGE, 0, 0, TRUE, FALSE);
        root->layoutTitleButtons();
        root->Invalidate();
        root->pushViewPage(VIEW_STATE_HIDDEN_PWD, TRUE);
        pumpFor(100);
        saveScreenshot(root->m_hWnd, CString(L"hidden_signin_") + language.tag,
                       L"hidden sign-in: title, the ID and PASSWORD labels left of two white fields (mirrored in "
                       L"Arabic), OK centred low; no settings or sign-out button in the header");
        root->pushViewPage(VIEW_STATE_HIDDEN, TRUE);
        pumpFor(100);
        ASSERT_EQ(2, hidden->m_listModel.GetCount());
        saveScreenshot(root->m_hWnd, CString(L"hidden_select_") + language.tag,
                       L"hidden page, select mode: two headings with arrows, the group list (two rows) and the "
                       L"model list (two rows) all selected, the summary right-aligned, the instruction line, OK "
                       L"bottom right (bottom left in Arabic); no progress controls");
        clickOk(*hidden, hidden->m_btnOk);
        pumpFor(100);
        ASSERT_NE(nullptr, root->m_pShownMessagePage);
        saveScreenshot(root->m_hWnd, CString(L"hidden_1019_") + language.tag,
                       L"message 1019 over the hidden page: the Korean text that the disk is short and by how many "
                       L"GB");
    }
}
