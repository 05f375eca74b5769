#pragma once
// The calls a stand-in page received, one entry per call ("name" or
// "name(arguments)"). Engine threads call some pages, so it has its own lock.
#include "afx/afx.h"

#include <mutex>
#include <vector>

class CallLog {
public:
    void record(const CString& entry);
    std::vector<CString> entries() const;
    int count(const CString& entry) const;
    void clear();

private:
    mutable std::mutex m_lock;
    std::vector<CString> m_entries;
};
