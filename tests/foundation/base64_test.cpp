#include "foundation/base64.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string encoded(const std::string& bytes, int* result = nullptr) {
    char out[BASE64_ENCODE_LIMIT + 16];
    memset(out, '#', sizeof(out));
    int r = base64Encode(out, reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<int>(bytes.size()));
    if (result) *result = r;
    return r > 0 ? std::string(out, static_cast<size_t>(r - 1)) + (out[r - 1] == '\0' ? "" : "<no zero>")
                 : std::string(out, 4);
}

std::string decoded(const char* text, int limit = 1024) {
    unsigned char out[1024];
    int n = base64Decode(out, text, limit);
    return std::string(reinterpret_cast<char*>(out), static_cast<size_t>(n));
}

// RFC 4648, section 10.
TEST(Base64Test, RfcVectorsBothWays) {
    struct Case {
        const char* bytes;
        const char* text;
    } cases[] = {
        {"f", "Zg=="},     {"fo", "Zm8="},       {"foo", "Zm9v"},        {"foob", "Zm9vYg=="},
        {"fooba", "Zm9vYmE="}, {"foobar", "Zm9vYmFy"}, {"abc", "YWJj"},
    };
    for (const auto& c : cases) {
        int r = 0;
        EXPECT_EQ(encoded(c.bytes, &r), c.text);
        EXPECT_EQ(r, static_cast<int>(strlen(c.text)) + 1);
        EXPECT_EQ(decoded(c.text), c.bytes);
    }
}

TEST(Base64Test, SizeLimitAndEmptyInputLeaveTheDestinationAlone) {
    int r = 0;
    EXPECT_EQ(encoded(std::string(765, 'x'), &r).size(), 1020u);
    EXPECT_EQ(r, 1021);
    EXPECT_EQ(encoded(std::string(766, 'x'), &r), "####");
    EXPECT_EQ(r, -1);
    EXPECT_EQ(encoded(std::string(), &r), "####");
    EXPECT_EQ(r, 0);
    char out[8] = "#######";
    EXPECT_EQ(base64Encode(out, nullptr, 3), 0);
    EXPECT_STREQ(out, "#######");
}

TEST(Base64Test, RoundTripsEveryByteValue) {
    for (int n = 0; n <= 33; ++n) {
        std::string bytes;
        for (int i = 0; i < n; ++i) bytes += static_cast<char>((i * 71 + 200) & 0xFF);
        std::string text = encoded(bytes);
        if (n == 0) continue;
        EXPECT_EQ(text.size(), static_cast<size_t>(4 * ((n + 2) / 3))) << n;
        EXPECT_EQ(decoded(text.c_str()), bytes) << n;
    }
}

TEST(Base64Test, DecoderSkipsStrayCharactersAndHonoursTheLimit) {
    struct Case {
        const char* text;
        int limit;
        std::string bytes;
    } cases[] = {
        {"Zm9v\r\nYm Fy\t", 1024, "foobar"},
        {"Zm\xC3\xA9\x80" "9v", 1024, "foo"},       // bytes of 0x80 and above are no characters
        {"YWJj", 2, "ab"},
        {"", 1024, ""},
        {"===\r\n", 1024, ""},
        // "=" does not end a group: what follows continues the group.
        {"Zg==Zg==", 1024, std::string("f\x06\x60", 3)},
    };
    for (const auto& c : cases) EXPECT_EQ(decoded(c.text, c.limit), c.bytes) << c.text;
}

}  // namespace
