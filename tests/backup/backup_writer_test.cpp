#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "backup/backup_writer.h"
#include "backup/field_table.h"
#include "record_samples.h"

namespace kt9 {
namespace {

using test::SetNumber;
using test::SetText;

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t end = text.find("\r\n", at);
    if (end == std::string::npos) {
      lines.push_back(text.substr(at) + "<no CR LF>");
      break;
    }
    lines.push_back(text.substr(at, end - at));
    at = end + 2;
  }
  return lines;
}

// The document's outline as the format defines it: "+name" an opening tag
// line, "-name" a closing tag line, "name" a number or text line.
class Outline {
 public:
  std::vector<std::string> lines;

  void Values(std::initializer_list<const char*> names) {
    for (const char* name : names) lines.emplace_back(name);
  }
  template <typename Body>
  void Group(const std::string& name, Body body) {
    lines.push_back("+" + name);
    body();
    lines.push_back("-" + name);
  }
  template <typename Body>
  void List(const std::string& name, const std::string& item, int count, Body body) {
    Group(name, [&] {
      for (int i = 0; i < count; ++i) Group(item, body);
    });
  }

  void GkInput() {
    Values({"HexFlip", "RespMode", "HexVol_str0", "HexVol_str1", "HexVol_str2", "HexVol_str3", "HexVol_str4",
            "HexVol_str5", "HexVol_gtr", "SenseVol_str0", "SenseVol_str1", "SenseVol_str2", "SenseVol_str3",
            "SenseVol_str4", "SenseVol_str5", "SenseVol_gtr", "sense_thresh_trig_str0", "sense_thresh_trig_str1",
            "sense_thresh_trig_str2", "sense_thresh_trig_str3", "sense_thresh_trig_str4", "sense_thresh_trig_str5",
            "sense_thresh_trig_gtr", "sense_thresh_retrig_str0", "sense_thresh_retrig_str1",
            "sense_thresh_retrig_str2", "sense_thresh_retrig_str3", "sense_thresh_retrig_str4",
            "sense_thresh_retrig_str5", "sense_thresh_retrig_gtr", "sense_thresh_ns_str0", "sense_thresh_ns_str1",
            "sense_thresh_ns_str2", "sense_thresh_ns_str3", "sense_thresh_ns_str4", "sense_thresh_ns_str5",
            "sense_thresh_ns_str6", "FilterBrdEn", "FilterFreqCode_str0", "FilterFreqCode_str1",
            "FilterFreqCode_str2", "FilterFreqCode_str3", "FilterFreqCode_str4", "FilterFreqCode_str5"});
  }
  void CtrlJack() {
    Values({"exp_an_target", "exp_an_type", "exp_target_min", "exp_target_max", "exp_range_min", "exp_range_max",
            "sw1_target", "sw1_sw_type", "sw2_target", "sw2_sw_type"});
  }
  void MidiAssign() {
    Values({"target", "cc", "sw_type", "an_type", "target_min", "target_max", "range_min", "range_max"});
  }
  void GkVol() { Values({"an_target", "an_type", "target_min", "target_max", "range_min", "range_max"}); }
  void DigSw() { Values({"dig_target", "dig_sw_type"}); }
  void Touch() { Values({"touch_enable", "touch_thresh", "touch_time_ms", "touch_depthcfg", "touch_bpmcfg"}); }

  void System(bool extended) {
    Group("SYSTEM_T", [&] {
      Values({"sysconfig_id", "act_patch_no", "patch_enable", "patch_arps_enable", "patch_mods_enable",
              "patch_envs_enable", "bMainMode", "bSetupMode", "bParamEditMode", "backlight", "contrast",
              "input_sel", "guitars", "inp3RespMode", "inp3Vol", "inp3Sense", "inp3Sense_thresh_trig",
              "inp3Sense_thresh_retrig", "inp3Sense_thresh_ns", "sys_fxtarget"});
      List("GK_INP_VEC", "inp", 2, [&] { GkInput(); });
      List("GK_OUTP_VEC", "outp", 2, [&] {
        Values({"flags", "GKMasterVol", "GKFinalVol_str0", "GKFinalVol_str1", "GKFinalVol_str2", "GKFinalVol_str3",
                "GKFinalVol_str4", "GKFinalVol_str5", "GKFinalVol_gtr", "GKMuteGTR"});
      });
      List("CTRLJACK_VEC", "ctrl", 2, [&] { CtrlJack(); });
      Group("sys_gk_vol", [&] { GkVol(); });
      Group("sys_gk_s1", [&] { DigSw(); });
      Group("sys_gk_s2", [&] { DigSw(); });
      Values({"sys_m_merge", "sys_m_clk", "sys_m_in_ch", "sys_m_out_ch", "sys_m_snd_cc", "sys_m_snd_strt",
              "sys_m_snd_sysex", "sys_m_snd_clock"});
      List("MIDI_ASSIGN_VEC", "midi_assign", 8, [&] { MidiAssign(); });
      if (!extended) return;
      Values({"sys_inp_set0", "sys_inp_set1", "sys_inp_set2"});
      List("GK_SET_VEC", "set", 10, [&] {
        Values({"name"});
        GkInput();
        Values({"set_vg99", "set_vb99", "set_gr55", "set_gp10"});
      });
    });
  }

