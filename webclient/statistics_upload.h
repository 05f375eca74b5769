#pragma once
// The statistics and error-log upload to "/api/SetDownErrorLog": the log
// manager's statistics context as one JSON object (LogManager::SendStatistics).
#include "foundation/log_statistics.h"

#include <json/value.h>

// The service keeps at most this many UTF-16 units of the error log.
constexpr int kStatisticsErrorLogLimit = 2999;

// The error log as it is sent: its first units up to the limit, one fewer
// when the cut would split a surrogate pair.
CString cutStatisticsErrorLog(const CString& errorLog);

// The JSON body: every member a UTF-8 string; Corporate, UserType and UserID
// encrypted as request values ("guest" and "nonmembers" when not signed in).
Json::Value makeStatisticsJson(const StatisticsContext& context);
