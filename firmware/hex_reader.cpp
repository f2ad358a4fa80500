#include "firmware/hex_reader.h"

#include "firmware/hex_record.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>

namespace kt9 {

namespace {

constexpr const char* kCannotOpen = "Could not open Hex file...";
constexpr const char* kMalformed = "Failure in hex file...";
constexpr const char* kBadChecksum = "Error in checksum...";
constexpr const char* kOutsideConfig = "Data in hex file outside config memory of PIC";
constexpr const char* kOutsideData = "Data in hex file outside data memory of PIC";
constexpr const char* kOutsideCode = "Data in hex file outside code memory of PIC";

// How a family maps file addresses onto the data and configuration images.
enum class DataPlacement { kEveryByte, kEvenBytes, kFirstTwoOfFour, kNone };

struct FamilyRules {
  uint32_t scale;             // program-counter address -> file address
  uint32_t configSpanFactor;  // configuration span in the file = factor * configSize
  DataPlacement data;
};

FamilyRules RulesOf(DeviceFamily family) {
  switch (family) {
    case DeviceFamily::FAMILY_24XX:
    case DeviceFamily::FAMILY_CORE16:
      return {1, 1, DataPlacement::kEveryByte};
    case DeviceFamily::FAMILY_CORE14:
      return {2, 1, DataPlacement::kEvenBytes};
    case DeviceFamily::FAMILY_CORE24:
      return {2, 2, DataPlacement::kFirstTwoOfFour};
    case DeviceFamily::FAMILY_UNKNOWN:
      break;
  }
  return {1, 1, DataPlacement::kNone};
}

// One line, without its line feed and the carriage return before it. A line
// is never collected past the longest valid record plus one character, so a
// file without line ends cannot make the reader swallow it whole; the
// overlong line then fails its length test. Nothing when the file has ended.
std::optional<std::string> ReadLine(std::istream& in) {
  std::string line;
  bool any = false;
  for (int c = in.get(); c != std::char_traits<char>::eof(); c = in.get()) {
    any = true;
    if (c == '\n') {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      return line;
    }
    line.push_back(static_cast<char>(c));
    if (line.size() > kLongestHexLine + 1) return line;
  }
  if (!any) return std::nullopt;
  return line;
}

void StoreGrowing(std::vector<uint8_t>& bytes, std::size_t index, uint8_t value) {
  if (bytes.size() <= index) bytes.resize(index + 1, 0xFF);
  bytes[index] = value;
}

class HexLoader {
 public:
  HexLoader(FirmwareImage& image, const TargetDevice& target, OperationUi& ui)
      : image_(image), target_(target), ui_(ui), family_(ClassifyFamily(target.deviceName)), rules_(RulesOf(family_)) {}

  bool Load(const std::string& path) {
    image_.codeBytes.clear();
    image_.codeUsed.clear();
    image_.dataBytes.clear();
    image_.configBytes.clear();
    // A folder opens as a stream on some systems and then reads as empty.
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) return Fail(kCannotOpen);
    std::ifstream in(path, std::ios::binary);
    if (!in) return Fail(kCannotOpen);
    image_.fileName = path;
    upperAddress_ = 0;
    for (;;) {
      // A file that ends before its end-of-file record reads as a blank line.
      const std::optional<HexRecord> record = ParseHexRecord(ReadLine(in).value_or(std::string{}));
      if (!record) return Fail(kMalformed);
      const uint8_t expected = ComputeHexChecksum(*record);
      if (expected != record->checksum) {
        std::printf("%2X %2X\n", static_cast<unsigned>(expected), static_cast<unsigned>(record->checksum));
        std::fflush(stdout);
        return Fail(kBadChecksum);
      }
      if (record->type == kHexEndOfFile) break;
      if (!Act(*record)) return false;
    }
    Finish();
    return true;
  }

 private:
  bool Fail(const std::string& message) {
    ui_.ShowMessage(message);
    return false;
  }

  bool Act(const HexRecord& record) {
    switch (record.type) {
      case kHexData:
        Place(record);
        return true;
      case kHexExtendedLinearAddress:
        // Two bytes make the upper address; a shorter record has none to give.
        if (record.count < 2) return Fail(kMalformed);
        upperAddress_ = static_cast<uint32_t>(record.data[0] << 8 | record.data[1]);
        return true;
      default:
        return Fail("unknown record type: " + std::to_string(record.type));
    }
  }

  // The regions are tested one after the other, each on its own: a record
  // that draws a message for one may still be stored by another.
  void Place(const HexRecord& record) {
    const uint32_t address = (upperAddress_ << 16) + record.address;
    PlaceConfig(record, address);
    PlaceData(record, address);
    PlaceCode(record, address);
  }

