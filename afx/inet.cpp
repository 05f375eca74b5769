#include "afx/inet.h"

BOOL AfxParseURL(LPCWSTR url, DWORD& serviceType, CString& server, CString& object, INTERNET_PORT& port) {
    serviceType = AFX_INET_SERVICE_UNK;
    server.Empty();
    object.Empty();
    port = 0;
    if (!url || !*url) return FALSE;

    URL_COMPONENTSW parts{};
    parts.dwStructSize = sizeof(parts);
    // Zero-length fields with non-null lengths: the call points into url.
    parts.dwSchemeLength = 1;
    parts.dwHostNameLength = 1;
    parts.dwUrlPathLength = 1;
    parts.dwExtraInfoLength = 1;
    if (!InternetCrackUrlW(url, 0, 0, &parts)) return FALSE;
    if (!parts.lpszHostName || parts.dwHostNameLength == 0) return FALSE;

    switch (parts.nScheme) {
    case INTERNET_SCHEME_HTTP: serviceType = AFX_INET_SERVICE_HTTP; break;
    case INTERNET_SCHEME_HTTPS: serviceType = AFX_INET_SERVICE_HTTPS; break;
    case INTERNET_SCHEME_FTP: serviceType = AFX_INET_SERVICE_FTP; break;
    case INTERNET_SCHEME_FILE: serviceType = AFX_INET_SERVICE_FILE; break;
    default: serviceType = AFX_INET_SERVICE_UNK; break;
    }
    server = CString(parts.lpszHostName, static_cast<int>(parts.dwHostNameLength));
    if (parts.lpszUrlPath && parts.dwUrlPathLength) {
        object = CString(parts.lpszUrlPath, static_cast<int>(parts.dwUrlPathLength));
    }
    if (parts.lpszExtraInfo && parts.dwExtraInfoLength) {
        object += CString(parts.lpszExtraInfo, static_cast<int>(parts.dwExtraInfoLength));
    }
    if (object.IsEmpty() || object[0] != L'/') object = L"/" + object;
    port = parts.nPort;
    return TRUE;
}
