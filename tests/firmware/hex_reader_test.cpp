#include "firmware/hex_reader.h"
#include "firmware/hex_record.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tests/firmware/hex_lines.h"
#include "tests/support/recording_ui.h"

namespace kt9 {
namespace {

using test::DataRecord;
using test::kEndOfFile;
using test::UpperAddress;

constexpr uint32_t kConfigFileAddress = 2 * 0x2ABF8;  // 0x557F0

class HexReaderTest : public ::testing::Test {
 protected:
  void SetUp() override { BuildTargetDevice(target_); }

  // Writes `text` as the file's whole content and loads it.
  bool LoadText(const std::string& text) {
    const std::string path = ::testing::TempDir() + "kt9-hex-reader-test.hex";
    std::ofstream(path, std::ios::binary) << text;
    return LoadHexFile(image_, path, target_, ui_);
  }

  // Joins lines with LF and loads them.
  bool LoadLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    return LoadText(text);
  }

  // One configuration word at its file address, as the tool chain writes it.
  static std::vector<std::string> ConfigWord(int k, uint16_t value) {
    const uint32_t address = kConfigFileAddress + 4 * k;
    return {UpperAddress(static_cast<uint16_t>(address >> 16)),
            DataRecord(static_cast<uint16_t>(address), {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8), 0, 0})};
  }

  TargetDevice target_;
  FirmwareImage image_;
  test::RecordingUi ui_;
};

TEST_F(HexReaderTest, RejectsMalformedFilesWithTheirMessage) {
  const std::string good = DataRecord(0, {0x11, 0x22});
  const struct {
    const char* what;
    std::string text;
    std::string message;
  } cases[] = {
      {"CR alone is no line end", good + "\r" + kEndOfFile + "\r", "Failure in hex file..."},
      {"trailing space", good + " \n" + kEndOfFile + "\n", "Failure in hex file..."},
      {"no end-of-file record", good + "\n", "Failure in hex file..."},
      {"blank line", good + "\n\n" + kEndOfFile + "\n", "Failure in hex file..."},
      {"empty file", "", "Failure in hex file..."},
      {"no colon", good.substr(1) + "\n" + kEndOfFile + "\n", "Failure in hex file..."},
      {"length disagrees with count", ":03000000112200\n" + kEndOfFile + "\n", "Failure in hex file..."},
      {"non-hex digit inside", ":02000000112G00\n" + kEndOfFile + "\n", "Failure in hex file..."},
      {"non-hex count", ":G2000000112200\n" + kEndOfFile + "\n", "Failure in hex file..."},
      {"upper address record of one byte", test::HexRecord(0x04, 0, {0x05}) + "\n" + kEndOfFile + "\n",
       "Failure in hex file..."},
      {"endless line", std::string(100000, '0'), "Failure in hex file..."},
      {"unknown record type", test::HexRecord(0x0A, 0, {0x01}) + "\n" + kEndOfFile + "\n", "unknown record type: 10"},
      {"checksum", ":0100000000" "0F\n" + kEndOfFile + "\n", "Error in checksum..."},
  };
  for (const auto& c : cases) {
    ui_.messages.clear();
    EXPECT_FALSE(LoadText(c.text)) << c.what;
    EXPECT_EQ(ui_.messages, std::vector<std::string>{c.message}) << c.what;
  }
}

TEST_F(HexReaderTest, ChecksumMismatchPrintsComputedThenFileValue) {
  ::testing::internal::CaptureStdout();
  EXPECT_FALSE(LoadLines({":01000000000F", kEndOfFile}));
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "FF  F\n");
}

TEST_F(HexReaderTest, MissingFileOrFolderCannotBeOpened) {
  for (const std::string& path : {::testing::TempDir() + "no-such-dir/x.hex", ::testing::TempDir()}) {
    ui_.messages.clear();
    EXPECT_FALSE(LoadHexFile(image_, path, target_, ui_)) << path;
    EXPECT_EQ(ui_.messages, std::vector<std::string>{"Could not open Hex file..."}) << path;
  }
}

