// CPropertyPage: a page of the main window's sheet, laid out in dialog units
// at its designed size. Its window title is its tab's label.
#pragma once

#include <QWidget>

class QLabel;

#include "app/dialog_units.h"

namespace kt9 {

class CPropertyPage : public QWidget {
 public:
  // `width` and `height` in dialog units of the page's font.
  CPropertyPage(const QString& caption, int width, int height, QWidget* parent = nullptr);

  // The designed size, so the sheet makes room for the largest page.
  QSize sizeHint() const override { return minimumSize(); }

 protected:
  const DialogUnits& Units() const { return units_; }

  // A fixed text at its designed place. Taller texts wrap within their box.
  // A one-line text keeps to one line: where the desktop's font runs wider
  // than the one the page was drawn for, its box grows to the right, up to
  // the page's edge, instead of cutting the line.
  QLabel* AddText(const QString& text, int x, int y, int width, int height);

 private:
  DialogUnits units_;
};

}  // namespace kt9
