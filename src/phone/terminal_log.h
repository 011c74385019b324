// The terminal's text as lines, and its log file "Terminal.log": the lines,
// each followed by CR LF, Windows-1251, readable by the user only.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/status.h"

namespace missivo {

inline constexpr std::string_view kTerminalLogName = "Terminal.log";

// The lines a text adds when it is added to the terminal as one line: the
// pieces between its CR LF pairs, all of them, so "OK" CR LF gives "OK" and an
// empty line, and an empty text one empty line. A lone CR or LF stays inside
// its line.
std::vector<std::string> TerminalLinesOf(std::string_view text);

// Keeps the log file equal to the terminal's lines. A change that only adds
// lines at the end appends them to the file; any other change, and the first
// change after the log was off or a write failed, rewrites the file whole (all
// or nothing). So a long read writes each line once instead of rewriting the
// growing file at every line.
class TerminalLog {
 public:
  explicit TerminalLog(std::filesystem::path file);
  ~TerminalLog();
  TerminalLog(const TerminalLog&) = delete;
  TerminalLog& operator=(const TerminalLog&) = delete;

  const std::filesystem::path& file() const { return file_; }

  // The terminal now holds `lines`, of which those from `first_added` on were
  // just added at the end.
  [[nodiscard]] Status LinesAdded(const std::vector<std::string>& lines, std::size_t first_added);
  // The terminal now holds `lines` after any other change (cleared, edited).
  [[nodiscard]] Status Rewrite(const std::vector<std::string>& lines);
  // Logging is off: the file stays as it is; the next change rewrites it.
  void Pause();

 private:
  void CloseFile();

  std::filesystem::path file_;
  int fd_ = -1;           // open for appending while the file matches
  bool matches_ = false;  // the file holds exactly the first `logged_` lines
  std::size_t logged_ = 0;
};

}  // namespace missivo
