// Whole firmware updates against kt9-sim in programming mode: what the flash
// holds afterwards, the order of the exchanges (the simulator's request log),
// the progress bar, and every message and question of the update.
#include "firmware/update_procedure.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <optional>

#include "firmware/hex_reader.h"
#include "sim/test_firmware.h"
#include "tests/firmware/hex_lines.h"
#include "tests/support/recording_ui.h"
#include "tests/support/sim_process.h"

namespace kt9 {
namespace {

using test::BootLinkOptions;
using test::ReadLines;

constexpr std::size_t kFlashSize = 0x55800;
constexpr std::size_t kBootAreaBytes = 0x1000;  // what the test pedal holds before the update

std::string Hex6(uint32_t address) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%06X", address);
  return text;
}

// Records the progress bar besides the messages and questions.
class UpdateUi : public test::RecordingUi {
 public:
  std::vector<std::pair<int, int>> ranges;
  std::vector<int> positions;
  void ProgressSetRange(int lower, int upper) override { ranges.emplace_back(lower, upper); }
  void ProgressSetPosition(int position) override { positions.push_back(position); }
};

// A pedal in programming mode whose flash starts with a recognisable
// bootloader area, a HEX file to program and a link to the pedal.
class UpdateBench {
 public:
  explicit UpdateBench(std::vector<std::string> simArgs = {}) {
    std::ofstream out(dir_.File("flash.bin"), std::ios::binary);
    for (std::size_t i = 0; i < kBootAreaBytes; ++i) out.put(static_cast<char>(i * 13 + 5));
    out.close();
    simArgs.insert(simArgs.begin(),
                   {"--bootloader", "--flash", dir_.File("flash.bin"), "--log", dir_.File("requests.log")});
    sim_.emplace(simArgs);
    if (sim_->Started()) link_.emplace(BootLinkOptions(sim_->Port()));
  }

  bool Open() { return link_ && link_->Open(); }
  Communicator& Link() { return *link_; }
  std::string HexPath() const { return dir_.File("firmware.hex"); }
  void WriteHex(const sim::TestFirmwareOptions& options) {
    std::ofstream out(HexPath(), std::ios::binary);
    sim::WriteTestFirmware(options, out);
  }
  void WriteHex(const std::vector<std::string>& lines) {
    std::ofstream out(HexPath(), std::ios::binary);
    for (const std::string& line : lines) out << line << "\r\n";
  }
  FirmwareImage LoadedHex() const {
    TargetDevice target;
    BuildTargetDevice(target);
    FirmwareImage image;
    test::RecordingUi quiet;
    EXPECT_TRUE(LoadHexFile(image, HexPath(), target, quiet));
    return image;
  }

  bool Run(UpdateUi& ui) {
    UpdateRequest request{"OK - BL V1.2, FW V2.3", HexPath(), [this](bool enabled) { upgradeEnabled.push_back(enabled); }};
    const bool completed = RunUpdate(*link_, request, ui);
    statusAfter = request.status;
    return completed;
  }

  // Both stop the pedal first: it saves its flash on the way out, and the
  // unanswered restart is surely in the log by then.
  std::vector<uint8_t> Flash() {
    sim_->Stop();
    return test::ReadFileBytes(dir_.File("flash.bin"));
  }
  std::vector<std::string> Requests() {
    sim_->Stop();
    return ReadLines(dir_.File("requests.log"));
  }

  std::vector<bool> upgradeEnabled;
  std::string statusAfter = "unset";