  void Patch(bool extended) {
    Group("PATCH", [&] {
      Values({"patch_id", "patch_name", "patch_bpm_local", "patch_bpm", "patch_depth", "patch_fxtarget"});
      Group("sust", [&] {
        Values({"enable", "thresh", "ramp_up_type", "max_gain", "ramp_up_time_ms", "sust_time_ms", "ramp_dn_time_ms",
                "target"});
      });
      List("MOD_VEC", "mod", 2, [&] {
        Values({"enable", "target", "targetRev", "waveshape", "waveinvert", "modifier", "BPMderiv", "depth"});
        Touch();
      });
      List("ARP_VEC", "arp", 2, [&] {
        Values({"enable", "waveshape", "waveinvert", "BPMderiv", "depth", "steps"});
        List("ARP_STEP_VEC", "arp_step", 32, [&] { Values({"value"}); });
        Touch();
      });
      List("ENVELOPER_VEC", "env", 2, [&] {
        Values({"enable", "ns_enable", "stage_A_ms", "stage_A_vol", "stage_D_ms", "stage_D_vol", "stage_S_ms",
                "stage_S_vol", "stage_R_ms", "stage_R_vol", "ns_dn_time_ms", "target", "depth"});
      });
      Group("divider", [&] {
        Values({"enable"});
        List("GK_OUT_VEC", "GK_OUT", 2, [&] {
          Values({"vol_str0", "vol_str1", "vol_str2", "vol_str3", "vol_str4", "vol_str5", "vol_gtr"});
        });
      });
      List("CTRLJACK_VEC", "pat_ctrl", 2, [&] { CtrlJack(); });
      Group("pat_gk_vol", [&] { GkVol(); });
      Group("pat_gk_s1", [&] { DigSw(); });
      Group("pat_gk_s2", [&] { DigSw(); });
      List("MIDI_ASSIGN_VEC", "pat_midi_assign", 8, [&] { MidiAssign(); });
      if (extended) Values({"pat_inp_set0", "pat_inp_set1", "pat_inp_set2"});
    });
  }
};

// The writer's lines reduced to the outline's form; value lines must be
// "<name>value</name>" with an unsigned decimal value.
std::vector<std::string> OutlineOf(const std::vector<std::string>& lines) {
  std::vector<std::string> outline;
  for (std::size_t i = 1; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    const std::size_t close = line.find('>');
    if (line.starts_with("</")) {
      outline.push_back("-" + line.substr(2, close - 2));
    } else if (close + 1 == line.size()) {
      outline.push_back("+" + line.substr(1, close - 1));
    } else {
      const std::string name = line.substr(1, close - 1);
      if (!line.ends_with("</" + name + ">")) outline.push_back("bad line: " + line);
      outline.push_back(name);
    }
  }
  return outline;
}

