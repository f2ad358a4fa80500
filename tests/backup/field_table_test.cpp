#include <set>
#include <string>

#include <gtest/gtest.h>

#include "backup/field_table.h"

namespace kt9 {
namespace {

struct Totals {
  std::size_t bytes = 0;
  std::size_t reserved = 0;  // reserved rows and the bytes only the reader knows
};

// Checks that the rows of `type` in `layout` follow one another without gap
// or overlap and fill the type exactly, and sums what they hold.
Totals WalkType(const RecordType& type, RecordLayout layout) {
  Totals totals;
  std::size_t next = 0;
  for (const Field& field : type.fields) {
    if (!InLayout(field, layout)) continue;
    EXPECT_EQ(field.offset, next) << type.name << " row " << field.element;
    next = field.offset + FieldSize(field, layout);
    switch (field.kind) {
      case FieldKind::Group:
      case FieldKind::Inline:
      case FieldKind::List: {
        const Totals inner = WalkType(*field.type, layout);
        const std::size_t times = field.kind == FieldKind::List ? field.count : 1;
        totals.bytes += times * inner.bytes;
        totals.reserved += times * inner.reserved;
        break;
      }
      default:
        totals.bytes += field.size;
        if (field.kind == FieldKind::Reserved || field.presence == FieldPresence::ReadOnly) {
          totals.reserved += field.size;
        }
    }
  }
  EXPECT_EQ(next, type.Size(layout)) << type.name;
  return totals;
}

TEST(FieldTable, RowsFillEachRecordWithTheKnownReservedBytes) {
  const struct {
    const RecordType& type;
    RecordLayout layout;
    std::size_t size, reserved;
  } cases[] = {
      {SystemRecordType(), RecordLayout::Legacy, 358, 34},
      {SystemRecordType(), RecordLayout::Extended, 1242, 115},
      {PatchRecordType(), RecordLayout::Legacy, 502, 49},
      {PatchRecordType(), RecordLayout::Extended, 506, 50},
  };
  for (const auto& c : cases) {
    const Totals totals = WalkType(c.type, c.layout);
    EXPECT_EQ(totals.bytes, c.size) << c.type.name << " " << LayoutName(c.layout);
    EXPECT_EQ(totals.reserved, c.reserved) << c.type.name << " " << LayoutName(c.layout);
    EXPECT_EQ(c.type.Size(c.layout), c.size);
  }
}

// Names the file holds at one level; a repeat would be shadowed by the
// reader's first-occurrence rule.
void CollectNames(const RecordType& type, RecordLayout layout, const std::string& prefix, std::set<std::string>& names) {
  for (const Field& field : type.fields) {
    if (!ReadFromFile(field, layout)) continue;
    if (field.kind == FieldKind::Inline) {
      CollectNames(*field.type, layout, prefix + std::string(field.element), names);
      continue;
    }
    EXPECT_TRUE(names.insert(prefix + std::string(field.element)).second) << type.name << ": " << field.element;
    if (field.kind == FieldKind::Group || field.kind == FieldKind::List) {
      std::set<std::string> inner;
      CollectNames(*field.type, layout, {}, inner);
    }
  }
}

TEST(FieldTable, ElementNamesAreUniqueWithinEachElement) {
  for (RecordLayout layout : {RecordLayout::Legacy, RecordLayout::Extended}) {
    for (const RecordType* type : {&SystemRecordType(), &PatchRecordType()}) {
      std::set<std::string> names;
      CollectNames(*type, layout, {}, names);
    }
  }
}

TEST(FieldTable, LocateFieldFindsTheDocumentedPlaces) {
  const struct {
    const RecordType& type;
    RecordLayout layout;
    std::string_view path;
    std::optional<std::size_t> offset;
    FieldKind kind;
  } cases[] = {
      {SystemRecordType(), RecordLayout::Legacy, "sysconfig_id", 0, FieldKind::Word},
      {SystemRecordType(), RecordLayout::Legacy, "inp3Vol", 16, FieldKind::Word},
      {SystemRecordType(), RecordLayout::Legacy, "GK_INP_VEC/1/HexFlip", 88, FieldKind::Byte},
      {SystemRecordType(), RecordLayout::Legacy, "GK_OUTP_VEC/1/flags", 170, FieldKind::Word},
      {SystemRecordType(), RecordLayout::Legacy, "CTRLJACK_VEC/1/exp_target_min", 206 + 4, FieldKind::Word},
      {SystemRecordType(), RecordLayout::Legacy, "sys_gk_vol/range_max", 222 + 10, FieldKind::Word},
      {SystemRecordType(), RecordLayout::Legacy, "sys_gk_s2/dig_sw_type", 237, FieldKind::Byte},
      {SystemRecordType(), RecordLayout::Legacy, "MIDI_ASSIGN_VEC/7/range_max", 246 + 7 * 14 + 12, FieldKind::Word},
      {SystemRecordType(), RecordLayout::Legacy, "sys_inp_set0", std::nullopt, FieldKind::Byte},
      {SystemRecordType(), RecordLayout::Extended, "sys_inp_set2", 360, FieldKind::Byte},
      {SystemRecordType(), RecordLayout::Extended, "GK_SET_VEC/9/name", 362 + 9 * 88, FieldKind::Text},
      {SystemRecordType(), RecordLayout::Extended, "GK_SET_VEC/0/HexFlip", 362 + 18, FieldKind::Byte},
      {SystemRecordType(), RecordLayout::Extended, "GK_SET_VEC/0/set_gp10", 362 + 83, FieldKind::Byte},
      {SystemRecordType(), RecordLayout::Extended, "GK_SET_VEC/0/set_future2", 362 + 87, FieldKind::Byte},
      {SystemRecordType(), RecordLayout::Extended, "GK_SET_VEC/10/name", std::nullopt, FieldKind::Text},
      {PatchRecordType(), RecordLayout::Legacy, "patch_name", 2, FieldKind::Text},
      {PatchRecordType(), RecordLayout::Legacy, "MOD_VEC/1/touch_bpmcfg", 62 + 20, FieldKind::Word},
      {PatchRecordType(), RecordLayout::Legacy, "ARP_VEC/1/ARP_STEP_VEC/31/value", 174 + 12 + 62, FieldKind::Word},
      {PatchRecordType(), RecordLayout::Legacy, "ARP_VEC/0/touch_enable", 86 + 76, FieldKind::Byte},
      {PatchRecordType(), RecordLayout::Legacy, "ENVELOPER_VEC/1/depth", 286 + 22, FieldKind::Word},
      {PatchRecordType(), RecordLayout::Legacy, "divider/GK_OUT_VEC/1/vol_gtr", 310 + 2 + 14 + 12, FieldKind::Word},
      {PatchRecordType(), RecordLayout::Legacy, "pat_gk_s1/dig_target", 384, FieldKind::Byte},
      {PatchRecordType(), RecordLayout::Legacy, "MIDI_ASSIGN_VEC/7/an_type", 388 + 98 + 4, FieldKind::Byte},
      {PatchRecordType(), RecordLayout::Extended, "pat_inp_set2", 502, FieldKind::Byte},
      {PatchRecordType(), RecordLayout::Legacy, "pat_inp_set0", std::nullopt, FieldKind::Byte},
  };
  for (const auto& c : cases) {
    const auto location = LocateField(c.type, c.layout, c.path);
    ASSERT_EQ(location.has_value(), c.offset.has_value()) << c.path;
    if (!location) continue;
    EXPECT_EQ(location->offset, *c.offset) << c.path;
    EXPECT_EQ(location->kind, c.kind) << c.path;
  }
}

}  // namespace
}  // namespace kt9

