// The statistics context of the log manager: records and descriptive values
// that go up with the error log.
#include "foundation/logmanager.h"
#include "foundation/logmanager_state.h"

void LogManager::SetStatisticsLanguage(const CString& language) {
    if (!m_state) return;
    std::lock_guard<std::mutex> hold(m_state->statisticsLock);
    m_state->statistics.language = language;
}

void LogManager::SetStatisticsRegion(const CString& region) {
    if (!m_state) return;
    std::lock_guard<std::mutex> hold(m_state->statisticsLock);
    m_state->statistics.region = region;
}

void LogManager::SetStatisticsClientID(const CString& clientId) {
    if (!m_state) return;
    std::lock_guard<std::mutex> hold(m_state->statisticsLock);
    m_state->statistics.clientId = clientId;
}

void LogManager::SetStatisticsOldSwVersion(const CString& version) {
    if (!m_state) return;
    std::lock_guard<std::mutex> hold(m_state->statisticsLock);
    m_state->statistics.oldSwVersion = version;
}

void LogManager::SetStatisticsLoginInfo(LoginLogInfo info) {
    if (!m_state) return;
    std::lock_guard<std::mutex> hold(m_state->statisticsLock);
    StatisticsContext& s = m_state->statistics;
    s.encryptedUserId = info.m_strEncryptedUserId;
    s.encryptedUserType = info.m_strEncryptedUserType;
    s.encryptedCorp = info.m_strEncryptedCorp;
    s.language = info.m_strLanguage;
    s.userId = info.m_strUserId;
    s.userType = info.m_strUserType;
    s.corporate = info.m_strCorp;
}

void LogManager::SetStatisticsUpdateInfo(UpdateLogInfo info) {
    if (!m_state) return;
    std::lock_guard<std::mutex> hold(m_state->statisticsLock);
    StatisticsContext& s = m_state->statistics;
    s.infPath = info.m_strInfPath;
    s.deviceMCode = info.m_strDeviceMCode;
    s.deviceName = info.m_strDeviceName;
    s.oldMapVersion = info.m_strOldMapVersion;
    s.oldSwVersion = info.m_strOldSwVersion;
    s.newMapVersion = info.m_strNewMapVersion;
    s.newSwVersion = info.m_strNewSwVersion;
}

void LogManager::AddStatistics(const CString& record) {
    if (!m_state) return;
    const int comma = record.Find(L',');
    CString lastCode = record;
    if (comma >= 0) lastCode = comma > 1 ? record.Mid(1, comma - 1) : CString();
    std::lock_guard<std::mutex> hold(m_state->statisticsLock);
    m_state->statistics.lastCode = lastCode;
    m_state->statistics.errorLog += record;
}

bool LogManager::hasStatisticsRecords() const {
    if (!m_state) return false;
    std::lock_guard<std::mutex> hold(m_state->statisticsLock);
    return !m_state->statistics.errorLog.IsEmpty();
}

StatisticsContext LogManager::getStatisticsContext() const {
    if (!m_state) return StatisticsContext();
    std::lock_guard<std::mutex> hold(m_state->statisticsLock);
    return m_state->statistics;
}

bool LogManager::prepareStatisticsUpload(const CString& osVersion, const CString& clientVersion,
                                         const CString& localTime, StatisticsContext& copy) {
    if (!m_state) return false;
    std::lock_guard<std::mutex> hold(m_state->statisticsLock);
    StatisticsContext& s = m_state->statistics;
    s.osType = L"win";
    s.osVersion = osVersion;
    if (!clientVersion.IsEmpty()) s.clientVersion = clientVersion;
    s.localTime = localTime;
    copy = s;
    return true;
}
