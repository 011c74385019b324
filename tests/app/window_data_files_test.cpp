// The data files at start and exit: sealing plain files, the program lock's
// prompt, loading the lists, saving the archive and locking it again.
#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>

#include "app/check_box.h"
#include "app/password_windows.h"
#include "app/qt_user_interface.h"
#include "app/row_model.h"
#include "app_test_support.h"
#include "store/container.h"
#include "store/list_file.h"
#include "store/program_lock.h"

namespace missivo::test {
namespace {

class DataFilesTest : public AppTest {
 protected:
  DataFilesTest() : files_(folder() / "program") {
    std::filesystem::create_directories(files_.folder);
  }

  static std::vector<Row> Messages() {
    return {Row{W("Привет"), {"+79001234567", "05/01/2006,10:00:00", "6", "1", W("Входящие")}, 2},
            Row{"Second", {"+79007654321", "28/12/2005,23:59:59", "6", "2", W("Входящие")}, 2}};
  }
  static std::vector<Row> Contacts() { return {Row{W("Мама"), {"+79001234567"}, 30}}; }

  // Both data files, locked under `password` as the exit of a locked run leaves them.
  void WriteLockedFiles(std::string_view password) {
    ASSERT_TRUE(WriteListFile(Messages(), files_.archive).ok());
    ASSERT_TRUE(WriteListFile(Contacts(), files_.phonebook).ok());
    ASSERT_TRUE(EncryptInPlaceWith(files_.archive, password).ok());
    ASSERT_TRUE(EncryptInPlaceWith(files_.phonebook, password).ok());
  }

  // Start with the next unlock prompt answered by `answer` (nothing: Cancel).
  std::unique_ptr<Program> StartAnswering(std::optional<std::string> answer, bool* started) {
    auto program = std::make_unique<Program>(Options(), std::chrono::minutes(1));
    program->form1().bsSkinMessage1->SetNextPassword(std::move(answer));
    *started = program->Start();
    return program;
  }