TEST_F(HexReaderTest, DataBeforeAFailingLineStaysPlaced) {
  EXPECT_FALSE(LoadLines({DataRecord(0x10, {0xAB}), "junk"}));
  ASSERT_EQ(image_.codeBytes.size(), 0x11u);
  EXPECT_EQ(image_.codeBytes[0x10], 0xAB);
}

TEST_F(HexReaderTest, PlacesCodeAtItsFileAddressWithGapsUnused) {
  std::string text = DataRecord(0x0000, {0x01, 0x02}) + "\r\n";
  text += ":02000800abcd7e\r\n";  // lower-case digits, CR LF line ends
  text += UpperAddress(0x0005) + "\r\n" + DataRecord(0x0000, {0x5A}) + "\r\n" + kEndOfFile + "\r\n";
  ASSERT_TRUE(LoadText(text)) << (ui_.messages.empty() ? "" : ui_.messages[0]);
  EXPECT_TRUE(ui_.messages.empty());
  ASSERT_EQ(image_.codeBytes.size(), 0x50001u);
  ASSERT_EQ(image_.codeUsed.size(), 0x50001u);
  EXPECT_EQ(image_.codeBytes[0], 0x01);
  EXPECT_EQ(image_.codeBytes[1], 0x02);
  EXPECT_EQ(image_.codeBytes[8], 0xAB);
  EXPECT_EQ(image_.codeBytes[9], 0xCD);
  EXPECT_EQ(image_.codeBytes[0x50000], 0x5A);
  for (std::size_t gap : {std::size_t{2}, std::size_t{7}, std::size_t{10}, std::size_t{0x4FFFF}}) {
    EXPECT_EQ(image_.codeBytes[gap], 0xFF) << gap;
    EXPECT_FALSE(image_.codeUsed[gap]) << gap;
  }
  EXPECT_TRUE(image_.codeUsed[9]);
  EXPECT_TRUE(image_.codeUsed[0x50000]);
}

TEST_F(HexReaderTest, ConfigurationWordsBecomeEightBytesWithTheChipsMask) {
  std::vector<std::string> lines;
  const uint16_t words[4] = {0xFFCF, 0x1234, 0xF9A7, 0x3F4A};  // CW4, CW3, CW2, CW1
  for (int k = 0; k < 4; ++k) {
    for (const std::string& line : ConfigWord(k, words[k])) lines.push_back(line);
  }
  lines.push_back(kEndOfFile);
  ASSERT_TRUE(LoadLines(lines));
  EXPECT_TRUE(ui_.messages.empty());
  EXPECT_EQ(image_.configBytes, (std::vector<uint8_t>{0xCF, 0xFF, 0x34, 0x12, 0xA7, 0xF9, 0x4A, 0x3F}));
  EXPECT_EQ(image_.configMask, (std::vector<uint32_t>{0xFF, 0x00, 0x1F, 0xEF, 0xF7, 0xFF, 0xDF, 0x7B}));
  EXPECT_TRUE(image_.codeBytes.empty()) << "configuration words lie above the code memory";
}

TEST_F(HexReaderTest, ConfigurationWrittenFromTheTopFillsTheImageAtOnce) {
  std::vector<std::string> lines;
  for (int k = 3; k >= 0; --k) {
    for (const std::string& line : ConfigWord(k, static_cast<uint16_t>(0x1111 * (k + 1)))) lines.push_back(line);
  }
  lines.push_back(kEndOfFile);
  ASSERT_TRUE(LoadLines(lines));
  EXPECT_EQ(ui_.messages, std::vector<std::string>(3, "Data in hex file outside config memory of PIC"));
  // Only CW1 arrived; compaction keeps whatever stood in the first bytes.
  EXPECT_EQ(image_.configBytes[6], 0x44);
  EXPECT_EQ(image_.configBytes[7], 0x44);
}

