#include "tests/webclient/print.h"
#include "webclient/cipher.h"
#include "webclient/url_encode.h"
#include "webclient/webpost.h"
#include "tests/webclient/standin_client.h"

#include <gtest/gtest.h>

namespace {

// Known answers computed with an independent AES implementation.
TEST(RequestValueCipher, KnownAnswers) {
    struct Case {
        const wchar_t* text;
        const wchar_t* base64;
    } cases[] = {
        {L"", L"/nTAn5ZS4TlgJ6PGAL2z1g=="},                                   // one block of padding
        {L"KR", L"uKLn88P6Cx719/L23D6zjA=="},
        {L"abcdefghijklmno", L"b3x7EjsJ7+ZOCboui7Lmlg=="},                    // 15 bytes: one block
        {L"0123456789abcdef", L"jb9AYbdtm4OpMM7a3lTz0SK4QQqIjOnnhzDGOBU+w2Y="},  // 16 bytes: two
        {L"\xD64D\xAE38\xB3D9", L"2j/1D7gJ0qtHf/Nu5wOOqQ=="},                // Korean, 9 UTF-8 bytes
        {L"user@example.com", L"VjKVBindq4LoDGtdsiKxS1t5tDjM/dzndcit9bZomm0="},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(CStringA(c.base64).GetString());
        EXPECT_EQ(CWebPOST::EncryptValue(c.text), CString(c.base64));
    }
}

TEST(RequestValueCipher, TextTooLongForTheBase64BufferGivesNothing) {
    EXPECT_EQ(CWebPOST::EncryptValue(CString(L'a', 751)).GetLength(), 1004);
    EXPECT_TRUE(CWebPOST::EncryptValue(CString(L'a', 752)).IsEmpty());
}

TEST(VehicleDataCipher, KnownAnswersAndEmptyText) {
    const unsigned char key[] = "KestruneStandInVehicleDataKey32!";
    const unsigned char iv[] = "StandInVcrmIV16!";
    Cipher cipher(key, iv);
    CStringA out;
    EXPECT_EQ(cipher.EncryptAes256(out, L"01"), 25);
    EXPECT_EQ(out, CStringA("w8009xwT5ZvNlBiMBM3sLw=="));
    EXPECT_EQ(cipher.EncryptAes256(out, L"1.0.0"), 25);
    EXPECT_EQ(out, CStringA("Z5V8aEJJVo0urkhmDK0MRA=="));

    out = "untouched";
    EXPECT_EQ(cipher.EncryptAes256(out, L""), -1);
    EXPECT_EQ(out, CStringA("untouched"));
}

TEST(UrlEncode, StrictAndLenientSets) {
    struct Case {
        const char* bytes;
        bool strict;
        const wchar_t* want;
    } cases[] = {
        {"", true, L""},
        {"a+b/c=", true, L"a%2Bb%2Fc%3D"},
        {"a+b/c=", false, L"a%2Bb/c="},
        {"A-z_0.9", true, L"A-z_0.9"},
        {"a b~%", true, L"a%20b%7E%25"},
        {"a b~%", false, L"a%20b%7E%25"},
        {"https://h/p?q=1&r=(2)", false, L"https://h/p?q=1&r=(2)"},
        {"https://h", true, L"https%3A%2F%2Fh"},
        {"\xED\x99\x8D", true, L"%ED%99%8D"},  // one group per UTF-8 byte
        {"\xED\x99\x8D", false, L"%ED%99%8D"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes);
        EXPECT_EQ(urlEncode(c.bytes, c.strict), CString(c.want));
    }
    // Hosts and paths pass the lenient set unchanged, however often.
    CString path = urlEncode("/api/GetGUID", false);
    EXPECT_EQ(urlEncode(CStringA(path).GetString(), false), path);
}

}  // namespace
