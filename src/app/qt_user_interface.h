// The window's side of the core's UserInterface seam: message boxes, Yes/No
// questions, the progress gauge with its status text, the password prompt.
// In scripted mode (tests) nothing is shown: messages are recorded and
// questions are answered from queues.
#pragma once

#include <QPointer>
#include <QString>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "core/ui.h"
#include "store/program_lock.h"

class QLabel;
class QProgressBar;
class QWidget;

namespace missivo {

class QtUserInterface : public UserInterface, public PasswordPrompt {
 public:
  QtUserInterface(QWidget* owner, QProgressBar* bar, QLabel* text);

  // Texts are Windows-1251.
  void ShowMessage(const std::string& text, MessageKind kind,
                   const std::string& caption = {}) override;
  bool AskYesNo(const std::string& text) override;
  void ProcessPendingEvents() override;
  void ShowProgress(int maximum, int position) override;
  void SetProgressPosition(int position) override;
  void HideProgress() override;
  void SetProgressText(const std::string& text) override;

  // The unlock prompt CeloUnBlock: the caption (Windows-1251), "Пароль:" with a
  // masked field, OK and Cancel. The typed password (Windows-1251), or nothing
  // when cancelled.
  std::optional<std::string> AskPassword(const std::string& caption) override;

  // Scripted mode: no box is shown. Messages are only recorded; a question
  // takes the next scripted answer (Yes when none is left); the password prompt
  // takes the next scripted password (cancelled when none is left).
  void SetScripted(bool scripted) { scripted_ = scripted; }
  bool scripted() const { return scripted_; }
  // The next question is answered without showing a box, also when not scripted.
  void SetNextAnswer(bool yes) { answers_.push_back(yes); }
  // The next password prompt returns this (nothing = Cancel) without showing itself.
  void SetNextPassword(std::optional<std::string> password) {
    passwords_.push_back(std::move(password));
  }

  struct Shown {
    std::string text;
    MessageKind kind;
    std::string caption;
  };
  // Every message and question asked so far, in order (questions as kInformation).
  const std::vector<Shown>& shown() const { return shown_; }
  // Whether a core operation is letting pending events run just now: the
  // rows it works on must not change under it.
  bool InsideOperation() const { return processing_ > 0; }

  // How many password prompts were asked, and the caption of the last one.
  int password_prompts() const { return password_prompts_; }
  const std::string& last_password_caption() const { return last_password_caption_; }

 private:
  QPointer<QWidget> owner_;
  QPointer<QProgressBar> bar_;
  QPointer<QLabel> text_;
  bool scripted_ = false;
  std::deque<bool> answers_;
  std::deque<std::optional<std::string>> passwords_;
  std::vector<Shown> shown_;
  int password_prompts_ = 0;
  int processing_ = 0;
  std::string last_password_caption_;
};

}  // namespace missivo
