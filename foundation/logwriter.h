#pragma once
// One log file: lines are appended to the day's file derived from the path
// ("...\Kestrune_WIN.log" -> "...\Kestrune_WIN_20240131.log"), UTF-8, CR LF.
// The file is opened and closed for every line, under the writer's lock.
#include "afx/afx.h"

class LogWriter {
public:
    explicit LogWriter(const CString& path) : m_path(path) {}
    LogWriter(const LogWriter&) = delete;
    LogWriter& operator=(const LogWriter&) = delete;

    // message ends in a line feed; every line feed is written as CR LF.
    void write(const CString& message, const CString& function, int line);
    void writeNoLocation(const CString& message);

    const CString& path() const { return m_path; }

    // The day's file name for a writer path and a local date.
    static CString dayFileName(const CString& path, const SYSTEMTIME& date);

private:
    void append(const SYSTEMTIME& now, const CString& prefix, const CString& message);

    CString m_path;
    CCriticalSection m_lock;
};