  DataFiles files_;
};

TEST_F(DataFilesTest, PlainArchiveIsSealedAtStartAndLoaded) {
  const Result<std::string> plain = EncodeListFile(Messages());
  ASSERT_TRUE(plain.ok());
  WriteBytes(files_.archive, plain.value());

  auto program = StartProgram();
  TForm1& form = program->form1();
  EXPECT_NE(ReadBytes(files_.archive).substr(0, 3), "LVF");
  const Result<std::string> unsealed = UnsealFile(files_.archive, kFixedPassphrase);
  ASSERT_TRUE(unsealed.ok());
  EXPECT_EQ(unsealed.value(), plain.value());
  EXPECT_EQ(form.List4Rows->rows(), Messages());
  EXPECT_EQ(form.bsSkinPageControl1->tabText(1), Q("Архив (2)"));
  EXPECT_EQ(form.bsSkinMessage1->password_prompts(), 0);
  EXPECT_FALSE(form.Lock.locked);

  // A language change shows the plain caption until the list sets it again.
  for (QAction* item : form.N14->actions()) {
    if (item->text() == Q("English")) item->trigger();
  }
  EXPECT_EQ(form.bsSkinPageControl1->tabText(1), Q("Archive"));
}

TEST_F(DataFilesTest, ListsAndArchiveSortComeBackAtStart) {
  ASSERT_TRUE(WriteListFile(Messages(), files_.archive).ok());
  ASSERT_TRUE(WriteListFile(Contacts(), files_.phonebook).ok());
  StoreSettings({{"List4", "2"}, {"List4Image", "32"}, {"List4Direction", "0"}});
  auto program = StartProgram();
  TForm1& form = program->form1();
  EXPECT_EQ(form.List2Rows->rows(), Contacts());
  EXPECT_EQ(form.List4Rows->rows(), Messages());  // not sorted again
  EXPECT_EQ(form.List4Rows->HeaderImage(2), 32);
  EXPECT_EQ(form.Sort.last_column, 2);
  EXPECT_EQ(form.Sort.next_direction, 0);
}

TEST_F(DataFilesTest, CancelledPromptEndsTheStartAndWritesNothing) {
  WriteLockedFiles(W("секрет"));
  const std::string archive = ReadBytes(files_.archive);
  const std::string phonebook = ReadBytes(files_.phonebook);
  StoreSettings({{"Check11", "true"}});
  WriteBytes(folder() / "program" / "Terminal.log", "AT\r\n");

  bool started = true;
  {
    auto program = StartAnswering(std::nullopt, &started);
    EXPECT_FALSE(started);
    TForm1& form = program->form1();
    EXPECT_EQ(form.bsSkinMessage1->password_prompts(), 1);
    EXPECT_EQ(form.bsSkinMessage1->last_password_caption(), W("Программа заблокирована"));
    EXPECT_TRUE(form.bsSkinMessage1->shown().empty());
    EXPECT_TRUE(form.List4Rows->rows().empty());
    EXPECT_FALSE(form.isVisible());
  }
  // The terminate path saves nothing: files, log and templates as they were.
  EXPECT_EQ(ReadBytes(files_.archive), archive);
  EXPECT_EQ(ReadBytes(files_.phonebook), phonebook);
  EXPECT_TRUE(std::filesystem::exists(folder() / "program" / "Terminal.log"));
  EXPECT_FALSE(std::filesystem::exists(files_.folder / "TextTemplate.tml"));
}

TEST_F(DataFilesTest, WrongPasswordIsRefusedAndFilesStayLocked) {
  WriteLockedFiles(W("секрет"));
  const std::string archive = ReadBytes(files_.archive);
  bool started = true;
  auto program = StartAnswering(W("другой"), &started);
  EXPECT_FALSE(started);
  const auto& shown = program->form1().bsSkinMessage1->shown();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text, W("Пароль неверный!"));
  EXPECT_EQ(shown[0].kind, MessageKind::kError);
  EXPECT_EQ(ReadBytes(files_.archive), archive);
  EXPECT_TRUE(CarriesOuterLayer(files_.phonebook).value());
}

TEST_F(DataFilesTest, RightPasswordLoadsTheListsAndTheFilesStayLocked) {
  WriteLockedFiles(W("секрет"));
  bool started = false;
  auto program = StartAnswering(W("секрет"), &started);
  ASSERT_TRUE(started);
  TForm1& form = program->form1();
  EXPECT_TRUE(form.bsSkinMessage1->shown().empty());
  EXPECT_TRUE(form.Lock.locked);
  EXPECT_EQ(form.List4Rows->rows(), Messages());
  EXPECT_EQ(form.List2Rows->rows(), Contacts());
  // The layer came off in memory only.
  EXPECT_TRUE(CarriesOuterLayer(files_.archive).value());
  EXPECT_TRUE(CarriesOuterLayer(files_.phonebook).value());

  form.close();
  EXPECT_TRUE(CarriesOuterLayer(files_.archive).value());
  EXPECT_TRUE(CarriesOuterLayer(files_.phonebook).value());
  const Result<std::string> inner = UnsealFile(files_.archive, W("секрет"));
  ASSERT_TRUE(inner.ok());
  EXPECT_TRUE(StartsWithListFileMagic(UnsealBytes(inner.value(), kFixedPassphrase).value()));
}

TEST_F(DataFilesTest, ExitSavesANonEmptyArchiveOnly) {
  {
    auto program = StartProgram();
    program->form1().close();  // empty archive: no file is made
  }
  EXPECT_FALSE(std::filesystem::exists(files_.archive));

  ASSERT_TRUE(WriteListFile(Messages(), files_.archive).ok());
  auto program = StartProgram();
  TForm1& form = program->form1();
  form.List4Rows->rows().push_back(Row{"Third", {"+7", "01/01/2007,00:00:00", "5", "3", ""}, 0});
  form.List4Rows->Refresh();
  form.close();
  const Result<std::vector<Row>> saved = ReadListFile(files_.archive);
  ASSERT_TRUE(saved.ok());
  EXPECT_EQ(saved.value().size(), 3u);
  EXPECT_EQ(saved.value()[2].caption, "Third");
}

TEST_F(DataFilesTest, PasswordSetInTheWindowLocksTheFilesAtOnce) {
  ASSERT_TRUE(WriteListFile(Messages(), files_.archive).ok());
  auto program = StartProgram();
  TForm1& form = program->form1();
  TPassForm& window = *form.PassForm;
  EXPECT_EQ(window.windowTitle(), Q("Защита програмы"));
  EXPECT_EQ(window.P2->echoMode(), QLineEdit::Password);
  EXPECT_EQ(window.KQ->echoMode(), QLineEdit::Normal);

  // The toolbar opens the window modally; type into it and press OK.
  bool e1_enabled = true;
  QTimer::singleShot(0, &window, [&] {
    e1_enabled = window.E1->isEnabled();
    window.P2->setText(Q("пароль"));
    window.P3->setText(Q("другой"));
    window.bsSkinButton1->click();  // mismatch: stays open, repetition emptied
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(window.P3->text().isEmpty());
    window.P2->setText(Q("пароль"));
    window.P3->setText(Q("пароль"));
    window.KQ->setText(Q("вопрос"));
    window.KA->setText(Q("ответ"));
    window.bsSkinButton1->click();
  });
  form.bsSkinSpeedButton1->click();
  EXPECT_FALSE(e1_enabled);
  EXPECT_FALSE(window.isVisible());
  // What was typed does not stay in the closed window.
  for (const QLineEdit* field : {window.E1, window.P2, window.P3, window.KQ, window.KA})
    EXPECT_TRUE(field->text().isEmpty()) << field->objectName().toStdString();
  EXPECT_TRUE(form.Lock.locked);
  const auto& shown = form.bsSkinMessage1->shown();
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[0].text, W("Пароли не совпадают"));
  EXPECT_EQ(shown[1].text, W("Пароль успешно установлен!"));
  EXPECT_TRUE(std::filesystem::exists(files_.password));
  EXPECT_TRUE(CarriesOuterLayer(files_.archive).value());

  form.close();
  EXPECT_TRUE(CarriesOuterLayer(files_.archive).value());
  EXPECT_FALSE(std::filesystem::exists(files_.phonebook));
}

}  // namespace
}  // namespace missivo::test
