// The synthetic firmware the tests and the demo use must load cleanly and put
// every byte where the pattern says.
#include "sim/test_firmware.h"

#include <gtest/gtest.h>

#include <fstream>

#include "firmware/hex_reader.h"
#include "tests/support/recording_ui.h"

namespace kt9 {
namespace {

using sim::TestFirmwareOptions;

TEST(TestFirmware, LoadsWithCodeExactlyWhereAsked) {
  TestFirmwareOptions plain;
  TestFirmwareOptions mainOnly;
  mainOnly.vectorBytes = 0;
  TestFirmwareOptions vectorsOnly;
  vectorsOnly.mainBytes = 0;
  vectorsOnly.recordBytes = 255;  // records that straddle nothing but are long
  TestFirmwareOptions maximal;
  maximal.mainBytes = sim::kMaximalMainBytes;
  maximal.recordBytes = 0x30;  // does not divide 64 KiB: records must split at the boundaries
  maximal.seed = 7;
  const struct {
    const char* what;
    TestFirmwareOptions options;
    uint32_t vectorEnd;  // used from 0 up to here
    uint32_t mainEnd;    // used from 0x3000 up to here (0x3000: none)
  } cases[] = {
      {"vector area and main program", plain, 0x400, 0x7000},
      {"main program only", mainOnly, 0, 0x7000},
      {"vector area only", vectorsOnly, 0x400, 0x3000},
      {"maximal", maximal, 0x400, 0x553F0},
  };
  TargetDevice target;
  BuildTargetDevice(target);
  const std::string path = ::testing::TempDir() + "kt9-test-firmware.hex";
  for (const auto& c : cases) {
    {
      std::ofstream out(path, std::ios::binary);
      sim::WriteTestFirmware(c.options, out);
    }
    FirmwareImage image;
    test::RecordingUi ui;
    ASSERT_TRUE(LoadHexFile(image, path, target, ui)) << c.what;
    EXPECT_TRUE(ui.messages.empty()) << c.what;
    EXPECT_EQ(image.codeBytes.size(), c.mainEnd > 0x3000 ? c.mainEnd : c.vectorEnd) << c.what;
    std::size_t wrong = 0;
    for (uint32_t i = 0; i < image.codeBytes.size(); ++i) {
      const bool used = i < c.vectorEnd || (i >= 0x3000 && i < c.mainEnd);
      const uint8_t expected = used ? sim::TestFirmwareByte(i, c.options.seed) : 0xFF;
      if (image.codeUsed[i] != used || image.codeBytes[i] != expected) ++wrong;
    }
    EXPECT_EQ(wrong, 0u) << c.what;
    std::vector<uint8_t> config;
    for (uint16_t word : sim::kTestConfigWords) {
      config.push_back(static_cast<uint8_t>(word));
      config.push_back(static_cast<uint8_t>(word >> 8));
    }
    EXPECT_EQ(image.configBytes, config) << c.what;
  }
}

}  // namespace
}  // namespace kt9
