// File systems for disk-fault tests, mounted in a mount namespace of this
// process's own: nothing shows outside the test, and it all goes with the
// process. As root the process only needs a new mount namespace; otherwise it
// takes a user namespace first (only possible while it has one thread).
//
//   if (const auto why = test::EnterPrivateMounts()) GTEST_SKIP() << *why;
//   test::ScopedMount full = test::MountTmpfs(folder, 64 * 1024);
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>

namespace missivo::test {

// Enters a private mount namespace; nothing when done, otherwise why not.
std::optional<std::string> EnterPrivateMounts();

// A mount that is taken away (lazily) when this goes.
class ScopedMount {
 public:
  explicit ScopedMount(std::filesystem::path target) : target_(std::move(target)) {}
  ~ScopedMount();
  ScopedMount(ScopedMount&& other) noexcept : target_(std::move(other.target_)) {
    other.target_.clear();
  }
  ScopedMount(const ScopedMount&) = delete;
  ScopedMount& operator=(const ScopedMount&) = delete;
  ScopedMount& operator=(ScopedMount&&) = delete;

 private:
  std::filesystem::path target_;
};

// A tmpfs of `bytes` over the folder `target` (made when missing). Throws
// std::runtime_error when it cannot be mounted.
ScopedMount MountTmpfs(const std::filesystem::path& target, std::size_t bytes);

// `target` (a folder) bound over itself read-only: writes in it fail with
// EROFS, for root too. Throws std::runtime_error when it cannot be mounted.
ScopedMount BindReadOnly(const std::filesystem::path& target);

// Fills the file system of `folder` with a file named `name` until no byte is
// left; returns its path.
std::filesystem::path FillUp(const std::filesystem::path& folder, const std::string& name);

}  // namespace missivo::test
