#pragma once
// AES-256 in CBC mode through the platform's CryptoAPI provider, with the
// provider's PKCS#7 block padding. One object serves one key: construct,
// SetKeyWithIv, any number of Encrypt/Decrypt calls, destroy. Used by one
// thread at a time.
#include <windows.h>
#include <wincrypt.h>

#include <exception>
#include <string>

class WinAESException : public std::exception {
public:
    explicit WinAESException(std::string message) : m_message(std::move(message)) {}
    ~WinAESException() override = default;
    const char* what() const noexcept override { return m_message.c_str(); }

private:
    std::string m_message;
};

class WinAES {
public:
    static constexpr DWORD KEY_SIZE = 32;
    static constexpr DWORD BLOCK_SIZE = 16;

    enum Options : unsigned {
        // Also try the provider rows that create the key container.
        OPTION_CREATE_CONTAINER = 0x01,
        // Delete the key container again when the object goes.
        OPTION_DELETE_CONTAINER = 0x08,
        // Failures escape as WinAESException instead of a FALSE result.
        OPTION_THROW = 0x10,
        OPTION_DEFAULT = OPTION_CREATE_CONTAINER | OPTION_DELETE_CONTAINER,
    };

    explicit WinAES(unsigned options = OPTION_DEFAULT);
    virtual ~WinAES();
    WinAES(const WinAES&) = delete;
    WinAES& operator=(const WinAES&) = delete;

    // key: KEY_SIZE bytes; iv: BLOCK_SIZE bytes.
    BOOL SetKeyWithIv(const BYTE* key, const BYTE* iv);
    BOOL SetKey(const BYTE* key);
    BOOL SetIv(const BYTE* iv);

    // In place: the buffer holds dataLength bytes and has room for
    // bufferSize; afterwards it holds resultLength bytes of the result.
    BOOL Encrypt(BYTE* buffer, DWORD bufferSize, DWORD dataLength, DWORD& resultLength);
    BOOL Decrypt(BYTE* buffer, DWORD bufferSize, DWORD dataLength, DWORD& resultLength);

    // Into a second buffer that must not overlap (nor touch) the input;
    // the out length is the capacity on the way in and the result length on
    // the way out.
    BOOL Encrypt(const BYTE* plain, DWORD plainLength, BYTE* cipher, DWORD& cipherLength);
    BOOL Decrypt(const BYTE* cipher, DWORD cipherLength, BYTE* plain, DWORD& plainLength);

    // Index of the provider row that opened the context; -1 when none did.
    // Rows 0 and 1 are verify-only contexts without a key container.
    int providerRow() const { return m_providerRow; }

    static const wchar_t* containerName() { return L"Temporary - OK to Delete"; }
    // "NTE_BAD_DATA" and the like; "Unknown" for codes outside the table.
    static const char* errorName(DWORD code);

private:
    bool encryptInPlace(BYTE* buffer, DWORD bufferSize, DWORD dataLength, DWORD& resultLength, std::string& message);
    bool decryptInPlace(BYTE* buffer, DWORD bufferSize, DWORD dataLength, DWORD& resultLength, std::string& message);
    bool setKey(const BYTE* key, std::string& message);
    bool setIv(const BYTE* iv, std::string& message);
    void destroyKey();
    BOOL fail(const std::string& message) const;
    BOOL report(const char* message, HRESULT error) const;

    HCRYPTPROV m_hProvider = 0;
    HCRYPTKEY m_hKey = 0;
    wchar_t m_container[25] = {};
    bool m_bIvSet = false;
    unsigned m_options = OPTION_DEFAULT;
    int m_providerRow = -1;
};
