// The serial link over real pseudo-terminals: time-outs, the drain, exclusive
// open, hang-ups, the trace.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "link/communicator.h"
#include "link/device_requests.h"
#include "tests/support/recording_ui.h"
#include "tests/support/sim_process.h"

namespace kt9 {
namespace {

using Bytes = std::vector<uint8_t>;
using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

LinkOptions RealOptions(const std::string& port) {
  LinkOptions options;
  options.port = port;
  return options;
}

milliseconds Since(Clock::time_point start) {
  return std::chrono::duration_cast<milliseconds>(Clock::now() - start);
}

TEST(Communicator, ReadsUnderThePedalsTimeOuts) {
  test::PtyPeer peer;
  ASSERT_FALSE(peer.Path().empty());
  Communicator link(RealOptions(peer.Path()));
  ASSERT_TRUE(link.Open());
  Bytes got;

  // Silence: 20 ms a byte + 100 ms for 9 bytes.
  auto start = Clock::now();
  ASSERT_TRUE(link.ReadBytes(9, got));
  EXPECT_TRUE(got.empty());
  EXPECT_GE(Since(start), milliseconds(275));
  EXPECT_LT(Since(start), milliseconds(450));

  // Three bytes, then a pause: the read ends 100 ms after the third.
  peer.Send({1, 2, 3});
  start = Clock::now();
  ASSERT_TRUE(link.ReadBytes(9, got));
  EXPECT_EQ(got, (Bytes{1, 2, 3}));
  EXPECT_GE(Since(start), milliseconds(95));
  EXPECT_LT(Since(start), milliseconds(250));

  // All bytes in: the read returns at once, leaving the rest for the next.
  peer.Send({4, 5, 6, 7, 8});
  std::this_thread::sleep_for(milliseconds(20));
  start = Clock::now();
  ASSERT_TRUE(link.ReadBytes(2, got));
  EXPECT_EQ(got, (Bytes{4, 5}));
  EXPECT_LT(Since(start), milliseconds(50));
  ASSERT_TRUE(link.ReadBytes(0, got));
  EXPECT_EQ(got, (Bytes{6, 7, 8}));
}

TEST(Communicator, OpeningDrainsStaleInputAndResetsTheParser) {
  test::PtyPeer peer;
  Communicator link(test::FastLinkOptions(peer.Path()));
  ASSERT_TRUE(link.Open());
  // Half a frame, then the link is reopened while stale bytes wait.
  const Bytes reply = BuildFrame(REPLY_READ, 0xFF00, 2, Bytes{0x05, 0x01});
  for (uint8_t b : Bytes(reply.begin(), reply.begin() + 4)) ParseReplyByte(link, b);
  peer.Send({0x02, 0x6E, 0xFF, 0x00, 0x00});
  std::this_thread::sleep_for(milliseconds(20));
  ASSERT_TRUE(link.Open());
  EXPECT_EQ(link.Parser().state, 0);
  peer.Send(reply);
  Bytes got;
  ASSERT_TRUE(link.ReadBytes(reply.size(), got));
  EXPECT_EQ(got, reply);
}

TEST(Communicator, OpensItsPortExclusively) {
  test::SimProcess sim;
  ASSERT_TRUE(sim.Started());
  Communicator first(test::FastLinkOptions(sim.Port()));
  Communicator second(test::FastLinkOptions(sim.Port()));
  ASSERT_TRUE(first.Open());
  test::RecordingUi ui;
  EXPECT_FALSE(second.Open(&ui));
  EXPECT_EQ(ui.messages, std::vector<std::string>{"Device not found"});
  EXPECT_NE(second.OpenHint().find("in use"), std::string::npos) << second.OpenHint();
  first.Close();
  ASSERT_TRUE(second.Open());
  EXPECT_EQ(ReadVersionWord(second), 0x0105);
  // The same instance opens the same port again.
  ASSERT_TRUE(second.Open());
  EXPECT_EQ(ReadVersionWord(second), 0x0105);
}

TEST(Communicator, AMissingPortIsNotFound) {
  Communicator link(test::FastLinkOptions("/dev/kt9-no-such-port"));
  test::RecordingUi ui;
  EXPECT_FALSE(link.Open(&ui));
  EXPECT_FALSE(link.IsOpen());
  EXPECT_EQ(ui.messages, std::vector<std::string>{"Device not found"});
  EXPECT_FALSE(link.OpenHint().empty());
  Bytes got;
  EXPECT_FALSE(link.ReadBytes(9, got));
  EXPECT_FALSE(link.WriteBytes(got.data(), 0));
}

TEST(Communicator, AHungUpPortFailsTheReadAtOnce) {
  test::PtyPeer peer;
  Communicator link(RealOptions(peer.Path()));
  ASSERT_TRUE(link.Open());
  peer.HangUp();
  Bytes got;
  const auto start = Clock::now();
  EXPECT_FALSE(link.ReadBytes(9, got));
  EXPECT_LT(Since(start), milliseconds(100));

  // The same through a request: an unplugged pedal ends it with a failure.
  test::SimProcess sim({"--fault", "hang-up:read@1"});
  Communicator pedal(RealOptions(sim.Port()));
  ASSERT_TRUE(pedal.Open());
  EXPECT_EQ(ReadVersionWord(pedal), std::nullopt);
}

TEST(Communicator, TracesEveryRunOfBytes) {
  test::SimProcess sim;
  LinkOptions options = test::FastLinkOptions(sim.Port());
  options.trace = true;
  Communicator link(options);
  testing::internal::CaptureStderr();
  ASSERT_TRUE(link.Open());
  ASSERT_EQ(ReadVersionWord(link), 0x0105);
  const std::string trace = testing::internal::GetCapturedStderr();
  EXPECT_NE(trace.find(" send 9: 02 0A FF 00 00 02 D4 29 03\n"), std::string::npos) << trace;
  EXPECT_NE(trace.find(" recv 11: 02 6E FF 00 00 02 05 01 99 F8 03\n"), std::string::npos) << trace;
}

}  // namespace
}  // namespace kt9
