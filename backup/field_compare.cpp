// Walks of the field table that look values up by path and compare records
// field by field as the backup file sees them.
#include <charconv>

#include "backup/field_table.h"

namespace kt9 {

namespace {

// The name a field goes by in the file: an inline block's prefix, then its own.
bool NameIs(std::string_view candidate, std::string_view prefix, std::string_view element) {
  return candidate.size() == prefix.size() + element.size() && candidate.starts_with(prefix) &&
         candidate.substr(prefix.size()) == element;
}

std::string_view NextSegment(std::string_view& path) {
  const std::size_t slash = path.find('/');
  const std::string_view segment = path.substr(0, slash);
  path = slash == std::string_view::npos ? std::string_view{} : path.substr(slash + 1);
  return segment;
}

std::optional<std::size_t> ParseIndex(std::string_view text) {
  std::size_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc{} || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::optional<FieldLocation> Locate(const RecordType& type, RecordLayout layout, std::size_t base,
                                    std::string_view path, const std::string& prefix) {
  std::string_view rest = path;
  const std::string_view segment = NextSegment(rest);
  for (const Field& field : type.fields) {
    if (!ReadFromFile(field, layout)) continue;
    const std::size_t offset = base + field.offset;
    if (field.kind == FieldKind::Inline) {
      if (auto found = Locate(*field.type, layout, offset, path, prefix + std::string(field.element))) return found;
      continue;
    }
    if (!NameIs(segment, prefix, field.element)) continue;
    switch (field.kind) {
      case FieldKind::Byte:
      case FieldKind::Word:
      case FieldKind::Text:
        if (!rest.empty()) return std::nullopt;
        return FieldLocation{offset, field.kind, field.size};
      case FieldKind::Group:
        return Locate(*field.type, layout, offset, rest, {});
      case FieldKind::List: {
        const auto index = ParseIndex(NextSegment(rest));
        if (!index || *index >= field.count) return std::nullopt;
        return Locate(*field.type, layout, offset + *index * field.type->Size(layout), rest, {});
      }
      default:
        return std::nullopt;
    }
  }
  return std::nullopt;
}

struct Comparison {
  RecordLayout layout;
  std::span<const uint8_t> a, b;
  std::vector<std::string> differences;

  void Walk(const RecordType& type, std::size_t base, const std::string& path, const std::string& prefix) {
    for (const Field& field : type.fields) {
      if (!WrittenToFile(field, layout)) continue;
      const std::size_t offset = base + field.offset;
      const auto name = [&] { return path + prefix + std::string(field.element); };
      switch (field.kind) {
        case FieldKind::Byte:
          if (ReadU8(a, offset) != ReadU8(b, offset)) differences.push_back(name());
          break;
        case FieldKind::Word:
          if (ReadU16(a, offset) != ReadU16(b, offset)) differences.push_back(name());
          break;
        case FieldKind::Text:
          if (ReadText(a, offset, field.size) != ReadText(b, offset, field.size)) differences.push_back(name());
          break;
        case FieldKind::Group:
          Walk(*field.type, offset, name() + "/", {});
          break;
        case FieldKind::List:
          for (std::size_t i = 0; i < field.count; ++i) {
            Walk(*field.type, offset + i * field.type->Size(layout), name() + "/" + std::to_string(i) + "/", {});
          }
          break;
        case FieldKind::Inline:
          Walk(*field.type, offset, path, prefix + std::string(field.element));
          break;
        case FieldKind::Reserved:
          break;
      }
    }
  }
};

}  // namespace

std::optional<FieldLocation> LocateField(const RecordType& type, RecordLayout layout, std::string_view path) {
  return Locate(type, layout, 0, path, {});
}

std::vector<std::string> FileFieldDifferences(const RecordType& type, RecordLayout layout,
                                              std::span<const uint8_t> a, std::span<const uint8_t> b) {
  Comparison comparison{layout, a, b, {}};
  comparison.Walk(type, 0, {}, {});
  return std::move(comparison.differences);
}

bool SameFileFields(const RecordType& type, RecordLayout layout, std::span<const uint8_t> a,
                    std::span<const uint8_t> b) {
  return FileFieldDifferences(type, layout, a, b).empty();
}

}  // namespace kt9
