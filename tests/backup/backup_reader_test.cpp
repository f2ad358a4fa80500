#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "backup/backup_reader.h"
#include "backup/backup_writer.h"
#include "backup/field_table.h"
#include "record_samples.h"

namespace kt9 {
namespace {

using test::GetNumber;
using test::GetText;

constexpr auto L = RecordLayout::Legacy;
constexpr auto X = RecordLayout::Extended;

std::string Write(RecordLayout layout, const Record& system, const std::vector<Record>& patches) {
  std::string text;
  WriteBackupText(layout, system, patches, text);
  return text;
}

// A file around a system group and patch groups written by hand.
std::string File(std::string_view system, std::initializer_list<std::string_view> patches) {
  std::string text = "<KT-9>\r\n" + std::string(system) + "<PATCH_VEC>";
  for (std::string_view patch : patches) text += "<PATCH>" + std::string(patch) + "</PATCH>";
  return text + "</PATCH_VEC></KT-9>";
}

TEST(BackupReader, WrittenFilesReadBackToTheirRecords) {
  for (RecordLayout layout : {L, X}) {
    Record system = test::RandomRecord(SystemRecordSize(layout), 1);
    WriteU16(system, 0, LayoutMarker(layout));
    std::vector<Record> patches;
    for (uint32_t i = 0; i < 99; ++i) {
      patches.push_back(test::RandomRecord(PatchRecordSize(layout), 100 + i));
      SanitizePatchName(patches.back());
    }
    const auto contents = ReadBackupText(Write(layout, system, patches));
    ASSERT_TRUE(contents);
    EXPECT_EQ(contents->layout, layout);
    EXPECT_EQ(contents->system, test::FileView(SystemRecordType(), layout, system));
    ASSERT_EQ(contents->patches.size(), 99u);
    for (std::size_t i = 0; i < 99; ++i) {
      EXPECT_EQ(contents->patches[i], test::FileView(PatchRecordType(), layout, patches[i])) << "patch " << i;
    }
    // Reserved bytes and the bytes only newer files hold read 0.
    EXPECT_EQ(contents->system[15], 0);
    EXPECT_EQ(contents->system[23], 0);
    EXPECT_EQ(contents->patches[0][500], layout == L ? 0 : patches[0][500]);
    if (layout == X) {
      for (std::size_t b = 84; b < 88; ++b) EXPECT_EQ(contents->system[362 + b], 0);
    }
  }
}

// The pedal allows '<', '/' and '>' in names, so a name can hold an end
// tag; such a patch does not come back the same, and the comparison says so.
TEST(BackupReader, NamesThatHoldTagsAreCaughtByTheComparison) {
  Record system = MakeSystemRecord(X);
  WriteU16(system, 0, 2000);
  test::SetText(SystemRecordType(), X, system, "GK_SET_VEC/4/name", "<HexFlip>9</HexFl");
  Record plain = test::RandomRecord(506, 3), tagged = plain;
  SanitizePatchName(plain);
  test::SetText(PatchRecordType(), X, tagged, "patch_name", "x</PATCH>");
  SanitizePatchName(tagged);
  const auto contents = ReadBackupText(Write(X, system, {plain, tagged}));
  ASSERT_TRUE(contents);
  // The name reads back, but HexFlip is taken from the tag inside it.
  EXPECT_EQ(FileFieldDifferences(SystemRecordType(), X, system, contents->system),
            std::vector<std::string>({"GK_SET_VEC/4/HexFlip"}));
  EXPECT_TRUE(SameFileFields(PatchRecordType(), X, plain, contents->patches[0]));
  // The PATCH element ends inside the name: the name and what follows are lost.
  const auto lost = FileFieldDifferences(PatchRecordType(), X, tagged, contents->patches[1]);
  ASSERT_GT(lost.size(), 1u);
  EXPECT_EQ(lost[0], "patch_name");
}

TEST(BackupReader, RecognisesFilesByRootAndMarker) {
  const struct {
    std::string text;
    std::optional<RecordLayout> layout;
  } cases[] = {
      {"<KT-9><sysconfig_id>1000</sysconfig_id>", L},
      {"<KT-9><sysconfig_id> \r\n2000\r\n</sysconfig_id>", X},
      {"<KT-9><sysconfig_id>66536</sysconfig_id>", L},  // 1000 + 65536: the low 16 bits count
      {"<sysconfig_id>2000</sysconfig_id><SYSTEM_T></SYSTEM_T>", std::nullopt},
      {"<KT-9><SYSTEM_T></SYSTEM_T>", std::nullopt},
      {"<KT-9><sysconfig_id>3000</sysconfig_id>", std::nullopt},
      {"<KT-9><Sysconfig_id>2000</Sysconfig_id>", std::nullopt},
      {"<KT-9><sysconfig_id>2000", std::nullopt},
      {"", std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DetectFileLayout(c.text), c.layout) << c.text;
    EXPECT_EQ(ReadBackupText(c.text).has_value(), c.layout.has_value()) << c.text;
  }
}

TEST(BackupReader, SystemParsersCheckTheirMarker) {
  Record system(4, 0xAB);
  EXPECT_FALSE(ReadSystemLegacy("<sysconfig_id>1000</sysconfig_id>", system));
  EXPECT_EQ(system, Record(4, 0xAB));  // no root: untouched
  EXPECT_FALSE(ReadSystemLegacy("<KT-9><sysconfig_id>2000</sysconfig_id><backlight>5</backlight>", system));
  Record marked = MakeSystemRecord(L);
  WriteU16(marked, 0, 2000);
  EXPECT_EQ(system, marked);  // zeros and the marker read
  EXPECT_TRUE(ReadSystemExtended("<KT-9><sysconfig_id>2000</sysconfig_id><backlight>5</backlight>", system));
  EXPECT_EQ(system.size(), 1242u);
  EXPECT_EQ(system[10], 5);

  std::vector<Record> patches(2);
  EXPECT_FALSE(ReadPatchesLegacy("<PATCH_VEC><PATCH></PATCH></PATCH_VEC>", patches));
  EXPECT_EQ(patches.size(), 2u);
}

TEST(BackupReader, NumbersFollowStrtolThenKeepTheLowBits) {
  const struct {
    std::string_view content;
    int32_t value;
    uint8_t byte;
    uint16_t word;
  } cases[] = {
      {"0", 0, 0, 0},
      {"256", 256, 0, 256},
      {"300", 300, 44, 300},
      {"-1", -1, 255, 65535},
      {"12abc", 12, 12, 12},
      {"abc", 0, 0, 0},
      {"", 0, 0, 0},
      {" \t\n\v\f\r+42 ", 42, 42, 42},
      {"--5", 0, 0, 0},
      {"- 5", 0, 0, 0},
      {"0x10", 0, 0, 0},
      {"65546", 65546, 10, 10},
      {"2147483647", 2147483647, 255, 65535},
      {"2147483648", 2147483647, 255, 65535},
      {"99999999999999999999999", 2147483647, 255, 65535},
      {"4294967306", 2147483647, 255, 65535},  // saturates before the low bits are taken
      {"-2147483648", INT32_MIN, 0, 0},
      {"-99999999999999999999", INT32_MIN, 0, 0},
      {"007", 7, 7, 7},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ParseDecimal(c.content), c.value) << c.content;
    const std::string scope = "<v>" + std::string(c.content) + "</v>";
    uint8_t record[3] = {0xEE, 0xEE, 0xEE};
    ReadByteElement(scope, "v", record, 0);
    EXPECT_EQ(record[0], c.byte) << c.content;
    ReadWordElement(scope, "v", record, 1);
    EXPECT_EQ(ReadU16(record, 1), c.word) << c.content;
  }
  // A number that runs to the end of a view never reads past it.
  const std::string digits = "<v>123</v>";
  EXPECT_EQ(ParseDecimal(std::string_view(digits).substr(3, 2)), 12);
}

TEST(BackupReader, ElementSearchIsLiteral) {
  const struct {
    std::string_view scope, name;
    std::size_t start;
    std::optional<std::string_view> content;
    std::size_t endTag;
  } cases[] = {
      {"<a>1</a>", "a", 0, "1", 4},
      {"x<a></a>", "a", 0, "", 4},
      {"<a>1</a><a>2</a>", "a", 4, "2", 12},
      {"<a>1</a>", "a", 8, std::nullopt, 0},
      {"<a>1</a>", "a", std::string_view::npos, std::nullopt, 0},
      {"<a>1", "a", 0, std::nullopt, 0},
      {"</a><a>1", "a", 0, std::nullopt, 0},               // the end tag is looked for after the start tag
      {"<a><a>1</a></a>", "a", 0, "<a>1", 7},              // nesting is not tracked
      {"<ab>1</ab><a>2</a>", "a", 0, "2", 14},             // a longer name is not the element
      {"<A>1</A>", "a", 0, std::nullopt, 0},               // case matters
      {"<!-- <a>c</a> --><a>1</a>", "a", 0, "c", 9},       // a tag counts wherever it stands
  };
  for (const auto& c : cases) {
    const auto match = FindElement(c.scope, c.name, c.start);
    ASSERT_EQ(match.has_value(), c.content.has_value()) << c.scope;
    if (!match) continue;
    EXPECT_EQ(match->content, *c.content) << c.scope;
    EXPECT_EQ(match->endTag, c.endTag) << c.scope;
  }
  EXPECT_EQ(CountElements("<set><set_vg99>1</set_vg99></set><set>", "set"), 2u);
  EXPECT_EQ(CountElements("<a><a><a>", "a"), 3u);
  EXPECT_EQ(CountElements("", "a"), 0u);
}

// The search's fast path must give string_view::find's answers: random texts
// over a few bytes that make tags, at every length and start.
TEST(BackupReader, ElementSearchAgreesWithPlainFind) {
  std::mt19937 random(3);
  const char alphabet[] = {'<', '>', '/', 'a', 'b', 'x'};
  for (int round = 0; round < 3000; ++round) {
    std::string text(random() % 80, ' ');
    for (char& c : text) c = alphabet[random() % sizeof alphabet];
    const std::string name = round % 3 == 0 ? "a" : round % 3 == 1 ? "ab" : "abxba";
    const std::size_t start = random() % (text.size() + 2);
    const std::string open = "<" + name + ">", close = "</" + name + ">";
    const std::string_view view(text);
    std::optional<std::pair<std::size_t, std::size_t>> expected;  // content begin, end tag
    if (start < view.size()) {
      const std::size_t begin = view.find(open, start);
      const std::size_t end = begin == std::string_view::npos ? begin : view.find(close, begin);
      if (end != std::string_view::npos) expected = {{begin + open.size(), end}};
    }
    const auto match = FindElement(view, name, start);
    ASSERT_EQ(match.has_value(), expected.has_value()) << text << " from " << start;
    if (match) {
      EXPECT_EQ(match->content.data() - view.data(), static_cast<std::ptrdiff_t>(expected->first)) << text;
      EXPECT_EQ(match->endTag, expected->second) << text;
    }
    std::size_t count = 0;
    for (std::size_t at = view.find(open); at != std::string_view::npos; at = view.find(open, at + 1)) ++count;
    EXPECT_EQ(CountElements(view, name), count) << text;
  }
}

TEST(BackupReader, SystemFieldsAreFoundByNameAnywhere) {
  const std::string text = File(
      "<sysconfig_id>1000</sysconfig_id><Backlight>9</Backlight><contrast>3</contrast><contrast>4</contrast>"
      "<GK_INP_VEC><inp><HexVol_gtr>700</HexVol_gtr></inp><inp><HexFlip>1</HexFlip></inp>"
      "<inp><HexFlip>2</HexFlip></inp></GK_INP_VEC>"
      "<sys_gk_vol><range_max>60000</range_max></sys_gk_vol>"
      "<CTRLJACK_VEC><ctrl><exp_range_min>5</exp_range_min><sw2_sw_type>6</sw2_sw_type></ctrl></CTRLJACK_VEC>",
      {"<patch_name>x</patch_name><sys_m_clk>7</sys_m_clk>"});
  Record system;
  ASSERT_TRUE(ReadSystemLegacy(text, system));
  const auto& T = SystemRecordType();
  EXPECT_EQ(GetNumber(T, L, system, "backlight"), 0);  // Backlight is another element
  EXPECT_EQ(GetNumber(T, L, system, "contrast"), 3);   // the first one counts
  EXPECT_EQ(GetNumber(T, L, system, "GK_INP_VEC/0/HexVol_gtr"), 700);
  EXPECT_EQ(GetNumber(T, L, system, "GK_INP_VEC/1/HexFlip"), 1);
  EXPECT_EQ(GetNumber(T, L, system, "sys_gk_vol/range_max"), 60000);
  EXPECT_EQ(GetNumber(T, L, system, "CTRLJACK_VEC/0/exp_range_min"), 5);
  EXPECT_EQ(GetNumber(T, L, system, "CTRLJACK_VEC/0/sw2_sw_type"), 6);
  EXPECT_EQ(GetNumber(T, L, system, "sys_m_clk"), 7);  // no SYSTEM_T wrapper is needed
  // The third inp has no place: it is ignored, and the bytes after the two
  // inp entries (the first outp) stay 0.
  EXPECT_EQ(GetNumber(T, L, system, "GK_OUTP_VEC/0/flags"), 0);
  EXPECT_EQ(system.size(), 358u);
}

TEST(BackupReader, InputSettingsOfTheExtendedLayout) {
  std::string sets = "<GK_SET_VEC>";
  sets += "<set><name>123456789012345678</name><HexFlip>1</HexFlip><set_vg99>4</set_vg99>"
          "<set_future0>7</set_future0><set_future2>9</set_future2></set>";
  sets += "<set><name>This name is far too long</name><set_gp10>2</set_gp10></set>";
  for (int i = 2; i < 11; ++i) sets += "<set><name>extra</name><set_gr55>" + std::to_string(i) + "</set_gr55></set>";
  sets += "</GK_SET_VEC>";
  const std::string text = File("<sysconfig_id>2000</sysconfig_id><sys_inp_set1>3</sys_inp_set1>" + sets, {});
  const auto contents = ReadBackupText(text);
  ASSERT_TRUE(contents);
  const auto& T = SystemRecordType();
  const Record& s = contents->system;
  EXPECT_EQ(GetNumber(T, X, s, "sys_inp_set1"), 3);
  EXPECT_EQ(GetText(T, X, s, "GK_SET_VEC/0/name"), "123456789012345678");
  EXPECT_EQ(GetNumber(T, X, s, "GK_SET_VEC/0/HexFlip"), 1);  // not swallowed by the full name
  EXPECT_EQ(GetNumber(T, X, s, "GK_SET_VEC/0/set_vg99"), 4);
  EXPECT_EQ(GetNumber(T, X, s, "GK_SET_VEC/0/set_future0"), 7);
  EXPECT_EQ(GetNumber(T, X, s, "GK_SET_VEC/0/set_future2"), 9);
  EXPECT_EQ(GetText(T, X, s, "GK_SET_VEC/1/name"), "This name is far t");  // cut at 18 bytes
  EXPECT_EQ(GetNumber(T, X, s, "GK_SET_VEC/1/HexFlip"), 0);
  EXPECT_EQ(GetNumber(T, X, s, "GK_SET_VEC/1/set_gp10"), 2);
  EXPECT_EQ(GetNumber(T, X, s, "GK_SET_VEC/9/set_gr55"), 9);  // the eleventh set is ignored
  EXPECT_EQ(s.size(), 1242u);
}

TEST(BackupReader, PatchListsCountTheirPatchElements) {
  const struct {
    std::string text;
    std::size_t patches;
  } cases[] = {
      {File("<sysconfig_id>1000</sysconfig_id>", {"", "", ""}), 3},
      {File("<sysconfig_id>1000</sysconfig_id>", {}), 0},
      {"<KT-9><sysconfig_id>1000</sysconfig_id>", 0},
  };
  for (const auto& c : cases) {
    const auto contents = ReadBackupText(c.text);
    ASSERT_TRUE(contents);
    EXPECT_EQ(contents->patches.size(), c.patches) << c.text;
    for (const Record& patch : contents->patches) EXPECT_EQ(patch.size(), 502u);
  }
  // More than the pedal's 99 slots: the reader returns them all.
  std::string many = "<KT-9><sysconfig_id>2000</sysconfig_id><PATCH_VEC>";
  for (int i = 0; i < 150; ++i) many += "<PATCH><patch_bpm>" + std::to_string(i) + "</patch_bpm></PATCH>";
  const auto contents = ReadBackupText(many + "</PATCH_VEC>");
  ASSERT_TRUE(contents);
  ASSERT_EQ(contents->patches.size(), 150u);
  EXPECT_EQ(GetNumber(PatchRecordType(), X, contents->patches[149], "patch_bpm"), 149);
}

TEST(BackupReader, TheWorkingPatchCarriesOverButNamesDoNot) {
  const std::string text = File(
      "<sysconfig_id>2000</sysconfig_id>",
      {"<patch_name>Long patch name</patch_name><pat_inp_set0>4</pat_inp_set0><patch_bpm>120</patch_bpm>"
       "<MOD_VEC><mod><depth>11</depth></mod><mod><depth>12</depth></mod></MOD_VEC>"
       "<ARP_VEC><arp><ARP_STEP_VEC><arp_step><value>1</value></arp_step><arp_step><value>2</value></arp_step>"
       "</ARP_STEP_VEC></arp></ARP_VEC>",
       "<patch_name>Ab</patch_name><pat_inp_set0>5</pat_inp_set0>"
       "<ARP_VEC><arp><ARP_STEP_VEC><arp_step><value>9</value></arp_step></ARP_STEP_VEC></arp></ARP_VEC>",
       "<patch_name> sp</patch_name><MOD_VEC><mod><depth>21</depth></mod></MOD_VEC>"});
  const auto contents = ReadBackupText(text);
  ASSERT_TRUE(contents);
  ASSERT_EQ(contents->patches.size(), 3u);
  const auto& T = PatchRecordType();
  const auto& p = contents->patches;
  EXPECT_EQ(GetText(T, X, p[0], "patch_name"), "Long patch name");
  EXPECT_EQ(GetText(T, X, p[1], "patch_name"), "Ab");
  // No stale bytes of "Long patch name" behind the shorter name.
  for (std::size_t i = 4; i < 19; ++i) EXPECT_EQ(p[1][i], 0) << i;
  EXPECT_EQ(GetText(T, X, p[2], "patch_name"), " sp");
  EXPECT_EQ(GetNumber(T, X, p[0], "pat_inp_set0"), 4);
  EXPECT_EQ(GetNumber(T, X, p[1], "pat_inp_set0"), 5);
  EXPECT_EQ(GetNumber(T, X, p[1], "patch_bpm"), 0);  // looked for and missing: 0
  // List places a PATCH element does not fill keep the previous patch's values.
  EXPECT_EQ(GetNumber(T, X, p[1], "MOD_VEC/0/depth"), 11);
  EXPECT_EQ(GetNumber(T, X, p[1], "MOD_VEC/1/depth"), 12);
  EXPECT_EQ(GetNumber(T, X, p[2], "MOD_VEC/0/depth"), 21);
  EXPECT_EQ(GetNumber(T, X, p[2], "MOD_VEC/1/depth"), 12);
  EXPECT_EQ(GetNumber(T, X, p[1], "ARP_VEC/0/ARP_STEP_VEC/0/value"), 9);
  EXPECT_EQ(GetNumber(T, X, p[1], "ARP_VEC/0/ARP_STEP_VEC/1/value"), 2);
  EXPECT_EQ(GetNumber(T, X, p[0], "ENVELOPER_VEC/0/depth"), 0);
}

TEST(BackupReader, VectorEntriesWithoutEndTags) {
  // The first mod lacks its end tag: its content runs to the second's end
  // tag, the second entry is skipped and the last place reads nothing.
  const std::string text =
      File("<sysconfig_id>1000</sysconfig_id>",
           {"<MOD_VEC><mod><depth>1</depth><mod><depth>2</depth></mod><mod><depth>3</depth></mod></MOD_VEC>"});
  const auto contents = ReadBackupText(text);
  ASSERT_TRUE(contents);
  const auto& T = PatchRecordType();
  EXPECT_EQ(GetNumber(T, L, contents->patches[0], "MOD_VEC/0/depth"), 1);
  EXPECT_EQ(GetNumber(T, L, contents->patches[0], "MOD_VEC/1/depth"), 3);

  const std::string broken =
      File("<sysconfig_id>1000</sysconfig_id>", {"<MOD_VEC><mod><depth>1</depth><mod><depth>2</depth></MOD_VEC>"});
  const auto walked = ReadBackupText(broken);
  ASSERT_TRUE(walked);
  EXPECT_EQ(GetNumber(T, L, walked->patches[0], "MOD_VEC/0/depth"), 0);  // no end tag at all: nothing found
  EXPECT_EQ(GetNumber(T, L, walked->patches[0], "MOD_VEC/1/depth"), 0);
}

TEST(BackupReader, SurplusArpStepsStayInsideTheirArp) {
  std::string steps;
  for (int i = 0; i < 40; ++i) steps += "<arp_step><value>" + std::to_string(1000 + i) + "</value></arp_step>";
  const std::string text = File("<sysconfig_id>1000</sysconfig_id>",
                                {"<ARP_VEC><arp><ARP_STEP_VEC>" + steps + "</ARP_STEP_VEC></arp></ARP_VEC>"});
  const auto contents = ReadBackupText(text);
  ASSERT_TRUE(contents);
  const auto& T = PatchRecordType();
  const Record& patch = contents->patches[0];
  EXPECT_EQ(GetNumber(T, L, patch, "ARP_VEC/0/ARP_STEP_VEC/31/value"), 1031);
  EXPECT_EQ(GetNumber(T, L, patch, "ARP_VEC/0/touch_enable"), 0);
  EXPECT_EQ(GetNumber(T, L, patch, "ARP_VEC/1/enable"), 0);
}

// Cut and garbled files: whatever comes out, records keep their sizes and
// (under the sanitizers) nothing is touched outside text or records.
TEST(BackupReader, MalformedFilesStayInBounds) {
  Record system = test::RandomRecord(1242, 5);
  WriteU16(system, 0, 2000);
  std::vector<Record> patches = {test::RandomRecord(506, 6), test::RandomRecord(506, 7)};
  const std::string text = Write(X, system, patches);
  std::mt19937 random(11);
  for (int round = 0; round < 300; ++round) {
    std::string damaged = text;
    if (round % 3 == 0) damaged.resize(random() % damaged.size());
    for (int i = 0; i < 20; ++i) {
      const std::size_t at = random() % damaged.size();
      const char garble[] = {'<', '>', '/', '\0', '-', '9', ' '};
      damaged[at] = garble[random() % sizeof garble];
    }
    const std::string_view view(damaged.data(), damaged.size());  // no zero byte behind it is relied on
    if (const auto contents = ReadBackupText(view)) {
      EXPECT_EQ(contents->system.size(), SystemRecordSize(contents->layout));
      for (const Record& patch : contents->patches) EXPECT_EQ(patch.size(), PatchRecordSize(contents->layout));
    }
  }
}

}  // namespace
}  // namespace kt9
