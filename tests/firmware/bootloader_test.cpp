// The bootloader protocol against kt9-sim in programming mode: what each
// operation sends, how it judges replies, and when it tries again. The
// simulator logs every request it receives, so the tests count attempts.
#include "firmware/bootloader.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <thread>

#include "link/device_requests.h"
#include "tests/support/sim_process.h"

namespace kt9 {
namespace {

using namespace std::chrono_literals;
using test::BootLinkOptions;
using test::ReadLines;

// A simulator in programming mode with a request log, and a link to it.
class BootSim {
 public:
  explicit BootSim(std::vector<std::string> args) : sim_(WithLog(std::move(args), dir_.File("requests.log"))) {}

  bool Open() { return sim_.Started() && link_.emplace(BootLinkOptions(sim_.Port())).Open(); }
  Communicator& Link() { return *link_; }
  std::vector<std::string> Requests() const { return ReadLines(dir_.File("requests.log")); }
  test::SimProcess& Process() { return sim_; }

 private:
  static std::vector<std::string> WithLog(std::vector<std::string> args, const std::string& log) {
    args.insert(args.begin(), {"--bootloader", "--log", log});
    return args;
  }

  test::TempDir dir_;
  test::SimProcess sim_;
  std::optional<Communicator> link_;
};

FlashBlock Pattern(uint8_t seed) {
  FlashBlock block;
  for (std::size_t i = 0; i < block.size(); ++i) block[i] = static_cast<uint8_t>(seed + i * 7);
  return block;
}

TEST(Bootloader, ReportsTheVersionsItIsGiven) {
  const struct {
    std::vector<std::string> args;
    BootVersion expected;
    bool programming;
  } cases[] = {
      {{}, {1, 2, 2, 3}, true},
      {{"--bl-version", "0.0", "--fw-version", "255.0"}, {0, 0, 255, 0}, false},
      {{"--bl-version", "0.7"}, {0, 7, 2, 3}, true},
  };
  for (const auto& c : cases) {
    BootSim sim(c.args);
    ASSERT_TRUE(sim.Open());
    const auto version = QueryBootVersion(sim.Link());
    ASSERT_TRUE(version.has_value());
    EXPECT_EQ(version->bootloaderMajor, c.expected.bootloaderMajor);
    EXPECT_EQ(version->bootloaderMinor, c.expected.bootloaderMinor);
    EXPECT_EQ(version->firmwareMajor, c.expected.firmwareMajor);
    EXPECT_EQ(version->firmwareMinor, c.expected.firmwareMinor);
    EXPECT_EQ(version->InProgrammingMode(), c.programming);
  }
}

TEST(Bootloader, ErasesWritesAndReadsBlocksLikeFlash) {
  BootSim sim({});
  ASSERT_TRUE(sim.Open());
  Communicator& link = sim.Link();
  ASSERT_TRUE(EraseFlashPages(link, 2, 0x1800));
  ASSERT_TRUE(WriteFlashBlock(link, 0x1880, Pattern(0x31)));
  // Programming only clears bits: a second write over it gives the AND.
  ASSERT_TRUE(WriteFlashBlock(link, 0x1880, Pattern(0x5C)));
  const auto block = ReadFlashBlock(link, 0x1880);
  ASSERT_TRUE(block.has_value());
  const FlashBlock a = Pattern(0x31), b = Pattern(0x5C);
  for (std::size_t i = 0; i < kBlockBytes; ++i) {
    // The chip does not store the fourth byte of a word.
    const uint8_t expected = i % 4 == 3 ? 0x00 : static_cast<uint8_t>(a[i] & b[i]);
    ASSERT_EQ((*block)[i], expected) << i;
  }
  const auto erased = ReadFlashBlock(link, 0x1800 + 0x400 + 0x380);  // last block of the second page
  ASSERT_TRUE(erased.has_value());
  EXPECT_EQ((*erased)[0], 0xFF);
  EXPECT_EQ((*erased)[3], 0x00);
  EXPECT_EQ(sim.Requests(), (std::vector<std::string>{"erase 0x001800 2", "write 0x001880", "write 0x001880",
                                                      "read 0x001880", "read 0x001F80"}));
}

TEST(Bootloader, FlashFileIsLoadedAndSavedAndAMismatchAltersOneBlock) {
  test::TempDir dir;
  const std::string flash = dir.File("flash.bin");
  {
    std::ofstream out(flash, std::ios::binary);
    for (int i = 0; i < 0x200; ++i) out.put(static_cast<char>(i));
  }
  BootSim sim({"--flash", flash, "--verify-mismatch", "0x80"});
  ASSERT_TRUE(sim.Open());
  const auto first = ReadFlashBlock(sim.Link(), 0x00);
  const auto second = ReadFlashBlock(sim.Link(), 0x80);
  ASSERT_TRUE(first && second);
  EXPECT_EQ((*first)[5], 5);
  EXPECT_EQ((*first)[7], 0x00);
  std::size_t altered = 0;
  for (std::size_t i = 0; i < kBlockBytes; ++i) {
    const uint8_t stored = i % 4 == 3 ? 0x00 : static_cast<uint8_t>(0x100 + i);
    if ((*second)[i] != stored) ++altered;
  }
  EXPECT_EQ(altered, 2u);
  EXPECT_NE((*second)[9], static_cast<uint8_t>(0x109));
  EXPECT_NE((*second)[12], static_cast<uint8_t>(0x10C));

  ASSERT_TRUE(EraseFlashPages(sim.Link(), 1, 0));
  const FlashBlock written = Pattern(9);
  ASSERT_TRUE(WriteFlashBlock(sim.Link(), 0x00, written));
  EXPECT_EQ(sim.Process().Stop(), 0);
  const std::vector<uint8_t> saved = test::ReadFileBytes(flash);
  ASSERT_EQ(saved.size(), 0x55800u);
  EXPECT_EQ(std::vector<uint8_t>(saved.begin(), saved.begin() + 256),
            std::vector<uint8_t>(written.begin(), written.end()))
      << "the image keeps what was programmed, fourth bytes included";
  EXPECT_EQ(saved[256], 0xFF);
}

// How many requests of each kind a faulty exchange takes, and what it gives.
TEST(Bootloader, RetriesOnlyWhatCanBeRetried) {
  using Operation = std::function<bool(Communicator&)>;
  const Operation read = [](Communicator& link) { return ReadFlashBlock(link, 0x543).has_value(); };
  const Operation write = [](Communicator& link) { return WriteFlashBlock(link, 0x100, Pattern(1)); };
  const Operation erase = [](Communicator& link) { return EraseFlashPages(link, 1, 0x400); };
  const Operation version = [](Communicator& link) { return QueryBootVersion(link).has_value(); };
  const Operation verify = [](Communicator& link) { return SendVerifyOK(link); };
  const struct {
    const char* what;
    std::vector<std::string> args;
    Operation operation;
    bool ok;
    std::size_t requests;
  } cases[] = {
      {"lost reply, then an answer", {"--fault", "no-answer:read@1"}, read, true, 2},
      {"never an answer", {"--fault", "no-answer:read"}, read, false, 3},
      {"bad check byte", {"--fault", "bad-checksum:write@1"}, write, true, 2},
      {"reply in two bursts", {"--fault", "split:erase@1"}, erase, true, 3},
      {"bytes after the reply", {"--fault", "trailing-bytes:read@2"}, read, true, 1},
      {"end byte not examined", {"--fault", "wrong-end:write"}, write, true, 1},
      {"short but well-formed read reply", {"--short-reply", "read@1"}, read, true, 2},
      {"short but well-formed version reply", {"--short-reply", "version"}, version, false, 1},
      {"another block's address is final", {"--fault", "wrong-address:read@1"}, read, false, 1},
      {"another command's reply is final", {"--fault", "other-command-first:erase@1"}, erase, false, 1},
      {"version is asked once", {"--fault", "no-answer:version@1"}, version, false, 1},
      {"silence after VerifyOK is success", {"--silent-after-verify"}, verify, true, 3},
      {"VerifyOK answered by another command", {"--fault", "other-command-first:verify@1"}, verify, false, 1},
  };
  for (const auto& c : cases) {
    BootSim sim(c.args);
    ASSERT_TRUE(sim.Open()) << c.what;
    EXPECT_EQ(c.operation(sim.Link()), c.ok) << c.what;
    EXPECT_EQ(sim.Requests().size(), c.requests) << c.what;
  }
}

TEST(Bootloader, LateReplyIsNotTakenForTheNextAnswer) {
  // The erase gets another command's frame first and gives up; the real
  // acknowledgement arrives after it. VerifyOK must not read that one.
  BootSim sim({"--fault", "other-command-first:erase@1", "--split-gap-ms", "100"});
  ASSERT_TRUE(sim.Open());
  EXPECT_FALSE(EraseFlashPages(sim.Link(), 1, 0));
  std::this_thread::sleep_for(300ms);
  EXPECT_TRUE(SendVerifyOK(sim.Link()));
  EXPECT_EQ(sim.Requests(), (std::vector<std::string>{"erase 0x000000 1", "verify"}));
}

TEST(Bootloader, RestartIsUnansweredAndThePedalComesUpInNormalMode) {
  BootSim sim({"--version-word", "0x0104"});
  ASSERT_TRUE(sim.Open());
  ASSERT_TRUE(SendVerifyOK(sim.Link()));
  SendRestart(sim.Link());
  std::vector<uint8_t> silence;
  ASSERT_TRUE(sim.Link().ReadBytes(16, silence));
  EXPECT_TRUE(silence.empty());
  EXPECT_EQ(ReadVersionWord(sim.Link()), std::optional<uint16_t>(0x0104));
  EXPECT_FALSE(QueryBootVersion(sim.Link()).has_value()) << "normal mode ignores the bootloader";
  EXPECT_EQ(sim.Requests(), (std::vector<std::string>{"verify", "restart"}));
}

}  // namespace
}  // namespace kt9
