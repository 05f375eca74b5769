// The settings page inside the real frame: what a language-only OK sets off
// beyond the page, the language broadcast to every page and the notice
// download the frame's timer starts.
#include "foundation/code_tables.h"
#include "foundation/config_file.h"
#include "foundation/registered_messages.h"
#include "foundation/regsetting.h"
#include "pages/account/dlg_page_config.h"
#include "resources/resource.h"
#include "shell/dlg_root.h"
#include "shell/main_frame.h"
#include "tests/shell_frame/standin_log.h"
#include "tests/support/test_support.h"
#include "tests/ui_bases/ui_env.h"
#include "ui/base_child_dialog.h"
#include "ui/dlg_msg_box.h"
#include "ui/view_state.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <memory>
#include <typeinfo>
#include <vector>

namespace {

// Counts one message reaching a window.
class MessageCounter {
public:
    MessageCounter(HWND hwnd, UINT message) : m_hwnd(hwnd), m_message(message) {
        ::SetWindowSubclass(hwnd, proc, 1, reinterpret_cast<DWORD_PTR>(this));
    }
    ~MessageCounter() { ::RemoveWindowSubclass(m_hwnd, proc, 1); }
    MessageCounter(const MessageCounter&) = delete;
    MessageCounter& operator=(const MessageCounter&) = delete;
    int count() const { return m_count; }
    HWND hwnd() const { return m_hwnd; }

private:
    static LRESULT CALLBACK proc(HWND h, UINT m, WPARAM w, LPARAM l, UINT_PTR, DWORD_PTR self) {
        auto* counter = reinterpret_cast<MessageCounter*>(self);
        if (m == counter->m_message) ++counter->m_count;
        return ::DefSubclassProc(h, m, w, l);
    }
    HWND m_hwnd;
    UINT m_message;
    int m_count = 0;
};

const wchar_t* const kGuid = L"C0FFEE00-5EED-4B1D-8A11-000000000002";

}  // namespace

class SettingsInFrame : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(CConfigFile::getInstance()->loadFile(moduleFolder() + L"config.json"));
        useLanguage(REGION_KR, LANGUAGE_KO);
        CRegSetting::setLastUserCorp(CORP_TS);
        CRegSetting::setLastUserType(USER_TYPE_MEMBER);
        AfxGetApp()->WriteProfileString(L"KR_User", L"ClientGUID", kGuid);
        ::CreateDirectoryW(kFolder, nullptr);
        CRegSetting::setDataPath(kFolder);
        writeBytes(standin_log::folder() + L"faults.json", "[]");
        CMainFrame::setLiveUpdateRunner([](CMainFrame*) { return CMainFrame::LiveUpdateOutcome{}; });
        CMainFrame::setBoxRunner([](CDlgMsgBox&) { return static_cast<INT_PTR>(IDOK); });
        frame = new CMainFrame;
        AfxGetApp()->m_pMainWnd = frame;
        ASSERT_TRUE(frame->LoadFrame(IDR_MAINFRAME, 0xCF8000));
        root = frame->m_pDlgRoot.load();
        ASSERT_NE(nullptr, root);
        pumpFor(200);
        page = root->m_pPageConfig;
        ASSERT_NE(nullptr, page);
    }
    void TearDown() override {
        AfxGetApp()->m_pMainWnd = nullptr;
        if (frame) frame->DestroyWindow();
        CMainFrame::setLiveUpdateRunner({});
        CMainFrame::setBoxRunner({});
        pumpFor(20);
    }

    static constexpr const wchar_t* kFolder = L"C:\\users\\Public\\KestruneSettingsFrame";
    CMainFrame* frame = nullptr;
    CDlgRoot* root = nullptr;
    CDlgPageConfig* page = nullptr;
};

// Only the language changes: every page hears the switch once, the view
// closes without a message, and the frame fetches the notice once shortly
// after.
TEST_F(SettingsInFrame, LanguageOnlyOkSwitchesEveryPageOnceAndFetchesTheNotice) {
    root->OnBnClickedButtonConfig();
    pumpFor(100);
    ASSERT_EQ(VIEW_STATE_CONFIG, root->m_eViewStatus);
    for (size_t i = 0; i < page->m_vecLanguageIds.size(); ++i) {
        if (page->m_vecLanguageIds[i] == LANGUAGE_EN) page->m_comboLanguage.SetCurSel(static_cast<int>(i));
    }
    page->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_COMBO_LANGUAGE, CBN_SELENDOK),
                      reinterpret_cast<LPARAM>(page->m_comboLanguage.m_hWnd));
    pumpFor(50);
    ASSERT_EQ(LANGUAGE_EN, CRegSetting::getLanguage());

    // Every page of the root, each counted by its own window.
    std::vector<std::unique_ptr<MessageCounter>> pages;
    for (HWND child = ::GetWindow(root->m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (dynamic_cast<CBaseChildDialog*>(CWnd::FromHandlePermanent(child))) {
            pages.push_back(std::make_unique<MessageCounter>(child, RWM_CHANGE_LANGUAGE));
        }
    }
    ASSERT_GT(pages.size(), 10u);
    const size_t notices = standin_log::of("GetNotice").size();
    page->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_BUTTON_OK, BN_CLICKED), reinterpret_cast<LPARAM>(page->m_btnOk.m_hWnd));
    pumpFor(50);

    for (const auto& counter : pages) {
        EXPECT_EQ(1, counter->count()) << typeid(*CWnd::FromHandlePermanent(counter->hwnd())).name();
    }
    EXPECT_FALSE(page->IsWindowVisible());
    EXPECT_NE(VIEW_STATE_CONFIG, root->m_eViewStatus);
    EXPECT_NE(VIEW_STATE_MESSAGE, root->m_eViewStatus);
    EXPECT_EQ(LANGUAGE_EN, CRegSetting::getLanguage());
    EXPECT_EQ(REGION_KR, CRegSetting::getRegion());

    EXPECT_TRUE(pumpUntil([&] { return standin_log::of("GetNotice").size() > notices; }, 15000));
    pumpFor(1000);
    EXPECT_EQ(notices + 1, standin_log::of("GetNotice").size());
}
