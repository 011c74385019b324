#include "core/program_folder.h"

#include <unistd.h>

#include <cstdlib>
#include <system_error>

namespace missivo {

std::filesystem::path ExecutableFolder() {
  std::error_code error;
  const auto exe = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return std::filesystem::current_path(error);
  return exe.parent_path();
}

bool IsSystemFolder(const std::filesystem::path& folder) {
  const std::filesystem::path normal = folder.lexically_normal();
  auto part = normal.begin();
  if (part == normal.end() || *part != "/") return false;
  if (++part == normal.end()) return false;
  return *part == "usr" || *part == "bin" || *part == "sbin";
}

std::filesystem::path ResolveProgramFolder() {
  const auto exe_folder = ExecutableFolder();
  if (!IsSystemFolder(exe_folder) && ::access(exe_folder.c_str(), W_OK) == 0) return exe_folder;

  std::filesystem::path base;
  if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg != nullptr && xdg[0] == '/') {
    base = xdg;
  } else if (const char* home = std::getenv("HOME"); home != nullptr && home[0] != '\0') {
    base = std::filesystem::path(home) / ".local" / "share";
  } else {
    base = std::filesystem::temp_directory_path();
  }
  auto folder = base / "Missivo";
  std::error_code ignored;
  std::filesystem::create_directories(folder, ignored);
  return folder;
}

}  // namespace missivo
