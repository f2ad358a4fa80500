// CStaticEx: a text label with its own font height, weight, slant, text and
// background colours and alignment. Both pages use one as their large bold
// title set on the window colour, so the title stands out from the page.
#pragma once

#include <QColor>
#include <QLabel>
#include <cstdint>

namespace kt9 {

// Colours are exchanged as 0x00BBGGRR values, as the pages' title settings
// were written, so that 0xFFFFFFFF stays free to mean "no colour given".
using ColourRef = uint32_t;
inline constexpr ColourRef kNoColour = 0xFFFFFFFF;

ColourRef ToColourRef(const QColor& colour);
QColor FromColourRef(ColourRef colour);

class CStaticEx : public QLabel {
 public:
  explicit CStaticEx(const QString& text = QString(), QWidget* parent = nullptr);

  // -1 keeps the height of the default GUI font; any other value is the
  // font's cell height (ascent plus descent) in pixels.
  void SetFontHeight(int height);
  void SetBold(bool bold);  // bold is weight 600
  void SetItalic(bool italic);
  void SetTextColour(ColourRef colour);
  // kNoColour gives the button-face colour, not white.
  void SetBackgroundColour(ColourRef colour);
  void SetTextAlignment(Qt::Alignment alignment);

  QColor TextColour() const { return textColour_; }
  QColor BackgroundColour() const { return backgroundColour_; }
  int FontHeight() const { return fontHeight_; }

 private:
  void RebuildFont();
  void ApplyColours();

  QColor textColour_;
  QColor backgroundColour_;
  int fontHeight_ = -1;
  bool bold_ = false;
  bool italic_ = false;
};

// A page's title: cell height 20, bold, on the window colour.
void SetUpPageTitle(CStaticEx& title);

}  // namespace kt9
