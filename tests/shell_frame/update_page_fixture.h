#pragma once
// The update page under the real root dialog and main frame, as the update
// page tests build it: language and brand settings, the progress boards, the
// fake drive R: and a vehicle entry.
#include "afx/dc.h"
#include "afx/gdi.h"
#include "descriptors/inf_info.h"
#include "engine/copy_manager.h"
#include "engine/function_manager.h"
#include "engine/score_board.h"
#include "engine/usb_detector.h"
#include "foundation/code_tables.h"
#include "foundation/config_file.h"
#include "foundation/current_ui.h"
#include "foundation/logmanager.h"
#include "foundation/private_messages.h"
#include "foundation/program_strings.h"
#include "foundation/registered_messages.h"
#include "foundation/regsetting.h"
#include "pages/vehicle/dlg_car_finish.h"
#include "pages/vehicle/dlg_car_reg.h"
#include "pages/vehicle/dlg_car_update.h"
#include "pages/vehicle/update_page_layout.h"
#include "resources/resource.h"
#include "shell/dlg_page_message.h"
#include "shell/dlg_root.h"
#include "shell/message_types.h"
#include "shell/main_frame.h"
#include "skin_table.h"
#include "tests/engine_drives/fake_drives.h"
#include "tests/support/capture.h"
#include "tests/support/test_support.h"
#include "ui/dlg_msg_box.h"
#include "ui/font_cache.h"
#include "ui/lang_library.h"
#include "ui/view_state.h"
#include <gtest/gtest.h>
#include <psapi.h>
#include <string>

namespace update_page_test {


constexpr ULONGLONG MB = 1ULL << 20;

inline COLORREF skinColour(int id, int frame = 0) {
    for (const SkinRow& row : kSkinTable) {
        if (row.id == id && frame < row.frames) return row.fill[frame];
    }
    ADD_FAILURE() << "skin " << id;
    return CLR_INVALID;
}

inline CString lang(int id) { return CLangLibrary::loadLangString(static_cast<UINT>(id)); }

inline void setLanguage(int region, int language) {
    CRegSetting::setRegion(region);
    CRegSetting::setLanguage(language);
    CLangLibrary::loadLanguage(language);
    g_nCurrentLanguage = language;
    g_nCurrentRegion = region;
}

inline score_board& board(int i) { return score_board::getBoards()[i]; }

inline void resetBoards() {
    for (int i = 0; i < BOARD_COUNT; ++i) {
        board(i).reset();
        board(i).takeFlag();
    }
}

inline RECT rectIn(HWND parent, HWND child) {
    RECT r{};
    ::GetWindowRect(child, &r);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

class UpdatePage : public ::testing::Test {
protected:
    void SetUp() override {
        static TempDir logs;
        static const bool ready = (g_logManager.init(logs.path(), L"update.log", 1 << 20, 10, 1),
                                   CConfigFile::getInstance()->load());
        ASSERT_TRUE(ready);
        CRegSetting::setDataPath(m_data.path());
        setLanguage(REGION_US, LANGUAGE_EN);
        CRegSetting::setLastUserCorp(CORP_TS);
        CMainFrame::setLiveUpdateRunner([](CMainFrame*) { return CMainFrame::LiveUpdateOutcome{}; });
        CMainFrame::setBoxRunner([](CDlgMsgBox&) { return static_cast<INT_PTR>(IDOK); });
        m_drives.drives[L'R'] = FakeDrive{DRIVE_REMOVABLE, true, 31250000ULL * 1024, 31250000ULL * 1024};
        frame = new CMainFrame;
        AfxGetApp()->m_pMainWnd = frame;
        ASSERT_TRUE(frame->LoadFrame(IDR_MAINFRAME, 0xCF8000));
        root = frame->m_pDlgRoot.load();
        ASSERT_TRUE(root);
        page = root->m_pPageCarUpdate;
        ASSERT_TRUE(page && page->GetSafeHwnd());
        m_entry.setDeviceName(L"Navigation AVN 5");
        m_entry.setDeviceNameIntl(L"Navigation AVN 5");
        m_entry.setDeviceType(5);
        m_entry.setMediaType(L"U");
        frame->m_pInfInfoList = new InfInfoList(false);
        frame->Cur_inf = &m_entry;
        // An answer that leads back to the registration page finds the
        // vehicle there (without one it sends the user on to the search).
        root->m_pPageCarReg->setCarInfo(&m_entry);
        resetBoards();
        g_bSaveToHDD = FALSE;
        pumpMessages(100);
    }
    void TearDown() override {
        if (page && page->GetSafeHwnd()) page->KillTimer(UPDATE_TIMER_PROGRESS);
        if (root) root->m_bUpdateHeld = 0;
        if (frame) frame->Cur_inf = nullptr;
        if (root && root->m_pPageCarReg) root->m_pPageCarReg->m_pCarInfo = nullptr;
        resetBoards();
        g_bSaveToHDD = FALSE;
        AfxGetApp()->m_pMainWnd = nullptr;
        if (frame) frame->DestroyWindow();
        CMainFrame::setLiveUpdateRunner({});
        CMainFrame::setBoxRunner({});
        setLanguage(REGION_US, LANGUAGE_EN);
        CRegSetting::setDataPath(CString());
    }

    CString textOf(int id) const {
        CString t;
        page->GetDlgItemText(id, t);
        return t;
    }
    bool visible(int id) const { return ::IsWindowVisible(page->GetDlgItem(id)->GetSafeHwnd()) != FALSE; }
    void setPhases(bool check, bool download, bool unzip, bool copy, bool copyStep) {
        page->m_bCheckPhase = check;
        page->m_bDownloadPhase = download;
        page->m_bUnzipPhase = unzip;
        page->m_bCopyPhase = copy;
        page->m_bCopyStepPhase = copyStep;
    }
    // A tick of neither timer 1 nor the verify ticker.
    void tick(UINT_PTR id = 7) { page->SendMessage(WM_TIMER, id, 0); }
    // Shown under the root at the update view, as the registration page leaves it.
    void showPage(wchar_t letter = L'R') {
        page->setUpdateTarget(&m_entry, letter);
        root->pushViewPage(VIEW_STATE_CAR_UPDATE, TRUE);
        settle();
    }
    // Timer 1 and the posted Next belong to the run, which these tests do
    // not start.
    void settle() {
        page->KillTimer(UPDATE_TIMER_PROGRESS);
        MSG msg;
        while (::PeekMessageW(&msg, page->GetSafeHwnd(), WM_COMMAND, WM_COMMAND, PM_REMOVE)) {}
        pumpMessages(50);
    }

    TempDir m_data;
    FakeDrives m_drives;
    InfInfo m_entry;
    CMainFrame* frame = nullptr;
    CDlgRoot* root = nullptr;
    CDlgCarUpdate* page = nullptr;
};

}  // namespace update_page_test
