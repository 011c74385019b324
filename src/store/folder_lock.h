// The data folder's writer lock: every change of a data file, by any Missivo
// program working on the folder (the window, missivo-cli), happens while the
// changing process holds an exclusive flock on "Missivo.lock" in the Data
// folder. The kernel lets the lock go when the process ends, killed or not.
#pragma once

#include <chrono>
#include <filesystem>
#include <functional>

#include "core/status.h"

namespace missivo {

inline constexpr std::string_view kFolderLockFileName = "Missivo.lock";

// How long a process waits for the lock, and what it shows meanwhile.
struct LockWait {
  std::chrono::milliseconds limit{std::chrono::seconds(30)};
  // Called about once a second while waiting, with the time waited so far.
  std::function<void(std::chrono::milliseconds waited)> waiting;
};

class FolderLock {
 public:
  explicit FolderLock(std::filesystem::path data_folder, LockWait wait = {});
  ~FolderLock();
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;

  void SetWait(LockWait wait) { wait_ = std::move(wait); }

  // The lock held for as long as the Hold lives. Holds nest within the
  // process: the lock goes when the outermost one ends.
  class Hold {
   public:
    Hold() = default;
    Hold(Hold&& other) noexcept : lock_(other.lock_) { other.lock_ = nullptr; }
    Hold& operator=(Hold&&) = delete;
    ~Hold();
    explicit operator bool() const { return lock_ != nullptr; }

   private:
    friend class FolderLock;
    explicit Hold(FolderLock* lock) : lock_(lock) {}
    FolderLock* lock_ = nullptr;
  };

  // Takes the lock, waiting up to the limit. A failure names the lock file;
  // GaveUp() then tells whether another process held it all that time.
  [[nodiscard]] Result<Hold> Take();
  bool GaveUp() const { return gave_up_; }
  bool Held() const { return depth_ > 0; }
  const std::filesystem::path& path() const { return path_; }

 private:
  void Release();

  std::filesystem::path path_;
  LockWait wait_;
  int fd_ = -1;
  int depth_ = 0;
  bool gave_up_ = false;
};

}  // namespace missivo
