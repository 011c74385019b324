// The export commands of the "Файл" menu and the popup menus through Save2,
// and the two "Конвертировать" imports into the archive.
#include <QAction>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QTabWidget>
#include <QTreeView>

#include "app/file_dialog.h"
#include "app/qt_user_interface.h"
#include "app/row_model.h"
#include "app_test_support.h"
#include "shell/qt_text.h"
#include "store/list_file.h"

namespace missivo::test {
namespace {

using TransferCommandsTest = AppTest;

const std::filesystem::path kImportData = std::filesystem::path(MISSIVO_TEST_DATA) / "import";

struct Fields {
  std::string from, date, size, index, type, message;
};

Row MessageRow(const Fields& f, int image) {
  return Row{f.message, {f.from, f.date, f.size, f.index, f.type}, image};
}

// One exported row through the default HTML template, with the empty line
// that follows every block.
std::string HtmlBlock(const Fields& f) {
  return W("<table border=\"0\" width=\"100%\" id=\"table1\"><tr>\r\n"
           "<td width=\"103\"><b>Номер:</b></td>\r\n<td>") +
         f.from + W("</td></tr><tr>\r\n<td width=\"103\"><b>Дата/Время:</b></td>\r\n<td>") +
         f.date + W("</td></tr><tr>\r\n<td width=\"103\"><b>Размер:</b></td>\r\n<td>") + f.size +
         W("</td></tr><tr>\r\n<td width=\"103\"><b>Индекс:</b></td>\r\n<td>") + f.index +
         W("</td></tr><tr>\r\n<td width=\"103\"><b>Тип:</b></td>\r\n<td>") + f.type +
         W("</td></tr><tr>\r\n<td width=\"103\"><b>Сообщение:</b></td>\r\n<td>") + f.message +
         "</td></tr></table><hr>\r\n\r\n";
}

// The same through the default text template.
std::string TextBlock(const Fields& f) {
  return "******************************\r\n" + W("Номер: ") + f.from + "\r\n" + W("Дата/Время: ") +
         f.date + "\r\n" + W("Размер: ") + f.size + "\r\n" + W("Индекс: ") + f.index + "\r\n" +
         W("Тип: ") + f.type + "\r\n" + W("Сообщение: ") + f.message + "\r\n\r\n";
}

const Fields kMessages[] = {
    {"+79161234567", "17/05/2006,14:03:59", "11", "0001", W("Входящие"), W("Привет, мир")},
    {"900", "18/05/2006,10:00:00", "16", "0002", W("Входящие"), "a<b & \"c\"> $Date"},
    {"+15555550123", "19/05/2006,11:00:00", "10", "0003", W("Исходящие"), W("Отправлено")},
};
// Markup of a message is written as entities in HTML only.
const Fields kMessage1Html = {kMessages[1].from, kMessages[1].date,
                              kMessages[1].size, kMessages[1].index,
                              kMessages[1].type, "a&lt;b &amp; &quot;c&quot;&gt; $Date"};
const Fields kArchive[] = {
    {W("Иван (+79161234567)"), "20/05/2006,12:00:00", "10", "0000", W("Импорт"), W("Архив один")},
    {"+7", "21/05/2006,13:00:00", "6", "0004", W("Входящие"), W("Второй")},
};

void Select(QTreeView* view, const std::vector<int>& rows) {
  view->clearSelection();
  for (const int row : rows) {
    view->selectionModel()->select(view->model()->index(row, 0),
                                   QItemSelectionModel::Select | QItemSelectionModel::Rows);
  }
}

// Fills List1 with kMessages and List4 with kArchive.
void FillLists(TForm1& form) {
  std::vector<Row> messages;
  for (const Fields& f : kMessages)
    messages.push_back(MessageRow(f, kImageIncoming));
  form.List1Rows->SetRows(messages);
  std::vector<Row> archive;
  for (const Fields& f : kArchive)
    archive.push_back(MessageRow(f, kImageImported));
  form.List4Rows->SetRows(archive);
}

void ExpectIdle(TForm1& form) {
  EXPECT_TRUE(form.ProgressBar->isHidden());
  EXPECT_TRUE(form.ProgressText->text().isEmpty());
}

// Every export command in turn; the file type chosen in one stays for the next.
TEST_F(TransferCommandsTest, ExportsTheRowsOfEitherListThroughTheChosenTemplate) {
  auto program = StartProgram();
  TForm1& form = program->form1();
  FillLists(form);
  const struct {
    const char* name;
    QWidget* tab;
    QAction* command;
    QTreeView* view;
    std::vector<int> selected;
    int file_type;
    const char* file;  // as typed
    const char* written;
    std::string expected;
  } cases[] = {
      {"Файл/Сохранить on the messages tab",
       form.SMSTAB,
       form.new1,
       form.List1,
       {0, 2},
       1,
       "a.html",
       "a.html",
       HtmlBlock(kMessages[0]) + HtmlBlock(kMessages[2])},
      {"Файл/Сохранить все on the archive tab, text type",
       form.ARCHIVETAB,
       form.N4,
       form.List4,
       {1},
       2,
       "b.txt",
       "b.txt",
       TextBlock(kArchive[0]) + TextBlock(kArchive[1])},
      {"List1 popup Сохранить, a name without extension",
       form.bsSkinTabSheet1,
       form.MenuItem3,
       form.List1,
       {1},
       2,
       "c",
       "c.txt",
       TextBlock(kMessages[1])},
      {"List1 popup Сохранить все, HTML type named .txt",
       form.bsSkinTabSheet1,
       form.MenuItem4,
       form.List1,
       {},
       1,
       "d.txt",
       "d.txt",
       HtmlBlock(kMessages[0]) + HtmlBlock(kMessage1Html) + HtmlBlock(kMessages[2])},
      {"List4 popup Сохранить",
       form.SMSTAB,
       form.N23,
       form.List4,
       {1},
       1,
       "e.html",
       "e.html",
       HtmlBlock(kArchive[1])},
      {"List4 popup Сохранить все",
       form.SMSTAB,
       form.N24,
       form.List4,
       {},
       2,
       "f.txt",
       "f.txt",
       TextBlock(kArchive[0]) + TextBlock(kArchive[1])},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    form.bsSkinPageControl1->setCurrentWidget(c.tab);
    Select(c.view, c.selected);
    form.Save2->SetNextFile(QString::fromStdString((folder() / c.file).string()), c.file_type);
    c.command->trigger();
    EXPECT_EQ(ReadBytes(folder() / c.written), c.expected);
    EXPECT_EQ(form.Save2->DefaultExt, Q(c.file_type == 2 ? "*.txt" : "*.html"));
    // The gauge went over every row of the list, exported or not.
    EXPECT_EQ(form.ProgressBar->value(), c.view->model()->rowCount() - 1);
    EXPECT_TRUE(form.ProgressBar->isHidden());
    // The status bar tells how many rows were written.
    const bool every_row =
        c.command == form.N4 || c.command == form.MenuItem4 || c.command == form.N24;
    const auto exported =
        every_row ? static_cast<std::size_t>(c.view->model()->rowCount()) : c.selected.size();
    EXPECT_EQ(form.ProgressText->text(), Q("Экспорт: ") + QString::number(exported));
  }
  EXPECT_TRUE(form.bsSkinMessage1->shown().empty());
}

// No selected row, an empty list, or another tab: no dialog, no file.
TEST_F(TransferCommandsTest, NothingToExportOpensNoDialog) {
  auto program = StartProgram();
  TForm1& form = program->form1();
  FillLists(form);
  const auto out = folder() / "out.html";
  form.Save2->SetNextFile(QString::fromStdString(out.string()));

  form.bsSkinPageControl1->setCurrentWidget(form.SMSTAB);
  form.new1->trigger();
  form.MenuItem3->trigger();
  form.N23->trigger();
  for (QWidget* tab :
       {form.bsSkinTabSheet1, form.bsSkinTabSheet6, form.bsSkinTabSheet5, form.bsSkinTabSheet2}) {
    form.bsSkinPageControl1->setCurrentWidget(tab);
    Select(form.List1, {0});
    Select(form.List4, {0});
    form.new1->trigger();
    form.N4->trigger();
  }
  form.List4Rows->SetRows({});
  form.N24->trigger();
  form.bsSkinPageControl1->setCurrentWidget(form.ARCHIVETAB);
  form.N4->trigger();
  EXPECT_FALSE(std::filesystem::exists(out));
  EXPECT_TRUE(form.bsSkinMessage1->shown().empty());

  // The scripted answer is still there for the first command that has rows.
  form.MenuItem4->trigger();
  EXPECT_EQ(ReadBytes(out),
            HtmlBlock(kMessages[0]) + HtmlBlock(kMessage1Html) + HtmlBlock(kMessages[2]));
}

// A type picked in a dialog that is then cancelled does not stay; the type of
// a confirmed dialog is the one shown next time.
TEST_F(TransferCommandsTest, Save2KeepsTheTypeOfTheLastConfirmedDialog) {
  auto program = StartProgram();
  TForm1& form = program->form1();
  FillLists(form);
  EXPECT_EQ(form.Save2->DefaultExt, Q("*.html"));
  form.Save2->OnTypeChange(2);
  EXPECT_EQ(form.Save2->DefaultExt, Q("*.txt"));
  form.Save2->SetNextCancel();
  form.MenuItem4->trigger();
  EXPECT_EQ(form.Save2->DefaultExt, Q("*.html"));
  EXPECT_EQ(form.Save2->FilterIndex, 1);

  form.Save2->SetNextFile(QString::fromStdString((folder() / "x").string()), 2);
  form.N24->trigger();
  EXPECT_EQ(ReadBytes(folder() / "x.txt"), TextBlock(kArchive[0]) + TextBlock(kArchive[1]));
  form.Save2->OnTypeChange(1);
  form.Save2->SetNextCancel();
  form.N24->trigger();
  EXPECT_EQ(form.Save2->DefaultExt, Q("*.txt"));
  EXPECT_EQ(form.Save2->FilterIndex, 2);
  EXPECT_EQ(form.Save2Type.ChosenTemplate(), TemplateKind::kText);
}

TEST_F(TransferCommandsTest, FailedExportIsShownAndTheGaugeGoesIdle) {
  auto program = StartProgram();
  TForm1& form = program->form1();
  FillLists(form);
  const auto out = folder() / "no such folder" / "out.html";
  form.Save2->SetNextFile(QString::fromStdString(out.string()));
  form.N24->trigger();
  const auto& shown = form.bsSkinMessage1->shown();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].kind, MessageKind::kError);
  EXPECT_NE(shown[0].text.find(out.string()), std::string::npos) << shown[0].text;
  ExpectIdle(form);
}

