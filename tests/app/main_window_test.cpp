#include "app/main_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "app/about_dlg.h"
#include "app/program_state.h"
#include "app/property_sheet.h"
#include "app/static_ex.h"
#include "backup/backup_page.h"
#include "tests/app/find_widgets.h"

namespace kt9 {
namespace {

using test::Button;

QStringList LabelTexts(const QWidget& parent) {
  QStringList texts;
  for (const QLabel* label : parent.findChildren<QLabel*>()) texts << label->text();
  return texts;
}

// Every text must show whole in its control: a single line within the
// width, wrapped text within the height.
void ExpectTextsFit(const QWidget& parent) {
  for (const QLabel* label : parent.findChildren<QLabel*>()) {
    if (label->text().isEmpty()) continue;
    SCOPED_TRACE(label->text().toStdString());
    if (label->wordWrap()) {
      EXPECT_LE(label->heightForWidth(label->width()), label->height());
    } else {
      EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), label->width());
      EXPECT_LE(label->fontMetrics().height(), label->height());
    }
  }
  for (const QPushButton* button : parent.findChildren<QPushButton*>()) {
    SCOPED_TRACE(button->text().toStdString());
    EXPECT_LE(button->fontMetrics().horizontalAdvance(button->text()) + 8, button->width());
  }
}

// No two controls side by side cover each other.
void ExpectNoOverlap(const QWidget& parent) {
  const QList<QWidget*> controls = parent.findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
  for (int i = 0; i < controls.size(); ++i) {
    for (int j = i + 1; j < controls.size(); ++j) {
      if (controls[i]->isWindow() || controls[j]->isWindow()) continue;
      SCOPED_TRACE(testing::Message() << controls[i]->metaObject()->className() << " #" << i << " / "
                                      << controls[j]->metaObject()->className() << " #" << j);
      EXPECT_FALSE(controls[i]->geometry().intersects(controls[j]->geometry()));
    }
  }
}

class MainWindowTest : public testing::Test {
 protected:
  ProgramState state_;
  CKT9AssistantDlg window_{state_};
};

TEST_F(MainWindowTest, CaptionAndTabs) {
  EXPECT_TRUE(window_.windowTitle().contains("KT-9"));
  EXPECT_TRUE(window_.windowTitle().contains("2.4"));
  EXPECT_FALSE(window_.windowIcon().isNull());
  const QStringList expected{"Backup/Restore", "Update Firmware"};
  CKT9PropertySheet* sheet = window_.Sheet();
  ASSERT_GE(sheet->count(), 1);
  ASSERT_LE(sheet->count(), 2);
  for (int i = 0; i < sheet->count(); ++i) EXPECT_EQ(sheet->tabText(i), expected[i]);
  EXPECT_NE(qobject_cast<CBackupPage*>(sheet->widget(0)), nullptr);
}

TEST_F(MainWindowTest, BackupPageControlsAndTexts) {
  auto* page = qobject_cast<CBackupPage*>(window_.Sheet()->widget(0));
  ASSERT_NE(page, nullptr);
  EXPECT_NE(Button(*page, "Backup..."), nullptr);
  EXPECT_NE(Button(*page, "Restore..."), nullptr);
  const QStringList texts = LabelTexts(*page);
  for (const char* text : {
           "KT-9 Full Backup and Restore",
           "Reads the KT-9 configuration and patches and saves it to a KT-9 Backup file.",
           "Open a KT-9 Backup file and restore it to the KT-9. All existing data in the KT-9 will be overwritten.",
           "You need to first connect your PC to the KT-9 using a USB cable.",
           "Dont' turn power off while these Backup or Restore operations are ongoing.",
       }) {
    EXPECT_TRUE(texts.contains(QString::fromUtf8(text))) << text;
  }
  EXPECT_EQ(page->Title()->text(), "KT-9 Full Backup and Restore");
  EXPECT_EQ(page->Title()->FontHeight(), 20);
  EXPECT_EQ(page->Title()->font().weight(), 600);
}

TEST_F(MainWindowTest, LayoutShowsEveryTextWholeAndNothingOverlaps) {
  window_.show();
  for (int i = 0; i < window_.Sheet()->count(); ++i) {
    QWidget* page = window_.Sheet()->widget(i);
    SCOPED_TRACE(page->windowTitle().toStdString());
    ExpectTextsFit(*page);
    ExpectNoOverlap(*page);
  }
  ExpectTextsFit(window_);
  ExpectNoOverlap(window_);
  EXPECT_TRUE(window_.rect().contains(window_.Sheet()->geometry()));
}

TEST_F(MainWindowTest, QuitClosesTheWindow) {
  window_.show();
  QPushButton* quit = Button(window_, "Quit");
  ASSERT_NE(quit, nullptr);
  QTest::mouseClick(quit, Qt::LeftButton);
  EXPECT_FALSE(window_.isVisible());
  EXPECT_EQ(window_.result(), QDialog::Accepted);
}

// While an operation keeps the window disabled, its close box does not end
// the program; afterwards it does.
TEST_F(MainWindowTest, CloseBoxWaitsForTheRunningOperation) {
  window_.show();
  window_.setEnabled(false);
  EXPECT_FALSE(window_.close());
  EXPECT_TRUE(window_.isVisible());
  window_.setEnabled(true);
  EXPECT_TRUE(window_.close());
  EXPECT_FALSE(window_.isVisible());
}

TEST_F(MainWindowTest, AboutBoxEntryAndBox) {
  const QList<QAction*> actions = window_.actions();
  ASSERT_EQ(actions.size(), 1);
  EXPECT_EQ(actions[0]->text(), "&About KT-9 Assistant...");
  EXPECT_EQ(window_.contextMenuPolicy(), Qt::ActionsContextMenu);

  CAboutDlg about(&window_);
  about.show();
  const QStringList texts = LabelTexts(about);
  EXPECT_TRUE(texts.contains("KT-9 Assistant, Version 2.4"));
  ExpectTextsFit(about);
  ExpectNoOverlap(about);
  QTest::mouseClick(Button(about, "OK"), Qt::LeftButton);
  EXPECT_FALSE(about.isVisible());
  EXPECT_EQ(about.result(), QDialog::Accepted);
}

}  // namespace
}  // namespace kt9
