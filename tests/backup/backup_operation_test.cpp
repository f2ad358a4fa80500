// The backup against kt9-sim: the file it saves, its messages and progress,
// and what it does when the pedal, the disk or the file format fails it.
#include "backup/backup_operation.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <filesystem>

#include "backup/backup_writer.h"
#include "backup/field_table.h"
#include "backup/file_io.h"
#include "tests/backup/pedal_image.h"
#include "tests/backup/scripted_ui.h"
#include "tests/support/sim_process.h"

namespace kt9 {
namespace {

using test::PedalImage;
using test::ScriptedUi;

std::string ExpectedText(const PedalImage& image, RecordLayout layout) {
  std::string text;
  WriteBackupText(layout, image.System(layout), image.CleanPatches(layout), text);
  return text;
}

std::string FileText(const std::string& path) { return ReadWholeFile(path).value_or("(no file)"); }

class BackupTest : public testing::Test {
 protected:
  // A pedal of that firmware on kt9-sim, with faults when given.
  void StartPedal(const PedalImage& image, std::vector<std::string> faults = {}) {
    image.Save(dir_.File("pedal.bin"));
    std::vector<std::string> args{"--memory", dir_.File("pedal.bin")};
    for (const std::string& fault : faults) args.insert(args.end(), {"--fault", fault});
    sim_ = std::make_unique<test::SimProcess>(args);
    ASSERT_TRUE(sim_->Started());
    options_ = test::FastLinkOptions(sim_->Port());
  }

  test::TempDir dir_;
  std::unique_ptr<test::SimProcess> sim_;
  LinkOptions options_;
  ScriptedUi ui_;
  std::string lastBackupPath_ = "/somewhere/last.kt9";
};

// The file is the writer's text of the pedal's records with the names
// cleaned, in the layout the version word selects; 100 steps, no message,
// the link free again when the save prompt asks.
TEST_F(BackupTest, SavesExactlyTheWritersTextOfThePedalsRecords) {
  struct Case {
    uint16_t version;
    RecordLayout layout;
  } const cases[] = {{0x0104, RecordLayout::Legacy}, {0x0105, RecordLayout::Extended},
                     {0x02FF, RecordLayout::Extended}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.version);
    PedalImage image = PedalImage::Random(c.version, c.version);
    image.PutPatchName(c.layout, 7, "Gr\xE4t,my_pat 1234");  // bytes the pedal cannot show
    StartPedal(image);
    ui_ = ScriptedUi{};
    ui_.savePath = dir_.File("new.kt9");
    lastBackupPath_ = "/somewhere/last.kt9";
    bool linkFree = false;
    ui_.onSavePrompt = [&] {
      Communicator probe(options_);
      linkFree = probe.Open();
    };
    BackupSummary summary;
    EXPECT_EQ(RunBackup(ui_, options_, lastBackupPath_, &summary), OperationResult::Completed);

    const std::string text = FileText(dir_.File("new.kt9"));
    EXPECT_TRUE(text == ExpectedText(image, c.layout));
    EXPECT_NE(text.find("<patch_name>Gr t my pat 1234</patch_name>"), std::string::npos);
    EXPECT_TRUE(ui_.messages.empty()) << ui_.messages.front();
    EXPECT_TRUE(linkFree);
    EXPECT_EQ(ui_.saveInitialPath, "/somewhere/last.kt9");
    EXPECT_EQ(lastBackupPath_, dir_.File("new.kt9"));
    EXPECT_EQ(ui_.statuses, (std::vector<std::string>{"Reading SYSTEM data", "Reading PATCH data"}));
    EXPECT_EQ(ui_.advances, 100);
    EXPECT_EQ(ui_.opened, 1);
    EXPECT_EQ(ui_.closed, 1);
    EXPECT_EQ(summary.layout, c.layout);
    EXPECT_EQ(summary.patches, 99u);
  }
}

// A record the pedal does not give means no file: an older backup at the
// path stays as it was and the save prompt never comes.
TEST_F(BackupTest, AMissingRecordSavesNothing) {
  struct Case {
    const char* fault;
    const char* message;
    int advances;
  } const cases[] = {
      {"no-answer:read@0x0A00", "Failed: Could not read the System settings from the KT-9 Device", 99},
      {"no-answer:read@0x1400", "Failed: Not all patches could be read from the KT-9 Device", 99},
      {"bad-checksum:read@0xD600", "Failed: Not all patches could be read from the KT-9 Device", 99},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fault);
    StartPedal(PedalImage::Random(0x0105, 1), {c.fault});
    std::ofstream(dir_.File("old.kt9")) << "the old backup";
    ui_ = ScriptedUi{};
    ui_.savePath = dir_.File("old.kt9");
    EXPECT_EQ(RunBackup(ui_, options_, lastBackupPath_), OperationResult::Failed);
    EXPECT_EQ(ui_.messages, std::vector<std::string>{c.message});
    EXPECT_EQ(ui_.savePrompts, 0);
    EXPECT_EQ(ui_.advances, c.advances);
    EXPECT_EQ(ui_.closed, 1);
    EXPECT_EQ(FileText(dir_.File("old.kt9")), "the old backup");
    EXPECT_EQ(lastBackupPath_, "/somewhere/last.kt9");
  }
}

