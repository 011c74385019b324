#include "cli/terminal_ui.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>

#include "cli/cli_args.h"
#include "phone/main_thread_invoker.h"
#include "text/cp1251.h"

namespace missivo::cli {
namespace {

volatile std::sig_atomic_t g_stop = 0;

void OnStopSignal(int) {
  g_stop = 1;
}

void WriteErr(const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), stderr);
  std::fflush(stderr);
}

// The controlling terminal with its echo off until this goes.
class SilentTerminal {
 public:
  SilentTerminal() : fd_(::open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC)) {
    if (fd_ < 0 || ::tcgetattr(fd_, &saved_) != 0) return;
    termios quiet = saved_;
    quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    quiet.c_lflag |= ECHONL;
    restore_ = ::tcsetattr(fd_, TCSAFLUSH, &quiet) == 0;
  }
  ~SilentTerminal() {
    if (restore_) ::tcsetattr(fd_, TCSAFLUSH, &saved_);
    if (fd_ >= 0) ::close(fd_);
  }
  SilentTerminal(const SilentTerminal&) = delete;
  SilentTerminal& operator=(const SilentTerminal&) = delete;

  bool usable() const { return restore_; }

  void Write(const std::string& text) const {
    if (::write(fd_, text.data(), text.size()) < 0) return;
  }

  // One line without its line end; nothing at the end of input or on a stop.
  std::optional<std::string> ReadLine() const {
    std::string line;
    for (;;) {
      pollfd p{fd_, POLLIN, 0};
      if (::poll(&p, 1, -1) < 0) {
        if (errno == EINTR && !g_stop) continue;
        return std::nullopt;
      }
      char c = 0;
      const ssize_t n = ::read(fd_, &c, 1);
      if (n < 0 && errno == EINTR && !g_stop) continue;
      if (n <= 0) return std::nullopt;
      if (c == '\n') break;
      if (c != '\r') line.push_back(c);
    }
    return line;
  }

 private:
  int fd_;
  termios saved_{};
  bool restore_ = false;
};

}  // namespace

void InstallStopSignals() {
  struct sigaction action {};
  action.sa_handler = OnStopSignal;
  action.sa_flags = SA_RESETHAND | SA_RESTART;
  sigemptyset(&action.sa_mask);
  for (const int signal_number : {SIGINT, SIGTERM, SIGHUP})
    ::sigaction(signal_number, &action, nullptr);
  ::signal(SIGPIPE, SIG_IGN);
}

bool StopRequested() {
  return g_stop != 0;
}

TerminalUserInterface::TerminalUserInterface() : progress_to_terminal_(::isatty(2) == 1) {}

void TerminalUserInterface::ShowMessage(const std::string& text, MessageKind kind,
                                        const std::string& caption) {
  ClearLine();
  std::string line = "missivo-cli: ";
  if (kind == MessageKind::kError) line += "error: ";
  if (!caption.empty()) line += Cp1251ToUtf8(caption) + ": ";
  line += Cp1251ToUtf8(text);
  if (!line.ends_with('\n')) line += '\n';
  WriteErr(line);
  Draw();
}

bool TerminalUserInterface::AskYesNo(const std::string&) {
  return false;
}

void TerminalUserInterface::ProcessPendingEvents() {
  DefaultMainThreadInvoker().ProcessPending();
  if (StopRequested()) throw CliError("stopped by a signal", kExitInterrupted);
}

void TerminalUserInterface::ShowProgress(int maximum, int position) {
  gauge_shown_ = true;
  maximum_ = maximum;
  position_ = position;
  Draw();
}

void TerminalUserInterface::SetProgressPosition(int position) {
  position_ = position;
  Draw();
}

void TerminalUserInterface::HideProgress() {
  gauge_shown_ = false;
  Draw();
}

void TerminalUserInterface::SetProgressText(const std::string& text) {
  text_ = Cp1251ToUtf8(text);
  Draw();
}

void TerminalUserInterface::Draw() {
  if (!progress_to_terminal_) return;
  std::string line = "\r\x1b[K" + text_;
  if (gauge_shown_) {
    if (!text_.empty()) line += ' ';
    line += std::to_string(position_);
    line += '/';
    line += std::to_string(maximum_);
  }
  line_drawn_ = line.size() > 4;
  WriteErr(line);
}

void TerminalUserInterface::ClearLine() {
  if (!progress_to_terminal_ || !line_drawn_) return;
  WriteErr("\r\x1b[K");
  line_drawn_ = false;
}

std::optional<std::string> TerminalUserInterface::AskPassword(const std::string& caption) {
  if (password_) return password_;
  ClearLine();
  const SilentTerminal terminal;
  if (!terminal.usable()) return std::nullopt;
  terminal.Write(Cp1251ToUtf8(caption) + "\nPassword: ");
  std::optional<std::string> typed = terminal.ReadLine();
  if (StopRequested()) throw CliError("stopped by a signal", kExitInterrupted);
  if (!typed) return std::nullopt;
  return Utf8ToCp1251(*typed);
}

}  // namespace missivo::cli
