// The exchange formats in the window: the export dialog's file types and the
// two "Конвертировать" imports.
#include <QAction>
#include <QLabel>
#include <QMenu>

#include "app/file_dialog.h"
#include "app/qt_user_interface.h"
#include "app/row_model.h"
#include "app_test_support.h"
#include "shell/qt_text.h"
#include "store/list_file.h"
#include "store/message_fields.h"

namespace missivo::test {
namespace {

using ExchangeCommandsTest = AppTest;

const std::filesystem::path kFormats = std::filesystem::path(MISSIVO_TEST_DATA) / "formats";

QString PathText(const std::filesystem::path& path) {
  return QString::fromStdString(path.string());
}

const std::vector<Row> kArchive = {
    {W("Привет"), {"+79161234567", "01/05/2024,12:00:00", "6", "1", W("Входящие")}, kImageIncoming},
    {W("Ответ"), {"+79161234567", "01/05/2024,12:05:00", "5", "2", W("Исходящие")}, kImageOutgoing},
};

TEST_F(ExchangeCommandsTest, ExportDialogOffersTheFormatsByFileType) {
  auto program = StartProgram();
  TForm1& form = program->form1();
  form.List4Rows->SetRows(kArchive);
  EXPECT_TRUE(form.Save2->Filter.endsWith(
      Q("|Резервная копия SMS (*.xml)|*.xml|CSV, UTF-8 (*.csv)|*.csv|JSON (*.json)|*.json|"
        "Веб-страница UTF-8 (*.html)|*.html")))
      << form.Save2->Filter.toStdString();
  const struct {
    int file_type;
    const char* typed;  // the name typed, without an extension
    const char* file;   // the file written
    const char* starts;
  } cases[] = {
      {3, "backup", "backup.xml", "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"},
      {4, "table", "table.csv",
       "kind,time,number,contact,text,index\r\nincoming,2024-05-01T12:00:00"},
      {5, "rows", "rows.json", "[\n  {\"text\":\"Привет\""},
      {6, "page", "page.html", "<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">"},
      {1, "fragment", "fragment.html", "<table"},  // the templates stay as they were
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    form.Save2->SetNextFile(PathText(folder() / c.typed), c.file_type);
    form.N24->trigger();
    const std::string bytes = ReadBytes(folder() / c.file);
    EXPECT_TRUE(bytes.starts_with(c.starts)) << bytes.substr(0, 200);
    EXPECT_NE(bytes.find(c.file_type == 1 ? W("Ответ") : "Ответ"), std::string::npos);
    EXPECT_EQ(form.ProgressText->text(), Q("Экспорт: 2"));
    EXPECT_EQ(std::filesystem::status(folder() / c.file).permissions(),
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  }
  // The dialog opens again on the type confirmed last.
  form.Save2->SetNextCancel();
  form.N24->trigger();
  EXPECT_EQ(form.Save2->FilterIndex, 1);
}

TEST_F(ExchangeCommandsTest, SmsBackupIntoTheArchiveOnceOnly) {
  auto program = StartProgram();
  TForm1& form = program->form1();
  EXPECT_EQ(Captions(form.N17),
            (std::vector<QString>{Q("Сообщения P2kTools"), Q("Missivo версия 1.х входящие"),
                                  Q("Резервная копия SMS (XML)"), Q("Контакты (vCard)")}));
  form.Open1->SetNextFile(PathText(kFormats / "backup.xml"));
  form.SmsBackup1->trigger();
  EXPECT_EQ(form.Open1->Filter, Q("Резервная копия SMS (*.xml)|*.xml"));
  ASSERT_EQ(form.List4Rows->rows().size(), 6u);
  EXPECT_EQ(form.List4->model()->rowCount(), 6);  // the archive tab shows them
  EXPECT_EQ(BestText(form.List4Rows->rows()[0]), "Привет! Как дела? 😀");
  EXPECT_EQ(form.ProgressText->text(),
            Q("Импортировано: 6, уже в архиве: 0; Вложения MMS пропущены: 2"));
  Result<std::vector<Row>> saved = ReadListFile(form.Files().archive);
  ASSERT_TRUE(saved.ok());
  EXPECT_EQ(saved.value(), form.List4Rows->rows());

  form.Open1->SetNextFile(PathText(kFormats / "backup.xml"));
  form.SmsBackup1->trigger();
  EXPECT_EQ(form.List4Rows->rows().size(), 6u);
  EXPECT_TRUE(form.ProgressText->text().startsWith(Q("Импортировано: 0, уже в архиве: 6")));
}

// A file that broke: the error with the place, and the messages before it
// only when the user says Yes.
TEST_F(ExchangeCommandsTest, BrokenBackupAsksBeforeAddingWhatCameFirst) {
  auto program = StartProgram();
  TForm1& form = program->form1();
  form.bsSkinMessage1->SetScripted(true);
  for (const bool yes : {false, true}) {
    SCOPED_TRACE(yes);
    form.bsSkinMessage1->SetNextAnswer(yes);
    form.Open1->SetNextFile(PathText(kFormats / "broken" / "truncated.xml"));
    form.SmsBackup1->trigger();
    const std::string asked = form.bsSkinMessage1->shown().back().text;
    EXPECT_NE(asked.find("truncated.xml\", line 5"), std::string::npos) << asked;
    EXPECT_NE(asked.find(W("Прочитано до ошибки: 2. Добавить прочитанное в архив?")),
              std::string::npos)
        << asked;
    EXPECT_EQ(form.List4Rows->rows().size(), yes ? 2u : 0u);
    EXPECT_EQ(std::filesystem::exists(form.Files().archive), yes);
  }
  // Nothing readable at all: only the error.
  const std::size_t questions = form.bsSkinMessage1->shown().size();
  form.Open1->SetNextFile(PathText(kFormats / "broken" / "billion-laughs.xml"));
  form.SmsBackup1->trigger();
  ASSERT_EQ(form.bsSkinMessage1->shown().size(), questions + 1);
  EXPECT_EQ(form.bsSkinMessage1->shown().back().kind, MessageKind::kError);
  EXPECT_EQ(form.List4Rows->rows().size(), 2u);
}

TEST_F(ExchangeCommandsTest, VCardContactsNameTheSenders) {
  auto program = StartProgram();
  TForm1& form = program->form1();
  form.List4Rows->SetRows(kArchive);
  form.Open1->SetNextFile(PathText(kFormats / "contacts-2.1-quoted-printable.vcf"));
  form.VCard1->trigger();
  ASSERT_EQ(form.List2Rows->rows().size(), 4u);
  EXPECT_EQ(form.List2Rows->rows()[0].caption, W("Иван Петров"));
  EXPECT_EQ(SubItem(form.List4Rows->rows()[0], kFrom), W("Иван Петров (+79161234567)"));
  EXPECT_EQ(form.ProgressText->text(), Q("Контакты: 4, уже в справочнике: 0"));
  Result<std::vector<Row>> phonebook = ReadListFile(form.Files().phonebook);
  ASSERT_TRUE(phonebook.ok());
  EXPECT_EQ(phonebook.value().size(), 4u);
  Result<std::vector<Row>> archive = ReadListFile(form.Files().archive);
  ASSERT_TRUE(archive.ok());
  EXPECT_EQ(SubItem(archive.value()[1], kFrom), W("Иван Петров (+79161234567)"));
}

}  // namespace
}  // namespace missivo::test
