#pragma once
// The log manager's state, shared by the files that implement it.
#include "foundation/logmanager.h"
#include "foundation/logwriter.h"

#include <atomic>
#include <mutex>

struct LogManager::State {
    CString folder;
    CString fileName;
    int retainDays = 0;
    ULONGLONG byteLimit = 0;
    int outputFlags = 0;
    std::atomic<LogWriter*> current{nullptr};
    std::map<const void*, LogWriter*> byOwner;
    std::map<CString, std::unique_ptr<LogWriter>> byName;
    std::vector<std::pair<CString, const void*>> registrations;
    // The statistics context is written from the UI thread and from workers.
    mutable std::mutex statisticsLock;
    StatisticsContext statistics;
};
