#include "descriptors/inf_file_tail.h"

#include "descriptors/path_join.h"

#include <vector>

int InfFileTail::getNumSpan() const {
    int pieces = inf_number::readInt(getValue(L"AG_NUMSPAN"));
    return pieces < 0 ? 0 : pieces;
}

int InfFileTailHvq::getFileType() const {
    return m_head ? getFileTypeId(m_head->getValue(L"HVQ_FILE_TYPE")) : 0;
}

CString InfFileTailHvq::getDestPath() const {
    if (!m_head) return CString();
    CString path;
    if (!appendPath(path, m_head->getInfBaseName())) return CString();
    if (!appendPath(path, m_head->expandPath(getValue(L"DEST_PATH")))) return CString();
    path.Replace(L"\\\\", L"\\");
    return path;
}

CString InfFileTailHvq::getSourceUrl() const {
    if (!m_head) return CString();
    CString url;
    if (!appendPath(url, m_head->getRootUrl())) return CString();
    if (!appendPath(url, m_head->expandValue(getValue(L"FILEINFO_PATH")))) return CString();
    url.Replace(L"\\\\", L"\\");
    url.Replace(L'\\', L'/');
    return url;
}

void InfFileTailMap::addSection(int index, const common_util::key_value_list& pairs, const InfFileHead* head) {
    if (m_entries.count(index)) return;
    auto entry = std::make_shared<InfFileTailHvq>(head);
    for (const auto& pair : pairs) entry->add(pair.first, pair.second);
    m_entries.emplace(index, std::move(entry));
}

bool InfFileTailMap::forEach(const Visitor& visit) const {
    for (int index = 0; index < size(); ++index) {
        auto found = m_entries.find(index);
        if (found == m_entries.end()) return false;
        if (!visit(index, found->second.get())) return false;
    }
    return true;
}

void InfFileTailMap::mergeFront(const InfFileTailMap& source) {
    std::vector<std::shared_ptr<InfFileTail>> order;
    for (const auto& entry : source.m_entries) order.push_back(entry.second);
    for (const auto& entry : m_entries) order.push_back(entry.second);
    m_entries.clear();
    int index = 0;
    for (auto& entry : order) m_entries.emplace(index++, std::move(entry));
}

InfFileTail* InfFileTailMap::get(int index) const {
    auto found = m_entries.find(index);
    return found == m_entries.end() ? nullptr : found->second.get();
}
