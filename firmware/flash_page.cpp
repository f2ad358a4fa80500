#include "firmware/flash_page.h"

#include <QApplication>
#include <QButtonGroup>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QStyledItemDelegate>
#include <algorithm>

#include "app/pictures.h"
#include "app/prompts.h"
#include "app/qt_operation_ui.h"
#include "app/static_ex.h"
#include "firmware/boot_status.h"
#include "firmware/program_folder.h"
#include "firmware/update_procedure.h"
#include "link/communicator.h"

namespace kt9 {

namespace {

constexpr const char* kSteps =
    "STEPS TO ACTIVATE PROGRAMMING MODE:\n"
    "1. You need to connect a USB cable between the PC and the KT-9\n"
    "2. Turn KT-9 OFF!\n"
    "3. Press down the 'A'-footswitch and keep it pressed while turning KT-9 ON!\n"
    "4. All LED's should now flash, release 'A' footswitch.";

// The firmware the pedal's owners are pointed to first.
constexpr const char* kRecommendedFirmware = "KT-9 V2.4";
constexpr const char* kRecommendedSuffix = "\t (Recommended!)";
constexpr int kListTabStop = 120;  // dialog units

// Where the list keeps the name of an entry's file (the entry's text lacks
// the extension, and on a case-sensitive file system its case matters).
constexpr int kFileNameRole = Qt::UserRole;

QString FromUtf8(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Draws an entry's text up to its first tab, and the rest from one tab stop.
class TabStopDelegate : public QStyledItemDelegate {
 public:
  TabStopDelegate(int tabStop, QObject* parent) : QStyledItemDelegate(parent), tabStop_(tabStop) {}

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    const QString text = item.text;
    item.text.clear();
    const QWidget* widget = item.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &item, painter, widget);
    const QRect box = style->subElementRect(QStyle::SE_ItemViewItemText, &item, widget);
    painter->save();
    painter->setFont(item.font);
    painter->setPen(item.palette.color(item.state & QStyle::State_Selected ? QPalette::HighlightedText
                                                                            : QPalette::Text));
    const qsizetype tab = text.indexOf(QLatin1Char('\t'));
    painter->drawText(box, Qt::AlignLeft | Qt::AlignVCenter, text.left(tab));
    if (tab >= 0) {
      const QRect rest = box.adjusted(tabStop_, 0, 0, 0);
      painter->drawText(rest, Qt::AlignLeft | Qt::AlignVCenter, text.mid(tab + 1));
    }
    painter->restore();
  }

 private:
  int tabStop_;
};

// The update's progress on the page's own bar; there is no window to open.
class PageBarTarget : public ProgressTarget {
 public:
  PageBarTarget(QProgressBar& bar, CFlashPage& page) : bar_(bar), page_(page) {}
  void Open() override {}
  void Close() override {}
  void SetStatus(const std::string&) override {}
  // An empty range (an update with nothing above the vector area) shows an
  // empty bar; an equal minimum and maximum would make the bar a busy
  // indicator instead.
  void SetRange(int lower, int upper) override { bar_.setRange(lower, std::max(upper, lower + 1)); }
  void SetPosition(int position) override { bar_.setValue(position); }
  void Advance() override { bar_.setValue(bar_.value() + 1); }
  void Pump() override { page_.PumpMessages(); }

