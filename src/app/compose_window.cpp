#include "app/compose_window.h"

#include <QCheckBox>
#include <QCompleter>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringList>
#include <QVBoxLayout>

#include "app/compose_texts.h"
#include "shell/qt_text.h"
#include "sms/sms_encode.h"
#include "store/contact_fields.h"
#include "store/message_fields.h"
#include "text/language.h"

namespace missivo {

QString CounterText(const LanguageLines& language, std::string_view utf8) {
  const sms::TextCount count = sms::CountText(utf8);
  const int holds = count.per_part * count.parts;
  const char* key = count.parts == 1 ? compose_texts::kCountOnePart : compose_texts::kCountParts;
  return ToQString(language.LangText(key))
      .replace(QStringLiteral("%1"), QString::number(count.used))
      .replace(QStringLiteral("%2"), QString::number(holds))
      .replace(QStringLiteral("%3"), QString::number(count.parts));
}

std::string RecipientOf(std::string_view typed) {
  const std::size_t open = typed.rfind(" (");
  if (open == std::string_view::npos || !typed.ends_with(')')) return std::string(typed);
  return std::string(typed.substr(open + 2, typed.size() - open - 3));
}

ComposeWindow::ComposeWindow(const LanguageLines& language, const std::vector<Row>& contacts,
                             SendHandler send, bool report, QWidget* parent)
    : QDialog(parent), language_(language), send_(std::move(send)) {
  setObjectName(QStringLiteral("ComposeWindow"));
  setWindowTitle(ToQString(language.LangText(compose_texts::kNewMessage)));
  const auto text = [&](const char* key) { return ToQString(language.LangText(key)); };

  To = new QLineEdit(this);
  To->setObjectName(QStringLiteral("To"));
  QStringList choices;
  for (const Row& contact : contacts) {
    const QString number = Utf8ToQString(ContactNumber(contact));
    if (number.isEmpty()) continue;
    choices << Utf8ToQString(ContactName(contact)) + QStringLiteral(" (") + number +
                   QLatin1Char(')');
  }
  auto* completer = new QCompleter(choices, this);
  completer->setCaseSensitivity(Qt::CaseInsensitive);
  completer->setFilterMode(Qt::MatchContains);
  To->setCompleter(completer);

  Body = new QPlainTextEdit(this);
  Body->setObjectName(QStringLiteral("Body"));
  Body->setTabChangesFocus(true);
  Counter = new QLabel(this);
  Counter->setObjectName(QStringLiteral("Counter"));
  Report = new QCheckBox(text(compose_texts::kAskReport), this);
  Report->setObjectName(QStringLiteral("Report"));
  Report->setChecked(report);

  auto* buttons = new QDialogButtonBox(this);
  SendButton = buttons->addButton(text(compose_texts::kSend), QDialogButtonBox::AcceptRole);
  SendButton->setObjectName(QStringLiteral("SendButton"));
  CancelButton = buttons->addButton(text(compose_texts::kCancel), QDialogButtonBox::RejectRole);
  CancelButton->setObjectName(QStringLiteral("CancelButton"));

  auto* form = new QFormLayout;
  form->addRow(text(compose_texts::kTo), To);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(Body, 1);
  layout->addWidget(Report);
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(Counter, 1);
  bottom->addWidget(buttons);
  layout->addLayout(bottom);

  connect(Body, &QPlainTextEdit::textChanged, this, &ComposeWindow::UpdateCounter);
  connect(To, &QLineEdit::textChanged, this, &ComposeWindow::UpdateCounter);
  // Send is pressed, never triggered by Enter in the recipient field.
  connect(SendButton, &QPushButton::clicked, this, &ComposeWindow::SendClick);
  disconnect(buttons, &QDialogButtonBox::accepted, nullptr, nullptr);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  SendButton->setAutoDefault(false);
  CancelButton->setAutoDefault(false);
  resize(460, 300);
  UpdateCounter();
  To->setFocus();
}

void ComposeWindow::SetRecipient(const QString& to) {
  To->setText(to);
  Body->setFocus();
}

void ComposeWindow::UpdateCounter() {
  const std::string utf8 = Body->toPlainText().toStdString();
  Counter->setText(CounterText(language_, utf8));
  SendButton->setEnabled(!utf8.empty() && !To->text().trimmed().isEmpty());
}

void ComposeWindow::SendClick() {
  if (!SendButton->isEnabled()) return;
  SendButton->setEnabled(false);  // no second send while this one runs
  const bool sent = send_(To->text().trimmed().toStdString(), Body->toPlainText().toStdString(),
                          Report->isChecked());
  if (sent) {
    accept();
    return;
  }
  UpdateCounter();
}

}  // namespace missivo
