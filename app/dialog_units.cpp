#include "app/dialog_units.h"

#include <QFontMetrics>
#include <QWidget>

namespace kt9 {

namespace {

// The average width is measured over the 52 Latin letters and rounded half
// up, the way the grid was defined, rather than taken from the font's own
// average-width field, which many fonts fill with a figure for all glyphs.
int AverageLetterWidth(const QFontMetrics& metrics) {
  const int total = metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  return (total / 26 + 1) / 2;
}

// units * base / divisor, rounded to the nearest pixel.
int Scale(int units, int base, int divisor) {
  const long long scaled = static_cast<long long>(units) * base;
  const long long half = divisor / 2;
  return static_cast<int>(scaled >= 0 ? (scaled + half) / divisor : (scaled - half) / divisor);
}

}  // namespace

DialogUnits::DialogUnits(const QFont& dialogFont) {
  const QFontMetrics metrics(dialogFont);
  baseX_ = AverageLetterWidth(metrics);
  baseY_ = metrics.height();
}

int DialogUnits::X(int units) const { return Scale(units, baseX_, 4); }
int DialogUnits::Y(int units) const { return Scale(units, baseY_, 8); }

QSize DialogUnits::Size(int width, int height) const { return {X(width), Y(height)}; }

QRect DialogUnits::Rect(int x, int y, int width, int height) const {
  // Both edges are converted, so neighbouring controls that share an edge in
  // units share it in pixels too.
  const int left = X(x), top = Y(y);
  return {left, top, X(x + width) - left, Y(y + height) - top};
}

void DialogUnits::Place(QWidget* widget, int x, int y, int width, int height) const {
  widget->setGeometry(Rect(x, y, width, height));
}

}  // namespace kt9
