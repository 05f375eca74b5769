#pragma once
// AfxParseURL: splits an Internet address into service, server, object
// (path with query) and port, as the class library's Internet classes do.
#include "afx/string.h"

#include <wininet.h>

#define AFX_INET_SERVICE_FTP INTERNET_SERVICE_FTP
#define AFX_INET_SERVICE_HTTP INTERNET_SERVICE_HTTP
#define AFX_INET_SERVICE_UNK 0x1000
#define AFX_INET_SERVICE_FILE (AFX_INET_SERVICE_UNK + 1)
#define AFX_INET_SERVICE_HTTPS (AFX_INET_SERVICE_UNK + 11)

// FALSE when the text is no absolute address with a server; the outputs are
// then emptied. An address without a path gives the object "/"; an address
// without a port gives the scheme's default port.
BOOL AfxParseURL(LPCWSTR url, DWORD& serviceType, CString& server, CString& object, INTERNET_PORT& port);
