#pragma once
// Self-update popup, stand-in: the modal popup ends inside its dialog
// initialisation, never shown and without any request, with the outcome a
// test queued; with none queued it reports "nothing to update" (IDOK,
// check result 0). Its window text is the popup's title meanwhile.
#include "afx/afx.h"
#include "ui/base_popup_dialog.h"

#include <deque>

enum LiveUpdateFailCode {
    LIVEUPDATE_FAIL_NETWORK = 0,
    LIVEUPDATE_FAIL_SIZE = 1,
    LIVEUPDATE_FAIL_CRC = 2,
    LIVEUPDATE_FAIL_NOT_FOUND = 3,
};

class CDlgLiveUpdate : public CBasePopupDialog {
public:
    CDlgLiveUpdate();

    struct Outcome {
        int modalResult;  // IDOK or IDCANCEL
        int checkResult;
        int failCode;
    };
    // Outcomes of the next popups, one popup each, in order.
    static void queueOutcome(const Outcome& outcome);
    static void clearOutcomes();
    // Popups run (dialog initialisations) since the last reset.
    static int runs();
    static void resetRuns();

    int m_nCheckResult = -1;
    int m_nFailCode = LIVEUPDATE_FAIL_NETWORK;

protected:
    BOOL OnInitDialog() override;
};
