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
class InfFileUpdate;
class CDlgRoot;
class CMainFrame;
class CDlgPageMessage;

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

// The page's own notices from its helper threads, handled on the UI thread.
enum : UINT {
    // ThreadWait: the engine is marked paused (wParam 0), the workers let go (1).
    UM_UPDATE_PAUSE_STEP = WM_APP + 0x41,
    // NetworkCheckThread: wParam 1 a connection was found, 0 none.
    UM_UPDATE_NETWORK_CHECKED = WM_APP + 0x42,
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

    // ---- run control
    void OnBnClickedOk();
    void OnBnClickedButtonHold();
    void OnBnClickedButtonCancel();
    void OnBnClickedButtonNext();
    BOOL PreTranslateMessage(MSG* msg) override;
    LRESULT OnRegisteredMessage_MessageResult(WPARAM answer, LPARAM type);
    static UINT ThreadWait(LPVOID param);
    // Item callbacks for InfFileUpdateList::forEach.
    static bool resetFailedItems(int, InfFileUpdate* item);
    static bool resetFailedItemsCheckPieces(int, InfFileUpdate* item);
    static bool discardFailedDownloads(int, InfFileUpdate* item);
    static bool retryFailedCopies(int, InfFileUpdate* item);
    // The first item in the state, or null.
    static InfFileUpdate* findItemInState(int state);
    // The medium check of one copied item: clears allGood when it is not on
    // root as described (and sets it back to be copied again).
    static bool verifyCopiedFiles(BOOL& allGood, const CString& root, InfFileUpdate* item);

    // ---- completion
    LRESULT OnDownloadProgress(WPARAM wParam, LPARAM lParam);
    LRESULT OnUnzipProgress(WPARAM wParam, LPARAM lParam);
    LRESULT OnDownloadComplete(WPARAM wParam, LPARAM lParam);
    LRESULT OnUnzipComplete(WPARAM wParam, LPARAM lParam);
    LRESULT OnCopyComplete(WPARAM wParam, LPARAM lParam);
    LRESULT OnCopyStepDone(WPARAM wParam, LPARAM lParam);
    LRESULT OnIgnoredNotice(WPARAM wParam, LPARAM lParam);

    // ---- errors, network re-check, drive events
    LRESULT OnModuleError(WPARAM module, LPARAM detail);
    static UINT NetworkCheckThread(LPVOID param);
    LRESULT OnRegisteredMessage_USBDetectorMsg(WPARAM letter, LPARAM arrived);
    // Ends a running network re-check and waits for its thread.
    void stopNetworkCheck();

    // ---- reports
    BOOL sendDownCheck();
    void uploadOfflineVehicleData();
    int uploadVehicleDataFiles(wchar_t letter, const CString& url, int platformType);

    // Name of the medium's volume when it was chosen; the format erases only
    // that volume.
    CString m_strVolumeName;

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
    // Written by the format thread, read by the drive handler.
    std::atomic<int> m_bFormatted{FALSE};
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
    // Set by Hold to end the re-check; the thread's own handle, for the join.
    std::atomic<bool> m_bNetworkCheckStop{false};
    HANDLE m_hNetworkCheckThread = nullptr;
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
    LRESULT OnPauseStep(WPARAM step, LPARAM);
    LRESULT OnNetworkChecked(WPARAM found, LPARAM);
    void leaveForRegistration();
    void lockTitleBar();
    void showRunningButtons();
    void showPausedButtons();
    void pauseQuietly();
    void handleModuleError(int module, int detail);
    void giveUpRetries(CDlgPageMessage* message, int type, const CString& param0, const CString& param1);
    void reportCompletion();
    void startNetworkCheck();
    static void clearLooks(CPngButton& button);
    // The run's end: at most once between two initPage calls.
    void endPage();
    void record(const CString& text);
    void initControls();
    void applyFonts();
    void layoutControls();
    void layoutDeviceName(int width);
    CString deviceNameText() const;
    void chooseMode(UINT_PTR timerId);
    void sampleDownload();
    bool sampleCopy();
    void enableHold();
    void centreNextCaption();
    void hideInfoLines(bool percentToo);
    void fitInfoFontToTimeLine();
    CString lineText(int labelId, int valueId) const;
    CString remainText(double seconds, int labelId, int fallbackId) const;
    BOOL isPaused() const;
    CMainFrame* frame() const;
    CDlgRoot* root() const;
    bool hasCurrentEntry() const;
    bool showSaveTarget();

    // While the vehicle-data upload runs, the end of the pre-check waits.
    BOOL m_bUploading = FALSE;
    BOOL m_bCheckCompleteHeld = FALSE;
    LPARAM m_nHeldCheckResult = 0;
    // Set by the first end of the page after initPage.
    BOOL m_bPageEnded = FALSE;
    // Set while OnModuleError pumps; errors arriving meanwhile wait in the queue.
    BOOL m_bInModuleError = FALSE;
    std::atomic<bool> m_bDownloadRestart{false};
    std::atomic<bool> m_bCopyRestart{false};
};