 private:
  test::TempDir dir_;
  std::optional<test::SimProcess> sim_;
  std::optional<Communicator> link_;
};

// Where a completed update writes, as the pedal's bootloader is addressed.
struct Plan {
  uint32_t mainStart;  // image byte index of the first main block
  int mainBlocks;      // 0: no main segment
  int mainPages;
  int vectorBlocks;    // from index 0; 0: no vector segment
};

// The exchanges of a completed update, in order.
std::vector<std::string> ExpectedRequests(const Plan& plan) {
  std::vector<std::string> requests;
  for (uint32_t k = 0; k < 8; ++k) requests.push_back("read " + Hex6(k * 0x100));
  if (plan.mainBlocks > 0) {
    requests.push_back("erase " + Hex6(plan.mainStart / 2) + " " + std::to_string(plan.mainPages));
    for (int n = 0; n < plan.mainBlocks; ++n) requests.push_back("write " + Hex6(plan.mainStart / 2 + n * 0x80));
  }
  if (plan.vectorBlocks > 0) requests.push_back("erase 0x000000 1");
  for (int z = 0; z < plan.vectorBlocks; ++z) {
    requests.push_back("write " + Hex6(z * 0x80));
    requests.push_back("read " + Hex6(z * 0x80));
  }
  requests.push_back("verify");
  return requests;
}

// The flash after a completed update: erased pages hold the image's blocks
// (0xFF past its end), each vector block starts with the 8 bytes the pedal
// had at k * 0x100 (read back with the unstored fourth bytes as 0x00), and
// everything else is as before.
std::vector<uint8_t> ExpectedFlash(const std::vector<uint8_t>& before, const FirmwareImage& image, const Plan& plan) {
  std::vector<uint8_t> flash = before;
  const auto imageByte = [&](std::size_t index, std::size_t end) {
    return index < end ? image.codeBytes[index] : uint8_t{0xFF};
  };
  if (plan.mainBlocks > 0) {
    const std::size_t pageStart = plan.mainStart / 2048 * 2048;
    std::fill_n(flash.begin() + pageStart, plan.mainPages * 2048, 0xFF);
    for (std::size_t i = 0; i < std::size_t(plan.mainBlocks) * 256; ++i) {
      flash[plan.mainStart + i] = imageByte(plan.mainStart + i, image.CodeLength());
    }
  }
  if (plan.vectorBlocks > 0) {
    std::fill_n(flash.begin(), 2048, 0xFF);
    const std::size_t end = std::min<std::size_t>(0x402, image.CodeLength());
    for (std::size_t i = 0; i < std::size_t(plan.vectorBlocks) * 256; ++i) flash[i] = imageByte(i, end);
    for (int z = 0; z < plan.vectorBlocks; ++z) {
      for (int j = 0; j < 8; ++j) flash[z * 256 + j] = j % 4 == 3 ? 0x00 : before[z * 0x200 + j];
    }
  }
  return flash;
}

sim::TestFirmwareOptions Firmware(uint32_t vectorBytes, uint32_t mainBytes) {
  sim::TestFirmwareOptions options;
  options.vectorBytes = vectorBytes;
  options.mainBytes = mainBytes;
  return options;
}

std::vector<uint8_t> FlashBefore() {
  std::vector<uint8_t> flash(kFlashSize, 0xFF);
  for (std::size_t i = 0; i < kBootAreaBytes; ++i) flash[i] = static_cast<uint8_t>(i * 13 + 5);
  return flash;
}

std::vector<uint8_t> Bytes(std::size_t count, uint8_t first, uint8_t fourth) {
  std::vector<uint8_t> bytes(count);
  for (std::size_t i = 0; i < count; ++i) bytes[i] = i % 4 == 3 ? fourth : static_cast<uint8_t>(first + i);
  return bytes;
}

TEST(Update, CompletedUpdatesLeaveTheFlashAsItMustBe) {
  const struct {
    const char* what;
    std::optional<sim::TestFirmwareOptions> firmware;
    std::vector<std::string> hexLines;  // when there is no generated firmware
    Plan plan;
    bool restart;
  } cases[] = {
      {"vector area and main program", Firmware(0x400, 0x4000), {}, {0x3000, 64, 8, 5}, true},
      {"main program only: VerifyOK right after it", Firmware(0, 0x4000), {}, {0x3000, 64, 8, 0}, false},
      {"vector area only: no main segment, bar range 0..0", Firmware(0x400, 0), {}, {0, 0, 0, 4}, false},
      // Unprogrammed bytes and the fourth bytes written as 0xFF come back
      // as 0x00: not a verification error.
      {"vector bytes 0xFF read back as 0x00",
       std::nullopt,
       {test::DataRecord(0x0010, Bytes(16, 0x40, 0xFF)), test::kEndOfFile},
       {0, 0, 0, 1},
       false},
      // Code that starts inside a block and page is written from the
      // block's start, and every page the blocks reach is erased first.
      {"main program starting off a block boundary",
       std::nullopt,
       {test::DataRecord(0x3410, Bytes(32, 0x11, 0x00)), test::DataRecord(0x3C00, Bytes(16, 0x77, 0x00)),
        test::kEndOfFile},
       {0x3400, 9, 2, 0},
       false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    UpdateBench bench;
    ASSERT_TRUE(bench.Open());
    if (c.firmware) {
      bench.WriteHex(*c.firmware);
    } else {
      bench.WriteHex(c.hexLines);
    }
    UpdateUi ui;
    ui.answers = {c.restart};
    EXPECT_TRUE(bench.Run(ui));
    EXPECT_EQ(ui.questions, std::vector<std::string>{kRestartNowQuestion});
    EXPECT_EQ(ui.messages, c.restart ? std::vector<std::string>{"Turn KT-9 OFF and then back ON again, to restart in "
                                                                "normal mode."}
                                     : std::vector<std::string>{});
    std::vector<std::string> requests = ExpectedRequests(c.plan);
    if (c.restart) requests.push_back("restart");
    EXPECT_EQ(bench.Requests(), requests);

    EXPECT_EQ(ui.ranges, (std::vector<std::pair<int, int>>{{0, c.plan.mainBlocks}}));
    std::vector<int> positions;
    for (int n = 0; n < c.plan.mainBlocks; ++n) positions.push_back(n);
    positions.push_back(0);
    EXPECT_EQ(ui.positions, positions);
    EXPECT_EQ(bench.upgradeEnabled, (std::vector<bool>{false, true}));
    EXPECT_EQ(bench.statusAfter, "");

    const std::vector<uint8_t> flash = bench.Flash();
    const std::vector<uint8_t> expected = ExpectedFlash(FlashBefore(), bench.LoadedHex(), c.plan);
    ASSERT_EQ(flash.size(), expected.size());
    for (std::size_t i = 0; i < flash.size(); ++i) ASSERT_EQ(flash[i], expected[i]) << "image byte " << std::hex << i;
  }
}

TEST(Update, VerificationFailureIsReportedWithEveryWrongByte) {
  // The pedal's read of block 0x80 comes back with bytes 9 and 12 flipped.
  const uint8_t written9 = sim::TestFirmwareByte(0x109, 1), written12 = sim::TestFirmwareByte(0x10C, 1);
  char lines[160];
  std::snprintf(lines, sizeof lines, "     Adr:[84h] Wr:[%xh] Rd:[%xh]\r\n     Adr:[86h] Wr:[%xh] Rd:[%xh]\t", written9,
                written9 ^ 1, written12, written12 ^ 1);
  const std::string report = std::string("KT-9 Update FAILED:\r\n") +
                             "Error: Failed verifying flash memory at base adress [80h]. 2 bytes wrong.\t" + lines +
                             "\r\nVerify anyhow?";
  const struct {
    std::deque<bool> answers;
    std::vector<std::string> questions;
    std::vector<std::string> tail;  // the exchanges after the read of block 0x80
  } cases[] = {
      {{false}, {report}, {}},
      {{true, false}, {report, kRestartQuestion}, {"verify"}},
      {{true, true}, {report, kRestartQuestion}, {"verify", "restart"}},
  };
  for (const auto& c : cases) {
    UpdateBench bench({"--verify-mismatch", "0x80"});
    ASSERT_TRUE(bench.Open());
    bench.WriteHex(Firmware(0x400, 0x800));
    UpdateUi ui;
    ui.answers = c.answers;
    EXPECT_FALSE(bench.Run(ui));
    EXPECT_EQ(ui.questions, c.questions);
    EXPECT_TRUE(ui.messages.empty());
    std::vector<std::string> requests = ExpectedRequests({0x3000, 8, 1, 5});
    requests.resize(requests.size() - 1 - 3 * 2);  // up to the read of block 0x80
    requests.insert(requests.end(), c.tail.begin(), c.tail.end());
    EXPECT_EQ(bench.Requests(), requests);
    EXPECT_EQ(bench.upgradeEnabled, (std::vector<bool>{false, true}));
    EXPECT_EQ(bench.statusAfter, "");
  }
}

// The first failed exchange ends the work and is the report's one entry.
TEST(Update, FailedExchangesEndTheWorkWithTheirReport) {
  const struct {
    std::vector<std::string> simArgs;
    const char* failure;
    std::size_t requests;  // all the pedal received
  } cases[] = {
      {{"--fault", "no-answer:read@0x300"}, "Error: Failed reading flash memory at adress [300h]", 3 + 3},
      {{"--fault", "no-answer:erase"}, "Error: Failed erasing flash memory", 8 + 3},
      {{"--fault", "no-answer:write@0x1880"}, "Error: Failed writing to flash memory at adress [1880h]", 8 + 1 + 1 + 3},
      {{"--fault", "no-answer:erase@0x0000"}, "Error: Failed erasing flash memory", 8 + 9 + 3},
      {{"--fault", "no-answer:write@0x100"}, "Error: Failed writing to flash memory at adress [100h]", 8 + 9 + 1 + 4 + 3},
      {{"--fault", "no-answer:read@0x80"}, "Error: Failed reading from flash memory at adress [80h]", 8 + 9 + 1 + 2 + 1 + 3},
      {{"--fault", "other-command-first:verify"}, "Error: Sending VerifyOK failed.", 8 + 9 + 1 + 10 + 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.failure);
    UpdateBench bench(c.simArgs);
    ASSERT_TRUE(bench.Open());
    bench.WriteHex(Firmware(0x400, 0x800));
    UpdateUi ui;
    EXPECT_FALSE(bench.Run(ui));
    EXPECT_EQ(ui.questions, std::vector<std::string>{std::string("KT-9 Update FAILED:\r\n") + c.failure +
                                                     "\t\r\nVerify anyhow?"});
    EXPECT_EQ(bench.Requests().size(), c.requests);
    EXPECT_EQ(ui.positions.back(), 0);
  }
}

TEST(Update, PedalSilentAfterVerifyOKStillCompletes) {
  UpdateBench bench({"--silent-after-verify"});
  ASSERT_TRUE(bench.Open());
  bench.WriteHex(Firmware(0x400, 0x800));
  UpdateUi ui;
  EXPECT_TRUE(bench.Run(ui));
  EXPECT_EQ(ui.questions, std::vector<std::string>{kRestartNowQuestion});
  std::vector<std::string> requests = ExpectedRequests({0x3000, 8, 1, 5});
  requests.insert(requests.end(), {"verify", "verify"});  // three silent attempts
  EXPECT_EQ(bench.Requests(), requests);
}

// Refused before anything is sent: nothing reaches the pedal, and the page
// is ready for another attempt.
TEST(Update, RefusalsSendNothing) {
  UpdateBench bench;
  ASSERT_TRUE(bench.Open());
  bench.WriteHex({test::DataRecord(0x3000, Bytes(16, 1, 0)), ":10300000ZZ"});
  const std::string missing = bench.HexPath() + ".gone";
  const struct {
    const char* what;
    std::string status;
    std::string path;
    bool closeLink;
    std::string message;
    std::vector<bool> upgradeEnabled;
    std::string statusAfter;
  } cases[] = {
      {"not verified", "ERROR: NO RESPONSE!", bench.HexPath(), false, "Please verify the connection!", {}, "ERROR: NO RESPONSE!"},
      {"no file", "OK - BL V1.2, FW V2.3", "", false, "Please load a file!", {}, "OK - BL V1.2, FW V2.3"},
      {"missing file", "OK - BL V1.2, FW V2.3", missing, false, "The file does not exist : [" + missing + "]", {},
       "OK - BL V1.2, FW V2.3"},
      {"malformed file", "OK - BL V1.2, FW V2.3", bench.HexPath(), false, "", {false, true}, ""},
      {"link closed", "OK - BL V1.2, FW V2.3", bench.HexPath(), true, "Error: Communicator is closed", {false, true}, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    if (c.closeLink) bench.Link().Close();
    std::vector<bool> upgradeEnabled;
    UpdateRequest request{c.status, c.path, [&](bool enabled) { upgradeEnabled.push_back(enabled); }};
    UpdateUi ui;
    EXPECT_FALSE(RunUpdate(bench.Link(), request, ui));
    ASSERT_EQ(ui.messages.size(), 1u);
    if (!c.message.empty()) {
      EXPECT_EQ(ui.messages[0], c.message);
    }
    EXPECT_TRUE(ui.questions.empty());
    EXPECT_EQ(upgradeEnabled, c.upgradeEnabled);
    EXPECT_EQ(request.status, c.statusAfter);
  }
  EXPECT_TRUE(bench.Requests().empty());
}

}  // namespace
}  // namespace kt9
