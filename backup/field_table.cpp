#include "backup/field_table.h"

namespace kt9 {

namespace {

using P = FieldPresence;

constexpr Field U8(uint16_t offset, std::string_view element, P presence = P::Both) {
  return {FieldKind::Byte, offset, element, 1, nullptr, 0, {}, presence};
}
constexpr Field U16(uint16_t offset, std::string_view element) {
  return {FieldKind::Word, offset, element, 2, nullptr, 0, {}, P::Both};
}
constexpr Field Text(uint16_t offset, std::string_view element, uint16_t size) {
  return {FieldKind::Text, offset, element, size, nullptr, 0, {}, P::Both};
}
constexpr Field Reserved(uint16_t offset, uint16_t size, P presence = P::Both) {
  return {FieldKind::Reserved, offset, {}, size, nullptr, 0, {}, presence};
}
constexpr Field Group(uint16_t offset, std::string_view element, const RecordType& type) {
  return {FieldKind::Group, offset, element, 0, &type, 0, {}, P::Both};
}
constexpr Field List(uint16_t offset, std::string_view element, uint8_t count, std::string_view item,
                     const RecordType& type, P presence = P::Both) {
  return {FieldKind::List, offset, element, 0, &type, count, item, presence};
}
constexpr Field Inline(uint16_t offset, std::string_view prefix, const RecordType& type) {
  return {FieldKind::Inline, offset, prefix, 0, &type, 0, {}, P::Both};
}

// ANALOG_T, printed inline under the enclosing type's prefix.
constexpr Field kAnalogFields[] = {
    U8(0, "an_type"),      Reserved(1, 1),         U16(2, "target_min"),
    U16(4, "target_max"),  U16(6, "range_min"),    U16(8, "range_max"),
};
constexpr RecordType kAnalog{"ANALOG_T", 10, 10, kAnalogFields};

// TOUCH_T, printed inline.
constexpr Field kTouchFields[] = {
    U8(0, "touch_enable"),    Reserved(1, 1),           U16(2, "touch_thresh"),
    U16(4, "touch_time_ms"),  U16(6, "touch_depthcfg"), U16(8, "touch_bpmcfg"),
};
constexpr RecordType kTouch{"TOUCH_T", 10, 10, kTouchFields};

constexpr Field kGkInpFields[] = {
    U8(0, "HexFlip"),
    U8(1, "RespMode"),
    U16(2, "HexVol_str0"),
    U16(4, "HexVol_str1"),
    U16(6, "HexVol_str2"),
    U16(8, "HexVol_str3"),
    U16(10, "HexVol_str4"),
    U16(12, "HexVol_str5"),
    U16(14, "HexVol_gtr"),
    U16(16, "SenseVol_str0"),
    U16(18, "SenseVol_str1"),
    U16(20, "SenseVol_str2"),
    U16(22, "SenseVol_str3"),
    U16(24, "SenseVol_str4"),
    U16(26, "SenseVol_str5"),
    U16(28, "SenseVol_gtr"),
    U8(30, "sense_thresh_trig_str0"),
    U8(31, "sense_thresh_trig_str1"),
    U8(32, "sense_thresh_trig_str2"),
    U8(33, "sense_thresh_trig_str3"),
    U8(34, "sense_thresh_trig_str4"),
    U8(35, "sense_thresh_trig_str5"),
    U8(36, "sense_thresh_trig_gtr"),
    U8(37, "sense_thresh_retrig_str0"),
    U8(38, "sense_thresh_retrig_str1"),
    U8(39, "sense_thresh_retrig_str2"),
    U8(40, "sense_thresh_retrig_str3"),
    U8(41, "sense_thresh_retrig_str4"),
    U8(42, "sense_thresh_retrig_str5"),
    U8(43, "sense_thresh_retrig_gtr"),
    U8(44, "sense_thresh_ns_str0"),
    U8(45, "sense_thresh_ns_str1"),
    U8(46, "sense_thresh_ns_str2"),
    U8(47, "sense_thresh_ns_str3"),
    U8(48, "sense_thresh_ns_str4"),
    U8(49, "sense_thresh_ns_str5"),
    U8(50, "sense_thresh_ns_str6"),
    U8(51, "FilterBrdEn"),
    U8(52, "FilterFreqCode_str0"),
    U8(53, "FilterFreqCode_str1"),
    U8(54, "FilterFreqCode_str2"),
    U8(55, "FilterFreqCode_str3"),
    U8(56, "FilterFreqCode_str4"),
    U8(57, "FilterFreqCode_str5"),
    Reserved(58, 4),
};
constexpr RecordType kGkInp{"GK_INP_T", 62, 62, kGkInpFields};

// GK_SET_T: a name, then a whole GK input block laid out as GK_INP_T, then
// the setting's own bytes.
constexpr Field kGkSetFields[] = {
    Text(0, "name", 18),
    Inline(18, "", kGkInp),
    U8(80, "set_vg99"),
    U8(81, "set_vb99"),
    U8(82, "set_gr55"),
    U8(83, "set_gp10"),
    Reserved(84, 1),
    U8(85, "set_future0", P::ReadOnly),
    U8(86, "set_future1", P::ReadOnly),
    U8(87, "set_future2", P::ReadOnly),
};
constexpr RecordType kGkSet{"GK_SET_T", 88, 88, kGkSetFields};

constexpr Field kGkOutpFields[] = {
    U16(0, "flags"),
    U16(2, "GKMasterVol"),
    U16(4, "GKFinalVol_str0"),
    U16(6, "GKFinalVol_str1"),
    U16(8, "GKFinalVol_str2"),
    U16(10, "GKFinalVol_str3"),
    U16(12, "GKFinalVol_str4"),
    U16(14, "GKFinalVol_str5"),
    U16(16, "GKFinalVol_gtr"),
    U8(18, "GKMuteGTR"),
    Reserved(19, 1),
};
constexpr RecordType kGkOutp{"GK_OUTP_T", 20, 20, kGkOutpFields};

constexpr Field kCtrlJackFields[] = {
    U8(0, "exp_an_target"), Reserved(1, 1),       Inline(2, "exp_", kAnalog), U8(12, "sw1_target"),
    U8(13, "sw1_sw_type"),  U8(14, "sw2_target"), U8(15, "sw2_sw_type"),
};
constexpr RecordType kCtrlJack{"CTRLJACK_T", 16, 16, kCtrlJackFields};

constexpr Field kMidiAssignFields[] = {
    U8(0, "target"), U8(1, "cc"), U8(2, "sw_type"), Reserved(3, 1), Inline(4, "", kAnalog),
};
constexpr RecordType kMidiAssign{"MIDI_ASSIGN_T", 14, 14, kMidiAssignFields};

constexpr Field kGkVolFields[] = {
    U8(0, "an_target"), Reserved(1, 1), Inline(2, "", kAnalog),
};
constexpr RecordType kGkVol{"GK_VOL_T", 12, 12, kGkVolFields};

constexpr Field kDigSwFields[] = {
    U8(0, "dig_target"), U8(1, "dig_sw_type"),
};
constexpr RecordType kDigSw{"DIG_SW_T", 2, 2, kDigSwFields};

constexpr Field kSustFields[] = {
    U8(0, "enable"),           U8(1, "thresh"),        U8(2, "ramp_up_type"),     U8(3, "max_gain"),
    U16(4, "ramp_up_time_ms"), U16(6, "sust_time_ms"), U16(8, "ramp_dn_time_ms"), U16(10, "target"),
};
constexpr RecordType kSust{"SUST_T", 12, 12, kSustFields};

constexpr Field kModFields[] = {
    U8(0, "enable"),     Reserved(1, 1),     U16(2, "target"),        U16(4, "targetRev"),
    U8(6, "waveshape"),  U8(7, "waveinvert"), U8(8, "modifier"),      U8(9, "BPMderiv"),
    U16(10, "depth"),    Inline(12, "", kTouch), Reserved(22, 2),
};
constexpr RecordType kMod{"MOD_T", 24, 24, kModFields};

// One arpeggiator step; the file holds each in an arp_step element of its own.
constexpr Field kArpStepFields[] = {
    U16(0, "value"),
};
constexpr RecordType kArpStep{"ARP_STEP", 2, 2, kArpStepFields};

constexpr Field kArpFields[] = {
    U8(0, "enable"),
    U8(1, "waveshape"),
    U8(2, "waveinvert"),
    Reserved(3, 4),
    U8(7, "BPMderiv"),
    U16(8, "depth"),
    U8(10, "steps"),
    Reserved(11, 1),
    List(12, "ARP_STEP_VEC", 32, "arp_step", kArpStep),
    Inline(76, "", kTouch),
    Reserved(86, 2),
};
constexpr RecordType kArp{"ARP_T", 88, 88, kArpFields};

constexpr Field kEnvFields[] = {
    U8(0, "enable"),
    U8(1, "ns_enable"),
    U16(2, "stage_A_ms"),
    U16(4, "stage_A_vol"),
    U16(6, "stage_D_ms"),
    U16(8, "stage_D_vol"),
    U16(10, "stage_S_ms"),
    U16(12, "stage_S_vol"),
    U16(14, "stage_R_ms"),
    U16(16, "stage_R_vol"),
    U16(18, "ns_dn_time_ms"),
    U16(20, "target"),
    U16(22, "depth"),
};
constexpr RecordType kEnv{"ENVELOPER_T", 24, 24, kEnvFields};

constexpr Field kGkOutFields[] = {
    U16(0, "vol_str0"), U16(2, "vol_str1"), U16(4, "vol_str2"),  U16(6, "vol_str3"),
    U16(8, "vol_str4"), U16(10, "vol_str5"), U16(12, "vol_gtr"),
};
constexpr RecordType kGkOut{"GK_OUT_T", 14, 14, kGkOutFields};

constexpr Field kDividerFields[] = {
    U8(0, "enable"),
    Reserved(1, 1),
    List(2, "GK_OUT_VEC", 2, "GK_OUT", kGkOut),
};
constexpr RecordType kDivider{"DIVIDER_T", 30, 30, kDividerFields};

constexpr Field kSystemFields[] = {
    U16(0, "sysconfig_id"),
    U8(2, "act_patch_no"),
    U8(3, "patch_enable"),
    U8(4, "patch_arps_enable"),
    U8(5, "patch_mods_enable"),
    U8(6, "patch_envs_enable"),
    U8(7, "bMainMode"),
    U8(8, "bSetupMode"),
    U8(9, "bParamEditMode"),
    U8(10, "backlight"),
    U8(11, "contrast"),
    U8(12, "input_sel"),
    U8(13, "guitars"),
    U8(14, "inp3RespMode"),
    Reserved(15, 1),
    U16(16, "inp3Vol"),
    U16(18, "inp3Sense"),
    U8(20, "inp3Sense_thresh_trig"),
    U8(21, "inp3Sense_thresh_retrig"),
    U8(22, "inp3Sense_thresh_ns"),
    Reserved(23, 1),
    U16(24, "sys_fxtarget"),
    List(26, "GK_INP_VEC", 2, "inp", kGkInp),
    List(150, "GK_OUTP_VEC", 2, "outp", kGkOutp),
    List(190, "CTRLJACK_VEC", 2, "ctrl", kCtrlJack),
    Group(222, "sys_gk_vol", kGkVol),
    Group(234, "sys_gk_s1", kDigSw),
    Group(236, "sys_gk_s2", kDigSw),
    U8(238, "sys_m_merge"),
    U8(239, "sys_m_clk"),
    U8(240, "sys_m_in_ch"),
    U8(241, "sys_m_out_ch"),
    U8(242, "sys_m_snd_cc"),
    U8(243, "sys_m_snd_strt"),
    U8(244, "sys_m_snd_sysex"),
    U8(245, "sys_m_snd_clock"),
    List(246, "MIDI_ASSIGN_VEC", 8, "midi_assign", kMidiAssign),
    U8(358, "sys_inp_set0", P::ExtendedOnly),
    U8(359, "sys_inp_set1", P::ExtendedOnly),
    U8(360, "sys_inp_set2", P::ExtendedOnly),
    Reserved(361, 1, P::ExtendedOnly),
    List(362, "GK_SET_VEC", 10, "set", kGkSet, P::ExtendedOnly),
};
constexpr RecordType kSystem{"SYSTEM_T", 358, 1242, kSystemFields};

constexpr Field kPatchFields[] = {
    U16(0, "patch_id"),
    Text(2, "patch_name", 17),
    U8(19, "patch_bpm_local"),
    U16(20, "patch_bpm"),
    U16(22, "patch_depth"),
    U16(24, "patch_fxtarget"),
    Group(26, "sust", kSust),
    List(38, "MOD_VEC", 2, "mod", kMod),
    List(86, "ARP_VEC", 2, "arp", kArp),
    List(262, "ENVELOPER_VEC", 2, "env", kEnv),
    Group(310, "divider", kDivider),
    List(340, "CTRLJACK_VEC", 2, "pat_ctrl", kCtrlJack),
    Group(372, "pat_gk_vol", kGkVol),
    Group(384, "pat_gk_s1", kDigSw),
    Group(386, "pat_gk_s2", kDigSw),
    List(388, "MIDI_ASSIGN_VEC", 8, "pat_midi_assign", kMidiAssign),
    Reserved(500, 2, P::LegacyOnly),
    U8(500, "pat_inp_set0", P::ExtendedOnly),
    U8(501, "pat_inp_set1", P::ExtendedOnly),
    U8(502, "pat_inp_set2", P::ExtendedOnly),
    Reserved(503, 3, P::ExtendedOnly),
};
constexpr RecordType kPatch{"PATCH", 502, 506, kPatchFields};

}  // namespace

const RecordType& SystemRecordType() { return kSystem; }
const RecordType& PatchRecordType() { return kPatch; }

bool InLayout(const Field& field, RecordLayout layout) {
  switch (field.presence) {
    case P::LegacyOnly:
      return layout == RecordLayout::Legacy;
    case P::ExtendedOnly:
      return layout == RecordLayout::Extended;
    case P::Both:
    case P::ReadOnly:
      return true;
  }
  return false;
}

std::size_t FieldSize(const Field& field, RecordLayout layout) {
  if (!InLayout(field, layout)) return 0;
  switch (field.kind) {
    case FieldKind::Group:
    case FieldKind::Inline:
      return field.type->Size(layout);
    case FieldKind::List:
      return field.count * field.type->Size(layout);
    default:
      return field.size;
  }
}

bool ReadFromFile(const Field& field, RecordLayout layout) {
  return field.kind != FieldKind::Reserved && InLayout(field, layout);
}

bool WrittenToFile(const Field& field, RecordLayout layout) {
  return ReadFromFile(field, layout) && field.presence != P::ReadOnly;
}

}  // namespace kt9
