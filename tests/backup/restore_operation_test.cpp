// The restore against kt9-sim: what the pedal's memory holds afterwards, in
// every combination of file and pedal layout, and the files and faults that
// must leave it alone.
#include "backup/restore_operation.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "backup/backup_operation.h"
#include "backup/backup_reader.h"
#include "backup/backup_writer.h"
#include "backup/file_io.h"
#include "backup/layout_conversion.h"
#include "tests/backup/pedal_image.h"
#include "tests/backup/scripted_ui.h"
#include "tests/support/sim_process.h"

namespace kt9 {
namespace {

using test::PedalImage;
using test::ScriptedUi;

constexpr uint16_t VersionOf(RecordLayout layout) { return layout == RecordLayout::Legacy ? 0x0104 : 0x0105; }

// The text of a backup file of `count` random patches in `layout`.
std::string BackupFileText(RecordLayout layout, int count, uint32_t seed) {
  const PedalImage source = PedalImage::Random(VersionOf(layout), seed);
  std::vector<Record> patches = source.CleanPatches(layout);
  patches.resize(count);
  std::string text;
  WriteBackupText(layout, source.System(layout), patches, text);
  return text;
}

// The memory a pedal of `layout` must hold after the restore of `text`: what
// the reader and the conversion give, at the system's and the first slots'
// places; every other byte as it was.
PedalImage AfterRestore(PedalImage image, RecordLayout layout, const std::string& text) {
  const BackupContents contents = *ReadBackupText(text);
  const bool same = contents.layout == layout;
  const bool extended = layout == RecordLayout::Extended;
  image.Put(kSystemAddress, same ? contents.system
                                 : extended ? SystemToExtended(contents.system) : SystemToLegacy(contents.system));
  const std::vector<Record> patches = same ? contents.patches
                                      : extended ? PatchListToExtended(contents.patches)
                                                 : PatchListToLegacy(contents.patches);
  for (std::size_t slot = 0; slot < patches.size(); ++slot) image.Put(*PatchAddress(slot), patches[slot]);
  return image;
}

class RestoreTest : public testing::Test {
 protected:
  void StartPedal(const PedalImage& image, std::vector<std::string> extra = {}) {
    image.Save(Memory());
    std::vector<std::string> args{"--memory", Memory()};
    args.insert(args.end(), extra.begin(), extra.end());
    sim_ = std::make_unique<test::SimProcess>(args);
    ASSERT_TRUE(sim_->Started());
    options_ = test::FastLinkOptions(sim_->Port());
  }
  std::string Memory() const { return dir_.File("pedal.bin"); }
  // The memory file once the simulator has saved it on its way out.
  std::vector<uint8_t> MemoryAfterStop() {
    sim_->Stop();
    return test::ReadFileBytes(Memory());
  }
  std::string WriteBackupFile(const std::string& text) {
    const std::string path = dir_.File("backup.kt9");
    EXPECT_TRUE(WriteFileAtomically(path, text));
    return path;
  }

