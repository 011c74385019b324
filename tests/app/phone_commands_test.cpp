// The read command (F3), the phonebook read (F4) and deleting the messages of
// List1 in the phone, through the window against phonesim.
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>

#include "app/check_box.h"
#include "app/qt_user_interface.h"
#include "app/row_model.h"
#include "app/status_panel.h"
#include "phone/serial/com_port.h"
#include "phone_window.h"
#include "store/list_file.h"

namespace missivo::test {
namespace {

using PhoneCommandsTest = PhoneWindowTest;

const char kPhonebook[] =
    R"({"phonebook_range": "1-60,40,24",
        "phonebook": [{"index": 1, "number": "+79160001001", "name": "Иван"}]})";

std::vector<std::string> Deletes(const PhoneSim& phone) {
  std::vector<std::string> deletes;
  for (const std::string& command : phone.Commands()) {
    if (command.rfind("AT+CMGD=", 0) == 0) deletes.push_back(command);
  }
  return deletes;
}

std::vector<Row> ArchiveFile(TForm1& form) {
  const Result<std::vector<Row>> rows = ReadListFile(form.Files().archive);
  EXPECT_TRUE(rows.ok()) << rows.message();
  return rows.ok() ? rows.value() : std::vector<Row>{};
}

QString TabText(TForm1& form, QWidget* tab) {
  return form.bsSkinPageControl1->tabText(form.bsSkinPageControl1->indexOf(tab));
}

TEST_F(PhoneCommandsTest, ReadFillsTheListsResolvesNamesAndSavesTheArchive) {
  PhoneSim phone(ScenarioWithMessages(5, kPhonebook));
  auto program = StartOn(phone.Device());
  TForm1& form = program->form1();
  form.Check7->SetChecked(true);

  form.N18->trigger();
  ASSERT_EQ(form.List1Rows->rows().size(), 5u);
  EXPECT_EQ(form.List1Rows->rows()[0].caption, W("Сообщение номер 1"));
  EXPECT_EQ(SubItem(form.List1Rows->rows()[0], kFrom), W("Иван (+79160001001)"));
  EXPECT_EQ(SubItem(form.List1Rows->rows()[1], kFrom), "+79160001002");
  EXPECT_EQ(form.List4Rows->rows(), form.List1Rows->rows());
  EXPECT_EQ(ArchiveFile(form), form.List4Rows->rows());
  ASSERT_EQ(form.List2Rows->rows().size(), 1u);
  EXPECT_TRUE(std::filesystem::exists(form.Files().phonebook));
  EXPECT_EQ(TabText(form, form.SMSTAB), Q("Сообщения (5)"));
  EXPECT_EQ(TabText(form, form.ARCHIVETAB), Q("Архив (5)"));
  EXPECT_TRUE(form.ProgressBar->isHidden());
  EXPECT_EQ(form.ProgressText->text(), QString());
  EXPECT_TRUE(form.bsSkinMessage1->shown().empty()) << ShownTexts(form).front();

  // Read again: the messages are in the archive already.
  form.bsSkinSpeedButton3->click();
  EXPECT_EQ(form.List4Rows->rows().size(), 5u);

  // Disconnected: List1 stays, and the archive is saved again.
  form.bsSkinSpeedButton2->click();
  std::filesystem::remove(form.Files().archive);
  form.N18->trigger();
  EXPECT_EQ(form.List1Rows->rows().size(), 5u);
  EXPECT_EQ(ArchiveFile(form), form.List4Rows->rows());
}

TEST_F(PhoneCommandsTest, PhonebookReadReplacesTheContactsAndResolvesTheArchive) {
  PhoneSim phone(kPhonebook);
  auto program = StartOn(phone.Device());
  TForm1& form = program->form1();
  form.List4Rows->SetRows({Row{"hi", {"+79160001001", "", "2", "1", ""}, 2}});

  form.N19->trigger();
  ASSERT_EQ(form.List2Rows->rows(), (std::vector<Row>{Row{W("Иван"), {"+79160001001"}, 30}}));
  const Result<std::vector<Row>> phonebook = ReadListFile(form.Files().phonebook);
  ASSERT_TRUE(phonebook.ok());
  EXPECT_EQ(phonebook.value(), form.List2Rows->rows());
  EXPECT_EQ(SubItem(form.List4Rows->rows()[0], kFrom), W("Иван (+79160001001)"));
  EXPECT_EQ(ArchiveFile(form), form.List4Rows->rows());
}

