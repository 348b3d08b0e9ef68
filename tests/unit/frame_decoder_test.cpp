#include "decode/frame_decoder.h"

#include <gtest/gtest.h>

namespace quelm {
namespace {

FrameBuffer Sealed(std::initializer_list<std::pair<std::size_t, std::uint8_t>> bytes) {
    FrameBuffer b{};
    for (auto [at, v] : bytes) {
        b[at] = v;
    }
    SealFrame(b);
    return b;
}

// An all-zero frame passes and gives zeros; the checksum drops the carry and leaves out the
// time stamp bytes.
TEST(DecodeFrame, ChecksumDropsTheCarry) {
    FrameBuffer b{};
    RawData raw;
    raw.MAFAD = 7;
    EXPECT_FALSE(DecodeFrame(b, raw));
    EXPECT_EQ(raw.MAFAD, 0);
    b[0] = 200;
    b[1] = 100;  // sum 300 = 256 + 44
    b[37] = 44;
    EXPECT_FALSE(DecodeFrame(b, raw));
    b[37] = 45;
    EXPECT_TRUE(DecodeFrame(b, raw));
    b[37] = static_cast<std::uint8_t>(300 & 0xFF) + 0;  // 44 again, and the time stamp bytes
    b[38] = 1;
    b[39] = 2;
    b[40] = 3;
    EXPECT_FALSE(DecodeFrame(b, raw));
}

TEST(DecodeFrame, BothByteOrders) {
    auto b =
        Sealed({{0, 0x03}, {1, 0xFF}, {20, 0x34}, {21, 0x12}, {36, 0x10}, {34, 0xFF}, {35, 0xFF}});
    RawData raw;
    ASSERT_FALSE(DecodeFrame(b, raw));
    EXPECT_EQ(raw.MAFAD, 1023);
    EXPECT_EQ(raw.FIRETIME, 4660);
    EXPECT_EQ(raw.SPARE2, 65535);
    EXPECT_EQ(raw.STATUS, 0x10);
}

TEST(DecodeFrame, RejectedFrameKeepsTheLastGoodRecord) {
    auto good = Sealed({{2, 0x01}, {3, 0x02}});
    RawData raw;
    ASSERT_FALSE(DecodeFrame(good, raw));
    auto bad = Sealed({{2, 0x02}});
    bad[37] ^= 0x01;
    EXPECT_TRUE(DecodeFrame(bad, raw));
    EXPECT_EQ(raw.TPSAD, 258);
}

}  // namespace
}  // namespace quelm
