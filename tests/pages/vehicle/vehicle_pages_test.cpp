// The stand-ins of the vehicle pages: each comes up under the root from its
// own template and paints its name and view. The update page is tested
// under the real root and frame (tests/shell_frame), the search page in
// search/.
#include "tests/pages/page_fixture.h"

#include "descriptors/inf_info.h"
#include "pages/vehicle/dlg_car_finish.h"
#include "pages/vehicle/dlg_car_reg.h"
#include "ui/view_state.h"

#include <vector>

namespace {

template <class Page>
PageCase pageCase(const wchar_t* name, UINT templateId, int carried, int served) {
    return {name, templateId, carried, served, [](CBaseDialog* root) { return new Page(root); }};
}

const std::vector<PageCase>& vehiclePages() {
    static const std::vector<PageCase> cases = {
        pageCase<CDlgCarReg>(L"CDlgCarReg", 414, VIEW_STATE_NONE, VIEW_STATE_CAR_REG),
        pageCase<CDlgCarFinish>(L"CDlgCarFinish", 419, VIEW_STATE_NONE, VIEW_STATE_CAR_FINISH),
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

TEST_F(VehiclePages, RegistrationPageKeepsTheChosenVehicle) {
    auto* reg = static_cast<CDlgCarReg*>(createPage(vehiclePages()[0]));
    ASSERT_NE(nullptr, reg);
    InfInfo vehicle;
    reg->setCarInfo(&vehicle);
    EXPECT_EQ(&vehicle, reg->m_pCarInfo);
    reg->setCarInfo(nullptr);
    reg->refreshTexts();
    EXPECT_EQ(nullptr, reg->m_pCarInfo);
    EXPECT_EQ("setCarInfo(entry)|setCarInfo(null)|refreshTexts", joined(reg->calls()));
}

TEST_F(VehiclePages, FinishPageNamesTheStorageOfTheResult) {
    auto* finish = static_cast<CDlgCarFinish*>(createPage(vehiclePages()[1]));
    ASSERT_NE(nullptr, finish);
    InfInfo vehicle;
    struct {
        wchar_t letter;
        const wchar_t* code;
        const wchar_t* root;
    } cases[] = {{L'F', L"U", L"F:\\"}, {0, L"H", L""}};
    for (const auto& c : cases) {
        finish->setResult(&vehicle, c.letter);
        EXPECT_EQ(&vehicle, finish->m_pResultInfo);
        EXPECT_EQ(CString(c.code), finish->m_strStorageCode);
        EXPECT_EQ(CString(c.root), finish->m_strDriveRoot);
    }
    EXPECT_EQ("setResult(entry,70)|setResult(entry,0)", joined(finish->calls()));
}

}  // namespace
