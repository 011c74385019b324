// The settings tab: port, reading and program options. Every control writes its
// setting the moment it changes.
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "app/check_box.h"
#include "app/main_window.h"
#include "shell/qt_text.h"

namespace missivo {
namespace {

const std::string kSection(kSettingsSection);

QGroupBox* Group(QWidget* owner, const char* name, const QString& title) {
  auto* group = new QGroupBox(title, owner);
  group->setObjectName(QString::fromLatin1(name));
  return group;
}

}  // namespace

void TForm1::BuildSettingsTab() {
  auto* page = new QGridLayout(bsSkinTabSheet5);
  page->setContentsMargins(8, 8, 8, 8);
  page->setSpacing(8);

  bsSkinGroupBox1 = Group(bsSkinTabSheet5, "bsSkinGroupBox1", QStringLiteral("Настройки порта"));
  auto* port = new QGridLayout(bsSkinGroupBox1);
  bsSkinStdLabel2 = new QLabel(QStringLiteral("Скорость:"), bsSkinGroupBox1);
  bsSkinStdLabel2->setObjectName(QStringLiteral("bsSkinStdLabel2"));
  Speed = new QComboBox(bsSkinGroupBox1);
  Speed->setObjectName(QStringLiteral("Speed"));
  for (const char* speed :
       {"300", "1200", "2400", "4800", "9600", "19200", "38400", "57600", "115200"}) {
    Speed->addItem(QString::fromLatin1(speed));
  }
  Speed->setCurrentIndex(8);
  bsSkinStdLabel2->setBuddy(Speed);
  bsSkinStdLabel4 = new QLabel(QStringLiteral("Порт:"), bsSkinGroupBox1);
  bsSkinStdLabel4->setObjectName(QStringLiteral("bsSkinStdLabel4"));
  PT = new QComboBox(bsSkinGroupBox1);
  PT->setObjectName(QStringLiteral("PT"));
  PT->setEditable(true);
  PT->setInsertPolicy(QComboBox::NoInsert);
  PT->setCompleter(nullptr);  // a typed name stays as typed ("/" is not "/dev/ttyS0")
  // The serial devices present; the first is the one shown.
  RefreshPortList();
  if (PT->count() > 0) PT->setCurrentIndex(0);
  bsSkinStdLabel4->setBuddy(PT);
  Check4 = new TCheckBox(QStringLiteral("Автоподключение к порту"), QStringLiteral("Check4"), false,
                         bsSkinGroupBox1);
  port->addWidget(bsSkinStdLabel2, 0, 0);
  port->addWidget(Speed, 0, 1);
  port->addWidget(bsSkinStdLabel4, 1, 0);
  port->addWidget(PT, 1, 1);
  PhoneKindLabel = new QLabel(QStringLiteral("Тип телефона:"), bsSkinGroupBox1);
  PhoneKindLabel->setObjectName(QStringLiteral("PhoneKindLabel"));
  PhoneKindBox = new QComboBox(bsSkinGroupBox1);
  PhoneKindBox->setObjectName(QStringLiteral("PhoneKindBox"));
  PhoneKindBox->addItems({QStringLiteral("Автоматически"), QStringLiteral("Семейство +MPBR"),
                          QStringLiteral("Стандартный (3GPP)")});
  PhoneKindLabel->setBuddy(PhoneKindBox);
  port->addWidget(PhoneKindLabel, 2, 0);
  port->addWidget(PhoneKindBox, 2, 1);
  port->addWidget(Check4, 3, 0, 1, 2);
  port->setColumnStretch(1, 1);

  bsSkinGroupBox2 = Group(bsSkinTabSheet5, "bsSkinGroupBox2", QStringLiteral("Настройки чтения"));
  auto* reading = new QVBoxLayout(bsSkinGroupBox2);
  const struct {
    TCheckBox** box;
    const char* name;
    QString text;
    bool checked;
  } reading_boxes[] = {
      {&Check6, "Check6", QStringLiteral("Удалять считаные сообщения с телефона"), false},
      {&Check7, "Check7", QStringLiteral("Читать справочник каждый раз при считывании сообщений"),
       false},
      {&Check8, "Check8", QStringLiteral("Читать входящие сообшения"), true},
      {&Check9, "Check9", QStringLiteral("Читать исходящие сообщения"), true},
      {&Check10, "Check10", QStringLiteral("Читать черновые сообщения"), true},
      {&Check13, "Check13", QStringLiteral("Автоматически добавлять в архив считаные сообщения"),
       true},
  };
  for (const auto& box_def : reading_boxes) {
    *box_def.box = new TCheckBox(box_def.text, QString::fromLatin1(box_def.name), box_def.checked,
                                 bsSkinGroupBox2);
    reading->addWidget(*box_def.box);
  }
  reading->addStretch();

  bsSkinGroupBox3 =
      Group(bsSkinTabSheet5, "bsSkinGroupBox3", QStringLiteral("Настройка программы"));
  auto* program = new QVBoxLayout(bsSkinGroupBox3);
  Check3 = new TCheckBox(QStringLiteral("Сохранять лог терминала"), QStringLiteral("Check3"), true,
                         bsSkinGroupBox3);
  Check11 = new TCheckBox(QStringLiteral("Удалять лог терминала при выходе"),
                          QStringLiteral("Check11"), false, bsSkinGroupBox3);
  program->addWidget(Check3);
  program->addWidget(Check11);
  program->addStretch();

  page->addWidget(bsSkinGroupBox1, 0, 0);
  page->addWidget(bsSkinGroupBox3, 1, 0);
  page->addWidget(bsSkinGroupBox2, 0, 1, 2, 1);
  page->setColumnStretch(0, 2);
  page->setColumnStretch(1, 3);
  page->setRowStretch(2, 1);

  ConnectSettingsHandlers();
}

void TForm1::ConnectSettingsHandlers() {
  connect(Check3, &TCheckBox::Click, this, &TForm1::Check3Click);
  connect(Check4, &TCheckBox::Click, this, &TForm1::Check4Click);
  connect(Check6, &TCheckBox::Click, this, &TForm1::Check6Click);
  connect(Check7, &TCheckBox::Click, this, &TForm1::Check7Click);
  connect(Check8, &TCheckBox::Click, this, &TForm1::Check8Click);
  connect(Check9, &TCheckBox::Click, this, &TForm1::Check9Click);
  connect(Check10, &TCheckBox::Click, this, &TForm1::Check10Click);
  connect(Check11, &TCheckBox::Click, this, &TForm1::Check11Click);
  connect(Check13, &TCheckBox::Click, this, &TForm1::Check13Click);
  connect(Speed, &QComboBox::currentIndexChanged, this, &TForm1::SpeedChange);
  connect(PT, &QComboBox::editTextChanged, this, &TForm1::PTChange);
  connect(PhoneKindBox, &QComboBox::currentIndexChanged, this, &TForm1::PhoneKindChange);
  connect(PT, &QComboBox::activated, this, &TForm1::PTCloseUp);
}

bool TForm1::SettingExists(std::string_view key) const {
  return RzRegIniFile1.ValueExists(kSection, std::string(key));
}

std::string TForm1::ReadSetting(std::string_view key, std::string_view fallback) const {
  return RzRegIniFile1.ReadString(kSection, std::string(key), std::string(fallback));
}

void TForm1::WriteSetting(std::string_view key, std::string_view value) {
  RzRegIniFile1.WriteString(kSection, std::string(key), std::string(value));
}

void TForm1::WriteCheck(std::string_view key, const TCheckBox* box) {
  WriteSetting(key, box->isChecked() ? "true" : "false");
}

void TForm1::Check3Click() {
  WriteCheck("Check3", Check3);
  Check11->setEnabled(Check3->isChecked());
}

void TForm1::Check4Click() {
  WriteCheck("Check4", Check4);
}

void TForm1::Check6Click() {
  WriteCheck("Check6", Check6);
}

void TForm1::Check7Click() {
  WriteCheck("Check7", Check7);
}

void TForm1::Check8Click() {
  WriteCheck("Check8", Check8);
}

void TForm1::Check9Click() {
  WriteCheck("Check9", Check9);
}

void TForm1::Check10Click() {
  WriteCheck("Check10", Check10);
}

void TForm1::Check11Click() {
  WriteCheck("Check11", Check11);
}

void TForm1::Check13Click() {
  WriteCheck("Check13", Check13);
}

void TForm1::SpeedChange() {
  WriteSetting("Speed", std::to_string(Speed->currentIndex()));
}

// The kind applies from the next phone command on.
void TForm1::PhoneKindChange() {
  const auto kind = static_cast<PhoneKind>(PhoneKindBox->currentIndex());
  WriteSetting("PhoneKind", std::string(PhoneKindName(kind)));
  Profile.SetSetting(kind);
  ShowDevice();
}

void TForm1::PTChange() {
  WriteSetting("COMPORTUser", FromQString(PT->currentText()));
}

void TForm1::PTCloseUp() {
  WriteSetting("COMPORTUser", FromQString(PT->currentText()));
}

int TForm1::SpeedValue() const {
  return Speed->currentText().toInt();
}

}  // namespace missivo
