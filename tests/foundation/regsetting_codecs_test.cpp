#include "foundation/base64.h"
#include "foundation/regsetting.h"
#include "foundation/winaes.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace {

// The stored ID form of raw bytes: their Base64 text.
CString base64Of(const std::string& bytes) {
    char out[BASE64_ENCODE_LIMIT];
    int r = base64Encode(out, reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<int>(bytes.size()));
    return r > 0 ? CString(out) : CString();
}

std::string bytesOf(const CString& text, UINT codePage) {
    CStringA a = WideToMultiByte(text.GetString(), codePage);
    return std::string(a.GetString(), static_cast<size_t>(a.GetLength())) + '\0';
}

// The stored password form of raw bytes, made with the settings cipher.
CString encryptedOf(const std::string& bytes) {
    WinAES aes;
    EXPECT_TRUE(CRegSetting::setCipherKey(aes));
    std::vector<BYTE> cipher(bytes.size() / 16 * 16 + 16);
    DWORD length = static_cast<DWORD>(cipher.size());
    EXPECT_TRUE(aes.Encrypt(reinterpret_cast<const BYTE*>(bytes.data()), static_cast<DWORD>(bytes.size()),
                            cipher.data(), length));
    return L"*" + base64Of(std::string(reinterpret_cast<char*>(cipher.data()), length));
}

const wchar_t* const kTexts[] = {
    L"abc",
    L"user@example.com",
    L"\uD64D\uAE38\uB3D9",                      // Korean
    L"\u0645\u062D\u0645\u062F \u0639\u0644\u064A",  // Arabic
    L"mixed \uD55C\uAE00 \u0639\u0631\u0628\u064A caf\u00E9",
};

TEST(StoredValueCodecs, IdsAreBase64OfUtf8WithTheTerminatingZero) {
    EXPECT_EQ(CRegSetting::encodeBase64(L"abc"), CString(L"YWJjAA=="));
    EXPECT_EQ(CRegSetting::decodeBase64(L"YWJjAA=="), CString(L"abc"));
    EXPECT_EQ(CRegSetting::encodeBase64(L""), CString());
    EXPECT_EQ(CRegSetting::decodeBase64(L""), CString());
    for (const wchar_t* text : kTexts) {
        CString stored = CRegSetting::encodeBase64(text);
        EXPECT_EQ(stored, base64Of(bytesOf(text, CP_UTF8))) << stored.GetString();
        EXPECT_EQ(CRegSetting::decodeBase64(stored), CString(text));
    }
}

TEST(StoredValueCodecs, PasswordsRoundTripThroughTheCipher) {
    EXPECT_EQ(CRegSetting::encryptValue(L""), CString());
    EXPECT_EQ(CRegSetting::decryptValue(L""), CString());
    for (const wchar_t* text : kTexts) {
        CString stored = CRegSetting::encryptValue(text);
        ASSERT_EQ(stored.Left(1), CString(L"*"));
        size_t bytes = bytesOf(text, CP_UTF8).size();
        EXPECT_EQ(stored.GetLength() - 1, static_cast<int>(4 * (((bytes / 16 * 16 + 16) + 2) / 3)));
        EXPECT_EQ(CRegSetting::decryptValue(stored), CString(text));
    }
    // The key never changes between runs: a password saved by an earlier
    // run must still read back.
    EXPECT_EQ(CRegSetting::encryptValue(L"abc"), CString(L"*ELwGEvnonkvNlWgoXsPJLg=="));
    EXPECT_EQ(CRegSetting::decryptValue(L"*ELwGEvnonkvNlWgoXsPJLg=="), CString(L"abc"));
}

// Texts up to the Base64 limit are kept; longer ones are stored as nothing,
// never as a cut or stale value.
TEST(StoredValueCodecs, LengthLimits) {
    struct Case {
        int chars;
        bool password;
        bool kept;
    } cases[] = {
        {764, false, true}, {765, false, false}, {750, true, true}, {751, true, false},
    };
    for (const auto& c : cases) {
        CString text(L'k', c.chars);
        CString stored = c.password ? CRegSetting::encryptValue(text) : CRegSetting::encodeBase64(text);
        if (!c.kept) {
            EXPECT_EQ(stored, CString()) << c.chars;
            continue;
        }
        EXPECT_EQ(c.password ? CRegSetting::decryptValue(stored) : CRegSetting::decodeBase64(stored), text) << c.chars;
    }
    // The limit counts bytes: 255 Korean syllables take 765 bytes with the zero.
    CString korean(L'\uD55C', 254);
    EXPECT_EQ(CRegSetting::decodeBase64(CRegSetting::encodeBase64(korean)), korean);
    EXPECT_EQ(CRegSetting::encodeBase64(CString(L'\uD55C', 255)), CString());
}

// Earlier versions stored the ANSI bytes of the text; those still read.
TEST(StoredValueCodecs, ValuesStoredInTheAnsiCodePageStillRead) {
    CString text(L"Jos\u00E9 M\u00FCller");
    std::string ansi = bytesOf(text, CP_ACP);
    if (MultiByteToWide(ansi.c_str(), CP_ACP) != text) GTEST_SKIP() << "the ANSI code page lacks the test text";
    EXPECT_EQ(CRegSetting::decodeBase64(base64Of(ansi)), text);
    EXPECT_EQ(CRegSetting::decryptValue(encryptedOf(ansi)), text);
    EXPECT_EQ(CRegSetting::decryptValue(base64Of(ansi)), text);
}

TEST(StoredValueCodecs, DamagedPasswordsReadAsNothing) {
    CString good = CRegSetting::encryptValue(L"secret");
    CString cutShort = good.Left(good.GetLength() - 4);
    CString lastBlockChanged = good;
    lastBlockChanged.SetAt(good.GetLength() - 4, good[good.GetLength() - 4] == L'A' ? L'B' : L'A');
    struct Case {
        const wchar_t* name;
        CString stored;
        CString want;
    } cases[] = {
        {L"lone star", L"*", L""},
        {L"20 bytes", L"*" + base64Of(std::string(20, 'x')), L""},
        {L"not Base64", L"*!!!!", L""},
        {L"cut short", cutShort, L""},
        {L"last block changed", lastBlockChanged, L""},
        {L"stray characters", L"*\r\n" + good.Mid(1, 8) + L" \u00E9" + good.Mid(9), L"secret"},
        {L"plain Base64", L"YWJjAA==", L"abc"},
        {L"plain Base64 without zero", L"YWJj", L"abc"},
    };
    for (const auto& c : cases) EXPECT_EQ(CRegSetting::decryptValue(c.stored), c.want) << c.name;
}

// The login worker and the UI thread may save and read passwords at the same
// time; every cipher object uses the same named key container.
TEST(StoredValueCodecs, PasswordsSurviveConcurrentUse) {
    std::atomic<int> failures{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t) {
        threads.emplace_back([&failures, t] {
            CString text;
            text.Format(L"secret %d", t);
            for (int i = 0; i < 5; ++i) {
                if (CRegSetting::decryptValue(CRegSetting::encryptValue(text)) != text) ++failures;
            }
        });
    }
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(failures.load(), 0);
}

}  // namespace
