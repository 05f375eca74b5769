// The finish page: what a result onto a drive or into the folder shows, the
// three-line shift, the comment's width, the check box, the finish button
// with the exit's Cancel and OK, the answers to 1016 and 1018, and the
// folder and guide buttons at the launcher seam.
#include "tests/pages/vehicle/reg/car_pages_fixture.h"

#include "descriptors/update_list_builder.h"
#include "engine/vercheck_manager.h"
#include "foundation/globalfunc.h"
#include "foundation/registered_messages.h"
#include "foundation/regsetting.h"
#include "pages/vehicle/dlg_car_finish.h"
#include "pages/vehicle/dlg_car_reg.h"
#include "resources/resource.h"
#include "shell/dlg_root.h"
#include "shell/main_frame.h"
#include "shell/message_types.h"
#include "tests/ui_bases/ui_env.h"
#include "tests/webclient/standin_client.h"
#include "ui/view_state.h"

#include <vector>

namespace {

class FinishPage : public CarPages {
protected:
    void TearDown() override {
        CGlobalFunc::setUrlLauncher({});
        CarPages::TearDown();
    }
    // The update is over: the result handed over, the page shown.
    void showResult(InfInfo* car, wchar_t letter) {
        frame->Cur_inf = car;
        ASSERT_TRUE(finish->setResult(car, letter));
        if (letter) finish->m_strDriveRoot.Format(L"%c:\\", letter);
        root->pushViewPage(VIEW_STATE_CAR_FINISH, TRUE);
        pumpFor(30);
    }
    bool visible(CWnd& w) const { return (w.GetStyle() & WS_VISIBLE) != 0; }
    int topOf(CWnd& w) const { return childRectIn(finish->m_hWnd, w.m_hWnd).top; }
    void command(UINT id, UINT code = BN_CLICKED) {
        finish->SendMessage(WM_COMMAND, MAKEWPARAM(id, code),
                            reinterpret_cast<LPARAM>(finish->GetDlgItem(id)->m_hWnd));
        pumpFor(20);
    }
};

TEST_F(FinishPage, StorageAndMediumDecideTheControls) {
    const struct {
        wchar_t letter;
        const wchar_t* medium;
        bool sdButton, check, path;
    } cases[] = {
        {0, L"SD", true, false, true},     // folder update of an SD vehicle: copy it onto a card
        {0, L"U", true, false, true},      // or onto a USB drive
        {0, L"DVD", false, false, true},   // nothing to copy onto
        {0, L"", false, false, true},
        {L'R', L"SD", false, true, false}, // onto a drive: the box to remove the download
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.letter << " " << CW2A(c.medium));
        showResult(addVehicle(CString(L"Fin") + CString(static_cast<wchar_t>(L'A' + n++)), c.medium, GB), c.letter);
        EXPECT_EQ(finish->m_strStorageCode, CString(c.letter ? L"U" : L"H"));
        EXPECT_EQ(root->m_bDestIsDrive, c.letter ? 1 : 0);
        EXPECT_EQ(visible(finish->m_btnSdCard), c.sdButton);
        EXPECT_EQ(visible(finish->m_btnFinish), !c.sdButton);
        EXPECT_EQ(visible(finish->m_checkRemove), c.check);
        EXPECT_EQ(visible(finish->m_stRemoveComment), c.check);
        EXPECT_EQ(visible(finish->m_editDownloadPath), c.path);
        if (c.check) {
            EXPECT_TRUE(finish->m_checkRemove.m_bChecked);
            EXPECT_TRUE(finish->m_stRemoveComment.m_bBold);
            CString comment;
            finish->m_stRemoveComment.GetWindowText(comment);
            EXPECT_NE(comment.Find(L"\x200F\x200E" + finish->m_strVehicleName + L"\x200E"), -1);
        }
        root->pushViewPage(VIEW_STATE_CAR_REG, TRUE);
    }
}

TEST_F(FinishPage, ThreeLineMessageMovesTheLowerControlsDown) {
    showResult(addVehicle(L"Lines", L"SD", GB), 0);
    CWnd* lower[] = {&finish->m_btnUsbGuide, &finish->m_btnInstallGuide, &finish->m_btnSdCard,
                     &finish->m_btnFolder,   &finish->m_btnCarSelect,    &finish->m_stDownloadTitle,
                     &finish->m_editDownloadPath};
    std::vector<int> before;
    for (CWnd* w : lower) before.push_back(topOf(*w));
    const int title = topOf(finish->m_stTitle);
    finish->m_nThreeLines = 1;
    finish->showPage(TRUE);
    for (size_t i = 0; i < before.size(); ++i) EXPECT_EQ(topOf(*lower[i]), before[i] + 21) << i;
    EXPECT_EQ(topOf(finish->m_stTitle), title);
}

TEST_F(FinishPage, CommentIsMeasuredByItsWiderLine) {
    const auto measure = [](const CString& part) { return part.GetLength() * 10; };
    const struct {
        const wchar_t* text;
        int width;
    } cases[] = {
        {L"abcd", 40 * 106 / 100 + 3},
        {L"ab\ncdef", 40 * 106 / 100 + 3},
        {L"abcdef\ncd", 60 * 106 / 100 + 3},
        {L"x\ny\nlonger line", 110 * 106 / 100 + 3},  // the parts around the last break
        {L"\nabc", 40 * 106 / 100 + 3},              // a break first: the whole text
    };
    for (const auto& c : cases) EXPECT_EQ(CDlgCarFinish::commentWidth(c.text, measure), c.width) << CW2A(c.text);
}

