#pragma once
// The program-wide logger writes to the file of its first init for the
// whole run, so every test that reads what LOG_WRITE wrote goes through
// here.
#include "foundation/logmanager.h"
#include "foundation/logwriter.h"
#include "tests/support/test_support.h"

#include <string>

inline const CString& globalLogFolder() {
    static TempDir dir;
    static const bool configured = [] {
        g_logManager.init(dir.path(), L"Kestrune_WIN.log", 0, 0, LogManager::OUTPUT_FILE);
        return true;
    }();
    (void)configured;
    return dir.path();
}

// Everything the global logger wrote today.
inline std::string globalLogText() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return readBytes(LogWriter::dayFileName(globalLogFolder() + L"Kestrune_WIN.log", now));
}

inline std::string utf8(const CString& text) {
    return std::string(WideToMultiByte(text.GetString(), CP_UTF8).GetString());
}