TEST_F(PhoneCommandsTest, UnusableRangeLeavesThePhonebookAndItsFile) {
  PhoneSim phone(R"({"phonebook_range": "(1-1000),40,24"})");
  auto program = StartOn(phone.Device());
  TForm1& form = program->form1();
  form.List2Rows->SetRows({Row{"Old", {"123"}, 30}});
  form.N19->trigger();
  EXPECT_EQ(form.List2Rows->rows().size(), 1u);
  EXPECT_FALSE(std::filesystem::exists(form.Files().phonebook));
  EXPECT_TRUE(form.N19->isEnabled());
}

TEST_F(PhoneCommandsTest, MessagesLeaveThePhoneOnlyOnceTheArchiveHoldingThemIsSaved) {
  PhoneSim phone(ScenarioWithMessages(3));
  auto program = StartOn(phone.Device());
  TForm1& form = program->form1();
  form.Check6->SetChecked(true);

  // The archive cannot be written: nothing is deleted.
  std::filesystem::create_directories(form.Files().archive / "in-the-way");
  form.N18->trigger();
  EXPECT_EQ(form.List4Rows->rows().size(), 3u);
  EXPECT_TRUE(Deletes(phone).empty());
  EXPECT_EQ(form.ProgressText->text(), Q("Архив не сохранён: новых сообщений в нём нет"));
  std::filesystem::remove_all(form.Files().archive);

  // The archive is saved with them, then each is deleted.
  form.N18->trigger();
  EXPECT_EQ(ArchiveFile(form).size(), 3u);
  EXPECT_EQ(Deletes(phone), (std::vector<std::string>{"AT+CMGD=1", "AT+CMGD=2", "AT+CMGD=3"}));
}

