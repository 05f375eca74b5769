// The update page's one-second timer: the display mode from the phase
// flags, the sampling of the progress boards and the display of each mode.
#include "pages/vehicle/dlg_car_update.h"

#include "engine/copy_manager.h"
#include "engine/score_board.h"
#include "foundation/globalfunc.h"
#include "shell/dlg_root.h"
#include "shell/main_frame.h"
#include "ui/lang_library.h"

#include <algorithm>

double g_dCopyTailSeconds = 0;

namespace {

CString text(int id) { return CLangLibrary::loadLangString(static_cast<UINT>(id)); }

score_board& board(int index) { return score_board::getBoards()[index]; }

}  // namespace

CString CDlgCarUpdate::remainText(double seconds, int labelId, int fallbackId) const {
    const update_progress::TimeWords words{text(labelId), text(fallbackId), text(9905),
                                           text(9907),    text(9908),       text(12271)};
    return update_progress::remainingTimeText(seconds, words);
}

void CDlgCarUpdate::chooseMode(UINT_PTR) {
    if (isPaused()) {
        m_nMsgType = UPDATE_PROGRESS_STATE_PAUSE;
        KillTimer(UPDATE_TIMER_PROGRESS);
        return;
    }
    if (m_bCheckPhase) {
        m_nMsgType = UPDATE_PROGRESS_STATE_INIT;
        return;
    }
    if (m_bDownloadPhase) m_nMsgType = UPDATE_PROGRESS_STATE_DOWNLOAD;
    else if (m_bUnzipPhase) m_nMsgType = UPDATE_PROGRESS_STATE_UNZIP;
    else if (m_bCopyPhase) m_nMsgType = m_bCopyStepPhase ? UPDATE_PROGRESS_STATE_COPY_STEP : UPDATE_PROGRESS_STATE_COPY;
    if (!m_bDownloadPhase && !m_bUnzipPhase && !m_bCopyPhase && !m_bCopyStepPhase) m_nMsgType = UPDATE_PROGRESS_STATE_IDLE;
}

void CDlgCarUpdate::OnTimer(UINT_PTR id) {
    CBaseChildDialog::OnTimer(id);
    chooseMode(id);
    const int mode = m_nMsgType;
    if (mode == UPDATE_PROGRESS_STATE_DOWNLOAD) {
        // The verify ticker runs beside timer 1: a second download sample in
        // the same second would halve the rate shown.
        if (id != UPDATE_TIMER_VERIFY) sampleDownload();
    } else if (mode == UPDATE_PROGRESS_STATE_COPY) {
        if (sampleCopy()) showCopyProgress(board(BOARD_COPY_TOTALS).getTotalSize(), board(BOARD_COPY_TOTALS).getCurrentSize());
    } else if (mode == UPDATE_PROGRESS_STATE_UNZIP) {
        showStepProgress();
    } else if (id == UPDATE_TIMER_VERIFY) {
        if (sampleCopy()) showCopyProgress(board(BOARD_COPY_TOTALS).getTotalSize(), board(BOARD_COPY_TOTALS).getCurrentSize());
    } else if (mode == UPDATE_PROGRESS_STATE_COPY_STEP) {
        showStepProgress();
    }
}

void CDlgCarUpdate::sampleDownload() {
    if (m_bDownloadRestart.exchange(false)) {
        m_download.restart();
        m_download.delta.fill(0);
    }
    const ULONGLONG total = board(BOARD_DOWNLOAD).getTotalSize();
    const ULONGLONG done = board(BOARD_DOWNLOAD).getCurrentSize();
    const double rate = m_download.sample(done);
    showDownloadProgress(total, done, rate);
}

bool CDlgCarUpdate::sampleCopy() {
    if (m_bCopyRestart.exchange(false)) {
        m_copy.samples = 0;
        // A new copy start: the 99 % allowance of an earlier update goes too.
        resetCopyTail();
    }
    const bool flag = board(BOARD_COPY_TOTALS).takeFlag() != 0;
    const bool requested = m_bCopyRateReset.load();
    bool reset = requested;
    const bool show = m_copy.sample(board(BOARD_COPY_TOTALS).getCurrentSize(), flag, reset);
    if (requested && !reset) m_bCopyRateReset = false;
    return show;
}

void CDlgCarUpdate::showDownloadProgress(ULONGLONG total, ULONGLONG done, double bytesPerSecond) {
    if (!hasCurrentEntry()) return;
    if (isPaused()) {
        setStatusTexts(text(12287), text(12288), CString());
        hideInfoLines(true);
        return;
    }
    m_stResumeUpdate.ShowWindow(SW_HIDE);
    setControlText(&m_stStatus, text(12261));
    setControlText(&m_stTransferRate, text(12277) + L": " + formatRate(bytesPerSecond / 1000));
    setControlText(&m_stDownloaded, text(12275) + L": " + update_progress::sizesValue(total, done));
    const int percent = update_progress::downloadPercent(total, done);
    setControlText(&m_stPercent, formatPercent(percent));
    m_progress.setPos(percent);
    const ULONGLONG left = total - (done < total ? done : total);
    m_dDownRemainSec = bytesPerSecond != 0 ? static_cast<double>(left) / bytesPerSecond : 0;
    m_strRemainTime = remainText(m_dDownRemainSec, 12279, 12278);
    setControlText(&m_stFileTime, m_strRemainTime);
    fitInfoFontToTimeLine();
    m_btnHold.setEnable(TRUE);
    m_btnHold.EnableWindow(TRUE);
    if (g_bSaveToHDD) {
        m_stFileCopy.ShowWindow(SW_HIDE);
    } else if (m_bCopyPhase) {
        if (m_tCopyStart > 0) updateCopyEstimate();
    } else {
        setControlText(&m_stFileCopy, lineText(12281, 12278));
    }
    layoutMessageLines();
}

