// Pictures of the registration page, the messages over it and the finish
// page in Korean, English and Arabic, with the skin colours that must show
// where the layout puts them (mirrored in Arabic).
#include "tests/pages/vehicle/reg/car_pages_fixture.h"

#include "foundation/code_tables.h"
#include "foundation/current_ui.h"
#include "foundation/program_strings.h"
#include "foundation/regsetting.h"
#include "pages/vehicle/dlg_car_finish.h"
#include "pages/vehicle/dlg_car_reg.h"
#include "resources/resource.h"
#include "shell/dlg_page_message.h"
#include "shell/dlg_root.h"
#include "shell/main_frame.h"
#include "shell/message_types.h"
#include "skin_table.h"
#include "tests/support/capture.h"
#include "tests/ui_bases/ui_env.h"
#include "ui/font_cache.h"
#include "ui/view_state.h"

#include <algorithm>

namespace {

class CarPagesScreens : public CarPages {
protected:
    void switchTo(const UiLanguage& l) {
        useLanguage(l);
        g_nCurrentLanguage = l.language;
        g_nCurrentRegion = l.region;
        frame->broadcastChangeLanguage();
        pumpFor(30);
    }
    // The page is built again as a new base view would be.
    void reshowRegistration(InfInfo* car) {
        root->pushViewPage(VIEW_STATE_CAR_FINISH, TRUE);
        chooseAndShow(car);
    }
    WindowShot shoot(const UiLanguage& l, const CString& what, const CString& shows) {
        CString file;
        file.Format(L"%s_%s", l.tag, what.GetString());
        CString line = shows;
        if (l.language == LANGUAGE_AR) line += L"; mirrored: sidebar on the right, pictures and buttons swapped";
        pumpMessages(40);
        return saveScreenshot(root->m_hWnd, file, line, true);
    }
    // The page's point (x, y) in the root's client area, mirrored in Arabic.
    POINT pagePoint(int x, int y, bool arabic) const {
        RECT page = childRectIn(root->m_hWnd, reg->m_hWnd);
        const int width = page.right - page.left;
        return POINT{page.left + (arabic ? width - 1 - x : x), page.top + y};
    }
};

TEST_F(CarPagesScreens, RegistrationMessagesAndFinishInThreeLanguages) {
    for (const UiLanguage& l : kLanguages) {
        SCOPED_TRACE(CW2A(l.tag));
        const bool arabic = l.language == LANGUAGE_AR;
        switchTo(l);
        m_drives.drives.erase(L'R');
        m_drives.drives.erase(L'S');
        InfInfo* car = addVehicle(l.language == LANGUAGE_KO ? L"내비게이션 AVN 5" : L"Navigation AVN 5", L"U", GB);
        reshowRegistration(car);
        WindowShot shot = shoot(l, L"reg_1_no_drive",
                                L"registration: device name top left, two pictures, medium line with bullet, list "
                                L"with the folder line only, note under it, blue Start update bottom right");
        const POINT sidebar = pagePoint(50, 300, arabic);
        EXPECT_EQ(shot.at(sidebar.x, sidebar.y), skinFill(434));
        const RECT update = childRectIn(root->m_hWnd, reg->m_btnCarUpdate.m_hWnd);
        EXPECT_EQ(shot.at(update.left + 6, (update.top + update.bottom) / 2), skinFill(432));
        EXPECT_EQ(arabic, update.left < 450) << "the update button sits on the outer side";
        // The destination list reads from the right in Arabic, its open
        // list's bar on the left, as the settings page's lists.
        const DWORD rightToLeft = WS_EX_RIGHT | WS_EX_RTLREADING | WS_EX_LEFTSCROLLBAR;
        EXPECT_EQ(arabic ? rightToLeft : 0u,
                  static_cast<DWORD>(::GetWindowLongW(reg->m_comboDisk.m_hWnd, GWL_EXSTYLE)) & rightToLeft);
        EXPECT_EQ(!arabic, reg->m_comboDisk.m_bLeftToRight != FALSE);
        // Labels end at their bullet and icon, which sit on their right in Arabic.
        for (const CStaticEx* label : {&reg->m_stCarTitle, &reg->m_stSaveTitle, &reg->m_stPathTitle}) {
            EXPECT_EQ(arabic, label->m_bRightAlign != FALSE);
        }

        addDrive(L'R', 8000000);
        addDrive(L'S', 33554432);
        reshowRegistration(car);
        reg->m_comboDisk.ShowDropDown(TRUE);
        shoot(l, L"reg_2_drives", L"registration: list open with the folder, R: (7.6 GB) and S: (32.0 GB), R: chosen");
        reg->m_comboDisk.ShowDropDown(FALSE);

        reg->m_vecDiskList[0].nMark = 1;
        selectLine(0);
        shoot(l, L"reg_3_lastreg", L"registration: folder chosen, the two-line note of an earlier download");

        reshowRegistration(addVehicle(L"Disc Navigation With A Remarkably Long Device Name Of Many Words", L"DVD", GB));
        WindowShot dvd = shoot(l, L"reg_4_dvd_long_name",
                               L"registration: long name in the small font on one line ending in an ellipsis, medium "
                               L"line with its whole medium text, only the folder line");
        // The name keeps to its first line: nothing drawn in the lower part
        // of its box (down to the picture, which its box overlaps), where a
        // second line would be cut off.
        RECT name = childRectIn(root->m_hWnd, reg->m_stCarTitle.m_hWnd);
        name.bottom = std::min(name.bottom, childRectIn(root->m_hWnd, reg->m_stCarImage.m_hWnd).top);
        name.top = name.top + 26;
        EXPECT_EQ(dvd.count(RGB(255, 255, 255), name), (name.right - name.left) * (name.bottom - name.top));
        // The medium line, as wide as its text, shows ink at both ends: a
        // last word broken onto a second line would leave one end blank.
        const RECT medium = childRectIn(root->m_hWnd, reg->m_stSaveTitle.m_hWnd);
        const int quarter = (medium.right - medium.left) / 4;
        for (const RECT& end : {RECT{medium.left, medium.top, medium.left + quarter, medium.bottom},
                                RECT{medium.right - quarter, medium.top, medium.right - 6, medium.bottom}}) {
            EXPECT_LT(dvd.count(RGB(255, 255, 255), end), (end.right - end.left) * (end.bottom - end.top));
        }

        const struct {
            int corp;
            const wchar_t* code;
            const wchar_t* tag;
            UINT strip;
        } brands[] = {{CORP_DR, L"DR", L"dr", 431}, {CORP_LV, L"LV", L"lv", 1740}};
        for (const auto& b : brands) {
            CRegSetting::setLastUserCorp(b.corp);
            g_strCorpCode = b.code;
            reshowRegistration(car);
            WindowShot brand = shoot(l, CString(L"reg_5_button_") + b.tag,
                                     CString(L"registration: the update button in brand ") + b.code + L"'s colour");
            const RECT r = childRectIn(root->m_hWnd, reg->m_btnCarUpdate.m_hWnd);
            // Luvo's North American strip in regions US and CA only.
            const bool northAmerica = l.region == REGION_US || l.region == REGION_CA;
            const UINT strip = b.corp == CORP_LV && !northAmerica ? 433 : b.strip;
            EXPECT_EQ(brand.at(r.left + 6, (r.top + r.bottom) / 2), skinFill(strip)) << CW2A(b.code);
        }
        CRegSetting::setLastUserCorp(CORP_TS);
        g_strCorpCode = L"TS";

        // The drive question and the network message come from real clicks:
        // the update button, then OK while offline. The drive holds the
        // model's files of every vehicle the passes added.
        addDrive(L'R', 16000000);
        reshowRegistration(car);
        selectLine(1);
        focusWindow(reg->m_btnCarUpdate.m_hWnd);
        CRect press;
        reg->m_btnCarUpdate.GetClientRect(&press);
        clickAt(reg->m_btnCarUpdate.m_hWnd, press.Width() / 2, press.Height() / 2);
        ASSERT_TRUE(pumpUntil([&] { return messageType() == SERVER_ETC_SAVE_TO_SD; }, 5000)) << messageType();
        shoot(l, L"reg_msg_1013", L"message 1013 over the registration page after a click on the update button: "
                                  L"the question names drive R, OK and Cancel");
        setOnline(frame, false);
        CWnd* ok = root->m_pCurMessagePage->GetDlgItem(IDC_BUTTON_OK);
        ASSERT_NE(ok, nullptr);
        CRect okBox;
        ok->GetClientRect(&okBox);
        clickAt(ok->m_hWnd, okBox.Width() / 2, okBox.Height() / 2);
        ASSERT_TRUE(pumpUntil([&] { return messageType() == SERVER_ERROR_NETWORK_FAIL; }, 5000)) << messageType();
        shoot(l, L"reg_msg_20", L"message 20 over the registration page after OK on 1013 while offline, its texts "
                                L"whole");
        EXPECT_NE(root->m_eBaseViewStatus, VIEW_STATE_CAR_UPDATE);
        setOnline(frame, true);
        backToRegistration();
        m_drives.drives.erase(L'R');
        reshowRegistration(car);

        const struct {
            int type;
            const wchar_t* p0;
            const wchar_t* p1;
        } messages[] = {
            {SERVER_ETC_SAVE_TO_HDD, L"", L""},
            {SERVER_ERROR_USB_REMOVE_FAIL, L"R", L""},
            {SERVER_ERROR_USB_LOCK, L"R", L""},
            {SERVER_ERROR_UPDATE_CHECK_MEMORY_UPDATE_USB, L"3.81GB", L"3.82GB"},
            {SERVER_ERROR_UPDATE_CHECK_MEMORY_UPDATE_HDD, L"", L""},
            {SERVER_ERROR_UPDATE_CHECK_SAVE_DRIVE_UPDATE_HDD, L"", L""},
            {SERVER_ERROR_UPDATE_CHECK_SAVE_FOLDER_UPDATE_HDD, L"", L""},
            {SERVER_ERROR_UPDATE_CHECK_INF_LOAD, L"", L""},
            {SERVER_ETC_NOT_SUPPORT_MAP_UPDATE, L"", L""},
            {SERVER_ERROR_USB_IS_BIGSIZE, L"R", L""},
        };
        g_strMessageNumber = L"9";
        for (const auto& m : messages) {
            CDlgPageMessage* page = root->getMessagePage(999);
            ASSERT_NE(page, nullptr);
            page->setParam(m.p0, 0);
            page->setParam(m.p1, 1);
            page->setMessageType(m.type, reg);
            root->pushViewPage(VIEW_STATE_MESSAGE, TRUE);
            CString what;
            what.Format(L"reg_msg_%d", m.type);
            CString shows;
            shows.Format(L"message %d over the registration page, its texts whole", m.type);
            shoot(l, what, shows);
            backToRegistration();
        }

        frame->Cur_inf = car;
        ASSERT_TRUE(finish->setResult(car, L'R'));
        finish->m_strDriveRoot = L"R:\\";
        root->pushViewPage(VIEW_STATE_CAR_FINISH, TRUE);
        WindowShot done = shoot(l, L"finish_1_drive",
                                L"finish: title, two-line message, guides left, vehicle button right, Finish, checked "
                                L"box with the bold comment naming the vehicle");
        const RECT finishButton = childRectIn(root->m_hWnd, finish->m_btnFinish.m_hWnd);
        EXPECT_EQ(done.at(finishButton.left + 6, (finishButton.top + finishButton.bottom) / 2), skinFill(443));

        InfInfo* sd = addVehicle(L"Card Navigation", L"SD", GB);
        ASSERT_TRUE(finish->setResult(sd, 0));
        reg->setCarInfo(sd);
        root->pushViewPage(VIEW_STATE_CAR_REG, TRUE);
        root->pushViewPage(VIEW_STATE_CAR_FINISH, TRUE);
        shoot(l, L"finish_2_folder", L"finish: folder caption with arrow, path box, Copy to an SD card in Finish's place");

        finish->m_nThreeLines = 1;
        finish->showPage(TRUE);
        shoot(l, L"finish_3_three_lines", L"finish: the lower controls 21 px further down, nothing overlapping");
        finish->m_nThreeLines = 0;
        root->pushViewPage(VIEW_STATE_CAR_REG, TRUE);
    }
    switchTo(kLanguages[1]);
}

}  // namespace
