// https_client <host> <object>: one GET over HTTPS on port 443 with the
// certificate checked (only revocation is not, as in the program), the reply
// written to standard output.
// Exit codes: 0 status 200, 3 the certificate was refused, 1 any other failure.
#include <windows.h>
#include <wininet.h>

#include <cstdio>
#include <string>

#include "afx/handle.h"

namespace {

struct InternetTraits {
    using Type = HINTERNET;
    static Type invalid() { return nullptr; }
    static void close(Type h) { InternetCloseHandle(h); }
};
using UniqueInternet = UniqueHandle<InternetTraits>;

bool isCertificateError(DWORD e) {
    switch (e) {
    case ERROR_INTERNET_INVALID_CA:
    case ERROR_INTERNET_SEC_CERT_CN_INVALID:
    case ERROR_INTERNET_SEC_CERT_DATE_INVALID:
    case ERROR_INTERNET_SEC_CERT_ERRORS:
    case ERROR_INTERNET_SEC_CERT_NO_REV:
    case ERROR_INTERNET_SEC_CERT_REV_FAILED:
    case ERROR_INTERNET_SEC_CERT_REVOKED:
    case ERROR_INTERNET_SEC_INVALID_CERT:
        return true;
    default:
        return false;
    }
}

int failure(const char* step) {
    DWORD e = GetLastError();
    std::printf("%s failed: error %lu\n", step, e);
    return isCertificateError(e) ? 3 : 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: https_client <host> <object>\n");
        return 2;
    }
    UniqueInternet session(InternetOpenW(L"KestruneSmoke", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!session) return failure("InternetOpen");
    UniqueInternet connection(InternetConnectW(session.get(), argv[1], INTERNET_DEFAULT_HTTPS_PORT, L"", L"",
                                               INTERNET_SERVICE_HTTP, 0, 0));
    if (!connection) return failure("InternetConnect");
    UniqueInternet request(HttpOpenRequestW(connection.get(), L"GET", argv[2], nullptr, nullptr, nullptr,
                                            INTERNET_FLAG_SECURE | INTERNET_FLAG_RELOAD |
                                                INTERNET_FLAG_NO_CACHE_WRITE,
                                            0));
    if (!request) return failure("HttpOpenRequest");
    DWORD flags = SECURITY_FLAG_IGNORE_REVOCATION;
    if (!InternetSetOptionW(request.get(), INTERNET_OPTION_SECURITY_FLAGS, &flags, sizeof flags))
        return failure("InternetSetOption");
    if (!HttpSendRequestW(request.get(), nullptr, 0, nullptr, 0)) return failure("HttpSendRequest");

    DWORD status = 0, size = sizeof status;
    if (!HttpQueryInfoW(request.get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr))
        return failure("HttpQueryInfo");
    std::string body;
    char buffer[4096];
    DWORD read = 0;
    while (InternetReadFile(request.get(), buffer, sizeof buffer, &read) && read > 0) body.append(buffer, read);
    std::fwrite(body.data(), 1, body.size(), stdout);
    if (status != 200) {
        std::printf("\nstatus %lu\n", status);
        return 1;
    }
    return 0;
}
