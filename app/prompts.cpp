#include "app/prompts.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

namespace kt9 {

namespace {

constexpr const char* kBackupFilter = "KT-9 Backup (*.kt9)";

QString FromUtf8(const std::string& text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

// During an operation the prompts' parent window is disabled, and a child
// window takes over that state; a prompt must stay usable all the same.
template <typename Box>
std::unique_ptr<Box> MakeEnabled(QWidget* parent) {
  auto box = std::make_unique<Box>(parent);
  box->setEnabled(true);
  return box;
}

std::optional<std::string> Run(QFileDialog& dialog) {
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return QDir::toNativeSeparators(dialog.selectedFiles().front()).toStdString();
}

std::unique_ptr<QFileDialog> MakeBackupFileDialog(QWidget* parent) {
  auto dialog = MakeEnabled<QFileDialog>(parent);
  dialog->setNameFilter(QString::fromUtf8(kBackupFilter));
  // A name typed without an extension still gets ".kt9", so the file shows
  // up in the restore's prompt, which lists backup files only.
  dialog->setDefaultSuffix(QStringLiteral("kt9"));
  return dialog;
}

}  // namespace

std::unique_ptr<QMessageBox> MakeMessageBox(QWidget* parent, const std::string& text, bool question) {
  auto box = MakeEnabled<QMessageBox>(parent);
  box->setIcon(QMessageBox::NoIcon);
  box->setWindowTitle(QGuiApplication::applicationDisplayName());
  box->setTextFormat(Qt::PlainText);
  box->setText(FromUtf8(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
  if (question) {
    box->setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    box->setDefaultButton(QMessageBox::Yes);
  } else {
    box->setStandardButtons(QMessageBox::Ok);
  }
  return box;
}

std::unique_ptr<QFileDialog> MakeSaveDialog(QWidget* parent, const std::string& initialPath) {
  auto dialog = MakeBackupFileDialog(parent);
  dialog->setAcceptMode(QFileDialog::AcceptSave);
  dialog->setFileMode(QFileDialog::AnyFile);
  // The backup replaces an existing file without a question.
  dialog->setOption(QFileDialog::DontConfirmOverwrite, true);
  if (!initialPath.empty()) {
    const QFileInfo initial(FromUtf8(initialPath));
    dialog->setDirectory(initial.absolutePath());
    dialog->selectFile(initial.fileName());
  }
  return dialog;
}

std::unique_ptr<QFileDialog> MakeOpenDialog(QWidget* parent) {
  auto dialog = MakeBackupFileDialog(parent);
  dialog->setAcceptMode(QFileDialog::AcceptOpen);
  dialog->setFileMode(QFileDialog::ExistingFile);
  return dialog;
}

void DialogPrompts::Message(QWidget* parent, const std::string& text) { MakeMessageBox(parent, text, false)->exec(); }

bool DialogPrompts::Question(QWidget* parent, const std::string& text) {
  return MakeMessageBox(parent, text, true)->exec() == QMessageBox::Yes;
}

std::optional<std::string> DialogPrompts::SavePath(QWidget* parent, const std::string& initialPath) {
  return Run(*MakeSaveDialog(parent, initialPath));
}

std::optional<std::string> DialogPrompts::OpenPath(QWidget* parent) { return Run(*MakeOpenDialog(parent)); }

}  // namespace kt9
