#include "descriptors/inf_receive_buffer.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace {

std::string text(const inf_receive_buffer& buffer) {
    return std::string(buffer.bytes().begin(), buffer.bytes().end());
}

const BYTE* bytes(const char* s) {
    return reinterpret_cast<const BYTE*>(s);
}

TEST(InfReceiveBuffer, GrowsWithinTheAnnouncedSize) {
    inf_receive_buffer buffer;
    EXPECT_FALSE(buffer.started());
    buffer.begin();
    EXPECT_TRUE(buffer.append(bytes("[HEAD]\r\n"), 8, 12));
    EXPECT_TRUE(buffer.append(bytes("A=1\r"), 4, 12));
    EXPECT_EQ(text(buffer), "[HEAD]\r\nA=1\r");
    // More than the reply announced is refused and not kept.
    EXPECT_FALSE(buffer.append(bytes("\n"), 1, 12));
    EXPECT_EQ(text(buffer).size(), 12u);

    // A reply claiming more than any descriptor holds is refused too.
    inf_receive_buffer huge;
    huge.begin();
    std::vector<BYTE> block(static_cast<size_t>(inf_receive_buffer::kMaxBytes) + 1, 'x');
    EXPECT_FALSE(huge.append(block.data(), static_cast<UINT32>(block.size()), ULLONG_MAX));
    EXPECT_TRUE(huge.bytes().empty());
}

}  // namespace
