#include <gtest/gtest.h>

#include "backup/records.h"

namespace kt9 {
namespace {

TEST(Records, FirmwareVersionSelectsLayout) {
  const struct {
    uint16_t version;
    std::optional<RecordLayout> layout;
  } cases[] = {
      {0x0000, RecordLayout::Legacy},   {0x0104, RecordLayout::Legacy}, {0x0105, RecordLayout::Extended},
      {0x02FF, RecordLayout::Extended}, {0x0300, std::nullopt},         {0xFFFF, std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(LayoutForVersion(c.version), c.layout) << std::hex << c.version;
}

TEST(Records, SizesAndMemoryMap) {
  EXPECT_EQ(SystemRecordSize(RecordLayout::Legacy), 358u);
  EXPECT_EQ(SystemRecordSize(RecordLayout::Extended), 1242u);
  EXPECT_EQ(PatchRecordSize(RecordLayout::Legacy), 502u);
  EXPECT_EQ(PatchRecordSize(RecordLayout::Extended), 506u);
  EXPECT_EQ(PatchAddress(0), 0x1200);
  EXPECT_EQ(PatchAddress(98), 0x1200 + 98 * 0x200);
  EXPECT_EQ(PatchAddress(99), std::nullopt);
  EXPECT_EQ(PatchAddress(-1), std::nullopt);
  // The extended system record ends before the first patch slot.
  EXPECT_LE(kSystemAddress + SystemRecordSize(RecordLayout::Extended), kFirstPatchAddress);
}

TEST(Records, FieldAccessIsLittleEndianAndStaysInside) {
  Record record = {0x34, 0x12, 0xAA};
  EXPECT_EQ(ReadU16(record, 0), 0x1234);
  // A word straddling the end reads its missing byte as 0 and writes nothing past the end.
  EXPECT_EQ(ReadU16(record, 2), 0x00AA);
  WriteU16(record, 2, 0xBEEF);
  EXPECT_EQ(record, (Record{0x34, 0x12, 0xEF}));
  EXPECT_EQ(ReadU8(record, 100), 0);
  WriteU8(record, 100, 1);
  EXPECT_EQ(record.size(), 3u);
}

TEST(Records, TextFieldsEndAtZeroOrAtTheirSize) {
  Record record(8, 'x');
  EXPECT_EQ(ReadText(record, 2, 4), "xxxx");   // no zero: the whole field, not a byte more
  record[4] = 0;
  EXPECT_EQ(ReadText(record, 2, 4), "xx");
  EXPECT_EQ(ReadText(record, 6, 10), "xx");   // clipped at the record's end

  WriteText(record, 1, 5, "ab");               // the rest of the field is cleared
  EXPECT_EQ(record, (Record{'x', 'a', 'b', 0, 0, 0, 'x', 'x'}));
  WriteText(record, 1, 3, "abcdef");           // cut at the field's size
  EXPECT_EQ(record, (Record{'x', 'a', 'b', 'c', 0, 0, 'x', 'x'}));
}

TEST(Records, SanitizePatchNameKeepsThePedalsCharacters) {
  const struct {
    std::string_view name;  // 17 bytes of patch_name
    std::string_view clean;
  } cases[] = {
      {std::string_view("Lead 1\0\0\0\0\0\0\0\0\0\0\0", 17), std::string_view("Lead 1\0\0\0\0\0\0\0\0\0\0\0", 17)},
      {"a,b_c\xE4(x)=<>@!+-.", std::string_view("a b c (x)=<>@!+-\0", 17)},
      {"ABCDEFGHIJKLMNOPQ", std::string_view("ABCDEFGHIJKLMNOP\0", 17)},
      {std::string_view("\x01\x7F~|\0zz\0\0\0\0\0\0\0\0\0\0", 17), std::string_view("    \0zz\0\0\0\0\0\0\0\0\0\0", 17)},
  };
  for (const auto& c : cases) {
    Record patch = MakePatchRecord(RecordLayout::Extended);
    patch[0] = 0xD0;
    patch[19] = 0xEE;
    std::copy(c.name.begin(), c.name.end(), patch.begin() + kPatchNameOffset);
    SanitizePatchName(patch);
    EXPECT_EQ(std::string_view(reinterpret_cast<const char*>(patch.data()) + 2, 17), c.clean) << c.name;
    EXPECT_EQ(patch[0], 0xD0);
    EXPECT_EQ(patch[19], 0xEE);
  }
  Record failedRead = MakePatchRecord(RecordLayout::Legacy);
  SanitizePatchName(failedRead);
  EXPECT_EQ(failedRead, MakePatchRecord(RecordLayout::Legacy));
}

}  // namespace
}  // namespace kt9
