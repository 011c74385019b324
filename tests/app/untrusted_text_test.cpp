// Texts the window did not write itself (the phone's replies, the messages of
// anyone who sends one, language files) are shown as the characters they are:
// markup is not read as markup and control characters do nothing.
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <nlohmann/json.hpp>

#include "app/qt_user_interface.h"
#include "app/row_model.h"
#include "app/terminal_view.h"
#include "phone_window.h"

namespace missivo::test {
namespace {

using UntrustedTextTest = PhoneWindowTest;

TEST_F(UntrustedTextTest, MarkupAndControlCharactersShowAsTheyAre) {
  const std::string reply = std::string("\r\n<b>bold</b><img src=\"x\">\x1B[2J\x07\x1B]0;t\x07") +
                            '\0' + "z\r\nERROR\r\n";
  const nlohmann::json scenario = {{"replies", {{{"command", "AT+X"}, {"reply", reply}}}}};
  PhoneSim phone(scenario.dump());
  auto program = StartOn(phone.Device());
  TForm1& form = program->form1();

  // The error box of the reply: a real one, plain text.
  form.bsSkinMessage1->SetScripted(false);
  Qt::TextFormat format = Qt::RichText;
  QString box_text;
  QTimer::singleShot(0, &form, [&] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      format = box->textFormat();
      box_text = box->text();
      box->accept();
    }
  });
  form.ATField->setEditText(QStringLiteral("AT+X"));
  form.bsSkinButton1->click();
  form.bsSkinMessage1->SetScripted(true);
  EXPECT_EQ(format, Qt::PlainText);
  EXPECT_TRUE(box_text.contains(QStringLiteral("<b>bold</b>"))) << box_text.toStdString();

  // The terminal holds every character, the NUL too, in a plain text box.
  const QString shown = form.TermSkrin->toPlainText();
  EXPECT_TRUE(shown.contains(QStringLiteral("<b>bold</b><img src=\"x\">\x1B[2J")));
  EXPECT_TRUE(shown.contains(QString(QChar(0)) + QStringLiteral("z")));

  // A message row's tooltip is escaped markup; its cell is the text itself.
  form.List4Rows->SetRows({Row{"<img src=\"x\">\x1B[2J", {"<b>+7</b>", "", "1", "1", ""}, 2}});
  const QModelIndex cell = form.List4Rows->index(0, 0);
  EXPECT_EQ(cell.data(Qt::DisplayRole).toString(), QStringLiteral("<img src=\"x\">\x1B[2J"));
  const QString tip = cell.data(Qt::ToolTipRole).toString();
  EXPECT_TRUE(tip.contains(QStringLiteral("&lt;img src=\"x\"&gt;"))) << tip.toStdString();
  EXPECT_FALSE(tip.contains(QStringLiteral("<img")));

  // Labels take language texts as plain text (the splash's picture has none).
  for (const QLabel* label : form.findChildren<QLabel*>()) {
    if (label->text().isEmpty()) continue;
    EXPECT_EQ(label->textFormat(), Qt::PlainText) << label->objectName().toStdString();
  }
}

}  // namespace
}  // namespace missivo::test
