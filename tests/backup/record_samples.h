// Records for the backup file tests: random ones, and field access by the
// file's element paths.
#pragma once

#include <cstdint>
#include <random>
#include <string_view>

#include <gtest/gtest.h>

#include "backup/field_table.h"
#include "backup/records.h"

namespace kt9::test {

inline Record RandomRecord(std::size_t size, uint32_t seed) {
  std::mt19937 random(seed);
  Record record(size);
  for (uint8_t& byte : record) byte = static_cast<uint8_t>(random());
  return record;
}

inline FieldLocation At(const RecordType& type, RecordLayout layout, std::string_view path) {
  const auto location = LocateField(type, layout, path);
  EXPECT_TRUE(location) << path;
  return location.value_or(FieldLocation{0, FieldKind::Reserved, 0});
}

inline void SetNumber(const RecordType& type, RecordLayout layout, Record& record, std::string_view path,
                      uint16_t value) {
  const FieldLocation field = At(type, layout, path);
  if (field.kind == FieldKind::Word) {
    WriteU16(record, field.offset, value);
  } else {
    WriteU8(record, field.offset, static_cast<uint8_t>(value));
  }
}

inline uint16_t GetNumber(const RecordType& type, RecordLayout layout, const Record& record, std::string_view path) {
  const FieldLocation field = At(type, layout, path);
  return field.kind == FieldKind::Word ? ReadU16(record, field.offset) : ReadU8(record, field.offset);
}

inline void SetText(const RecordType& type, RecordLayout layout, Record& record, std::string_view path,
                    std::string_view text) {
  const FieldLocation field = At(type, layout, path);
  WriteText(record, field.offset, field.size, text);
}

inline std::string_view GetText(const RecordType& type, RecordLayout layout, const Record& record,
                                std::string_view path) {
  const FieldLocation field = At(type, layout, path);
  return ReadText(record, field.offset, field.size);
}

// What a file can carry of `record`: every value the file holds, and zeros
// in reserved bytes, in bytes the file never holds and after a name's end.
inline Record FileView(const RecordType& type, RecordLayout layout, const Record& record) {
  Record view(record.size(), 0);
  for (const std::string& path : FileFieldDifferences(type, layout, record, view)) {
    const FieldLocation field = At(type, layout, path);
    if (field.kind == FieldKind::Text) {
      WriteText(view, field.offset, field.size, ReadText(record, field.offset, field.size));
    } else {
      for (std::size_t i = 0; i < field.size; ++i) view[field.offset + i] = record[field.offset + i];
    }
  }
  return view;
}

}  // namespace kt9::test