// Both imports append to the archive, put contact names in, save the archive
// and say how many messages were added; a second import of the same file adds
// nothing (the archive's duplicate test) and says they were there already.
TEST_F(TransferCommandsTest, ImportsAppendResolveNamesAndSaveTheArchive) {
  const struct {
    const char* name;
    QAction* TForm1::*command;
    const char* file;
    QString filter;
    std::size_t count;
    Row first;
  } cases[] = {
      {"P2kTools", &TForm1::P2kTools1, "p2ktools.txt", Q("Сообщения P2kTools (*.txt)|*.txt"), 3,
       Row{W("Привет, мир!"),
           {W("Иван (+79161234567)"), "17/05/2006,14:03:59", "12", "0000", W("Импорт")},
           kImageImported}},
      {"version 1.x", &TForm1::Missivo11, "inbox.msg",
       Q("Сообщения Missivo 1.x входящие (*.msg)|*.msg"), 4,
       Row{W("Привет из версии 1"),
           {W("Иван (+79161234567)"), "17/05/2006,14:03:59", "18", "7", W("Входящие")},
           kImageImported}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto program = StartProgram();
    TForm1& form = program->form1();
    form.List2Rows->SetRows({Row{W("Иван"), {"+79161234567"}, kImageContact}});
    const Row old{"old", {"+1", "", "3", "1", ""}, kImageIncoming};
    form.List4Rows->SetRows({old});
    const QString file = QString::fromStdString((kImportData / c.file).string());

    for (std::size_t round = 1; round <= 2; ++round) {
      form.Open1->SetNextFile(file);
      (form.*c.command)->trigger();
      EXPECT_EQ(form.Open1->Filter, c.filter);
      const std::vector<Row>& rows = form.List4Rows->rows();
      ASSERT_EQ(rows.size(), 1 + c.count);
      EXPECT_EQ(rows[0], old);
      EXPECT_EQ(FiveOf(rows[1]), c.first);
      EXPECT_EQ(form.List4Rows->rowCount(), static_cast<int>(rows.size()));
      const Result<std::vector<Row>> saved = ReadListFile(form.Files().archive);
      ASSERT_TRUE(saved.ok()) << saved.message();
      EXPECT_EQ(saved.value(), rows);
      const QString added = QString::number(round == 1 ? c.count : 0);
      const QString already = QString::number(round == 1 ? 0 : c.count);
      EXPECT_EQ(form.ProgressText->text(),
                Q("Импортировано: ") + added + Q(", уже в архиве: ") + already);
      EXPECT_TRUE(form.ProgressBar->isHidden());
      EXPECT_TRUE(form.N17->isEnabled());
    }
    EXPECT_TRUE(form.bsSkinMessage1->shown().empty());
  }
}

// A cancelled dialog does nothing; a file that cannot be read is shown, and
// nothing is added or saved.
TEST_F(TransferCommandsTest, ImportOfAnUnreadableFileChangesNothing) {
  auto program = StartProgram();
  TForm1& form = program->form1();
  form.List4Rows->SetRows({Row{"old", {"+1", "", "3", "1", ""}, kImageIncoming}});
  const std::string archive_before = ReadBytes(form.Files().archive);
  const auto missing = folder() / "missing.txt";
  for (QAction* command : {form.P2kTools1, form.Missivo11}) {
    form.Open1->SetNextCancel();
    command->trigger();
    form.Open1->SetNextFile(QString::fromStdString(missing.string()));
    command->trigger();
  }
  const auto& shown = form.bsSkinMessage1->shown();
  ASSERT_EQ(shown.size(), 2u);
  for (const auto& message : shown) {
    EXPECT_EQ(message.kind, MessageKind::kError);
    EXPECT_NE(message.text.find(missing.string()), std::string::npos) << message.text;
  }
  EXPECT_EQ(form.List4Rows->rows().size(), 1u);
  EXPECT_EQ(ReadBytes(form.Files().archive), archive_before);
  ExpectIdle(form);
}

}  // namespace
}  // namespace missivo::test
