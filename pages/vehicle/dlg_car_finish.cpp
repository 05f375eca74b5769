#include "pages/vehicle/dlg_car_finish.h"

#include "resources/resource.h"
#include "ui/view_state.h"

CDlgCarFinish::CDlgCarFinish(CBaseDialog* root)
    : CPlaceholderPage(IDD_CAR_FINISH, root, L"CDlgCarFinish", VIEW_STATE_CAR_FINISH) {}

void CDlgCarFinish::setResult(InfInfo* info, wchar_t letter) {
    CString entry;
    entry.Format(L"setResult(%s,%d)", info ? L"entry" : L"null", static_cast<int>(letter));
    recordCall(entry);
    m_pResultInfo = info;
    if (letter) {
        m_strStorageCode = L"U";
        m_strDriveRoot.Format(L"%c:\\", letter);
    } else {
        m_strStorageCode = L"H";
        m_strDriveRoot.Empty();
    }
}
