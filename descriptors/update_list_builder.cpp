#include "descriptors/update_list_builder.h"

namespace update_list_builder {

CString folderOf(const InfInfo* entry) {
    CString name = entry->getInfFileName();
    // The extension may come in either letter case.
    for (;;) {
        int at = CString(name).MakeLower().Find(L".inf");
        if (at < 0) return name;
        name.Delete(at, 4);
    }
}

void build(const std::list<InfInfo*>& entries) {
    // The version files list the items: they go first, so no write walks
    // an item freed below (a write still running is waited for).
    ver_file_list::getInstance().clear();
    InfFileUpdateList& items = InfFileUpdateList::getInstance();
    items.clear();
    CString lastCommonFolder;
    for (InfInfo* entry : entries) {
        if (!entry) continue;
        CString folder;
        if (entry->getModelFlag() == 0) {
            lastCommonFolder = folderOf(entry);
            folder = lastCommonFolder;
        } else {
            // A model descriptor joins its own vehicle's common folder; the
            // last common descriptor seen stands in when that is unknown.
            const InfInfo* common = entry->getFirstDescriptor();
            folder = common && common != entry && common->getModelFlag() == 0 ? folderOf(common) : lastCommonFolder;
        }
        InfFileTailMap* tails = entry->getInfFileTails();
        if (!tails) continue;
        tails->forEach([&](int, InfFileTail* tail) {
            items.add(tail, tail->getFileType() == INF_FILE_TYPE_HVQ_MODEL ? folder : CString());
            return true;
        });
    }

    ver_file_list& versions = ver_file_list::getInstance();
    versions.clear();
    for (InfInfo* entry : entries) {
        if (!entry) continue;
        versions.append(
            ver_file::from_InfInfo(entry, entry->getModelFlag() == 0 ? VER_FILE_HVQ_COMMON : VER_FILE_HVQ_MODEL));
    }
}

}  // namespace update_list_builder