void CDlgCarUpdate::showCopyProgress(ULONGLONG total, ULONGLONG done) {
    if (!hasCurrentEntry()) return;
    if (isPaused()) {
        setControlText(&m_stStatus, text(12287));
        setControlText(&m_stMsg1, text(12288));
        setControlText(&m_stMsg2, CString());
        hideInfoLines(true);
        return;
    }
    enableHold();
    setControlText(&m_stStatus, text(12284));
    setControlText(&m_stTransferRate, lineText(12277, 12286));
    if ((total >> 20) == 0) setControlText(&m_stDownloaded, lineText(12265, 12278));
    else setControlText(&m_stDownloaded, text(12275) + L": " + update_progress::sizesValue(total, done));
    const int percent = update_progress::copyPercent(total, done);
    setControlText(&m_stPercent, formatPercent(percent));
    m_progress.setPos(percent);
    if (!g_bSaveToHDD) {
        const update_progress::CopyTotals copy{g_nCopiedBytes.load(), g_nCopyMillis.load(), g_nVerifyMillis.load(),
                                               g_nLargeCopyFileSize.load()};
        double seconds = 0;
        m_dCopyRemainSec =
            update_progress::copyRemainSeconds(total, done, percent, copy, g_dCopyTailSeconds, seconds) ? seconds : 0;
        m_strCopyRemainTime = remainText(m_dCopyRemainSec, 12281, 12280);
        setControlText(&m_stFileCopy, m_strCopyRemainTime);
    }
    setControlText(&m_stFileTime, lineText(12279, 12286));
    setControlText(&m_stTransferRate, lineText(12277, 12286));
    fitInfoFontToTimeLine();
    layoutMessageLines();
}

void CDlgCarUpdate::updateCopyEstimate() {
    if (!m_bCopyPhase) return;
    double seconds = 0;
    if (!m_copy.estimate(board(BOARD_COPY_TOTALS).getTotalSize(), board(BOARD_COPY_TOTALS).getCurrentSize(), seconds)) {
        return;
    }
    m_dCopyRemainSec = seconds;
    if (static_cast<long long>(std::min(seconds / 60, 1e12)) > 300) setControlText(&m_stFileCopy, lineText(12281, 12276));
}

void CDlgCarUpdate::showStepProgress() {
    if (!hasCurrentEntry() || !GetSafeHwnd()) return;
    if (isPaused()) {
        setStatusTexts(text(12287), text(12288), CString());
        hideInfoLines(true);
        CGlobalFunc::invalidateChild(m_hWnd, m_stMsg1.GetSafeHwnd());
        layoutMessageLines();
        return;
    }
    switch (static_cast<int>(m_nMsgType)) {
        case UPDATE_PROGRESS_STATE_FORMAT:
            m_stDownloaded.ShowWindow(SW_HIDE);
            m_stTransferRate.ShowWindow(SW_HIDE);
            setControlText(&m_stStatus, text(12292));
            break;
        case UPDATE_PROGRESS_STATE_INIT: setControlText(&m_stStatus, text(12274)); break;
        case UPDATE_PROGRESS_STATE_UNZIP: {
            const ULONGLONG U = board(BOARD_UNZIP).getTotalSize();
            if (U == 0) return;
            enableHold();
            setControlText(&m_stStatus, text(12283));
            setControlText(&m_stFileCopy, lineText(12281, 12276));
            const int percent = update_progress::unzipPercent(U, board(BOARD_UNZIP).getCurrentSize());
            setControlText(&m_stPercent, formatPercent(percent));
            m_progress.setPos(percent);
            const ULONGLONG L = board(BOARD_DOWNLOAD).getTotalSize();
            setControlText(&m_stDownloaded, text(12275) + L": " + update_progress::sizesValue(L, L));
            setControlText(&m_stTransferRate, lineText(12277, 12286));
            if (g_bSaveToHDD) m_stFileCopy.ShowWindow(SW_HIDE);
            else updateCopyEstimate();
            setControlText(&m_stFileTime, lineText(12279, 12286));
            fitInfoFontToTimeLine();
            break;
        }
        case UPDATE_PROGRESS_STATE_COPY_STEP: {
            enableHold();
            setControlText(&m_stStatus, text(12291));
            setControlText(&m_stFileCopy, lineText(12281, 12276));
            const ULONGLONG S = board(BOARD_PACKAGE_COPY).getTotalSize();
            if (S < 1) break;
            setControlText(&m_stPercent,
                           formatPercent(update_progress::stepPercent(S, board(BOARD_PACKAGE_COPY).getCurrentSize())));
            m_progress.setPos(100);
            const ULONGLONG A = board(BOARD_COPY_TOTALS).getTotalSize();
            setControlText(&m_stDownloaded, text(12275) + L": " + update_progress::sizesValue(A, A));
            m_stFileCopy.ShowWindow(SW_SHOW);
            setControlText(&m_stTransferRate, lineText(12277, 12286));
            setControlText(&m_stFileTime, lineText(12279, 12286));
            fitInfoFontToTimeLine();
            break;
        }
        default: break;
    }
    layoutMessageLines();
}
