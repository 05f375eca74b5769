#pragma once
// Update items and vehicles for the engine's control tests, read from
// descriptor text as if downloaded, without a network.
#include "descriptors/inf_info.h"
#include "descriptors/ver_file.h"

#include <memory>
#include <ostream>
#include <string>
#include <vector>

// Failure messages show the text (engine_fixtures.cpp).
void PrintTo(const CString& text, std::ostream* os);
// A text for a failure message (a CString is not streamed itself).
inline std::string u8(const CString& text) {
    return std::string(WideToMultiByte(text.GetString(), CP_UTF8).GetString());
}

// One descriptor entry. The item's folder below the download folder is
// "<INF base name>\<dest>".
struct ItemRow {
    CString name;
    CString size = L"10";
    CString ver = L"1";
    CString dest = L"MAP";
    CString zip;              // AG_ZIPNAME, empty for none
    CString zipSize = L"0";
    int pieces = 0;
    UINT32 crc = 0;
};

CString descriptorText(const std::vector<ItemRow>& rows);

// A single item built outside the process-wide list.
class OwnedItem {
public:
    // folder: the folder an item of a model descriptor lands in (empty for
    // the others).
    explicit OwnedItem(const ItemRow& row, const CString& infName = L"CAR.inf", const CString& folder = CString());
    bool ok() const { return m_ok; }
    InfFileUpdate* get() { return &m_item; }
    InfFileUpdate* operator->() { return &m_item; }

private:
    std::unique_ptr<InfInfo> m_info;
    InfFileUpdate m_item;
    bool m_ok = false;
};

// A vehicle of one descriptor; build() fills the process-wide item and
// version-file lists from it (what the compute thread does before a run).
class TestVehicle {
public:
    explicit TestVehicle(const std::vector<ItemRow>& rows, const CString& infName = L"CAR.inf");
    ~TestVehicle();
    void build();
    InfInfo* entry() { return m_info.get(); }
    // The items in list order.
    std::vector<InfFileUpdate*> items() const;
    InfFileUpdate* item(const CString& name) const;

private:
    std::unique_ptr<InfInfo> m_info;
};

// Writes bytes, creating the folders on the way.
bool writeFileAt(const CString& path, const std::string& bytes);
