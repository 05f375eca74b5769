#include "descriptors/inf_file_update.h"

#include "foundation/message_pump.h"

namespace {

// After a pass the calling thread's messages flow this long, so the pages
// stay responsive between the passes they make over the list.
constexpr DWORD kPumpAfterVisitMs = 100;

}  // namespace

InfFileUpdateList& InfFileUpdateList::getInstance() {
    static InfFileUpdateList list;
    return list;
}

InfFileUpdateList::~InfFileUpdateList() {
    m_pEngine = nullptr;
    clear();
}

void InfFileUpdateList::attachEngine(update_item_engine* engine) {
    m_pEngine = engine;
}

void InfFileUpdateList::lockTasks() {
    if (m_pEngine) m_pEngine->lockTasks();
    else m_ownLock.lock();
}

void InfFileUpdateList::unlockTasks() {
    if (m_pEngine) m_pEngine->unlockTasks();
    else m_ownLock.unlock();
}

void InfFileUpdateList::add(InfFileTail* entry, const CString& folder) {
    auto* item = new InfFileUpdate;
    if (!item->init(entry, folder)) {
        delete item;
        return;
    }
    lockTasks();
    m_queue.push_back(item);
    m_itemsByEntry.emplace(entry, item);
    m_entriesByItem.emplace(item, entry);
    unlockTasks();
}

bool InfFileUpdateList::forEach(const Visitor& visit) {
    bool result = false;
    for (size_t i = 0; i < m_queue.size(); ++i) {
        result = visit(static_cast<int>(i), m_queue[i]);
        if (!result) break;
    }
    waitPumpingMessages(kPumpAfterVisitMs);
    return result;
}

void InfFileUpdateList::clear() {
    lockTasks();
    m_itemsByEntry.clear();
    m_entriesByItem.clear();
    for (InfFileUpdate* item : m_queue) {
        if (m_pEngine) m_pEngine->removeItemRecords(item);
        delete item;
    }
    m_queue.clear();
    unlockTasks();
}

InfFileUpdate* InfFileUpdateList::findByEntry(const InfFileTail* entry) const {
    auto found = m_itemsByEntry.find(entry);
    return found == m_itemsByEntry.end() ? nullptr : found->second;
}

InfFileTail* InfFileUpdateList::findEntry(const InfFileUpdate* item) const {
    auto found = m_entriesByItem.find(item);
    return found == m_entriesByItem.end() ? nullptr : found->second;
}