  // The length tests look at how full an image already is, not at where the
  // record lies: a record that starts inside a region is stored whole, and
  // once the image is full every later record for it is refused. So an image
  // never grows past its region by more than one record.
  void PlaceConfig(const HexRecord& record, uint32_t address) {
    const int64_t configAddress = target_.altConfigAddress != 0 ? target_.altConfigAddress : target_.configAddress;
    const int64_t base = configAddress * rules_.scale;
    const int64_t span = int64_t{rules_.configSpanFactor} * target_.configSize;
    if (address < base || address >= base + span) return;
    if (static_cast<int64_t>(image_.configBytes.size()) >= span) {
      ui_.ShowMessage(kOutsideConfig);
      return;
    }
    const std::size_t offset = static_cast<std::size_t>(address - base);
    if (image_.configBytes.size() < offset + record.count) image_.configBytes.resize(offset + record.count, 0xFF);
    for (std::size_t i = 0; i < record.count; ++i) image_.configBytes[offset + i] = record.data[i];
  }

  void PlaceData(const HexRecord& record, uint32_t address) {
    const int64_t base = int64_t{target_.dataAddress} * rules_.scale;
    const int64_t span = int64_t{target_.dataSize} * rules_.scale;
    if (address < base || address >= base + span) return;
    if (static_cast<int64_t>(image_.dataBytes.size()) >= span) {
      ui_.ShowMessage(kOutsideData);
      return;
    }
    const std::size_t offset = static_cast<std::size_t>(address - base);
    const std::size_t end = offset + record.count;
    std::vector<uint8_t>& data = image_.dataBytes;
    switch (rules_.data) {
      case DataPlacement::kEveryByte:
        if (data.size() < end) data.resize(end, 0xFF);
        for (std::size_t i = 0; i < record.count; ++i) data[offset + i] = record.data[i];
        break;
      case DataPlacement::kEvenBytes:
        if (data.size() < end / 2) data.resize(end / 2, 0xFF);
        for (std::size_t i = 0; i < record.count; ++i) {
          if ((offset + i) % 2 == 0) StoreGrowing(data, (offset + i) / 2, record.data[i]);
        }
        break;
      case DataPlacement::kFirstTwoOfFour:
        // Each instruction word holds two data bytes in its low and middle byte.
        if (data.size() < end / 2) data.resize(end / 2, 0xFF);
        for (std::size_t i = 0; i < record.count; ++i) {
          const std::size_t at = offset + i;
          if (at % 4 < 2) StoreGrowing(data, at / 4 * 2 + at % 4, record.data[i]);
        }
        break;
      case DataPlacement::kNone:
        break;
    }
  }

  void PlaceCode(const HexRecord& record, uint32_t address) {
    if (address >= target_.codeSize) return;
    if (image_.codeBytes.size() >= target_.codeSize) {
      ui_.ShowMessage(kOutsideCode);
      return;
    }
    const std::size_t end = std::size_t{address} + record.count;
    if (image_.codeBytes.size() < end) {
      image_.codeBytes.resize(end, 0xFF);
      image_.codeUsed.resize(end, false);
    }
    for (std::size_t i = 0; i < record.count; ++i) {
      image_.codeBytes[address + i] = record.data[i];
      image_.codeUsed[address + i] = true;
    }
  }

  void Finish() {
    std::vector<uint8_t>& config = image_.configBytes;
    if (family_ == DeviceFamily::FAMILY_CORE24) {
      // The tool chain writes each 16-bit configuration word as a whole
      // instruction word of four bytes; keep its low and high byte.
      for (std::size_t off = 0; off < config.size(); off += 4) {
        config[off / 2] = config[off];
        if (off + 1 < config.size()) config[off / 2 + 1] = config[off + 1];
      }
      config.resize(target_.configSize, 0x00);
    }
    config.resize(target_.configSize, 0xFF);
    BuildConfigMask();
    if (family_ == DeviceFamily::FAMILY_CORE14) {
      // 14-bit instruction words: the high byte holds six bits.
      for (std::size_t i = 1; i < image_.codeBytes.size(); i += 2) image_.codeBytes[i] &= 0x3F;
      for (std::size_t i = 1; i < config.size(); i += 2) config[i] &= 0x3F;
    }
  }

  void BuildConfigMask() {
    std::vector<uint32_t>& mask = image_.configMask;
    mask.assign(image_.configBytes.size(), 0);
    if (mask.empty()) return;
    const bool wordPairs = family_ == DeviceFamily::FAMILY_CORE14 || family_ == DeviceFamily::FAMILY_CORE24;
    if (family_ == DeviceFamily::FAMILY_CORE14 && 2 * target_.configWords.size() != mask.size()) {
      ui_.ShowMessage("invalid number of config words for " + target_.deviceName);
    }
    for (std::size_t k = 0; k < target_.configWords.size(); ++k) {
      const uint32_t word = WordMask(target_.configWords[k]);
      if (wordPairs) {
        if (2 * k < mask.size()) mask[2 * k] = word & 0xFF;
        if (2 * k + 1 < mask.size()) mask[2 * k + 1] = word >> 8 & 0xFF;
      } else if (k < mask.size()) {
        mask[k] = word;
      }
    }
  }

  FirmwareImage& image_;
  const TargetDevice& target_;
  OperationUi& ui_;
  DeviceFamily family_;
  FamilyRules rules_;
  uint32_t upperAddress_ = 0;
};

}  // namespace

bool LoadHexFile(FirmwareImage& image, const std::string& path, const TargetDevice& target, OperationUi& ui) {
  return HexLoader(image, target, ui).Load(path);
}

}  // namespace kt9
