#include "webclient/tls_options.h"

bool setCertificateChecks(HINTERNET request, DWORD& error) {
    DWORD flags = SECURITY_FLAG_IGNORE_REVOCATION;
    if (InternetSetOptionW(request, INTERNET_OPTION_SECURITY_FLAGS, &flags, sizeof(flags))) return true;
    error = GetLastError();
    return false;
}

bool isCertificateError(DWORD error) {
    switch (error) {
    case ERROR_INTERNET_SEC_CERT_DATE_INVALID:
    case ERROR_INTERNET_SEC_CERT_CN_INVALID:
    case ERROR_INTERNET_INVALID_CA:
    case ERROR_INTERNET_SEC_CERT_ERRORS:
    case ERROR_INTERNET_SEC_CERT_NO_REV:
    case ERROR_INTERNET_SEC_CERT_REV_FAILED:
    case ERROR_INTERNET_SEC_INVALID_CERT:
    case ERROR_INTERNET_SEC_CERT_REVOKED:
        return true;
    default:
        return false;
    }
}
