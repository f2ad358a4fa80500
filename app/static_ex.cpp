#include "app/static_ex.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPalette>
#include <algorithm>

namespace kt9 {

ColourRef ToColourRef(const QColor& colour) {
  return static_cast<ColourRef>(colour.red()) | static_cast<ColourRef>(colour.green()) << 8 |
         static_cast<ColourRef>(colour.blue()) << 16;
}

QColor FromColourRef(ColourRef colour) {
  return QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

CStaticEx::CStaticEx(const QString& text, QWidget* parent)
    : QLabel(text, parent),
      textColour_(QApplication::palette().color(QPalette::ButtonText)),
      backgroundColour_(QApplication::palette().color(QPalette::Button)) {
  setAlignment(Qt::AlignLeft | Qt::AlignTop);
  setAutoFillBackground(true);
  RebuildFont();
  ApplyColours();
}

void CStaticEx::SetFontHeight(int height) {
  fontHeight_ = height;
  RebuildFont();
}

void CStaticEx::SetBold(bool bold) {
  bold_ = bold;
  RebuildFont();
}

void CStaticEx::SetItalic(bool italic) {
  italic_ = italic;
  RebuildFont();
}

void CStaticEx::SetTextColour(ColourRef colour) {
  textColour_ = colour == kNoColour ? QApplication::palette().color(QPalette::ButtonText) : FromColourRef(colour);
  ApplyColours();
}

void CStaticEx::SetBackgroundColour(ColourRef colour) {
  backgroundColour_ = colour == kNoColour ? QApplication::palette().color(QPalette::Button) : FromColourRef(colour);
  ApplyColours();
}

void CStaticEx::SetTextAlignment(Qt::Alignment alignment) { setAlignment(alignment); }

void CStaticEx::RebuildFont() {
  QFont font = QApplication::font();
  if (bold_) font.setWeight(QFont::DemiBold);
  font.setItalic(italic_);
  if (fontHeight_ != -1) {
    // The height is a cell height, ascent to descent, while a pixel size is
    // the em height; scale the em so the cell comes out as asked.
    font.setPixelSize(fontHeight_);
    const int cell = QFontMetrics(font).height();
    if (cell > 0 && cell != fontHeight_) font.setPixelSize(std::max(1, (fontHeight_ * fontHeight_ + cell / 2) / cell));
  }
  setFont(font);
}

void CStaticEx::ApplyColours() {
  // The text colour holds while the label is enabled; a disabled page greys
  // its title like every other text on it.
  QPalette colours = palette();
  colours.setColor(QPalette::Active, QPalette::WindowText, textColour_);
  colours.setColor(QPalette::Inactive, QPalette::WindowText, textColour_);
  colours.setColor(QPalette::Window, backgroundColour_);
  setPalette(colours);
  update();
}

void SetUpPageTitle(CStaticEx& title) {
  title.SetFontHeight(20);
  title.SetBold(true);
  title.SetBackgroundColour(ToColourRef(QApplication::palette().color(QPalette::Base)));
}

}  // namespace kt9
