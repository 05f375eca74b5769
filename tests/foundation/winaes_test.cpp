#include "foundation/winaes.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

using Bytes = std::vector<BYTE>;

Bytes fromHex(const char* hex) {
    Bytes out;
    for (; hex[0] && hex[1]; hex += 2) out.push_back(static_cast<BYTE>(std::stoi(std::string(hex, 2), nullptr, 16)));
    return out;
}

// NIST SP 800-38A, F.2.5 (CBC-AES256.Encrypt).
const Bytes kNistKey = fromHex("603deb1015ca71be2b73aef0857d77811f352c073b6108d72d9810a30914dff4");
const Bytes kNistIv = fromHex("000102030405060708090a0b0c0d0e0f");
const Bytes kNistPlain = fromHex(
    "6bc1bee22e409f96e93d7e117393172aae2d8a571e03ac9c9eb76fac45af8e51"
    "30c81c46a35ce411e5fbc1191a0a52eff69f2445df4f9b17ad2b417be66c3710");
const Bytes kNistCipher = fromHex(
    "f58c4c04d6e5f1ba779eabfb5f7bfbd69cfc4e967edb808d679f777bc6702c7d"
    "39f23369a9d9bacfa530e26304231461b2eb05e2c39be9fcda6c19078c6a9d1b");

constexpr unsigned kThrowing = WinAES::OPTION_DEFAULT | WinAES::OPTION_THROW;

TEST(WinAESTest, NistVectorInPlaceAndRoundTrip) {
    WinAES aes;
    ASSERT_GE(aes.providerRow(), 0);
    ASSERT_TRUE(aes.SetKeyWithIv(kNistKey.data(), kNistIv.data()));

    Bytes buffer = kNistPlain;
    buffer.resize(80);
    DWORD length = 0;
    ASSERT_TRUE(aes.Encrypt(buffer.data(), 80, 64, length));
    // Four blocks of the vector, then one block of padding.
    ASSERT_EQ(length, 80u);
    EXPECT_EQ(Bytes(buffer.begin(), buffer.begin() + 64), kNistCipher);

    ASSERT_TRUE(aes.Decrypt(buffer.data(), 80, 80, length));
    ASSERT_EQ(length, 64u);
    EXPECT_EQ(Bytes(buffer.begin(), buffer.begin() + 64), kNistPlain);
}

TEST(WinAESTest, TwoBufferRoundTripsForLengthsUpToThreeBlocks) {
    WinAES aes;
    ASSERT_TRUE(aes.SetKeyWithIv(kNistKey.data(), kNistIv.data()));
    for (DWORD n = 0; n <= 33; ++n) {
        SCOPED_TRACE(n);
        Bytes plain(n);
        for (DWORD i = 0; i < n; ++i) plain[i] = static_cast<BYTE>(i * 37 + n);
        DWORD expected = (n / 16) * 16 + 16;
        Bytes cipher(expected);
        DWORD cipherLength = expected;
        ASSERT_TRUE(aes.Encrypt(n ? plain.data() : nullptr, n, cipher.data(), cipherLength));
        ASSERT_EQ(cipherLength, expected);

        Bytes back(cipherLength);
        DWORD backLength = cipherLength;
        ASSERT_TRUE(aes.Decrypt(cipher.data(), cipherLength, back.data(), backLength));
        ASSERT_EQ(backLength, n);
        EXPECT_EQ(Bytes(back.begin(), back.begin() + n), plain);
    }
    // Nothing in place into one block: a whole block of padding.
    BYTE block[16] = {};
    DWORD length = 0;
    EXPECT_TRUE(aes.Encrypt(block, 16, 0, length));
    EXPECT_EQ(length, 16u);
}

