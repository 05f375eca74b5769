#include "foundation/winaes.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {

struct ProviderRow {
    const wchar_t* name;
    DWORD type;
    DWORD flags;
};

// Older systems ship the AES provider only under its "(Prototype)" name.
// The verify-only rows come first: such a context has no key container, so
// no other object or process can delete one under it (a plain-text key
// blob imports there). The container rows remain for a provider that
// refuses them.
const ProviderRow kProviders[] = {
    {L"Microsoft Enhanced RSA and AES Cryptographic Provider", PROV_RSA_AES, CRYPT_VERIFYCONTEXT},
    {L"Microsoft Enhanced RSA and AES Cryptographic Provider (Prototype)", PROV_RSA_AES, CRYPT_VERIFYCONTEXT},
    {L"Microsoft Enhanced RSA and AES Cryptographic Provider", PROV_RSA_AES, 0},
    {L"Microsoft Enhanced RSA and AES Cryptographic Provider", PROV_RSA_AES, CRYPT_NEWKEYSET},
    {L"Microsoft Enhanced RSA and AES Cryptographic Provider (Prototype)", PROV_RSA_AES, 0},
    {L"Microsoft Enhanced RSA and AES Cryptographic Provider (Prototype)", PROV_RSA_AES, CRYPT_NEWKEYSET},
};

// PLAINTEXTKEYBLOB: header, key length, key bytes.
struct AesKeyBlob {
    BLOBHEADER header;
    DWORD keyLength;
    BYTE key[WinAES::KEY_SIZE];
};
static_assert(sizeof(AesKeyBlob) == 44, "the provider expects a packed 44-byte blob");

std::string withErrorName(const char* prefix, DWORD code) {
    char hex[16];
    snprintf(hex, sizeof(hex), "%lx", static_cast<unsigned long>(code));
    return std::string(prefix) + WinAES::errorName(code) + " (0x" + hex + ")";
}

void setError(HRESULT code) {
    SetLastError(static_cast<DWORD>(code));
}

// A failed check inside an operation: the thread's last error, when one is
// named, then the message.
bool failed(std::string& message, const char* text, HRESULT error = S_OK) {
    if (error != S_OK) setError(error);
    message = text;
    return false;
}

// Two ranges touch or overlap unless one ends strictly before the other
// begins.
bool apart(const BYTE* a, DWORD aLength, const BYTE* b, DWORD bLength) {
    auto first = reinterpret_cast<uintptr_t>(a);
    auto second = reinterpret_cast<uintptr_t>(b);
    return first + aLength < second || second + bLength < first;
}

}  // namespace

WinAES::WinAES(unsigned options) : m_options(options) {
    wcsncpy(m_container, containerName(), sizeof(m_container) / sizeof(m_container[0]) - 1);
    for (int row = 0; row < static_cast<int>(sizeof(kProviders) / sizeof(kProviders[0])); ++row) {
        const ProviderRow& p = kProviders[row];
        if ((p.flags & CRYPT_NEWKEYSET) && !(m_options & OPTION_CREATE_CONTAINER)) continue;
        const wchar_t* container = (p.flags & CRYPT_VERIFYCONTEXT) ? nullptr : m_container;
        if (CryptAcquireContextW(&m_hProvider, container, p.name, p.type, p.flags)) {
            m_providerRow = row;
            break;
        }
        m_hProvider = 0;
    }
    if (m_providerRow < 0 && (m_options & OPTION_THROW)) {
        throw WinAESException("AcquireContext: CryptAcquireContext failed");
    }
}

WinAES::~WinAES() {
    destroyKey();
    if (m_hProvider) {
        CryptReleaseContext(m_hProvider, 0);
        m_hProvider = 0;
    }
    if ((m_options & OPTION_DELETE_CONTAINER) && m_providerRow >= 0 &&
        !(kProviders[m_providerRow].flags & CRYPT_VERIFYCONTEXT)) {
        HCRYPTPROV gone = 0;  // not a context: deleting a key set returns none
        CryptAcquireContextW(&gone, m_container, kProviders[m_providerRow].name, kProviders[m_providerRow].type,
                             CRYPT_DELETEKEYSET);
    }
    m_providerRow = -1;
}

BOOL WinAES::fail(const std::string& message) const {
    if (m_options & OPTION_THROW) throw WinAESException(message);
    return FALSE;
}

