#include "app/qt_user_interface.h"

#include <QCoreApplication>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QWidget>

#include "app/password_windows.h"
#include "shell/qt_text.h"

namespace missivo {
namespace {

QMessageBox::Icon IconOf(MessageKind kind) {
  switch (kind) {
    case MessageKind::kInformation:
      return QMessageBox::Information;
    case MessageKind::kError:
      return QMessageBox::Critical;
    case MessageKind::kPlain:
      break;
  }
  return QMessageBox::NoIcon;
}

}  // namespace

QtUserInterface::QtUserInterface(QWidget* owner, QProgressBar* bar, QLabel* text)
    : owner_(owner), bar_(bar), text_(text) {}

void QtUserInterface::ShowMessage(const std::string& text, MessageKind kind,
                                  const std::string& caption) {
  shown_.push_back({text, kind, caption});
  if (scripted_) return;
  const QString title =
      caption.empty() && owner_ ? owner_->window()->windowTitle() : ToQString(caption);
  QMessageBox box(IconOf(kind), title, ToQString(text), QMessageBox::Ok, owner_);
  box.setObjectName(QStringLiteral("bsSkinMessage1"));
  // The text may hold the phone's reply or a file name: never read as markup.
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

bool QtUserInterface::AskYesNo(const std::string& text) {
  shown_.push_back({text, MessageKind::kInformation, {}});
  if (!answers_.empty()) {
    const bool answer = answers_.front();
    answers_.pop_front();
    return answer;
  }
  if (scripted_) return true;
  QMessageBox box(QMessageBox::Information, owner_ ? owner_->window()->windowTitle() : QString(),
                  ToQString(text), QMessageBox::Yes | QMessageBox::No, owner_);
  box.setObjectName(QStringLiteral("bsSkinMessage1"));
  box.setTextFormat(Qt::PlainText);
  box.setDefaultButton(QMessageBox::Yes);
  return box.exec() == QMessageBox::Yes;
}

void QtUserInterface::ProcessPendingEvents() {
  ++processing_;
  QCoreApplication::processEvents();
  --processing_;
}

void QtUserInterface::ShowProgress(int maximum, int position) {
  if (!bar_) return;
  bar_->setRange(0, maximum);
  bar_->setValue(position);
  bar_->show();
}

void QtUserInterface::SetProgressPosition(int position) {
  if (bar_) bar_->setValue(position);
}

void QtUserInterface::HideProgress() {
  if (bar_) bar_->hide();
}

void QtUserInterface::SetProgressText(const std::string& text) {
  if (text_) text_->setText(ToQString(text));
}

std::optional<std::string> QtUserInterface::AskPassword(const std::string& caption) {
  ++password_prompts_;
  last_password_caption_ = caption;
  if (!passwords_.empty()) {
    auto password = std::move(passwords_.front());
    passwords_.pop_front();
    return password;
  }
  if (scripted_) return std::nullopt;
  TUnlockPrompt dialog(owner_);
  dialog.SetTexts(ToQString(caption), QStringLiteral("Пароль:"));
  const bool accepted = dialog.exec() == QDialog::Accepted;
  std::string password = accepted ? SecretFromField(dialog.Field) : std::string();
  WipeField(dialog.Field);
  if (!accepted) return std::nullopt;
  return password;
}

}  // namespace missivo
