#include "pages/account/call_log.h"

void CallLog::record(const CString& entry) {
    std::lock_guard<std::mutex> hold(m_lock);
    m_entries.push_back(entry);
}

std::vector<CString> CallLog::entries() const {
    std::lock_guard<std::mutex> hold(m_lock);
    return m_entries;
}

int CallLog::count(const CString& entry) const {
    std::lock_guard<std::mutex> hold(m_lock);
    int n = 0;
    for (const CString& e : m_entries) n += e == entry ? 1 : 0;
    return n;
}

void CallLog::clear() {
    std::lock_guard<std::mutex> hold(m_lock);
    m_entries.clear();
}
