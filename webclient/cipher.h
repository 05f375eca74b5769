#pragma once
// AES-CBC with PKCS#7 padding through OpenSSL's EVP interface, for the
// values of the group's vehicle-data service (AES-256) and the web
// service's request values (AES-128, CWebPOST::EncryptValue).
#include "afx/string.h"

#include <openssl/types.h>

#include <functional>

class Cipher {
public:
    // Neither is copied: both must outlive the object (16 or 32 key bytes
    // are read, 16 IV bytes).
    Cipher(const unsigned char* key, const unsigned char* iv) : m_key(key), m_iv(iv) {}
    virtual ~Cipher() = default;

    // The Base64 text of the AES-256-CBC ciphertext of the text's UTF-8
    // bytes into output. Returns the Base64 length plus one; -1 for an empty
    // text (output untouched) or a failure (output emptied).
    int EncryptAes256(CStringA& output, const CString& text);

    // One encryption into output, which has room for length + 32 bytes.
    // Returns the ciphertext length, or -1.
    static int evpEncrypt(unsigned char* output, const unsigned char* input, int length, const EVP_CIPHER* cipher,
                          const unsigned char* key, const unsigned char* iv);

private:
    const unsigned char* m_key;
    const unsigned char* m_iv;
};

// Writes the encoded form of a value into the output byte text.
using ValueEncoder = std::function<int(CStringA& output, const CString& value)>;

// The vehicle-data encoder: AES-256-CBC with the key and IV of the
// deployment ("VCRM_AES_KEY", 32 characters, and "VCRM_AES_IV", 16, in
// config.json), then Base64. Without a usable key the output is emptied, so
// a value never leaves in clear.
int encodeVehicleDataValue(CStringA& output, const CString& value);

// Base64 of the AES-128-CBC ciphertext of bytes with the request-value key;
// empty when the ciphertext would not fit the Base64 buffer.
CString encryptRequestValue(const CStringA& utf8);
