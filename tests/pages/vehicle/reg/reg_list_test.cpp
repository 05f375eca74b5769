// The registration page's destination list: which lines a vehicle and the
// drives give, the drive events, the size texts, the stale selection, the
// name's font and the page without a vehicle.
#include "tests/pages/vehicle/reg/car_pages_fixture.h"

#include "foundation/code_tables.h"
#include "foundation/registered_messages.h"
#include "foundation/regsetting.h"
#include "pages/account/dlg_info_image_popup.h"
#include "pages/vehicle/dlg_car_change.h"
#include "pages/vehicle/dlg_car_reg.h"
#include "shell/dlg_root.h"
#include "shell/main_frame.h"
#include "tests/ui_bases/ui_env.h"
#include "ui/lang_library.h"
#include "ui/view_state.h"

namespace {

CString lang(int id) { return CLangLibrary::loadLangString(static_cast<UINT>(id)); }

using RegList = CarPages;

TEST_F(RegList, LinesFollowTheMediumTypeAndTheDrives) {
    const struct {
        const wchar_t* medium;
        bool drives;
        int lines;
        int selected;
    } cases[] = {
        {L"U", false, 1, 0},  // no drive: the folder line alone
        {L"U", true, 3, 1},   // folder, R and S; the first drive chosen
        {L"SD", true, 3, 1},
        {L"DVD", true, 1, 0},  // never a drive, whatever the watcher holds
        {L"", true, 1, 0},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << CW2A(c.medium) << " drives " << c.drives);
        m_drives.drives.erase(L'R');
        m_drives.drives.erase(L'S');
        if (c.drives) {
            addDrive(L'R', 8000000);
            addDrive(L'S', 16000000);
        }
        chooseAndShow(addVehicle(CString(L"Car") + CString(static_cast<wchar_t>(L'A' + n++)), c.medium, GB));
        ASSERT_EQ(lineCount(), c.lines);
        EXPECT_EQ(selectedLine(), c.selected);
        EXPECT_EQ(lineText(0).Find(lang(12124)), 0) << "the folder line comes first";
        if (c.lines == 3) {
            EXPECT_EQ(lineText(1).Left(3), CString(L"R: "));
            EXPECT_EQ(lineText(2).Left(3), CString(L"S: "));
        }
        EXPECT_EQ(note(), lang(12126));
        root->pushViewPage(VIEW_STATE_CAR_CHANGE, TRUE);
    }
}

TEST_F(RegList, DriveEventsSelectTheArrivedDriveOrTheFirstLeft) {
    addDrive(L'R', 8000000);
    chooseAndShow(addVehicle(L"Arrival", L"U", GB));
    ASSERT_EQ(lineCount(), 2);
    addDrive(L'S', 16000000);
    reg->SendMessage(RWM_USBDETECTOR_MESSAGE, L'S', 1);
    pumpFor(20);
    ASSERT_EQ(lineCount(), 3);
    EXPECT_EQ(selectedLine(), 2);
    EXPECT_EQ(lineText(2).Left(2), CString(L"S:"));

    m_drives.drives.erase(L'R');
    reg->SendMessage(RWM_USBDETECTOR_MESSAGE, L'R', 0);
    ASSERT_EQ(lineCount(), 2);
    EXPECT_EQ(selectedLine(), 1);
    EXPECT_EQ(lineText(1).Left(2), CString(L"S:"));
}

// The combo is walked while the folder line's free-space retries pump
// messages: a drive event handled in that wait rebuilds the list under the
// walk, which must neither crash nor show lines of different lists.
TEST_F(RegList, DriveEventDuringThePumpedFillLeavesAConsistentList) {
    addDrive(L'R', 8000000);
    addDrive(L'S', 16000000);
    chooseAndShow(addVehicle(L"Pumped", L"U", GB));
    ASSERT_EQ(lineCount(), 3);
    m_drives.drives[L'C'].spaceReadable = false;
    m_drives.drives.erase(L'S');
    reg->PostMessage(RWM_USBDETECTOR_MESSAGE, L'S', 0);
    reg->fillDiskCombo();
    pumpFor(50);
    EXPECT_EQ(reg->m_vecDiskList.size(), 2u);
    EXPECT_LE(lineCount(), 3);
    for (int i = 1; i < lineCount(); ++i) EXPECT_EQ(lineText(i).Find(L"S:"), -1) << i;
    EXPECT_NE(lineText(0).Find(L"0.00 MB"), -1) << "the failed queries leave both sizes at 0";
}

