// The two password windows: TPassForm, where the user sets, changes or removes
// the program password, and the unlock prompt (CeloUnBlock) asked at start when
// the data files are locked.
#pragma once

#include <QDialog>
#include <QString>
#include <functional>
#include <string>

class QLabel;
class QLineEdit;
class QPushButton;

namespace missivo {

// The text of a field holding a password as Windows-1251, leaving no
// converted copy behind.
std::string SecretFromField(const QLineEdit* field);

// Empties a field holding a password, overwriting the buffer that held its
// text (the field's undo history goes too). Copies inside the widget toolkit
// made while typing are beyond reach.
void WipeField(QLineEdit* field);

// "Защита программы": five labelled fields (the three passwords masked), OK and
// "Отмена". OK hands the fields to OnOk, which closes the window by returning true.
class TPassForm : public QDialog {
  Q_OBJECT

 public:
  explicit TPassForm(QWidget* owner);

  QLabel* C1 = nullptr;
  QLabel* C2 = nullptr;
  QLabel* C3 = nullptr;
  QLabel* C4 = nullptr;
  QLabel* C5 = nullptr;
  QLineEdit* E1 = nullptr;               // old password, masked
  QLineEdit* P2 = nullptr;               // new password, masked
  QLineEdit* P3 = nullptr;               // new password repeated, masked
  QLineEdit* KQ = nullptr;               // control question
  QLineEdit* KA = nullptr;               // control answer
  QPushButton* bsSkinButton1 = nullptr;  // "OK"
  QPushButton* B1 = nullptr;             // "Отмена"

  // Runs on OK; the window closes when it returns true.
  std::function<bool()> OnOk;

  // Empties the five fields and enables E1 only when a password is in force.
  void PrepareToShow(bool password_in_force);
  // Empties the five fields, wiping what they held (WipeField).
  void WipeFields();

  // "OK" and "Отмена" as a click on them does.
  void bsSkinButton1Click();
  void B1Click();
};

// The unlock prompt: a caption, "Пароль:" with one masked field, OK and Cancel.
class TUnlockPrompt : public QDialog {
  Q_OBJECT

 public:
  explicit TUnlockPrompt(QWidget* owner);
  void SetTexts(const QString& caption, const QString& prompt);

  QLabel* Prompt = nullptr;
  QLineEdit* Field = nullptr;
};

}  // namespace missivo