namespace kt9 {
namespace {

TEST(FieldTable, FileFieldDifferencesSeeOnlyWhatTheFileHolds) {
  const auto X = RecordLayout::Extended;
  const Record base = MakeSystemRecord(X);
  const struct {
    std::size_t offset;
    uint8_t value;
    std::vector<std::string> differences;
  } cases[] = {
      {15, 7, {}},                                  // reserved
      {362 + 84, 7, {}},                            // set byte the conversion sets, never in a file
      {362 + 85, 7, {}},                            // set_future0: read, never written
      {362 + 88 + 5, 'x', {}},                      // after the name's terminating zero
      {362 + 88, 'x', {"GK_SET_VEC/1/name"}},
      {362 + 2 * 88 + 18 + 14, 1, {"GK_SET_VEC/2/HexVol_gtr"}},
      {190 + 16 + 2 + 8, 1, {"CTRLJACK_VEC/1/exp_range_max"}},
      {238, 1, {"sys_m_merge"}},
  };
  for (const auto& c : cases) {
    Record changed = base;
    changed[c.offset] = c.value;
    EXPECT_EQ(FileFieldDifferences(SystemRecordType(), X, base, changed), c.differences) << c.offset;
    EXPECT_EQ(SameFileFields(SystemRecordType(), X, base, changed), c.differences.empty()) << c.offset;
    if (!c.differences.empty()) {
      EXPECT_EQ(LocateField(SystemRecordType(), X, c.differences[0])->offset, c.offset);
    }
  }
  // Legacy patches hold no pat_inp_set bytes.
  Record patch = MakePatchRecord(RecordLayout::Legacy), other = patch;
  other[500] = 1;
  EXPECT_TRUE(SameFileFields(PatchRecordType(), RecordLayout::Legacy, patch, other));
}

}  // namespace
}  // namespace kt9
