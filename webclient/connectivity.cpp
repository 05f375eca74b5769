#include "webclient/connectivity.h"

#include <wininet.h>

#include <mutex>

namespace {

std::mutex g_probeLock;
ConnectivityProbe g_probe;

bool platformProbe(DWORD& flags) {
    flags = 0;
    // Wine fails the call when no buffer for the connection name is given.
    wchar_t name[256] = {};
    return InternetGetConnectedStateExW(&flags, name, ARRAYSIZE(name), 0) != FALSE;
}

}  // namespace

bool isInternetConnected(DWORD& flags) {
    ConnectivityProbe probe;
    {
        std::lock_guard<std::mutex> lock(g_probeLock);
        probe = g_probe;
    }
    if (probe) {
        flags = 0;
        return probe(flags);
    }
    return platformProbe(flags);
}

ConnectivityProbe setConnectivityProbe(ConnectivityProbe probe) {
    std::lock_guard<std::mutex> lock(g_probeLock);
    ConnectivityProbe previous = std::move(g_probe);
    g_probe = std::move(probe);
    return previous;
}
