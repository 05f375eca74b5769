// The update page under the real root dialog and main frame: the display
// mode each tick chooses, the displays read back by control id, the page's
// preparation, the hand-over of the target, the phase notices and the
// message lines, language changes, resources over many ticks, and pictures
// of every display in Korean, English and Arabic.
#include "tests/shell_frame/update_page_fixture.h"

#include <gtest/gtest.h>
#include <psapi.h>
#include <string>

using namespace update_page_test;

namespace {


TEST_F(UpdatePage, EachTickChoosesTheModeFromThePhaseFlags) {
    const struct {
        bool paused, check, download, unzip, copy, copyStep;
        int before, mode;
    } cases[] = {
        {true, true, true, true, true, true, UPDATE_PROGRESS_STATE_IDLE, UPDATE_PROGRESS_STATE_PAUSE},
        {false, true, true, true, true, false, UPDATE_PROGRESS_STATE_IDLE, UPDATE_PROGRESS_STATE_INIT},
        {false, false, true, true, true, false, UPDATE_PROGRESS_STATE_IDLE, UPDATE_PROGRESS_STATE_DOWNLOAD},
        {false, false, false, true, true, false, UPDATE_PROGRESS_STATE_IDLE, UPDATE_PROGRESS_STATE_UNZIP},
        {false, false, false, false, true, false, UPDATE_PROGRESS_STATE_IDLE, UPDATE_PROGRESS_STATE_COPY},
        {false, false, false, false, true, true, UPDATE_PROGRESS_STATE_IDLE, UPDATE_PROGRESS_STATE_COPY_STEP},
        {false, false, false, false, false, false, UPDATE_PROGRESS_STATE_COPY, UPDATE_PROGRESS_STATE_IDLE},
        // The copy-step flag alone keeps whatever the mode was.
        {false, false, false, false, false, true, UPDATE_PROGRESS_STATE_UNZIP, UPDATE_PROGRESS_STATE_UNZIP},
    };
    for (const auto& c : cases) {
        root->m_bUpdateHeld = c.paused ? 1 : 0;
        setPhases(c.check, c.download, c.unzip, c.copy, c.copyStep);
        page->m_nMsgType = c.before;
        page->SetTimer(UPDATE_TIMER_PROGRESS, 100000, nullptr);
        tick();
        EXPECT_EQ(c.mode, page->m_nMsgType.load()) << c.mode;
        // A paused tick stops timer 1; other ticks leave it running.
        EXPECT_EQ(!c.paused, page->KillTimer(UPDATE_TIMER_PROGRESS) != FALSE) << c.mode;
    }
    root->m_bUpdateHeld = 0;
}

TEST_F(UpdatePage, DownloadDisplayAndItsRate) {
    showPage();
    setPhases(false, true, false, false, false);
    board(BOARD_DOWNLOAD).setTotalSize(1000 * MB);
    board(BOARD_DOWNLOAD).setCurrentSize(100 * MB);
    tick();
    board(BOARD_DOWNLOAD).setCurrentSize(300 * MB);
    tick();
    EXPECT_EQ(UPDATE_PROGRESS_STATE_DOWNLOAD, page->m_nMsgType.load());
    EXPECT_EQ(lang(12261), textOf(IDC_STATIC_STATUS));
    EXPECT_EQ(L"30%", textOf(IDC_STATIC_PERCENT));
    EXPECT_EQ(lang(12275) + L": 300 / 1,000 (MB)", textOf(IDC_STATIC_DOWNLOADED));
    // (0 + 200 MiB) / 2 a second: 104,857.6 KB/s.
    EXPECT_EQ(lang(12277) + L": 102.4 MB/s", textOf(IDC_STATIC_TRANSFER_RATE));
    // 700 MiB at 100 MiB/s: 7 seconds.
    EXPECT_EQ(lang(12279) + L": 7 " + lang(12271), textOf(IDC_STATIC_FILE_TIME));
    EXPECT_EQ(lang(12281) + L": " + lang(12278), textOf(IDC_STATIC_FILE_COPY));
    EXPECT_TRUE(visible(IDC_STATIC_PERCENT));
    EXPECT_FALSE(visible(IDC_STATIC_RESUMEUPDATE));

    // The verify ticker in the download mode takes no second sample.
    const double samples = page->m_download.samples;
    board(BOARD_DOWNLOAD).setCurrentSize(400 * MB);
    tick(UPDATE_TIMER_VERIFY);
    EXPECT_EQ(samples, page->m_download.samples);
    EXPECT_EQ(L"30%", textOf(IDC_STATIC_PERCENT));

    // With the local folder as destination the copy line goes.
    g_bSaveToHDD = TRUE;
    tick();
    EXPECT_FALSE(visible(IDC_STATIC_FILE_COPY));
}

TEST_F(UpdatePage, CopyExtractionStepAndPausedDisplays) {
    showPage();
    // Copy: 300 of 1,000 MiB, nothing verified yet (no rate, no figure).
    setPhases(false, false, false, true, false);
    board(BOARD_COPY_TOTALS).setTotalSize(1000 * MB);
    board(BOARD_COPY_TOTALS).setCurrentSize(300 * MB);
    const ULONGLONG copied = g_nCopiedBytes, copyMs = g_nCopyMillis, verifyMs = g_nVerifyMillis;
    g_nCopiedBytes = 0;
    g_nCopyMillis = 0;
    g_nVerifyMillis = 0;
    tick();
    EXPECT_EQ(lang(12284), textOf(IDC_STATIC_STATUS));
    EXPECT_EQ(L"30%", textOf(IDC_STATIC_PERCENT));
    EXPECT_EQ(lang(12275) + L": 300 / 1,000 (MB)", textOf(IDC_STATIC_DOWNLOADED));
    EXPECT_EQ(lang(12277) + L": " + lang(12286), textOf(IDC_STATIC_TRANSFER_RATE));
    EXPECT_EQ(lang(12279) + L": " + lang(12286), textOf(IDC_STATIC_FILE_TIME));
    EXPECT_EQ(lang(12281) + L": " + lang(12280), textOf(IDC_STATIC_FILE_COPY));
    // A rate of 7 MiB/s over 700 MiB: 100 seconds, one minute. Done = total
    // stays at 99 %.
    g_nCopiedBytes = 7 * MB;
    g_nCopyMillis = 600;
    g_nVerifyMillis = 400;
    tick();
    EXPECT_EQ(lang(12281) + L": 1 " + lang(9907), textOf(IDC_STATIC_FILE_COPY));
    board(BOARD_COPY_TOTALS).setCurrentSize(1000 * MB);
    tick();
    EXPECT_EQ(L"99%", textOf(IDC_STATIC_PERCENT));
    // A copy total below 1 MiB.
    board(BOARD_COPY_TOTALS).setTotalSize(1000);
    tick();
    EXPECT_EQ(lang(12265) + L": " + lang(12278), textOf(IDC_STATIC_DOWNLOADED));
    g_nCopiedBytes = copied;
    g_nCopyMillis = copyMs;
    g_nVerifyMillis = verifyMs;

    // Extraction: 50,000 bytes, 25,000 done.
    setPhases(false, false, true, true, false);
    board(BOARD_UNZIP).setTotalSize(50000);
    board(BOARD_UNZIP).setCurrentSize(25000);
    board(BOARD_DOWNLOAD).setTotalSize(1536 * MB);
    tick();
    EXPECT_EQ(lang(12283), textOf(IDC_STATIC_STATUS));
    EXPECT_EQ(L"51%", textOf(IDC_STATIC_PERCENT));
    EXPECT_EQ(lang(12275) + L": 1,536 / 1,536 (MB)", textOf(IDC_STATIC_DOWNLOADED));
    EXPECT_EQ(lang(12281) + L": " + lang(12276), textOf(IDC_STATIC_FILE_COPY));

    // Copy-step with no package total: status and copy line change, the
    // percentage and sizes keep theirs.
    setPhases(false, false, false, true, true);
    tick();
    EXPECT_EQ(lang(12291), textOf(IDC_STATIC_STATUS));
    EXPECT_EQ(L"51%", textOf(IDC_STATIC_PERCENT));
    board(BOARD_PACKAGE_COPY).setTotalSize(400);
    board(BOARD_PACKAGE_COPY).setCurrentSize(100);
    tick();
    EXPECT_EQ(L"25%", textOf(IDC_STATIC_PERCENT));
    EXPECT_EQ(100, static_cast<int>(page->m_progress.m_fPos));

    // Format and check.
    page->m_nMsgType = UPDATE_PROGRESS_STATE_FORMAT;
    page->showStepProgress();
    EXPECT_EQ(lang(12292), textOf(IDC_STATIC_STATUS));
    EXPECT_FALSE(visible(IDC_STATIC_DOWNLOADED));
    EXPECT_FALSE(visible(IDC_STATIC_TRANSFER_RATE));
    page->m_nMsgType = UPDATE_PROGRESS_STATE_INIT;
    page->showStepProgress();
    EXPECT_EQ(lang(12274), textOf(IDC_STATIC_STATUS));

    // Paused.
    root->m_bUpdateHeld = 1;
    page->showStepProgress();
    EXPECT_EQ(lang(12287), textOf(IDC_STATIC_STATUS));
    EXPECT_EQ(lang(12288), textOf(IDC_STATIC_MSG1));
    EXPECT_EQ(L"", textOf(IDC_STATIC_MSG2));
    for (int id : {IDC_STATIC_DOWNLOADED, IDC_STATIC_TRANSFER_RATE, IDC_STATIC_FILE_TIME, IDC_STATIC_FILE_COPY,
                   IDC_STATIC_PERCENT}) {
        EXPECT_FALSE(visible(id)) << id;
    }
}

TEST_F(UpdatePage, InitPagePreparesTheRunAndPressesNext) {
    // Without the frame's current entry nothing happens.
    frame->Cur_inf = nullptr;
    root->m_bUpdateHeld = 1;
    EXPECT_FALSE(page->initPage());
    EXPECT_EQ(1, root->m_bUpdateHeld);
    EXPECT_FALSE(page->KillTimer(UPDATE_TIMER_PROGRESS));
    frame->Cur_inf = &m_entry;

    const struct {
        int corp, region;
        int hold;
        COLORREF colour;
    } brands[] = {{CORP_TS, REGION_US, IDB_UPDATE_HOLD_TS, 0x4F6BA3},
                  {CORP_LV, REGION_US, IDB_UPDATE_HOLD_LV_NA, 0x2B16BB},
                  {CORP_LV, REGION_CA, IDB_UPDATE_HOLD_LV_NA, 0x2B16BB},
                  {CORP_LV, REGION_KR, IDB_UPDATE_HOLD_LV, 0x2900EA},
                  {CORP_DR, REGION_US, IDB_UPDATE_HOLD_DR, 0x5F2C00}};
    for (const auto& b : brands) {
        // The brand is kept per region.
        CRegSetting::setRegion(b.region);
        CRegSetting::setLastUserCorp(b.corp);
        root->m_bUpdateHeld = 1;
        root->m_bTransferIdle = 0;
        page->m_bFormatted = TRUE;
        page->m_nMsgType = UPDATE_PROGRESS_STATE_IDLE;
        // What an earlier run left in the engine.
        function_manager* engine = function_manager::getInstance();
        engine->m_nFormatting = 0;
        engine->m_nPaused = 1;
        engine->m_nDownloadDone = 1;
        const unsigned runBefore = engine->m_nRun.load();
        ASSERT_TRUE(page->initPage());
        EXPECT_GT(engine->m_nRun.load(), runBefore) << "commands of the earlier run are dropped";
        EXPECT_EQ(0, engine->m_nPaused.load());
        EXPECT_EQ(0, engine->m_nDownloadDone.load());
        EXPECT_EQ(FM_STATE_IDLE, engine->m_nState.load());
        EXPECT_EQ(0, root->m_bUpdateHeld);
        EXPECT_EQ(1, root->m_bTransferIdle);
        EXPECT_FALSE(page->m_bFormatted);
        EXPECT_EQ(UPDATE_PROGRESS_STATE_INIT, page->m_nMsgType.load());
        EXPECT_EQ(b.colour, page->m_stPercent.m_textColor) << b.corp << " " << b.region;
        EXPECT_EQ(b.colour, page->m_progress.m_barColor);
        EXPECT_EQ(page->m_btnHold.m_nFrameWidth, 220);
        ASSERT_TRUE(page->m_btnHold.image());
        Gdiplus::Color pixel;
        page->m_btnHold.image()->GetPixel(110, 25, &pixel);
        EXPECT_EQ(skinColour(b.hold), static_cast<COLORREF>(RGB(pixel.GetR(), pixel.GetG(), pixel.GetB())));
        EXPECT_TRUE(page->KillTimer(UPDATE_TIMER_PROGRESS)) << "timer 1 runs";
        MSG next{};
        EXPECT_TRUE(::PeekMessageW(&next, page->GetSafeHwnd(), WM_COMMAND, WM_COMMAND, PM_REMOVE));
        EXPECT_EQ(static_cast<WPARAM>(IDC_BUTTON_UPDATE_NEXT), next.wParam);
        EXPECT_EQ(0, next.lParam);
    }
    CRegSetting::setLastUserCorp(CORP_TS);
    CRegSetting::setRegion(REGION_US);
}

TEST_F(UpdatePage, HandOverOfTheTargetAndShowingWhilePaused) {
    page->setUpdateTarget(&m_entry, L'R');
    EXPECT_EQ(CString(L"R:\\"), copy_manager::getInstance()->getBasePath());
    EXPECT_EQ(CString(L"R:\\"), frame->m_strSelectedDrive);
    ASSERT_TRUE(frame->m_pSelectedDriveInfo);
    EXPECT_EQ(CString(L"R:\\"), root->m_pPageCarFinish->m_strDriveRoot);
    EXPECT_EQ(&m_entry, page->m_pCarInfo);
    EXPECT_EQ(lang(12564), textOf(IDC_STATIC_CAR_TITLE_2_1));
    EXPECT_EQ(0, textOf(IDC_STATIC_CAR_TITLE_2).Find(lang(12119) + L": "));

    // A device type outside 2 to 16 leaves its line empty.
    InfInfo other;
    other.setDeviceType(17);
    page->setUpdateTarget(&other, L'R');
    EXPECT_EQ(L"", textOf(IDC_STATIC_CAR_TITLE_2_1));

    page->setUpdateTarget(nullptr, 0);
    EXPECT_EQ(CString(), copy_manager::getInstance()->getBasePath());
    EXPECT_TRUE(frame->m_strSelectedDrive.IsEmpty());
    EXPECT_EQ(nullptr, page->m_pTargetInfo);
    EXPECT_EQ(0, page->m_chDrive);

    // Showing the page: the destination in GB; while paused Hold stays off.
    showPage();
    EXPECT_EQ(L"R: " + lang(12125) + L" (29.8 GB)", textOf(IDC_STATIC_CAR_SAVE_PATH));
    EXPECT_EQ(L"Navigation AVN 5", textOf(IDC_STATIC_CAR_TITLE_1));
    page->showPage(FALSE);
    page->m_nMsgType = UPDATE_PROGRESS_STATE_PAUSE;
    root->m_bUpdateHeld = 1;
    page->m_tCopyStart = 1234;
    page->showPage(TRUE);
    pumpMessages(30);
    EXPECT_FALSE(page->m_btnHold.IsWindowEnabled());
    EXPECT_FALSE(page->m_btnHold.m_bEnabled);
    EXPECT_EQ(0, page->m_tCopyStart.load());
    EXPECT_EQ(lang(12287), textOf(IDC_STATIC_STATUS));

    // While the copy-failure message is up its retry keeps the copy start,
    // through hiding and showing.
    page->showPage(FALSE);
    CDlgPageMessage* copyFail = root->getMessagePage(999);
    ASSERT_TRUE(copyFail);
    copyFail->setMessageType(SERVER_ERROR_COPY_FAIL, page);
    // Up, as showing it leaves it, without leaving the update page.
    copyFail->m_bClosed = FALSE;
    ASSERT_EQ(copyFail, root->findMessagePage(SERVER_ERROR_COPY_FAIL));
    page->m_tCopyStart = 1234;
    page->showPage(TRUE);
    pumpMessages(30);
    EXPECT_EQ(1234, page->m_tCopyStart.load());
    page->showPage(FALSE);
    EXPECT_EQ(1234, page->m_tCopyStart.load());
    copyFail->closePage(TRUE);
    ASSERT_FALSE(root->findMessagePage(SERVER_ERROR_COPY_FAIL));
    page->showPage(TRUE);
    pumpMessages(30);
    EXPECT_EQ(0, page->m_tCopyStart.load());

    // The folder destination: drive and word; the copy line is a blank.
    root->m_bUpdateHeld = 0;
    page->showPage(FALSE);
    g_bSaveToHDD = TRUE;
    frame->m_strDownloadFolder = L"D:\\Kestrune\\Download";
    page->setUpdateTarget(&m_entry, 0);
    page->showPage(TRUE);
    pumpMessages(30);
    EXPECT_EQ(L"D: " + lang(12124), textOf(IDC_STATIC_CAR_SAVE_PATH));
    EXPECT_EQ(L" ", textOf(IDC_STATIC_FILE_COPY));
}

TEST_F(UpdatePage, PhaseNoticesSetTheFlagsAndLayOutTheMessageLines) {
    showPage();
    const struct {
        int phase;
        bool check, download, unzip, copy, copyStep;
    } phases[] = {{TRANSFER_PHASE_CHECK, true, false, false, false, false},
                  {TRANSFER_PHASE_DOWNLOAD, false, true, false, false, false},
                  {TRANSFER_PHASE_COPY, false, false, false, true, false},
                  {TRANSFER_PHASE_COPY_STEP, false, false, false, false, true},
                  {TRANSFER_PHASE_UNZIP, false, false, true, true, false},
                  {3, false, false, false, false, false},
                  {TRANSFER_PHASE_DONE, false, false, false, false, false}};
    for (const auto& p : phases) {
        setPhases(false, false, false, false, false);
        page->SendMessage(UM_TRANSFER_PHASE, p.phase, 0);
        EXPECT_EQ(p.check, page->m_bCheckPhase != FALSE) << p.phase;
        EXPECT_EQ(p.download, page->m_bDownloadPhase != FALSE) << p.phase;
        EXPECT_EQ(p.unzip, page->m_bUnzipPhase != FALSE) << p.phase;
        EXPECT_EQ(p.copy, page->m_bCopyPhase != FALSE) << p.phase;
        EXPECT_EQ(p.copyStep, page->m_bCopyStepPhase != FALSE) << p.phase;
        EXPECT_EQ(lang(12268), textOf(IDC_STATIC_MSG1)) << p.phase;
    }

    CRect client;
    page->GetClientRect(&client);
    const struct {
        int language;
        bool paused;
        int msg1Y, msg2Y, msg1Width;
    } layouts[] = {{LANGUAGE_KO, false, client.Height() - 121, client.Height() - 106, 470},
                   {LANGUAGE_ES, false, client.Height() - 141, client.Height() - 120, 470},
                   {LANGUAGE_EN, false, client.Height() - 135, client.Height() - 110, 470},
                   {LANGUAGE_EN, true, client.Height() - 210, client.Height() - 185, 700}};
    for (const auto& l : layouts) {
        CRegSetting::setLanguage(l.language);
        root->m_bUpdateHeld = l.paused ? 1 : 0;
        page->SendMessage(UM_TRANSFER_PHASE, TRANSFER_PHASE_DOWNLOAD, 0);
        const RECT msg1 = rectIn(page->GetSafeHwnd(), page->m_stMsg1.GetSafeHwnd());
        const RECT msg2 = rectIn(page->GetSafeHwnd(), page->m_stMsg2.GetSafeHwnd());
        EXPECT_EQ(l.msg1Y, msg1.top) << l.language << l.paused;
        EXPECT_EQ(l.msg2Y, msg2.top) << l.language << l.paused;
        EXPECT_EQ(l.msg1Width, msg1.right - msg1.left);
        EXPECT_EQ(160, msg1.left);
        if (l.paused) {
            EXPECT_FALSE(visible(IDC_STATIC_PERCENT));
            EXPECT_FALSE(visible(IDC_STATIC_DOWNLOADED));
            EXPECT_EQ(lang(12287), textOf(IDC_STATIC_STATUS));
        } else {
            const RECT status = rectIn(page->GetSafeHwnd(), page->m_stStatus.GetSafeHwnd());
            EXPECT_EQ(318, status.top);
            // Never under the percentage at the row's right end.
            EXPECT_LT(status.right, rectIn(page->GetSafeHwnd(), page->m_stPercent.GetSafeHwnd()).left);
        }
    }
    root->m_bUpdateHeld = 0;
    CRegSetting::setLanguage(LANGUAGE_EN);
}

TEST_F(UpdatePage, LanguageChangeLaysThePageOutAgain) {
    const CString longName = L"Navigation AVN 5 Widescreen Premium (Generation 5 Wide Premium Edition Long)";
    m_entry.setDeviceName(longName);
    m_entry.setDeviceNameIntl(longName);
    showPage();
    const RECT before = rectIn(page->GetSafeHwnd(), page->m_stFileTime.GetSafeHwnd());
    EXPECT_EQ(513, before.left);
    setLanguage(REGION_ME, LANGUAGE_AR);
    frame->broadcastChangeLanguage();
    pumpMessages(30);
    CRect client;
    page->GetClientRect(&client);
    const RECT after = rectIn(page->GetSafeHwnd(), page->m_stFileTime.GetSafeHwnd());
    EXPECT_EQ(client.Width() - 513 - 350, after.left) << "mirrored";
    EXPECT_EQ(lang(12279) + L": " + lang(12280), textOf(IDC_STATIC_FILE_TIME));
    EXPECT_EQ(L"%0", CDlgCarUpdate::formatPercent(0));
    setLanguage(REGION_US, LANGUAGE_EN);
    frame->broadcastChangeLanguage();
    pumpMessages(30);
    EXPECT_EQ(513, rectIn(page->GetSafeHwnd(), page->m_stFileTime.GetSafeHwnd()).left);
    // The long name is broken once, however often the language changes.
    EXPECT_EQ(L"Navigation AVN 5 Widescreen Premium \n(Generation 5 Wide Premium Edition Long)",
              textOf(IDC_STATIC_CAR_TITLE_1));
    EXPECT_EQ(105, rectIn(page->GetSafeHwnd(), page->m_stDeviceTypeName.GetSafeHwnd()).top);
}

TEST_F(UpdatePage, TicksAndPaintsHoldNoResources) {
    showPage();
    setPhases(false, true, false, false, false);
    board(BOARD_DOWNLOAD).setTotalSize(4000 * MB);
    auto run = [&](int ticks, int paints) {
        for (int i = 0; i < ticks; ++i) {
            board(BOARD_DOWNLOAD).addCurrentSize(static_cast<LONGLONG>(MB));
            tick();
        }
        for (int i = 0; i < paints; ++i) {
            page->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        }
    };
    run(100, 50);  // caches and fonts settle
    const long gdi = CGdiObject::liveCount(), dcs = CDC::liveCount();
    PROCESS_MEMORY_COUNTERS before{sizeof(before)};
    GetProcessMemoryInfo(GetCurrentProcess(), &before, sizeof(before));
    run(3600, 1000);
    PROCESS_MEMORY_COUNTERS after{sizeof(after)};
    GetProcessMemoryInfo(GetCurrentProcess(), &after, sizeof(after));
    EXPECT_EQ(gdi, CGdiObject::liveCount());
    EXPECT_EQ(dcs, CDC::liveCount());
    EXPECT_LT(after.PagefileUsage, before.PagefileUsage + 4 * MB);
}

// Pictures of every display, the destinations, the device names and the
// brands, in Korean, English and Arabic. Checked by the colours of the
// Hold strip and of the bullets, and by the mirrored places in Arabic.
TEST_F(UpdatePage, Screenshots) {
    const struct {
        const wchar_t* tag;
        int region, language;
    } languages[] = {{L"ko", REGION_KR, LANGUAGE_KO}, {L"en", REGION_US, LANGUAGE_EN}, {L"ar", REGION_ME, LANGUAGE_AR}};
    m_drives.drives[L'S'] = FakeDrive{DRIVE_REMOVABLE, true, 512 * MB, 512 * MB};
    m_drives.drives[L'T'] = FakeDrive{DRIVE_REMOVABLE, true, 2048ULL * 1024 * MB, 2048ULL * 1024 * MB};
    const ULONGLONG copied = g_nCopiedBytes, copyMs = g_nCopyMillis, verifyMs = g_nVerifyMillis, large = g_nLargeCopyFileSize;
    for (const auto& l : languages) {
        m_entry.setDeviceName(l.language == LANGUAGE_KO ? L"내비게이션 AVN 5" : L"Navigation AVN 5");
        m_entry.setDeviceNameIntl(L"Navigation AVN 5");
        setLanguage(l.region, l.language);
        CRegSetting::setLastUserCorp(CORP_TS);
        CFontCache::selectFaceForCorp(CORP_TS);
        frame->broadcastChangeLanguage();
        const bool arabic = l.language == LANGUAGE_AR;
        g_bSaveToHDD = FALSE;
        showPage(L'R');
        ASSERT_TRUE(page->initPage());
        settle();
        page->requestDownloadRestart();
        page->m_tCopyStart = 0;
        auto shoot = [&](const CString& what, const CString& shows, bool bullets) {
            CString file;
            file.Format(L"update_%s_%s", l.tag, what.GetString());
            CString line;
            line.Format(L"update page (%s), %s%s", l.tag, shows.GetString(),
                        arabic ? L"; mirrored: picture on the right, figures on the left, bullets right of the lines"
                               : L"");
            pumpMessages(30);
            WindowShot shot = saveScreenshot(root->m_hWnd, file, line, true);
            if (!bullets) return shot;
            // The bullet stands beside the sizes line, on its outer side.
            const RECT sizes = rectIn(root->m_hWnd, page->m_stDownloaded.GetSafeHwnd());
            const COLORREF bullet = skinColour(arabic ? IDB_UPDATE_BULLET_RTL : 474);
            const RECT beside = arabic ? RECT{sizes.right, sizes.top - 4, sizes.right + 12, sizes.bottom + 8}
                                       : RECT{sizes.left - 12, sizes.top - 4, sizes.left, sizes.bottom + 8};
            EXPECT_GT(shot.count(bullet, beside), 20) << CStringA(file).GetString();
            return shot;
        };
        auto held = [&](bool on) { root->m_bUpdateHeld = on ? 1 : 0; };

        page->m_nMsgType = UPDATE_PROGRESS_STATE_INIT;
        page->showStepProgress();
        shoot(L"1_precheck", L"pre-check: status 'Preparing...', figures not yet known, Hold bottom right", false);

        setPhases(false, true, false, false, false);
        board(BOARD_DOWNLOAD).setTotalSize(1000 * MB);
        board(BOARD_DOWNLOAD).setCurrentSize(297 * MB);
        tick();
        board(BOARD_DOWNLOAD).setCurrentSize(300 * MB);
        tick();
        EXPECT_EQ(arabic ? L"%30" : L"30%", textOf(IDC_STATIC_PERCENT));
        WindowShot download = shoot(L"2_download",
                                    L"download at 30 %: bar 30 % in the brand colour, 300 / 1,000 (MB), 1.5 MB/s, "
                                    L"7 minutes left, bullets before the four lines",
                                    true);
        const RECT hold = rectIn(root->m_hWnd, page->m_btnHold.GetSafeHwnd());
        EXPECT_GT(download.count(skinColour(IDB_UPDATE_HOLD_TS), hold), 220 * 30);
        const RECT bar = rectIn(root->m_hWnd, page->m_progress.GetSafeHwnd());
        EXPECT_EQ(arabic ? 900 - 160 - (900 - 210) : 160, bar.left);

        setPhases(false, false, true, true, false);
        board(BOARD_UNZIP).setTotalSize(10000000);
        board(BOARD_UNZIP).setCurrentSize(5000000);
        tick();
        shoot(L"3_extract", L"extraction at 50 %: 'Extracting the update...', sizes 1,000 / 1,000 (MB), dashes", true);

        setPhases(false, false, false, true, false);
        board(BOARD_COPY_TOTALS).setTotalSize(1000 * MB);
        board(BOARD_COPY_TOTALS).setCurrentSize(300 * MB);
        g_nCopiedBytes = 20 * MB;
        g_nCopyMillis = 700;
        g_nVerifyMillis = 300;
        g_nLargeCopyFileSize = 0;
        tick();
        shoot(L"4_copy", L"copy at 30 %: 'Copying to the medium...', copy time left 35 seconds, rate and time dashes",
              true);

        setPhases(false, false, false, true, true);
        board(BOARD_PACKAGE_COPY).setTotalSize(400);
        board(BOARD_PACKAGE_COPY).setCurrentSize(300);
        tick();
        shoot(L"5_copystep", L"copy-step: 'Checking the copied files...', 75 %, bar full", true);

        page->m_nMsgType = UPDATE_PROGRESS_STATE_FORMAT;
        page->showStepProgress();
        shoot(L"6_format", L"format: 'Formatting the medium...', sizes and rate lines hidden", false);

        held(true);
        page->showStepProgress();
        shoot(L"7_paused", L"paused: 'Paused', the resume hint on the first message line, figures hidden", false);
        held(false);

        setPhases(false, false, false, false, false);
        tick();
        EXPECT_EQ(UPDATE_PROGRESS_STATE_IDLE, page->m_nMsgType.load());
        shoot(L"8_idle", L"idle: the last display stays", false);

        // Destinations.
        const struct {
            wchar_t letter;
            const wchar_t* what;
            const wchar_t* shows;
        } targets[] = {{L'S', L"9_dest_mb", L"destination S: 512.0 MB"},
                       {L'R', L"9_dest_gb", L"destination R: 29.8 GB"},
                       {L'T', L"9_dest_tb", L"destination T: 2.0 TB"}};
        for (const auto& t : targets) {
            page->setUpdateTarget(&m_entry, t.letter);
            page->showPage(FALSE);
            page->showPage(TRUE);
            shoot(t.what, CString(t.shows) + L" in the box under 'Save the update to' with its icon", false);
        }
        g_bSaveToHDD = TRUE;
        frame->m_strDownloadFolder = L"C:\\Kestrune\\Download";
        page->setUpdateTarget(&m_entry, 0);
        page->showPage(FALSE);
        page->showPage(TRUE);
        EXPECT_EQ(L" ", textOf(IDC_STATIC_FILE_COPY));
        shoot(L"9_dest_folder", L"folder destination 'C: drive', copy line blank without a bullet", false);
        g_bSaveToHDD = FALSE;

        // A device name of two lines.
        const CString longName = L"Navigation AVN 5 Widescreen Premium (Generation 5 Wide Premium Edition Long)";
        m_entry.setDeviceName(longName);
        m_entry.setDeviceNameIntl(longName);
        page->setUpdateTarget(&m_entry, L'R');
        page->showPage(FALSE);
        page->showPage(TRUE);
        const RECT name = rectIn(page->GetSafeHwnd(), page->m_stDeviceName.GetSafeHwnd());
        EXPECT_EQ(50, name.bottom - name.top);
        EXPECT_EQ(105, rectIn(page->GetSafeHwnd(), page->m_stDeviceTypeName.GetSafeHwnd()).top);
        shoot(L"10_name_two_lines",
              L"device name on two lines (before '(' and the cut rest with '...'), type and medium lines below", false);

        // Brands.
        const struct {
            int corp, region;
            int hold;
            const wchar_t* what;
        } brands[] = {{CORP_LV, REGION_US, IDB_UPDATE_HOLD_LV_NA, L"11_brand_lv_na"},
                      {CORP_LV, l.region == REGION_US ? REGION_KR : l.region, IDB_UPDATE_HOLD_LV, L"11_brand_lv"},
                      {CORP_DR, l.region, IDB_UPDATE_HOLD_DR, L"11_brand_dr"}};
        for (const auto& b : brands) {
            CRegSetting::setRegion(b.region);
            CRegSetting::setLastUserCorp(b.corp);
            ASSERT_TRUE(page->initPage());
            settle();
            WindowShot shot = shoot(b.what, L"brand Hold strip and bar colour", false);
            EXPECT_GT(shot.count(skinColour(b.hold), rectIn(root->m_hWnd, page->m_btnHold.GetSafeHwnd())), 220 * 30)
                << CStringA(b.what).GetString();
        }
        CRegSetting::setRegion(l.region);
        CRegSetting::setLastUserCorp(CORP_TS);
        resetBoards();
    }
    g_nCopiedBytes = copied;
    g_nCopyMillis = copyMs;
    g_nVerifyMillis = verifyMs;
    g_nLargeCopyFileSize = large;
    setLanguage(REGION_US, LANGUAGE_EN);
    frame->broadcastChangeLanguage();
}

}  // namespace
