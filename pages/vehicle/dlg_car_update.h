#pragma once
// Update page (view VIEW_STATE_CAR_UPDATE): which head unit is updated and
// where to, which phase runs, how far, how fast and how long still. The
// engine's notices set the phase flags; a one-second timer turns them into
// a display mode and refreshes that display from the progress boards.
#include "engine/transfer_page.h"
#include "pages/vehicle/update_progress_math.h"
#include "ui/base_child_dialog.h"
#include "ui/edit_ctrl.h"
#include "ui/png_button.h"
#include "ui/progress_ctrl_ex.h"
#include "ui/static_ex.h"

#include <atomic>

class InfInfo;
class CDlgRoot;
class CMainFrame;

// The update goes into the local download folder rather than onto a drive.
// Set by the registration page at the hand-over, cleared by the update
// page's constructor.
extern BOOL g_bSaveToHDD;
// What the copy display takes off its estimate at 99 % (seconds); grows
// during one update, reset when the update's copy starts.
extern double g_dCopyTailSeconds;

// What the update page displays; the frame asks whether downloads run.
enum UpdateProgressState {
    UPDATE_PROGRESS_STATE_FORMAT = 0,
    UPDATE_PROGRESS_STATE_DOWNLOAD = 1,
    UPDATE_PROGRESS_STATE_COPY = 2,
    UPDATE_PROGRESS_STATE_INIT = 3,
    UPDATE_PROGRESS_STATE_PAUSE = 4,
    UPDATE_PROGRESS_STATE_UNZIP = 5,
    UPDATE_PROGRESS_STATE_COPY_STEP = 6,
    UPDATE_PROGRESS_STATE_IDLE = 7,
};

// The one-second progress timer; 53 is the copy worker's verify ticker.
constexpr UINT_PTR UPDATE_TIMER_PROGRESS = 1;
constexpr UINT_PTR UPDATE_TIMER_VERIFY = 53;

class CDlgCarUpdate : public CBaseChildDialog, public transfer_page {
public:
    explicit CDlgCarUpdate(CBaseDialog* root);
    ~CDlgCarUpdate() override;

    BOOL showPage(BOOL show) override;
    BOOL initPage() override;

    // letter 0: the local download folder.
    void setUpdateTarget(InfInfo* info, wchar_t letter);
    void refreshTexts();
    void setTargetTexts();
    void setStatusTexts(const CString& status, const CString& msg1, const CString& msg2);
    void setControlText(CWnd* control, const CString& text);
    static CString formatPercent(int percent);
    void fitInfoFont(int maxSize);
    static CString msgTypeName(int type);

    CString formatRate(double kilobytesPerSecond) { return m_rateText.format(kilobytesPerSecond); }
    void showDownloadProgress(ULONGLONG total, ULONGLONG done, double bytesPerSecond);
    void showCopyProgress(ULONGLONG total, ULONGLONG done);
    void showStepProgress();
    void updateCopyEstimate();
    // The 99 % allowance starts again for a new update's copy.
    static void resetCopyTail() { g_dCopyTailSeconds = 0; }

    // Requests from engine threads, carried out by the next tick on the UI
    // thread (the sampling belongs to the UI thread).
    void requestDownloadRestart() { m_bDownloadRestart = true; }
    void requestCopyRestart() { m_bCopyRestart = true; }

    // UM_CHECK_COMPLETE.
    LRESULT OnCheckComplete(WPARAM wParam, LPARAM lParam);
    // UM_TRANSFER_PHASE.
    LRESULT OnTransferPhase(WPARAM wParam, LPARAM lParam);
    void layoutMessageLines();

    int beginTransfer() override;
    void computeAndInitDownload() override;
    void StartCarCopy() override;

    InfInfo* m_pCarInfo = nullptr;  // not owned
    CStaticEx m_stDeviceName;
    CStaticEx m_stMediumType;
    CStaticEx m_stDeviceTypeName;
    CStaticEx m_stCarImage;
    CPngButton m_btnHold;
    CProgressCtrlEx m_progress;
    // Read by the frame's connectivity thread.
    std::atomic<int> m_nMsgType{UPDATE_PROGRESS_STATE_INIT};
    BOOL m_bCheckPhase = FALSE;
    BOOL m_bDownloadPhase = FALSE;
    BOOL m_bUnzipPhase = FALSE;
    BOOL m_bCopyPhase = FALSE;
    BOOL m_bCopyStepPhase = FALSE;
    // Set by StartCarCopy (format thread) after the format step.
    std::atomic<bool> m_bCopyRateReset{false};
    BOOL m_bFormatted = FALSE;
    CStaticEx m_stStatus;
    CStaticEx m_stPercent;
    CStaticEx m_stResumeUpdate;
    CStaticEx m_stDownloaded;
    CStaticEx m_stTransferRate;
    CStaticEx m_stMsg1;
    CStaticEx m_stMsg2;
    Gdiplus::Bitmap* m_pImgBackground = nullptr;
    CStaticEx m_stSaveTitle;
    Gdiplus::Bitmap* m_pImgSaveIcon = nullptr;
    CStaticEx m_stSavePath;
    CEditCtrl m_editSavePath;
    Gdiplus::Bitmap* m_pImgBullet = nullptr;
    Gdiplus::Bitmap* m_pImgBulletRtl = nullptr;
    CStaticEx m_stFileTime;
    CStaticEx m_stFileCopy;
    CWinThread* m_pNetworkCheckThread = nullptr;  // not owned
    BOOL m_bAutoRetry = FALSE;
    update_progress::DownloadSampler m_download;
    update_progress::CopySampler m_copy;
    update_progress::RateText m_rateText;
    CPngButton m_btnCancel;
    CPngButton m_btnNext;
    CString m_strRemainTime;
    CString m_strCopyRemainTime;
    double m_dDownRemainSec = 0;
    double m_dCopyRemainSec = 0;
    int m_nDownRetry = 0;
    int m_nUnzipRetry = 0;
    InfInfo* m_pTargetInfo = nullptr;  // not owned
    wchar_t m_chDrive = 0;
    BOOL m_bTitleLaidOut = FALSE;
    std::atomic<long long> m_tDownloadStart{0};
    // Start of copying (seconds); 0 while no copy has started.
    std::atomic<long long> m_tCopyStart{0};
    std::atomic<long long> m_tDownloadEnd{0};
    std::atomic<long long> m_tCopyEnd{0};
    int m_nTitleWidth = 0;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    void OnPaint();
    BOOL OnEraseBkgnd(CDC* dc);
    void OnShowWindow(BOOL show, UINT status);
    void OnTimer(UINT_PTR id);
    LRESULT OnChangeLanguage(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    void initControls();
    void applyFonts();
    void layoutControls();
    void layoutDeviceName(int width);
    CString deviceNameText() const;
    void chooseMode(UINT_PTR timerId);
    void sampleDownload();
    bool sampleCopy();
    void enableHold();
    void hideInfoLines(bool percentToo);
    void fitInfoFontToTimeLine();
    CString lineText(int labelId, int valueId) const;
    CString remainText(double seconds, int labelId, int fallbackId) const;
    BOOL isPaused() const;
    CMainFrame* frame() const;
    CDlgRoot* root() const;
    bool hasCurrentEntry() const;
    bool showSaveTarget();

    std::atomic<bool> m_bDownloadRestart{false};
    std::atomic<bool> m_bCopyRestart{false};
};