// The box and its comment toggle the same state; Finish asks the exit
// question and only a confirmed exit deletes the download.
TEST_F(FinishPage, FinishThenCancelKeepsTheDownloadAndOkDeletesIt) {
    InfInfo* car = addVehicle(L"Removed", L"U", GB);
    const CString folder = m_data.path() + update_list_builder::folderOf(car);
    ASSERT_TRUE(CreateDirectoryW(folder.GetString(), nullptr));
    ASSERT_TRUE(writeBytes(folder + L"\\map.bin", "map"));
    // The download folder the engine made for a vehicle carries its own
    // version file and the engine's mark.
    ASSERT_TRUE(writeBytes(folder + L"\\" + update_list_builder::folderOf(car) + L".ver", "ver"));
    ASSERT_TRUE(writeBytes(folder + L"\\" + vercheck_manager::ownFolderMark(), ""));
    showResult(car, L'R');
    root->m_bTransferIdle = 1;

    command(IDC_CHECK_REMOVE_USB_COMMENT, STN_CLICKED);
    EXPECT_FALSE(finish->m_checkRemove.m_bChecked);
    EXPECT_FALSE(finish->m_stRemoveComment.m_bBold);
    EXPECT_EQ(root->m_bDestIsDrive, 0);
    const RECT box = childRectIn(finish->m_hWnd, finish->m_checkRemove.m_hWnd);
    clickAt(finish->m_hWnd, (box.left + box.right) / 2, (box.top + box.bottom) / 2);
    EXPECT_TRUE(finish->m_checkRemove.m_bChecked);
    EXPECT_TRUE(finish->m_stRemoveComment.m_bBold);
    EXPECT_EQ(root->m_bDestIsDrive, 1);

    command(IDC_BUTTON_FINISH);
    EXPECT_EQ(messageType(), SERVER_ERROR_ETC_PROGRAM_EXIT);
    EXPECT_TRUE(fileExists(folder + L"\\map.bin")) << "nothing is deleted before the exit is confirmed";
    answer(FALSE);
    EXPECT_TRUE(fileExists(folder + L"\\map.bin"));
    // Another vehicle chosen since: its folder is not the one to delete.
    reg->setCarInfo(addVehicle(L"Other", L"U", GB));
    EXPECT_EQ(root->m_bDestIsDrive, 0);
    root->cleanDownloadFolder();
    EXPECT_TRUE(fileExists(folder + L"\\map.bin"));

    // The confirmed exit's clean-up, with the box checked.
    showResult(car, L'R');
    command(IDC_BUTTON_FINISH);
    EXPECT_EQ(root->m_bDestIsDrive, 1);
    root->cleanDownloadFolder();
    EXPECT_FALSE(fileExists(folder + L"\\map.bin"));
}

TEST_F(FinishPage, AnswersTo1016And1018) {
    InfInfo* car = addVehicle(L"Copy", L"SD", GB);
    reg->setCarInfo(car);
    showResult(car, 0);
    finish->SendMessage(RWM_MESSAGE_RESULT, 1, SERVER_ETC_INSERT_MEDIUM);
    EXPECT_EQ(messageType(), SERVER_ETC_INSERT_MEDIUM) << "no drive: asked again";
    addDrive(L'R', 16000000);
    finish->SendMessage(RWM_MESSAGE_RESULT, 1, SERVER_ETC_INSERT_MEDIUM);
    EXPECT_EQ(messageType(), SERVER_ETC_SD_CARD_QUESTION);
    finish->SendMessage(RWM_MESSAGE_RESULT, 0, SERVER_ETC_SD_CARD_QUESTION);
    EXPECT_EQ(root->m_eBaseViewStatus, VIEW_STATE_CAR_FINISH);
    finish->SendMessage(RWM_MESSAGE_RESULT, 1, SERVER_ETC_SD_CARD_QUESTION);
    EXPECT_EQ(root->m_eBaseViewStatus, VIEW_STATE_CAR_REG);
}

TEST_F(FinishPage, FolderAndGuideButtonsOpenThroughTheLauncher) {
    std::vector<CString> opened;
    CGlobalFunc::setUrlLauncher([&](const CString& target) { opened.push_back(target); });
    InfInfo* car = addVehicle(L"Open", L"U", GB);
    const CString folder = m_data.path() + update_list_builder::folderOf(car);
    ASSERT_TRUE(CreateDirectoryW(folder.GetString(), nullptr));
    showResult(car, 0);
    command(IDC_BUTTON_FOLDER);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], folder);
    command(IDC_BUTTON_USB);
    command(IDC_BUTTON_INSTALL);
    ASSERT_EQ(opened.size(), 3u);
    EXPECT_EQ(opened[1].Left(4), CString(L"http"));
    EXPECT_EQ(opened[2].Left(4), CString(L"http"));
}

// A result without a loaded descriptor is refused and the shown one kept.
TEST_F(FinishPage, ResultWithoutVehicleKeepsThePreviousOne) {
    REQUIRE_STANDIN();
    showResult(addVehicle(L"Kept", L"U", GB), L'R');
    EXPECT_FALSE(finish->setResult(nullptr, 0));
    InfInfo unloaded;
    unloaded.setInfUrl(standin::url(L"/contents/inf/"));
    unloaded.setInfFileName(L"none.inf");
    EXPECT_FALSE(finish->setResult(&unloaded, 0));
    EXPECT_EQ(finish->m_strStorageCode, CString(L"U"));
    EXPECT_EQ(root->m_bDestIsDrive, 1);
}

}  // namespace
