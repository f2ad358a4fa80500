#include "app/progress_dlg.h"

#include <gtest/gtest.h>

#include <QDialog>
#include <QLabel>
#include <QProgressBar>
#include <QTest>
#include <climits>
#include <memory>

namespace kt9 {
namespace {

// A main window with a page inside it: the page is the progress window's
// owner, and the main window is what it must keep disabled.
class ProgressDlgTest : public testing::Test {
 protected:
  ProgressDlgTest() : page_(new QWidget(&mainWindow_)) { mainWindow_.show(); }

  void Create() {
    ASSERT_TRUE(dialog_->CreateModeless(page_));
    dialog_->SetBarRange(0, 100);
    dialog_->SetBarStep(1);
    dialog_->ShowWindow();
  }
  QString Percent() const { return dialog_->Window()->findChild<QLabel*>("percent")->text(); }
  QString Status() const { return dialog_->Window()->findChild<QLabel*>("status")->text(); }
  int Bar() const { return dialog_->Window()->findChild<QProgressBar*>("bar")->value(); }

  QWidget mainWindow_;
  QWidget* page_;
  std::unique_ptr<CProgressDlg> dialog_ = std::make_unique<CProgressDlg>();
};

TEST_F(ProgressDlgTest, OpensWithTheTemplateTexts) {
  Create();
  EXPECT_EQ(dialog_->Window()->windowTitle(), "Please wait");
  EXPECT_EQ(Percent(), "Static");
  EXPECT_EQ(Status(), "Static");
  dialog_->ShowStatusText(QStringLiteral("Reading SYSTEM data"));
  EXPECT_EQ(Status(), "Reading SYSTEM data");
}

TEST_F(ProgressDlgTest, PercentFigure) {
  struct Case {
    int32_t lower, upper, position;
    const char* text;
  } const cases[] = {
      {0, 100, 0, "0%"},
      {0, 100, 37, "37%"},
      {0, 100, 100, "100%"},  // exactly 100 stays
      {0, 100, 150, "50%"},   // anything else is taken modulo 100
      {0, 100, 200, "0%"},
      {0, 100, -37, "-37%"},  // truncating, as the division does
      {0, 3, 1, "33%"},
      {-100, 100, 0, "50%"},
      {0, 100, INT32_MAX, "47%"},   // the product needs 64 bits
      {INT32_MIN, INT32_MAX, 0, "50%"},  // so does the span
      {INT32_MIN, INT32_MAX, INT32_MAX, "100%"},
  };
  Create();
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.lower << ".." << c.upper << " at " << c.position);
    dialog_->SetBarRange(c.lower, c.upper);
    dialog_->RefreshPercentText(c.position);
    EXPECT_EQ(Percent(), c.text);
  }
  dialog_->SetBarRange(5, 5);  // an empty range leaves the figure alone
  dialog_->RefreshPercentText(5);
  EXPECT_EQ(Percent(), "100%");
}

// One step per unit of work: the k-th step shows k%, the 101st runs the bar
// past its end (it starts again and shows 1%), and the 102nd does nothing.
TEST_F(ProgressDlgTest, AdvanceBarSteps) {
  Create();
  for (int k = 1; k <= 37; ++k) EXPECT_EQ(dialog_->AdvanceBar(), k - 1);
  EXPECT_EQ(Percent(), "37%");
  EXPECT_EQ(Bar(), 37);
  for (int k = 38; k <= 100; ++k) dialog_->AdvanceBar();
  EXPECT_EQ(Percent(), "100%");
  EXPECT_EQ(Bar(), 100);

  EXPECT_EQ(dialog_->AdvanceBar(), 100);
  EXPECT_EQ(Percent(), "1%");
  EXPECT_EQ(Bar(), 1);
  EXPECT_EQ(dialog_->AdvanceBar(), 100);
  EXPECT_EQ(Percent(), "1%");
  EXPECT_EQ(Bar(), 1);
}

