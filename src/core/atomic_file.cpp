#include "core/atomic_file.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>
#include <utility>

#include "text/cp1251.h"

namespace missivo {
namespace {

std::string ErrorText(int error_number) {
  return std::generic_category().message(error_number);
}

constexpr off_t kWritebackStep = 1 << 20;

std::filesystem::path FolderOf(const std::filesystem::path& path) {
  std::filesystem::path folder = path.parent_path();
  return folder.empty() ? std::filesystem::path(".") : folder;
}

// Makes a rename in `folder` durable. File systems that cannot sync a folder
// (EINVAL) have nothing to flush.
int SyncFolder(const std::filesystem::path& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return errno;
  int error_number = 0;
  if (::fsync(fd) != 0 && errno != EINVAL) error_number = errno;
  ::close(fd);
  return error_number;
}

constexpr int kMostLinks = 40;  // as the kernel's own limit on a path's links

}  // namespace

std::filesystem::path WriteTargetOf(const std::filesystem::path& path) {
  std::filesystem::path current = path;
  for (int links = 0; links < kMostLinks; ++links) {
    std::error_code error;
    if (!std::filesystem::is_symlink(std::filesystem::symlink_status(current, error))) {
      return current;
    }
    std::filesystem::path next = std::filesystem::read_symlink(current, error);
    if (error) return current;
    current = next.is_absolute() ? next : FolderOf(current) / next;
  }
  return path;
}

std::string QuotedFileName(const std::filesystem::path& path) {
  std::string quoted = Utf8ToCp1251(path.string());
  quoted.insert(quoted.begin(), '"');
  quoted.push_back('"');
  return quoted;
}

AtomicFileWriter::AtomicFileWriter(std::filesystem::path target, mode_t mode)
    : target_(WriteTargetOf(target)), mode_(mode) {
  std::error_code error;
  if (std::filesystem::is_symlink(std::filesystem::symlink_status(target_, error))) {
    Fail("follow the links of", ELOOP);  // a loop, or a chain too long to follow
    return;
  }
  std::string pattern =
      (FolderOf(target_) / (target_.filename().string() + ".tmp-XXXXXX")).string();
  fd_ = ::mkostemp(pattern.data(), O_CLOEXEC);
  if (fd_ < 0) {
    Fail("create a temporary file for", errno);
    return;
  }
  temp_ = pattern;
}

AtomicFileWriter::~AtomicFileWriter() {
  Discard();
}

void AtomicFileWriter::Fail(std::string_view action, int error_number) {
  if (!status_.ok()) return;
  status_ = Status::Failure("Cannot " + std::string(action) + " " + QuotedFileName(target_) + ": " +
                            ErrorText(error_number) + ". The file was left as it was.");
}

void AtomicFileWriter::Discard() {
  if (fd_ >= 0) {
    ::close(fd_);
    fd_ = -1;
  }
  if (!temp_.empty()) {
    ::unlink(temp_.c_str());
    temp_.clear();
  }
}

void AtomicFileWriter::Write(std::string_view bytes) {
  while (status_.ok() && !bytes.empty()) {
    const ssize_t written = ::write(fd_, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      Fail("write", errno);
      return;
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
    written_ += written;
  }
  // Large files start on their way to the disk while the rest is still being
  // made, so the flush at Commit has little left to wait for. Only a hint:
  // Commit's fsync is what makes the data durable.
  if (status_.ok() && written_ - flush_from_ >= kWritebackStep) {
    ::sync_file_range(fd_, flush_from_, written_ - flush_from_, SYNC_FILE_RANGE_WRITE);
    flush_from_ = written_;
  }
}

Status AtomicFileWriter::Commit() {
  if (status_.ok() && ::fchmod(fd_, mode_) != 0) Fail("set the mode of", errno);
  if (status_.ok() && ::fsync(fd_) != 0) Fail("write", errno);
  if (status_.ok()) {
    const int result = ::close(fd_);
    fd_ = -1;
    if (result != 0) Fail("write", errno);
  }
  if (status_.ok() && ::rename(temp_.c_str(), target_.c_str()) != 0) Fail("replace", errno);
  if (!status_.ok()) {
    Discard();
    return status_;
  }
  temp_.clear();
  if (const int error_number = SyncFolder(FolderOf(target_)); error_number != 0) {
    return Status::Failure("Cannot flush the folder of " + QuotedFileName(target_) + ": " +
                           ErrorText(error_number) + ".");
  }
  return status_;
}

Status WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes, mode_t mode) {
  AtomicFileWriter writer(path, mode);
  writer.Write(bytes);
  return writer.Commit();
}

Result<std::string> ReadWholeFile(const std::filesystem::path& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    return Status::Failure("Cannot open " + QuotedFileName(path) + ": " + ErrorText(errno) + ".");
  }
  struct stat info {};
  const std::size_t expected =
      ::fstat(fd, &info) == 0 && info.st_size > 0 ? static_cast<std::size_t>(info.st_size) : 0;
  // One byte more than the size, so the end of the file shows in the first pass.
  std::string bytes(expected + 1, '\0');
  std::size_t used = 0;
  for (;;) {
    if (used == bytes.size()) bytes.resize(bytes.size() * 2);
    const ssize_t got = ::read(fd, bytes.data() + used, bytes.size() - used);
    if (got < 0) {
      if (errno == EINTR) continue;
      const int error_number = errno;
      ::close(fd);
      return Status::Failure("Cannot read " + QuotedFileName(path) + ": " +
                             ErrorText(error_number) + ".");
    }
    if (got == 0) break;
    used += static_cast<std::size_t>(got);
  }
  bytes.resize(used);
  ::close(fd);
  return bytes;
}

Status RemoveFile(const std::filesystem::path& path) {
  if (::unlink(path.c_str()) != 0) {
    if (errno == ENOENT) return {};
    return Status::Failure("Cannot delete " + QuotedFileName(path) + ": " + ErrorText(errno) + ".");
  }
  if (const int error_number = SyncFolder(FolderOf(path)); error_number != 0) {
    return Status::Failure("Cannot flush the folder of " + QuotedFileName(path) + ": " +
                           ErrorText(error_number) + ".");
  }
  return {};
}

bool FileExists(const std::filesystem::path& path) {
  std::error_code error;
  return std::filesystem::exists(path, error);
}

}  // namespace missivo
