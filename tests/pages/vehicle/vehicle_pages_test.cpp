// The stand-ins of the vehicle pages: each comes up under the root from its
// own template and paints its name and view. The update page is tested
// under the real root and frame (tests/shell_frame), the registration and
// finish pages in tests/pages/vehicle/reg.
#include "tests/pages/page_fixture.h"

#include "pages/vehicle/dlg_car_change.h"
#include "ui/view_state.h"

#include <vector>

namespace {

template <class Page>
PageCase pageCase(const wchar_t* name, UINT templateId, int carried, int served) {
    return {name, templateId, carried, served, [](CBaseDialog* root) { return new Page(root); }};
}

const std::vector<PageCase>& vehiclePages() {
    static const std::vector<PageCase> cases = {
        pageCase<CDlgCarChange>(L"CDlgCarChange", 413, VIEW_STATE_NONE, VIEW_STATE_CAR_CHANGE),
    };
    return cases;
}

using VehiclePages = PlaceholderPages;

TEST_F(VehiclePages, EachComesUpFromItsTemplateAndPaintsItsNameAndView) {
    for (const PageCase& c : vehiclePages()) {
        CPlaceholderPage* p = checkPage(c);
        ASSERT_NE(nullptr, p);
        EXPECT_EQ("showPage(1)|showPage(0)", joined(p->calls()));
    }
}

}  // namespace