TEST_F(HexReaderTest, NoConfigurationRecordsGiveZeroBytes) {
  ASSERT_TRUE(LoadLines({DataRecord(0, {1}), kEndOfFile}));
  EXPECT_EQ(image_.configBytes, std::vector<uint8_t>(8, 0x00));
  EXPECT_EQ(image_.configMask.size(), 8u);
}

TEST_F(HexReaderTest, CodeImageGrowsPastItsSizeByOneRecordAtMost) {
  const uint32_t start = target_.codeSize - 16;  // 0x553E0
  std::vector<uint8_t> record(32, 0x77);
  ASSERT_TRUE(LoadLines({UpperAddress(static_cast<uint16_t>(start >> 16)), DataRecord(static_cast<uint16_t>(start), record),
                         DataRecord(0x0000, {0x01}),  // 0x50000: inside code memory, but the image is full
                         DataRecord(0x6000, {0x02}),  // above code memory, not configuration: dropped silently
                         kEndOfFile}));
  EXPECT_EQ(image_.codeBytes.size(), target_.codeSize + 16);
  EXPECT_EQ(ui_.messages, std::vector<std::string>{"Data in hex file outside code memory of PIC"});
  EXPECT_EQ(image_.codeBytes[0x50000], 0xFF);
}

TEST_F(HexReaderTest, ReloadReplacesEverything) {
  ASSERT_TRUE(LoadLines({DataRecord(0x100, {1, 2, 3}), kEndOfFile}));
  ASSERT_TRUE(LoadLines({DataRecord(0x4, {9}), kEndOfFile}));
  EXPECT_EQ(image_.codeBytes, (std::vector<uint8_t>{0xFF, 0xFF, 0xFF, 0xFF, 9}));
  EXPECT_EQ(image_.configBytes.size(), 8u);
}

// The reader serves every family it knows; the pedal's chip is only one.
TEST_F(HexReaderTest, OtherFamiliesFillMissingConfigurationWithOnes) {
  TargetDevice core16{"18F4550", 0x2A9F8, 0x300000, 0, 0, 0, 16, {}};
  TargetDevice core14{"16F1823", 0x553F0, 0x8007, 0, 0, 0, 16, {}};
  target_ = core16;
  ASSERT_TRUE(LoadLines({DataRecord(0, {0xFF, 0xFF}), kEndOfFile}));
  EXPECT_EQ(image_.configBytes, std::vector<uint8_t>(16, 0xFF));
  EXPECT_TRUE(ui_.messages.empty());

  target_ = core14;
  ASSERT_TRUE(LoadLines({DataRecord(0, {0xFF, 0xFF}), kEndOfFile}));
  EXPECT_EQ(image_.codeBytes, (std::vector<uint8_t>{0xFF, 0x3F})) << "14-bit words keep six high bits";
  EXPECT_EQ(image_.configBytes[1], 0x3F);
  EXPECT_EQ(ui_.messages, std::vector<std::string>{"invalid number of config words for 16F1823"});
}

}  // namespace
}  // namespace kt9

namespace kt9 {
namespace {

TEST(HexRecord, FormatsWhatTheReaderParses) {
  const struct {
    uint8_t type;
    uint16_t address;
    std::vector<uint8_t> data;
    const char* line;
  } cases[] = {
      {0x04, 0x0000, {0x00, 0x05}, ":020000040005F5"},
      {0x00, 0x0000, {0x00}, ":0100000000FF"},
      {0x01, 0x0000, {}, ":00000001FF"},
      {0x00, 0x57F0, {0xCF, 0xFF, 0x00, 0x00}, ":0457F000CFFF0000E7"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FormatHexRecord(c.type, c.address, c.data), c.line);
    const auto record = ParseHexRecord(c.line);
    ASSERT_TRUE(record.has_value()) << c.line;
    EXPECT_EQ(ComputeHexChecksum(*record), record->checksum) << c.line;
    EXPECT_EQ(record->address, c.address);
    EXPECT_EQ(std::vector<uint8_t>(record->data.begin(), record->data.begin() + record->count), c.data);
  }
}

}  // namespace
}  // namespace kt9
