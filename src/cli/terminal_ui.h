// The core's user-interface seam on a terminal: messages and progress on
// stderr (progress only when stderr is a terminal), the unlock password from a
// file or typed without echo, and the stop requested by a signal.
#pragma once

#include <optional>
#include <string>

#include "core/ui.h"
#include "store/program_lock.h"

namespace missivo::cli {

// From here on SIGINT, SIGTERM and SIGHUP ask the program to stop at the next
// safe point (ProcessPendingEvents) instead of ending it at once, so the data
// files get their password layer back; a second signal ends it at once.
// SIGPIPE is ignored: a closed output is reported as a write error.
void InstallStopSignals();

// The message of a command ended by a stop signal (exit status 130).
inline constexpr char kStoppedText[] = "stopped by a signal";

// Whether a stop signal came.
bool StopRequested();

// The stop has reached the command as an exception (thrown by
// ProcessPendingEvents, or by the serial port through the stop descriptor):
// from then on ProcessPendingEvents lets the command's way out run, so that
// what was read is still saved.
void NoteStopDelivered();

// A descriptor that becomes readable when a stop signal comes (for the serial
// port, so that a wait for the phone ends at once); -1 before InstallStopSignals.
int StopDescriptor();

class TerminalUserInterface : public UserInterface, public PasswordPrompt {
 public:
  TerminalUserInterface();
  ~TerminalUserInterface() override;
  TerminalUserInterface(const TerminalUserInterface&) = delete;
  TerminalUserInterface& operator=(const TerminalUserInterface&) = delete;

  // The password the prompt returns without asking: the first line of
  // --password-file as Windows-1251.
  void SetPassword(std::string password);

  // Texts are Windows-1251; they reach stderr as UTF-8.
  void ShowMessage(const std::string& text, MessageKind kind,
                   const std::string& caption = {}) override;
  // Nothing here asks; a question is answered No.
  bool AskYesNo(const std::string& text) override;
  // Runs the serial port's pending events; throws CliError (kExitInterrupted)
  // when a stop signal came and has not been delivered yet.
  void ProcessPendingEvents() override;
  void ShowProgress(int maximum, int position) override;
  void SetProgressPosition(int position) override;
  void HideProgress() override;
  void SetProgressText(const std::string& text) override;

  // The password from SetPassword, or typed on the controlling terminal with
  // the echo off; nothing when there is neither (no terminal, end of input).
  std::optional<std::string> AskPassword(const std::string& caption) override;

 private:
  void Draw();
  void ClearLine();

  bool progress_to_terminal_;
  bool gauge_shown_ = false;
  bool line_drawn_ = false;
  int maximum_ = 0;
  int position_ = 0;
  std::string text_;  // UTF-8
  std::optional<std::string> password_;
};

}  // namespace missivo::cli
