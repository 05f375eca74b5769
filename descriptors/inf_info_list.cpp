#include "descriptors/inf_info.h"

namespace {

// True when a belongs strictly before b.
bool precedes(const InfInfo* a, const InfInfo* b) {
    bool aFirst = a->getGroup() == 1, bFirst = b->getGroup() == 1;
    if (aFirst != bFirst) return aFirst;
    if (a->getSortNumber() != b->getSortNumber()) return a->getSortNumber() > b->getSortNumber();
    return a->getCarName().Compare(b->getCarName().GetString()) < 0;
}

}  // namespace

InfInfoList::~InfInfoList() {
    clear();
}

void InfInfoList::insertSorted(InfInfo* entry) {
    if (!entry) return;
    auto position = m_list.begin();
    while (position != m_list.end() && !precedes(entry, *position)) ++position;
    m_list.insert(position, entry);
}

InfInfoList* InfInfoList::filterByModelCode(const CString& code) const {
    auto* result = new InfInfoList(false);
    for (InfInfo* entry : m_list) {
        if (entry->getModelCode().CompareNoCase(code.GetString()) != 0) continue;
        if (entry->getModelFlag() == 0) result->m_list.push_front(entry);
        else result->m_list.push_back(entry);
    }
    return result;
}

void InfInfoList::clear() {
    if (m_nOwning) {
        for (InfInfo* entry : m_list) delete entry;
    }
    m_list.clear();
}
