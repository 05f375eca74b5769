// The update button and the answers: one table from the press (and the
// answer) to the message shown, the statistics record and the hand-over;
// then the cases that need more than one step.
#include "tests/pages/vehicle/reg/car_pages_fixture.h"

#include "foundation/code_tables.h"
#include "foundation/lastmodeinfo.h"
#include "foundation/program_strings.h"
#include "foundation/registered_messages.h"
#include "foundation/regsetting.h"
#include "pages/account/dlg_info_image_popup.h"
#include "pages/account/dlg_page_config.h"
#include "pages/vehicle/dlg_car_reg.h"
#include "pages/vehicle/dlg_car_update.h"
#include "shell/dlg_page_message.h"
#include "shell/dlg_root.h"
#include "shell/main_frame.h"
#include "resources/resource.h"
#include "shell/message_types.h"
#include "tests/ui_bases/ui_env.h"
#include "tests/webclient/standin_client.h"
#include "ui/view_state.h"
#include "webclient/inet_codes.h"

#include <functional>

namespace {

using RegChecks = CarPages;

// The volume flag of a write-protected medium.
constexpr DWORD kReadOnlyVolume = 0x80000;

struct CheckCase {
    const char* name;
    ULONGLONG updateBytes;
    std::function<void(RegChecks&)> arrange;  // drives, free space, settings
    int line;                                 // 0 the folder, 1 drive R
    int questionOrRefusal;                    // type after the press
    bool answerOk;                            // then OK on the question
    int afterAnswer;                          // type after the answer; 0 none
    const wchar_t* record;                    // part of the new records; nullptr none
    bool handedOver;
};

TEST_F(RegChecks, PressAndAnswerTable) {
    const auto free10G = [](RegChecks& t) { t.setLocalFree(10 * GB); };
    const auto driveKB = [](ULONGLONG kb) { return [kb](RegChecks& t) { t.addDrive(L'R', kb); }; };
    const CheckCase cases[] = {
        {"folder asks 1012, OK hands over", GB, nullptr, 0, SERVER_ETC_SAVE_TO_HDD, true, 0,
         L"ST:HDD,VN:C]", true},
        {"drive asks 1013, OK hands over", GB, driveKB(16000000), 1, SERVER_ETC_SAVE_TO_SD, true, 0, L"ST:USB,VN:R]",
         true},
        // Local space: 10,000,000,000 free to the caller less the two reserves.
        {"5,904,000,000 bytes pass", 5904000000ULL,
         [=](RegChecks& t) { free10G(t); t.addDrive(L'R', 16000000); }, 1, SERVER_ETC_SAVE_TO_SD, false, 0, nullptr,
         false},
        {"one byte more is refused", 5904000001ULL,
         [=](RegChecks& t) { free10G(t); t.addDrive(L'R', 16000000); }, 1,
         SERVER_ERROR_UPDATE_CHECK_MEMORY_UPDATE_HDD, false, 0, L"HRS:7.95,HFS:0.00]", false},
        {"below the reserve everything is refused", 0,
         [](RegChecks& t) { t.setLocalFree(2047999999ULL); t.addDrive(L'R', 16000000); }, 1,
         SERVER_ERROR_UPDATE_CHECK_MEMORY_UPDATE_HDD, false, 0, L"HRS:2.05,HFS:-2.05]", false},
        {"folder on a network drive", GB,
         [](RegChecks& t) { t.m_drives.drives[L'C'].type = DRIVE_REMOTE; t.addDrive(L'R', 16000000); }, 1,
         SERVER_ERROR_UPDATE_CHECK_SAVE_DRIVE_UPDATE_HDD, false, 0, L"VN:C,ED:PATHTYPE]", false},
        {"folder refused by the path test", GB,
         [](RegChecks& t) {
             // A read-only folder outside the profile folders.
             CDlgPageConfig::setAttributeReader(
                 [](const CString&) -> DWORD { return FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY; });
             t.addDrive(L'R', 16000000);
         }, 1,
         SERVER_ERROR_UPDATE_CHECK_SAVE_FOLDER_UPDATE_HDD, false, 0, nullptr, false},
        {"folder missing", GB,
         [](RegChecks& t) {
             // Gone after the path test found it.
             CDlgPageConfig::setAttributeReader([](const CString&) -> DWORD { return FILE_ATTRIBUTE_DIRECTORY; });
             CRegSetting::setDataPath(t.m_data.path() + L"gone\\");
             t.addDrive(L'R', 16000000);
         }, 1,
         SERVER_ERROR_UPDATE_CHECK_SAVE_FOLDER_UPDATE_HDD, false, 0, L"VN:C,ED:SETERR]", false},
        // The 32 GiB rule: exactly 32 GiB passes, one KB more does not.
        {"32 GiB passes", GB, driveKB(33554432), 1, SERVER_ETC_SAVE_TO_SD, false, 0, nullptr, false},
        {"above 32 GiB is refused", GB, driveKB(33554433), 1, SERVER_ERROR_USB_IS_BIGSIZE, false, 0,
         L"VN:R,SERVER_ERROR_USB_IS_BIGSIZE]", false},
        // The medium: 4,000,000 KB take 3,584,000,000 bytes and no more.
        {"the medium takes the update", 3584000000ULL, driveKB(4000000), 1, SERVER_ETC_SAVE_TO_SD, true, 0, nullptr,
         true},
        {"the medium is too small", 3584000001ULL, driveKB(4000000), 1, SERVER_ETC_SAVE_TO_SD, true,
         SERVER_ERROR_UPDATE_CHECK_MEMORY_UPDATE_USB, L"VN:R,URS:3.81GB,UTS:3.81GB,UFS:3.81GB]", false},
        {"read-only medium not cleared", GB,
         [](RegChecks& t) { t.addDrive(L'R', 16000000).flags = kReadOnlyVolume; }, 1,
         SERVER_ETC_SAVE_TO_SD, true, SERVER_ERROR_USB_LOCK, L"VN:R,ED:LOCK]", false},
        {"offline at the answer", GB, [](RegChecks& t) { t.addDrive(L'R', 16000000); }, 1, SERVER_ETC_SAVE_TO_SD,
         true, SERVER_ERROR_NETWORK_FAIL, nullptr, false},
    };
    int n = 0;
    for (const CheckCase& c : cases) {
        SCOPED_TRACE(c.name);
        m_drives.drives.erase(L'R');
        setLocalFree(100 * GB);
        CRegSetting::setDataPath(m_data.path());
        CDlgPageConfig::setAttributeReader({});
        setOnline(frame, true);
        InfInfo* car = addVehicle(CString(L"Check") + CString(static_cast<wchar_t>(L'A' + n++)), L"U", c.updateBytes);
        // One model per vehicle of the table: the size sums its own file.
        car->setModelCode(CString(static_cast<wchar_t>(L'A' + n)));
        if (c.arrange) c.arrange(*this);
        chooseAndShow(car);
        selectLine(c.line);
        g_bSaveToHDD = c.line == 0 ? FALSE : TRUE;
        newRecords();
        pressUpdate();
        EXPECT_EQ(messageType(), c.questionOrRefusal);
        if (c.answerOk) {
            if (CString(c.name) == L"offline at the answer") setOnline(frame, false);
            answer(TRUE);
            EXPECT_EQ(messageType(), c.afterAnswer);
        }
        const CString records = newRecords();
        if (c.record) {
            EXPECT_NE(records.Find(c.record), -1) << CW2A(records.GetString());
        }
        EXPECT_EQ(root->m_eBaseViewStatus == VIEW_STATE_CAR_UPDATE, c.handedOver);
        if (c.handedOver) {
            EXPECT_EQ(g_bSaveToHDD, c.line == 0 ? TRUE : FALSE);
            EXPECT_EQ(root->m_pPageCarUpdate->m_pTargetInfo, car);
            EXPECT_EQ(root->m_pPageCarUpdate->m_chDrive, c.line == 0 ? 0 : L'R');
            LastModeInfo stored(CORP_TS, 0);
            ASSERT_TRUE(CRegSetting::getLastMode(stored));
            EXPECT_EQ(stored.strFirst, car->getInfFileName());
            EXPECT_EQ(stored.strSecond, car->getModelCode());
        }
        backToRegistration();
    }
}

TEST_F(RegChecks, RefusedSpaceSetsTheRequiredNumber) {
    setLocalFree(10 * GB);
    addDrive(L'R', 16000000);
    chooseAndShow(addVehicle(L"Number", L"U", 5904000001ULL));
    selectLine(1);
    pressUpdate();
    ASSERT_EQ(messageType(), SERVER_ERROR_UPDATE_CHECK_MEMORY_UPDATE_HDD);
    // need 7,952,000,001 bytes = 7583 MiB: round(7.583 + 0.5) + 1
    EXPECT_EQ(g_strMessageNumber, CString(L"9"));
}

TEST_F(RegChecks, DescriptorThatCannotBeLoadedAndVehicleWithoutMapUpdate) {
    REQUIRE_STANDIN();
    auto* unloaded = new InfInfo;
    unloaded->setInfFileName(L"missing.inf");
    // The stand-in answers 404: the record names the worker's error for
    // that status and the address.
    const CString folder = standin::url(L"/contents/inf/");
    unloaded->setInfUrl(folder);
    unloaded->setDeviceName(L"Unloaded");
    unloaded->setDeviceNameIntl(L"Unloaded");
    unloaded->setMediaType(L"U");
    frame->m_pInfInfoList->insertSorted(unloaded);
    chooseAndShow(unloaded);
    pressUpdate();
    EXPECT_EQ(messageType(), SERVER_ERROR_UPDATE_CHECK_INF_LOAD);
    CString records = newRecords();
    CString failure;
    failure.Format(L"PS:1,ED:%d,", static_cast<int>(INET_ERROR_HTTP_STATUS));
    EXPECT_NE(records.Find(failure), -1) << CW2A(records.GetString());
    EXPECT_NE(records.Find(L"FP:" + folder + L"missing.inf]"), -1) << CW2A(records.GetString());
    backToRegistration();

    chooseAndShow(addVehicle(L"NoMap", L"U", GB, 0));
    pressUpdate();
    EXPECT_EQ(messageType(), SERVER_ETC_NOT_SUPPORT_MAP_UPDATE);
    records = newRecords();
    EXPECT_NE(records.Find(L",NAME:NoMap]"), -1) << CW2A(records.GetString());
}

TEST_F(RegChecks, LargeMediaPassForTheHeadUnitsThatReadThem) {
    addDrive(L'R', 33554433);
    for (int type : {10, 13, 14, 15, 16, 11}) {
        SCOPED_TRACE(type);
        InfInfo* car = addVehicle(L"Type", L"U", GB, 1, type);
        chooseAndShow(car);
        selectLine(1);
        pressUpdate();
        EXPECT_EQ(messageType(), type == 11 ? SERVER_ERROR_USB_IS_BIGSIZE : SERVER_ETC_SAVE_TO_SD);
        backToRegistration();
    }
}

// The drive left between the question and OK: the answer finds it gone.
TEST_F(RegChecks, DriveGoneAtTheAnswerShowsRemoveFail) {
    addDrive(L'R', 16000000);
    chooseAndShow(addVehicle(L"Gone", L"U", GB));
    selectLine(1);
    pressUpdate();
    ASSERT_EQ(messageType(), SERVER_ETC_SAVE_TO_SD);
    m_drives.drives.erase(L'R');
    backToRegistration();
    reg->SendMessage(RWM_MESSAGE_RESULT, 1, SERVER_ETC_SAVE_TO_SD);
    EXPECT_EQ(messageType(), SERVER_ERROR_USB_REMOVE_FAIL);
    EXPECT_NE(root->m_eBaseViewStatus, VIEW_STATE_CAR_UPDATE);
}

// OK on message 20 while offline shows it again; once online it does
// nothing more.
TEST_F(RegChecks, OfflineAnswerRepeatsTheNetworkMessage) {
    chooseAndShow(addVehicle(L"Offline", L"U", GB));
    pressUpdate();
    ASSERT_EQ(messageType(), SERVER_ETC_SAVE_TO_HDD);
    setOnline(frame, false);
    answer(TRUE);
    ASSERT_EQ(messageType(), SERVER_ERROR_NETWORK_FAIL);
    reg->SendMessage(RWM_MESSAGE_RESULT, 1, SERVER_ERROR_NETWORK_FAIL);
    EXPECT_EQ(messageType(), SERVER_ERROR_NETWORK_FAIL);
    backToRegistration();
    setOnline(frame, true);
    reg->SendMessage(RWM_MESSAGE_RESULT, 1, SERVER_ERROR_NETWORK_FAIL);
    EXPECT_EQ(messageType(), 0);
    EXPECT_EQ(root->m_eBaseViewStatus, VIEW_STATE_CAR_REG);
}

// An earlier download of the vehicle in the folder needs no room there:
// neither the press nor the answer checks the local disk.
TEST_F(RegChecks, EarlierDownloadSkipsTheLocalCheckAtPressAndAnswer) {
    setLocalFree(GB);
    addDrive(L'R', 16000000);
    chooseAndShow(addVehicle(L"Again", L"U", GB));
    reg->m_vecDiskList[0].nMark = 1;
    selectLine(1);
    pressUpdate();
    ASSERT_EQ(messageType(), SERVER_ETC_SAVE_TO_SD);
    EXPECT_EQ(frame->m_bDownloadReported.load(), 1);
    answer(TRUE);
    EXPECT_EQ(root->m_eBaseViewStatus, VIEW_STATE_CAR_UPDATE);
}

// SD media: the folder question sits behind the image guide, the drive
// question under it; Cancel on a question changes nothing.
TEST_F(RegChecks, SdMediaShowTheImageGuideAndCancelKeepsThePage) {
    addDrive(L'R', 16000000);
    chooseAndShow(addVehicle(L"Card", L"SD", GB));
    for (int line : {0, 1}) {
        SCOPED_TRACE(line);
        selectLine(line);
        pressUpdate();
        EXPECT_EQ(messageType(), line == 0 ? SERVER_ETC_SAVE_TO_HDD : SERVER_ETC_SAVE_TO_SD);
        EXPECT_EQ(root->m_pCurPage, static_cast<CBaseChildDialog*>(root->m_pPageInfoImagePopup));
        EXPECT_TRUE(root->m_pPageInfoImagePopup->m_bAutoSkip);
        answer(FALSE);
        EXPECT_EQ(root->m_eBaseViewStatus, VIEW_STATE_CAR_REG);
        backToRegistration();
    }
    // The listener stays: a drive event still reaches the page.
    addDrive(L'S', 16000000);
    root->m_pPageCarReg->SendMessage(RWM_USBDETECTOR_MESSAGE, L'S', 1);
    EXPECT_EQ(lineCount(), 3);
}

// The checks pump messages (here the failing free-space query): a second
// press in that time must not ask a second time or hand over twice.
TEST_F(RegChecks, SecondPressWhileTheChecksPumpIsIgnored) {
    addDrive(L'R', 16000000);
    chooseAndShow(addVehicle(L"Twice", L"U", GB));
    selectLine(1);
    m_drives.drives[L'C'].spaceReadable = false;
    newRecords();
    // The queued click is dispatched by the first press's pumped wait; the
    // first press returns only after it.
    const LPARAM button = reinterpret_cast<LPARAM>(reg->m_btnCarUpdate.m_hWnd);
    reg->PostMessage(WM_COMMAND, MAKEWPARAM(IDC_BUTTON_CAR_UPDATE, BN_CLICKED), button);
    reg->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_BUTTON_CAR_UPDATE, BN_CLICKED), button);
    MSG left{};
    EXPECT_FALSE(::PeekMessageW(&left, reg->m_hWnd, WM_COMMAND, WM_COMMAND, PM_NOREMOVE))
        << "the second click came during the first press";
    const CString records = newRecords();
    int refusals = 0;
    for (int at = records.Find(L",HRS:"); at >= 0; at = records.Find(L",HRS:", at + 1)) ++refusals;
    EXPECT_EQ(refusals, 1) << CW2A(records.GetString());
    EXPECT_EQ(messageType(), SERVER_ERROR_UPDATE_CHECK_MEMORY_UPDATE_HDD);
}

}  // namespace
