// The "Update Firmware" page: its controls and their states, the firmware
// list beside the program, Verify and Upgrade against kt9-sim in programming
// mode. Prompts are scripted; no real box is ever shown.
#include "firmware/flash_page.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <deque>
#include <fstream>
#include <functional>

#include "app/prompts.h"
#include "app/property_sheet.h"
#include "app/static_ex.h"
#include "firmware/program_folder.h"
#include "firmware/update_procedure.h"
#include "sim/test_firmware.h"
#include "tests/support/sim_process.h"

namespace kt9 {
namespace {

using test::BootLinkOptions;
using Id = CFlashPage::ControlId;

class ScriptedPrompts : public Prompts {
 public:
  std::vector<std::string> messages;
  std::vector<std::string> questions;
  std::deque<bool> answers;
  std::function<void()> onQuestion;

  void Message(QWidget*, const std::string& text) override { messages.push_back(text); }
  bool Question(QWidget*, const std::string& text) override {
    questions.push_back(text);
    if (onQuestion) onQuestion();
    const bool answer = !answers.empty() && answers.front();
    if (!answers.empty()) answers.pop_front();
    return answer;
  }
  std::optional<std::string> SavePath(QWidget*, const std::string&) override { return std::nullopt; }
  std::optional<std::string> OpenPath(QWidget*) override { return std::nullopt; }
};

void Touch(const std::string& path) { std::ofstream(path) << ":00000001FF\r\n"; }

// The page in a sheet beside another page, a program folder of its own and
// a pedal in programming mode on the shared link.
class FlashPageTest : public testing::Test {
 protected:
  explicit FlashPageTest(std::vector<std::string> simArgs = {}) {
    simArgs.insert(simArgs.begin(), {"--bootloader", "--log", folder_.File("requests.log")});
    sim_.emplace(simArgs);
    link_.emplace(BootLinkOptions(sim_->Started() ? sim_->Port() : "/dev/kt9-no-such-port"));
    OverrideProgramDirectory(folder_.Path());
    other_ = new QWidget;
    other_->setWindowTitle(QStringLiteral("Backup/Restore"));
    sheet_.AddPage(other_);
    page_ = new CFlashPage(*link_, &sheet_);
    sheet_.AddPage(page_);
    page_->SetPrompts(prompts_);
    sheet_.show();
    sheet_.setCurrentWidget(page_);
  }
  ~FlashPageTest() override { OverrideProgramDirectory(""); }

  QWidget* Control(Id id) const { return page_->Control(id); }
  QPushButton* Button(Id id) const { return qobject_cast<QPushButton*>(Control(id)); }
  QString Text(Id id) const { return qobject_cast<QLineEdit*>(Control(id))->text(); }
  void Click(Id id) { QTest::mouseClick(Control(id), Qt::LeftButton, {}, QPoint(4, 4)); }

  // The ids of the update controls that are shown.
  std::vector<int> ShownUpdateControls() const {
    std::vector<int> shown;
    for (Id id : {Id::IDC_SOURCE_LIST, Id::IDC_SOURCE_FILE, Id::IDC_FIRMWARE_LIST, Id::IDC_FILE_LABEL,
                  Id::IDC_FIRMWARE_PATH, Id::IDC_BROWSE, Id::IDC_UPGRADE_LABEL, Id::IDC_UPGRADE,
                  Id::IDC_PROGRESS_LABEL, Id::IDC_PROGRESS}) {
      if (!Control(id)->isHidden()) shown.push_back(id);
    }
    return shown;
  }

