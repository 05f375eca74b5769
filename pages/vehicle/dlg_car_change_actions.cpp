// The vehicle search page's buttons, keys and answers: OK loads the chosen
// vehicle's descriptor and hands the vehicle to the registration page,
// Cancel goes back there, the link opens the image guide.
#include "pages/vehicle/dlg_car_change.h"

#include "descriptors/inf_info.h"
#include "foundation/code_tables.h"
#include "foundation/globalfunc.h"
#include "foundation/logmanager.h"
#include "foundation/private_messages.h"
#include "foundation/regsetting.h"
#include "pages/account/dlg_info_image_popup.h"
#include "pages/vehicle/dlg_car_reg.h"
#include "shell/dlg_page_message.h"
#include "shell/dlg_root.h"
#include "shell/main_frame.h"
#include "shell/message_types.h"
#include "ui/view_state.h"
#include "webclient/inet_codes.h"

void CDlgCarChange::updateOkButton() {
    if (!m_btnOk.GetSafeHwnd()) return;
    const bool chosen = m_pSelInf && !m_pSelInf->getInfFileName().IsEmpty();
    m_btnOk.setEnable(chosen ? TRUE : FALSE);
}

void CDlgCarChange::OnBnClickedOk() {
    // Nothing chosen does nothing; a press while the descriptor of an
    // earlier one loads (the load pumps this page's messages) neither, nor
    // one still queued when the page has already handed its vehicle over.
    if (m_bOkBusy || !m_pSelInf || !IsWindowVisible()) return;
    InfInfo* entry = m_pSelInf;
    m_bOkBusy = TRUE;
    const bool loaded = entry->loadInfFile() != 0 || entry->getInfFileHead() != nullptr;
    m_bOkBusy = FALSE;
    CDlgRoot* r = root();
    if (loaded) {
        if (!r) return;
        m_bHideResultList = TRUE;
        if (r->m_pPageCarReg) r->m_pPageCarReg->setCarInfo(entry);
        r->pushViewPage(VIEW_STATE_CAR_REG, TRUE);
        addOkStatistics(entry);
        return;
    }
    CString record;
    const int result = entry->getLastWorkerResult();
    if (result == INET_ERROR_HTTP_STATUS) {
        CString url = entry->getInfUrl();
        if (url.Right(1) == L"/") url = url.Left(url.GetLength() - 1);
        url += L"/" + entry->getInfFileName();
        record.Format(L"[E:%d,T:%s,PS:1,ED:%d,FP:%s]", STAT_STAGE_LOGIN, CGlobalFunc::getTimeStamp().GetString(),
                      entry->getLastHttpStatus(), url.GetString());
    } else if (result >= 1000 && result <= 1017) {
        record.Format(L"[E:%d,T:%s,PS:1,ED:1000]", STAT_STAGE_NETWORK, CGlobalFunc::getTimeStamp().GetString());
    }
    if (!record.IsEmpty()) g_logManager.AddStatistics(record);
    if (!r) return;
    if (CDlgPageMessage* message = r->getMessagePage(999)) {
        message->setMessageType(SERVER_ERROR_UPDATE_CHECK_INF_LOAD, this);
        r->pushViewPage(VIEW_STATE_MESSAGE, TRUE);
    }
}

void CDlgCarChange::addOkStatistics(InfInfo* entry) {
    CMainFrame* f = frame();
    const InfInfo* current = f && f->Cur_inf ? f->Cur_inf : entry;
    const int corp = CRegSetting::getLastUserCorp();
    CString record;
    record.Format(L"[D:%d,T:%s,LT:%s,ID:%s,GUID:%s,NAME:%s]", STAT_STAGE_VEHICLE_CHOICE,
                  CGlobalFunc::getTimeStamp().GetString(), getUserTypeName(CRegSetting::getLastUserType()).GetString(),
                  CRegSetting::getUserID(corp).GetString(), CRegSetting::getClientGUID().GetString(),
                  current->getDeviceName().GetString());
    g_logManager.AddStatistics(record);
}

void CDlgCarChange::OnBnClickedCancel() {
    m_bHideResultList = TRUE;
    if (CDlgRoot* r = root()) r->pushViewPage(VIEW_STATE_CAR_REG, TRUE);
}

void CDlgCarChange::OnBnClickedRightMsg() {
    CDlgRoot* r = root();
    if (!r) return;
    if (CDlgInfoImagePopup* guide = r->m_pPageInfoImagePopup) {
        if (guide->GetSafeHwnd()) guide->SendMessage(UM_GUIDE_SHOW_PAGE, 0, 99);
        guide->setAutoSkip(FALSE);
    }
    r->pushViewPage(VIEW_STATE_INFO_IMAGE_POPUP, TRUE);
}

LRESULT CDlgCarChange::OnRegisteredMessage_MessageResult(WPARAM wParam, LPARAM lParam) {
    LOG_WRITE(L"MessageType = %s, Result = %d",
              CGlobalFunc::getErrorName(static_cast<unsigned>(lParam)).GetString(), static_cast<int>(wParam));
    RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    if (lParam == SERVER_ERROR_UPDATE_CHECK_INF_LOAD) {
        if (CDlgRoot* r = root()) r->pushViewPage(VIEW_STATE_LOGIN, TRUE);
    }
    return 0;
}

BOOL CDlgCarChange::PreTranslateMessage(MSG* msg) {
    if (msg->message == WM_KEYDOWN && (msg->wParam == VK_DOWN || msg->wParam == VK_UP)) {
        if (m_pListResult) m_pListResult->moveSelection(static_cast<UINT>(msg->wParam));
        m_editSearch.SetFocus();
        return TRUE;
    }
    if (msg->message == WM_MOUSEWHEEL) {
        const short delta = static_cast<short>(HIWORD(msg->wParam));
        for (CListWnd* list : {m_pListCar.get(), m_pListDevice.get(), m_pListResult.get()}) {
            // A list the wheel reaches itself scrolls on its own.
            if (!list || list->m_nHoverRow < 0 || msg->hwnd == list->GetSafeHwnd()) continue;
            list->PostMessage(WM_VSCROLL, delta < 0 ? SB_LINEDOWN : SB_LINEUP, 0);
        }
    }
    return CBaseChildDialog::PreTranslateMessage(msg);
}
