#include "app/terminal_view.h"

#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <utility>

#include "shell/qt_text.h"

namespace missivo {
namespace {

// A line as the text box shows it: a lone CR or LF would break the one block
// per line that hand edits are read back from, so it is not shown.
QString Shown(const std::string& line) {
  QString text = ToQString(line);
  text.remove(QLatin1Char('\r'));
  text.replace(QLatin1Char('\n'), QLatin1Char(' '));
  return text;
}

}  // namespace

TerminalView::TerminalView(QPlainTextEdit* view, std::filesystem::path log_file,
                           std::function<bool()> logging,
                           std::function<void(const Status&)> log_failed)
    : QObject(view),
      view_(view),
      log_(std::move(log_file)),
      logging_(std::move(logging)),
      log_failed_(std::move(log_failed)) {
  // Enter does not break the line.
  view_->installEventFilter(this);
}

bool TerminalView::eventFilter(QObject* watched, QEvent* event) {
  if (watched == view_ && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) return true;
  }
  return QObject::eventFilter(watched, event);
}

void TerminalView::AppendLine(const std::string& text) {
  const std::size_t first_added = lines_.size();
  std::vector<std::string> added = TerminalLinesOf(text);
  QString shown;
  for (std::size_t i = 0; i < added.size(); ++i) {
    if (i > 0) shown += QLatin1Char('\n');
    shown += Shown(added[i]);
  }
  lines_.insert(lines_.end(), std::make_move_iterator(added.begin()),
                std::make_move_iterator(added.end()));

  QScrollBar* scroll = view_->verticalScrollBar();
  const bool at_bottom = scroll->value() == scroll->maximum();
  changing_ = true;
  QTextCursor end(view_->document());
  end.movePosition(QTextCursor::End);
  if (first_added > 0) end.insertBlock();
  end.insertText(shown);
  changing_ = false;
  if (at_bottom) scroll->setValue(scroll->maximum());

  Record(first_added);
}

void TerminalView::Clear() {
  lines_.clear();
  changing_ = true;
  view_->clear();
  changing_ = false;
  Record(std::nullopt);
}

void TerminalView::TextChanged() {
  if (changing_) return;
  lines_.clear();
  if (!view_->document()->isEmpty()) {
    for (QTextBlock block = view_->document()->begin(); block.isValid(); block = block.next())
      lines_.push_back(FromQString(block.text()));
  }
  Record(std::nullopt);
}

void TerminalView::Record(std::optional<std::size_t> first_added) {
  if (!logging_()) {
    log_.Pause();
    return;
  }
  const Status status = first_added ? log_.LinesAdded(lines_, *first_added) : log_.Rewrite(lines_);
  if (status.ok()) {
    failure_shown_ = false;
    return;
  }
  if (!failure_shown_ && log_failed_) log_failed_(status);
  failure_shown_ = true;
}

}  // namespace missivo
