#include "app/qt_operation_ui.h"

#include <gtest/gtest.h>

#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <deque>
#include <vector>

#include "app/main_window.h"
#include "app/program_state.h"
#include "app/property_sheet.h"
#include "backup/backup_page.h"
#include "tests/app/find_widgets.h"

namespace kt9 {
namespace {

// Answers the prompts from a script and records what was shown.
class ScriptedPrompts : public Prompts {
 public:
  std::vector<std::string> messages;
  std::vector<std::string> questions;
  std::deque<bool> answers;
  std::optional<std::string> savePath, openPath;
  std::string saveInitialPath;

  void Message(QWidget*, const std::string& text) override { messages.push_back(text); }
  bool Question(QWidget*, const std::string& text) override {
    questions.push_back(text);
    const bool answer = !answers.empty() && answers.front();
    if (!answers.empty()) answers.pop_front();
    return answer;
  }
  std::optional<std::string> SavePath(QWidget*, const std::string& initialPath) override {
    saveInitialPath = initialPath;
    return savePath;
  }
  std::optional<std::string> OpenPath(QWidget*) override { return openPath; }
};

using test::Button;

class BackupPageTest : public testing::Test {
 protected:
  BackupPageTest() {
    state_.lastBackupPath = "/home/user/old.kt9";
    page_ = qobject_cast<CBackupPage*>(window_.Sheet()->widget(0));
    page_->SetPrompts(prompts_);
    window_.show();
  }

