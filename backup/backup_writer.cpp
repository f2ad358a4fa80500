#include "backup/backup_writer.h"

#include <charconv>

#include "backup/field_table.h"

namespace kt9 {

namespace {

constexpr std::string_view kDeclaration = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n";
constexpr std::string_view kLineEnd = "\r\n";

class TextBuilder {
 public:
  TextBuilder(RecordLayout layout, std::string& out) : layout_(layout), out_(out) {}

  void OpenTag(std::string_view name) { Tag("<", {}, name, ">\r\n"); }
  void CloseTag(std::string_view name) { Tag("</", {}, name, ">\r\n"); }

  void Group(std::string_view name, const RecordType& type, std::span<const uint8_t> record) {
    OpenTag(name);
    Fields(type, record, {});
    CloseTag(name);
  }

  // One step per field in offset order; groups and lists nest, inline blocks
  // print their fields here under the block's name prefix.
  void Fields(const RecordType& type, std::span<const uint8_t> record, std::string_view prefix) {
    for (const Field& field : type.fields) {
      if (!WrittenToFile(field, layout_)) continue;
      switch (field.kind) {
        case FieldKind::Byte:
          NumberLine(prefix, field.element, ReadU8(record, field.offset));
          break;
        case FieldKind::Word:
          NumberLine(prefix, field.element, ReadU16(record, field.offset));
          break;
        case FieldKind::Text:
          TextLine(prefix, field.element, ReadText(record, field.offset, field.size));
          break;
        case FieldKind::Group:
          Group(field.element, *field.type, SubRecord(record, field.offset, field.type->Size(layout_)));
          break;
        case FieldKind::List:
          List(field, SubRecord(record, field.offset, FieldSize(field, layout_)));
          break;
        case FieldKind::Inline:
          Inline(field, SubRecord(record, field.offset, field.type->Size(layout_)), prefix);
          break;
        case FieldKind::Reserved:
          break;
      }
    }
  }

 private:
  void List(const Field& field, std::span<const uint8_t> items) {
    const std::size_t stride = field.type->Size(layout_);
    OpenTag(field.element);
    for (std::size_t i = 0; i < field.count; ++i) Group(field.item, *field.type, SubRecord(items, i * stride, stride));
    CloseTag(field.element);
  }

  void Inline(const Field& field, std::span<const uint8_t> block, std::string_view prefix) {
    if (prefix.empty() || field.element.empty()) {
      Fields(*field.type, block, prefix.empty() ? field.element : prefix);
      return;
    }
    const std::string joined = std::string(prefix) + std::string(field.element);
    Fields(*field.type, block, joined);
  }

  void Tag(std::string_view open, std::string_view prefix, std::string_view name, std::string_view close) {
    out_ += open;
    out_ += prefix;
    out_ += name;
    out_ += close;
  }

  void NumberLine(std::string_view prefix, std::string_view name, unsigned value) {
    char digits[8];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    TextLine(prefix, name, std::string_view(digits, static_cast<std::size_t>(end - digits)));
  }

  void TextLine(std::string_view prefix, std::string_view name, std::string_view text) {
    Tag("<", prefix, name, ">");
    out_ += text;
    Tag("</", prefix, name, ">");
    out_ += kLineEnd;
  }

  RecordLayout layout_;
  std::string& out_;
};

}  // namespace

std::size_t BackupTextLineCount(RecordLayout layout, std::size_t patches) {
  return layout == RecordLayout::Extended ? 5 + 789 + 456 * patches : 5 + 274 + 453 * patches;
}

void WriteBackupText(RecordLayout layout, const Record& system, const std::vector<Record>& patches,
                     std::string& out) {
  // About 21 bytes a line; one reservation keeps a 0.9 MB backup from being
  // copied over and over while it grows.
  out.reserve(out.size() + 22 * BackupTextLineCount(layout, patches.size()));
  TextBuilder text(layout, out);
  out += kDeclaration;
  text.OpenTag("KT-9");
  text.Group("SYSTEM_T", SystemRecordType(), system);
  text.OpenTag("PATCH_VEC");
  for (const Record& patch : patches) text.Group("PATCH", PatchRecordType(), patch);
  text.CloseTag("PATCH_VEC");
  text.CloseTag("KT-9");
}

}  // namespace kt9
