// The stand-ins of the vehicle and update pages: each comes up under the
// root from its own template and paints its name and view; the update page
// takes the engine's callbacks from engine threads.
#include "tests/pages/page_fixture.h"

#include "descriptors/inf_info.h"
#include "engine/transfer_page.h"
#include "foundation/private_messages.h"
#include "pages/vehicle/dlg_car_change.h"
#include "pages/vehicle/dlg_car_finish.h"
#include "pages/vehicle/dlg_car_reg.h"
#include "pages/vehicle/dlg_car_update.h"
#include "ui/view_state.h"

#include <thread>
#include <vector>

namespace {

template <class Page>
PageCase pageCase(const wchar_t* name, UINT templateId, int carried, int served) {
    return {name, templateId, carried, served, [](CBaseDialog* root) { return new Page(root); }};
}

const std::vector<PageCase>& vehiclePages() {
    static const std::vector<PageCase> cases = {
        pageCase<CDlgCarReg>(L"CDlgCarReg", 414, VIEW_STATE_NONE, VIEW_STATE_CAR_REG),
        pageCase<CDlgCarChange>(L"CDlgCarChange", 413, VIEW_STATE_NONE, VIEW_STATE_CAR_CHANGE),
        pageCase<CDlgCarUpdate>(L"CDlgCarUpdate", 417, VIEW_STATE_CAR_UPDATE, VIEW_STATE_CAR_UPDATE),
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

// The engine holds the page as a transfer_page and calls it from its own
// threads while the UI thread goes on.
TEST_F(VehiclePages, UpdatePageTakesTheEnginesCallbacksFromOtherThreads) {
    auto* update = static_cast<CDlgCarUpdate*>(createPage(vehiclePages()[2]));
    ASSERT_NE(nullptr, update);
    InfInfo vehicle;
    update->setUpdateTarget(&vehicle, L'E');
    EXPECT_EQ(L'E', update->m_chDrive);
    EXPECT_EQ(&vehicle, update->m_pCarInfo);
    update->setUpdateTarget(nullptr, 0);
    EXPECT_EQ(0, update->m_chDrive);
    EXPECT_EQ(nullptr, update->m_pTargetInfo);

    transfer_page* engineSide = update;
    std::vector<int> begun;
    std::thread engine([&] {
        for (int i = 0; i < 50; ++i) {
            begun.push_back(engineSide->beginTransfer());
            engineSide->computeAndInitDownload();
            engineSide->StartCarCopy();
        }
    });
    for (int i = 0; i < 50; ++i) update->recordCall(L"ui");
    engine.join();
    EXPECT_EQ(std::vector<int>(50, 0), begun) << "begins nothing unless told";
    EXPECT_EQ(50, update->callCount(L"beginTransfer"));
    EXPECT_EQ(50, update->callCount(L"computeAndInitDownload"));
    EXPECT_EQ(50, update->callCount(L"StartCarCopy"));
    EXPECT_EQ(50, update->callCount(L"ui"));
    update->m_nBeginResult = 1;
    EXPECT_EQ(1, engineSide->beginTransfer());

    ::PostMessageW(update->m_hWnd, UM_CHECK_COMPLETE, 0, 1);
    EXPECT_TRUE(pumpUntil([&] { return update->callCount(L"OnCheckComplete(0,1)") == 1; }));
    EXPECT_EQ("setUpdateTarget(entry,69)", joined({update->calls().front()}));
}

TEST_F(VehiclePages, FinishPageNamesTheStorageOfTheResult) {
    auto* finish = static_cast<CDlgCarFinish*>(createPage(vehiclePages()[3]));
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
