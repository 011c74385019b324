#include "core/whole_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

namespace missivo {
namespace {

std::error_code LastError() {
  return {errno, std::generic_category()};
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

// Makes the rename itself durable; a folder that cannot be synced is not an error.
void SyncFolder(const std::filesystem::path& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

std::error_code ReadWholeFile(const std::filesystem::path& path, std::string& bytes) {
  bytes.clear();
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);  // a FIFO must not block
  if (fd < 0) return LastError();
  std::error_code error;
  struct stat info {};
  if (::fstat(fd, &info) != 0) {
    error = LastError();
  } else if (!S_ISREG(info.st_mode)) {
    error = std::make_error_code(S_ISDIR(info.st_mode) ? std::errc::is_a_directory
                                                       : std::errc::invalid_argument);
  } else {
    bytes.reserve(static_cast<std::size_t>(info.st_size));
    char chunk[65536];
    for (;;) {
      const ssize_t got = ::read(fd, chunk, sizeof chunk);
      if (got == 0) break;
      if (got < 0) {
        if (errno == EINTR) continue;
        error = LastError();
        break;
      }
      bytes.append(chunk, static_cast<std::size_t>(got));
    }
  }
  ::close(fd);
  if (error) bytes.clear();
  return error;
}

std::error_code WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes,
                                    unsigned new_file_mode) {
  mode_t mode = static_cast<mode_t>(new_file_mode);
  struct stat existing {};
  if (::stat(path.c_str(), &existing) == 0 && S_ISREG(existing.st_mode))
    mode = existing.st_mode & 07777;

  const std::filesystem::path folder =
      path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
  // A hidden sibling: ".name.XXXXXX".
  std::string temp_name = path.filename().string();
  temp_name.insert(0, 1, '.');
  temp_name.append(".XXXXXX");
  std::string temp = (folder / temp_name).string();
  const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
  if (fd < 0) return LastError();

  std::error_code error;
  if (!WriteAll(fd, bytes) || ::fchmod(fd, mode) != 0 || ::fsync(fd) != 0) error = LastError();
  if (::close(fd) != 0 && !error) error = LastError();
  if (!error && ::rename(temp.c_str(), path.c_str()) != 0) error = LastError();
  if (error) {
    ::unlink(temp.c_str());
    return error;
  }
  SyncFolder(folder);
  return {};
}

}  // namespace missivo
