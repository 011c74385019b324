// "Новое сообщение": the recipient (completed from the names and numbers of
// the phonebook copy), the text with a live count of what it takes ("143 /
// 160, 1 part": 160 for the 7-bit alphabet, 70 for UCS2), Send and Cancel.
// The window only gathers; the sending is the handler's.
#pragma once

#include <QDialog>
#include <QString>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "store/row.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace missivo {

class LanguageLines;

class ComposeWindow : public QDialog {
  Q_OBJECT

 public:
  // Called at Send with the recipient as typed and the text, both UTF-8, and
  // whether a delivery report is asked for; true when the message went whole,
  // and the window then closes. On false the window stays as it was, so
  // nothing is sent again unless the user presses Send again.
  using SendHandler =
      std::function<bool(const std::string& to, const std::string& text, bool report)>;

  // `report` is the delivery report box's first state.
  ComposeWindow(const LanguageLines& language, const std::vector<Row>& contacts, SendHandler send,
                bool report, QWidget* parent = nullptr);

  QLineEdit* To = nullptr;
  QPlainTextEdit* Body = nullptr;
  QLabel* Counter = nullptr;
  QCheckBox* Report = nullptr;  // "Запросить отчёт о доставке"
  QPushButton* SendButton = nullptr;
  QPushButton* CancelButton = nullptr;

  // Addresses the message (a reply); the text gets the focus.
  void SetRecipient(const QString& to);

 private:
  void UpdateCounter();
  void SendClick();

  const LanguageLines& language_;
  SendHandler send_;
};

// The counter's text for a UTF-8 text, in the language's words.
QString CounterText(const LanguageLines& language, std::string_view utf8);

// The number inside a recipient picked from the completion ("Иван
// (+79161234567)"), else the recipient as typed.
std::string RecipientOf(std::string_view typed);

}  // namespace missivo
