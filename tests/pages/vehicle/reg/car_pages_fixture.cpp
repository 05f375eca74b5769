#include "tests/pages/vehicle/reg/car_pages_fixture.h"

#include "engine/function_manager.h"
#include "foundation/code_tables.h"
#include "foundation/config_file.h"
#include "foundation/current_ui.h"
#include "foundation/logmanager.h"
#include "foundation/program_strings.h"
#include "foundation/regsetting.h"
#include "pages/account/dlg_info_image_popup.h"
#include "pages/account/dlg_page_config.h"
#include "pages/vehicle/dlg_car_finish.h"
#include "pages/vehicle/dlg_car_reg.h"
#include "pages/vehicle/dlg_car_update.h"
#include "resources/resource.h"
#include "shell/dlg_page_message.h"
#include "shell/dlg_root.h"
#include "shell/main_frame.h"
#include "tests/ui_bases/ui_env.h"
#include "ui/dlg_msg_box.h"
#include "ui/lang_library.h"
#include "ui/view_state.h"
#include "webclient/connectivity.h"

#include <atomic>
#include <mutex>

namespace {

std::atomic<bool> g_online{true};

}  // namespace

void setOnline(CMainFrame* frame, bool online) {
    g_online = online;
    if (frame) frame->m_bNetworkConnected = online ? 1 : 0;
}

void CarPages::SetUp() {
    static TempDir logs;
    static const bool ready = (g_logManager.init(logs.path(), L"reg.log", 1 << 20, 10, 1),
                               CConfigFile::getInstance()->load());
    ASSERT_TRUE(ready);
    // The hand-over starts the update page; its commands are held, so no run
    // of the real engine outlives the vehicles a test made.
    function_manager::getInstance()->closeStopGate();
    setConnectivityProbe([](DWORD& flags) {
        flags = 0;
        return g_online.load();
    });
    g_online = true;
    CRegSetting::setDataPath(m_data.path());
    useLanguage(REGION_US, LANGUAGE_EN);
    g_nCurrentLanguage = LANGUAGE_EN;
    g_nCurrentRegion = REGION_US;
    CRegSetting::setLastUserCorp(CORP_TS);
    CRegSetting::setLastUserType(0);
    g_strCorpCode = L"TS";
    CMainFrame::setLiveUpdateRunner([](CMainFrame*) { return CMainFrame::LiveUpdateOutcome{}; });
    CMainFrame::setBoxRunner([](CDlgMsgBox&) { return static_cast<INT_PTR>(IDOK); });
    setLocalFree(100 * GB);
    frame = new CMainFrame;
    AfxGetApp()->m_pMainWnd = frame;
    ASSERT_TRUE(frame->LoadFrame(IDR_MAINFRAME, 0xCF8000));
    root = frame->m_pDlgRoot.load();
    ASSERT_TRUE(root);
    reg = root->m_pPageCarReg;
    finish = root->m_pPageCarFinish;
    ASSERT_TRUE(reg && reg->GetSafeHwnd());
    ASSERT_TRUE(finish && finish->GetSafeHwnd());
    frame->m_pInfInfoList = new InfInfoList(true);
    frame->m_bNetworkConnected = 1;
    g_bSaveToHDD = FALSE;
    root->ShowWindow(SW_SHOW);
    pumpFor(100);
    newRecords();
}

void CarPages::TearDown() {
    CDlgPageConfig::setAttributeReader({});
    if (root && root->m_pMessagePages) {
        for (CDlgPageMessage* page : *root->m_pMessagePages) {
            if (!page->m_bClosed) page->closePage(TRUE);
        }
    }
    if (frame) {
        frame->Cur_inf = nullptr;
        if (reg) reg->m_pCarInfo = nullptr;
        if (root && root->m_pPageCarUpdate) root->m_pPageCarUpdate->m_pTargetInfo = nullptr;
    }
    g_bSaveToHDD = FALSE;
    AfxGetApp()->m_pMainWnd = &mainFrame();
    if (frame) frame->DestroyWindow();
    CMainFrame::setLiveUpdateRunner({});
    CMainFrame::setBoxRunner({});
    setConnectivityProbe(nullptr);
    useLanguage(REGION_US, LANGUAGE_EN);
    CRegSetting::setDataPath(CString());
    g_strCorpCode = L"N";
    g_strMessageNumber.Empty();
    function_manager* engine = function_manager::getInstance();
    engine->reset();
    {
        std::lock_guard<std::mutex> lock(engine->m_queueMutex);
        engine->m_heldCommands.clear();
    }
    engine->openStopGate();
    engine->m_nFormatting = 0;
    engine->itemsRebuilt();
}

