#pragma once
// The vehicle search's catalogue indexes, rebuilt from the account's primary
// entries on every change of the search text, and the rows the search page
// shows from them. No windows: the page hands in the names it displays.
#include "pages/vehicle/car_search_match.h"

#include <functional>
#include <list>
#include <map>
#include <vector>

// The mark the list window draws in front of a group-1 row.
extern const wchar_t* const kListMark;
CString withoutListMark(const CString& row);

struct CarDisplayNames {
    // The names a user sees for an entry in the current language.
    std::function<CString(const InfInfo&)> car;
    std::function<CString(const InfInfo&)> device;
};

class CarSearchIndex {
public:
    using Entries = std::vector<const InfInfo*>;

    void clear();
    // A search text: software-version rows first (in key order), then model
    // rows; then the indexes behind the car and device lists.
    void search(const CString& text, const std::list<InfInfo*>& vehicles,
                const std::multimap<CString, const InfInfo*>& masks, const CarDisplayNames& names);
    // The empty search box: every primary vehicle, group-1 names first
    // (descending, marked), then the others ascending.
    void fillAll(const std::list<InfInfo*>& vehicles, const CarDisplayNames& names);

    // Car rows for the list; empty when no row names a known car.
    std::vector<CString> carRows(const CString& corpCode) const;
    std::vector<CString> resultRows() const;
    // The device rows of one car: ascending by sort number, then by the
    // device name of the UI language, group 1 first and marked.
    std::vector<CString> deviceRows(const CString& carRow, const CarDisplayNames& names,
                                    bool koreanUi) const;
    // The entry a car row and a device row name; null when none.
    const InfInfo* findDevice(const CString& carRow, const CString& deviceRow,
                              const CarDisplayNames& names) const;

    struct Chosen {
        std::vector<CString> cars;
        std::vector<CString> devices;
    };
    // The car and device rows for a chosen result row.
    Chosen selectResult(const CString& chosen, const CarDisplayNames& names) const;

    // The car key of an entry: its display car name without a brand prefix.
    static CString carKey(const InfInfo& entry, const CarDisplayNames& names);

    std::map<CString, Entries> m_mapCar, m_mapSoftware, m_mapModel, m_mapResult;
    std::vector<CString> m_listCar, m_listSoftware, m_listModel, m_listResult;

private:
    void addResult(const car_search::Hit& hit);
    void indexResults(const CarDisplayNames& names);
};

// The text id of a device type's line: 12561 for type 2 up to 12575 for
// type 16; 0 (an empty line) for any other type.
int deviceTypeTextId(int deviceType);

// The mask index: every primary entry under its software-version mask list.
std::multimap<CString, const InfInfo*> buildMaskIndex(const std::list<InfInfo*>& vehicles);
