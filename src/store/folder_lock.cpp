#include "store/folder_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>
#include <thread>

#include "core/atomic_file.h"

namespace missivo {
namespace {

using Clock = std::chrono::steady_clock;

constexpr std::chrono::milliseconds kRetryStep{20};

}  // namespace

FolderLock::FolderLock(std::filesystem::path data_folder, LockWait wait)
    : path_(std::move(data_folder) / kFolderLockFileName), wait_(std::move(wait)) {}

FolderLock::~FolderLock() {
  if (fd_ >= 0) ::close(fd_);
}

FolderLock::Hold::~Hold() {
  if (lock_ != nullptr) lock_->Release();
}

void FolderLock::Release() {
  if (--depth_ > 0) return;
  ::flock(fd_, LOCK_UN);
  ::close(fd_);
  fd_ = -1;
}

Result<FolderLock::Hold> FolderLock::Take() {
  gave_up_ = false;
  if (depth_ > 0) {
    ++depth_;
    return Hold(this);
  }
  const int fd = ::open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, kDataFileMode);
  if (fd < 0) {
    return Status::Failure("Cannot open the lock file " + QuotedFileName(path_) + ": " +
                           std::generic_category().message(errno) + ". Nothing was written.");
  }
  const auto started = Clock::now();
  auto next_notice = started + std::chrono::seconds(1);
  while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    if (errno == EINTR) continue;
    if (errno != EWOULDBLOCK) {
      const int error_number = errno;
      ::close(fd);
      return Status::Failure("Cannot lock " + QuotedFileName(path_) + ": " +
                             std::generic_category().message(error_number) +
                             ". Nothing was written.");
    }
    const auto waited =
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - started);
    if (waited >= wait_.limit) {
      ::close(fd);
      gave_up_ = true;
      return Status::Failure("Another Missivo program kept the data folder locked (" +
                             QuotedFileName(path_) + ") for " +
                             std::to_string(waited.count() / 1000) + " s. Nothing was written.");
    }
    if (wait_.waiting && Clock::now() >= next_notice) {
      wait_.waiting(waited);
      next_notice += std::chrono::seconds(1);
    }
    std::this_thread::sleep_for(kRetryStep);
  }
  fd_ = fd;
  depth_ = 1;
  return Hold(this);
}

}  // namespace missivo