BOOL WinAES::report(const char* message, HRESULT error) const {
    setError(error);
    return fail(message);
}

void WinAES::destroyKey() {
    if (m_hKey) {
        CryptDestroyKey(m_hKey);
        m_hKey = 0;
    }
    m_bIvSet = false;
}

BOOL WinAES::SetKeyWithIv(const BYTE* key, const BYTE* iv) {
    destroyKey();
    if (!m_hProvider) return fail("SetKeyWithIv: Provider is not valid");
    if (!key) return fail("SetKeyWithIv: Key buffer is not valid");
    if (!iv) return fail("SetKeyWithIv: IV buffer is not valid");
    std::string ignored;
    if (!setKey(key, ignored)) return fail("SetKeyWithIv: SetKey failed");
    if (!setIv(iv, ignored)) return fail("SetKeyWithIv: SetIv failed");
    return TRUE;
}

BOOL WinAES::SetKey(const BYTE* key) {
    std::string message;
    return setKey(key, message) ? TRUE : fail(message);
}

BOOL WinAES::SetIv(const BYTE* iv) {
    std::string message;
    return setIv(iv, message) ? TRUE : fail(message);
}

bool WinAES::setKey(const BYTE* key, std::string& message) {
    destroyKey();
    if (!m_hProvider) return failed(message, "SetKey: Provider is not valid");
    if (!key) return failed(message, "SetKey: Key buffer is NULL");

    AesKeyBlob blob;
    SecureZeroMemory(&blob, sizeof(blob));
    blob.header.bType = PLAINTEXTKEYBLOB;
    blob.header.bVersion = CUR_BLOB_VERSION;
    blob.header.reserved = 0;
    blob.header.aiKeyAlg = CALG_AES_256;
    blob.keyLength = KEY_SIZE;
    memcpy(blob.key, key, KEY_SIZE);

    BOOL imported = CryptImportKey(m_hProvider, reinterpret_cast<const BYTE*>(&blob), sizeof(blob), 0, 0, &m_hKey);
    SecureZeroMemory(&blob, sizeof(blob));
    if (!imported) {
        m_hKey = 0;
        return failed(message, "SetKey: Import key failed");
    }
    DWORD mode = CRYPT_MODE_CBC;
    if (!CryptSetKeyParam(m_hKey, KP_MODE, reinterpret_cast<const BYTE*>(&mode), 0)) {
        return failed(message, "SetKey: Set CBC mode failed");
    }
    return true;
}

bool WinAES::setIv(const BYTE* iv, std::string& message) {
    m_bIvSet = false;
    if (!m_hKey) return failed(message, "SetIv: key is not valid");
    if (!iv) return failed(message, "SetIv: IV buffer is NULL");
    if (!CryptSetKeyParam(m_hKey, KP_IV, iv, 0)) return failed(message, "SetIv: Set IV failed");
    DWORD mode = CRYPT_MODE_CBC;
    if (!CryptSetKeyParam(m_hKey, KP_MODE, reinterpret_cast<const BYTE*>(&mode), 0)) {
        return failed(message, "SetIv: Set CBC mode failed");
    }
    m_bIvSet = true;
    return true;
}

bool WinAES::encryptInPlace(BYTE* buffer, DWORD bufferSize, DWORD dataLength, DWORD& resultLength,
                            std::string& message) {
    if (!m_hKey) return failed(message, "Encrypt(1): Key is not valid", NTE_BAD_KEY);
    if (!buffer) return failed(message, "Encrypt(1): Buffer is NULL", ERROR_INVALID_USER_BUFFER);
    // Padding always adds between 1 and 16 bytes. In 64 bits: a data length
    // near 4 GiB must not wrap round to a small requirement.
    unsigned long long needed = (static_cast<unsigned long long>(dataLength) & ~15ULL) + BLOCK_SIZE;
    if (bufferSize < needed) {
        return failed(message, "Encrypt(1): Buffer is too small", NTE_BUFFER_TOO_SMALL);
    }
    if (!m_bIvSet) return failed(message, "Encrypt(1): IV has not been set", NTE_INVALID_PARAMETER);

    DWORD length = dataLength;
    if (!CryptEncrypt(m_hKey, 0, TRUE, 0, buffer, &length, bufferSize)) {
        resultLength = 0;
        message = withErrorName("Encrypt(1): CryptEncrypt failed - ", GetLastError());
        return false;
    }
    resultLength = length;
    return true;
}

