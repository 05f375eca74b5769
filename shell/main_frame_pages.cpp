// What the frame asks of the pages: the self-update popup and whether the
// update page is downloading.
#include "shell/main_frame.h"

#include "pages/account/dlg_live_update.h"
#include "pages/vehicle/dlg_car_update.h"
#include "shell/dlg_root.h"
#include "ui/view_state.h"

CMainFrame::LiveUpdateOutcome CMainFrame::runLiveUpdatePopup() {
    CDlgLiveUpdate popup;
    LiveUpdateOutcome outcome;
    outcome.result = popup.DoModal();
    outcome.checkResult = popup.m_nCheckResult;
    outcome.failCode = popup.m_nFailCode;
    return outcome;
}

bool CMainFrame::updatePageDownloading(CDlgRoot* root, HWND& page) {
    if (root->getViewStatus() != VIEW_STATE_CAR_UPDATE) return false;
    auto* update = dynamic_cast<CDlgCarUpdate*>(root->m_pCurPage);
    if (!update || !update->GetSafeHwnd()) return false;
    page = update->GetSafeHwnd();
    // The display mode is a single word the page writes on the UI thread.
    return update->m_nMsgType == UPDATE_PROGRESS_STATE_DOWNLOAD;
}
