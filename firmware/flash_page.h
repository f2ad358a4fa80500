// CFlashPage: the "Update Firmware" page. It walks the user through starting
// the KT-9 in programming mode, checks with Verify that the bootloader
// answers on the shared link, offers the firmware files beside the program
// (or any HEX file) and runs the update on Upgrade, driving its own bar.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/property_page.h"

class QButtonGroup;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QShowEvent;

namespace kt9 {

class CStaticEx;
class Communicator;
class Prompts;

class CFlashPage : public CPropertyPage {
  Q_OBJECT

 public:
  // The page's controls by their identifiers.
  enum ControlId : int {
    IDC_VERIFY = 1005,
    IDC_STATUS = 1007,
    IDC_FIRMWARE_PATH = 1009,
    IDC_BROWSE = 1011,
    IDC_UPGRADE = 1012,
    IDC_PROGRESS = 1013,
    IDC_FILE_LABEL = 1112,
    IDC_UPGRADE_LABEL = 1113,
    IDC_PROGRESS_LABEL = 1116,
    IDC_STEPS = 1133,
    IDC_TITLE = 1140,
    IDC_SOURCE_LIST = 1144,
    IDC_SOURCE_FILE = 1145,
    IDC_FIRMWARE_LIST = 1146,
  };

  // The file prompt of Browse: the chosen HEX file, nothing when cancelled.
  using BrowsePrompt = std::function<std::optional<std::string>(QWidget* parent)>;

  // `communicator` is the program's shared link and must outlive the page.
  explicit CFlashPage(Communicator& communicator, QWidget* parent = nullptr);
  ~CFlashPage() override;

  // Tests put scripted answers here.
  void SetPrompts(std::shared_ptr<Prompts> prompts);
  void SetBrowsePrompt(BrowsePrompt prompt);

  QWidget* Control(ControlId id) const;
  CStaticEx* Title() const { return title_; }
  int Verified() const { return m_verified; }
  const std::string& Status() const { return m_status; }
  const std::string& FirmwarePath() const { return m_firmwarePath; }
  int Source() const { return m_source; }

 public slots:
  void OnVerify();
  void OnBrowse();
  void OnUpgrade();
  void OnSourceChanged();
  void OnFirmwareSelChange();

 public:
  void UpdateControls();
  void FillFirmwareList();
  // Lets the window repaint and the bar move while the update runs.
  void PumpMessages();

 protected:
  // Page activation: back to the unverified state.
  void showEvent(QShowEvent* event) override;

 private:
  void MembersFromControls();
  void ControlsFromMembers();

  Communicator& communicator_;
  std::shared_ptr<Prompts> prompts_;
  BrowsePrompt browse_;

  int m_verified = 0;
  std::string m_status;
  std::string m_firmwarePath;
  int m_source = 0;

  CStaticEx* title_;
  QLineEdit* statusEdit_;
  QPushButton* verify_;
  QRadioButton* sourceList_;
  QRadioButton* sourceFile_;
  QButtonGroup* sourceGroup_;
  QListWidget* m_firmwareList;
  QLabel* fileLabel_;
  QLineEdit* pathEdit_;
  QPushButton* browseButton_;
  QLabel* upgradeLabel_;
  QPushButton* upgrade_;
  QLabel* progressLabel_;
  QProgressBar* m_progress;
  QLabel* steps_;
};

}  // namespace kt9