TEST_F(ProgressDlgTest, SetBarPositionAndStep) {
  Create();
  EXPECT_EQ(dialog_->SetBarStep(5), 1);
  EXPECT_EQ(dialog_->SetBarPosition(0), 0);  // already there: nothing happens
  EXPECT_EQ(Percent(), "Static");
  EXPECT_EQ(dialog_->SetBarPosition(40), 0);
  EXPECT_EQ(Percent(), "40%");
  EXPECT_EQ(dialog_->SetBarPosition(40), 0);
  EXPECT_EQ(dialog_->SetBarPosition(60), 40);
  EXPECT_EQ(Percent(), "60%");
  // The recorded position is not moved by SetBarPosition: the next step
  // records where the bar stands.
  EXPECT_EQ(dialog_->AdvanceBar(), 60);
  EXPECT_EQ(Percent(), "65%");
  EXPECT_EQ(Bar(), 65);
}

TEST_F(ProgressDlgTest, KeepsTheMainWindowDisabledWhileTheWindowExists) {
  Create();
  EXPECT_FALSE(mainWindow_.isEnabled());
  EXPECT_TRUE(dialog_->KeepsOwnerDisabled());
  EXPECT_TRUE(dialog_->Window()->isEnabled());  // its own keys still work
  EXPECT_FALSE(dialog_->CreateModeless(page_));  // one window at a time
  EXPECT_FALSE(mainWindow_.isEnabled());

  EXPECT_TRUE(dialog_->DestroyWindow());
  EXPECT_EQ(dialog_->Window(), nullptr);
  EXPECT_TRUE(mainWindow_.isEnabled());
  EXPECT_FALSE(dialog_->KeepsOwnerDisabled());
}

TEST_F(ProgressDlgTest, DestroyingTheObjectEnablesTheMainWindow) {
  Create();
  QPointer<QDialog> window = dialog_->Window();
  dialog_.reset();
  EXPECT_TRUE(window.isNull());
  EXPECT_TRUE(mainWindow_.isEnabled());
}

TEST_F(ProgressDlgTest, LeavesAnAlreadyDisabledOwnerDisabled) {
  mainWindow_.setEnabled(false);
  Create();
  EXPECT_FALSE(dialog_->KeepsOwnerDisabled());
  dialog_->DestroyWindow();
  EXPECT_FALSE(mainWindow_.isEnabled());
}

TEST_F(ProgressDlgTest, SurvivesItsOwnerGoingFirst) {
  Create();
  delete page_;  // takes the window with it
  EXPECT_EQ(dialog_->Window(), nullptr);
  dialog_->AdvanceBar();
  dialog_->ShowStatusText(QStringLiteral("Reading PATCH data"));
  dialog_.reset();
  EXPECT_TRUE(mainWindow_.isEnabled());
}

TEST_F(ProgressDlgTest, EnterDoesNothingEscAndCloseOnlyAskToCancel) {
  Create();
  QDialog* window = dialog_->Window();
  QTest::keyClick(window, Qt::Key_Return);
  QTest::keyClick(window, Qt::Key_Enter);
  EXPECT_EQ(dialog_->CancelRequest(), 0);
  EXPECT_TRUE(window->isVisible());

  QTest::keyClick(window, Qt::Key_Escape);
  EXPECT_EQ(dialog_->CancelRequest(), 1);
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(dialog_->TakeCancelRequest(), 1);
  EXPECT_EQ(dialog_->TakeCancelRequest(), 0);

  EXPECT_FALSE(window->close());
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(dialog_->TakeCancelRequest(), 1);
  EXPECT_FALSE(mainWindow_.isEnabled());
}

TEST_F(ProgressDlgTest, ShowBarHidesBarAndFigure) {
  Create();
  dialog_->ShowBar(false);
  EXPECT_TRUE(dialog_->Window()->findChild<QProgressBar*>("bar")->isHidden());
  EXPECT_TRUE(dialog_->Window()->findChild<QLabel*>("percent")->isHidden());
  EXPECT_FALSE(dialog_->Window()->findChild<QLabel*>("status")->isHidden());
  dialog_->ShowBar(true);
  EXPECT_FALSE(dialog_->Window()->findChild<QProgressBar*>("bar")->isHidden());
}

}  // namespace
}  // namespace kt9
