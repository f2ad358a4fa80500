// Reads the text of a KT-9 Backup file back into the pedal's records.
//
// This is not an XML parser, and must not become one: files in the field were
// made by the pedal's own tools and by hand, and they are read the way those
// tools read them. Every element is found by searching for its literal start
// tag, then for its end tag from where the start tag begins; the first
// occurrence wins; nesting is not tracked; content is never decoded. A missing
// element reads as 0 or as an empty name. Only a missing <KT-9> root tag or an
// unknown layout marker in sysconfig_id makes a file unreadable.
//
// A file is untrusted input: nothing in it can make the reader touch memory
// outside the text or outside the records, whatever its size or shape.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "backup/records.h"

namespace kt9 {

// Positions are byte indices into the search scope, a view of the text: the
// whole text, or the content of an element found in it.
struct ElementMatch {
  std::string_view content;  // between the start tag's end and the end tag's beginning
  std::size_t endTag;        // where the end tag begins, the start of the next entry's search
};

// The first element `name` starting at or after `start` in `scope`, ended by
// the first end tag at or after the position where its start tag begins.
std::optional<ElementMatch> FindElement(std::string_view scope, std::string_view name, std::size_t start);

// Start tags of `name` anywhere in `scope` (a search resumes one byte after
// each find).
std::size_t CountElements(std::string_view scope, std::string_view name);

// The C library's base-10 strtol on `text` as a 32-bit long, as the files'
// first readers did: leading white space, one optional sign, the digits up to
// the first other byte; no digits give 0; the value saturates at 2147483647
// and -2147483648. Parsed here because a view need not end in a zero byte.
int32_t ParseDecimal(std::string_view text);

// Field readers: the first element `name` in `scope`, stored into the record
// at `offset`. Numbers keep the low 8 or 16 bits of their two's complement
// (-1 gives 255 in a byte, 300 gives 44). A text is cut at `size` bytes and
// the rest of its field is zero-filled. A missing element stores 0 or the
// empty text.
void ReadByteElement(std::string_view scope, std::string_view name, std::span<uint8_t> record, std::size_t offset);
void ReadWordElement(std::string_view scope, std::string_view name, std::span<uint8_t> record, std::size_t offset);
void ReadTextElement(std::string_view scope, std::string_view name, std::span<uint8_t> record, std::size_t offset,
                     std::size_t size);

// The layout the file's sysconfig_id names (1000 legacy, 2000 extended,
// looking at its low 16 bits); nothing without <KT-9> or for any other value.
std::optional<RecordLayout> DetectFileLayout(std::string_view text);

// The system record, every field looked for in the whole text (the file's
// SYSTEM_T comes before its patches, so the first occurrence is the
// system's). False, with the record untouched, without <KT-9>; false, with a
// zeroed record holding only the marker read, when sysconfig_id is not the
// layout's marker.
bool ReadSystemLegacy(std::string_view text, Record& system);
bool ReadSystemExtended(std::string_view text, Record& system);

// One patch record for every PATCH element of the PATCH_VEC, in file order.
// One working record is zeroed once and carries over from one PATCH element
// to the next, so a list place a PATCH element lacks keeps the previous
// patch's value. False, with the list untouched, without <KT-9>.
bool ReadPatchesLegacy(std::string_view text, std::vector<Record>& patches);
bool ReadPatchesExtended(std::string_view text, std::vector<Record>& patches);

struct BackupContents {
  RecordLayout layout;
  Record system;
  std::vector<Record> patches;  // as many as the file holds, possibly more than 99
};

// The whole file: its layout and records, or nothing when not recognised.
std::optional<BackupContents> ReadBackupText(std::string_view text);

}  // namespace kt9
