// The compose window through the window's keys and buttons, on a standard
// device of phonesim: Ctrl+N, the recipient completed from the phonebook copy,
// the live counter, Send; the message in the archive and its conversation;
// Ctrl+R in the conversation; a refused send keeps the window and its text.
#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCompleter>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <QTreeView>

#include "app/compose_texts.h"
#include "app/compose_window.h"
#include "app/conversation_view.h"
#include "app/qt_user_interface.h"
#include "app/row_model.h"
#include "phone/delivery_reports.h"
#include "phone_window.h"
#include "store/list_file.h"
#include "store/message_fields.h"
#include "text/default_language.h"

namespace missivo::test {
namespace {

using ComposeTest = PhoneWindowTest;

const char* kPhone = R"({"profile": "standard", "first_reference": 30,
  "phonebook": [{"index": 1, "number": "+79161234567", "name": "Иван"},
                {"index": 2, "number": "+79160000000", "name": "Пётр"}]})";

// Ctrl+N on the active main window opens the compose window.
ComposeWindow* OpenWithCtrlN(TForm1& form) {
  QApplication::setActiveWindow(&form);  // the offscreen platform activates no window itself
  EXPECT_TRUE(QTest::qWaitForWindowActive(&form));
  form.bsSkinPageControl1->setCurrentWidget(form.SMSTAB);
  form.List1->setFocus();
  Press(Qt::Key_N, Qt::ControlModifier);
  if (form.Compose == nullptr) return nullptr;
  QApplication::setActiveWindow(form.Compose);
  EXPECT_TRUE(QTest::qWaitForWindowActive(form.Compose));
  return form.Compose;
}

