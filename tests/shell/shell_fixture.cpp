#include "tests/shell/shell_fixture.h"

#include "foundation/logmanager.h"
#include "foundation/program_strings.h"
#include "foundation/regsetting.h"
#include "resources/resource.h"
#include "pages/account/dlg_page_login.h"
#include "shell/dlg_page_message.h"
#include "ui/view_state.h"
#include "ui/session_flags.h"

BOOL FakeFrame::hasOwnVerFile(const CString& folder) {
    CString name = folder;
    while (!name.IsEmpty() && (name.Right(1) == L"\\" || name.Right(1) == L"/")) name.Delete(name.GetLength() - 1);
    int slash = name.ReverseFind(L'\\');
    name = name.Mid(slash + 1);
    CFileFind finder;
    if (!finder.FindFile(folder + L"\\*.ver")) return FALSE;
    finder.FindNextFile();
    CString found = finder.GetFileName();
    found = found.Left(found.GetLength() - 4);
    return found.CompareNoCase(name) == 0 ? TRUE : FALSE;
}

void RootFixture::SetUp() {
    useLanguage(REGION_US, LANGUAGE_EN);
    g_bSignedIn = FALSE;
    g_strCorpCode = L"N";
    g_bFolderPickerOpen = FALSE;
    CRegSetting::setLastUserCorp(CORP_TS);
    mainFrame().sendStatics = mainFrame().sendStaticsHidden = 0;
    setShellEngine(&engine);
}

void RootFixture::TearDown() {
    if (m_recorder && m_recorder->GetSafeHwnd()) m_recorder->DestroyWindow();
    m_recorder.reset();
    if (root) {
        if (root->GetSafeHwnd()) root->DestroyWindow();
        root.reset();
    }
    setShellEngine(nullptr);
    CDlgRoot::setFolderPicker(nullptr);
    CDlgRoot::setShellWindowLister(nullptr);
    g_bSignedIn = FALSE;
    g_strCorpCode = L"N";
    g_bFolderPickerOpen = FALSE;
    pumpFor(20);
}

CPlaceholderPage* RootFixture::recorder() {
    if (!m_recorder && root) {
        m_recorder = std::make_unique<CPlaceholderPage>(IDD_CAR_REG, root.get(), L"Recorder", VIEW_STATE_NONE);
        EXPECT_TRUE(m_recorder->Create(IDD_CAR_REG, root.get()));
    }
    return m_recorder.get();
}

void RootFixture::createRoot() {
    root = std::make_unique<CDlgRoot>(&frame);
    ASSERT_TRUE(root->Create(IDD_BASE_DIALOG, nullptr));
    root->SetWindowPos(nullptr, 40, 40, 900, 680, SWP_NOZORDER);
    root->ShowWindow(SW_SHOW);
    pumpFor(80);
    // In a restricted region the login page signs a guest in at once: the
    // tests start after that attempt, signed out on the login view.
    if (CDlgPageLogin* login = root->m_pPageLogin) {
        const BOOL guest = g_bGuestLogin;
        login->joinWorker();
        pumpFor(20);
        if (CDlgPageMessage* shown = root->m_pShownMessagePage) shown->closePage(TRUE);
        root->pushViewPage(VIEW_STATE_LOGIN, TRUE);
        g_bSignedIn = FALSE;
        g_bGuestLogin = guest;
        g_strCorpCode = L"N";
        root->showTitleButtons(0);
        pumpFor(20);
    }
}

std::vector<CDlgPageMessage*> RootFixture::pool() const {
    std::vector<CDlgPageMessage*> pages;
    if (root && root->m_pMessagePages) pages.assign(root->m_pMessagePages->begin(), root->m_pMessagePages->end());
    return pages;
}

CString statisticsRecords() { return g_logManager.getStatisticsContext().errorLog; }