  test::TempDir dir_;
  std::unique_ptr<test::SimProcess> sim_;
  LinkOptions options_;
  ScriptedUi ui_;
  std::string lastBackupPath_;
};

TEST_F(RestoreTest, ThePedalHoldsWhatTheReaderAndTheConversionGive) {
  struct Case {
    RecordLayout file, pedal;
    int patches;
  } const cases[] = {
      {RecordLayout::Legacy, RecordLayout::Legacy, 99},
      {RecordLayout::Extended, RecordLayout::Extended, 99},
      {RecordLayout::Legacy, RecordLayout::Extended, 99},
      {RecordLayout::Extended, RecordLayout::Legacy, 3},  // slots 3 to 98 untouched
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(LayoutName(c.file)) + " file into a " + LayoutName(c.pedal) + " pedal");
    const PedalImage before = PedalImage::Random(VersionOf(c.pedal), 11);
    StartPedal(before);
    const std::string text = BackupFileText(c.file, c.patches, 12);
    ui_ = ScriptedUi{};
    ui_.openPath = WriteBackupFile(text);
    EXPECT_EQ(RunRestore(ui_, options_, lastBackupPath_), OperationResult::Completed);
    EXPECT_EQ(ui_.messages, std::vector<std::string>{"Completed: All data written ok!"});
    EXPECT_EQ(ui_.statuses, (std::vector<std::string>{"Writing SYSTEM data", "Writing PATCH data"}));
    EXPECT_EQ(ui_.advances, 1 + c.patches);
    EXPECT_EQ(ui_.closed, 1);
    EXPECT_EQ(lastBackupPath_, dir_.File("backup.kt9"));
    EXPECT_TRUE(MemoryAfterStop() == AfterRestore(before, c.pedal, text).bytes);
  }
}

// A backup made by the backup and restored into another pedal of the same
// firmware gives that pedal the first one's records.
TEST_F(RestoreTest, ABackupRestoredIntoAFreshPedalCarriesEveryFileField) {
  const PedalImage first = PedalImage::Random(0x0105, 21);
  StartPedal(first);
  ui_.savePath = dir_.File("backup.kt9");
  ASSERT_EQ(RunBackup(ui_, options_, lastBackupPath_), OperationResult::Completed);
  const std::string text = *ReadWholeFile(dir_.File("backup.kt9"));

  const PedalImage second = PedalImage::Random(0x0105, 22);
  StartPedal(second);
  ui_ = ScriptedUi{};
  ui_.openPath = dir_.File("backup.kt9");
  EXPECT_EQ(RunRestore(ui_, options_, lastBackupPath_), OperationResult::Completed);
  sim_->Stop();
  PedalImage restored;
  restored.bytes = test::ReadFileBytes(Memory());
  std::string again;
  WriteBackupText(RecordLayout::Extended, restored.System(RecordLayout::Extended),
                  restored.CleanPatches(RecordLayout::Extended), again);
  EXPECT_TRUE(again == text);
}

// One write the pedal does not acknowledge (it still stores the bytes, as a
// pedal whose answer goes astray does): every later record is still
// written, and the failure is said once, at the end.
TEST_F(RestoreTest, AFailedPatchWriteIsReportedAfterAllWrites) {
  const PedalImage before = PedalImage::Random(0x0105, 31);
  StartPedal(before, {"--fault", "no-answer:write@3"});  // system, slot 0, then slot 1
  const std::string text = BackupFileText(RecordLayout::Extended, 99, 32);
  ui_.openPath = WriteBackupFile(text);
  EXPECT_EQ(RunRestore(ui_, options_, lastBackupPath_), OperationResult::Failed);
  EXPECT_EQ(ui_.messages, std::vector<std::string>{"Failed: Not all data could be written to the KT-9 Device"});
  EXPECT_EQ(ui_.advances, 100);
  EXPECT_TRUE(MemoryAfterStop() == AfterRestore(before, RecordLayout::Extended, text).bytes);
}

// A file that cannot be read, is no backup, or would reach past the last
// patch slot is refused before the first write: the pedal keeps every byte.
TEST_F(RestoreTest, FilesThePedalMustNotTakeAreRefusedBeforeAnyWrite) {
  std::string hundred = BackupFileText(RecordLayout::Legacy, 99, 41);
  const std::size_t lastPatch = hundred.rfind("<PATCH>");
  const std::size_t vectorEnd = hundred.find("</PATCH_VEC>");
  hundred.insert(vectorEnd, hundred.substr(lastPatch, vectorEnd - lastPatch));
  struct Case {
    const char* what;
    std::optional<std::string> text;  // nothing: no file at the path
    const char* starts;
  } const cases[] = {
      {"missing file", std::nullopt, "Failed: The backup file could not be read.\r\nCannot open "},
      {"no root element", "<SYSTEM_T><sysconfig_id>1000</sysconfig_id></SYSTEM_T>",
       "Failed: BACKUP is not a KT-9 Backup file this program can read: it has no <KT-9> element. "},
      {"unknown marker", "<KT-9><sysconfig_id>3000</sysconfig_id></KT-9>",
       "Failed: BACKUP is not a KT-9 Backup file this program can read: its sysconfig_id is 3000, where 1000 "
       "(legacy layout) or 2000 (extended layout) is expected. "},
      {"100 patches", hundred,
       "Failed: BACKUP holds 100 patches, more than the 99 the KT-9 has room for, so the file was refused. "},
  };
  const PedalImage before = PedalImage::Random(0x0105, 42);
  StartPedal(before);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove(dir_.File("backup.kt9"));
    if (c.text) WriteBackupFile(*c.text);
    ui_ = ScriptedUi{};
    ui_.openPath = dir_.File("backup.kt9");
    EXPECT_EQ(RunRestore(ui_, options_, lastBackupPath_), OperationResult::Failed);
    ASSERT_EQ(ui_.messages.size(), 1u);
    std::string starts = c.starts;
    if (const auto at = starts.find("BACKUP"); at != std::string::npos) starts.replace(at, 6, dir_.File("backup.kt9"));
    EXPECT_TRUE(ui_.messages[0].starts_with(starts)) << ui_.messages[0];
    EXPECT_TRUE(ui_.messages[0].ends_with("Nothing was written to the KT-9 Device.")) << ui_.messages[0];
    EXPECT_EQ(ui_.opened, 0);
  }
  EXPECT_TRUE(MemoryAfterStop() == before.bytes);
}

// Both operations stop before touching a record when there is no pedal or
// its firmware is too new; the restore does not even ask for a file.
TEST_F(RestoreTest, NoPedalAndAnUnknownFirmwareStopBothOperations) {
  const std::vector<std::string> noPedal{"Device not found", "Sorry could not contact the KT-9. Check the USB connection."};
  const std::vector<std::string> tooNew{"Sorry this program does not suport your firmware version"};
  const PedalImage before = PedalImage::Random(0x0300, 51);
  StartPedal(before);
  LinkOptions nowhere = options_;
  nowhere.port = dir_.File("no-such-port");
  struct Case {
    const char* what;
    const LinkOptions& options;
    const std::vector<std::string>& messages;
  } const cases[] = {{"no pedal", nowhere, noPedal}, {"firmware 0x0300", options_, tooNew}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    for (bool backup : {true, false}) {
      ui_ = ScriptedUi{};
      ui_.savePath = ui_.openPath = WriteBackupFile(BackupFileText(RecordLayout::Extended, 99, 52));
      const OperationResult result =
          backup ? RunBackup(ui_, c.options, lastBackupPath_) : RunRestore(ui_, c.options, lastBackupPath_);
      EXPECT_EQ(result, OperationResult::Failed);
      EXPECT_EQ(ui_.messages, c.messages);
      EXPECT_EQ(ui_.savePrompts + ui_.openPrompts, 0);
      EXPECT_EQ(ui_.advances, 0);
      EXPECT_EQ(ui_.opened, ui_.closed);
    }
  }
  EXPECT_TRUE(MemoryAfterStop() == before.bytes);
}

}  // namespace
}  // namespace kt9
