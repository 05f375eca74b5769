#include "pages/vehicle/dlg_car_change.h"

#include "resources/resource.h"
#include "ui/view_state.h"

CDlgCarChange::CDlgCarChange(CBaseDialog* root)
    : CPlaceholderPage(IDD_CAR_CHANGE, root, L"CDlgCarChange", VIEW_STATE_CAR_CHANGE) {}
