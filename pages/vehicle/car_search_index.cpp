#include "pages/vehicle/car_search_index.h"

#include "descriptors/inf_info.h"

#include <algorithm>

const wchar_t* const kListMark = L"{{{*}}}";

CString withoutListMark(const CString& row) {
    const int markLength = static_cast<int>(wcslen(kListMark));
    if (row.GetLength() >= markLength && row.Right(markLength) == kListMark)
        return row.Left(row.GetLength() - markLength);
    return row;
}

namespace {

bool isPrimary(const InfInfo* entry) { return entry && entry->getModelFlag() == 0; }

template <class T>
bool contains(const std::vector<T>& v, const T& x) {
    return std::find(v.begin(), v.end(), x) != v.end();
}

}  // namespace

std::multimap<CString, const InfInfo*> buildMaskIndex(const std::list<InfInfo*>& vehicles) {
    std::multimap<CString, const InfInfo*> masks;
    for (const InfInfo* entry : vehicles)
        if (isPrimary(entry)) masks.emplace(entry->getSwVersionMask(), entry);
    return masks;
}

int deviceTypeTextId(int deviceType) { return deviceType >= 2 && deviceType <= 16 ? 12559 + deviceType : 0; }

CString CarSearchIndex::carKey(const InfInfo& entry, const CarDisplayNames& names) {
    return car_search::stripBrandPrefix(names.car(entry), entry.getBrandCode());
}

void CarSearchIndex::clear() {
    m_mapCar.clear();
    m_mapSoftware.clear();
    m_mapModel.clear();
    m_mapResult.clear();
    m_listCar.clear();
    m_listSoftware.clear();
    m_listModel.clear();
    m_listResult.clear();
}

void CarSearchIndex::addResult(const car_search::Hit& hit) {
    auto it = m_mapResult.find(hit.key);
    if (it == m_mapResult.end()) {
        m_listResult.push_back(hit.key);
        m_mapResult[hit.key] = {hit.entry};
    } else {
        it->second.push_back(hit.entry);
    }
}

void CarSearchIndex::search(const CString& text, const std::list<InfInfo*>& vehicles,
                            const std::multimap<CString, const InfInfo*>& masks,
                            const CarDisplayNames& names) {
    clear();
    for (const car_search::Hit& hit : car_search::matchSoftwareMasks(text, masks)) addResult(hit);
    for (const car_search::Hit& hit : car_search::matchModelCodes(text, vehicles)) addResult(hit);
    indexResults(names);
}

void CarSearchIndex::indexResults(const CarDisplayNames& names) {
    for (const CString& key : m_listResult) {
        for (const InfInfo* entry : m_mapResult[key]) {
            const CString car = carKey(*entry, names);
            const CString sw = entry->getSwVersion();
            const CString model = entry->getModelCodeList();
            m_listSoftware.push_back(sw);
            if (!contains(m_listModel, model)) m_listModel.push_back(model);
            m_mapSoftware.emplace(sw, Entries{entry});
            m_mapModel.emplace(model, Entries{entry});
            auto it = m_mapCar.find(car);
            if (it == m_mapCar.end()) {
                m_listCar.push_back(car);
                m_mapCar[car] = {entry};
            } else if (!contains(it->second, entry)) {
                it->second.push_back(entry);
            }
        }
    }
}

void CarSearchIndex::fillAll(const std::list<InfInfo*>& vehicles, const CarDisplayNames& names) {
    clear();
    std::vector<CString> groupOne, others;
    for (const InfInfo* entry : vehicles) {
        if (!isPrimary(entry)) continue;
        const CString car = carKey(*entry, names);
        auto it = m_mapCar.find(car);
        if (it != m_mapCar.end()) {
            it->second.push_back(entry);
            continue;
        }
        (entry->getGroup() == 1 ? groupOne : others).push_back(names.car(*entry));
        m_mapCar[car] = {entry};
        m_mapSoftware.emplace(entry->getSwVersion(), Entries{entry});
        m_mapModel.emplace(entry->getModelCodeList(), Entries{entry});
    }
    std::stable_sort(groupOne.begin(), groupOne.end());
    std::stable_sort(others.begin(), others.end());
    for (auto it = groupOne.rbegin(); it != groupOne.rend(); ++it) m_listCar.push_back(*it + kListMark);
    m_listCar.insert(m_listCar.end(), others.begin(), others.end());
}