// Every failure of the table: FALSE and the last error it leaves behind
// (0: not checked), and the message that the throwing option shows.
TEST(WinAESTest, FailuresNameTheirCause) {
    struct Case {
        const char* name;
        std::function<BOOL(WinAES&)> call;
        const char* message;
        DWORD lastError;
        bool keyed;
    };
    BYTE buf[64] = {};
    BYTE other[64] = {};
    DWORD len = 0;
    const Case cases[] = {
        {"empty input", [&](WinAES& a) { return a.Decrypt(buf, 64, 0, len); }, "Decrypt(1): Buffer is too small",
         static_cast<DWORD>(NTE_BUFFER_TOO_SMALL), true},
        {"20 bytes", [&](WinAES& a) { return a.Decrypt(buf, 64, 20, len); },
         "Decrypt(1): Data size is not a multple of block size", static_cast<DWORD>(NTE_BAD_DATA), true},
        {"decrypt null", [&](WinAES& a) { return a.Decrypt(nullptr, 64, 16, len); }, "Decrypt(1): Buffer is NULL", 1784,
         true},
        {"no padding room", [&](WinAES& a) { return a.Encrypt(buf, 16, 16, len); }, "Encrypt(1): Buffer is too small",
         static_cast<DWORD>(NTE_BUFFER_TOO_SMALL), true},
        {"encrypt null", [&](WinAES& a) { return a.Encrypt(nullptr, 32, 16, len); }, "Encrypt(1): Buffer is NULL", 1784,
         true},
        {"no key", [&](WinAES& a) { return a.Encrypt(buf, 32, 16, len); }, "Encrypt(1): Key is not valid",
         static_cast<DWORD>(NTE_BAD_KEY), false},
        {"no key to decrypt", [&](WinAES& a) { return a.Decrypt(buf, 32, 16, len); }, "Decrypt(1): Key is not valid",
         static_cast<DWORD>(NTE_BAD_KEY), false},
        {"no IV",
         [&](WinAES& a) {
             a.SetKey(kNistKey.data());
             return a.Encrypt(buf, 32, 16, len);
         },
         "Encrypt(1): IV has not been set", static_cast<DWORD>(NTE_INVALID_PARAMETER), false},
        {"IV before key", [&](WinAES& a) { return a.SetIv(kNistIv.data()); }, "SetIv: key is not valid", 0, false},
        {"null key", [&](WinAES& a) { return a.SetKeyWithIv(nullptr, kNistIv.data()); },
         "SetKeyWithIv: Key buffer is not valid", 0, false},
        {"null IV", [&](WinAES& a) { return a.SetKeyWithIv(kNistKey.data(), nullptr); },
         "SetKeyWithIv: IV buffer is not valid", 0, false},
        {"null plain text", [&](WinAES& a) { len = 64; return a.Encrypt(nullptr, 5, other, len); },
         "Encrypt(2): Plain text buffer is not valid", 1784, true},
        {"null cipher text", [&](WinAES& a) { len = 64; return a.Encrypt(buf, 5, nullptr, len); },
         "Encrypt(2): Cipher text buffer is not valid", 1784, true},
        {"overlap", [&](WinAES& a) { len = 32; return a.Encrypt(buf + 8, 16, buf + 16, len); },
         "Encrypt(2): Buffers overlap", static_cast<DWORD>(NTE_BUFFERS_OVERLAP), true},
        {"touching", [&](WinAES& a) { len = 32; return a.Encrypt(buf, 16, buf + 16, len); },
         "Encrypt(2): Buffers overlap", static_cast<DWORD>(NTE_BUFFERS_OVERLAP), true},
        {"touching behind", [&](WinAES& a) { len = 16; return a.Encrypt(buf + 16, 16, buf, len); },
         "Encrypt(2): Buffers overlap", static_cast<DWORD>(NTE_BUFFERS_OVERLAP), true},
        {"capacity under input", [&](WinAES& a) { len = 4; return a.Encrypt(buf, 5, other, len); },
         "Encrypt(2): Unable to prepare plaintext buffer", 0, true},
        {"capacity under padding", [&](WinAES& a) { len = 16; return a.Encrypt(buf, 16, other, len); },
         "Encrypt(2): Encryption failed - NTE_BUFFER_TOO_SMALL (0x80090028)", 0, true},
        {"decrypt overlap", [&](WinAES& a) { len = 32; return a.Decrypt(buf, 32, buf + 31, len); },
         "Decrypt(2): Buffers overlap", static_cast<DWORD>(NTE_BUFFERS_OVERLAP), true},
        {"decrypt touching", [&](WinAES& a) { len = 32; return a.Decrypt(buf + 32, 32, buf, len); },
         "Decrypt(2): Buffers overlap", static_cast<DWORD>(NTE_BUFFERS_OVERLAP), true},
        {"decrypt null", [&](WinAES& a) { len = 32; return a.Decrypt(buf, 32, nullptr, len); },
         "Decrypt(2): Buffer is NULL", 1784, true},
        {"decrypt capacity", [&](WinAES& a) { len = 16; return a.Decrypt(buf, 32, other, len); },
         "Decrypt(2): Unable to prepare decryption buffer", 0, true},
        {"decrypt nothing", [&](WinAES& a) { len = 32; return a.Decrypt(buf, 0, other, len); },
         "Decrypt(2): Decryption failed - NTE_BUFFER_TOO_SMALL (0x80090028)", 0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (bool throwing : {false, true}) {
            for (BYTE& b : buf) b = 0x5A;
            for (BYTE& b : other) b = 0xA5;
            WinAES aes(throwing ? kThrowing : WinAES::OPTION_DEFAULT);
            if (c.keyed) {
                ASSERT_TRUE(aes.SetKeyWithIv(kNistKey.data(), kNistIv.data()));
            }
            std::string message = "(no failure)";
            SetLastError(0);
            if (throwing) {
                try {
                    c.call(aes);
                } catch (const WinAESException& e) {
                    message = e.what();
                }
                EXPECT_EQ(message, c.message);
            } else {
                EXPECT_FALSE(c.call(aes));
                if (c.lastError) {
                    EXPECT_EQ(GetLastError(), c.lastError);
                }
            }
            if (strstr(c.message, "overlap")) {
                // Refused before anything was copied.
                for (BYTE b : buf) ASSERT_EQ(b, 0x5A);
                for (BYTE b : other) ASSERT_EQ(b, 0xA5);
            }
            if (strstr(c.message, "failed - ")) {
                EXPECT_EQ(len, 0u);
            }
        }
    }
}

TEST(WinAESTest, WrongKeyFailsQuietlyAndLeavesNothingBehind) {
    Bytes cipher(32);
    DWORD cipherLength = 32;
    {
        WinAES aes;
        ASSERT_TRUE(aes.SetKeyWithIv(kNistKey.data(), kNistIv.data()));
        ASSERT_TRUE(aes.Encrypt(kNistPlain.data(), 16, cipher.data(), cipherLength));
    }
    Bytes otherKey = kNistKey;
    otherKey[0] ^= 1;

    WinAES quiet;
    ASSERT_TRUE(quiet.SetKeyWithIv(otherKey.data(), kNistIv.data()));
    Bytes plain(32, 0x11);
    DWORD plainLength = 32;
    EXPECT_FALSE(quiet.Decrypt(cipher.data(), cipherLength, plain.data(), plainLength));
    EXPECT_EQ(plainLength, 0u);
    // The block decrypted under the wrong key is not handed back.
    EXPECT_EQ(plain, Bytes(32, 0));

    WinAES loud(kThrowing);
    ASSERT_TRUE(loud.SetKeyWithIv(otherKey.data(), kNistIv.data()));
    plainLength = 32;
    try {
        loud.Decrypt(cipher.data(), cipherLength, plain.data(), plainLength);
        ADD_FAILURE() << "no exception";
    } catch (const WinAESException& e) {
        EXPECT_EQ(std::string(e.what()).rfind("Decrypt(2): Decryption failed - NTE_BAD_DATA (0x80090005)", 0), 0u)
            << e.what();
    }
}

// Objects on many threads at once (and in other processes) share no key
// container: none can delete one under another.
TEST(WinAESTest, NoSharedKeyContainer) {
    auto containerExists = [] {
        HCRYPTPROV p = 0;
        if (!CryptAcquireContextW(&p, WinAES::containerName(), L"Microsoft Enhanced RSA and AES Cryptographic Provider",
                                  PROV_RSA_AES, 0)) {
            return false;
        }
        CryptReleaseContext(p, 0);
        return true;
    };
    {
        WinAES aes;
        ASSERT_GE(aes.providerRow(), 0);
        EXPECT_LT(aes.providerRow(), 2);
        EXPECT_FALSE(containerExists());
    }
    EXPECT_FALSE(containerExists());

    std::atomic<int> failures{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 6; ++t) {
        threads.emplace_back([&failures] {
            for (int i = 0; i < 40; ++i) {
                WinAES aes;
                BYTE buf[32] = {'k', 'e', 's', 't'};
                DWORD len = 0, back = 0;
                if (!aes.SetKeyWithIv(kNistKey.data(), kNistIv.data()) || !aes.Encrypt(buf, 32, 4, len) ||
                    !aes.Decrypt(buf, 32, len, back) || back != 4 || buf[0] != 'k') {
                    ++failures;
                }
            }
        });
    }
    for (auto& t : threads) t.join();
    EXPECT_EQ(failures.load(), 0);
}

TEST(WinAESTest, ErrorNames) {
    struct Case {
        DWORD code;
        const char* name;
    } cases[] = {
        {5, "ERROR_ACCESS_DENIED"},       {87, "ERROR_INVALID_PARAMETER"},     {0x80090001, "NTE_BAD_UID"},
        {0x80090005, "NTE_BAD_DATA"},     {0x80090006, "Unknown"},             {0x80090016, "NTE_BAD_KEYSET"},
        {0x80090022, "NTE_SILENT_CONTEXT"}, {0x80090023, "Unknown"},           {0x8009002D, "NTE_INTERNAL_ERROR"},
        {0x8009002E, "Unknown"},          {1784, "Unknown"},
    };
    for (const auto& c : cases) EXPECT_STREQ(WinAES::errorName(c.code), c.name) << std::hex << c.code;
}

}  // namespace
