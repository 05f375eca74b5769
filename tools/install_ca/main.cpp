// kestrune_install_ca [--remove] <certificate file, DER or PEM>
//
// Puts a certificate authority into (or takes it out of) the local machine's
// Root store, so that WinINet validates the stand-in service's certificates
// the way it validates real ones. Test and development tooling only.
#include <windows.h>
#include <wincrypt.h>

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <vector>

#include "afx/handle.h"

namespace {

struct CertStoreTraits {
    using Type = HCERTSTORE;
    static Type invalid() { return nullptr; }
    static void close(Type h) { CertCloseStore(h, 0); }
};
struct CertContextTraits {
    using Type = PCCERT_CONTEXT;
    static Type invalid() { return nullptr; }
    static void close(Type h) { CertFreeCertificateContext(h); }
};
using UniqueCertStore = UniqueHandle<CertStoreTraits>;
using UniqueCertContext = UniqueHandle<CertContextTraits>;

bool readFile(const wchar_t* path, std::vector<BYTE>& bytes) {
    UniqueFileHandle file(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart > (1 << 20)) return false;
    bytes.resize(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    return ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) &&
           read == bytes.size();
}

// A PEM file is turned into its DER bytes; DER passes through unchanged.
bool toDer(std::vector<BYTE>& bytes) {
    static const char pemStart[] = "-----BEGIN";
    if (bytes.size() < sizeof pemStart || memcmp(bytes.data(), pemStart, sizeof pemStart - 1) != 0)
        return true;
    DWORD size = 0;
    const char* text = reinterpret_cast<const char*>(bytes.data());
    if (!CryptStringToBinaryA(text, static_cast<DWORD>(bytes.size()), CRYPT_STRING_BASE64HEADER, nullptr,
                              &size, nullptr, nullptr))
        return false;
    std::vector<BYTE> der(size);
    if (!CryptStringToBinaryA(text, static_cast<DWORD>(bytes.size()), CRYPT_STRING_BASE64HEADER, der.data(),
                              &size, nullptr, nullptr))
        return false;
    der.resize(size);
    bytes.swap(der);
    return true;
}

int fail(const char* what) {
    std::fprintf(stderr, "kestrune_install_ca: %s failed (error 0x%08lx)\n", what, GetLastError());
    return 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    bool remove = argc == 3 && std::wcscmp(argv[1], L"--remove") == 0;
    if (argc != 2 && !remove) {
        std::fprintf(stderr, "usage: kestrune_install_ca [--remove] <certificate.der|.pem>\n");
        return 2;
    }
    std::vector<BYTE> der;
    if (!readFile(argv[argc - 1], der)) return fail("reading the certificate file");
    if (!toDer(der)) return fail("decoding the PEM text");
    UniqueCertContext cert(CertCreateCertificateContext(X509_ASN_ENCODING, der.data(),
                                                        static_cast<DWORD>(der.size())));
    if (!cert) return fail("parsing the certificate");
    if (!remove) {
        UniqueCertStore root(CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0, CERT_SYSTEM_STORE_LOCAL_MACHINE, L"Root"));
        if (!root) return fail("opening the local machine's Root store");
        if (!CertAddEncodedCertificateToStore(root.get(), X509_ASN_ENCODING, der.data(),
                                              static_cast<DWORD>(der.size()), CERT_STORE_ADD_REPLACE_EXISTING,
                                              nullptr))
            return fail("adding the certificate");
        std::printf("installed\n");
        return 0;
    }
    // Removal goes to the registry store itself: Wine does not carry a
    // deletion made through the system store's collection over to the registry.
    UniqueCertStore root(
        CertOpenStore(CERT_STORE_PROV_SYSTEM_REGISTRY_W, 0, 0, CERT_SYSTEM_STORE_LOCAL_MACHINE, L"Root"));
    if (!root) return fail("opening the local machine's Root registry store");
    int removed = 0;
    for (;;) {
        // CertDeleteCertificateFromStore frees the context it is given.
        PCCERT_CONTEXT found = CertFindCertificateInStore(root.get(), X509_ASN_ENCODING, 0, CERT_FIND_EXISTING,
                                                          cert.get(), nullptr);
        if (!found) break;
        if (!CertDeleteCertificateFromStore(found)) return fail("removing the certificate");
        ++removed;
    }
    std::printf("removed %d\n", removed);
    return 0;
}
