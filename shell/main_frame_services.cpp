// The services the message pages' answers use beyond the root's members.
// Each call looks the frame and its root up again, so a root made anew
// (session reset) or already gone is never reached through a stale pointer.
#include "shell/main_frame.h"

#include "shell/dlg_root.h"
#include "shell/message_page_services.h"

namespace {

CDlgRoot* currentRoot() {
    CMainFrame* frame = GetMainFrame();
    return frame ? frame->m_pDlgRoot.load() : nullptr;
}

}  // namespace

void CMainFrame::installPageServices() {
    MessagePageServices services;
    services.showPageAfterLogin = []() -> BOOL {
        CDlgRoot* root = currentRoot();
        return root ? root->showPageAfterLogin() : FALSE;
    };
    services.startUserPrivateThread = [] {
        if (CDlgRoot* root = currentRoot()) root->startUserPrivateThread();
    };
    services.deleteDownloadFiles = []() -> BOOL {
        CMainFrame* frame = GetMainFrame();
        return frame ? frame->deleteDownloadFiles() : FALSE;
    };
    services.setFrameDataPath = [](const CString& folder) {
        if (CMainFrame* frame = GetMainFrame()) frame->setDownloadFolder(folder);
    };
    setMessagePageServices(std::move(services));
}

void CMainFrame::removePageServices() { setMessagePageServices(MessagePageServices()); }
