// The pedal's memory map, its two record layouts and byte-level access to the
// system record (SYSTEM_T) and the patch record (PATCH).
//
// Records are plain byte images of the pedal's memory. Every accessor checks
// its offset against the record's size: a short or odd-sized record reads as
// zeros past its end and ignores writes there, so no caller can read or write
// out of bounds by handing in the wrong record.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "link/memory_map.h"

namespace kt9 {

// The pedal's firmware generations. The legacy layout of each record is the
// start of its extended layout.
enum class RecordLayout { Legacy, Extended };

// A record as the pedal stores it; its size is SystemRecordSize or
// PatchRecordSize of its layout.
using Record = std::vector<uint8_t>;

// Firmware version word 0x0000..0x0104: legacy; 0x0105..0x02FF: extended;
// 0x0300 and above: a firmware this program does not know (nullopt).
std::optional<RecordLayout> LayoutForVersion(uint16_t version);

// 358 / 1242 bytes.
std::size_t SystemRecordSize(RecordLayout layout);
// 502 / 506 bytes.
std::size_t PatchRecordSize(RecordLayout layout);

// The marker word in sysconfig_id and patch_id: 1000 legacy, 2000 extended.
uint16_t LayoutMarker(RecordLayout layout);
const char* LayoutName(RecordLayout layout);  // "legacy" / "extended"

// Zero-filled records of the layout's size.
Record MakeSystemRecord(RecordLayout layout);
Record MakePatchRecord(RecordLayout layout);

// Field access. Words are stored low byte first whatever the host's order.
uint8_t ReadU8(std::span<const uint8_t> record, std::size_t offset);
uint16_t ReadU16(std::span<const uint8_t> record, std::size_t offset);
void WriteU8(std::span<uint8_t> record, std::size_t offset, uint8_t value);
void WriteU16(std::span<uint8_t> record, std::size_t offset, uint16_t value);

// A text field of `size` bytes: its bytes up to the first zero byte, never
// past the field (nor past the record).
std::string_view ReadText(std::span<const uint8_t> record, std::size_t offset, std::size_t size);
// Stores `text` cut at `size` bytes and fills the rest of the field with zero
// bytes, so nothing of an earlier text survives behind the new one.
void WriteText(std::span<uint8_t> record, std::size_t offset, std::size_t size, std::string_view text);

// The bytes from `offset` on, at most `size` of them, clipped to the record.
std::span<const uint8_t> SubRecord(std::span<const uint8_t> record, std::size_t offset, std::size_t size);
std::span<uint8_t> SubRecord(std::span<uint8_t> record, std::size_t offset, std::size_t size);

// patch_name: 17 bytes at offset 2, of which the pedal shows 16 characters.
inline constexpr std::size_t kPatchNameOffset = 2;
inline constexpr std::size_t kPatchNameSize = 17;

// The pedal's display has no glyph for anything outside its own character set
// and hands back garbage in unused name bytes: every byte of patch_name that
// is neither 0 nor one of its 74 characters becomes a space, and the 17th
// byte, the terminator of a 16-character name, is forced to 0.
void SanitizePatchName(Record& patch);

}  // namespace kt9