TEST_F(RegList, SizeTextsOfTheLines) {
    const struct {
        ULONGLONG totalKB;
        const wchar_t* size;
    } drives[] = {
        {1048576, L"(1024.0 MB)"},
        {1049600, L"( 1.0 GB)"},
        {1048576ULL * 1024, L"(1024.0 GB)"},  // 1 TiB: TB only above it
        {1048576ULL * 1024 * 5, L"( 5.0 TB)"},
    };
    for (const auto& d : drives) {
        const CString line = CDlgCarReg::makeDriveEntryText(L'E', d.totalKB);
        EXPECT_EQ(line.Left(3), CString(L"E: ")) << CW2A(line.GetString());
        EXPECT_EQ(line.Right(static_cast<int>(wcslen(d.size))), CString(d.size)) << CW2A(line.GetString());
    }
    const ULONGLONG bytes = 120ULL * 1024 * 1024 * 1024 + 512ULL * 1024 * 1024;
    EXPECT_EQ(CDlgCarReg::formatDiskSize(bytes), CString(L"120.50 GB"));
    useLanguage(REGION_ME, LANGUAGE_AR);
    EXPECT_EQ(CDlgCarReg::formatDiskSize(bytes), CString(L"GB 120.50"));
}

TEST_F(RegList, FolderWithoutDriveLetterShowsZeroSizes) {
    CRegSetting::setDataPath(L"\\\\server\\share\\updates");
    chooseAndShow(addVehicle(L"Network", L"U", GB));
    ASSERT_EQ(lineCount(), 1);
    const CString line = lineText(0);
    EXPECT_NE(line.Find(L"[0.00 MB]"), -1) << CW2A(line.GetString());
    EXPECT_EQ(line.Right(7), CString(L"0.00 MB"));
}

// A remembered index beyond the rebuilt lines clears the selection and
// keeps the note; the press then has no destination and asks nothing.
TEST_F(RegList, StaleSelectionClearsAndThePressAsksNothing) {
    addDrive(L'R', 8000000);
    addDrive(L'S', 16000000);
    chooseAndShow(addVehicle(L"Stale", L"U", GB));
    selectLine(2);
    const CString before = note();
    m_drives.drives.erase(L'R');
    m_drives.drives.erase(L'S');
    reg->setDiskListSD();
    reg->fillDiskCombo();
    EXPECT_EQ(selectedLine(), -1);
    EXPECT_EQ(note(), before);
    pressUpdate();
    EXPECT_EQ(messageType(), 0);
    EXPECT_EQ(root->m_eBaseViewStatus, VIEW_STATE_CAR_REG);
}

TEST_F(RegList, LongNamesTakeTheSmallFont) {
    const struct {
        const wchar_t* name;
        int size;
    } cases[] = {
        {L"Sedan", 22},
        {L"Navigation Head Unit With A Very Long Name For The Largest Screen Model 2026", 16},
    };
    for (const auto& c : cases) {
        chooseAndShow(addVehicle(c.name, L"U", GB));
        EXPECT_EQ(reg->m_stCarTitle.m_nTextSize, c.size) << CW2A(c.name);
        CString shown;
        reg->m_stCarTitle.GetWindowText(shown);
        EXPECT_EQ(shown, CString(c.name));
    }
}

// Without a vehicle the page shows the brand's pictures and sends the user
// to the search page at once.
TEST_F(RegList, NoVehicleGoesToTheSearchPage) {
    root->pushViewPage(VIEW_STATE_CAR_REG, TRUE);
    pumpFor(20);
    EXPECT_EQ(root->m_eBaseViewStatus, VIEW_STATE_CAR_CHANGE);
    // The search page comes up with its image guide over it.
    EXPECT_TRUE(root->m_pCurPage == static_cast<CBaseChildDialog*>(root->m_pPageCarChange) ||
                root->m_pCurPage == static_cast<CBaseChildDialog*>(root->m_pPageInfoImagePopup));
}

}  // namespace
