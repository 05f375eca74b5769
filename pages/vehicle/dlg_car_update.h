#pragma once
// Update page (view VIEW_STATE_CAR_UPDATE): stand-in. It records the
// engine's callbacks (they arrive on engine threads) and begins no transfer
// unless a test says so.
#include "engine/transfer_page.h"
#include "pages/account/placeholder_page.h"

#include <atomic>

class InfInfo;

// The update goes into the local download folder rather than onto a drive.
// Set by the registration page at the hand-over, cleared by the update
// page's constructor.
extern BOOL g_bSaveToHDD;

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

class CDlgCarUpdate : public CPlaceholderPage, public transfer_page {
public:
    explicit CDlgCarUpdate(CBaseDialog* root);

    // letter 0: the local download folder.
    void setUpdateTarget(InfInfo* info, wchar_t letter);
    // UM_CHECK_COMPLETE.
    LRESULT OnCheckComplete(WPARAM wParam, LPARAM lParam);

    int beginTransfer() override;
    void computeAndInitDownload() override;
    void StartCarCopy() override;

    InfInfo* m_pCarInfo = nullptr;     // not owned
    InfInfo* m_pTargetInfo = nullptr;  // not owned
    wchar_t m_chDrive = 0;
    int m_nMsgType = UPDATE_PROGRESS_STATE_IDLE;
    // Start of copying (seconds); 0 while no copy has started.
    std::atomic<long long> m_tCopyStart{0};
    // What beginTransfer answers.
    int m_nBeginResult = 0;

protected:
    DECLARE_MESSAGE_MAP()
};