TEST(BackupWriter, DocumentHasTheFormatsOutlineAndLineCount) {
  for (RecordLayout layout : {RecordLayout::Legacy, RecordLayout::Extended}) {
    const bool extended = layout == RecordLayout::Extended;
    std::vector<Record> patches;
    for (uint32_t i = 0; i < 99; ++i) patches.push_back(test::RandomRecord(PatchRecordSize(layout), i));
    for (Record& patch : patches) SanitizePatchName(patch);
    std::string text;
    WriteBackupText(layout, test::RandomRecord(SystemRecordSize(layout), 99), patches, text);

    const auto lines = Lines(text);
    EXPECT_EQ(lines.size(), BackupTextLineCount(layout, 99));
    EXPECT_EQ(lines.size(), extended ? 5u + 789 + 456 * 99 : 5u + 274 + 453 * 99);
    EXPECT_TRUE(text.ends_with("</PATCH>\r\n</PATCH_VEC>\r\n</KT-9>\r\n"));
    EXPECT_EQ(lines[0], "<?xml version=\"1.0\" encoding=\"utf-8\"?>");

    Outline expected;
    expected.Group("KT-9", [&] {
      expected.System(extended);
      expected.Group("PATCH_VEC", [&] {
        for (int i = 0; i < 99; ++i) expected.Patch(extended);
      });
    });
    EXPECT_EQ(OutlineOf(lines), expected.lines) << LayoutName(layout);
  }
}

TEST(BackupWriter, ExtendedFileStartsAsTheFormatShows) {
  Record system = MakeSystemRecord(RecordLayout::Extended);
  WriteU16(system, 0, 2000);
  Record patch = MakePatchRecord(RecordLayout::Extended);
  SetText(PatchRecordType(), RecordLayout::Extended, patch, "patch_name", "Lead 1");
  std::string text;
  WriteBackupText(RecordLayout::Extended, system, {patch}, text);
  const auto lines = Lines(text);
  ASSERT_GE(lines.size(), 801u);
  const std::vector<std::string> head = {"<?xml version=\"1.0\" encoding=\"utf-8\"?>", "<KT-9>", "<SYSTEM_T>",
                                         "<sysconfig_id>2000</sysconfig_id>", "<act_patch_no>0</act_patch_no>",
                                         "<patch_enable>0</patch_enable>"};
  EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 6), head);
  const std::vector<std::string> around = {"<inp3Sense_thresh_ns>0</inp3Sense_thresh_ns>",
                                           "<sys_fxtarget>0</sys_fxtarget>", "<GK_INP_VEC>", "<inp>",
                                           "<HexFlip>0</HexFlip>", "<RespMode>0</RespMode>",
                                           "<HexVol_str0>0</HexVol_str0>"};
  EXPECT_EQ(std::vector<std::string>(lines.begin() + 21, lines.begin() + 28), around);
  const std::vector<std::string> seam = {"<set_gp10>0</set_gp10>", "</set>", "</GK_SET_VEC>", "</SYSTEM_T>",
                                         "<PATCH_VEC>", "<PATCH>", "<patch_id>0</patch_id>",
                                         "<patch_name>Lead 1</patch_name>", "<patch_bpm_local>0</patch_bpm_local>",
                                         "<patch_bpm>0</patch_bpm>", "<patch_depth>0</patch_depth>",
                                         "<patch_fxtarget>0</patch_fxtarget>", "<sust>", "<enable>0</enable>"};
  EXPECT_EQ(std::vector<std::string>(lines.begin() + 787, lines.begin() + 801), seam);
}

TEST(BackupWriter, ValuesPrintAsTheyStand) {
  const auto L = RecordLayout::Legacy;
  const auto X = RecordLayout::Extended;
  const struct {
    RecordLayout layout;
    bool patch;
    std::string_view path;
    std::string_view bytes;  // stored at the field's offset
    std::string_view line;
  } cases[] = {
      {L, false, "backlight", "\xFF", "<backlight>255</backlight>"},
      {L, false, "inp3Vol", "\xFF\xFF", "<inp3Vol>65535</inp3Vol>"},
      {L, false, "sys_fxtarget", "\x34\x12", "<sys_fxtarget>4660</sys_fxtarget>"},
      {L, true, "patch_name", std::string_view("\0Lead", 5), "<patch_name></patch_name>"},
      {L, true, "patch_name", "a<b>&c", "<patch_name>a<b>&c</patch_name>"},
      {L, true, "patch_name", "ABCDEFGHIJKLMNOPQRS", "<patch_name>ABCDEFGHIJKLMNOPQ</patch_name>"},
      {X, false, "GK_SET_VEC/0/name", "123456789012345678\x07\x08", "<name>123456789012345678</name>"},
      {X, false, "GK_SET_VEC/0/HexFlip", "\x07", "<HexFlip>7</HexFlip>"},
  };
  for (const auto& c : cases) {
    const RecordType& type = c.patch ? PatchRecordType() : SystemRecordType();
    Record record = c.patch ? MakePatchRecord(c.layout) : MakeSystemRecord(c.layout);
    const std::size_t offset = test::At(type, c.layout, c.path).offset;
    std::copy(c.bytes.begin(), c.bytes.end(), record.begin() + static_cast<std::ptrdiff_t>(offset));
    std::string text;
    if (c.patch) {
      WriteBackupText(c.layout, MakeSystemRecord(c.layout), {record}, text);
    } else {
      WriteBackupText(c.layout, record, {}, text);
    }
    EXPECT_NE(text.find("\r\n" + std::string(c.line) + "\r\n"), std::string::npos) << c.line;
  }
}

