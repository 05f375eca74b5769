#pragma once
// The login page on the real root with its message pages, over a frame
// double that keeps the lists it is given, against the stand-in service.
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

#include <algorithm>
#include <atomic>
#include <memory>
#include <string>
#include <vector>

namespace login_test {

inline const wchar_t* const kGuid = L"C0FFEE00-5EED-4B1D-8A11-000000000001";
inline const int kRegions[] = {REGION_US, REGION_KR, REGION_IN, REGION_ME, REGION_BR, REGION_EU,
                               REGION_VN, REGION_RU, REGION_TR};

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
    // Frees every list but the current one, as the frame frees what it
    // replaced.
    void dropOldLists() {
        for (InfInfoList*& l : lists) {
            if (l != current) {
                delete l;
                l = nullptr;
            }
        }
        lists.erase(std::remove(lists.begin(), lists.end(), nullptr), lists.end());
    }

    std::vector<InfInfoList*> lists;
    InfInfoList* current = nullptr;
    BOOL dealerFlag = FALSE;
    std::atomic<int> notices{0};
};

inline std::string narrow(const CString& s) { return std::string(CW2A(s.GetString(), CP_UTF8)); }

inline bool has(const std::string& line, const std::string& part) { return line.find(part) != std::string::npos; }

}  // namespace login_test

using namespace login_test;

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
        createRoot();
    }
    void createRoot() {
        root = std::make_unique<CDlgRoot>(&frame);
        ASSERT_TRUE(root->Create(IDD_BASE_DIALOG, nullptr));
        root->SetWindowPos(nullptr, 40, 40, 900, 680, SWP_NOZORDER);
        root->ShowWindow(SW_SHOW);
        pumpFor(80);
        page = root->m_pPageLogin;
        ASSERT_NE(nullptr, page);
    }
    // The root closed and opened again in another region and language, as a
    // new start of the program would (what it does at once included).
    void restart(int region, int language, int corp = CORP_TS) {
        if (page) page->joinWorker();
        page = nullptr;
        if (root && root->GetSafeHwnd()) root->DestroyWindow();
        root.reset();
        pumpFor(20);
        g_bSignedIn = FALSE;
        g_bGuestLogin = FALSE;
        g_strCorpCode = L"N";
        useLanguage(region, language);
        CRegSetting::setLastUserCorp(corp);
        createRoot();
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
        for (int region : kRegions) {
            AfxGetApp()->WriteProfileString(getRegionCode(region) + L"_User", nullptr, nullptr);
        }
    }
    static void storeGuid() {
        for (int region : kRegions) {
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
    // The sign-in requests: the guest catalogue that the root asks for after
    // a guest's sign-in goes to the same address with D1 sent empty.
    static std::vector<std::string> signIns(size_t from) {
        std::vector<std::string> out;
        for (const std::string& line : chkRegist(from)) {
            if (!has(line, "\"plain\": [\"D1\"")) out.push_back(line);
        }
        return out;
    }
    static size_t logSize() { return standin_log::lines().size(); }
    CDlgPageMessage* shownMessage() const { return root->m_pShownMessagePage; }
    // A button of the shown message page, clicked as the user would.
    void press(UINT id) {
        CDlgPageMessage* message = shownMessage();
        ASSERT_NE(nullptr, message);
        ASSERT_EQ(VIEW_STATE_MESSAGE, root->m_eViewStatus);
        CWnd* button = message->GetDlgItem(static_cast<int>(id));
        ASSERT_NE(nullptr, button);
        ASSERT_TRUE(button->IsWindowVisible());
        focusWindow(root->m_hWnd);
        const int type = message->m_eMessageType;
        clickAt(button->m_hWnd, 10, 10);
        // The click arrives when the display delivers it: wait for the
        // answer to close the page (or to put another message on it).
        pumpUntil([&] { return message->m_bClosed || shownMessage() != message || message->m_eMessageType != type; },
                  5000);
        pumpFor(40);
    }
    static CString textOf(CWnd& w) {
        CString text;
        if (w.GetSafeHwnd()) w.GetWindowText(text);
        return text;
    }
    static void setConsentReported(int value) {
        const std::vector<CString>& keys = CRegSetting::getSettingKeys();
        AfxGetApp()->WriteProfileInt(keys[REG_SETTINGS_SECTION], keys[REG_SETTINGS_SEND_VCRM_DESC0], value);
    }
    static int consentReported() {
        const std::vector<CString>& keys = CRegSetting::getSettingKeys();
        return AfxGetApp()->GetProfileInt(keys[REG_SETTINGS_SECTION], keys[REG_SETTINGS_SEND_VCRM_DESC0], 0);
    }
    static void setFaults(const char* json) { writeBytes(standin_log::folder() + L"faults.json", json); }

    LoginFrame frame;
    FakeEngine engine;
    std::unique_ptr<CDlgRoot> root;
    CDlgPageLogin* page = nullptr;
};

