#include "firmware/bootloader_frame.h"

#include <gtest/gtest.h>

namespace kt9 {
namespace {

using Bytes = std::vector<uint8_t>;

TEST(BootloaderFrame, CheckByteCompletesAMultipleOf128) {
  const struct {
    Bytes covered;
    uint8_t check;
  } cases[] = {
      {{0x01}, 0x7F}, {{0x09}, 0x77}, {{0x00}, 0x00}, {{}, 0x00}, {{0x40, 0x40}, 0x00}, {{0x7F, 0x7F, 0x03}, 0x7F},
  };
  for (const auto& c : cases) EXPECT_EQ(Checksum7(c.covered.data(), c.covered.size()), c.check);
}

TEST(BootloaderFrame, FixedRequestsAreByteExact) {
  EXPECT_EQ(BuildBootFrame(kBootRequestMark, BL_RESTART, {}), (Bytes{0xF0, 0x6F, 0x10, 0x02, 0x11, 0x00, 0x00, 0xF7}));
  EXPECT_EQ(BuildBootFrame(kBootRequestMark, BL_GET_VERSION, {}), (Bytes{0xF0, 0x6F, 0x10, 0x02, 0x11, 0x01, 0x7F, 0xF7}));
  EXPECT_EQ(BuildBootFrame(kBootRequestMark, BL_VERIFY_OK, {}), (Bytes{0xF0, 0x6F, 0x10, 0x02, 0x11, 0x09, 0x77, 0xF7}));
}

TEST(BootloaderFrame, ValuesTravelLeastSignificantNibbleFirst) {
  Bytes parameters;
  AppendByteNibbles(parameters, 0x40);
  AppendAddressNibbles(parameters, 0x543);
  const Bytes frame = BuildBootFrame(kBootRequestMark, BL_READ_BLOCK, parameters);
  ASSERT_EQ(frame.size(), kReadRequestLength);
  EXPECT_EQ(Bytes(frame.begin() + 5, frame.begin() + 14), (Bytes{0x02, 0x00, 0x04, 3, 4, 5, 0, 0, 0}));
  EXPECT_EQ(frame[14], Checksum7(frame.data() + 5, 9));
  EXPECT_EQ(frame[15], 0xF7);
  EXPECT_EQ(DecodeAddressNibbles(frame.data() + 8), 0x543u);

  Bytes high;
  AppendAddressNibbles(high, 0xFEDCBA);
  EXPECT_EQ(high, (Bytes{0xA, 0xB, 0xC, 0xD, 0xE, 0xF}));
  EXPECT_EQ(DecodeAddressNibbles(high.data()), 0xFEDCBAu);
}

TEST(BootloaderFrame, DecodingUsesOnlyTheLowFourBits) {
  EXPECT_EQ(DecodeNibblePair(0x1F, 0x23), 0x3F);
  EXPECT_EQ(DecodeNibblePair(0x0A, 0x05), 0x5A);
  const uint8_t noisy[6] = {0x13, 0xF4, 0x25, 0x80, 0x70, 0x10};
  EXPECT_EQ(DecodeAddressNibbles(noisy), 0x543u);
}

TEST(BootloaderFrame, ReplyChecksInOrder) {
  const Bytes good = BuildBootFrame(kBootReplyMark, BL_WRITE_BLOCK, {});  // F0 6F 10 02 12 03 7D F7
  Bytes wrongEnd = good;
  wrongEnd[7] = 0x00;
  Bytes highCheck = good;
  highCheck[6] = static_cast<uint8_t>(highCheck[6] | 0x80);
  Bytes wrongHeader = good;
  wrongHeader[2] = 0x11;
  const struct {
    const char* what;
    Bytes frame;
    bool valid;
  } cases[] = {
      {"well formed", good, true},
      {"last byte not examined", wrongEnd, true},
      {"six bytes", Bytes(good.begin(), good.begin() + 6), false},
      {"request mark", BuildBootFrame(kBootRequestMark, BL_WRITE_BLOCK, {}), false},
      {"check byte with its top bit set", highCheck, false},
      {"foreign header", wrongHeader, false},
      {"cut before the end byte", Bytes(good.begin(), good.end() - 1), false},
      {"nothing", Bytes{}, false},
      {"seven bytes covering nothing", Bytes{0xF0, 0x6F, 0x10, 0x02, 0x12, 0x00, 0x55}, true},
  };
  for (const auto& c : cases) EXPECT_EQ(IsValidBootFrame(c.frame, kBootReplyMark), c.valid) << c.what;
}

}  // namespace
}  // namespace kt9
