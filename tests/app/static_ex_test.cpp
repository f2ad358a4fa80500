#include "app/static_ex.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFontInfo>
#include <QFontMetrics>

namespace kt9 {
namespace {

QColor Palette(QPalette::ColorRole role) { return QApplication::palette().color(role); }

TEST(StaticExTest, StartsWithButtonColoursAndTheDefaultFont) {
  CStaticEx label(QStringLiteral("Title"));
  EXPECT_EQ(label.TextColour(), Palette(QPalette::ButtonText));
  EXPECT_EQ(label.BackgroundColour(), Palette(QPalette::Button));
  EXPECT_EQ(label.palette().color(QPalette::Window), Palette(QPalette::Button));
  EXPECT_EQ(label.alignment(), Qt::AlignLeft | Qt::AlignTop);
  EXPECT_EQ(QFontInfo(label.font()).pixelSize(), QFontInfo(QApplication::font()).pixelSize());
}

TEST(StaticExTest, BackgroundColourValues) {
  struct Case {
    ColourRef value;
    QColor expected;
  } const cases[] = {
      {kNoColour, Palette(QPalette::Button)},  // "no colour" is the button face, never white
      {0x000000FF, QColor(255, 0, 0)},         // values are 0x00BBGGRR
      {0x00FF0000, QColor(0, 0, 255)},
      {0x00123456, QColor(0x56, 0x34, 0x12)},
  };
  for (const Case& c : cases) {
    CStaticEx label;
    label.SetBackgroundColour(c.value);
    SCOPED_TRACE(c.value);
    EXPECT_EQ(label.BackgroundColour(), c.expected);
    EXPECT_EQ(label.palette().color(QPalette::Window), c.expected);
    EXPECT_TRUE(label.autoFillBackground());
  }
  CStaticEx label;
  label.SetBackgroundColour(kNoColour);
  EXPECT_NE(label.BackgroundColour(), QColor(Qt::white));
  label.SetTextColour(0x0000FF00);
  EXPECT_EQ(label.palette().color(QPalette::WindowText), QColor(0, 255, 0));
}

TEST(StaticExTest, BoldKeepsTheDefaultHeightUntilAHeightIsGiven) {
  CStaticEx label(QStringLiteral("KT-9 Full Backup and Restore"));
  label.SetBold(true);
  EXPECT_EQ(label.font().weight(), 600);
  EXPECT_EQ(QFontInfo(label.font()).pixelSize(), QFontInfo(QApplication::font()).pixelSize());

  label.SetFontHeight(20);
  EXPECT_EQ(label.FontHeight(), 20);
  EXPECT_NEAR(QFontMetrics(label.font()).height(), 20, 1);
  EXPECT_EQ(label.font().weight(), 600);  // a new height keeps the weight
}

TEST(StaticExTest, PageTitleIsLargeBoldOnTheWindowColour) {
  CStaticEx title(QStringLiteral("KT-9 Full Backup and Restore"));
  SetUpPageTitle(title);
  EXPECT_EQ(title.font().weight(), 600);
  EXPECT_EQ(title.FontHeight(), 20);
  EXPECT_EQ(title.BackgroundColour(), Palette(QPalette::Base));
}

}  // namespace
}  // namespace kt9
