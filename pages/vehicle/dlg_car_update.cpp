#include "pages/vehicle/dlg_car_update.h"

#include "foundation/private_messages.h"
#include "resources/resource.h"
#include "ui/view_state.h"

BOOL g_bSaveToHDD = FALSE;

namespace {

CString targetEntry(const wchar_t* name, InfInfo* info, wchar_t letter) {
    CString entry;
    entry.Format(L"%s(%s,%d)", name, info ? L"entry" : L"null", static_cast<int>(letter));
    return entry;
}

}  // namespace

BEGIN_MESSAGE_MAP(CDlgCarUpdate, CPlaceholderPage)
    ON_MESSAGE(UM_CHECK_COMPLETE, OnCheckComplete)
END_MESSAGE_MAP()

CDlgCarUpdate::CDlgCarUpdate(CBaseDialog* root)
    : CPlaceholderPage(IDD_CAR_UPDATE, root, L"CDlgCarUpdate", VIEW_STATE_CAR_UPDATE) {
    m_ePageViewStatus = VIEW_STATE_CAR_UPDATE;
    g_bSaveToHDD = FALSE;
}

void CDlgCarUpdate::setUpdateTarget(InfInfo* info, wchar_t letter) {
    recordCall(targetEntry(L"setUpdateTarget", info, letter));
    m_pCarInfo = info;
    m_pTargetInfo = info;
    m_chDrive = letter;
}

LRESULT CDlgCarUpdate::OnCheckComplete(WPARAM wParam, LPARAM lParam) {
    CString entry;
    entry.Format(L"OnCheckComplete(%d,%d)", static_cast<int>(wParam), static_cast<int>(lParam));
    recordCall(entry);
    return 0;
}

int CDlgCarUpdate::beginTransfer() {
    recordCall(L"beginTransfer");
    return m_nBeginResult;
}

void CDlgCarUpdate::computeAndInitDownload() { recordCall(L"computeAndInitDownload"); }

void CDlgCarUpdate::StartCarCopy() { recordCall(L"StartCarCopy"); }