  test::TempDir folder_;
  std::optional<test::SimProcess> sim_;
  std::optional<Communicator> link_;
  std::shared_ptr<ScriptedPrompts> prompts_ = std::make_shared<ScriptedPrompts>();
  CKT9PropertySheet sheet_;
  QWidget* other_ = nullptr;
  CFlashPage* page_ = nullptr;
};

const std::vector<int> kListShown{Id::IDC_SOURCE_LIST, Id::IDC_SOURCE_FILE, Id::IDC_FIRMWARE_LIST,
                                  Id::IDC_UPGRADE_LABEL, Id::IDC_UPGRADE, Id::IDC_PROGRESS_LABEL, Id::IDC_PROGRESS};
const std::vector<int> kFileShown{Id::IDC_SOURCE_LIST, Id::IDC_SOURCE_FILE, Id::IDC_FILE_LABEL,
                                  Id::IDC_FIRMWARE_PATH, Id::IDC_BROWSE, Id::IDC_UPGRADE_LABEL, Id::IDC_UPGRADE,
                                  Id::IDC_PROGRESS_LABEL, Id::IDC_PROGRESS};

TEST_F(FlashPageTest, ControlsTextsAndTheUnverifiedStart) {
  EXPECT_EQ(page_->windowTitle(), "Update Firmware");
  EXPECT_EQ(page_->Title()->text(), "KT-9 Firmware Update");
  EXPECT_EQ(page_->Title()->FontHeight(), 20);
  EXPECT_EQ(page_->Title()->font().weight(), 600);
  EXPECT_EQ(qobject_cast<QLabel*>(Control(Id::IDC_STEPS))->text(),
            "STEPS TO ACTIVATE PROGRAMMING MODE:\n1. You need to connect a USB cable between the PC and the KT-9\n2. "
            "Turn KT-9 OFF!\n3. Press down the 'A'-footswitch and keep it pressed while turning KT-9 ON!\n4. All "
            "LED's should now flash, release 'A' footswitch.");
  const struct {
    Id id;
    const char* text;
  } texts[] = {
      {Id::IDC_VERIFY, "<< Verify"},
      {Id::IDC_BROWSE, "<< Browse..."},
      {Id::IDC_UPGRADE, "Upgrade KT-9"},
      {Id::IDC_SOURCE_LIST, "Select bundled firmware from list"},
      {Id::IDC_SOURCE_FILE, "Other firmware file"},
      {Id::IDC_FILE_LABEL, "Select the firmware file you wish to use for programming."},
      {Id::IDC_UPGRADE_LABEL, "Press the upgrade button and wait until done (this may take several minutes)."},
      {Id::IDC_PROGRESS_LABEL, "Progress:"},
  };
  for (const auto& t : texts) EXPECT_EQ(Control(t.id)->property("text").toString(), t.text) << t.id;
  bool instruction = false;
  for (const QLabel* label : page_->findChildren<QLabel*>()) {
    instruction |= label->text() == "Please verify the status. Status should say OK and show version numbers.";
  }
  EXPECT_TRUE(instruction);
  EXPECT_TRUE(qobject_cast<QLineEdit*>(Control(Id::IDC_STATUS))->isReadOnly());
  EXPECT_TRUE(qobject_cast<QLineEdit*>(Control(Id::IDC_FIRMWARE_PATH))->isReadOnly());
  EXPECT_TRUE(qobject_cast<QRadioButton*>(Control(Id::IDC_SOURCE_LIST))->isChecked());
  EXPECT_EQ(ShownUpdateControls(), std::vector<int>{});
  EXPECT_FALSE(link_->IsOpen());
}

// Verify, the source buttons and switching pages decide what is shown.
TEST_F(FlashPageTest, VerifyShowsTheUpdateControlsUntilThePageIsLeft) {
  Click(Id::IDC_VERIFY);
  EXPECT_EQ(Text(Id::IDC_STATUS), "OK - BL V1.2, FW V2.3");
  EXPECT_EQ(page_->Verified(), 1);
  EXPECT_TRUE(link_->IsOpen()) << "the update runs on the link Verify opened";
  EXPECT_EQ(ShownUpdateControls(), kListShown);
  Click(Id::IDC_SOURCE_FILE);
  EXPECT_EQ(page_->Source(), 1);
  EXPECT_EQ(ShownUpdateControls(), kFileShown);
  Click(Id::IDC_SOURCE_LIST);
  EXPECT_EQ(ShownUpdateControls(), kListShown);

  Click(Id::IDC_VERIFY);  // closes and reopens the link
  EXPECT_TRUE(link_->IsOpen());
  EXPECT_EQ(Text(Id::IDC_STATUS), "OK - BL V1.2, FW V2.3");

  sheet_.setCurrentWidget(other_);
  sheet_.setCurrentWidget(page_);
  EXPECT_EQ(Text(Id::IDC_STATUS), "");
  EXPECT_EQ(page_->Verified(), 0);
  EXPECT_EQ(ShownUpdateControls(), std::vector<int>{});
  EXPECT_TRUE(prompts_->messages.empty());
}

class FlashPageFaultTest : public FlashPageTest {
 protected:
  FlashPageFaultTest() : FlashPageTest({"--fault", "no-answer:version@2"}) {}
};

// A later Verify that gets no answer keeps the controls but not the "OK":
// Browse and Upgrade then refuse.
TEST_F(FlashPageFaultTest, FailedLaterVerifyLeavesTheControlsButRefusesTheRest) {
  Click(Id::IDC_VERIFY);
  Click(Id::IDC_VERIFY);
  EXPECT_EQ(Text(Id::IDC_STATUS), "ERROR: NO RESPONSE!");
  EXPECT_EQ(page_->Verified(), 1);
  EXPECT_EQ(ShownUpdateControls(), kListShown);
  Click(Id::IDC_SOURCE_FILE);
  Click(Id::IDC_BROWSE);
  Click(Id::IDC_UPGRADE);
  EXPECT_EQ(prompts_->messages,
            (std::vector<std::string>{"Please verify the connection!", "Please verify the connection!"}));
  EXPECT_EQ(page_->Verified(), 0) << "every upgrade attempt ends unverified";
}

TEST(FlashPageAlone, VerifyReportsEveryAnswer) {
  const struct {
    std::vector<std::string> simArgs;  // empty: no pedal at all
    std::vector<std::string> messages;
    std::string status;
    int verified;
  } cases[] = {
      {{"--bl-version", "0.0"}, {}, "ERROR: NORVANE KT-9 NOT IN PROGRAMMING MODE!", 0},
      {{"--bl-version", "3.14", "--fw-version", "2.4"}, {}, "OK - BL V3.14, FW V2.4", 1},
      {{"--fault", "no-answer:version"}, {}, "ERROR: NO RESPONSE!", 0},
      {{}, {"Device not found", "Error: Communication is closed"}, "", 0},
  };
  for (const auto& c : cases) {
    std::optional<test::SimProcess> sim;
    if (!c.simArgs.empty()) {
      std::vector<std::string> args{"--bootloader"};
      args.insert(args.end(), c.simArgs.begin(), c.simArgs.end());
      sim.emplace(args);
      ASSERT_TRUE(sim->Started());
    }
    Communicator link(BootLinkOptions(sim ? sim->Port() : "/dev/kt9-no-such-port"));
    CFlashPage page(link);
    auto prompts = std::make_shared<ScriptedPrompts>();
    page.SetPrompts(prompts);
    page.show();
    page.OnVerify();
    EXPECT_EQ(prompts->messages, c.messages);
    EXPECT_EQ(qobject_cast<QLineEdit*>(page.Control(Id::IDC_STATUS))->text().toStdString(), c.status);
    EXPECT_EQ(page.Verified(), c.verified);
  }
}

TEST_F(FlashPageTest, FirmwareListOffersTheFilesBesideTheProgram) {
  for (const char* name : {"KT-9 V2.3.hex", "KT-9 V2.4.hex", "KT-9 V10.hex", "kt-9 v2.4.hex", "UPPER.HEX",
                           "notes.txt", "hex"}) {
    Touch(folder_.File(name));
  }
  page_->FillFirmwareList();
  auto* list = qobject_cast<QListWidget*>(Control(Id::IDC_FIRMWARE_LIST));
  QStringList entries;
  for (int i = 0; i < list->count(); ++i) entries << list->item(i)->text();
  // Descending by code units: lower case before upper, "V2" before "V10".
  EXPECT_EQ(entries, (QStringList{"kt-9 v2.4", "UPPER", "KT-9 V2.4\t (Recommended!)", "KT-9 V2.3", "KT-9 V10"}));
  EXPECT_EQ(list->currentRow(), 0);
  EXPECT_EQ(page_->FirmwarePath(), folder_.File("kt-9 v2.4.hex"));
  EXPECT_EQ(Text(Id::IDC_FIRMWARE_PATH).toStdString(), folder_.File("kt-9 v2.4.hex"));

  const struct {
    int row;
    std::string path;
  } selections[] = {{2, folder_.File("KT-9 V2.4.hex")}, {1, folder_.File("UPPER.HEX")}};
  for (const auto& s : selections) {
    list->setCurrentRow(s.row);
    EXPECT_EQ(page_->FirmwarePath(), s.path);
    EXPECT_TRUE(PathExists(page_->FirmwarePath()));
  }
  list->clearSelection();
  EXPECT_EQ(page_->FirmwarePath(), "");

  list->setCurrentRow(0);
  test::TempDir empty;
  OverrideProgramDirectory(empty.Path());
  page_->FillFirmwareList();
  EXPECT_EQ(list->count(), 0);
  EXPECT_EQ(page_->FirmwarePath(), folder_.File("kt-9 v2.4.hex")) << "an empty list keeps the path";
}

TEST_F(FlashPageTest, UpgradeRunsTheUpdateAndEndsUnverified) {
  {
    std::ofstream hex(folder_.File("KT-9 V2.4.hex"), std::ios::binary);
    sim::TestFirmwareOptions firmware;
    firmware.mainBytes = 0x800;
    sim::WriteTestFirmware(firmware, hex);
  }
  auto* bar = qobject_cast<QProgressBar*>(Control(Id::IDC_PROGRESS));
  bool disabledWhileRunning = false;
  prompts_->onQuestion = [&] {
    disabledWhileRunning = !Button(Id::IDC_VERIFY)->isEnabled() && !Button(Id::IDC_BROWSE)->isEnabled() &&
                           !Button(Id::IDC_UPGRADE)->isEnabled();
    EXPECT_EQ(bar->maximum(), 8);  // the main program's blocks
  };
  Click(Id::IDC_VERIFY);
  EXPECT_EQ(page_->FirmwarePath(), folder_.File("KT-9 V2.4.hex"));
  Click(Id::IDC_UPGRADE);
  EXPECT_EQ(prompts_->questions, std::vector<std::string>{kRestartNowQuestion});
  EXPECT_TRUE(prompts_->messages.empty());
  EXPECT_TRUE(disabledWhileRunning);
  EXPECT_TRUE(Button(Id::IDC_VERIFY)->isEnabled());
  EXPECT_TRUE(Button(Id::IDC_BROWSE)->isEnabled());
  EXPECT_TRUE(Button(Id::IDC_UPGRADE)->isEnabled());
  EXPECT_EQ(bar->value(), 0);
  EXPECT_EQ(Text(Id::IDC_STATUS), "");
  EXPECT_EQ(page_->Verified(), 0);
  EXPECT_EQ(ShownUpdateControls(), std::vector<int>{});

  // Another file, picked with Browse after a new Verify.
  const std::string other = folder_.File("elsewhere.hex");
  page_->SetBrowsePrompt([&](QWidget*) { return std::optional<std::string>(other); });
  Click(Id::IDC_VERIFY);
  Click(Id::IDC_SOURCE_FILE);
  Click(Id::IDC_BROWSE);
  EXPECT_EQ(Text(Id::IDC_FIRMWARE_PATH).toStdString(), other);
  Click(Id::IDC_UPGRADE);
  EXPECT_EQ(prompts_->messages, std::vector<std::string>{"The file does not exist : [" + other + "]"});
  sim_->Stop();
  std::ifstream log(folder_.File("requests.log"));
  std::vector<std::string> requests;
  for (std::string line; std::getline(log, line);) requests.push_back(line);
  ASSERT_FALSE(requests.empty());
  EXPECT_EQ(requests.back(), "version") << "the second upgrade sent nothing";
  EXPECT_EQ(std::count(requests.begin(), requests.end(), "verify"), 1);
}

}  // namespace
}  // namespace kt9
