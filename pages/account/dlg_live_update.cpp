#include "pages/account/dlg_live_update.h"

#include "resources/resource.h"
#include "ui/lang_library.h"
#include "ui/text_ids.h"

#include <mutex>

namespace {

struct Script {
    std::mutex lock;
    std::deque<CDlgLiveUpdate::Outcome> outcomes;
    int runs = 0;
};

Script& script() {
    static Script s;
    return s;
}

}  // namespace

CDlgLiveUpdate::CDlgLiveUpdate() : CBasePopupDialog(IDD_LIVE_UPDATE, nullptr) {}

void CDlgLiveUpdate::queueOutcome(const Outcome& outcome) {
    std::lock_guard<std::mutex> hold(script().lock);
    script().outcomes.push_back(outcome);
}

void CDlgLiveUpdate::clearOutcomes() {
    std::lock_guard<std::mutex> hold(script().lock);
    script().outcomes.clear();
}

int CDlgLiveUpdate::runs() {
    std::lock_guard<std::mutex> hold(script().lock);
    return script().runs;
}

void CDlgLiveUpdate::resetRuns() {
    std::lock_guard<std::mutex> hold(script().lock);
    script().runs = 0;
}

// Ends before it is ever shown, as the popup does when nothing needs
// updating; the base popup's skins are not needed for that.
BOOL CDlgLiveUpdate::OnInitDialog() {
    CDialog::OnInitDialog();
    SetWindowText(CLangLibrary::loadLangString(IDS_SELF_UPDATE_WINDOW_TITLE));
    Outcome outcome{IDOK, 0, LIVEUPDATE_FAIL_NETWORK};
    {
        std::lock_guard<std::mutex> hold(script().lock);
        ++script().runs;
        if (!script().outcomes.empty()) {
            outcome = script().outcomes.front();
            script().outcomes.pop_front();
        }
    }
    m_nCheckResult = outcome.checkResult;
    m_nFailCode = outcome.failCode;
    EndDialog(outcome.modalResult);
    return TRUE;
}
