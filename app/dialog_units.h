// Dialog units: the windows of this program were designed on a grid that
// scales with the dialog font, a quarter of the font's average character
// width across and an eighth of its height down. Every window here is laid out
// in those units through this one converter, so the windows keep their
// designed proportions whatever font and screen the desktop uses.
#pragma once

#include <QFont>
#include <QRect>
#include <QSize>

class QWidget;

namespace kt9 {

class DialogUnits {
 public:
  // Base units taken from the font the dialog is drawn with.
  explicit DialogUnits(const QFont& dialogFont);

  int X(int units) const;  // horizontal units to pixels
  int Y(int units) const;  // vertical units to pixels
  QSize Size(int width, int height) const;
  QRect Rect(int x, int y, int width, int height) const;

  // Moves and sizes `widget` to the rectangle given in dialog units.
  void Place(QWidget* widget, int x, int y, int width, int height) const;

  int BaseX() const { return baseX_; }
  int BaseY() const { return baseY_; }

 private:
  int baseX_;
  int baseY_;
};

}  // namespace kt9
