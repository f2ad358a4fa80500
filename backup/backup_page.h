// CBackupPage: the "Backup/Restore" page. Its two buttons run the backup and
// the restore from start to end inside the click, through the toolkit-free
// operations, with the page's prompts and a "Please wait" window owned by the
// page.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "app/property_page.h"
#include "link/communicator.h"

namespace kt9 {

class CStaticEx;
class OperationUi;
class Prompts;

class CBackupPage : public CPropertyPage {
  Q_OBJECT

 public:
  // An operation as the buttons run it: the prompts and progress, the link
  // settings, and the program-wide path of the last backup file, which it
  // updates. Its result is for callers that need it; the operation shows its
  // own messages.
  using Operation = std::function<bool(OperationUi& ui, const LinkOptions& link, std::string& lastBackupPath)>;

  // `lastBackupPath` must outlive the page.
  CBackupPage(std::string& lastBackupPath, LinkOptions link, QWidget* parent = nullptr);
  ~CBackupPage() override;

  // Tests put scripted answers and operations of their own here.
  void SetPrompts(std::shared_ptr<Prompts> prompts);
  void SetOperations(Operation backup, Operation restore);

  CStaticEx* Title() const { return title_; }

 public slots:
  void OnBackup();
  void OnRestore();

 private:
  void RunOperation(const Operation& operation);

  std::string& lastBackupPath_;
  LinkOptions link_;
  std::shared_ptr<Prompts> prompts_;
  Operation backup_;
  Operation restore_;
  CStaticEx* title_;
};

}  // namespace kt9
