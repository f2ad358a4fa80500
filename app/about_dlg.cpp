#include "app/about_dlg.h"

#include <QLabel>
#include <QPushButton>

#include "app/dialog_units.h"
#include "app/pictures.h"
#include "app/program_texts.h"

namespace kt9 {

CAboutDlg::CAboutDlg(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint) {
  const DialogUnits units(font());
  setWindowTitle(QStringLiteral("About %1").arg(QString::fromUtf8(kProgramName)));
  setFixedSize(units.Size(170, 62));

  auto* icon = new QLabel(this);
  const QRect iconCell = units.Rect(14, 14, 21, 20);
  icon->setPixmap(ProgramIcon().pixmap(std::min(iconCell.width(), iconCell.height())));
  icon->setGeometry(iconCell);

  auto* name = new QLabel(QString::fromUtf8(kAboutNameLine), this);
  units.Place(name, 42, 14, 114, 8);
  auto* maker = new QLabel(QString::fromUtf8(kAboutMakerLine), this);
  units.Place(maker, 42, 26, 114, 8);

  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setDefault(true);
  units.Place(ok, 113, 41, 50, 14);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace kt9
