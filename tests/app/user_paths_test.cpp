// What a person's keys and clicks reach in the window: keys go to the focused
// widget (QApplication::focusWidget()) of the active window, as typing does,
// never to an inner widget picked by the test.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <QTreeView>

#include "app/image_list.h"
#include "app/program.h"
#include "app/qt_user_interface.h"
#include "app/row_model.h"
#include "app/splash.h"
#include "app/status_panel.h"
#include "app/terminal_view.h"
#include "phone/serial/com_port.h"
#include "phone_window.h"
#include "text/default_language.h"

namespace missivo::test {
namespace {

using UserPathsTest = PhoneWindowTest;

void Type(const char* text) {
  QTest::keyClicks(QApplication::focusWidget(), QString::fromUtf8(text));
}

void Press(Qt::Key key) {
  QTest::keyClick(QApplication::focusWidget(), key);
}

std::vector<std::string> History(const QComboBox* field) {
  std::vector<std::string> items;
  for (int i = 0; i < field->count(); ++i)
    items.push_back(field->itemText(i).toStdString());
  return items;
}

// Enter typed in the command box sends the command as typed: the history is
// kept in the list, and nothing completes "AT" to an earlier "ATI".
TEST_F(UserPathsTest, EnterInTheCommandBoxSendsWhatWasTyped) {
  PhoneSim phone(R"({"echo": false})");
  auto program = StartOn(phone.Device());
  TForm1& form = program->form1();
  ASSERT_TRUE(form.Comm->Active());
  QWidget* focused = FocusOn(*program, form.bsSkinTabSheet6, form.ATField);
  EXPECT_TRUE(focused == form.ATField || focused == form.ATField->lineEdit());

  Type("ATI");
  Press(Qt::Key_Return);
  Type("AT");
  Press(Qt::Key_Enter);  // the key pad's Enter too
  Type("at+csq");
  Press(Qt::Key_Return);
  EXPECT_EQ(phone.Commands(), (std::vector<std::string>{"ATI", "AT", "at+csq"}));
  EXPECT_EQ(History(form.ATField), (std::vector<std::string>{"ATI", "AT", "at+csq"}));
  EXPECT_EQ(form.ATField->currentText(), QString());

  // Enter in the empty box sends nothing; a text that is no command stays.
  Press(Qt::Key_Return);
  Type("hello");
  Press(Qt::Key_Return);
  EXPECT_EQ(phone.Commands().size(), 3u);
  EXPECT_EQ(form.Terminal->Lines().back(), "hello");
  EXPECT_EQ(form.ATField->currentText(), Q("hello"));
}

// The device box keeps the devices in its list and what is typed as typed.
TEST_F(UserPathsTest, TheDeviceBoxTakesTheNameAsTyped) {
  auto program = StartProgram();
  TForm1& form = program->form1();
  form.PT->addItem(Q("/dev/ttyS0"));
  form.PT->addItem(Q("/dev/ttyACM0"));
  form.PT->setEditText(QString());
  FocusOn(*program, form.bsSkinTabSheet5, form.PT);
  Type("/");
  EXPECT_EQ(form.PT->currentText(), Q("/"));
  Type("dev/ttyA");
  EXPECT_EQ(form.PT->currentText(), Q("/dev/ttyA"));
  EXPECT_GE(form.PT->findText(Q("/dev/ttyS0")), 0);  // the list stays
}

// After a language switch the status panel tells the state the port is in,
// in the new language, with the matching picture.
TEST_F(UserPathsTest, StatusAfterALanguageSwitchShowsThePortState) {
  PhoneSim phone;
  auto program = StartOn(phone.Device());
  TForm1& form = program->form1();
  ASSERT_TRUE(form.Comm->Active());
  const auto switch_to = [&form](const char* caption) {
    for (QAction* item : form.N14->actions()) {
      if (item->text() == Q(caption)) item->trigger();
    }
  };
  switch_to("English");
  EXPECT_EQ(form.Panel1->Text(), Q("Status: Connected"));
  EXPECT_EQ(form.Panel1->Image(), kImageStatusConnected);

  form.bsSkinSpeedButton2->click();
  switch_to("Українська");
  EXPECT_EQ(form.Panel1->Text(), Q("Статус: Відключено"));
  EXPECT_EQ(form.Panel1->Image(), kImageStatusDisconnected);
}

// F3 and F4 with no phone connected say so in the status bar.
TEST_F(UserPathsTest, PhoneKeysWhileDisconnectedSaySo) {
  auto program = StartProgram();
  TForm1& form = program->form1();
  ASSERT_FALSE(form.Comm->Active());
  FocusOn(*program, form.SMSTAB, form.List1);
  for (const Qt::Key key : {Qt::Key_F3, Qt::Key_F4}) {
    SCOPED_TRACE(key == Qt::Key_F3 ? "F3" : "F4");
    form.ProgressText->clear();
    Press(key);
    EXPECT_EQ(form.ProgressText->text(), Q("Нет связи"));
  }
  EXPECT_TRUE(form.bsSkinMessage1->shown().empty());
}

// A change of the archive's rows titles its tab with Str73, a paint with Str80.
TEST_F(UserPathsTest, ArchiveTabTitleComesFromStr73WhenItsRowsChange) {
  auto program = StartProgram();
  TForm1& form = program->form1();
  std::vector<std::string> lines = DefaultRussianLines();
  lines[73] = "Str73=Rows";
  lines[80] = "Str80=Painted";
  std::string bytes;
  for (const std::string& line : lines)
    bytes += line + "\r\n";
  form.Lang.LoadFromBytes(bytes);
  const int tab = form.bsSkinPageControl1->indexOf(form.ARCHIVETAB);

  form.List4Rows->SetRows({Row{"a", {"+1", "", "1", "1", ""}, kImageIncoming},
                           Row{"b", {"+1", "", "1", "2", ""}, kImageIncoming}});
  EXPECT_EQ(form.bsSkinPageControl1->tabText(tab), Q("Rows (2)"));
  form.UpdateTabCaptions();  // as a paint of the list does
  EXPECT_EQ(form.bsSkinPageControl1->tabText(tab), Q("Painted (2)"));
}

}  // namespace
}  // namespace missivo::test
