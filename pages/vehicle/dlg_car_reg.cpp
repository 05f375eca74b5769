#include "pages/vehicle/dlg_car_reg.h"

#include "resources/resource.h"
#include "ui/view_state.h"

CDlgCarReg::CDlgCarReg(CBaseDialog* root) : CPlaceholderPage(IDD_CAR_REG, root, L"CDlgCarReg", VIEW_STATE_CAR_REG) {}

void CDlgCarReg::refreshTexts() { recordCall(L"refreshTexts"); }

void CDlgCarReg::setCarInfo(InfInfo* info) {
    recordCall(info ? L"setCarInfo(entry)" : L"setCarInfo(null)");
    m_pCarInfo = info;
}
