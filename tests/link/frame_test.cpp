// Frames, the checksum and the reply parser, byte by byte.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "link/device_requests.h"

namespace kt9 {
namespace {

using Bytes = std::vector<uint8_t>;

TEST(FrameChecksum, MatchesTheCrc16ArcCheckValue) {
  const std::string check = "123456789";
  EXPECT_EQ(FrameChecksum(Bytes(check.begin(), check.end())), 0xBB3D);
  EXPECT_EQ(FrameChecksum(Bytes{}), 0x0000);
  // Going on from a running value is the same as one pass over the whole.
  EXPECT_EQ(FrameChecksum(Bytes{'5', '6', '7', '8', '9'}, FrameChecksum(Bytes{'1', '2', '3', '4'})), 0xBB3D);
}

TEST(BuildFrame, LaysOutRequestsAndRepliesHighByteFirst) {
  struct Case {
    const char* what;
    Bytes frame;
    Bytes expected;
  };
  const Bytes word{0x05, 0x01};
  const Case cases[] = {
      {"read request for the version word", BuildFrame(CMD_READ, 0xFF00, 2),
       {0x02, 0x0A, 0xFF, 0x00, 0x00, 0x02, 0xD4, 0x29, 0x03}},
      {"status request", BuildFrame(CMD_STATUS, 0, 1), {0x02, 0x09, 0x00, 0x00, 0x00, 0x01, 0xC1, 0x1D, 0x03}},
      {"read reply with its payload", BuildFrame(REPLY_READ, 0xFF00, 2, word),
       {0x02, 0x6E, 0xFF, 0x00, 0x00, 0x02, 0x05, 0x01, 0x99, 0xF8, 0x03}},
  };
  for (const Case& c : cases) EXPECT_EQ(c.frame, c.expected) << c.what;
}

// Feeds `bytes` to a fresh parser; the result for the last byte.
int LastResult(Communicator& link, const Bytes& bytes) {
  int result = 0;
  for (uint8_t b : bytes) result = ParseReplyByte(link, b);
  return result;
}

Bytes Concat(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

TEST(ParseReplyByte, CompletesOnlyValidFramesOnTheirLastByte) {
  const Bytes data{0x11, 0x22, 0x33};
  const Bytes good = BuildFrame(REPLY_READ, 0x1200, 3, data);
  Bytes badChecksum = good;
  badChecksum[badChecksum.size() - 2] ^= 0x01;
  Bytes wrongEnd = good;
  wrongEnd.back() = 0x04;
  // Command 12 collects no payload, so its two data bytes are read as the
  // checksum and the frame falls apart.
  const Bytes noPayloadCommand = BuildFrame(12, 0, 2, Bytes{0xAB, 0xCD});
  struct Case {
    const char* what;
    Bytes bytes;
    int expected;
  };
  const Case cases[] = {
      {"valid read reply", good, 1},
      {"noise before the start byte is skipped", Concat({0x00, 0xFF, 0x7E}, good), 1},
      {"bad checksum", badChecksum, 0},
      {"wrong end byte", wrongEnd, 0},
      {"bytes after a complete frame", Concat(good, {0x00}), 0},
      {"status reply", BuildFrame(REPLY_STATUS, 0, 1, Bytes{0x01}), 1},
      {"write acknowledgement without data", BuildFrame(CMD_WRITE, 0x1200, 0), 1},
      {"a frame of a command that carries no payload", noPayloadCommand, 0},
  };
  for (const Case& c : cases) {
    Communicator link(LinkOptions{});
    EXPECT_EQ(LastResult(link, c.bytes), c.expected) << c.what;
  }
}

TEST(ParseReplyByte, KeepsTheLastFrameAndItsStateAcrossReads) {
  Communicator link(LinkOptions{});
  const Bytes frame = BuildFrame(REPLY_READ, 0x0A00, 4, Bytes{1, 2, 3, 4});
  // A reply cut in two (as by the inter-byte time-out) completes with the
  // second piece.
  EXPECT_EQ(LastResult(link, Bytes(frame.begin(), frame.begin() + 5)), 0);
  EXPECT_EQ(LastResult(link, Bytes(frame.begin() + 5, frame.end())), 1);
  const ReplyParser& reply = link.Parser();
  EXPECT_EQ(reply.command, REPLY_READ);
  EXPECT_EQ(reply.address, 0x0A00);
  EXPECT_EQ(reply.received, 4);
  EXPECT_EQ(reply.payload, (Bytes{1, 2, 3, 4}));
  // A frame with a payload command but length 0 allocates nothing.
  EXPECT_EQ(LastResult(link, BuildFrame(REPLY_READ, 0x0A00, 0)), 1);
  EXPECT_FALSE(reply.hasPayload);
  EXPECT_EQ(reply.received, 0);
}

}  // namespace
}  // namespace kt9
