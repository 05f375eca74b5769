#include "webclient/cipher.h"
#include "foundation/base64.h"
#include "foundation/config_file.h"
#include "foundation/logmanager.h"

#include <openssl/err.h>
#include <openssl/evp.h>

#include <memory>
#include <vector>

namespace {

// Constants of the web service's request values. AES-128 reads only the
// first 16 bytes of the key text.
const char kRequestKey[] = "7352HarborTundra@WKZE";
const char kRequestIv[] = "Finder6143meadow";

constexpr int kVehicleKeyBytes = 32;
constexpr int kIvBytes = 16;

struct ContextFree {
    void operator()(EVP_CIPHER_CTX* ctx) const { EVP_CIPHER_CTX_free(ctx); }
};

// Base64 of a ciphertext; empty when it exceeds the encoder's buffer.
CStringA toBase64(const std::vector<unsigned char>& data, int length, int* result) {
    char text[BASE64_ENCODE_LIMIT] = {};
    int r = base64Encode(text, data.data(), length);
    if (result) *result = r;
    return r > 0 ? CStringA(text) : CStringA();
}

}  // namespace

int Cipher::evpEncrypt(unsigned char* output, const unsigned char* input, int length, const EVP_CIPHER* cipher,
                       const unsigned char* key, const unsigned char* iv) {
    std::unique_ptr<EVP_CIPHER_CTX, ContextFree> ctx(EVP_CIPHER_CTX_new());
    if (!ctx) return -1;
    int written = 0, last = 0;
    if (EVP_EncryptInit_ex(ctx.get(), cipher, nullptr, key, iv) != 1 ||
        EVP_EncryptUpdate(ctx.get(), output, &written, input, length) != 1 ||
        EVP_EncryptFinal_ex(ctx.get(), output + written, &last) != 1) {
        unsigned long error = ERR_get_error();
        LOG_WRITE(L"[EVP][ERR:%lu]", error);
        return -1;
    }
    return written + last;
}

int Cipher::EncryptAes256(CStringA& output, const CString& text) {
    if (text.IsEmpty()) return -1;
    CStringA bytes = WideToMultiByte(text.GetString(), CP_UTF8);
    if (bytes.IsEmpty()) return -1;
    std::vector<unsigned char> cipherText(static_cast<size_t>(bytes.GetLength()) + 32);
    int n = evpEncrypt(cipherText.data(), reinterpret_cast<const unsigned char*>(bytes.GetString()),
                       bytes.GetLength(), EVP_aes_256_cbc(), m_key, m_iv);
    if (n < 0) {
        output.Empty();
        return -1;
    }
    int result = -1;
    output = toBase64(cipherText, n, &result);
    return output.IsEmpty() ? -1 : result;
}

int encodeVehicleDataValue(CStringA& output, const CString& value) {
    CConfigFile* config = CConfigFile::getInstance();
    CStringA key = WideToMultiByte(config->getValue(L"VCRM_AES_KEY").GetString(), CP_UTF8);
    CStringA iv = WideToMultiByte(config->getValue(L"VCRM_AES_IV").GetString(), CP_UTF8);
    if (key.GetLength() != kVehicleKeyBytes || iv.GetLength() != kIvBytes) {
        LOG_WRITE(L"[ERR_VCRM][VCRM_AES_KEY or VCRM_AES_IV missing or of the wrong length][key:%d][iv:%d]",
                  key.GetLength(), iv.GetLength());
        output.Empty();
        return -1;
    }
    Cipher cipher(reinterpret_cast<const unsigned char*>(key.GetString()),
                  reinterpret_cast<const unsigned char*>(iv.GetString()));
    return cipher.EncryptAes256(output, value);
}

CString encryptRequestValue(const CStringA& utf8) {
    std::vector<unsigned char> cipherText(static_cast<size_t>(utf8.GetLength()) + 32);
    int n = Cipher::evpEncrypt(cipherText.data(), reinterpret_cast<const unsigned char*>(utf8.GetString()),
                               utf8.GetLength(), EVP_aes_128_cbc(), reinterpret_cast<const unsigned char*>(kRequestKey),
                               reinterpret_cast<const unsigned char*>(kRequestIv));
    if (n < 0) return CString();
    CStringA text = toBase64(cipherText, n, nullptr);
    if (text.IsEmpty()) {
        LOG_WRITE(L"[EncryptValue][value too long][bytes:%d]", utf8.GetLength());
        return CString();
    }
    return CString(text);
}
