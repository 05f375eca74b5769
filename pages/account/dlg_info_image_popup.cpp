#include "pages/account/dlg_info_image_popup.h"

#include "resources/resource.h"
#include "ui/view_state.h"

CDlgInfoImagePopup::CDlgInfoImagePopup(CBaseDialog* root) : CPlaceholderPage(IDD_INFO_IMAGE_POPUP, root, L"CDlgInfoImagePopup", VIEW_STATE_INFO_IMAGE_POPUP) {}
