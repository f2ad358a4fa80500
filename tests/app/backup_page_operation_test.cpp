// The Backup/Restore page's two buttons running the real operations against
// kt9-sim, with scripted answers in place of the modal boxes and prompts.
#include <gtest/gtest.h>

#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "app/prompts.h"
#include "backup/backup_page.h"
#include "backup/backup_reader.h"
#include "backup/backup_writer.h"
#include "backup/file_io.h"
#include "backup/layout_conversion.h"
#include "tests/app/find_widgets.h"
#include "tests/backup/pedal_image.h"
#include "tests/support/sim_process.h"

namespace kt9 {
namespace {

using test::PedalImage;

class PagePrompts : public Prompts {
 public:
  std::vector<std::string> messages;
  std::optional<std::string> savePath, openPath;
  std::function<void()> duringSave;

  void Message(QWidget*, const std::string& text) override { messages.push_back(text); }
  bool Question(QWidget*, const std::string&) override { return false; }
  std::optional<std::string> SavePath(QWidget*, const std::string&) override {
    if (duringSave) duringSave();
    return savePath;
  }
  std::optional<std::string> OpenPath(QWidget*) override { return openPath; }
};

using test::Button;

TEST(BackupPageOperations, BackupAndRestoreFromTheButtons) {
  test::TempDir dir;
  const PedalImage image = PedalImage::Random(0x0105, 71);
  image.Save(dir.File("pedal.bin"));
  test::SimProcess sim({"--memory", dir.File("pedal.bin")});
  ASSERT_TRUE(sim.Started());
  std::string lastBackupPath;
  CBackupPage page(lastBackupPath, test::FastLinkOptions(sim.Port()));
  auto prompts = std::make_shared<PagePrompts>();
  page.SetPrompts(prompts);
  page.show();

  // The progress window stays up, with the page disabled, while the save
  // prompt asks.
  prompts->savePath = dir.File("page.kt9");
  QString statusDuringSave;
  bool pageEnabledDuringSave = true;
  prompts->duringSave = [&] {
    if (auto* status = page.findChild<QLabel*>("status")) statusDuringSave = status->text();
    pageEnabledDuringSave = page.isEnabled();
  };
  QTest::mouseClick(Button(page, "Backup..."), Qt::LeftButton);
  std::string expected;
  WriteBackupText(RecordLayout::Extended, image.System(RecordLayout::Extended),
                  image.CleanPatches(RecordLayout::Extended), expected);
  EXPECT_TRUE(ReadWholeFile(dir.File("page.kt9")) == expected);
  EXPECT_TRUE(prompts->messages.empty());
  EXPECT_EQ(statusDuringSave, "Reading PATCH data");
  EXPECT_FALSE(pageEnabledDuringSave);
  EXPECT_TRUE(page.isEnabled());
  EXPECT_EQ(page.findChild<QDialog*>(), nullptr);
  EXPECT_EQ(lastBackupPath, dir.File("page.kt9"));

  // A legacy file of two patches into this extended pedal.
  PedalImage legacy = PedalImage::Random(0x0104, 72);
  std::vector<Record> patches = legacy.CleanPatches(RecordLayout::Legacy);
  patches.resize(2);
  std::string text;
  WriteBackupText(RecordLayout::Legacy, legacy.System(RecordLayout::Legacy), patches, text);
  ASSERT_TRUE(WriteFileAtomically(dir.File("legacy.kt9"), text));
  prompts->openPath = dir.File("legacy.kt9");
  QTest::mouseClick(Button(page, "Restore..."), Qt::LeftButton);
  EXPECT_EQ(prompts->messages, std::vector<std::string>{"Completed: All data written ok!"});
  EXPECT_EQ(lastBackupPath, dir.File("legacy.kt9"));
  EXPECT_TRUE(page.isEnabled());
  EXPECT_EQ(page.findChild<QDialog*>(), nullptr);

  sim.Stop();
  PedalImage after;
  after.bytes = test::ReadFileBytes(dir.File("pedal.bin"));
  const BackupContents converted = *ReadBackupText(text);
  PedalImage want = image;
  want.Put(kSystemAddress, SystemToExtended(converted.system));
  const std::vector<Record> extended = PatchListToExtended(converted.patches);
  for (int slot = 0; slot < 2; ++slot) want.Put(*PatchAddress(slot), extended[slot]);
  EXPECT_TRUE(after.bytes == want.bytes);
}

}  // namespace
}  // namespace kt9