// A pedal that does not answer the version read is taken as legacy.
TEST_F(BackupTest, APedalWithoutAVersionWordIsBackedUpAsLegacy) {
  PedalImage image = PedalImage::Random(0x0104, 5);
  StartPedal(image, {"no-answer:read@0xFF00"});
  ui_.savePath = dir_.File("new.kt9");
  EXPECT_EQ(RunBackup(ui_, options_, lastBackupPath_), OperationResult::Completed);
  EXPECT_TRUE(FileText(dir_.File("new.kt9")) == ExpectedText(image, RecordLayout::Legacy));
}

TEST_F(BackupTest, CancellingTheSavePromptLeavesNoFileAndSaysNothing) {
  StartPedal(PedalImage::Random(0x0105, 2));
  EXPECT_EQ(RunBackup(ui_, options_, lastBackupPath_), OperationResult::Cancelled);
  EXPECT_EQ(ui_.savePrompts, 1);
  EXPECT_TRUE(ui_.messages.empty());
  EXPECT_EQ(ui_.closed, 1);
  EXPECT_EQ(lastBackupPath_, "/somewhere/last.kt9");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_.Path()), {}), 1);  // pedal.bin only
}

// A disk that takes no more (here: a file size limit) must not cost the
// owner the backup that was there: it stays, the half-written new one goes,
// and the message names the path and the reason.
TEST_F(BackupTest, ASaveThatCannotBeWrittenKeepsTheOldFileAndSaysSo) {
  StartPedal(PedalImage::Random(0x0105, 3));
  const std::string path = dir_.File("old.kt9");
  std::ofstream(path) << "the old backup";
  ui_.savePath = path;
  ui_.onSavePrompt = [] {
    signal(SIGXFSZ, SIG_IGN);
    const rlimit small{4096, RLIM_INFINITY};
    setrlimit(RLIMIT_FSIZE, &small);
  };
  const OperationResult result = RunBackup(ui_, options_, lastBackupPath_);
  const rlimit unlimited{RLIM_INFINITY, RLIM_INFINITY};
  setrlimit(RLIMIT_FSIZE, &unlimited);

  EXPECT_EQ(result, OperationResult::Failed);
  ASSERT_EQ(ui_.messages.size(), 1u);
  EXPECT_TRUE(ui_.messages[0].starts_with("Failed: The backup could not be saved.")) << ui_.messages[0];
  EXPECT_NE(ui_.messages[0].find(path), std::string::npos);
  EXPECT_NE(ui_.messages[0].find("too large"), std::string::npos) << ui_.messages[0];
  EXPECT_EQ(FileText(path), "the old backup");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_.Path()), {}), 2);  // no temporary left
}

// Names are stored as they are, so one that holds a tag would not restore
// as it was: the file is kept, and the message names what is affected. The
// pedal's patch names may hold '<', '/' and '>', its input settings' names
// anything.
TEST_F(BackupTest, ANameThatHoldsATagIsReportedAfterTheSave) {
  struct Case {
    bool patchName;  // else the first input setting's name
    const char* name;
    const char* listed;
  } const cases[] = {
      {true, "ab</PATCH>", "\tpatch 5 \"ab</PATCH>\"\r\n"},
      {true, "<PATCH>cd", "\tpatch 5 \"<PATCH>cd\"\r\n\tthe patch list: it would restore 100 patches instead of 99\r\n"},
      {false, "my</set>", "\tthe system settings\r\n"},
  };
  const FieldLocation setName = *LocateField(SystemRecordType(), RecordLayout::Extended, "GK_SET_VEC/0/name");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PedalImage image = PedalImage::Random(0x0105, 4);
    if (c.patchName) {
      image.PutPatchName(RecordLayout::Extended, 4, c.name);
    } else {
      Record system = image.System(RecordLayout::Extended);
      WriteText(system, setName.offset, setName.size, c.name);
      image.Put(kSystemAddress, system);
    }
    StartPedal(image);
    ui_ = ScriptedUi{};
    ui_.savePath = dir_.File("tagged.kt9");
    EXPECT_EQ(RunBackup(ui_, options_, lastBackupPath_), OperationResult::Failed);
    EXPECT_TRUE(FileText(dir_.File("tagged.kt9")) == ExpectedText(image, RecordLayout::Extended));
    ASSERT_EQ(ui_.messages.size(), 1u);
    const std::string& message = ui_.messages[0];
    EXPECT_TRUE(message.starts_with("Warning: The backup was saved to " + dir_.File("tagged.kt9"))) << message;
    EXPECT_NE(message.find(":\r\n" + std::string(c.listed) + "A backup file holds"), std::string::npos) << message;
  }
}

}  // namespace
}  // namespace kt9
