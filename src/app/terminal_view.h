// TermSkrin as the AT exchange's terminal: its lines (Windows-1251), shown in
// the text box, and kept in the log file while logging is on. Lines the
// program adds are appended to the log; a clear or a hand edit rewrites it.
#pragma once

#include <QObject>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/status.h"
#include "phone/at_exchange.h"
#include "phone/terminal_log.h"

class QPlainTextEdit;

namespace missivo {

class TerminalView : public QObject, public TerminalSink {
  Q_OBJECT

 public:
  // `logging` tells whether the log is on (Check3); `log_failed` shows a failed
  // log write, once until the log is written again.
  TerminalView(QPlainTextEdit* view, std::filesystem::path log_file, std::function<bool()> logging,
               std::function<void(const Status&)> log_failed);

  // Adds `text` as one line; its CR LF pairs start further lines.
  void AppendLine(const std::string& text) override;
  // Empties the terminal.
  void Clear();
  // The text box changed: the program's own changes are logged already; a hand
  // edit makes its text the terminal's lines and rewrites the log.
  void TextChanged();

  const std::vector<std::string>& Lines() const { return lines_; }

 private:
  bool eventFilter(QObject* watched, QEvent* event) override;
  // Brings the log up to date: the lines from `first_added` on were added at
  // the end, or (nothing) the text changed otherwise.
  void Record(std::optional<std::size_t> first_added);

  QPlainTextEdit* view_;
  std::vector<std::string> lines_;
  TerminalLog log_;
  std::function<bool()> logging_;
  std::function<void(const Status&)> log_failed_;
  bool changing_ = false;
  bool failure_shown_ = false;
};

}  // namespace missivo
