// The search page's indexes and rows: show-all order, result order, device
// order, result choice and the brand-prefixed names on every path.
#include "pages/vehicle/car_search_index.h"

#include "descriptors/inf_info.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

struct Catalogue {
    std::vector<std::unique_ptr<InfInfo>> owned;
    std::list<InfInfo*> list;
    CarDisplayNames names{[](const InfInfo& e) { return e.getCarName(); },
                          [](const InfInfo& e) { return e.getDeviceName(); }};

    InfInfo* add(const wchar_t* car, const wchar_t* device, BYTE group = 0, int sort = 0) {
        owned.push_back(std::make_unique<InfInfo>());
        InfInfo* e = owned.back().get();
        e->setCarName(car);
        e->setDeviceName(device);
        e->setDeviceNameIntl(device);
        e->setGroup(group);
        e->setSortNumber(sort);
        list.push_back(e);
        return e;
    }
};

std::vector<std::wstring> texts(const std::vector<CString>& v) {
    std::vector<std::wstring> out;
    for (const CString& s : v) out.emplace_back(s.GetString());
    return out;
}

}  // namespace

TEST(CarSearchIndex, ShowAllPutsMarkedGroupOneFirstDescendingThenOthersAscending) {
    Catalogue c;
    c.add(L"D", L"d1");
    c.add(L"B", L"b1", 1);
    c.add(L"A", L"a1");
    c.add(L"C", L"c1", 1);
    c.add(L"A", L"a2");                          // same car: a second device
    c.add(L"Z", L"z1")->setModelFlag(1);         // not a primary entry
    CarSearchIndex index;
    index.fillAll(c.list, c.names);
    EXPECT_EQ((std::vector<std::wstring>{L"C{{{*}}}", L"B{{{*}}}", L"A", L"D"}), texts(index.carRows(L"N")));
    EXPECT_EQ(2u, index.m_mapCar[L"A"].size());
    EXPECT_TRUE(index.resultRows().empty());
}

TEST(CarSearchIndex, DevicesAscendBySortNumberThenNameGroupOneFirst) {
    Catalogue c;
    c.add(L"CAR", L"Nav B", 0, 5);
    c.add(L"CAR", L"Nav A", 0, 5);
    c.add(L"CAR", L"Nav Z", 0, 1);
    c.add(L"CAR", L"Head Y", 1, 5);
    c.add(L"CAR", L"Head X", 1, 5);
    CarSearchIndex index;
    index.fillAll(c.list, c.names);
    EXPECT_EQ((std::vector<std::wstring>{L"Head X{{{*}}}", L"Head Y{{{*}}}", L"Nav Z", L"Nav A", L"Nav B"}),
              texts(index.deviceRows(L"CAR", c.names, true)));
    // Marked and unmarked rows find the same vehicle.
    EXPECT_EQ(c.owned[4].get(), index.findDevice(L"CAR{{{*}}}", L"Head X{{{*}}}", c.names));
    EXPECT_EQ(c.owned[4].get(), index.findDevice(L"CAR", L"Head X", c.names));
    EXPECT_EQ(nullptr, index.findDevice(L"CAR", L"Nowhere", c.names));
}

TEST(CarSearchIndex, SoftwareRowsComeBeforeModelRows) {
    Catalogue c;
    InfInfo* a = c.add(L"CAR A", L"dev a");
    a->setModelCodeList(L"12A|12B");
    a->setSwVersion(L"12X.1|9");
    a->setSwVersionMask(L"12*|9");
    InfInfo* b = c.add(L"CAR B", L"dev b");
    b->setModelCodeList(L"12B");
    b->setSwVersion(L"7");
    b->setSwVersionMask(L"7");
    CarSearchIndex index;
    index.search(L"12", c.list, buildMaskIndex(c.list), c.names);
    EXPECT_EQ((std::vector<std::wstring>{L"12X.1", L"12A", L"12B"}), texts(index.resultRows()));
    EXPECT_EQ((std::vector<std::wstring>{L"CAR A"}), texts(index.carRows(L"N")));

    const CarSearchIndex::Chosen chosen = index.selectResult(L"12X.1", c.names);
    EXPECT_EQ((std::vector<std::wstring>{L"CAR A"}), texts(chosen.cars));
    EXPECT_EQ((std::vector<std::wstring>{L"dev a"}), texts(chosen.devices));
    // A model row: no software text holds it, so the model list answers.
    EXPECT_EQ((std::vector<std::wstring>{L"dev a"}), texts(index.selectResult(L"12B", c.names).devices));

    index.search(L"Q", c.list, buildMaskIndex(c.list), c.names);
    EXPECT_TRUE(index.resultRows().empty());
    EXPECT_TRUE(index.carRows(L"N").empty());
}

// "TS" names carry the brand before "_": the car key drops it, device names
// keep it on every path, so each path ends at the same vehicle.
TEST(CarSearchIndex, BrandPrefixedNamesChooseTheirVehicleOnEveryPath) {
    Catalogue c;
    InfInfo* e = c.add(L"TS_MY_CAR", L"TS_NAV_1");
    e->setBrandCode(L"TS");
    e->setModelCodeList(L"77A");
    e->setSwVersion(L"V1");
    e->setSwVersionMask(L"V*");
    CarSearchIndex index;

    index.fillAll(c.list, c.names);
    const std::vector<CString> cars = index.carRows(L"TS");
    ASSERT_EQ((std::vector<std::wstring>{L"MY_CAR"}), texts(cars));
    const std::vector<CString> devices = index.deviceRows(cars[0], c.names, true);
    ASSERT_EQ(1u, devices.size());
    EXPECT_EQ(e, index.findDevice(cars[0], devices[0], c.names));

    index.search(L"77", c.list, buildMaskIndex(c.list), c.names);
    const CarSearchIndex::Chosen viaModel = index.selectResult(L"77A", c.names);
    ASSERT_EQ(1u, viaModel.devices.size());
    EXPECT_EQ(e, index.findDevice(viaModel.cars[0], viaModel.devices[0], c.names));

    index.search(L"V", c.list, buildMaskIndex(c.list), c.names);
    EXPECT_EQ((std::vector<std::wstring>{L"MY_CAR"}), texts(index.carRows(L"TS")));
    // The last-mode preselection selects the car key and the whole device name.
    EXPECT_EQ(e, index.findDevice(CarSearchIndex::carKey(*e, c.names), c.names.device(*e), c.names));
}

TEST(CarSearchIndex, DeviceTypeLinesExistForTypesTwoToSixteen) {
    const std::pair<int, int> cases[] = {{0, 0}, {1, 0}, {2, 12561}, {10, 12569}, {16, 12575}, {17, 0}, {-2, 0}};
    for (const auto& c : cases) EXPECT_EQ(c.second, deviceTypeTextId(c.first)) << c.first;
}
