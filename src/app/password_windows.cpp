#include "app/password_windows.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <string_view>

#include "app/plain_labels.h"
#include "core/secrets.h"
#include "text/cp1251.h"

namespace missivo {
namespace {

QLineEdit* Field(QWidget* owner, const char* name, bool masked) {
  auto* field = new QLineEdit(owner);
  field->setObjectName(QString::fromLatin1(name));
  if (masked) field->setEchoMode(QLineEdit::Password);
  return field;
}

}  // namespace

std::string SecretFromField(const QLineEdit* field) {
  QByteArray utf8 = field->text().toUtf8();
  std::string cp1251 =
      Utf8ToCp1251(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
  WipeBytes(utf8.data(), static_cast<std::size_t>(utf8.size()));
  return cp1251;
}

void WipeField(QLineEdit* field) {
  QString text = field->text();  // shares the field's buffer
  field->setText(QString());     // the field lets go of it and of its undo history
  if (text.isDetached()) {
    WipeBytes(text.data(), static_cast<std::size_t>(text.size()) * sizeof(QChar));
  }
}

TPassForm::TPassForm(QWidget* owner)
    : QDialog(owner, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
  setObjectName(QStringLiteral("PassForm"));
  setWindowTitle(QStringLiteral("Защита программы"));
  setModal(true);

  auto* layout = new QVBoxLayout(this);
  const struct {
    QLabel** label;
    const char* label_name;
    QString text;
    QLineEdit** field;
    const char* field_name;
    bool masked;
  } rows[] = {
      {&C1, "C1", QStringLiteral("Старый пароль:"), &E1, "E1", true},
      {&C2, "C2", QStringLiteral("Новый пароль:"), &P2, "P2", true},
      {&C3, "C3", QStringLiteral("Повторить пароль:"), &P3, "P3", true},
      {&C4, "C4", QStringLiteral("Контрольный вопрос:"), &KQ, "KQ", false},
      {&C5, "C5", QStringLiteral("Контрольный ответ:"), &KA, "KA", false},
  };
  for (const auto& row : rows) {
    *row.label = new QLabel(row.text, this);
    (*row.label)->setObjectName(QString::fromLatin1(row.label_name));
    *row.field = Field(this, row.field_name, row.masked);
    (*row.label)->setBuddy(*row.field);
    layout->addWidget(*row.label);
    layout->addWidget(*row.field);
  }

  auto* buttons = new QHBoxLayout;
  bsSkinButton1 = new QPushButton(QStringLiteral("OK"), this);
  bsSkinButton1->setObjectName(QStringLiteral("bsSkinButton1"));
  bsSkinButton1->setDefault(true);
  B1 = new QPushButton(QStringLiteral("Отмена"), this);
  B1->setObjectName(QStringLiteral("B1"));
  buttons->addStretch();
  buttons->addWidget(bsSkinButton1);
  buttons->addWidget(B1);
  layout->addSpacing(4);
  layout->addLayout(buttons);
  connect(bsSkinButton1, &QPushButton::clicked, this, &TPassForm::bsSkinButton1Click);
  connect(B1, &QPushButton::clicked, this, &TPassForm::B1Click);
  setMinimumWidth(220);
  ShowLabelsPlain(this);
  resize(260, sizeHint().height());
}

void TPassForm::PrepareToShow(bool password_in_force) {
  WipeFields();
  E1->setEnabled(password_in_force);
}

void TPassForm::WipeFields() {
  for (QLineEdit* field : {E1, P2, P3, KQ, KA})
    WipeField(field);
}

void TPassForm::bsSkinButton1Click() {
  if (!OnOk || OnOk()) accept();
}

void TPassForm::B1Click() {
  reject();
}

TUnlockPrompt::TUnlockPrompt(QWidget* owner) : QDialog(owner) {
  setObjectName(QStringLiteral("CeloUnBlock"));
  setWindowTitle(QStringLiteral("Программа заблокирована"));
  setModal(true);
  auto* layout = new QVBoxLayout(this);
  Prompt = new QLabel(QStringLiteral("Пароль:"), this);
  Prompt->setObjectName(QStringLiteral("Prompt"));
  Field = new QLineEdit(this);
  Field->setObjectName(QStringLiteral("Password"));
  Field->setEchoMode(QLineEdit::Password);
  Prompt->setBuddy(Field);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
  buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Cancel"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(Prompt);
  layout->addWidget(Field);
  layout->addWidget(buttons);
  setMinimumWidth(280);
  ShowLabelsPlain(this);
}

void TUnlockPrompt::SetTexts(const QString& caption, const QString& prompt) {
  setWindowTitle(caption);
  Prompt->setText(prompt);
}

}  // namespace missivo
