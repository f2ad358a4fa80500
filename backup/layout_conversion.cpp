#include "backup/layout_conversion.h"

#include <string>

namespace kt9 {

namespace {

// SYSTEM_T
constexpr std::size_t kSysconfigId = 0;
constexpr std::size_t kActPatchNo = 2;     // act_patch_no .. guitars: bytes 2..13
constexpr std::size_t kInp3RespMode = 14;
constexpr std::size_t kScalarReserved1 = 15;
constexpr std::size_t kInp3Vol = 16;
constexpr std::size_t kInp3Sense = 18;
constexpr std::size_t kInp3ThreshTrig = 20;
constexpr std::size_t kInp3ThreshRetrig = 21;
constexpr std::size_t kInp3ThreshNs = 22;
constexpr std::size_t kScalarReserved2 = 23;
constexpr std::size_t kSysFxTarget = 24;
constexpr std::size_t kGkInpVec = 26;
constexpr std::size_t kGkOutpVec = 150;
constexpr std::size_t kCommonSystemEnd = 358;  // end of the eighth MIDI_ASSIGN_VEC entry
constexpr std::size_t kSysInpSet0 = 358;
constexpr std::size_t kGkSetVec = 362;
constexpr int kInputSettings = 10;

// GK_INP_T, also the block at offset 18 of each GK_SET_T.
constexpr std::size_t kGkInpSize = 62;
constexpr std::size_t kRespMode = 1;
constexpr std::size_t kHexVol = 2;        // 7 words, the guitar's last
constexpr std::size_t kHexVolGtr = 14;
constexpr std::size_t kSenseVol = 16;     // 7 words
constexpr std::size_t kSenseVolGtr = 28;
constexpr std::size_t kThreshTrig = 30;   // 7 bytes
constexpr std::size_t kThreshTrigGtr = 36;
constexpr std::size_t kThreshRetrig = 37; // 7 bytes
constexpr std::size_t kThreshRetrigGtr = 43;
constexpr std::size_t kThreshNsStr6 = 50;
constexpr std::size_t kFilterFreqCode = 52;  // 6 bytes

// GK_SET_T
constexpr std::size_t kGkSetSize = 88;
constexpr std::size_t kSetName = 0;
constexpr std::size_t kSetNameSize = 18;
constexpr std::size_t kSetBlock = 18;
constexpr std::size_t kSetVg99 = 80;  // set_vg99, set_vb99, set_gr55, set_gp10, byte 84
constexpr std::size_t kSetGp10 = 83;
constexpr std::size_t kSetReserved84 = 84;

// PATCH
constexpr std::size_t kPatchId = 0;
constexpr std::size_t kPatchBpmLocal = 19;
constexpr std::size_t kPatchBpm = 20;
constexpr std::size_t kPatchDepth = 22;
constexpr std::size_t kPatchFxTarget = 24;
constexpr std::size_t kSust = 26;
constexpr std::size_t kCommonPatchEnd = 500;  // end of the eighth pat_midi_assign entry

void CopyBytes(std::span<const uint8_t> from, std::size_t fromOffset, std::span<uint8_t> to, std::size_t toOffset,
               std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) WriteU8(to, toOffset + i, ReadU8(from, fromOffset + i));
}

void CopyWord(std::span<const uint8_t> from, std::size_t fromOffset, std::span<uint8_t> to, std::size_t toOffset) {
  CopyBytes(from, fromOffset, to, toOffset, 2);
}

std::size_t SetOffset(int setting) { return kGkSetVec + static_cast<std::size_t>(setting - 1) * kGkSetSize; }

// The firmware's defaults for an input setting nobody has configured yet.
void WriteDefaultGkInput(std::span<uint8_t> block) {
  for (std::size_t i = 0; i < 7; ++i) WriteU16(block, kHexVol + 2 * i, 100);
  for (std::size_t i = 0; i < 6; ++i) WriteU16(block, kSenseVol + 2 * i, 70);
  WriteU16(block, kSenseVolGtr, 40);
  for (std::size_t i = 0; i < 7; ++i) WriteU8(block, kThreshTrig + i, 2);
  for (std::size_t i = 0; i < 6; ++i) WriteU8(block, kThreshRetrig + i, 4);
  WriteU8(block, kThreshRetrigGtr, 8);
  WriteU8(block, kThreshNsStr6, 2);
  constexpr uint8_t kFilterCodes[6] = {8, 8, 11, 11, 14, 14};
  for (std::size_t i = 0; i < 6; ++i) WriteU8(block, kFilterFreqCode + i, kFilterCodes[i]);
}

// The number the set_ bytes of input setting k get: k - 1, except that
// "Regular GTR" shares number 0 with "Primary GK", whose block it starts from.
uint8_t SettingNumber(int setting) { return setting == 3 ? 0 : static_cast<uint8_t>(setting - 1); }

std::string SettingName(int setting) {
  switch (setting) {
    case 1:
      return "Primary GK";
    case 2:
      return "Second GK";
    case 3:
      return "Regular GTR";
    default:
      return "Setting " + std::to_string(setting);
  }
}

// The normal guitar input of the legacy record, against the guitar fields of
// a GK input block: {system record offset, block offset, bytes}.
struct GuitarInputField {
  std::size_t system;
  std::size_t block;
  std::size_t size;
};
constexpr GuitarInputField kGuitarInput[] = {
    {kInp3RespMode, kRespMode, 1},          {kInp3Vol, kHexVolGtr, 2},
    {kInp3Sense, kSenseVolGtr, 2},          {kInp3ThreshTrig, kThreshTrigGtr, 1},
    {kInp3ThreshRetrig, kThreshRetrigGtr, 1}, {kInp3ThreshNs, kThreshNsStr6, 1},
};

void CopyPatchName(const Record& from, Record& to) {
  WriteText(to, kPatchNameOffset, kPatchNameSize, ReadText(from, kPatchNameOffset, kPatchNameSize));
}

}  // namespace

