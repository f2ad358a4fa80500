// CKT9PropertySheet: the tabs of the main window, one page each; a page's
// tab shows the page's window title.
#pragma once

#include <QTabWidget>

namespace kt9 {

class CKT9PropertySheet : public QTabWidget {
 public:
  explicit CKT9PropertySheet(QWidget* parent = nullptr);
  void AddPage(QWidget* page);
};

}  // namespace kt9
