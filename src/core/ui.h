// What the core needs from the user interface. The window program implements
// these with Qt, missivo-cli with the terminal, and tests with scripted answers.
// No core code opens a dialog itself. Every text here is Windows-1251.
#pragma once

#include <string>

namespace missivo {

enum class MessageKind {
  kPlain,        // no icon, one OK button
  kInformation,  // information icon, OK
  kError,        // error icon, OK
};

class UserInterface {
 public:
  virtual ~UserInterface() = default;

  // A modal message with one OK button; an empty caption means the program's own.
  virtual void ShowMessage(const std::string& text, MessageKind kind,
                           const std::string& caption = {}) = 0;

  // A modal question with the information icon and the buttons Yes and No.
  virtual bool AskYesNo(const std::string& text) = 0;

  // Lets the interface handle what is pending (repaint, input) during a long operation.
  virtual void ProcessPendingEvents() = 0;

  // The gauge and the status panel text of long operations.
  virtual void ShowProgress(int maximum, int position) = 0;
  virtual void SetProgressPosition(int position) = 0;
  virtual void HideProgress() = 0;
  virtual void SetProgressText(const std::string& text) = 0;
};

// An interface that shows nothing and answers every question with `answer`.
class SilentUserInterface : public UserInterface {
 public:
  explicit SilentUserInterface(bool answer = true) : answer_(answer) {}
  void ShowMessage(const std::string&, MessageKind, const std::string&) override {}
  bool AskYesNo(const std::string&) override { return answer_; }
  void ProcessPendingEvents() override {}
  void ShowProgress(int, int) override {}
  void SetProgressPosition(int) override {}
  void HideProgress() override {}
  void SetProgressText(const std::string&) override {}

 private:
  bool answer_;
};

}  // namespace missivo
