#include "phone/terminal_log.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "core/atomic_file.h"
#include "text/lines.h"

namespace missivo {

std::vector<std::string> TerminalLinesOf(std::string_view text) {
  std::vector<std::string> lines;
  for (;;) {
    const std::size_t end = text.find("\r\n");
    if (end == std::string_view::npos) break;
    lines.emplace_back(text.substr(0, end));
    text.remove_prefix(end + 2);
  }
  lines.emplace_back(text);
  return lines;
}

TerminalLog::TerminalLog(std::filesystem::path file) : file_(std::move(file)) {}

TerminalLog::~TerminalLog() {
  CloseFile();
}

void TerminalLog::CloseFile() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

void TerminalLog::Pause() {
  CloseFile();
  matches_ = false;
}

Status TerminalLog::Rewrite(const std::vector<std::string>& lines) {
  CloseFile();
  matches_ = false;
  Status status = WriteFileAtomically(file_, JoinCrLf(lines), kDataFileMode);
  if (!status.ok()) return status;
  matches_ = true;
  logged_ = lines.size();
  return {};
}

Status TerminalLog::LinesAdded(const std::vector<std::string>& lines, std::size_t first_added) {
  if (!matches_ || logged_ != first_added || first_added > lines.size()) return Rewrite(lines);
  // A log kept behind a symbolic link is appended to where the link leads.
  if (fd_ < 0) {
    fd_ = ::open(WriteTargetOf(file_).c_str(), O_WRONLY | O_APPEND | O_CLOEXEC | O_NOFOLLOW);
  }
  // A log removed meanwhile (by the user, or the exit's deletion) comes back whole.
  struct stat info {};
  if (fd_ < 0 || ::fstat(fd_, &info) != 0 || info.st_nlink == 0) return Rewrite(lines);
  std::string bytes;
  for (std::size_t i = first_added; i < lines.size(); ++i) {
    bytes += lines[i];
    bytes += "\r\n";
  }
  std::string_view rest = bytes;
  while (!rest.empty()) {
    const ssize_t n = ::write(fd_, rest.data(), rest.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      const int error = n < 0 ? errno : ENOSPC;
      Pause();
      return Status::Failure("Cannot write " + QuotedFileName(file_) + ": " + std::strerror(error));
    }
    rest.remove_prefix(static_cast<std::size_t>(n));
  }
  logged_ = lines.size();
  return {};
}

}  // namespace missivo