Record SystemToExtended(const Record& legacy) {
  Record out = MakeSystemRecord(RecordLayout::Extended);
  WriteU16(out, kSysconfigId, LayoutMarker(RecordLayout::Extended));
  CopyBytes(legacy, kActPatchNo, out, kActPatchNo, kCommonSystemEnd - kActPatchNo);
  WriteU8(out, kScalarReserved1, 0);
  WriteU8(out, kScalarReserved2, 0);
  for (uint8_t i = 0; i < 3; ++i) WriteU8(out, kSysInpSet0 + i, i);

  for (int k = 1; k <= kInputSettings; ++k) {
    const auto setting = SubRecord(std::span<uint8_t>(out), SetOffset(k), kGkSetSize);
    WriteText(setting, kSetName, kSetNameSize, SettingName(k));
    WriteDefaultGkInput(SubRecord(setting, kSetBlock, kGkInpSize));
    const uint8_t v = SettingNumber(k);
    for (std::size_t i = 0; i < 3; ++i) WriteU8(setting, kSetVg99 + i, v);
    WriteU8(setting, kSetGp10, static_cast<uint8_t>(v % 3));
    WriteU8(setting, kSetReserved84, v);
  }

  constexpr std::size_t kSourceInput[3] = {0, 1, 0};  // settings 1..3 from inp 0, 1, 0
  for (int k = 1; k <= 3; ++k) {
    CopyBytes(legacy, kGkInpVec + kSourceInput[k - 1] * kGkInpSize, out, SetOffset(k) + kSetBlock, kGkInpSize);
  }
  for (const GuitarInputField& field : kGuitarInput) {
    CopyBytes(legacy, field.system, out, SetOffset(3) + kSetBlock + field.block, field.size);
  }
  return out;
}

Record SystemToLegacy(const Record& extended) {
  Record out = MakeSystemRecord(RecordLayout::Legacy);
  WriteU16(out, kSysconfigId, LayoutMarker(RecordLayout::Legacy));
  CopyBytes(extended, kActPatchNo, out, kActPatchNo, kInp3RespMode - kActPatchNo);
  CopyWord(extended, kSysFxTarget, out, kSysFxTarget);
  for (const GuitarInputField& field : kGuitarInput) {
    CopyBytes(extended, SetOffset(3) + kSetBlock + field.block, out, field.system, field.size);
  }
  for (int k = 1; k <= 2; ++k) {
    CopyBytes(extended, SetOffset(k) + kSetBlock, out, kGkInpVec + static_cast<std::size_t>(k - 1) * kGkInpSize,
              kGkInpSize);
  }
  CopyBytes(extended, kGkOutpVec, out, kGkOutpVec, kCommonSystemEnd - kGkOutpVec);
  return out;
}

Record PatchToExtended(const Record& legacy) {
  Record out = MakePatchRecord(RecordLayout::Extended);
  WriteU16(out, kPatchId, LayoutMarker(RecordLayout::Extended));
  CopyPatchName(legacy, out);
  WriteU8(out, kPatchBpmLocal, ReadU8(legacy, kPatchBpmLocal));
  CopyWord(legacy, kPatchBpm, out, kPatchBpm);
  CopyWord(legacy, kPatchDepth, out, kPatchDepth);
  CopyBytes(legacy, kSust, out, kSust, kCommonPatchEnd - kSust);
  return out;
}

Record PatchToLegacy(const Record& extended) {
  Record out = MakePatchRecord(RecordLayout::Legacy);
  WriteU16(out, kPatchId, LayoutMarker(RecordLayout::Legacy));
  CopyPatchName(extended, out);
  CopyWord(extended, kPatchFxTarget, out, kPatchFxTarget);
  CopyBytes(extended, kSust, out, kSust, kCommonPatchEnd - kSust);
  return out;
}

std::vector<Record> PatchListToExtended(const std::vector<Record>& legacy) {
  std::vector<Record> out;
  out.reserve(legacy.size());
  for (const Record& patch : legacy) out.push_back(PatchToExtended(patch));
  return out;
}

std::vector<Record> PatchListToLegacy(const std::vector<Record>& extended) {
  std::vector<Record> out;
  out.reserve(extended.size());
  for (const Record& patch : extended) out.push_back(PatchToLegacy(patch));
  return out;
}

}  // namespace kt9
