#include "backup/backup_reader.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <string>

#include "backup/field_table.h"

namespace kt9 {

namespace {

constexpr std::string_view kRootTag = "<KT-9>";

// Joins a few pieces (a tag's brackets, an inline block's prefix, an element
// name) without touching the heap for the short names of the file.
class JoinedText {
 public:
  JoinedText(std::initializer_list<std::string_view> pieces) {
    std::size_t total = 0;
    for (std::string_view piece : pieces) total += piece.size();
    char* out = small_;
    if (total > sizeof small_) {
      large_.resize(total);
      out = large_.data();
    }
    view_ = std::string_view(out, total);
    for (std::string_view piece : pieces) {
      if (piece.empty()) continue;  // an empty view may hold no pointer at all
      std::memcpy(out, piece.data(), piece.size());
      out += piece.size();
    }
  }
  JoinedText(const JoinedText&) = delete;
  JoinedText& operator=(const JoinedText&) = delete;

  std::string_view View() const { return view_; }

 private:
  char small_[96];
  std::string large_;
  std::string_view view_;
};

// Sixteen bytes compared at once; GCC and Clang turn this into the target's
// vector instructions.
using Bytes16 = unsigned char __attribute__((vector_size(16)));

Bytes16 Load16(const char* at) {
  Bytes16 bytes;
  std::memcpy(&bytes, at, sizeof bytes);
  return bytes;
}

// The first occurrence of `tag` in `scope` at or after `from`, exactly as
// string_view::find gives it. A restore reads some 20 MB of tag searches
// through a 0.9 MB file, and every line holds two or three '<', so instead of
// stopping at each '<' the search looks at sixteen starting places at a time
// for the name's first and last byte at their distance, and compares whole
// tags only there.
std::size_t FindTag(std::string_view scope, std::string_view tag, std::size_t from) {
  const std::size_t length = tag.size();
  if (length < 3) return scope.find(tag, from);
  if (from > scope.size() || scope.size() - from < length) return std::string_view::npos;
  const char* const begin = scope.data();
  const char* const lastStart = begin + (scope.size() - length);
  const auto matchesAt = [&](const char* at) { return std::memcmp(at, tag.data(), length) == 0; };
  const auto first = static_cast<unsigned char>(tag[1]);
  const auto last = static_cast<unsigned char>(tag[length - 2]);
  const char* at = begin + from;
  for (; lastStart - at >= 15; at += 16) {
    const auto hits = (Load16(at + 1) == first) & (Load16(at + length - 2) == last);
    uint64_t any[2];
    std::memcpy(any, &hits, sizeof any);
    if ((any[0] | any[1]) == 0) continue;
    unsigned char lanes[16];
    std::memcpy(lanes, &hits, sizeof lanes);
    for (int lane = 0; lane < 16; ++lane) {
      if (lanes[lane] != 0 && matchesAt(at + lane)) return static_cast<std::size_t>(at + lane - begin);
    }
  }
  for (; at <= lastStart; ++at) {
    if (matchesAt(at)) return static_cast<std::size_t>(at - begin);
  }
  return std::string_view::npos;
}

bool IsStrtolSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::string_view ContentOf(const std::optional<ElementMatch>& match) {
  return match ? match->content : std::string_view{};
}

// The vector walk: the entries named `item` of the vector element `vector`
// in `scope`, in document order, at most `limit` of them. Each entry's content
// goes to `entry` with its place number; an entry whose search failed gives
// an empty content, and so does every entry after it.
void WalkVector(std::string_view scope, std::string_view vector, std::string_view item, std::size_t limit,
                const std::function<void(std::size_t, std::string_view)>& entry) {
  const std::string_view content = ContentOf(FindElement(scope, vector, 0));
  const std::size_t count = std::min(CountElements(content, item), limit);
  std::size_t position = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const auto match = FindElement(content, item, position);
    entry(i, ContentOf(match));
    position = match ? match->endTag : std::string_view::npos;
  }
}

// Fills every field of `type` that a file of `layout` may hold from `scope`.
// Surplus list entries in a file are ignored: places beyond a list's count
// are never written.
void ReadFields(const RecordType& type, RecordLayout layout, std::string_view scope, std::span<uint8_t> record,
                std::string_view prefix) {
  for (const Field& field : type.fields) {
    if (!ReadFromFile(field, layout)) continue;
    const JoinedText name{prefix, field.element};
    switch (field.kind) {
      case FieldKind::Byte:
        ReadByteElement(scope, name.View(), record, field.offset);
        break;
      case FieldKind::Word:
        ReadWordElement(scope, name.View(), record, field.offset);
        break;
      case FieldKind::Text:
        ReadTextElement(scope, name.View(), record, field.offset, field.size);
        break;
      case FieldKind::Group:
        ReadFields(*field.type, layout, ContentOf(FindElement(scope, name.View(), 0)),
                   SubRecord(record, field.offset, field.type->Size(layout)), {});
        break;
      case FieldKind::List: {
        const std::size_t stride = field.type->Size(layout);
        const auto items = SubRecord(record, field.offset, FieldSize(field, layout));
        WalkVector(scope, name.View(), field.item, field.count, [&](std::size_t i, std::string_view content) {
          ReadFields(*field.type, layout, content, SubRecord(items, i * stride, stride), {});
        });
        break;
      }
      case FieldKind::Inline:
        ReadFields(*field.type, layout, scope, SubRecord(record, field.offset, field.type->Size(layout)),
                   name.View());
        break;
      case FieldKind::Reserved:
        break;
    }
  }
}

bool HasRoot(std::string_view text) { return text.find(kRootTag) != std::string_view::npos; }

bool ReadSystem(std::string_view text, RecordLayout layout, Record& system) {
  if (!HasRoot(text)) return false;
  system.assign(SystemRecordSize(layout), 0);
  ReadWordElement(text, "sysconfig_id", system, 0);
  if (ReadU16(system, 0) != LayoutMarker(layout)) return false;
  ReadFields(SystemRecordType(), layout, text, system, {});
  return true;
}

bool ReadPatches(std::string_view text, RecordLayout layout, std::vector<Record>& patches) {
  if (!HasRoot(text)) return false;
  patches.clear();
  Record working = MakePatchRecord(layout);
  WalkVector(text, "PATCH_VEC", "PATCH", std::string_view::npos, [&](std::size_t, std::string_view content) {
    ReadFields(PatchRecordType(), layout, content, working, {});
    patches.push_back(working);
  });
  return true;
}

}  // namespace

