// Finding a window's controls the way a user does: by what they say.
#pragma once

#include <QPushButton>
#include <QString>
#include <QWidget>

namespace kt9::test {

// The first push button below `parent` with exactly this text (accelerator
// ampersands included); null when there is none.
inline QPushButton* Button(QWidget& parent, const QString& text) {
  for (QPushButton* button : parent.findChildren<QPushButton*>()) {
    if (button->text() == text) return button;
  }
  return nullptr;
}

}  // namespace kt9::test