bool WinAES::decryptInPlace(BYTE* buffer, DWORD bufferSize, DWORD dataLength, DWORD& resultLength,
                            std::string& message) {
    if (!m_hKey) return failed(message, "Decrypt(1): Key is not valid", NTE_BAD_KEY);
    if (!buffer) return failed(message, "Decrypt(1): Buffer is NULL", ERROR_INVALID_USER_BUFFER);
    if (dataLength % BLOCK_SIZE != 0) {
        return failed(message, "Decrypt(1): Data size is not a multple of block size", NTE_BAD_DATA);
    }
    // Unsigned on purpose: an empty input wraps round and always fails here.
    if (!(bufferSize > dataLength - BLOCK_SIZE)) {
        return failed(message, "Decrypt(1): Buffer is too small", NTE_BUFFER_TOO_SMALL);
    }
    if (!m_bIvSet) return failed(message, "Decrypt(1): IV has not been set", NTE_INVALID_PARAMETER);

    DWORD length = dataLength;
    if (!CryptDecrypt(m_hKey, 0, TRUE, 0, buffer, &length)) {
        resultLength = 0;
        message = withErrorName("Decrypt(1): CryptDecrypt failed - ", GetLastError());
        return false;
    }
    resultLength = length;
    return true;
}

BOOL WinAES::Encrypt(BYTE* buffer, DWORD bufferSize, DWORD dataLength, DWORD& resultLength) {
    std::string message;
    return encryptInPlace(buffer, bufferSize, dataLength, resultLength, message) ? TRUE : fail(message);
}

BOOL WinAES::Decrypt(BYTE* buffer, DWORD bufferSize, DWORD dataLength, DWORD& resultLength) {
    std::string message;
    return decryptInPlace(buffer, bufferSize, dataLength, resultLength, message) ? TRUE : fail(message);
}

BOOL WinAES::Encrypt(const BYTE* plain, DWORD plainLength, BYTE* cipher, DWORD& cipherLength) {
    if (!plain && plainLength != 0) {
        return report("Encrypt(2): Plain text buffer is not valid", ERROR_INVALID_USER_BUFFER);
    }
    if (!cipher) return report("Encrypt(2): Cipher text buffer is not valid", ERROR_INVALID_USER_BUFFER);
    DWORD capacity = cipherLength;
    if (plain && !apart(cipher, capacity, plain, plainLength)) {
        return report("Encrypt(2): Buffers overlap", NTE_BUFFERS_OVERLAP);
    }
    if (capacity < plainLength) return fail("Encrypt(2): Unable to prepare plaintext buffer");
    if (plainLength) memcpy(cipher, plain, plainLength);

    std::string ignored;
    if (!encryptInPlace(cipher, capacity, plainLength, cipherLength, ignored)) {
        DWORD error = GetLastError();
        // Whatever is left is clear text or a part of it; never hand it back.
        SecureZeroMemory(cipher, capacity);
        cipherLength = 0;
        return fail(withErrorName("Encrypt(2): Encryption failed - ", error));
    }
    return TRUE;
}

BOOL WinAES::Decrypt(const BYTE* cipher, DWORD cipherLength, BYTE* plain, DWORD& plainLength) {
    if (!cipher || !plain) return report("Decrypt(2): Buffer is NULL", ERROR_INVALID_USER_BUFFER);
    DWORD capacity = plainLength;
    if (!apart(plain, capacity, cipher, cipherLength)) {
        return report("Decrypt(2): Buffers overlap", NTE_BUFFERS_OVERLAP);
    }
    if (capacity < cipherLength) return fail("Decrypt(2): Unable to prepare decryption buffer");
    if (cipherLength) memcpy(plain, cipher, cipherLength);

    std::string ignored;
    if (!decryptInPlace(plain, cipherLength, cipherLength, plainLength, ignored)) {
        DWORD error = GetLastError();
        // A block that failed only on its padding has been decrypted already.
        SecureZeroMemory(plain, capacity);
        plainLength = 0;
        return fail(withErrorName("Decrypt(2): Decryption failed - ", error));
    }
    return TRUE;
}
