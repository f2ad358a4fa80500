#include "firmware/target_device.h"

#include <gtest/gtest.h>

namespace kt9 {
namespace {

TEST(TargetDevice, DescribesThePedalsChip) {
  TargetDevice target;
  BuildTargetDevice(target);
  EXPECT_EQ(target.deviceName, "24FJ256GB210");
  EXPECT_EQ(target.codeSize, 0x553F0u);
  EXPECT_EQ(target.configAddress, 0x2ABF8);
  EXPECT_EQ(target.altConfigAddress, 0);
  EXPECT_EQ(target.dataSize, 0u);
  EXPECT_EQ(target.dataAddress, 0);
  EXPECT_EQ(target.configSize, 8u);
}

TEST(TargetDevice, ClassifiesByNamePrefixOnly) {
  const struct {
    const char* name;
    DeviceFamily family;
  } cases[] = {
      {"24FJ256GB210", DeviceFamily::FAMILY_CORE24}, {"24XX256", DeviceFamily::FAMILY_24XX},
      {"18LF4550", DeviceFamily::FAMILY_CORE16},     {"18F4550", DeviceFamily::FAMILY_CORE16},
      {"12HV615", DeviceFamily::FAMILY_CORE14},      {"16LF1823", DeviceFamily::FAMILY_CORE14},
      {"30F4011", DeviceFamily::FAMILY_CORE24},      {"dsPIC33", DeviceFamily::FAMILY_UNKNOWN},
      {"PIC24FJ256GB210", DeviceFamily::FAMILY_UNKNOWN}, {"", DeviceFamily::FAMILY_UNKNOWN},
      {"24xx256", DeviceFamily::FAMILY_CORE24},  // the test is case-sensitive
  };
  for (const auto& c : cases) EXPECT_EQ(ClassifyFamily(c.name), c.family) << c.name;
}

TEST(TargetDevice, WordMasksAreTheImplementedBits) {
  TargetDevice target;
  BuildTargetDevice(target);
  const struct {
    const char* name;
    std::size_t fields;
    uint32_t mask;
  } expected[] = {{"CW4", 5, 0x00FF}, {"CW3", 6, 0xEF1F}, {"CW2", 9, 0xFFF7}, {"CW1", 9, 0x7BDF}};
  ASSERT_EQ(target.configWords.size(), 4u);
  for (std::size_t k = 0; k < 4; ++k) {
    const ConfigWord& word = target.configWords[k];
    EXPECT_EQ(word.name, expected[k].name);
    EXPECT_EQ(word.fields.size(), expected[k].fields) << word.name;
    EXPECT_EQ(WordMask(word), expected[k].mask) << word.name;
  }
  // Bit 3 of CW2 belongs to no field.
  EXPECT_EQ(WordMask(target.configWords[2]) & 0x8, 0u);
}

const ConfigField& FieldOf(const TargetDevice& target, const std::string& name) {
  for (const ConfigWord& word : target.configWords) {
    for (const ConfigField& field : word.fields) {
      if (field.name == name) return field;
    }
  }
  static const ConfigField none;
  ADD_FAILURE() << "no field " << name;
  return none;
}

TEST(TargetDevice, GeneratedAndOddSettingsReadAsTheChipNamesThem) {
  TargetDevice target;
  BuildTargetDevice(target);
  const struct {
    const char* field;
    std::size_t count;
    std::size_t index;
    const char* text;
    uint32_t value;
  } cases[] = {
      {"DSWDTPS", 16, 0, "25.7 days", 0xF},
      {"DSWDTPS", 16, 15, "2.1 ms", 0x0},
      {"WPFP", 32, 0, "Protected page address 0x000000", 0},
      {"WPFP", 32, 31, "Protected page address 0x003E00", 31},
      {"WDTPOST", 16, 0, "1:1", 0},
      {"WDTPOST", 16, 15, "1:32768", 15},
      {"FCKSM", 4, 2, "Switching off, monitor off", 0x80},
      {"FCKSM", 4, 3, "Switching off, monitor off", 0xC0},
      {"PLL96MHZ", 2, 1, "96 MHz PLL is enabled by user in software (controlled with the PLLEN bit in CLKDIV:5:)", 0},
      {"ICS", 4, 0, "invalid", 0x000},
  };
  for (const auto& c : cases) {
    const ConfigField& field = FieldOf(target, c.field);
    ASSERT_EQ(field.settings.size(), c.count) << c.field;
    EXPECT_EQ(field.settings[c.index].text, c.text) << c.field;
    EXPECT_EQ(field.settings[c.index].value, c.value) << c.field;
  }
}

}  // namespace
}  // namespace kt9
