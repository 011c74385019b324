#include "support/private_mounts.h"

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

namespace missivo::test {
namespace {

std::string ErrorText(const std::string& what) {
  return what + ": " + std::strerror(errno);
}

bool WriteProcFile(const char* path, const std::string& text) {
  const int fd = ::open(path, O_WRONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool written = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
  ::close(fd);
  return written;
}

std::optional<std::string> EnterUserNamespace() {
  const uid_t uid = ::geteuid();
  const gid_t gid = ::getegid();
  if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) return ErrorText("unshare");
  // Root inside for the mounts; this user's own files stay this user's.
  if (!WriteProcFile("/proc/self/setgroups", "deny") ||
      !WriteProcFile("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1") ||
      !WriteProcFile("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1")) {
    return ErrorText("user namespace maps");
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::string> EnterPrivateMounts() {
  if (::unshare(CLONE_NEWNS) != 0) {
    if (errno != EPERM) return ErrorText("unshare");
    if (auto why = EnterUserNamespace()) return why;
  }
  // Mounts made from here on stay in this namespace.
  if (::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
    return ErrorText("making the mounts private");
  }
  return std::nullopt;
}

ScopedMount::~ScopedMount() {
  if (!target_.empty()) ::umount2(target_.c_str(), MNT_DETACH);
}

ScopedMount MountTmpfs(const std::filesystem::path& target, std::size_t bytes) {
  std::filesystem::create_directories(target);
  const std::string options = "size=" + std::to_string(bytes) + ",mode=0700";
  if (::mount("tmpfs", target.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, options.c_str()) != 0) {
    throw std::runtime_error(ErrorText("mounting a tmpfs on " + target.string()));
  }
  return ScopedMount(target);
}

ScopedMount BindReadOnly(const std::filesystem::path& target) {
  if (::mount(target.c_str(), target.c_str(), nullptr, MS_BIND, nullptr) != 0) {
    throw std::runtime_error(ErrorText("binding " + target.string()));
  }
  ScopedMount mounted(target);
  if (::mount(nullptr, target.c_str(), nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY, nullptr) != 0) {
    throw std::runtime_error(ErrorText("making " + target.string() + " read-only"));
  }
  return mounted;
}

std::filesystem::path FillUp(const std::filesystem::path& folder, const std::string& name) {
  const std::filesystem::path path = folder / name;
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0) throw std::runtime_error(ErrorText("creating " + path.string()));
  const std::vector<char> block(4096, 'f');
  for (std::size_t size = block.size(); size > 0;) {
    const ssize_t n = ::write(fd, block.data(), size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (size == 1) break;
      size /= 2;  // the last few bytes, down to the very last one
    }
  }
  ::close(fd);
  return path;
}

}  // namespace missivo::test
