#pragma once
// Whether the computer has an Internet connection, asked by every transfer
// before it starts. Wine always answers yes, so tests replace the probe to
// reach the "not connected" paths.
#include <windows.h>

#include <functional>

// flags receives the platform's INTERNET_CONNECTION_* bits (0 when none).
using ConnectivityProbe = std::function<bool(DWORD& flags)>;

bool isInternetConnected(DWORD& flags);
inline bool isInternetConnected() {
    DWORD flags = 0;
    return isInternetConnected(flags);
}

// Installs a probe for the whole process; an empty one restores the
// platform's. Returns the previous probe (empty for the platform's).
ConnectivityProbe setConnectivityProbe(ConnectivityProbe probe);
