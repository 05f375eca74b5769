#pragma once
// The program's one logger. Every line names the calling function as
// "Class::method" and its source line; write lines with LOG_WRITE.
#include "afx/afx.h"
#include "foundation/function_name.h"
#include "foundation/log_statistics.h"

#include <map>
#include <memory>
#include <vector>

class LogWriter;

class LogManager {
public:
    enum OutputFlags { OUTPUT_FILE = 1, OUTPUT_DEBUGGER = 2 };
    static constexpr int kMaxMessageChars = 131071;

    LogManager();
    ~LogManager();
    LogManager(const LogManager&) = delete;
    LogManager& operator=(const LogManager&) = delete;

    void init(const CString& folder, const CString& fileName, ULONGLONG byteLimit, int retainDays, int outputFlags);
    void addWriter(const CString& fileName, const void* owner);
    void removeWriter(const CString& fileName, const void* owner);

    // function: narrow "Class::method"; format: wide, "%s" takes a wide string.
    void log(const char* function, int line, const wchar_t* format, ...);
    void logV(const char* function, int line, const wchar_t* format, va_list args);
    void logNoLocation(const wchar_t* format, ...);

    // Exit housekeeping of the log folder: drops the writers' day files
    // ("<stem>_YYYYMMDD<ext>") without a recent date stamp, then the oldest
    // of them until they fit the byte limit. Other files and a folder that
    // is not absolute are left alone. Today is the writers' clock
    // (GetLocalTime).
    void deleteOldLogs();
    void deleteOldLogs(const SYSTEMTIME& today);

    static bool getFileVersion(CString& version);

    // ---- statistics context. Pages and workers on several threads write it;
    // every operation takes the context's own lock.
    void SetStatisticsLanguage(const CString& language);
    void SetStatisticsRegion(const CString& region);
    void SetStatisticsClientID(const CString& clientId);
    // The software version the medium scan read from the head unit's file
    // ("OldSWVer"); the registration page's update info may replace it later.
    void SetStatisticsOldSwVersion(const CString& version);
    // Keeps all but the fourth text.
    void SetStatisticsLoginInfo(LoginLogInfo info);
    void SetStatisticsUpdateInfo(UpdateLogInfo info);
    // Appends a record; its first item (without "[") becomes the last code,
    // a record without "," is the last code as a whole.
    void AddStatistics(const CString& record);
    // Whether any record has been appended.
    bool hasStatisticsRecords() const;
    // A consistent copy of the context.
    StatisticsContext getStatisticsContext() const;
    // Uploads the whole context as JSON to the web service and returns the
    // reply text, "0" when the post failed, empty without a log state. Blocks
    // the calling thread. Built with the web client.
    CString SendStatistics();

    // The folder and file name that init received.
    CString folder() const;
    CString fileName() const;
    int retainDays() const;
    ULONGLONG byteLimit() const;

private:
    struct State;

    bool format(const wchar_t* format, va_list args, CString& out) const;
    LogWriter* currentWriter();
    void deleteByDate(const SYSTEMTIME& today);
    // The date stamp of a file name one of the writers produces, else empty.
    CString writtenStamp(const CString& name) const;
    void deleteBySize();
    // Stores the upload's system values (a client version left empty keeps
    // the earlier one) and copies the context; false without a log state.
    bool prepareStatisticsUpload(const CString& osVersion, const CString& clientVersion, const CString& localTime,
                                 StatisticsContext& copy);

    std::unique_ptr<State> m_state;
};

extern LogManager g_logManager;

// The log folder for an install path: install path + "\log\", with repeated
// separators collapsed so that a trailing "\" in the path does not leave an
// empty folder level (which would stop the folder from being created). An
// empty or relative install path puts the folder beside the program.
CString logFolderForInstallPath(const CString& installPath);

#define LOG_WRITE(...)                                                       \
    do {                                                                     \
        KESTRUNE_DECLARE_FUNCTION_NAME;                                      \
        ::g_logManager.log(kestrune_function_.c_str(), __LINE__, __VA_ARGS__); \
    } while (0)
