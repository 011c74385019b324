// The terminal tab against phonesim: sending, the history, writing plain
// lines, clearing, saving, and the log that follows every change.
#include <sys/stat.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>

#include "app/check_box.h"
#include "app/file_dialog.h"
#include "app/qt_user_interface.h"
#include "app/terminal_view.h"
#include "phone/serial/com_port.h"
#include "phone_window.h"
#include "text/lines.h"

namespace missivo::test {
namespace {

using TerminalTest = PhoneWindowTest;

std::vector<std::string> History(const QComboBox* field) {
  std::vector<std::string> items;
  for (int i = 0; i < field->count(); ++i)
    items.push_back(field->itemText(i).toStdString());
  return items;
}

void Send(TForm1& form, const char* text) {
  form.ATField->setEditText(QString::fromUtf8(text));
  form.bsSkinButton1->click();
}

ino_t InodeOf(const std::filesystem::path& path) {
  struct stat info {};
  EXPECT_EQ(::stat(path.c_str(), &info), 0) << path;
  return info.st_ino;
}

TEST_F(TerminalTest, CommandsGoToThePhoneOtherTextOnlyToTheTerminal) {
  PhoneSim phone(R"({"echo": false})");
  auto program = StartOn(phone.Device());
  TForm1& form = program->form1();
  const auto log = form.ProgramFolder() / "Terminal.log";

  // The reply ends at the CR after "OK"; the exchange adds an empty line.
  Send(form, "at");
  EXPECT_EQ(form.Terminal->Lines(), (std::vector<std::string>{"", "OK\r", ""}));
  EXPECT_EQ(ReadBytes(log), "\r\nOK\r\r\n\r\n");
  EXPECT_EQ(History(form.ATField), std::vector<std::string>{"at"});
  EXPECT_EQ(form.ATField->currentText(), QString());
  const ino_t inode = InodeOf(log);

  // The same command twice is kept twice (Enter typed into the box: user_paths_test).
  Send(form, "aT+CMGF=1");
  Send(form, "at");
  EXPECT_EQ(History(form.ATField), (std::vector<std::string>{"at", "aT+CMGF=1", "at"}));
  EXPECT_EQ(phone.Commands(), (std::vector<std::string>{"at", "aT+CMGF=1", "at"}));

  // Not beginning with AT: written as a line, nothing sent, the field keeps it.
  for (const char* text : {" AT", "a", "Привет"}) {
    Send(form, text);
    EXPECT_EQ(form.Terminal->Lines().back(), W(text));
    EXPECT_EQ(form.ATField->currentText(), QString::fromUtf8(text));
  }
  EXPECT_EQ(phone.Commands().size(), 3u);
  EXPECT_EQ(History(form.ATField).size(), 3u);

  // Sending an empty field does nothing.
  const auto lines = form.Terminal->Lines().size();
  Send(form, "");
  EXPECT_EQ(form.Terminal->Lines().size(), lines);

  // Every line added went to the end of the same log file.
  EXPECT_EQ(ReadBytes(log), JoinCrLf(form.Terminal->Lines()));
  EXPECT_EQ(InodeOf(log), inode);
  EXPECT_EQ(form.TermSkrin->document()->blockCount(), static_cast<int>(lines));
  EXPECT_EQ(form.TermSkrin->document()->lastBlock().text(), Q("Привет"));
  struct stat info {};
  ASSERT_EQ(::stat(log.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
}

TEST_F(TerminalTest, SendingWhileDisconnectedNotesItAndKeepsTheCommand) {
  auto program = StartProgram();
  TForm1& form = program->form1();
  Send(form, "AT+CSQ");
  EXPECT_EQ(form.Terminal->Lines(), std::vector<std::string>{W("Нет связи")});
  EXPECT_EQ(History(form.ATField), std::vector<std::string>{"AT+CSQ"});
  EXPECT_EQ(form.ATField->currentText(), QString());
}

TEST_F(TerminalTest, ClearEditsSaveAndTheLogSwitch) {
  auto program = StartProgram();
  TForm1& form = program->form1();
  const auto log = form.ProgramFolder() / "Terminal.log";
  WriteBytes(log, "the last run\r\n");
  Send(form, "first");
  EXPECT_EQ(ReadBytes(log), "first\r\n");  // the first change replaces the old log

  // A hand edit rewrites the log with the text box's lines; Enter breaks no line.
  form.TermSkrin->moveCursor(QTextCursor::End);
  QTest::keyClicks(form.TermSkrin, QStringLiteral(" line"));
  QTest::keyClick(form.TermSkrin, Qt::Key_Return);
  EXPECT_EQ(form.Terminal->Lines(), std::vector<std::string>{"first line"});
  EXPECT_EQ(ReadBytes(log), "first line\r\n");

  // "Сохранить" writes the lines in the log's form to the chosen file.
  Send(form, "second");
  const auto saved = folder() / "terminal.txt";
  form.Save->SetNextFile(QString::fromStdString(saved.string()));
  form.bsSkinButton3->click();
  EXPECT_EQ(ReadBytes(saved), "first line\r\nsecond\r\n");
  form.Save->SetNextCancel();
  form.bsSkinButton3->click();
  form.Save->DefaultExt = QStringLiteral("*.html");
  form.Save->OnTypeChange(2);
  EXPECT_EQ(form.Save->DefaultExt, Q("*.txt"));

  // "Очистить" with logging on leaves an empty log.
  form.bsSkinButton2->click();
  EXPECT_TRUE(form.Terminal->Lines().empty());
  EXPECT_TRUE(form.TermSkrin->toPlainText().isEmpty());
  ASSERT_TRUE(std::filesystem::exists(log));
  EXPECT_EQ(ReadBytes(log), "");

  // With logging off the terminal fills and clears without touching the file.
  form.Check3->SetChecked(false);
  EXPECT_FALSE(form.Check11->isEnabled());
  std::filesystem::remove(log);
  Send(form, "quiet");
  form.bsSkinButton2->click();
  Send(form, "again");
  EXPECT_FALSE(std::filesystem::exists(log));
  // Switching it on writes nothing by itself; the next change writes every line.
  form.Check3->SetChecked(true);
  EXPECT_FALSE(std::filesystem::exists(log));
  Send(form, "loud");
  EXPECT_EQ(ReadBytes(log), "again\r\nloud\r\n");

  // Check11 deletes the log at exit, also when Check3 was switched off after it.
  form.Check11->SetChecked(true);
  form.Check3->SetChecked(false);
  form.close();
  EXPECT_FALSE(std::filesystem::exists(log));
}

}  // namespace
}  // namespace missivo::test