  ProgramState state_;
  CKT9AssistantDlg window_{state_};
  CBackupPage* page_ = nullptr;
  std::shared_ptr<ScriptedPrompts> prompts_ = std::make_shared<ScriptedPrompts>();
};

// An operation as the backup runs one: the progress window comes up, the
// main window is disabled until it goes, the figure follows the steps, and
// the chosen file becomes the program's last backup path.
TEST_F(BackupPageTest, BackupButtonRunsTheOperationWithProgressAndPrompts) {
  prompts_->savePath = "/home/user/new.kt9";
  bool ran = false;
  page_->SetOperations(
      [&](OperationUi& ui, const LinkOptions&, std::string& lastBackupPath) {
        ran = true;
        ui.ProgressOpen();
        EXPECT_FALSE(window_.isEnabled());
        EXPECT_FALSE(page_->findChild<QDialog*>()->isVisible());  // not before it has a status
        ui.ProgressSetStatus("Reading SYSTEM data");
        ui.ProgressSetRange(0, 100);
        EXPECT_FALSE(window_.isEnabled());
        auto* progress = page_->findChild<QDialog*>();
        EXPECT_NE(progress, nullptr);
        if (progress == nullptr) return false;
        EXPECT_TRUE(progress->isVisible());
        EXPECT_TRUE(progress->isEnabled());
        EXPECT_EQ(progress->windowTitle(), "Please wait");
        EXPECT_EQ(progress->findChild<QLabel*>("status")->text(), "Reading SYSTEM data");
        for (int k = 0; k < 100; ++k) {
          ui.ProgressAdvance();
          ui.PumpMessages();
        }
        EXPECT_EQ(progress->findChild<QLabel*>("percent")->text(), "100%");
        ui.ProgressSetPosition(40);
        EXPECT_EQ(progress->findChild<QLabel*>("percent")->text(), "40%");
        const std::optional<std::string> path = ui.AskSavePath(lastBackupPath);
        if (path) lastBackupPath = *path;
        ui.ShowMessage("Failed: Not all patches could be read from the KT-9 Device");
        EXPECT_FALSE(ui.AskYesNo("Restart?"));
        ui.ProgressClose();
        EXPECT_TRUE(window_.isEnabled());
        EXPECT_EQ(page_->findChild<QDialog*>(), nullptr);
        return true;
      },
      {});
  QTest::mouseClick(Button(*page_, "Backup..."), Qt::LeftButton);
  EXPECT_TRUE(ran);
  EXPECT_EQ(prompts_->saveInitialPath, "/home/user/old.kt9");
  EXPECT_EQ(state_.lastBackupPath, "/home/user/new.kt9");
  EXPECT_EQ(prompts_->messages,
            std::vector<std::string>{"Failed: Not all patches could be read from the KT-9 Device"});
  EXPECT_EQ(prompts_->questions, std::vector<std::string>{"Restart?"});
}

// The buttons reach their own operations; one that returns with its
// progress window still open does not leave the main window disabled.
TEST_F(BackupPageTest, RestoreButtonRunsRestoreAndTheWindowComesBack) {
  prompts_->openPath = "/home/user/chosen.kt9";
  std::string ran;
  page_->SetOperations([&](OperationUi&, const LinkOptions&, std::string&) { return ran += "backup", true; },
                       [&](OperationUi& ui, const LinkOptions& link, std::string& lastBackupPath) {
                         ran += "restore";
                         EXPECT_EQ(link.port, state_.link.port);
                         lastBackupPath = ui.AskOpenPath().value_or("");
                         ui.ProgressOpen();
                         return false;
                       });
  QTest::mouseClick(Button(*page_, "Restore..."), Qt::LeftButton);
  EXPECT_EQ(ran, "restore");
  EXPECT_EQ(state_.lastBackupPath, "/home/user/chosen.kt9");
  EXPECT_TRUE(window_.isEnabled());
  EXPECT_EQ(page_->findChild<QDialog*>(), nullptr);

  page_->SetOperations({}, {});  // nothing plugged in: a click does nothing
  QTest::mouseClick(Button(*page_, "Backup..."), Qt::LeftButton);
  EXPECT_TRUE(window_.isEnabled());
}

TEST(PromptsTest, MessageBoxesHaveNoIconAndTheirButtons) {
  QWidget parent;
  parent.setEnabled(false);  // as it is while an operation runs
  struct Case {
    bool question;
    QMessageBox::StandardButtons buttons;
  } const cases[] = {{false, QMessageBox::Ok}, {true, QMessageBox::Yes | QMessageBox::No}};
  for (const Case& c : cases) {
    auto box = MakeMessageBox(&parent, "Line one\r\n\tLine <two>", c.question);
    EXPECT_EQ(box->icon(), QMessageBox::NoIcon);
    EXPECT_EQ(box->standardButtons(), c.buttons);
    EXPECT_EQ(box->text(), "Line one\n\tLine <two>");
    EXPECT_EQ(box->textFormat(), Qt::PlainText);
    EXPECT_TRUE(box->isEnabled());
  }
}

TEST(PromptsTest, FilePromptsFilterBackupFiles) {
  QWidget parent;
  parent.setEnabled(false);
  const QString folder = QDir::tempPath();
  auto save = MakeSaveDialog(&parent, (folder + "/last.kt9").toStdString());
  EXPECT_EQ(save->acceptMode(), QFileDialog::AcceptSave);
  EXPECT_TRUE(save->testOption(QFileDialog::DontConfirmOverwrite));
  EXPECT_EQ(save->nameFilters(), QStringList{"KT-9 Backup (*.kt9)"});
  EXPECT_EQ(save->directory().absolutePath(), QDir(folder).absolutePath());
  ASSERT_EQ(save->selectedFiles().size(), 1);
  EXPECT_EQ(QFileInfo(save->selectedFiles().front()).fileName(), "last.kt9");
  EXPECT_TRUE(save->isEnabled());

  auto open = MakeOpenDialog(&parent);
  EXPECT_EQ(open->acceptMode(), QFileDialog::AcceptOpen);
  EXPECT_EQ(open->fileMode(), QFileDialog::ExistingFile);
  EXPECT_EQ(open->nameFilters(), QStringList{"KT-9 Backup (*.kt9)"});
  EXPECT_TRUE(open->isEnabled());
}

}  // namespace
}  // namespace kt9