// What a read could not do is what the status bar says afterwards, not "done".
TEST_F(PhoneCommandsTest, TheStatusSaysWhatTheReadCouldNotDo) {
  const struct {
    const char* name;
    const char* faults;
    const char* status;
  } cases[] = {
      {"a busy SIM", R"({"faults": [{"command": "at+cmgl*", "action": "cms_error", "code": 314}]})",
       "Телефон не выдал список сообщений: +CMS ERROR: 314 (SIM busy)"},
      {"a message that cannot be read",
       R"({"faults": [{"command": "AT+CMGR=2", "action": "cms_error", "code": 500}]})",
       "Не прочитано сообщений: 1, они остались в телефоне"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    PhoneSim phone(ScenarioWithMessages(3, c.faults));
    auto program = StartOn(phone.Device());
    TForm1& form = program->form1();
    form.N18->trigger();
    EXPECT_EQ(form.ProgressText->text(), Q(c.status));
  }
}

TEST_F(PhoneCommandsTest, PhoneUnpluggedMidReadKeepsWhatWasRead) {
  // Commands 1-4 set up and list, 5 and 6 read two messages, 7 hangs up.
  PhoneSim phone(ScenarioWithMessages(4, R"({"hang_up_after": 7})"));
  auto program = StartOn(phone.Device());
  TForm1& form = program->form1();
  // The family's conversation by number: no identification before it.
  form.PhoneKindBox->setCurrentIndex(static_cast<int>(PhoneKind::kFamily));
  form.Check6->SetChecked(true);

  form.bsSkinSpeedButton3->click();
  EXPECT_EQ(ShownTexts(form), std::vector<std::string>{"Устройство не обнаружено!"});
  EXPECT_FALSE(form.Comm->Active());
  EXPECT_EQ(form.Panel1->Text(), Q("Статус: Отключен"));
  ASSERT_EQ(form.List1Rows->rows().size(), 2u);
  EXPECT_EQ(form.List4Rows->rows(), form.List1Rows->rows());
  EXPECT_EQ(ArchiveFile(form), form.List4Rows->rows());
  EXPECT_TRUE(Deletes(phone).empty());
  // The command ended by the error; the phone commands are back.
  EXPECT_TRUE(form.N18->isEnabled());
  EXPECT_TRUE(form.ConnB->isEnabled());
  EXPECT_TRUE(form.bsSkinButton1->isEnabled());
  EXPECT_TRUE(form.ProgressBar->isHidden());
}

TEST_F(PhoneCommandsTest, OtherPhoneCommandsWaitWhileOneRuns) {
  PhoneSim phone(ScenarioWithMessages(3));
  auto program = StartOn(phone.Device());
  TForm1& form = program->form1();
  std::vector<bool> enabled;
  int attempts = 0;
  QTimer::singleShot(0, &form, [&] {
    for (QAction* item : {form.N10, form.N18, form.N19, form.MenuItem1, form.MenuItem2})
      enabled.push_back(item->isEnabled());
    for (QWidget* control :
         std::initializer_list<QWidget*>{form.ConnB, form.bsSkinSpeedButton3, form.bsSkinButton1})
      enabled.push_back(control->isEnabled());
    // Calls that reach a handler anyway start nothing.
    form.bsSkinSpeedButton3Click();
    form.N19Click();
    form.ConnBClick();
    ++attempts;
  });
  form.N18->trigger();
  EXPECT_EQ(attempts, 1);
  EXPECT_EQ(enabled, std::vector<bool>(8, false));
  EXPECT_TRUE(form.bsSkinSpeedButton2->isEnabled());
  const auto commands = phone.Commands();
  EXPECT_EQ(std::count(commands.begin(), commands.end(), "at+cmgl=\"ALL\""), 1);
  EXPECT_EQ(std::count(commands.begin(), commands.end(), "AT+MPBR=?"), 0);
  EXPECT_TRUE(form.Comm->Active());
  for (QAction* item : {form.N10, form.N18, form.N19, form.MenuItem1, form.MenuItem2})
    EXPECT_TRUE(item->isEnabled());
}

TEST_F(PhoneCommandsTest, ClosingDuringAReadWaitsForItsEnd) {
  PhoneSim phone(ScenarioWithMessages(6));
  auto program = StartOn(phone.Device());
  TForm1& form = program->form1();
  bool visible_after_close = false;
  QTimer::singleShot(0, &form, [&] {
    form.close();
    visible_after_close = form.isVisible();
  });
  form.N18->trigger();
  EXPECT_TRUE(visible_after_close);
  EXPECT_FALSE(form.Comm->Active());  // closing the port ended the read early
  // The close came while the first message was read; the others met a closed port.
  EXPECT_EQ(form.List1Rows->rows().size(), 1u);
  ASSERT_TRUE(WaitFor([&] { return !form.isVisible(); }));
  // The exit sequence ran after the read: the archive holds what the read kept.
  EXPECT_EQ(ArchiveFile(form), form.List4Rows->rows());
}

TEST_F(PhoneCommandsTest, DeletingTheMessagesOfTheListInThePhone) {
  PhoneSim phone(ScenarioWithMessages(5));
  auto program = StartOn(phone.Device());
  TForm1& form = program->form1();
  form.Check13->SetChecked(false);
  form.N18->trigger();
  ASSERT_EQ(form.List1Rows->rows().size(), 5u);
  form.bsSkinPageControl1->setCurrentWidget(form.SMSTAB);
  QItemSelectionModel* selection = form.List1->selectionModel();
  const auto select = [&](std::initializer_list<int> rows) {
    selection->clearSelection();
    for (const int row : rows) {
      selection->select(form.List1->model()->index(row, 0),
                        QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
  };

  // No selection: no question, nothing sent.
  selection->clearSelection();
  QTest::keyClick(form.List1, Qt::Key_Delete);
  EXPECT_TRUE(form.bsSkinMessage1->shown().empty());
  // Answered No: nothing sent, nothing removed.
  select({1});
  form.bsSkinMessage1->SetNextAnswer(false);
  QTest::keyClick(form.List1, Qt::Key_Delete);
  EXPECT_EQ(ShownTexts(form),
            std::vector<std::string>{"Вы действительно хотите удалить выделеные сообщения?"});
  EXPECT_TRUE(Deletes(phone).empty());
  EXPECT_EQ(form.List1Rows->rows().size(), 5u);
  // Yes: the selected message goes from the phone and the list.
  form.Text1->setPlainText(QStringLiteral("preview"));
  form.bsSkinMessage1->SetNextAnswer(true);
  QTest::keyClick(form.List1, Qt::Key_Delete);
  EXPECT_EQ(Deletes(phone), std::vector<std::string>{"AT+CMGD=2"});
  EXPECT_EQ(form.List1Rows->rows().size(), 4u);
  EXPECT_TRUE(form.Text1->toPlainText().isEmpty());

  // "Удалить": three of four, in list order, without a question.
  select({3, 0, 2});
  form.MenuItem1->trigger();
  EXPECT_EQ(Deletes(phone),
            (std::vector<std::string>{"AT+CMGD=2", "AT+CMGD=1", "AT+CMGD=4", "AT+CMGD=5"}));
  ASSERT_EQ(form.List1Rows->rows().size(), 1u);
  EXPECT_EQ(SubItem(form.List1Rows->rows()[0], kIndex), "3");
  EXPECT_EQ(TabText(form, form.SMSTAB), Q("Сообщения (1)"));
  EXPECT_EQ(ShownTexts(form).size(), 2u);

  // "Удалить все" with the port closed: nothing reaches the phone, the list empties.
  form.bsSkinSpeedButton2->click();
  form.MenuItem2->trigger();
  EXPECT_EQ(Deletes(phone).size(), 4u);
  EXPECT_TRUE(form.List1Rows->rows().empty());
  EXPECT_EQ(TabText(form, form.SMSTAB), Q("Сообщения"));
  EXPECT_TRUE(form.ProgressBar->isHidden());
}

}  // namespace
}  // namespace missivo::test
