#include "app/property_page.h"

#include <QLabel>
#include <algorithm>

namespace kt9 {

CPropertyPage::CPropertyPage(const QString& caption, int width, int height, QWidget* parent)
    : QWidget(parent), units_(font()) {
  setWindowTitle(caption);
  setFixedSize(units_.Size(width, height));
}

QLabel* CPropertyPage::AddText(const QString& text, int x, int y, int width, int height) {
  // Eight units down is one line of the page's font.
  constexpr int kOneLine = 8;
  auto* label = new QLabel(text, this);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  QRect box = units_.Rect(x, y, width, height);
  if (height > kOneLine) {
    label->setWordWrap(true);
  } else {
    const int needed = label->fontMetrics().horizontalAdvance(text) + 1;
    box.setWidth(std::min(std::max(box.width(), needed), this->width() - box.left()));
  }
  label->setGeometry(box);
  return label;
}

}  // namespace kt9
