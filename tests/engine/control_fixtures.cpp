#include "tests/engine/control_fixtures.h"

#include "descriptors/update_list_builder.h"
#include "foundation/common_util.h"
#include "tests/support/test_support.h"

CString descriptorText(const std::vector<ItemRow>& rows) {
    CString text = L"[HEAD]\r\nROOT_URL=https://host/contents/pkg\r\nSD_ROOT=SD\r\nCOMMON_PATH=CAR\r\n"
                   L"UPDATE_VERSION=2024.05.01\r\n";
    int index = 0;
    for (const ItemRow& s : rows) {
        text.AppendFormat(L"[FILE%d]\r\n", index++);
        text.AppendFormat(L"AG_FILENAME=%s\r\nAG_FILESIZE=%s\r\nAG_VER=%s\r\nAG_FILECRC=%u\r\n", s.name.GetString(),
                          s.size.GetString(), s.ver.GetString(), s.crc);
        text.AppendFormat(L"DEST_PATH=$SD_ROOT$\\%s\r\nFILEINFO_PATH=$COMMON_PATH$/%s\r\n", s.dest.GetString(),
                          s.dest.GetString());
        if (!s.zip.IsEmpty()) {
            text.AppendFormat(L"AG_ZIPNAME=%s\r\nAG_ZIPSIZE=%s\r\nAG_NUMSPAN=%d\r\n", s.zip.GetString(),
                              s.zipSize.GetString(), s.pieces);
        }
    }
    return text;
}

namespace {

std::unique_ptr<InfInfo> entryOf(const CString& infName, const CString& text) {
    auto entry = std::make_unique<InfInfo>();
    entry->setInfFileName(infName);
    entry->setModelFlag(0);
    entry->setFirstDescriptor(entry.get());
    entry->m_guard.set();
    entry->readInfText(text);
    return entry;
}

}  // namespace

OwnedItem::OwnedItem(const ItemRow& row, const CString& infName, const CString& folder)
    : m_info(entryOf(infName, descriptorText({row}))) {
    InfFileTailMap* tails = m_info->getInfFileTails();
    InfFileTail* tail = tails ? tails->get(0) : nullptr;
    m_ok = tail && m_item.init(tail, folder);
}

TestVehicle::TestVehicle(const std::vector<ItemRow>& rows, const CString& infName)
    : m_info(entryOf(infName, descriptorText(rows))) {}

TestVehicle::~TestVehicle() {
    // The lists point into this vehicle's descriptor.
    ver_file_list::getInstance().clear();
    InfFileUpdateList::getInstance().clear();
}

void TestVehicle::build() {
    update_list_builder::build({m_info.get()});
}

std::vector<InfFileUpdate*> TestVehicle::items() const {
    std::vector<InfFileUpdate*> all;
    InfFileTailMap* tails = m_info->getInfFileTails();
    if (!tails) return all;
    tails->forEach([&all](int, InfFileTail* tail) {
        if (InfFileUpdate* item = InfFileUpdateList::getInstance().findByEntry(tail)) all.push_back(item);
        return true;
    });
    return all;
}

InfFileUpdate* TestVehicle::item(const CString& name) const {
    for (InfFileUpdate* item : items()) {
        if (item->getFileName() == name) return item;
    }
    return nullptr;
}

bool writeFileAt(const CString& path, const std::string& bytes) {
    common_util::ensure_directory(path);
    return writeBytes(path, bytes);
}