TEST(ComposeCounterTest, TheCountInTheLanguageOfTheWindow) {
  LanguageLines russian;
  russian.LoadFromBytes(DefaultRussianFileBytes());
  const struct {
    std::string text;
    const char* shown;
  } cases[] = {
      {std::string(143, 'a'), "143 / 160, 1 часть"},
      {std::string(160, 'a'), "160 / 160, 1 часть"},
      {std::string(161, 'a'), "161 / 306, частей: 2"},
      {std::string(159, 'a') + "€", "161 / 306, частей: 2"},  // an extension character takes two
      {"Привет", "6 / 70, 1 часть"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(CounterText(russian, c.text), Q(c.shown)) << c.shown;
  LanguageLines english;
  // Line N of a language file holds StrN: empty lines up to the counter's two.
  using compose_texts::kCountOnePart;
  using compose_texts::kCountParts;
  const int one_part = std::stoi(std::string(kCountOnePart).substr(3));
  std::string lines;
  for (int k = 0; k < one_part; ++k)
    lines += "Str" + std::to_string(k) + "=\r\n";
  english.LoadFromBytes(lines + kCountOnePart + "=%1 / %2, 1 part\r\n" + kCountParts +
                        "=%1 / %2, %3 parts\r\n");
  EXPECT_EQ(CounterText(english, std::string(143, 'a')), Q("143 / 160, 1 part"));
  EXPECT_EQ(CounterText(english, std::string(71, 'x') + "Ж"), Q("72 / 134, 2 parts"));
}

TEST_F(ComposeTest, CtrlNSendsToAContactAndTheMessageJoinsItsConversation) {
  PhoneSim phone(kPhone);
  auto program = StartOn(phone.Device());
  TForm1& form = program->form1();
  form.N19->trigger();  // the phonebook copy: Иван and Пётр
  ASSERT_EQ(form.List2Rows->rows().size(), 2u);

  ComposeWindow* compose = OpenWithCtrlN(form);
  ASSERT_NE(compose, nullptr);
  EXPECT_EQ(compose->windowTitle(), Q("Новое сообщение"));
  EXPECT_EQ(QApplication::focusWidget(), compose->To);
  EXPECT_FALSE(compose->SendButton->isEnabled());
  Type("ива");
  EXPECT_EQ(compose->To->completer()->currentCompletion(), Q("Иван (+79161234567)"));
  // A click on the completion the popup offers.
  QAbstractItemView* popup = compose->To->completer()->popup();
  ASSERT_TRUE(popup->isVisible());
  QTest::mouseClick(popup->viewport(), Qt::LeftButton, {},
                    popup->visualRect(popup->model()->index(0, 0)).center());
  EXPECT_EQ(compose->To->text(), Q("Иван (+79161234567)"));
  Press(Qt::Key_Tab);
  ASSERT_EQ(QApplication::focusWidget(), compose->Body);
  Type("Привет, Иван!");
  EXPECT_EQ(compose->Counter->text(), Q("13 / 70, 1 часть"));
  ASSERT_TRUE(compose->SendButton->isEnabled());
  // A delivery report asked for; the choice is the next message's default.
  EXPECT_FALSE(compose->Report->isChecked());
  QTest::mouseClick(compose->Report, Qt::LeftButton, {}, QPoint(8, compose->Report->height() / 2));
  ASSERT_TRUE(compose->Report->isChecked());
  EXPECT_EQ(StoredSettings().at("DeliveryReport"), "true");
  QTest::mouseClick(compose->SendButton, Qt::LeftButton);
  ASSERT_TRUE(WaitFor([&] { return form.Compose == nullptr; })) << ShownTexts(form).front();

  const std::vector<std::string> commands = phone.Commands();
  ASSERT_GE(commands.size(), 2u);
  EXPECT_TRUE(commands[commands.size() - 2].starts_with("AT+CMGS="));
  EXPECT_TRUE(commands.back().ends_with("^Z"));
  EXPECT_TRUE(form.bsSkinMessage1->shown().empty());
  EXPECT_TRUE(form.ProgressText->text().startsWith(Q("Сообщение отправлено")));
  const Result<std::vector<Row>> archive = ReadListFile(form.Files().archive);
  ASSERT_TRUE(archive.ok());
  ASSERT_EQ(archive.value().size(), 1u);
  const Row& sent = archive.value()[0];
  EXPECT_EQ(SubItem(sent, kFrom), W("Иван (+79161234567)"));
  EXPECT_EQ(BestText(sent), "Привет, Иван!");
  EXPECT_EQ(BestKind(sent), RowKind::kOutgoing);

  // The read after it brings the report: the row says when it was delivered.
  form.bsSkinSpeedButton3->click();  // "Считать"
  const std::vector<Row>& rows = form.List4Rows->rows();
  const auto delivered =
      std::find_if(rows.begin(), rows.end(), [](const Row& row) { return DeliveredTime(row); });
  ASSERT_NE(delivered, rows.end());
  const int view_row =
      ViewRow(form.List4->model(), static_cast<std::size_t>(delivered - rows.begin()));
  EXPECT_TRUE(form.List4->model()
                  ->index(view_row, 0)
                  .data(Qt::ToolTipRole)
                  .toString()
                  .contains(Q("Доставлено: 2026-12-10 18:00:00+03:00")));

  // The conversation shows it; Ctrl+R there answers Иван.
  form.bsSkinPageControl1->setCurrentWidget(form.CONVTAB);
  QApplication::setActiveWindow(&form);  // back in the main window, as a window manager does
  QApplication::processEvents();
  ASSERT_GE(form.Conversations->People->model()->rowCount(), 1);
  const QModelIndex first = form.Conversations->People->model()->index(0, 0);
  QTest::mouseClick(form.Conversations->People->viewport(), Qt::LeftButton, {},
                    form.Conversations->People->visualRect(first).center());
  EXPECT_TRUE(form.Conversations->Chat->toPlainText().contains(Q("Привет, Иван!")));
  EXPECT_TRUE(form.Conversations->Chat->toPlainText().contains(Q("Доставлено: 2026-12-10")));
  Press(Qt::Key_R, Qt::ControlModifier);
  ASSERT_NE(form.Compose, nullptr);
  EXPECT_EQ(form.Compose->To->text(), Q("Иван (+79161234567)"));
  QTest::mouseClick(form.Compose->CancelButton, Qt::LeftButton);
  EXPECT_TRUE(WaitFor([&] { return form.Compose == nullptr; }));

  // Ctrl+R on the archive's row does the same.
  form.bsSkinPageControl1->setCurrentWidget(form.ARCHIVETAB);
  QApplication::setActiveWindow(&form);
  QApplication::processEvents();
  QTest::mouseClick(form.List4->viewport(), Qt::LeftButton, {},
                    form.List4->visualRect(form.List4->model()->index(0, 0)).center());
  Press(Qt::Key_R, Qt::ControlModifier);
  ASSERT_NE(form.Compose, nullptr);
  EXPECT_EQ(form.Compose->To->text(), Q("Иван (+79161234567)"));
}

TEST_F(ComposeTest, ARefusedSendKeepsTheWindowAndArchivesNothing) {
  PhoneSim phone(R"({"profile": "standard",
    "faults": [{"command": "AT+CMGS*", "action": "cms_error", "code": 38}]})");
  auto program = StartOn(phone.Device());
  TForm1& form = program->form1();
  ComposeWindow* compose = OpenWithCtrlN(form);
  ASSERT_NE(compose, nullptr);
  Type("+7 916 123-45-67");
  Press(Qt::Key_Tab);
  Type("hello");
  EXPECT_EQ(compose->Counter->text(), Q("5 / 160, 1 часть"));
  QTest::mouseClick(compose->SendButton, Qt::LeftButton);
  ASSERT_EQ(ShownTexts(form),
            (std::vector<std::string>{"Отправка не удалась: not sent: the phone answered "
                                      "+CMS ERROR: 38 (network out of order)"}));
  ASSERT_EQ(form.Compose, compose);
  EXPECT_EQ(compose->Body->toPlainText(), Q("hello"));
  EXPECT_TRUE(compose->SendButton->isEnabled());
  EXPECT_FALSE(std::filesystem::exists(form.Files().archive) &&
               !ReadListFile(form.Files().archive).value().empty());
}

}  // namespace
}  // namespace missivo::test
