// The finish page's buttons, its check box and the answers to the messages
// it asks. The exit question's answer is the root's: a confirmed exit
// deletes the download folder while the clean-download flag is set.
#include "pages/vehicle/dlg_car_finish.h"

#include "descriptors/inf_info.h"
#include "descriptors/update_list_builder.h"
#include "engine/usb_detector.h"
#include "foundation/globalfunc.h"
#include "foundation/regsetting.h"
#include "shell/dlg_page_message.h"
#include "shell/dlg_root.h"
#include "shell/main_frame.h"
#include "shell/message_types.h"
#include "ui/font_cache.h"
#include "ui/view_state.h"

namespace {

constexpr int GUIDE_MEDIUM = 102;
constexpr int GUIDE_INSTALL = 103;

}  // namespace

void CDlgCarFinish::askMessage(int type) {
    CDlgRoot* r = root();
    if (!r) return;
    CDlgPageMessage* page = r->getMessagePage(type);
    if (!page) return;
    page->setMessageType(type, this);
    r->pushViewPage(VIEW_STATE_MESSAGE, TRUE);
}

void CDlgCarFinish::OnBnClickedButtonFinish() {
    if (!frame()) return;
    // The folder goes only when the exit is confirmed (the root's answer to
    // 201): Cancel leaves the user in the program with the download kept.
    if (CDlgRoot* r = root()) r->m_bDestIsDrive = m_strStorageCode == L"U" && m_checkRemove.m_bChecked ? 1 : 0;
    askMessage(SERVER_ERROR_ETC_PROGRAM_EXIT);
}

void CDlgCarFinish::OnBnClickedButtonCarSelect() {
    if (CDlgRoot* r = root()) r->pushViewPage(VIEW_STATE_CAR_CHANGE, TRUE);
}

void CDlgCarFinish::OnBnClickedButtonFolder() {
    CString path = CRegSetting::getDataPath();
    if (m_strStorageCode == L"H") {
        CMainFrame* f = frame();
        const CString name = f && f->Cur_inf ? update_list_builder::folderOf(f->Cur_inf) : CString();
        // The stored folder may end in "\" already.
        CString folder = CRegSetting::getDataPath();
        folder.TrimRight(L'\\');
        path.Format(L"%s\\%s", folder.GetString(), name.GetString());
    } else if (m_strStorageCode == L"U") {
        path = m_strDriveRoot;
    }
    CGlobalFunc::openUrl(path);
}

void CDlgCarFinish::openGuide(int kind) {
    CDlgRoot* r = root();
    if (!r) return;
    if (CDlgPageMessage* page = r->getMessagePage(999)) CGlobalFunc::openUrl(page->getGuideUrl(kind));
}

void CDlgCarFinish::OnBnClickedButtonUsb() { openGuide(GUIDE_MEDIUM); }

void CDlgCarFinish::OnBnClickedButtonInstall() { openGuide(GUIDE_INSTALL); }

void CDlgCarFinish::OnBnClickedButtonSdcard() {
    if (CMainFrame* f = frame(); f && f->m_pUSBDetector) f->m_pUSBDetector->updateAllDriveInfo();
    askMessage(SERVER_ETC_SD_CARD_QUESTION);
}

void CDlgCarFinish::followCheckBox() {
    const BOOL checked = m_checkRemove.m_bChecked ? TRUE : FALSE;
    if (CDlgRoot* r = root()) r->m_bDestIsDrive = checked ? 1 : 0;
    m_checkRemove.Invalidate(FALSE);
    if (m_stRemoveComment.m_bBold != checked) {
        m_stRemoveComment.setFontStyle(14, checked);
        CFont* font = checked ? CFontCache::getBoldFont(14) : CFontCache::getFont(14);
        if (font) m_stRemoveComment.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font->GetSafeHandle()), TRUE);
        m_stRemoveComment.Invalidate(TRUE);
    }
}

// The box notifies on the button going down and toggles itself on its way
// up: its new state is read once the click is over. A message posted while
// the button-up is being dispatched comes after it; one posted at the
// notification would come before it (posted messages go ahead of input).
void CDlgCarFinish::OnBnClickedCheckRemoveUsb() { PostMessage(UM_FOLLOW_REMOVE_BOX, 0, 0); }

BOOL CDlgCarFinish::PreTranslateMessage(MSG* msg) {
    if (msg->message == WM_LBUTTONUP && msg->hwnd && msg->hwnd == m_checkRemove.GetSafeHwnd()) {
        PostMessage(UM_FOLLOW_REMOVE_BOX, 0, 0);
    }
    return CBaseChildDialog::PreTranslateMessage(msg);
}

LRESULT CDlgCarFinish::OnFollowRemoveBox(WPARAM, LPARAM) {
    followCheckBox();
    return 0;
}

void CDlgCarFinish::OnClickedRemoveUsbComment() {
    m_checkRemove.m_bChecked = !m_checkRemove.m_bChecked;
    followCheckBox();
}

LRESULT CDlgCarFinish::OnRegisteredMessage_MessageResult(WPARAM result, LPARAM type) {
    if (result != 1) return 0;
    CDlgRoot* r = root();
    switch (static_cast<int>(type)) {
        case SERVER_ETC_SD_CARD_QUESTION:
            if (r) r->pushViewPage(VIEW_STATE_CAR_REG, TRUE);
            break;
        case SERVER_ETC_INSERT_MEDIUM: {
            CMainFrame* f = frame();
            CUSBDetector* w = f ? f->m_pUSBDetector : nullptr;
            if (w) w->updateAllDriveInfo();
            CUSBDetector::DriveMap* drives = w ? w->getAllDriveInfoList() : nullptr;
            askMessage(!drives || drives->empty() ? SERVER_ETC_INSERT_MEDIUM : SERVER_ETC_SD_CARD_QUESTION);
            break;
        }
        default: break;
    }
    return 0;
}
