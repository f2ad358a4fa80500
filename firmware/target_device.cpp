#include "firmware/target_device.h"

#include <array>

#include "firmware/config_words.h"

namespace kt9 {

namespace {

constexpr const char* kDeviceName = "24FJ256GB210";
constexpr int32_t kConfigAddress = 0x2ABF8;

struct FamilyPrefix {
  std::string_view prefix;
  DeviceFamily family;
};

// Tested in this order: "24XX" must come before "24", which would swallow it.
constexpr std::array<FamilyPrefix, 11> kFamilyPrefixes{{
    {"10F", DeviceFamily::FAMILY_CORE14},
    {"12F", DeviceFamily::FAMILY_CORE14},
    {"16F", DeviceFamily::FAMILY_CORE14},
    {"12HV", DeviceFamily::FAMILY_CORE14},
    {"12LF", DeviceFamily::FAMILY_CORE14},
    {"16LF", DeviceFamily::FAMILY_CORE14},
    {"18F", DeviceFamily::FAMILY_CORE16},
    {"18LF", DeviceFamily::FAMILY_CORE16},
    {"24XX", DeviceFamily::FAMILY_24XX},
    {"30F", DeviceFamily::FAMILY_CORE24},
    {"24", DeviceFamily::FAMILY_CORE24},
}};

uint32_t CodeSizeOf(DeviceFamily family) {
  const bool wide = family == DeviceFamily::FAMILY_CORE14 || family == DeviceFamily::FAMILY_CORE24;
  return wide ? 0x553F0 : 0x2A9F8;
}

uint32_t ConfigSizeOf(DeviceFamily family) {
  switch (family) {
    case DeviceFamily::FAMILY_CORE14:
    case DeviceFamily::FAMILY_CORE16:
      return 16;
    case DeviceFamily::FAMILY_CORE24:
      return 8;
    default:
      return 0;
  }
}

}  // namespace

void BuildTargetDevice(TargetDevice& target) {
  target.deviceName = kDeviceName;
  const DeviceFamily family = ClassifyFamily(target.deviceName);
  target.codeSize = CodeSizeOf(family);
  target.configAddress = kConfigAddress;
  target.altConfigAddress = 0;
  target.dataSize = 0;
  target.dataAddress = 0;
  target.configSize = ConfigSizeOf(family);
  target.configWords = ConfigWordTable();
}

DeviceFamily ClassifyFamily(std::string_view deviceName) {
  for (const FamilyPrefix& entry : kFamilyPrefixes) {
    if (deviceName.starts_with(entry.prefix)) return entry.family;
  }
  return DeviceFamily::FAMILY_UNKNOWN;
}

uint32_t WordMask(const ConfigWord& word) {
  uint32_t mask = 0;
  for (const ConfigField& field : word.fields) {
    for (const ConfigSetting& setting : field.settings) mask |= setting.value;
  }
  return mask;
}

}  // namespace kt9
