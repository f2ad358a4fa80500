// The one table of every field of the pedal's records: SYSTEM_T, PATCH
// and their sub-records, with offsets, kinds and the element names under which
// the backup file holds them. The backup file writer, the reader and the field
// comparison all walk this table; nothing else knows the record layouts field
// by field.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "backup/records.h"

namespace kt9 {

enum class FieldKind : uint8_t {
  Byte,      // u8, a number line in the file
  Word,      // u16 little-endian, a number line
  Text,      // fixed-size name, ended by a zero byte when shorter than the field
  Group,     // a sub-record with an element of its own
  List,      // `count` sub-records of one type, each an `item` element, inside a list element
  Inline,    // a sub-record printed directly in the enclosing element, names prefixed
  Reserved,  // bytes with no element; they travel with the record only
};

enum class FieldPresence : uint8_t {
  Both,
  LegacyOnly,
  ExtendedOnly,
  // Bytes the writer never prints but the reader accepts when a file has them
  // (set_future0..2, kept for files of newer program versions).
  ReadOnly,
};

struct RecordType;

struct Field {
  FieldKind kind;
  uint16_t offset;            // from the start of the enclosing record
  std::string_view element;   // element name; for Inline the name prefix; empty for Reserved
  uint16_t size;              // Text and Reserved: bytes; others: derived
  const RecordType* type;     // Group, List, Inline
  uint8_t count;              // List: number of items
  std::string_view item;      // List: element name of each item
  FieldPresence presence;
};

struct RecordType {
  std::string_view name;  // the pedal's type name, e.g. "GK_INP_T"
  uint16_t legacySize;
  uint16_t extendedSize;  // equal to legacySize for every sub-record
  std::span<const Field> fields;

  std::size_t Size(RecordLayout layout) const {
    return layout == RecordLayout::Extended ? extendedSize : legacySize;
  }
};

const RecordType& SystemRecordType();  // SYSTEM_T
const RecordType& PatchRecordType();   // PATCH

// Bytes the field takes in a record of `layout` (0 when absent from it).
std::size_t FieldSize(const Field& field, RecordLayout layout);
// Whether the field exists in a record of `layout`.
bool InLayout(const Field& field, RecordLayout layout);
// Whether the writer prints the field for `layout` (named, in the layout, not ReadOnly).
bool WrittenToFile(const Field& field, RecordLayout layout);
// Whether the reader fills the field for `layout` (named and in the layout).
bool ReadFromFile(const Field& field, RecordLayout layout);

// Where a named value lies: the offset from the start of the record, its kind
// (Byte, Word or Text) and its size in bytes.
struct FieldLocation {
  std::size_t offset;
  FieldKind kind;
  std::size_t size;
};

// Finds a value by its path in the file's element names, '/' between levels
// and the item number for list places: "backlight", "sys_gk_vol/target_min",
// "GK_SET_VEC/2/name", "CTRLJACK_VEC/0/exp_range_max", "ARP_VEC/1/ARP_STEP_VEC/31/value".
std::optional<FieldLocation> LocateField(const RecordType& type, RecordLayout layout, std::string_view path);

// The paths (as LocateField takes them) of the values the backup file holds
// for `layout` that differ between records a and b. Reserved bytes, bytes the
// file never holds and text bytes after a name's terminating zero are not
// compared: two records that give the same file compare equal.
std::vector<std::string> FileFieldDifferences(const RecordType& type, RecordLayout layout,
                                              std::span<const uint8_t> a, std::span<const uint8_t> b);
bool SameFileFields(const RecordType& type, RecordLayout layout, std::span<const uint8_t> a,
                    std::span<const uint8_t> b);

}  // namespace kt9
