#include <string>

#include <gtest/gtest.h>

#include "backup/field_table.h"
#include "backup/layout_conversion.h"
#include "record_samples.h"

namespace kt9 {
namespace {

using test::GetNumber;
using test::GetText;
using test::SetNumber;

constexpr auto L = RecordLayout::Legacy;
constexpr auto X = RecordLayout::Extended;

Record LegacySystem(uint32_t seed) {
  Record system = test::RandomRecord(358, seed);
  WriteU16(system, 0, 1000);
  system[15] = system[23] = 0;  // the two reserved scalar bytes
  return system;
}

std::string SetPath(int setting, std::string_view field) {
  return "GK_SET_VEC/" + std::to_string(setting - 1) + "/" + std::string(field);
}

TEST(LayoutConversion, SystemToExtendedBuildsTheTenInputSettings) {
  const Record legacy = LegacySystem(1);
  const Record x = SystemToExtended(legacy);
  ASSERT_EQ(x.size(), 1242u);
  const auto& T = SystemRecordType();
  EXPECT_EQ(GetNumber(T, X, x, "sysconfig_id"), 2000);
  EXPECT_TRUE(std::equal(legacy.begin() + 2, legacy.end(), x.begin() + 2));
  EXPECT_EQ(GetNumber(T, X, x, "sys_inp_set0"), 0);
  EXPECT_EQ(GetNumber(T, X, x, "sys_inp_set1"), 1);
  EXPECT_EQ(GetNumber(T, X, x, "sys_inp_set2"), 2);

  const struct {
    const char* name;
    uint8_t v, gp10;
  } settings[10] = {{"Primary GK", 0, 0}, {"Second GK", 1, 1}, {"Regular GTR", 0, 0}, {"Setting 4", 3, 0},
                    {"Setting 5", 4, 1},  {"Setting 6", 5, 2}, {"Setting 7", 6, 0},   {"Setting 8", 7, 1},
                    {"Setting 9", 8, 2},  {"Setting 10", 9, 0}};
  for (int k = 1; k <= 10; ++k) {
    const auto& s = settings[k - 1];
    EXPECT_EQ(GetText(T, X, x, SetPath(k, "name")), s.name);
    for (const char* field : {"set_vg99", "set_vb99", "set_gr55"}) EXPECT_EQ(GetNumber(T, X, x, SetPath(k, field)), s.v);
    EXPECT_EQ(GetNumber(T, X, x, SetPath(k, "set_gp10")), s.gp10) << k;
    const std::size_t base = test::At(T, X, SetPath(k, "name")).offset;
    EXPECT_EQ(x[base + 84], s.v) << k;
    for (std::size_t b = 85; b < 88; ++b) EXPECT_EQ(x[base + b], 0) << k;
  }

  // Settings 1 and 2 are the legacy GK inputs whole, reserved bytes included.
  const std::size_t inp0 = test::At(T, L, "GK_INP_VEC/0/HexFlip").offset;
  const std::size_t inp1 = test::At(T, L, "GK_INP_VEC/1/HexFlip").offset;
  for (const auto& [setting, inp] : {std::pair{1, inp0}, std::pair{2, inp1}}) {
    const std::size_t block = test::At(T, X, SetPath(setting, "HexFlip")).offset;
    EXPECT_TRUE(std::equal(legacy.begin() + inp, legacy.begin() + inp + 62, x.begin() + block)) << setting;
  }
  // Setting 3: the first GK input with the normal guitar input in six fields.
  const struct {
    const char* setField;
    const char* systemField;
  } guitar[] = {{"RespMode", "inp3RespMode"},
                {"HexVol_gtr", "inp3Vol"},
                {"SenseVol_gtr", "inp3Sense"},
                {"sense_thresh_trig_gtr", "inp3Sense_thresh_trig"},
                {"sense_thresh_retrig_gtr", "inp3Sense_thresh_retrig"},
                {"sense_thresh_ns_str6", "inp3Sense_thresh_ns"}};
  for (const auto& g : guitar) {
    EXPECT_EQ(GetNumber(T, X, x, SetPath(3, g.setField)), GetNumber(T, L, legacy, g.systemField)) << g.setField;
  }
  EXPECT_EQ(GetNumber(T, X, x, SetPath(3, "HexVol_str3")), GetNumber(T, L, legacy, "GK_INP_VEC/0/HexVol_str3"));
  EXPECT_EQ(GetNumber(T, X, x, SetPath(3, "FilterFreqCode_str5")),
            GetNumber(T, L, legacy, "GK_INP_VEC/0/FilterFreqCode_str5"));
}

TEST(LayoutConversion, SynthesisedSettingsGetTheFirmwareDefaults) {
  const Record x = SystemToExtended(LegacySystem(2));
  const auto& T = SystemRecordType();
  const struct {
    const char* field;
    uint16_t value;
  } defaults[] = {
      {"HexFlip", 0},           {"RespMode", 0},          {"HexVol_str0", 100},          {"HexVol_gtr", 100},
      {"SenseVol_str5", 70},    {"SenseVol_gtr", 40},     {"sense_thresh_trig_str0", 2}, {"sense_thresh_trig_gtr", 2},
      {"sense_thresh_retrig_str5", 4}, {"sense_thresh_retrig_gtr", 8}, {"sense_thresh_ns_str0", 0},
      {"sense_thresh_ns_str6", 2}, {"FilterBrdEn", 0},     {"FilterFreqCode_str0", 8},    {"FilterFreqCode_str1", 8},
      {"FilterFreqCode_str2", 11}, {"FilterFreqCode_str3", 11}, {"FilterFreqCode_str4", 14},
      {"FilterFreqCode_str5", 14},
  };
  for (int k = 4; k <= 10; ++k) {
    for (const auto& d : defaults) EXPECT_EQ(GetNumber(T, X, x, SetPath(k, d.field)), d.value) << k << d.field;
    const std::size_t block = test::At(T, X, SetPath(k, "HexFlip")).offset;
    for (std::size_t b = 58; b < 62; ++b) EXPECT_EQ(x[block + b], 0);
  }
}

TEST(LayoutConversion, SystemRoundTrips) {
  const Record legacy = LegacySystem(3);
  EXPECT_EQ(SystemToLegacy(SystemToExtended(legacy)), legacy);

  // Extended to legacy takes settings 1..3 by position, whatever is selected.
  Record x = test::RandomRecord(1242, 4);
  WriteU16(x, 0, 2000);
  SetNumber(SystemRecordType(), X, x, "sys_inp_set0", 4);
  const Record l = SystemToLegacy(x);
  const auto& T = SystemRecordType();
  ASSERT_EQ(l.size(), 358u);
  EXPECT_EQ(GetNumber(T, L, l, "sysconfig_id"), 1000);
  const std::size_t set1 = test::At(T, X, SetPath(1, "HexFlip")).offset;
  const std::size_t inp0 = test::At(T, L, "GK_INP_VEC/0/HexFlip").offset;
  EXPECT_TRUE(std::equal(x.begin() + set1, x.begin() + set1 + 62, l.begin() + inp0));
  EXPECT_EQ(GetNumber(T, L, l, "inp3Vol"), GetNumber(T, X, x, SetPath(3, "HexVol_gtr")));
  EXPECT_EQ(GetNumber(T, L, l, "inp3Sense_thresh_ns"), GetNumber(T, X, x, SetPath(3, "sense_thresh_ns_str6")));
  EXPECT_EQ(GetNumber(T, L, l, "guitars"), GetNumber(T, X, x, "guitars"));
  EXPECT_EQ(GetNumber(T, L, l, "sys_fxtarget"), GetNumber(T, X, x, "sys_fxtarget"));
  const std::size_t outp = test::At(T, L, "GK_OUTP_VEC/0/flags").offset;
  EXPECT_TRUE(std::equal(x.begin() + outp, x.begin() + 358, l.begin() + outp));
  EXPECT_EQ(l[15], 0);
  EXPECT_EQ(l[23], 0);

  // And back again, the extended record has lost what legacy cannot hold.
  const Record again = SystemToExtended(l);
  EXPECT_NE(again, x);
  EXPECT_EQ(GetText(T, X, again, SetPath(1, "name")), "Primary GK");
  EXPECT_EQ(GetNumber(T, X, again, "sys_inp_set0"), 0);
  EXPECT_EQ(GetNumber(T, X, again, SetPath(7, "HexVol_str0")), 100);
  EXPECT_TRUE(std::equal(x.begin() + set1, x.begin() + set1 + 62, again.begin() + inp0));
}

TEST(LayoutConversion, PatchesKeepNameAndBodyButNotEachOthersHeader) {
  const auto& T = PatchRecordType();
  Record legacy = test::RandomRecord(502, 5);
  test::SetText(T, L, legacy, "patch_name", "Clean 7");
  legacy[2 + 8] = 'z';  // a byte behind the name's end is not carried
  SetNumber(T, L, legacy, "patch_fxtarget", 5);
  const Record x = PatchToExtended(legacy);
  ASSERT_EQ(x.size(), 506u);
  EXPECT_EQ(GetNumber(T, X, x, "patch_id"), 2000);
  EXPECT_EQ(GetText(T, X, x, "patch_name"), "Clean 7");
  EXPECT_EQ(x[2 + 8], 0);
  EXPECT_EQ(GetNumber(T, X, x, "patch_fxtarget"), 0);
  for (const char* field : {"patch_bpm_local", "patch_bpm", "patch_depth"}) {
    EXPECT_EQ(GetNumber(T, X, x, field), GetNumber(T, L, legacy, field)) << field;
  }
  EXPECT_TRUE(std::equal(legacy.begin() + 26, legacy.begin() + 500, x.begin() + 26));
  for (std::size_t b = 500; b < 506; ++b) EXPECT_EQ(x[b], 0);

  const Record back = PatchToLegacy(x);
  ASSERT_EQ(back.size(), 502u);
  EXPECT_EQ(GetNumber(T, L, back, "patch_id"), 1000);
  EXPECT_EQ(GetText(T, L, back, "patch_name"), "Clean 7");
  for (const char* field : {"patch_bpm_local", "patch_bpm", "patch_depth", "patch_fxtarget"}) {
    EXPECT_EQ(GetNumber(T, L, back, field), 0) << field;
  }
  EXPECT_TRUE(std::equal(legacy.begin() + 26, legacy.begin() + 500, back.begin() + 26));

  Record extended = test::RandomRecord(506, 6);
  SetNumber(T, X, extended, "patch_bpm", 120);
  const Record legacyForm = PatchToLegacy(extended);
  EXPECT_EQ(GetNumber(T, L, legacyForm, "patch_bpm"), 0);
  EXPECT_EQ(GetNumber(T, L, legacyForm, "patch_fxtarget"), GetNumber(T, X, extended, "patch_fxtarget"));
  EXPECT_EQ(legacyForm[500], 0);
  EXPECT_EQ(legacyForm[501], 0);
}

TEST(LayoutConversion, ListsKeepCountAndOrder) {
  EXPECT_TRUE(PatchListToExtended({}).empty());
  EXPECT_TRUE(PatchListToLegacy({}).empty());
  std::vector<Record> legacy;
  for (uint32_t i = 0; i < 99; ++i) legacy.push_back(test::RandomRecord(502, 50 + i));
  const auto extended = PatchListToExtended(legacy);
  ASSERT_EQ(extended.size(), 99u);
  for (std::size_t i = 0; i < 99; ++i) EXPECT_EQ(extended[i], PatchToExtended(legacy[i]));
  const auto back = PatchListToLegacy(extended);
  ASSERT_EQ(back.size(), 99u);
  for (std::size_t i = 0; i < 99; ++i) EXPECT_EQ(back[i], PatchToLegacy(extended[i]));
}

TEST(LayoutConversion, ShortInputsReadAsZeros) {
  const Record x = SystemToExtended(Record(5, 0xFF));
  EXPECT_EQ(x.size(), 1242u);
  EXPECT_EQ(x[5], 0);
  EXPECT_EQ(SystemToLegacy(Record{}).size(), 358u);
  EXPECT_EQ(PatchToExtended(Record{}).size(), 506u);
  EXPECT_EQ(PatchToLegacy(Record(3, 1)).size(), 502u);
}

}  // namespace
}  // namespace kt9
