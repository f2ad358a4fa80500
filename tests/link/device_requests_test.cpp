// The request protocol against kt9-sim and against a scripted in-test peer.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "link/device_requests.h"
#include "tests/link/pedal_fixture.h"

namespace kt9 {
namespace {

using Bytes = std::vector<uint8_t>;
using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr uint16_t kPatch0 = 0x1200;

std::string NameAt(const Bytes& bytes, std::size_t offset) {
  return std::string(reinterpret_cast<const char*>(bytes.data() + offset));
}

Bytes Record(std::size_t size, uint8_t seed) {
  Bytes record(size);
  for (std::size_t i = 0; i < size; ++i) record[i] = static_cast<uint8_t>(seed + i * 7);
  return record;
}

TEST(ReadBlock, ReadsThroughEachInjectedFaultOrFails) {
  struct Case {
    const char* fault;
    bool ok;
  };
  const Case cases[] = {
      {nullptr, true},
      {"split:read@1", true},                // completes in the second read
      {"other-command-first:read@1", true},  // a miss, then the reply
      {"trailing-bytes:read@1", true},       // the noise lands in the next read
      {"bad-checksum:read@1", false},
      {"wrong-end:read@1", false},
      {"wrong-address:read@1", false},
      {"no-answer:read@1", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fault ? c.fault : "no fault");
    std::vector<std::string> args;
    if (c.fault) args = {"--fault", c.fault};
    SimPedal pedal(args);
    ASSERT_TRUE(pedal.Open());
    Bytes name(17);
    EXPECT_EQ(ReadBlock(pedal.link, CMD_READ, REPLY_READ, kPatch0 + 2, name), c.ok);
    if (c.ok) {
      EXPECT_EQ(NameAt(name, 0), "Patch 01");
    }
    // Whatever went wrong, the next request gets its answer.
    EXPECT_EQ(ReadVersionWord(pedal.link), 0x0105);
  }
}

TEST(ReadBlock, CountZeroTouchesNothing) {
  Communicator closed(LinkOptions{});
  Bytes none;
  EXPECT_TRUE(ReadBlock(closed, CMD_READ, REPLY_READ, 0, none));
  Bytes one(1);
  EXPECT_FALSE(ReadBlock(closed, CMD_READ, REPLY_READ, 0, one));
}

TEST(ReadBlock, ReadsLargeBlocksInChunksWithSixteenBitAddresses) {
  test::TempDir dir;
  const std::string file = dir.File("pedal.bin");
  Bytes memory(0x10000);
  for (std::size_t a = 0; a < memory.size(); ++a) memory[a] = static_cast<uint8_t>(a * 13 + (a >> 8));
  {
    std::FILE* f = std::fopen(file.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(memory.data(), 1, memory.size(), f);
    std::fclose(f);
  }
  SimPedal pedal({"--memory", file});
  ASSERT_TRUE(pedal.Open());
  // 2048 + 2048 + 4 bytes from 0xF000 on: the last chunk wraps to 0x0000.
  Bytes block(4100);
  ASSERT_TRUE(ReadBlock(pedal.link, CMD_READ, REPLY_READ, 0xF000, block));
  for (std::size_t i = 0; i < block.size(); ++i) {
    ASSERT_EQ(block[i], memory[(0xF000 + i) % 0x10000]) << "byte " << i;
  }
}

// A pedal played by the test: it takes one request and answers with
// `replies`, each after a gap longer than the link's inter-byte time-out.
struct ScriptedPeer {
  explicit ScriptedPeer(std::vector<Bytes> replies) {
    thread = std::thread([this, replies = std::move(replies)] {
      request = peer.Receive(9, milliseconds(2000));
      for (const Bytes& reply : replies) {
        std::this_thread::sleep_for(milliseconds(100));
        peer.Send(reply);
      }
      extra = peer.Receive(1, milliseconds(150));
    });
  }
  ~ScriptedPeer() {
    if (thread.joinable()) thread.join();
  }
  void Join() { thread.join(); }

  test::PtyPeer peer;
  Bytes request, extra;
  std::thread thread;
};

TEST(ReadBlock, GivesEachChunkThreeReadsAndNeverResends) {
  const Bytes data{1, 2, 3, 4};
  const Bytes right = BuildFrame(REPLY_READ, 0x1200, 4, data);
  const Bytes other = BuildFrame(120, 0x1200, 0);
  const Bytes wrongAddress = BuildFrame(REPLY_READ, 0x1201, 4, data);
  const Bytes shortReply = BuildFrame(REPLY_READ, 0x1200, 2, Bytes{1, 2});
  struct Case {
    const char* what;
    std::vector<Bytes> replies;
    bool ok;
  };
  const Case cases[] = {
      {"the reply in the third read", {other, other, right}, true},
      {"the reply in the fourth read", {other, other, other, right}, false},
      {"another address fails at once", {wrongAddress, right}, false},
      {"a reply of another length is a miss", {shortReply, right}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ScriptedPeer script(c.replies);
    LinkOptions options = test::FastLinkOptions(script.peer.Path());
    options.timeouts = {milliseconds(30), milliseconds(1), milliseconds(250)};
    Communicator link(options);
    ASSERT_TRUE(link.Open());
    Bytes block(4);
    EXPECT_EQ(ReadBlock(link, CMD_READ, REPLY_READ, 0x1200, block), c.ok);
    if (c.ok) {
      EXPECT_EQ(block, data);
    }
    script.Join();
    EXPECT_EQ(script.request, BuildFrame(CMD_READ, 0x1200, 4));
    EXPECT_TRUE(script.extra.empty()) << "the request was sent again";
  }
}

TEST(WriteSystemRecord, SilenceIsAnAcknowledgementGarbageIsNot) {
  struct Case {
    const char* fault;
    bool ok;
  };
  const Case cases[] = {{nullptr, true}, {"no-answer:write@1", true}, {"bad-checksum:write@1", false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fault ? c.fault : "no fault");
    std::vector<std::string> args{"--busy-polls", "2"};
    if (c.fault) args.insert(args.end(), {"--fault", c.fault});
    SimPedal pedal(args);
    ASSERT_TRUE(pedal.Open());
    const Bytes record = Record(1242, 0x40);
    EXPECT_EQ(WriteSystemRecord(pedal.link, record), c.ok);
    Bytes back(record.size());
    ASSERT_TRUE(ReadBlock(pedal.link, CMD_READ, REPLY_READ, 0x0A00, back));
    EXPECT_EQ(back, record);  // the pedal took the bytes either way
  }
}

TEST(WritePatchRecord, NeedsAnAcknowledgement) {
  struct Case {
    const char* fault;
    bool ok;
  };
  const Case cases[] = {
      {nullptr, true},
      {"split:write@1", true},
      {"no-answer:write@1", false},  // 20 empty reads
      {"wrong-end:write@1", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fault ? c.fault : "no fault");
    std::vector<std::string> args;
    if (c.fault) args = {"--fault", c.fault};
    SimPedal pedal(args);
    ASSERT_TRUE(pedal.Open());
    EXPECT_EQ(WritePatchRecord(pedal.link, Record(506, 1), 0), c.ok);
  }
}

TEST(WritePatchRecord, WritesEachSlotAtItsAddressAndRefusesOthers) {
  SimPedal pedal({"--version-word", "0x0104"});
  ASSERT_TRUE(pedal.Open());
  const Bytes record = Record(502, 9);
  ASSERT_TRUE(WritePatchRecord(pedal.link, record, 98));
  Bytes back(502);
  ASSERT_TRUE(ReadBlock(pedal.link, CMD_READ, REPLY_READ, 0x1200 + 98 * 0x200, back));
  EXPECT_EQ(back, record);
  EXPECT_FALSE(WritePatchRecord(pedal.link, record, 99));
  EXPECT_FALSE(WritePatchRecord(pedal.link, Bytes(500), 0));
  EXPECT_FALSE(WriteSystemRecord(pedal.link, Bytes(1000)));
}

TEST(WaitWhileBusy, WaitsForReadyButNotForever) {
  struct Case {
    std::vector<std::string> args;
    bool ok;
    milliseconds atLeast;
  };
  const Case cases[] = {
      {{"--busy-polls", "5"}, true, milliseconds(0)},
      {{"--fault", "no-answer:status@1"}, true, milliseconds(0)},  // a failed poll ends the wait
      {{"--fault", "busy-forever:write@1"}, false, milliseconds(500)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args.back());
    SimPedal pedal(c.args);
    ASSERT_TRUE(pedal.Open());
    const auto start = Clock::now();
    EXPECT_EQ(WritePatchRecord(pedal.link, Record(506, 3), 5), c.ok);
    EXPECT_GE(Clock::now() - start, c.atLeast);
  }
}

TEST(ReadVersionWord, ReadsTheWordLowByteFirst) {
  for (const char* word : {"0x0104", "0x0105", "0x0300"}) {
    SimPedal pedal({"--version-word", word});
    ASSERT_TRUE(pedal.Open());
    EXPECT_EQ(ReadVersionWord(pedal.link), std::stoul(word, nullptr, 16)) << word;
  }
  SimPedal silent({"--fault", "no-answer:read@0xFF00"});
  ASSERT_TRUE(silent.Open());
  EXPECT_EQ(ReadVersionWord(silent.link), std::nullopt);
}

TEST(SimPedal, KeepsItsMemoryInItsFile) {
  test::TempDir dir;
  const std::string file = dir.File("pedal.bin");
  const Bytes record = Record(506, 77);
  {
    SimPedal pedal({"--memory", file});
    ASSERT_TRUE(pedal.Open());
    Bytes system(2);
    ASSERT_TRUE(ReadBlock(pedal.link, CMD_READ, REPLY_READ, 0x0A00, system));
    EXPECT_EQ(system, (Bytes{2000 & 0xFF, 2000 >> 8}));  // sysconfig_id of the extended layout
    ASSERT_TRUE(WritePatchRecord(pedal.link, record, 1));
    EXPECT_EQ(pedal.sim.Stop(), 0);
  }
  const Bytes saved = test::ReadFileBytes(file);
  ASSERT_EQ(saved.size(), 0x10000u);
  EXPECT_TRUE(std::equal(record.begin(), record.end(), saved.begin() + 0x1400));
  SimPedal again({"--memory", file});
  ASSERT_TRUE(again.Open());
  Bytes back(506);
  ASSERT_TRUE(ReadBlock(again.link, CMD_READ, REPLY_READ, 0x1400, back));
  EXPECT_EQ(back, record);
}

}  // namespace
}  // namespace kt9
