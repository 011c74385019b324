// Finding and reading in the window: with the archive sorted by a column and
// filtered through its visible search bar, every command acts on the rows
// selected on screen; the tab captions, the preview's marks, the search state
// kept in the settings, Esc, opening a row, and the conversations tab.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTabWidget>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>
#include <QTreeView>

#include "app/check_box.h"
#include "app/conversation_view.h"
#include "app/file_dialog.h"
#include "app/qt_user_interface.h"
#include "app/row_filter_proxy.h"
#include "app/row_model.h"
#include "app/search_bar.h"
#include "app_test_support.h"
#include "phone_window.h"
#include "store/list_file.h"
#include "support/phone_scenario.h"

namespace missivo::test {
namespace {

using SearchTest = AppTest;

Row Message(const char* text, const char* from, const char* date, const char* index,
            std::int32_t image) {
  return Row{W(text), {W(from), date, "10", index, W("Входящие")}, image};
}

// Five messages of three correspondents; "хлеб" is in three of them.
std::vector<Row> Archive() {
  return {
      Message("Купи хлеба", "Мама (+79035550101)", "01/01/2006,10:00:00", "1", kImageIncoming),
      Message("Позвони мне", "+79035550101", "02/01/2006,10:00:00", "2", kImageOutgoing),
      Message("Хлеб купил", "89161234567", "03/01/2006,10:00:00", "3", kImageIncoming),
      Message("Завтра хлеба не будет", "Info", "04/01/2006,10:00:00", "4", kImageIncoming),
      Message("Встреча в полдень", "+79035550101", "05/01/2006,10:00:00", "5", kImageDraft),
  };
}

std::vector<Row> Without(std::vector<Row> rows, std::initializer_list<const char*> texts) {
  for (const char* text : texts)
    std::erase_if(rows, [&](const Row& row) { return row.caption == W(text); });
  return rows;
}

std::vector<Row> ArchiveFile(TForm1& form) {
  const Result<std::vector<Row>> rows = ReadListFile(form.Files().archive);
  EXPECT_TRUE(rows.ok()) << rows.message();
  return rows.ok() ? rows.value() : std::vector<Row>{};
}

// The captions a view shows, top to bottom.
std::vector<QString> Shown(const QTreeView* view) {
  std::vector<QString> texts;
  for (int row = 0; row < view->model()->rowCount(); ++row)
    texts.push_back(view->model()->index(row, 0).data().toString());
  return texts;
}

QString TabText(TForm1& form, QWidget* tab) {
  return form.bsSkinPageControl1->tabText(form.bsSkinPageControl1->indexOf(tab));
}

// Makes the window active and shows `tab`, so that keys reach the focused widget.
void ShowTab(TForm1& form, QWidget* tab) {
  form.show();
  form.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
  form.bsSkinPageControl1->setCurrentWidget(tab);
  QApplication::processEvents();
}

// A click on the row a view shows at `view_row`; with Ctrl, added to the selection.
void ClickRow(QTreeView* view, int view_row, Qt::KeyboardModifiers modifiers = {}) {
  QTest::mouseClick(view->viewport(), Qt::LeftButton, modifiers,
                    view->visualRect(view->model()->index(view_row, 0)).center());
}

void ClickHeader(QTreeView* view, int column) {
  QHeaderView* header = view->header();
  QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                    QPoint(header->sectionViewportPosition(column) + 5, header->height() / 2));
}

// The archive sorted by date, newest first (two header clicks), then "хлеб"
// typed into the search field that Ctrl+F goes to.
void SortAndFilterArchive(TForm1& form) {
  form.List4Rows->SetRows(Archive());
  ShowTab(form, form.ARCHIVETAB);
  ClickHeader(form.List4, kColumnDateTime);
  ClickHeader(form.List4, kColumnDateTime);
  form.List4->setFocus();
  Press(Qt::Key_F, Qt::ControlModifier);
  ASSERT_EQ(QApplication::focusWidget(), form.List4Search->Field);
  Type("хлеб");
}

// The one mapping goes through every proxy between a view and its core rows:
// here the filter and a proxy that sorts by text on top of it.
TEST(RowMappingTest, ViewRowsToCoreRowsThroughSortingAndFiltering) {
  App();
  RowListModel rows(static_cast<int>(kMessageColumns));
  rows.SetRows(Archive());
  RowFilterProxy filtered(&rows);
  RowFilter filter;
  filter.text = "хлеб";
  filtered.SetFilter(filter);  // core rows 0, 2, 3
  QSortFilterProxyModel sorted;
  sorted.setSourceModel(&filtered);
  sorted.sort(0, Qt::DescendingOrder);  // "Хлеб…", "Купи…", "Завтра…"
  QTreeView view;
  view.setModel(&sorted);
  view.setSelectionMode(QAbstractItemView::ExtendedSelection);
  view.setSelectionBehavior(QAbstractItemView::SelectRows);

  EXPECT_EQ(CoreRow(&sorted, 0), 2);
  EXPECT_EQ(CoreRow(&sorted, 1), 0);
  EXPECT_EQ(CoreRow(&sorted, 2), 3);
  EXPECT_EQ(CoreRow(&sorted, 3), -1);
  EXPECT_EQ(ViewRow(&sorted, 3), 2);
  EXPECT_EQ(ViewRow(&sorted, 1), -1);  // filtered out
  EXPECT_EQ(ViewRow(&sorted, 9), -1);
  for (const int row : {0, 2})
    view.selectionModel()->select(sorted.index(row, 0),
                                  QItemSelectionModel::Select | QItemSelectionModel::Rows);
  EXPECT_EQ(SelectedRows(&view), (std::vector<std::size_t>{2, 3}));
  EXPECT_EQ(SelectedViewRows(&view), (std::vector<int>{0, 2}));
  EXPECT_EQ(ShownRows(&view), (std::vector<std::size_t>{0, 2, 3}));

  // The core rows change: the filter looks at the new ones.
  std::vector<Row> changed = Archive();
  changed.erase(changed.begin());
  rows.SetRows(changed);
  EXPECT_EQ(ShownRows(&view), (std::vector<std::size_t>{1, 2}));
  EXPECT_EQ(filtered.ShownCount(), 2);
  EXPECT_EQ(filtered.TotalCount(), 4);
}

TEST_F(SearchTest, ArchiveCommandsActOnTheRowsSelectedOnScreen) {
  auto program = StartProgram();
  TForm1& form = program->form1();
  QtUserInterface& ui = *form.bsSkinMessage1;
  SortAndFilterArchive(form);
  EXPECT_EQ(Shown(form.List4),
            (std::vector<QString>{Q("Завтра хлеба не будет"), Q("Хлеб купил"), Q("Купи хлеба")}));
  EXPECT_EQ(TabText(form, form.ARCHIVETAB), Q("Архив (3 из 5)"));

  // Delete on the second row shown: exactly that row leaves the file.
  ClickRow(form.List4, 1);
  ui.SetNextAnswer(true);
  Press(Qt::Key_Delete);
  std::vector<Row> expected = Without(Archive(), {"Хлеб купил"});
  std::reverse(expected.begin(), expected.end());  // sorted newest first
  EXPECT_EQ(ArchiveFile(form), expected);
  EXPECT_EQ(Shown(form.List4), (std::vector<QString>{Q("Завтра хлеба не будет"), Q("Купи хлеба")}));
  EXPECT_EQ(TabText(form, form.ARCHIVETAB), Q("Архив (2 из 4)"));

  // F2 edits the row shown, the second one.
  ClickRow(form.List4, 1);
  Press(Qt::Key_F2);
  ASSERT_TRUE(form.SMSEdit->isVisible());
  EXPECT_EQ(form.M1->toPlainText(), Q("Купи хлеба"));
  EXPECT_EQ(form.E3->text(), Q("1"));
  QTest::mouseClick(form.M1->viewport(), Qt::LeftButton);
  Press(Qt::Key_End, Qt::ControlModifier);
  Type(" и молока");
  QTest::mouseClick(form.bsSkinButton4, Qt::LeftButton);
  EXPECT_FALSE(form.SMSEdit->isVisible());
  expected.back().caption = W("Купи хлеба и молока");
  EXPECT_EQ(ArchiveFile(form), expected);

  // Ctrl+A selects what is shown; the export of the selection writes those rows.
  form.List4->setFocus();
  Press(Qt::Key_A, Qt::ControlModifier);
  EXPECT_EQ(SelectedRows(form.List4), (std::vector<std::size_t>{1, 3}));
  const std::filesystem::path exported = folder() / "shown.txt";
  form.Save2->SetNextFile(QString::fromStdString(exported.string()), 2);
  form.N23->trigger();
  const std::string bytes = ReadBytes(exported);
  EXPECT_NE(bytes.find(W("Завтра хлеба не будет")), std::string::npos);
  EXPECT_NE(bytes.find(W("Купи хлеба и молока")), std::string::npos);
  EXPECT_EQ(bytes.find(W("Позвони мне")), std::string::npos);
  EXPECT_EQ(bytes.find(W("Встреча в полдень")), std::string::npos);

  // "Удалить все" with a filter on: Yes to "only those shown" removes just them.
  ui.SetNextAnswer(true);
  form.N22->trigger();
  EXPECT_EQ(ui.shown().back().text, W("Удалить только показанные сообщения? «Нет» — удалить все."));
  EXPECT_EQ(ArchiveFile(form), (std::vector<Row>{Archive()[4], Archive()[1]}));
  EXPECT_TRUE(Shown(form.List4).empty());
  EXPECT_EQ(TabText(form, form.ARCHIVETAB), Q("Архив (0 из 2)"));

  // Esc in the field clears the filter: every row is shown again.
  form.List4Search->Field->setFocus();
  Press(Qt::Key_Escape);
  EXPECT_TRUE(form.List4Search->Field->text().isEmpty());
  EXPECT_EQ(Shown(form.List4).size(), 2u);
  EXPECT_EQ(TabText(form, form.ARCHIVETAB), Q("Архив (2)"));
}

TEST_F(SearchTest, DeleteAllAnsweredNoGoesOnToTheWholeArchive) {
  auto program = StartProgram();
  TForm1& form = program->form1();
  SortAndFilterArchive(form);
  form.bsSkinMessage1->SetNextAnswer(false);  // not only those shown
  form.bsSkinMessage1->SetNextAnswer(false);  // and not all either
  form.N22->trigger();
  EXPECT_EQ(form.List4Rows->rows().size(), 5u);
  form.bsSkinMessage1->SetNextAnswer(false);
  form.bsSkinMessage1->SetNextAnswer(true);  // all
  form.N22->trigger();
  EXPECT_EQ(form.bsSkinMessage1->shown().size(), 4u);
  EXPECT_TRUE(form.List4Rows->rows().empty());
  EXPECT_TRUE(ArchiveFile(form).empty());
}

TEST_F(SearchTest, MessagesListPreviewMarksAndF5TakeTheRowsShown) {
  auto program = StartProgram();
  TForm1& form = program->form1();
  form.List1Rows->SetRows(Archive());
  ShowTab(form, form.SMSTAB);
  form.List1->setFocus();
  Press(Qt::Key_F, Qt::ControlModifier);
  ASSERT_EQ(QApplication::focusWidget(), form.List1Search->Field);
  Type("КУПИ");
  EXPECT_EQ(Shown(form.List1), (std::vector<QString>{Q("Купи хлеба"), Q("Хлеб купил")}));
  EXPECT_EQ(TabText(form, form.SMSTAB), Q("Сообщения (2 из 5)"));

  ClickRow(form.List1, 1);
  EXPECT_EQ(form.Text1->toPlainText(), Q("Хлеб купил"));
  const QList<QTextEdit::ExtraSelection> marks = form.Text1->extraSelections();
  ASSERT_EQ(marks.size(), 1);
  EXPECT_EQ(marks[0].cursor.selectedText(), Q("купи"));
  Press(Qt::Key_Up);  // the row above, as shown
  EXPECT_EQ(form.Text1->toPlainText(), Q("Купи хлеба"));

  ClickRow(form.List1, 1);
  Press(Qt::Key_F5);
  ASSERT_EQ(form.List4Rows->rows().size(), 1u);
  EXPECT_EQ(form.List4Rows->rows()[0], Archive()[2]);

  // Double-click on a row of the messages list shows it in the preview.
  form.Text1->clear();
  QTest::mouseDClick(form.List1->viewport(), Qt::LeftButton, {},
                     form.List1->visualRect(form.List1->model()->index(0, 0)).center());
  EXPECT_EQ(form.Text1->toPlainText(), Q("Купи хлеба"));
}

TEST_F(SearchTest, EnterAndDoubleClickOpenAnArchiveRowInTheEditPanel) {
  auto program = StartProgram();
  TForm1& form = program->form1();
  SortAndFilterArchive(form);
  // A person's clicks come well apart, not as one triple click.
  const auto pause = [] { QTest::qWait(QApplication::doubleClickInterval() + 100); };
  ClickRow(form.List4, 0);
  pause();
  QTest::mouseDClick(form.List4->viewport(), Qt::LeftButton, {},
                     form.List4->visualRect(form.List4->model()->index(0, 0)).center());
  ASSERT_TRUE(form.SMSEdit->isVisible());
  EXPECT_EQ(form.M1->toPlainText(), Q("Завтра хлеба не будет"));
  QTest::mouseClick(form.CancelEdit, Qt::LeftButton);
  ASSERT_TRUE(form.List4->isVisible());
  EXPECT_TRUE(form.List4Search->isVisible());
  pause();
  ClickRow(form.List4, 2);
  Press(Qt::Key_Return);
  ASSERT_TRUE(form.SMSEdit->isVisible());
  EXPECT_EQ(form.M1->toPlainText(), Q("Купи хлеба"));
}

TEST_F(SearchTest, TheHeaderMenuFitsTheFromColumnToItsContent) {
  auto program = StartProgram();
  TForm1& form = program->form1();
  std::vector<Row> rows = Archive();
  rows[0].sub_items[kFrom] = W("Очень длинное имя контакта в телефонной книге (+79035550101)");
  form.List4Rows->SetRows(rows);
  ShowTab(form, form.ARCHIVETAB);
  QHeaderView* header = form.List4->header();
  ASSERT_EQ(header->sectionSize(kColumnFrom), 150);
  auto* fit = form.List4->findChild<QAction*>(QStringLiteral("List4FitFrom"));
  ASSERT_NE(fit, nullptr);
  EXPECT_EQ(fit->text(), Q("Ширина по содержимому"));
  fit->trigger();
  EXPECT_GT(header->sectionSize(kColumnFrom),
            form.List4->fontMetrics().horizontalAdvance(Q("Очень длинное имя контакта")));
}

TEST_F(SearchTest, FilterKindDatesAndContactComeBackAtTheNextStart) {
  {
    auto program = StartProgram();
    TForm1& form = program->form1();
    ShowTab(form, form.ARCHIVETAB);
    SearchBar& bar = *form.List4Search;
    bar.Field->setFocus();
    Type("\"купи хлеба\"");
    bar.Since->setFocus();
    Type("01.01.2006");
    bar.Until->setFocus();
    Type("2006-01-31");
    bar.Kind->setFocus();
    Press(Qt::Key_Down);  // incoming
    bar.Contact->setFocus();
    Type("+7 903 555 01 01");
    Press(Qt::Key_Return);
    // Written once the typing has stopped for a moment.
    ASSERT_TRUE(WaitFor([&] { return StoredSettings()["List4SearchFrom"] == "+7 903 555 01 01"; }));
    const auto stored = StoredSettings();
    EXPECT_EQ(stored.at("List4Search"), R"(\"купи хлеба\")");  // the file escapes quotes
    EXPECT_EQ(stored.at("List4SearchSince"), "01.01.2006");
    EXPECT_EQ(stored.at("List4SearchUntil"), "2006-01-31");
    EXPECT_EQ(stored.at("List4SearchKind"), "incoming");
    EXPECT_EQ(stored.at("List4SearchFrom"), "+7 903 555 01 01");
    program->form1().close();
  }
  // The archive is on disk now; the next start filters it at once.
  std::vector<Row> rows = Archive();
  ASSERT_TRUE(WriteListFile(rows, DataFiles(Options().program_folder).archive).ok());
  auto program = StartProgram();
  TForm1& form = program->form1();
  EXPECT_EQ(form.List4Search->Field->text(), Q("\"купи хлеба\""));
  EXPECT_EQ(form.List4Search->Kind->currentIndex(), 1);
  EXPECT_EQ(Shown(form.List4), std::vector<QString>{Q("Купи хлеба")});
  EXPECT_EQ(TabText(form, form.ARCHIVETAB), Q("Архив (1 из 5)"));
}

TEST_F(SearchTest, ConversationsGroupByNumberAndShowAChat) {
  auto program = StartProgram();
  TForm1& form = program->form1();
  form.List4Rows->SetRows(Archive());
  ShowTab(form, form.CONVTAB);
  EXPECT_EQ(TabText(form, form.CONVTAB), Q("Переписка"));
  ConversationView& view = *form.Conversations;
  const QAbstractItemModel* people = view.People->model();
  ASSERT_EQ(people->rowCount(), 3);
  const auto cell = [&](int row, int column) {
    return people->index(row, column).data().toString();
  };
  // Newest conversation first; "Мама (+7…)" and "+7…" are one.
  EXPECT_EQ(cell(0, 0), Q("Мама"));
  EXPECT_EQ(cell(0, 1), Q("3"));
  EXPECT_EQ(cell(0, 2), Q("05/01/2006,10:00:00"));
  EXPECT_EQ(cell(1, 0), Q("Info"));
  EXPECT_EQ(cell(2, 0), Q("89161234567"));

  // The newest is open: its messages in time order, a date line before each day.
  const QTextDocument* chat = view.Chat->document();
  std::vector<QString> blocks;
  std::vector<qreal> left_margins;
  for (QTextBlock block = chat->begin(); block.isValid(); block = block.next()) {
    blocks.push_back(block.text());
    left_margins.push_back(block.blockFormat().leftMargin());
  }
  const QChar line_break = QChar::LineSeparator;
  ASSERT_EQ(blocks.size(), 6u);
  EXPECT_EQ(blocks[0], Q("01/01/2006"));
  EXPECT_EQ(blocks[1], Q("Купи хлеба") + line_break + Q("10:00:00"));
  EXPECT_EQ(blocks[2], Q("02/01/2006"));
  EXPECT_EQ(blocks[3], Q("Позвони мне") + line_break + Q("10:00:00"));
  EXPECT_EQ(blocks[5], Q("Встреча в полдень") + line_break + Q("10:00:00"));
  // Incoming on the left, outgoing and drafts pushed to the right.
  EXPECT_LT(left_margins[1], left_margins[3]);
  EXPECT_EQ(left_margins[3], left_margins[5]);

  // A click on another correspondent opens that chat.
  QTest::mouseClick(view.People->viewport(), Qt::LeftButton, {},
                    view.People->visualRect(people->index(2, 0)).center());
  EXPECT_TRUE(chat->toPlainText().contains(Q("Хлеб купил")));
  EXPECT_FALSE(chat->toPlainText().contains(Q("Купи хлеба")));

  // The search bar inside narrows both lists and marks the matches.
  view.Search->Field->setFocus();
  Type("ХЛЕБ");
  ASSERT_EQ(people->rowCount(), 3);
  EXPECT_EQ(cell(0, 1), Q("1 / 3"));
  QTest::mouseClick(view.People->viewport(), Qt::LeftButton, {},
                    view.People->visualRect(people->index(0, 0)).center());
  EXPECT_TRUE(chat->toPlainText().contains(Q("Купи хлеба")));
  EXPECT_FALSE(chat->toPlainText().contains(Q("Позвони мне")));
  bool marked = false;
  for (QTextBlock block = chat->begin(); block.isValid(); block = block.next()) {
    for (const QTextLayout::FormatRange& range : block.textFormats()) {
      if (range.format.background().color() == QColor(255, 214, 0))
        marked = block.text().mid(range.start, range.length) == Q("хлеб");
    }
  }
  EXPECT_TRUE(marked);
  view.Search->Field->setFocus();
  Type("zzz");
  EXPECT_EQ(people->rowCount(), 0);
  EXPECT_TRUE(chat->isEmpty());
}

// A draft never addressed has neither name nor number: its conversation is
// still called something a person can read.
TEST_F(SearchTest, AConversationWithoutNameOrNumberIsCalledSo) {
  auto program = StartProgram();
  TForm1& form = program->form1();
  form.List4Rows->SetRows(
      {Message("Черновик без адреса", "", "06/01/2006,10:00:00", "6", kImageDraft)});
  ShowTab(form, form.CONVTAB);
  const QAbstractItemModel* people = form.Conversations->People->model();
  ASSERT_EQ(people->rowCount(), 1);
  EXPECT_EQ(people->index(0, 0).data().toString(), Q("(без номера)"));
}

// A skin chosen while a chat is open draws the chat again in its colours: dark
// bubbles under a dark skin, light ones under a light skin.
TEST_F(SearchTest, TheChatTakesTheColoursOfANewSkin) {
  auto program = StartProgram();
  TForm1& form = program->form1();
  form.List4Rows->SetRows(Archive());
  ShowTab(form, form.CONVTAB);
  const QTextDocument* chat = form.Conversations->Chat->document();
  const auto bubble_lightness = [&] {
    return chat->findBlockByNumber(1).blockFormat().background().color().lightness();
  };
  const QList<QAction*> skins = form.SkinMenu->actions();
  ASSERT_GE(skins.size(), 2);
  for (int round = 0; round < 2; ++round) {
    skins[1]->trigger();  // "nightfall"
    QCoreApplication::processEvents();
    EXPECT_LT(bubble_lightness(), 128);
    skins[0]->trigger();  // "daylight"
    QCoreApplication::processEvents();
    EXPECT_GT(bubble_lightness(), 128);
  }
}

// A long conversation opens with its newest messages; scrolling to the top
// (Ctrl+Home in the chat, as a person pages back) brings in the earlier ones,
// until the first is there.
TEST_F(SearchTest, ALongConversationOpensAtItsNewestAndScrollsBackToItsFirst) {
  std::vector<Row> rows;
  for (int i = 1; i <= 1500; ++i) {
    const std::string text = Tag("m", 100000 + i);
    rows.push_back(
        Message(text.c_str(), "+79035550101", "01/01/2006,10:00:00", "1", kImageIncoming));
  }
  auto program = StartProgram();
  TForm1& form = program->form1();
  form.List4Rows->SetRows(rows);
  ShowTab(form, form.CONVTAB);
  ConversationView& view = *form.Conversations;
  const QTextDocument* chat = view.Chat->document();
  ASSERT_TRUE(chat->toPlainText().contains(Q("m101500")));
  EXPECT_FALSE(chat->toPlainText().contains(Q("m100001")));
  view.Chat->setFocus();
  for (int page = 0; page < 5 && !chat->toPlainText().contains(Q("m100001")); ++page)
    Press(Qt::Key_Home, Qt::ControlModifier);
  const QString all = chat->toPlainText();
  EXPECT_TRUE(all.contains(Q("m100001")));
  // Every message once, the newest still there.
  for (const char* text : {"m100001", "m100750", "m101500"})
    EXPECT_EQ(all.count(Q(text)), 1);
}

// The "Удалить" and "Удалить все" of the messages list delete in the phone the
// messages shown and selected, with List1 sorted and filtered.
class SearchPhoneTest : public PhoneWindowTest {};

std::vector<std::string> Deletes(const PhoneSim& phone) {
  std::vector<std::string> deletes;
  for (const std::string& command : phone.Commands())
    if (command.starts_with("AT+CMGD=")) deletes.push_back(command);
  return deletes;
}

TEST_F(SearchPhoneTest, DeletesOnThePhoneTheRowsShownAndSelected) {
  PhoneSim phone(ScenarioWithMessages(6));
  auto program = StartOn(phone.Device());
  TForm1& form = program->form1();
  form.Check13->SetChecked(false);
  form.N18->trigger();
  ASSERT_EQ(form.List1Rows->rows().size(), 6u);
  ShowTab(form, form.SMSTAB);
  ClickHeader(form.List1, kColumnIndex);
  ClickHeader(form.List1, kColumnIndex);  // index 6 first
  form.List1Search->Kind->setFocus();
  Press(Qt::Key_Down);
  Press(Qt::Key_Down);  // outgoing: the messages 3 and 6
  ASSERT_EQ(form.List1->model()->rowCount(), 2);

  ClickRow(form.List1, 1);
  form.bsSkinMessage1->SetNextAnswer(true);
  Press(Qt::Key_Delete);
  EXPECT_EQ(Deletes(phone), std::vector<std::string>{"AT+CMGD=3"});
  EXPECT_EQ(form.List1Rows->rows().size(), 5u);

  // "Удалить все", only the rows shown.
  form.bsSkinMessage1->SetNextAnswer(true);
  form.MenuItem2->trigger();
  EXPECT_EQ(Deletes(phone), (std::vector<std::string>{"AT+CMGD=3", "AT+CMGD=6"}));
  EXPECT_EQ(form.List1Rows->rows().size(), 4u);
  EXPECT_EQ(TabText(form, form.SMSTAB), Q("Сообщения (0 из 4)"));
}

}  // namespace
}  // namespace missivo::test
