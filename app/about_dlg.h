// CAboutDlg: the program's icon, its name and version, its maker, and OK.
#pragma once

#include <QDialog>

namespace kt9 {

class CAboutDlg : public QDialog {
 public:
  explicit CAboutDlg(QWidget* parent = nullptr);
};

}  // namespace kt9