std::optional<ElementMatch> FindElement(std::string_view scope, std::string_view name, std::size_t start) {
  if (start >= scope.size()) return std::nullopt;
  const JoinedText startTag{"<", name, ">"};
  const std::size_t begin = FindTag(scope, startTag.View(), start);
  if (begin == std::string_view::npos) return std::nullopt;
  const JoinedText endTag{"</", name, ">"};
  const std::size_t end = FindTag(scope, endTag.View(), begin);
  if (end == std::string_view::npos) return std::nullopt;
  const std::size_t contentBegin = std::min(begin + startTag.View().size(), end);
  return ElementMatch{scope.substr(contentBegin, end - contentBegin), end};
}

std::size_t CountElements(std::string_view scope, std::string_view name) {
  const JoinedText startTag{"<", name, ">"};
  std::size_t count = 0;
  for (std::size_t at = FindTag(scope, startTag.View(), 0); at != std::string_view::npos;
       at = FindTag(scope, startTag.View(), at + 1)) {
    ++count;
  }
  return count;
}

int32_t ParseDecimal(std::string_view text) {
  constexpr int64_t kBeyondRange = int64_t{1} << 31;
  std::size_t i = 0;
  while (i < text.size() && IsStrtolSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  int64_t magnitude = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    magnitude = std::min(magnitude * 10 + (text[i] - '0'), kBeyondRange);
  }
  if (negative) return static_cast<int32_t>(-magnitude);
  return static_cast<int32_t>(std::min(magnitude, kBeyondRange - 1));
}

void ReadByteElement(std::string_view scope, std::string_view name, std::span<uint8_t> record, std::size_t offset) {
  const auto value = static_cast<uint32_t>(ParseDecimal(ContentOf(FindElement(scope, name, 0))));
  WriteU8(record, offset, static_cast<uint8_t>(value & 0xFF));
}

void ReadWordElement(std::string_view scope, std::string_view name, std::span<uint8_t> record, std::size_t offset) {
  const auto value = static_cast<uint32_t>(ParseDecimal(ContentOf(FindElement(scope, name, 0))));
  WriteU16(record, offset, static_cast<uint16_t>(value & 0xFFFF));
}

void ReadTextElement(std::string_view scope, std::string_view name, std::span<uint8_t> record, std::size_t offset,
                     std::size_t size) {
  WriteText(record, offset, size, ContentOf(FindElement(scope, name, 0)));
}

std::optional<RecordLayout> DetectFileLayout(std::string_view text) {
  if (!HasRoot(text)) return std::nullopt;
  uint8_t marker[2] = {};
  ReadWordElement(text, "sysconfig_id", marker, 0);
  for (RecordLayout layout : {RecordLayout::Legacy, RecordLayout::Extended}) {
    if (ReadU16(marker, 0) == LayoutMarker(layout)) return layout;
  }
  return std::nullopt;
}

bool ReadSystemLegacy(std::string_view text, Record& system) { return ReadSystem(text, RecordLayout::Legacy, system); }

bool ReadSystemExtended(std::string_view text, Record& system) {
  return ReadSystem(text, RecordLayout::Extended, system);
}

bool ReadPatchesLegacy(std::string_view text, std::vector<Record>& patches) {
  return ReadPatches(text, RecordLayout::Legacy, patches);
}

bool ReadPatchesExtended(std::string_view text, std::vector<Record>& patches) {
  return ReadPatches(text, RecordLayout::Extended, patches);
}

std::optional<BackupContents> ReadBackupText(std::string_view text) {
  const auto layout = DetectFileLayout(text);
  if (!layout) return std::nullopt;
  BackupContents contents{*layout, {}, {}};
  if (*layout == RecordLayout::Extended) {
    ReadSystemExtended(text, contents.system);
    ReadPatchesExtended(text, contents.patches);
  } else {
    ReadSystemLegacy(text, contents.system);
    ReadPatchesLegacy(text, contents.patches);
  }
  return contents;
}

}  // namespace kt9
