// What the firmware update knows of the pedal's microcontroller, the
// PIC24FJ256GB210, in the terms the HEX reader needs: where code,
// configuration words and data memory lie in a HEX file, how many
// configuration bytes to keep, and the table of the chip's configuration
// words with every bit field and its settings.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kt9 {

// Chip families the HEX reader tells apart; they decide how file addresses map
// onto the code, data and configuration images.
enum class DeviceFamily : int32_t {
  FAMILY_24XX = 8,
  FAMILY_CORE14 = 14,
  FAMILY_CORE16 = 16,
  FAMILY_CORE24 = 24,
  FAMILY_UNKNOWN = -1,
};

// One setting of a bit field: its text and the bits of the word it selects.
struct ConfigSetting {
  std::string text;
  uint32_t value = 0;
};

struct ConfigField {
  std::string name;
  std::vector<ConfigSetting> settings;
};

// The k-th word of the table covers configuration bytes 2k (low) and 2k + 1
// (high) and sits at program-counter address configAddress + 2k.
struct ConfigWord {
  std::string name;
  std::vector<ConfigField> fields;
};

struct TargetDevice {
  std::string deviceName;        // without the maker's prefix: "24FJ256GB210"
  uint32_t codeSize = 0;         // code memory in file bytes (image byte indices)
  int32_t configAddress = 0;     // program-counter address of the first configuration word
  int32_t altConfigAddress = 0;  // used instead of configAddress when non-zero
  uint32_t dataSize = 0;         // data EEPROM size (this chip has none)
  int32_t dataAddress = 0;
  uint32_t configSize = 0;       // configuration bytes kept
  std::vector<ConfigWord> configWords;  // CW4, CW3, CW2, CW1
};

// Fills an empty target with the pedal's chip.
void BuildTargetDevice(TargetDevice& target);

// The family of a chip name without the maker's prefix ("24FJ256GB210").
DeviceFamily ClassifyFamily(std::string_view deviceName);

// The implemented bits of a word: the OR of all its settings' values.
uint32_t WordMask(const ConfigWord& word);

}  // namespace kt9
