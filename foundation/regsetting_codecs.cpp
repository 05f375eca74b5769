// The stored forms of the saved sign-in ID (Base64) and password ("*" and
// the Base64 of its AES-256-CBC ciphertext).
#include "foundation/base64.h"
#include "foundation/regsetting.h"
#include "foundation/winaes.h"

#include <cctype>
#include <climits>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

// The words the key and IV texts are printed from, so that neither text lies
// whole in the program's data. They must never change: a password saved
// under one key reads back as nothing under another.
const char kFirstWord[] = "owl";
const char kSecondWord[] = "ox";

// Every cipher object opens and finally deletes the same named key
// container. Two of them alive at once race on it (one finds the container
// missing, then already created by the other) and the loser gets no
// provider, which would save or read a password as nothing. The login worker
// and the UI thread may both be here, so one object at a time.
std::mutex& cipherLock() {
    static std::mutex lock;
    return lock;
}

// UTF-8 keeps every character of an ID typed in any script; for ASCII it is
// byte for byte what earlier versions stored through the ANSI code page.
Bytes storedBytes(const CString& text) {
    CStringA utf8 = WideToMultiByte(text.GetString(), CP_UTF8);
    Bytes bytes(utf8.GetString(), utf8.GetString() + utf8.GetLength());
    bytes.push_back(0);
    return bytes;
}

// The bytes up to the first zero. Values written by earlier versions hold
// ANSI bytes, which are almost never valid UTF-8 unless they are ASCII.
CString textFromBytes(const unsigned char* bytes, size_t count) {
    size_t length = 0;
    while (length < count && bytes[length]) ++length;
    if (length == 0 || length > INT_MAX) return CString();
    const char* text = reinterpret_cast<const char*>(bytes);
    int n = static_cast<int>(length);
    CString decoded;
    if (TryUtf8ToWide(text, n, decoded)) return decoded;
    return MultiByteToWide(text, CP_THREAD_ACP, n);
}

CString encode(const unsigned char* bytes, size_t count) {
    if (count > INT_MAX) return CString();
    char base64[BASE64_ENCODE_LIMIT];
    // Too long for the encoder: store nothing rather than a stale buffer.
    if (base64Encode(base64, bytes, static_cast<int>(count)) <= 0) return CString();
    return CString(base64);
}

// Characters outside ASCII become bytes of 0x80 and above, which the decoder
// skips like any other stray character.
Bytes decode(const CString& text) {
    CStringA source = WideToMultiByte(text.GetString(), CP_UTF8);
    Bytes out(static_cast<size_t>(source.GetLength()) + 1, 0);
    int count = base64Decode(out.data(), source.GetString(), source.GetLength());
    out.resize(static_cast<size_t>(count));
    return out;
}

}  // namespace

BOOL CRegSetting::setCipherKey(WinAES& aes) {
    char first[sizeof(kFirstWord)];
    char second[sizeof(kSecondWord)];
    memcpy(first, kFirstWord, sizeof(first));
    memcpy(second, kSecondWord, sizeof(second));
    first[0] = static_cast<char>(toupper(static_cast<unsigned char>(first[0])));
    first[2] = static_cast<char>(toupper(static_cast<unsigned char>(first[2])));
    second[0] = static_cast<char>(toupper(static_cast<unsigned char>(second[0])));

    // The whole buffers are the key and the IV, zero bytes after the text
    // included.
    char key[32] = {};
    char iv[16] = {};
    snprintf(key, sizeof(key), "%s.%s|%s.%s", first, second, first, second);
    snprintf(iv, sizeof(iv), "%s_%s", first, second);
    BOOL result = aes.SetKeyWithIv(reinterpret_cast<const BYTE*>(key), reinterpret_cast<const BYTE*>(iv));
    SecureZeroMemory(key, sizeof(key));
    SecureZeroMemory(iv, sizeof(iv));
    return result;
}

CString CRegSetting::encodeBase64(const CString& text) {
    if (text.IsEmpty()) return text;
    Bytes bytes = storedBytes(text);
    return encode(bytes.data(), bytes.size());
}

CString CRegSetting::decodeBase64(const CString& text) {
    if (text.IsEmpty()) return text;
    Bytes bytes = decode(text);
    return textFromBytes(bytes.data(), bytes.size());
}

CString CRegSetting::encryptValue(const CString& text) {
    if (text.IsEmpty()) return text;
    try {
        Bytes plain = storedBytes(text);
        std::lock_guard<std::mutex> guard(cipherLock());
        WinAES aes;
        if (!setCipherKey(aes)) return CString();
        // Padding adds 1 to 16 bytes.
        Bytes cipher((plain.size() & ~static_cast<size_t>(15)) + 16);
        if (plain.size() > ULONG_MAX || cipher.size() > ULONG_MAX) return CString();
        DWORD cipherLength = static_cast<DWORD>(cipher.size());
        BOOL encrypted = aes.Encrypt(plain.data(), static_cast<DWORD>(plain.size()), cipher.data(), cipherLength);
        SecureZeroMemory(plain.data(), plain.size());
        if (!encrypted) return CString();
        CString base64 = encode(cipher.data(), cipherLength);
        return base64.IsEmpty() ? base64 : L"*" + base64;
    } catch (...) {
        return CString();
    }
}

CString CRegSetting::decryptValue(const CString& text) {
    if (text.IsEmpty()) return text;
    if (text[0] != L'*') return decodeBase64(text);
    try {
        Bytes cipher = decode(text.Mid(1));
        if (cipher.empty() || cipher.size() % WinAES::BLOCK_SIZE != 0 || cipher.size() > ULONG_MAX) {
            return CString();
        }
        std::lock_guard<std::mutex> guard(cipherLock());
        WinAES aes;
        if (!setCipherKey(aes)) return CString();
        Bytes plain(cipher.size());
        DWORD plainLength = static_cast<DWORD>(plain.size());
        if (!aes.Decrypt(cipher.data(), static_cast<DWORD>(cipher.size()), plain.data(), plainLength)) {
            return CString();
        }
        CString result = textFromBytes(plain.data(), plainLength);
        SecureZeroMemory(plain.data(), plain.size());
        return result;
    } catch (...) {
        return CString();
    }
}