std::vector<CString> CarSearchIndex::carRows(const CString& corpCode) const {
    std::vector<CString> rows;
    for (const CString& text : m_listCar) {
        // The search path lists car keys, the show-all path display names:
        // a key is taken as it is, so a "TS" name with a second "_" is not
        // cut twice.
        if (m_mapCar.count(withoutListMark(text))) {
            rows.push_back(text);
            continue;
        }
        const CString row = car_search::stripBrandPrefix(text, corpCode);
        if (m_mapCar.count(withoutListMark(row))) rows.push_back(row);
    }
    return rows;
}

std::vector<CString> CarSearchIndex::resultRows() const {
    std::vector<CString> rows;
    for (const CString& key : m_listResult)
        if (m_mapResult.count(key)) rows.push_back(key);
    return rows;
}

std::vector<CString> CarSearchIndex::deviceRows(const CString& carRow, const CarDisplayNames& names,
                                                bool koreanUi) const {
    std::vector<CString> rows;
    auto it = m_mapCar.find(withoutListMark(carRow));
    if (it == m_mapCar.end()) return rows;
    Entries sorted = it->second;
    auto sortName = [koreanUi](const InfInfo* e) { return koreanUi ? e->getDeviceName() : e->getDeviceNameIntl(); };
    std::stable_sort(sorted.begin(), sorted.end(), [&](const InfInfo* a, const InfInfo* b) {
        if (a->getSortNumber() != b->getSortNumber()) return a->getSortNumber() > b->getSortNumber();
        return sortName(b) < sortName(a);
    });
    std::vector<CString> groupOne, others;
    for (const InfInfo* e : sorted) (e->getGroup() == 1 ? groupOne : others).push_back(names.device(*e));
    for (auto r = groupOne.rbegin(); r != groupOne.rend(); ++r) rows.push_back(*r + kListMark);
    for (auto r = others.rbegin(); r != others.rend(); ++r) rows.push_back(*r);
    return rows;
}

const InfInfo* CarSearchIndex::findDevice(const CString& carRow, const CString& deviceRow,
                                          const CarDisplayNames& names) const {
    auto it = m_mapCar.find(withoutListMark(carRow));
    if (it == m_mapCar.end()) return nullptr;
    const CString device = withoutListMark(deviceRow);
    for (const InfInfo* e : it->second)
        if (names.device(*e) == device) return e;
    return nullptr;
}

CarSearchIndex::Chosen CarSearchIndex::selectResult(const CString& chosen, const CarDisplayNames& names) const {
    std::vector<CString> cars, devices;
    auto collect = [&](const std::vector<CString>& list, const std::map<CString, Entries>& map) {
        for (const CString& text : list) {
            if (text.Find(chosen) < 0) continue;
            auto it = map.find(text);
            if (it == map.end()) continue;
            for (const InfInfo* e : it->second) {
                // Device names stay whole: the device rows and their lookup
                // use them unchanged, so a stripped one would choose nothing.
                devices.push_back(names.device(*e));
                cars.push_back(carKey(*e, names));
            }
        }
    };
    collect(m_listSoftware, m_mapSoftware);
    if (devices.empty()) {
        cars.clear();
        collect(m_listModel, m_mapModel);
    }
    Chosen out;
    for (const CString& car : cars)
        if (out.cars.empty() || out.cars.back() != car) out.cars.push_back(car);
    if (!devices.empty()) out.devices.push_back(devices.front());
    return out;
}