 private:
  QProgressBar& bar_;
  CFlashPage& page_;
};

std::optional<std::string> BrowseForHexFile(QWidget* parent) {
  QFileDialog dialog(parent);
  dialog.setNameFilter(QStringLiteral("(*.hex)"));
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return QDir::toNativeSeparators(dialog.selectedFiles().front()).toStdString();
}

// The wait cursor for as long as the object lives.
class WaitCursor {
 public:
  WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~WaitCursor() { QApplication::restoreOverrideCursor(); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace

CFlashPage::CFlashPage(Communicator& communicator, QWidget* parent)
    : CPropertyPage(QStringLiteral("Update Firmware"), 499, 257, parent),
      communicator_(communicator),
      prompts_(std::make_shared<DialogPrompts>()),
      browse_(BrowseForHexFile),
      title_(new CStaticEx(QStringLiteral("KT-9 Firmware Update"), this)),
      statusEdit_(new QLineEdit(this)),
      verify_(new QPushButton(QStringLiteral("<< Verify"), this)),
      sourceList_(new QRadioButton(QStringLiteral("Select bundled firmware from list"), this)),
      sourceFile_(new QRadioButton(QStringLiteral("Other firmware file"), this)),
      sourceGroup_(new QButtonGroup(this)),
      m_firmwareList(new QListWidget(this)),
      fileLabel_(nullptr),
      pathEdit_(new QLineEdit(this)),
      browseButton_(new QPushButton(QStringLiteral("<< Browse..."), this)),
      upgradeLabel_(nullptr),
      upgrade_(new QPushButton(QStringLiteral("Upgrade KT-9"), this)),
      progressLabel_(nullptr),
      m_progress(new QProgressBar(this)),
      steps_(nullptr) {
  const DialogUnits& units = Units();

  auto* picture = new QLabel(this);
  const QRect pictureCell = units.Rect(5, 5, 171, 248);
  picture->setGeometry(pictureCell);
  picture->setPixmap(PedalPicture(pictureCell.size(), devicePixelRatioF()));

  units.Place(title_, 185, 8, 240, 15);
  steps_ = AddText(QString::fromUtf8(kSteps), 185, 28, 305, 50);
  AddText(QStringLiteral("Please verify the status. Status should say OK and show version numbers."), 185, 82, 305,
          8);
  statusEdit_->setReadOnly(true);
  units.Place(statusEdit_, 185, 94, 220, 14);
  units.Place(verify_, 410, 94, 75, 14);

  units.Place(sourceList_, 185, 114, 150, 10);
  units.Place(sourceFile_, 340, 114, 120, 10);
  sourceList_->setChecked(true);
  sourceGroup_->addButton(sourceList_, 0);
  sourceGroup_->addButton(sourceFile_, 1);

  units.Place(m_firmwareList, 185, 128, 300, 34);
  m_firmwareList->setItemDelegate(new TabStopDelegate(units.X(kListTabStop), m_firmwareList));
  fileLabel_ = AddText(QStringLiteral("Select the firmware file you wish to use for programming."), 185, 166, 300, 8);
  pathEdit_->setReadOnly(true);
  units.Place(pathEdit_, 185, 176, 220, 14);
  units.Place(browseButton_, 410, 176, 75, 14);

  upgradeLabel_ = AddText(
      QStringLiteral("Press the upgrade button and wait until done (this may take several minutes)."), 185, 196, 305,
      8);
  units.Place(upgrade_, 185, 208, 80, 16);
  progressLabel_ = AddText(QStringLiteral("Progress:"), 185, 234, 40, 8);
  units.Place(m_progress, 230, 232, 255, 12);
  m_progress->setTextVisible(false);
  m_progress->setRange(0, 100);
  m_progress->setValue(0);

  connect(verify_, &QPushButton::clicked, this, &CFlashPage::OnVerify);
  connect(browseButton_, &QPushButton::clicked, this, &CFlashPage::OnBrowse);
  connect(upgrade_, &QPushButton::clicked, this, &CFlashPage::OnUpgrade);
  connect(sourceList_, &QRadioButton::clicked, this, &CFlashPage::OnSourceChanged);
  connect(sourceFile_, &QRadioButton::clicked, this, &CFlashPage::OnSourceChanged);
  connect(m_firmwareList, &QListWidget::itemSelectionChanged, this, &CFlashPage::OnFirmwareSelChange);

  SetUpPageTitle(*title_);
  UpdateControls();
}

CFlashPage::~CFlashPage() = default;

void CFlashPage::SetPrompts(std::shared_ptr<Prompts> prompts) { prompts_ = std::move(prompts); }

void CFlashPage::SetBrowsePrompt(BrowsePrompt prompt) { browse_ = std::move(prompt); }

QWidget* CFlashPage::Control(ControlId id) const {
  switch (id) {
    case IDC_VERIFY: return verify_;
    case IDC_STATUS: return statusEdit_;
    case IDC_FIRMWARE_PATH: return pathEdit_;
    case IDC_BROWSE: return browseButton_;
    case IDC_UPGRADE: return upgrade_;
    case IDC_PROGRESS: return m_progress;
    case IDC_FILE_LABEL: return fileLabel_;
    case IDC_UPGRADE_LABEL: return upgradeLabel_;
    case IDC_PROGRESS_LABEL: return progressLabel_;
    case IDC_STEPS: return steps_;
    case IDC_TITLE: return title_;
    case IDC_SOURCE_LIST: return sourceList_;
    case IDC_SOURCE_FILE: return sourceFile_;
    case IDC_FIRMWARE_LIST: return m_firmwareList;
  }
  return nullptr;
}

void CFlashPage::MembersFromControls() {
  m_status = statusEdit_->text().toStdString();
  m_firmwarePath = pathEdit_->text().toStdString();
  m_source = sourceFile_->isChecked() ? 1 : 0;
}

void CFlashPage::ControlsFromMembers() {
  statusEdit_->setText(FromUtf8(m_status));
  pathEdit_->setText(FromUtf8(m_firmwarePath));
  (m_source == 1 ? sourceFile_ : sourceList_)->setChecked(true);
}

void CFlashPage::showEvent(QShowEvent* event) {
  // Shown because its tab was chosen (or the window came up), not because
  // the desktop uncovered it.
  if (!event->spontaneous()) {
    m_status.clear();
    m_verified = 0;
    ControlsFromMembers();
    UpdateControls();
  }
  CPropertyPage::showEvent(event);
}

void CFlashPage::UpdateControls() {
  const bool verified = m_verified != 0;
  const bool fromList = m_source == 0;
  sourceList_->setVisible(verified);
  sourceFile_->setVisible(verified);
  m_firmwareList->setVisible(verified && fromList);
  for (QWidget* control : {static_cast<QWidget*>(fileLabel_), static_cast<QWidget*>(pathEdit_),
                           static_cast<QWidget*>(browseButton_)}) {
    control->setVisible(verified && !fromList);
  }
  for (QWidget* control : {static_cast<QWidget*>(upgradeLabel_), static_cast<QWidget*>(upgrade_),
                           static_cast<QWidget*>(progressLabel_), static_cast<QWidget*>(m_progress)}) {
    control->setVisible(verified);
  }
}

// The link is opened anew (closed first when open) and stays open: the
// update that follows runs on it.
void CFlashPage::OnVerify() {
  MembersFromControls();
  PageBarTarget bar(*m_progress, *this);
  QtOperationUi ui(this, *prompts_, bar);
  communicator_.Open(&ui);
  if (!communicator_.IsOpen()) {
    ui.ShowMessage(kCommunicationClosed);
    return;
  }
  BootStatus status;
  {
    WaitCursor wait;
    status = CheckBootloader(communicator_);
  }
  m_status = status.text;
  if (status.found) m_verified = 1;  // a failed later Verify keeps it, with an error in the status
  FillFirmwareList();
  UpdateControls();
  ControlsFromMembers();
}

void CFlashPage::FillFirmwareList() {
  // Filling the list is not the user's choice: it selects explicitly below.
  const QSignalBlocker quiet(m_firmwareList);
  m_firmwareList->clear();
  struct Entry {
    QString name;      // without folder and extension
    QString fileName;  // as it lies in the folder
  };
  std::vector<Entry> entries;
  const QDir folder(FromUtf8(ProgramDirectory()));
  // Without QDir::CaseSensitive the pattern matches ".HEX" too.
  for (const QString& fileName : folder.entryList({QStringLiteral("*.hex")}, QDir::Files)) {
    entries.push_back({fileName.left(fileName.size() - 4), fileName});
  }
  // Descending by plain code-unit comparison: "KT-9 V2.4" before "KT-9 V10".
  std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.name > b.name; });
  for (const Entry& entry : entries) {
    QString text = entry.name;
    if (entry.name == QString::fromUtf8(kRecommendedFirmware)) text += QString::fromUtf8(kRecommendedSuffix);
    auto* item = new QListWidgetItem(text, m_firmwareList);
    item->setData(kFileNameRole, entry.fileName);
  }
  if (m_firmwareList->count() == 0) return;  // the path stays what it was
  m_firmwareList->setCurrentRow(0);
  OnFirmwareSelChange();
}

void CFlashPage::OnFirmwareSelChange() {
  const QList<QListWidgetItem*> selected = m_firmwareList->selectedItems();
  if (selected.isEmpty()) {
    m_firmwarePath.clear();
  } else {
    m_firmwarePath = ProgramDirectory() + selected.front()->data(kFileNameRole).toString().toStdString();
  }
  ControlsFromMembers();
}

void CFlashPage::OnSourceChanged() {
  MembersFromControls();
  UpdateControls();
  ControlsFromMembers();
}

void CFlashPage::OnBrowse() {
  MembersFromControls();
  if (m_status.find("OK") == std::string::npos) {
    prompts_->Message(this, "Please verify the connection!");
    return;
  }
  const std::optional<std::string> path = browse_ ? browse_(this) : std::nullopt;
  if (!path) return;
  MembersFromControls();
  m_firmwarePath = *path;
  ControlsFromMembers();
}

// After every attempt the page is unverified again: the pedal must be
// verified anew before another update.
void CFlashPage::OnUpgrade() {
  verify_->setEnabled(false);
  browseButton_->setEnabled(false);
  {
    WaitCursor wait;
    MembersFromControls();
    UpdateRequest request{m_status, m_firmwarePath, [this](bool enabled) { upgrade_->setEnabled(enabled); }};
    PageBarTarget bar(*m_progress, *this);
    QtOperationUi ui(this, *prompts_, bar);
    RunUpdate(communicator_, request, ui);
  }
  verify_->setEnabled(true);
  browseButton_->setEnabled(true);
  m_status.clear();
  m_verified = 0;
  ControlsFromMembers();
  UpdateControls();
}

void CFlashPage::PumpMessages() { QCoreApplication::processEvents(); }

}  // namespace kt9
