#pragma once
// Certificate handling of every HTTPS request: the server's certificate is
// checked for real (authority, host name, dates). Only revocation is not
// asked for, because revocation servers are often out of reach behind
// company firewalls.
#include <windows.h>
#include <wininet.h>

// Sets the request's security flags; FALSE with the error when refused.
bool setCertificateChecks(HINTERNET request, DWORD& error);

// Whether a WinINet error means the server's certificate was refused.
bool isCertificateError(DWORD error);
