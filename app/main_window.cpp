#include "app/main_window.h"

#include <QCloseEvent>
#include <QPushButton>

#include "app/about_dlg.h"
#include "app/dialog_units.h"
#include "app/pictures.h"
#include "app/platform_shell.h"
#include "app/program_state.h"
#include "app/program_texts.h"
#include "app/property_sheet.h"
#include "backup/backup_page.h"
#include "firmware/flash_page.h"

namespace kt9 {

namespace {

// The sheet's own frame sits this far outside the rectangle marked for it,
// so the pages' content lines up with the marked place.
constexpr int kSheetOffset = 7;

}  // namespace

CKT9AssistantDlg::CKT9AssistantDlg(ProgramState& state, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      sheet_(new CKT9PropertySheet(this)) {
  const DialogUnits units(font());
  setWindowTitle(QString::fromUtf8(kMainCaption));
  setWindowIcon(ProgramIcon());
  setFixedSize(units.Size(511, 322));

  // Tabs in this order; each page's tab shows its title.
  sheet_->AddPage(new CBackupPage(state.lastBackupPath, state.link, sheet_));
  sheet_->AddPage(new CFlashPage(state.communicator, sheet_));

  const QRect marked = units.Rect(5, 5, 505, 285);
  sheet_->setGeometry(QRect(marked.topLeft() - QPoint(kSheetOffset, kSheetOffset), sheet_->sizeHint()));

  auto* quit = new QPushButton(QStringLiteral("Quit"), this);
  quit->setDefault(true);
  units.Place(quit, 440, 295, 50, 14);
  connect(quit, &QPushButton::clicked, this, &QDialog::accept);

  InstallAboutEntry(*this, QString::fromUtf8(kAboutMenuText), [this] { ShowAboutBox(); });
}

void CKT9AssistantDlg::closeEvent(QCloseEvent* event) {
  if (!isEnabled()) {
    event->ignore();
    return;
  }
  QDialog::closeEvent(event);
}

void CKT9AssistantDlg::ShowAboutBox() {
  CAboutDlg about(this);
  about.exec();
}

}  // namespace kt9
