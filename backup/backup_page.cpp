#include "backup/backup_page.h"

#include <QLabel>
#include <QPushButton>

#include "app/pictures.h"
#include "app/prompts.h"
#include "app/qt_operation_ui.h"
#include "app/static_ex.h"
#include "backup/backup_operation.h"
#include "backup/restore_operation.h"

namespace kt9 {

namespace {

struct PageText {
  const char* text;
  int x, y, width, height;
};

// The page's fixed texts with their places, in dialog units.
constexpr PageText kTexts[] = {
    {"Reads the KT-9 configuration and patches and saves it to a KT-9 Backup file.", 275, 70, 195, 25},
    {"Open a KT-9 Backup file and restore it to the KT-9. All existing data in the KT-9 will be overwritten.", 275,
     100, 190, 25},
    {"You need to first connect your PC to the KT-9 using a USB cable.", 185, 30, 230, 8},
    {"Dont' turn power off while these Backup or Restore operations are ongoing.", 185, 40, 255, 8},
};

}  // namespace

CBackupPage::CBackupPage(std::string& lastBackupPath, LinkOptions link, QWidget* parent)
    : CPropertyPage(QStringLiteral("Backup/Restore"), 481, 262, parent),
      lastBackupPath_(lastBackupPath),
      link_(std::move(link)),
      prompts_(std::make_shared<DialogPrompts>()),
      backup_([](OperationUi& ui, const LinkOptions& options, std::string& lastPath) {
        return RunBackup(ui, options, lastPath) == OperationResult::Completed;
      }),
      restore_([](OperationUi& ui, const LinkOptions& options, std::string& lastPath) {
        return RunRestore(ui, options, lastPath) == OperationResult::Completed;
      }),
      title_(new CStaticEx(QStringLiteral("KT-9 Full Backup and Restore"), this)) {
  const DialogUnits& units = Units();

  auto* backup = new QPushButton(QStringLiteral("Backup..."), this);
  units.Place(backup, 185, 70, 80, 25);
  connect(backup, &QPushButton::clicked, this, &CBackupPage::OnBackup);
  auto* restore = new QPushButton(QStringLiteral("Restore..."), this);
  units.Place(restore, 185, 100, 80, 25);
  connect(restore, &QPushButton::clicked, this, &CBackupPage::OnRestore);

  for (const PageText& text : kTexts) AddText(QString::fromUtf8(text.text), text.x, text.y, text.width, text.height);

  auto* picture = new QLabel(this);
  const QRect pictureCell = units.Rect(5, 5, 171, 248);
  picture->setGeometry(pictureCell);
  picture->setPixmap(PedalPicture(pictureCell.size(), devicePixelRatioF()));

  units.Place(title_, 185, 10, 240, 15);
  SetUpPageTitle(*title_);
}

CBackupPage::~CBackupPage() = default;

void CBackupPage::SetPrompts(std::shared_ptr<Prompts> prompts) { prompts_ = std::move(prompts); }

void CBackupPage::SetOperations(Operation backup, Operation restore) {
  backup_ = std::move(backup);
  restore_ = std::move(restore);
}

void CBackupPage::OnBackup() { RunOperation(backup_); }

void CBackupPage::OnRestore() { RunOperation(restore_); }

// The operation runs to its end on this thread; while its progress window
// exists the main window is disabled, so no second click can start another.
void CBackupPage::RunOperation(const Operation& operation) {
  if (!operation) return;
  ProgressDlgTarget progress(this);
  QtOperationUi ui(this, *prompts_, progress);
  operation(ui, link_, lastBackupPath_);
  progress.Close();
}

}  // namespace kt9
