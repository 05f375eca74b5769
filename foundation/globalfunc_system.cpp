// The operating-system version as the statistics and the log report it.
#include "foundation/globalfunc.h"

#include <lm.h>

#include <atomic>

namespace {

// Read once; concurrent first calls store the same values.
std::atomic<int> g_major{0};
std::atomic<int> g_minor{0};
std::atomic<int> g_servicePack{-1};
std::atomic<CGlobalFunc::OsVersionReader> g_reader{nullptr};

bool versionAtLeast(DWORD major, DWORD minor) {
    OSVERSIONINFOEXW wanted{};
    wanted.dwOSVersionInfoSize = sizeof(wanted);
    wanted.dwMajorVersion = major;
    wanted.dwMinorVersion = minor;
    DWORDLONG condition = 0;
    condition = VerSetConditionMask(condition, VER_MAJORVERSION, VER_GREATER_EQUAL);
    condition = VerSetConditionMask(condition, VER_MINORVERSION, VER_GREATER_EQUAL);
    return VerifyVersionInfoW(&wanted, VER_MAJORVERSION | VER_MINORVERSION, condition) != FALSE;
}

// VerifyVersionInfo answers only yes or no, so the service pack is found by
// asking for each value in turn.
int findServicePackMajor() {
    for (WORD sp = 0; sp <= 9; ++sp) {
        OSVERSIONINFOEXW wanted{};
        wanted.dwOSVersionInfoSize = sizeof(wanted);
        wanted.wServicePackMajor = sp;
        DWORDLONG condition = VerSetConditionMask(0, VER_SERVICEPACKMAJOR, VER_EQUAL);
        if (VerifyVersionInfoW(&wanted, VER_SERVICEPACKMAJOR, condition)) return sp;
    }
    return -1;
}

}  // namespace

BOOL CGlobalFunc::isVistaOrGreater() {
    return versionAtLeast(6, 0) ? TRUE : FALSE;
}

CGlobalFunc::OsVersionReader CGlobalFunc::setOsVersionReader(OsVersionReader reader) {
    return g_reader.exchange(reader);
}

BOOL CGlobalFunc::getOsVersion(int& major, int& minor, int& servicePackMajor) {
    if (OsVersionReader reader = g_reader.load()) return reader(major, minor, servicePackMajor);
    if (g_major.load() == 0) {
        // The workstation service reports the real version; GetVersionEx lies
        // to programs without a compatibility manifest.
        LPBYTE info = nullptr;
        if (NetWkstaGetInfo(nullptr, 100, &info) != NERR_Success || !info) {
            if (info) NetApiBufferFree(info);
            return FALSE;
        }
        const auto* workstation = reinterpret_cast<const WKSTA_INFO_100*>(info);
        g_minor = static_cast<int>(workstation->wki100_ver_minor);
        g_major = static_cast<int>(workstation->wki100_ver_major);
        NetApiBufferFree(info);
    }
    major = g_major.load();
    minor = g_minor.load();
    if (g_servicePack.load() < 0) g_servicePack = findServicePackMajor();
    if (g_servicePack.load() < 0) return FALSE;
    servicePackMajor = g_servicePack.load();
    return TRUE;
}
