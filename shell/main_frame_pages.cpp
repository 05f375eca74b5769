// What the frame asks of the pages: the self-update popup and whether the
// update page is downloading.
#include "shell/main_frame.h"

#include "pages/account/dlg_live_update.h"
#include "pages/vehicle/dlg_car_update.h"
#include "shell/dlg_root.h"
#include "ui/view_state.h"

namespace {

// The update page's display mode (1: downloads run). The stand-in page may
// not carry it yet; then the page never counts as downloading.
template <typename Page>
auto displayMode(const Page& page, int) -> decltype(static_cast<int>(page.m_nMsgType)) {
    return static_cast<int>(page.m_nMsgType);
}
template <typename Page>
int displayMode(const Page&, long) {
    return -1;
}

}  // namespace

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
    return displayMode(*update, 0) == 1;
}