TEST(BackupWriter, EmptyPatchListAndLegacyLinesAreTheExtendedOnesLessItsOwn) {
  std::string empty;
  WriteBackupText(RecordLayout::Legacy, MakeSystemRecord(RecordLayout::Legacy), {}, empty);
  EXPECT_NE(empty.find("\r\n<PATCH_VEC>\r\n</PATCH_VEC>\r\n</KT-9>\r\n"), std::string::npos);

  // The same values in both layouts: the legacy text is the extended one
  // without the extended-only lines.
  Record extendedSystem = test::RandomRecord(1242, 7);
  Record legacySystem(extendedSystem.begin(), extendedSystem.begin() + 358);
  Record extendedPatch = test::RandomRecord(506, 8);
  Record legacyPatch(extendedPatch.begin(), extendedPatch.begin() + 502);
  std::string legacy, extended;
  WriteBackupText(RecordLayout::Legacy, legacySystem, {legacyPatch, legacyPatch}, legacy);
  WriteBackupText(RecordLayout::Extended, extendedSystem, {extendedPatch, extendedPatch}, extended);
  std::vector<std::string> kept;
  bool inSets = false;
  for (const std::string& line : Lines(extended)) {
    if (line == "<GK_SET_VEC>") inSets = true;
    const bool own = inSets || line.starts_with("<sys_inp_set") || line.starts_with("<pat_inp_set");
    if (line == "</GK_SET_VEC>") inSets = false;
    if (!own) kept.push_back(line);
  }
  EXPECT_EQ(kept, Lines(legacy));
}

TEST(BackupWriter, ReservedBytesNeverShow) {
  for (RecordLayout layout : {RecordLayout::Legacy, RecordLayout::Extended}) {
    const Record system = test::RandomRecord(SystemRecordSize(layout), 1);
    const Record patch = test::RandomRecord(PatchRecordSize(layout), 2);
    std::string text;
    WriteBackupText(layout, system, {patch}, text);
    // Every byte the file does not carry, set to something else.
    Record otherSystem = system, otherPatch = patch;
    const Record systemView = test::FileView(SystemRecordType(), layout, system);
    const Record patchView = test::FileView(PatchRecordType(), layout, patch);
    for (std::size_t i = 0; i < system.size(); ++i) {
      if (systemView[i] == 0 && system[i] != 0) otherSystem[i] = static_cast<uint8_t>(system[i] ^ 0x5A);
    }
    for (std::size_t i = 0; i < patch.size(); ++i) {
      if (patchView[i] == 0 && patch[i] != 0) otherPatch[i] = static_cast<uint8_t>(patch[i] ^ 0x5A);
    }
    EXPECT_NE(otherSystem, system);
    std::string otherText;
    WriteBackupText(layout, otherSystem, {otherPatch}, otherText);
    EXPECT_EQ(otherText, text) << LayoutName(layout);
  }
}

TEST(BackupWriter, ShortRecordsPrintZerosAndAppendToTheText) {
  std::string text = "kept";
  WriteBackupText(RecordLayout::Extended, Record(3, 0xFF), {Record{}}, text);
  EXPECT_TRUE(text.starts_with("kept<?xml"));
  EXPECT_NE(text.find("<sysconfig_id>65535</sysconfig_id>\r\n<act_patch_no>255</act_patch_no>\r\n<patch_enable>0<"),
            std::string::npos);
  EXPECT_EQ(Lines(text.substr(4)).size(), BackupTextLineCount(RecordLayout::Extended, 1));
}

}  // namespace
}  // namespace kt9
