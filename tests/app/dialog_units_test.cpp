#include "app/dialog_units.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFontMetrics>

namespace kt9 {
namespace {

// Four units across are one average letter, eight down one line of the font,
// in any font size; controls that share an edge in units share it in pixels.
TEST(DialogUnitsTest, ScaleWithTheFontAndKeepSharedEdges) {
  for (int points : {6, 8, 9, 12, 20}) {
    QFont font = QApplication::font();
    font.setPointSize(points);
    const DialogUnits units(font);
    SCOPED_TRACE(points);
    EXPECT_EQ(units.Y(8), QFontMetrics(font).height());
    EXPECT_EQ(units.X(4), units.BaseX());
    EXPECT_GT(units.BaseX(), 0);
    const QRect left = units.Rect(5, 5, 37, 13), right = units.Rect(42, 18, 11, 7);
    EXPECT_EQ(left.right() + 1, right.left());
    EXPECT_EQ(left.bottom() + 1, right.top());
  }
}

}  // namespace
}  // namespace kt9
