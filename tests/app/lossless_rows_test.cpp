// Lossless rows in the window: a message read from the simulated phone shows
// its whole text with line breaks and emoji in the preview, on one line in the
// list, the number the phone gave in the From column's tooltip; the edit panel
// keeps the lossless text in step with what was typed; a contact's name that
// Windows-1251 cannot hold shows whole in the phonebook and the From column.
#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <QTreeView>
#include <nlohmann/json.hpp>

#include "app/check_box.h"
#include "app/row_model.h"
#include "phone_window.h"
#include "store/list_file.h"
#include "store/message_fields.h"

namespace missivo::test {
namespace {

using LosslessRowsTest = PhoneWindowTest;

const char kText[] = "Привет!\r\nКак дела? 👋🏽\nпока";

std::string Scenario() {
  nlohmann::json scenario = {
      {"messages",
       {{{"index", 4},
         {"status", "REC READ"},
         {"sender", "+79161234567"},
         {"date", "2024/05/01,12:00:00"},
         {"text", kText}}}},
      {"phonebook_range", "1-60,40,24"},
      {"phonebook", {{{"index", 1}, {"number", "9161234567"}, {"name", "Иван"}}}}};
  return scenario.dump();
}

QString Cell(const RowListModel* list, int column, int role = Qt::DisplayRole) {
  return list->data(list->index(0, column), role).toString();
}

TEST_F(LosslessRowsTest, PreviewListAndEditShowTheWholeText) {
  PhoneSim phone(Scenario());
  auto program = StartOn(phone.Device());
  TForm1& form = program->form1();
  form.Check7->SetChecked(true);  // the phonebook too, so the sender gets a name
  QTest::mouseClick(form.bsSkinSpeedButton3, Qt::LeftButton);
  ASSERT_TRUE(WaitFor([&] { return form.List4Rows->rows().size() == 1; }));

  const QString whole = QString::fromUtf8(kText);
  form.bsSkinPageControl1->setCurrentWidget(form.ARCHIVETAB);
  form.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
  QTest::mouseClick(form.List4->viewport(), Qt::LeftButton, {},
                    form.List4->visualRect(form.List4->model()->index(0, 0)).center());
  EXPECT_EQ(form.Text1->toPlainText(),
            QString(whole).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
  EXPECT_EQ(Cell(form.List4Rows, 0),
            QString::fromUtf8("Привет! Как дела? 👋🏽 пока"));
  EXPECT_EQ(Cell(form.List4Rows, 1), QString::fromUtf8("Иван (9161234567)"));
  EXPECT_TRUE(Cell(form.List4Rows, 1, Qt::ToolTipRole).contains(QStringLiteral("+79161234567")));
  EXPECT_EQ(Cell(form.List4Rows, 2), QStringLiteral("01/05/2024,12:00:00"));

  // F2 on the list: the whole text to edit; saved untouched, it keeps its CR LF.
  ASSERT_EQ(QApplication::focusWidget(), form.List4);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_F2);
  ASSERT_FALSE(form.SMSEdit->isHidden());
  EXPECT_EQ(form.M1->toPlainText(),
            QString(whole).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
  QTest::mouseClick(form.bsSkinButton4, Qt::LeftButton);
  ASSERT_TRUE(form.SMSEdit->isHidden());
  EXPECT_EQ(BestText(ReadListFile(form.Files().archive).value()[0]), kText);

  // Typed at the end of the text: the lossless text is what the box holds.
  form.List4->setFocus();
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_F2);
  form.M1->setFocus();
  form.M1->moveCursor(QTextCursor::End);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
  QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(), Qt::Key_unknown,
                      QString::fromUtf8("✓"), Qt::NoModifier);
  QTest::mouseClick(form.bsSkinButton4, Qt::LeftButton);
  const Row saved = ReadListFile(form.Files().archive).value()[0];
  EXPECT_EQ(BestText(saved), "Привет!\nКак дела? 👋🏽\nпока ✓");
  EXPECT_EQ(saved.caption, W("Привет!\nКак дела? ??\nпока ?"));
  EXPECT_EQ(BestNumber(saved), "+79161234567");
}

TEST_F(LosslessRowsTest, PhonebookAndFromShowNamesOfAnyScript) {
  const nlohmann::json scenario = {
      {"messages",
       {{{"index", 1}, {"status", "REC READ"}, {"sender", "+8613812345678"}, {"text", "你好"}}}},
      {"phonebook_range", "1-60,40,24"},
      {"phonebook",
       {{{"index", 1}, {"number", "+8613812345678"}, {"name", "王小明"}},
        {{"index", 2}, {"number", "+302101234567"}, {"name", "Νίκος 😀"}}}}};
  PhoneSim phone(scenario.dump());
  auto program = StartOn(phone.Device());
  TForm1& form = program->form1();
  form.Check7->SetChecked(true);
  QTest::mouseClick(form.bsSkinSpeedButton3, Qt::LeftButton);
  ASSERT_TRUE(WaitFor([&] { return form.List2Rows->rows().size() == 2; }));

  // What the views show, as a person sees the lists.
  form.bsSkinPageControl1->setCurrentWidget(form.bsSkinTabSheet1);
  const QAbstractItemModel* phonebook = form.List2->model();
  EXPECT_EQ(phonebook->data(phonebook->index(0, 0)).toString(), QString::fromUtf8("王小明"));
  EXPECT_EQ(phonebook->data(phonebook->index(0, 1)).toString(), QStringLiteral("+8613812345678"));
  EXPECT_EQ(phonebook->data(phonebook->index(1, 0)).toString(), QString::fromUtf8("Νίκος 😀"));
  const QAbstractItemModel* archive = form.List4->model();
  EXPECT_EQ(archive->data(archive->index(0, 1)).toString(),
            QString::fromUtf8("王小明 (+8613812345678)"));
  EXPECT_EQ(form.List2Rows->rows()[0].caption, "???");
}

}  // namespace
}  // namespace missivo::test
