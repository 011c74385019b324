// What the three lists do in the window: sorting by a clicked column with the
// archive's stored order, Ctrl+A, F5, the edit panel, deleting archive and
// phonebook rows, the preview, the tab captions and bold selected rows.
#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTreeView>

#include "app/qt_user_interface.h"
#include "app/row_model.h"
#include "app_test_support.h"
#include "store/list_file.h"

namespace missivo::test {
namespace {

using ListCommandsTest = AppTest;

Row Message(const char* text, const char* from, const char* date, const char* size,
            const char* index, const char* type) {
  return Row{W(text), {from, date, size, index, W(type)}, 2};
}

// Three rows that each column puts in another order.
std::vector<Row> ThreeMessages() {
  return {Message("бета", "+7903", "28/12/2005,23:59:59", "10", "2", "Входящие"),
          Message("Альфа", "+7901", "05/01/2006,10:00:00", "9", "12", "Исходящие"),
          Message("гамма", "+7902", "01/01/2006,00:00:00", "100", "1", "Черновик")};
}

std::vector<std::string> Captions(const RowListModel* list) {
  std::vector<std::string> captions;
  for (const Row& row : list->rows())
    captions.push_back(row.caption);
  return captions;
}

// The three messages in List1 and List4, two contacts in List2.
void FillLists(TForm1& form) {
  form.List1Rows->SetRows(ThreeMessages());
  form.List4Rows->SetRows(ThreeMessages());
  form.List2Rows->SetRows({Row{"b", {"1"}, 30}, Row{"a", {"2"}, 30}});
}

void Select(QTreeView* view, std::initializer_list<int> rows) {
  QItemSelectionModel* selection = view->selectionModel();
  selection->clearSelection();
  for (const int row : rows) {
    selection->select(view->model()->index(row, 0),
                      QItemSelectionModel::Select | QItemSelectionModel::Rows);
  }
}

QString TabText(TForm1& form, QWidget* tab) {
  return form.bsSkinPageControl1->tabText(form.bsSkinPageControl1->indexOf(tab));
}

// Shows `tab` and lets the window lay it out, so that clicks find their rows.
void ShowTab(TForm1& form, QWidget* tab) {
  form.bsSkinPageControl1->setCurrentWidget(tab);
  QApplication::processEvents();
}

TEST_F(ListCommandsTest, EachArchiveColumnSortsUpThenDownAndIsRemembered) {
  auto program = StartProgram();
  TForm1& form = program->form1();
  form.List4Rows->SetRows(ThreeMessages());
  ShowTab(form, form.ARCHIVETAB);
  const struct {
    int column;
    std::vector<const char*> ascending;
  } cases[] = {
      {0, {"Альфа", "бета", "гамма"}},  // upper-cased before comparing
      {1, {"Альфа", "гамма", "бета"}}, {2, {"бета", "гамма", "Альфа"}},  // December 2005 first
      {3, {"Альфа", "бета", "гамма"}},                                   // numbers: 9 < 10 < 100
      {4, {"гамма", "бета", "Альфа"}}, {5, {"бета", "Альфа", "гамма"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.column);
    std::vector<std::string> ascending;
    for (const char* text : c.ascending)
      ascending.push_back(W(text));
    // Each column starts afresh: no column sorted yet, next sort ascending.
    form.Sort = SortState{};
    form.List4Rows->list().markers.assign(6, kNoMarker);
    // A real click on the header sorts up; a second click (not a double click) sorts down.
    QHeaderView* header = form.List4->header();
    const QPoint at(header->sectionViewportPosition(c.column) + 5, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
    EXPECT_EQ(Captions(form.List4Rows), ascending);
    EXPECT_EQ(form.List4Rows->HeaderImage(c.column), kMarkerAscending);
    emit header->sectionClicked(c.column);
    EXPECT_EQ(Captions(form.List4Rows),
              std::vector<std::string>(ascending.rbegin(), ascending.rend()));
    for (int column = 0; column < 6; ++column) {
      EXPECT_EQ(form.List4Rows->HeaderImage(column),
                column == c.column ? kMarkerDescending : kNoMarker);
    }
    const auto stored = StoredSettings();
    EXPECT_EQ(stored.at("List4"), std::to_string(c.column));
    EXPECT_EQ(stored.at("List4Image"), "31");
    EXPECT_EQ(stored.at("List4Direction"), "1");
    const Result<std::vector<Row>> saved = ReadListFile(form.Files().archive);
    ASSERT_TRUE(saved.ok());
    EXPECT_EQ(saved.value(), form.List4Rows->rows());
  }
}

TEST_F(ListCommandsTest, SortStateIsSharedAndOnlyTheArchiveIsStored) {
  auto program = StartProgram();
  TForm1& form = program->form1();
  FillLists(form);

  form.List1ColumnClick(2);
  EXPECT_EQ(form.List1Rows->HeaderImage(2), kMarkerAscending);
  EXPECT_FALSE(StoredSettings().contains("List4"));
  // The archive's column 2 was the last sorted column: the direction toggles.
  form.List4ColumnClick(2);
  EXPECT_EQ(form.List4Rows->HeaderImage(2), kMarkerDescending);
  EXPECT_EQ(StoredSettings().at("List4Image"), "31");
  EXPECT_EQ(StoredSettings().at("List4Direction"), "1");

  form.List2ColumnClick(0);
  EXPECT_EQ(form.List2Rows->rows()[0].caption, "a");
  form.List2ColumnClick(0);
  EXPECT_EQ(form.List2Rows->rows()[0].caption, "b");
  EXPECT_EQ(StoredSettings().at("List4"), "2");
}

TEST_F(ListCommandsTest, CtrlASelectsEveryRowAndSelectedRowsAreBold) {
  auto program = StartProgram();
  TForm1& form = program->form1();
  FillLists(form);
  for (QTreeView* view : {form.List1, form.List4, form.List2}) {
    SCOPED_TRACE(view->objectName().toStdString());
    QTest::keyClick(view, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(SelectedRows(view).size(), static_cast<std::size_t>(view->model()->rowCount()));
    // Every list draws through the delegate that makes selected rows bold.
    EXPECT_NE(dynamic_cast<ListRowDelegate*>(view->itemDelegate()), nullptr);
  }
}

TEST_F(ListCommandsTest, F5CopiesTheSelectedMessagesIntoTheArchive) {
  auto program = StartProgram();
  TForm1& form = program->form1();
  form.List1Rows->SetRows(ThreeMessages());
  QTest::keyClick(form.List1, Qt::Key_F5);
  EXPECT_TRUE(form.List4Rows->rows().empty());
  Select(form.List1, {2, 0});
  QTest::keyClick(form.List1, Qt::Key_F5);
  EXPECT_EQ(form.List4Rows->rows(), (std::vector<Row>{ThreeMessages()[0], ThreeMessages()[2]}));
  EXPECT_EQ(TabText(form, form.ARCHIVETAB), Q("Архив (2)"));
  // F5 does not write the archive; the next save does.
  EXPECT_FALSE(std::filesystem::exists(form.Files().archive));
  // Already archived: not copied twice.
  QTest::keyClick(form.List1, Qt::Key_F5);
  EXPECT_EQ(form.List4Rows->rows().size(), 2u);
}

TEST_F(ListCommandsTest, EditPanelChecksItsFieldsAndSavesTheRow) {
  auto program = StartProgram();
  TForm1& form = program->form1();
  form.List4Rows->SetRows(ThreeMessages());
  ShowTab(form, form.ARCHIVETAB);

  QTest::keyClick(form.List4, Qt::Key_F2);  // no row selected
  EXPECT_TRUE(form.SMSEdit->isHidden());
  Select(form.List4, {1});
  QTest::keyClick(form.List4, Qt::Key_F2);
  EXPECT_FALSE(form.SMSEdit->isHidden());
  EXPECT_TRUE(form.List4->isHidden());
  EXPECT_EQ(form.E2->text(), Q("05/01/2006,10:00:00"));
  EXPECT_EQ(form.E3->text(), Q("12"));
  EXPECT_EQ(form.E4->text(), Q("Исходящие"));
  EXPECT_EQ(form.M1->toPlainText(), Q("Альфа"));

  const struct {
    const char* date;
    const char* index;
    const char* shown;  // nothing: accepted
  } cases[] = {
      {"05/01/2006,10:00:00", "", "Данные не заполнены!"},
      {"05/01/2006,10:00:0", "12", "Неверная дата!"},
      {"any nineteen chars!", "7", nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.date);
    form.E2->setText(Q(c.date));
    form.E3->setText(Q(c.index));
    form.M1->setPlainText(QStringLiteral("Edited"));
    const auto before = form.bsSkinMessage1->shown().size();
    form.bsSkinButton4->click();
    if (c.shown != nullptr) {
      ASSERT_EQ(form.bsSkinMessage1->shown().size(), before + 1);
      EXPECT_EQ(form.bsSkinMessage1->shown().back().text, W(c.shown));
      EXPECT_EQ(form.bsSkinMessage1->shown().back().kind, MessageKind::kPlain);
      EXPECT_FALSE(form.SMSEdit->isHidden());
      EXPECT_FALSE(std::filesystem::exists(form.Files().archive));
    } else {
      EXPECT_EQ(form.bsSkinMessage1->shown().size(), before);
    }
  }
  EXPECT_TRUE(form.SMSEdit->isHidden());
  EXPECT_FALSE(form.List4->isHidden());
  const Row edited = form.List4Rows->rows()[1];
  EXPECT_EQ(edited, Message("Edited", "+7901", "any nineteen chars!", "9", "7", "Исходящие"));
  const Result<std::vector<Row>> saved = ReadListFile(form.Files().archive);
  ASSERT_TRUE(saved.ok());
  EXPECT_EQ(saved.value(), form.List4Rows->rows());

  // "Отмена" changes nothing.
  Select(form.List4, {0});
  QTest::keyClick(form.List4, Qt::Key_F2);
  form.M1->setPlainText(QStringLiteral("never"));
  form.CancelEdit->click();
  EXPECT_TRUE(form.SMSEdit->isHidden());
  EXPECT_EQ(form.List4Rows->rows()[0], ThreeMessages()[0]);
}

TEST_F(ListCommandsTest, ArchiveAndPhonebookDeletionsConfirmAndWriteTheirFiles) {
  auto program = StartProgram();
  TForm1& form = program->form1();
  ShowTab(form, form.ARCHIVETAB);
  QtUserInterface& ui = *form.bsSkinMessage1;
  const auto archive = form.Files().archive;

  // Delete with No, then Yes on two of three: saved with one row.
  form.List4Rows->SetRows(ThreeMessages());
  Select(form.List4, {0, 2});
  ui.SetNextAnswer(false);
  QTest::keyClick(form.List4, Qt::Key_Delete);
  EXPECT_EQ(form.List4Rows->rows().size(), 3u);
  form.Text1->setPlainText(QStringLiteral("preview"));
  ui.SetNextAnswer(true);
  QTest::keyClick(form.List4, Qt::Key_Delete);
  EXPECT_EQ(Captions(form.List4Rows), std::vector<std::string>{W("Альфа")});
  EXPECT_TRUE(form.Text1->toPlainText().isEmpty());
  EXPECT_EQ(TabText(form, form.ARCHIVETAB), Q("Архив (1)"));
  ASSERT_TRUE(ReadListFile(archive).ok());
  EXPECT_EQ(ReadListFile(archive).value().size(), 1u);
  // The last row by the key: the file goes.
  Select(form.List4, {0});
  QTest::keyClick(form.List4, Qt::Key_Delete);
  EXPECT_FALSE(std::filesystem::exists(archive));
  EXPECT_EQ(TabText(form, form.ARCHIVETAB), Q("Архив"));

  // The last row by "Удалить": an empty list file stays.
  form.List4Rows->SetRows({ThreeMessages()[0]});
  Select(form.List4, {0});
  form.N21->trigger();
  ASSERT_TRUE(ReadListFile(archive).ok());
  EXPECT_TRUE(ReadListFile(archive).value().empty());
  // "Удалить все": asks Str75 even for an empty archive, which then changes nothing.
  std::filesystem::remove(archive);
  form.N22->trigger();
  EXPECT_EQ(ui.shown().back().text, W("Вы действительно хотите удалить все сообщения?"));
  EXPECT_FALSE(std::filesystem::exists(archive));
  form.List4Rows->SetRows(ThreeMessages());
  form.N22->trigger();
  EXPECT_TRUE(form.List4Rows->rows().empty());
  ASSERT_TRUE(ReadListFile(archive).ok());

  // Phonebook: Str78; saved while rows are left, removed with the last one.
  ShowTab(form, form.bsSkinTabSheet1);
  form.List2Rows->SetRows({Row{"a", {"1"}, 30}, Row{"b", {"2"}, 30}});
  Select(form.List2, {1});
  QTest::keyClick(form.List2, Qt::Key_Delete);
  EXPECT_EQ(ui.shown().back().text, W("Вы действительно хотите удалить выделеные номера?"));
  ASSERT_TRUE(ReadListFile(form.Files().phonebook).ok());
  EXPECT_EQ(ReadListFile(form.Files().phonebook).value(), form.List2Rows->rows());
  Select(form.List2, {0});
  QTest::keyClick(form.List2, Qt::Key_Delete);
  EXPECT_FALSE(std::filesystem::exists(form.Files().phonebook));
}

TEST_F(ListCommandsTest, PreviewFollowsClicksAndKeys) {
  auto program = StartProgram();
  TForm1& form = program->form1();
  const auto preview = [&form] { return form.Text1->toPlainText(); };

  form.List1Rows->SetRows(ThreeMessages());
  ShowTab(form, form.SMSTAB);
  QTest::mouseClick(form.List1->viewport(), Qt::LeftButton, {},
                    form.List1->visualRect(form.List1->model()->index(2, 0)).center());
  EXPECT_EQ(preview(), Q("гамма"));
  Select(form.List1, {1});  // a selection change shows its row
  EXPECT_EQ(preview(), Q("Альфа"));
  QTest::keyClick(form.List1, Qt::Key_Up);  // the row above the first selected
  EXPECT_EQ(preview(), Q("бета"));
  Select(form.List1, {0});
  form.Text1->clear();
  QTest::keyPress(form.List1, Qt::Key_Up);  // at the top: nothing
  EXPECT_EQ(preview(), QString());

  form.List4Rows->SetRows(ThreeMessages());
  ShowTab(form, form.ARCHIVETAB);
  QTest::mouseClick(form.List4->viewport(), Qt::LeftButton, {},
                    form.List4->visualRect(form.List4->model()->index(1, 0)).center());
  EXPECT_EQ(preview(), Q("Альфа"));
  Select(form.List4, {1});
  QTest::keyPress(form.List4, Qt::Key_Down);
  EXPECT_EQ(preview(), Q("гамма"));
  Select(form.List4, {1});
  QTest::keyPress(form.List4, Qt::Key_Up);
  EXPECT_EQ(preview(), Q("бета"));
  Select(form.List4, {2});
  form.Text1->clear();
  QTest::keyPress(form.List4, Qt::Key_Down);  // the last row: nothing
  EXPECT_EQ(preview(), QString());
  form.Text1->setPlainText(QStringLiteral("x"));
  QTest::keyPress(form.List4, Qt::Key_Shift);  // any other key empties it
  EXPECT_EQ(preview(), QString());
  Select(form.List4, {1});
  QTest::keyRelease(form.List4, Qt::Key_End);  // released paging keys: the first selected
  EXPECT_EQ(preview(), Q("Альфа"));
  // A new tab empties the preview.
  ShowTab(form, form.bsSkinTabSheet1);
  EXPECT_EQ(preview(), QString());
}

}  // namespace
}  // namespace missivo::test