InfInfo* CarPages::addVehicle(const CString& name, const CString& mediaType, ULONGLONG updateBytes, int mapUpdate,
                              int deviceType) {
    auto* car = new InfInfo;
    car->setInfFileName(L"car_" + name + L".inf");
    car->setInfUrl(L"http://127.0.0.1:1/cars/");
    car->setDeviceName(name);
    car->setDeviceNameIntl(name);
    car->setCarName(name);
    car->setModelCode(L"123");
    car->setMediaType(mediaType);
    car->setMapUpdate(mapUpdate);
    car->setDeviceType(deviceType);
    car->setModelFlag(0);
    car->setFirstDescriptor(car);
    CString text;
    text.Format(L"[HEAD]\r\nROOT_URL=https://host/contents/%s\r\nUPDATE_VERSION=2026.1\r\n"
                L"[F]\r\nAG_FILENAME=map.bin\r\nAG_FILESIZE=%llu\r\n",
                name.GetString(), updateBytes);
    EXPECT_EQ(car->readInfText(text), 1);
    car->m_guard.set();
    frame->m_pInfInfoList->insertSorted(car);
    return car;
}

void CarPages::setLocalFree(ULONGLONG freeBytes) {
    FakeDrive c;
    c.type = DRIVE_FIXED;
    c.total = 500 * GB;
    c.free = freeBytes;
    c.fileSystem = L"NTFS";
    m_drives.drives[L'C'] = c;
}

FakeDrive& CarPages::addDrive(wchar_t letter, ULONGLONG totalKB) {
    FakeDrive d;
    d.type = DRIVE_REMOVABLE;
    d.total = totalKB * KB;
    d.free = d.total;
    d.disk = -1;
    m_drives.drives[letter] = d;
    return m_drives.drives[letter];
}

void CarPages::chooseAndShow(InfInfo* car) {
    reg->setCarInfo(car);
    // Entered from another base view, so its initPage builds the list.
    if (root->m_eBaseViewStatus == VIEW_STATE_CAR_REG) root->pushViewPage(VIEW_STATE_CAR_FINISH, TRUE);
    root->pushViewPage(VIEW_STATE_CAR_REG, TRUE);
    pumpFor(30);
}

void CarPages::selectLine(int index) {
    reg->m_comboDisk.SendMessage(CB_SETCURSEL, static_cast<WPARAM>(index));
    reg->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_COMBO_DISK_LIST, CBN_SELENDOK),
                     reinterpret_cast<LPARAM>(reg->m_comboDisk.m_hWnd));
}

int CarPages::lineCount() const { return reg->m_comboDisk.GetCount(); }

CString CarPages::lineText(int index) const { return reg->m_comboDisk.getItemText(index); }

int CarPages::selectedLine() const { return reg->m_comboDisk.GetCurSel(); }

CString CarPages::note() const {
    CString text;
    reg->m_stRegMsg.GetWindowText(text);
    return text;
}

void CarPages::pressUpdate() {
    reg->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_BUTTON_CAR_UPDATE, BN_CLICKED),
                     reinterpret_cast<LPARAM>(reg->m_btnCarUpdate.m_hWnd));
    pumpFor(20);
}

void CarPages::answer(BOOL ok) {
    CDlgPageMessage* page = root->m_pCurMessagePage;
    ASSERT_NE(page, nullptr);
    const UINT id = ok ? IDC_BUTTON_OK : IDC_BUTTON_CANCEL;
    page->SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(page->GetDlgItem(id)->m_hWnd));
    pumpFor(20);
}

int CarPages::messageType() const {
    CDlgPageMessage* page = root->m_pCurMessagePage;
    if (!page) return 0;
    // A question behind the image guide is configured but not yet open.
    const bool behindGuide =
        root->m_pCurPage && root->m_pCurPage == static_cast<CBaseChildDialog*>(root->m_pPageInfoImagePopup);
    return !page->m_bClosed || behindGuide ? page->m_eMessageType : 0;
}

void CarPages::backToRegistration() {
    if (!root->m_pMessagePages) return;
    for (CDlgPageMessage* page : *root->m_pMessagePages) {
        if (!page->m_bClosed) page->closePage(TRUE);
    }
    root->pushViewPage(VIEW_STATE_CAR_REG, TRUE);
    pumpFor(20);
}

CString CarPages::newRecords() {
    const CString all = g_logManager.getStatisticsContext().errorLog;
    const CString fresh = all.Mid(static_cast<int>(m_recordsSeen));
    m_recordsSeen = static_cast<size_t>(all.GetLength());
    return fresh;
}
