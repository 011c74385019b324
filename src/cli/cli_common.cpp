// What the commands of missivo-cli share.
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "cli/commands.h"
#include "cli/program_session.h"
#include "core/atomic_file.h"
#include "core/secrets.h"
#include "text/cp1251.h"

namespace missivo::cli {

std::filesystem::path ProgramFolderOf(const CommandLine& line) {
  if (const std::optional<std::string> folder = line.Value("folder")) return *folder;
  return DefaultProgramFolder();
}

void TakePasswordFile(const CommandLine& line, TerminalUserInterface& ui) {
  const std::optional<std::string> path = line.Value("password-file");
  if (!path) return;
  Result<std::string> bytes = ReadWholeFile(*path);
  // A password that cannot be had is a missing password, whatever the reason.
  if (!bytes.ok()) {
    throw CliError("cannot read the password file: " + Cp1251ToUtf8(bytes.message()),
                   kExitPassword);
  }
  // As ssh does for keys: a password others can read is no secret.
  struct stat info {};
  if (::stat(path->c_str(), &info) == 0 && (info.st_mode & 077) != 0) {
    char mode[8];
    std::snprintf(mode, sizeof mode, "%04o", static_cast<unsigned>(info.st_mode & 07777));
    ui.ShowMessage(
        Utf8ToCp1251("warning: the password file " + *path + " can be read by others (mode " +
                     mode + "); make it readable by you only: chmod 600 " + *path),
        MessageKind::kPlain);
  }
  const ScopedWipe wipe_file(bytes.value());
  std::string first = bytes.value().substr(0, bytes.value().find('\n'));
  const ScopedWipe wipe_first(first);
  if (first.ends_with('\r')) first.pop_back();
  ui.SetPassword(Utf8ToCp1251(first));
}

void WriteOut(std::string_view bytes) {
  if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size() ||
      std::fflush(stdout) != 0) {
    throw CliError(std::string("cannot write the output: ") + std::strerror(errno));
  }
}

std::string Counted(std::size_t count, const char* word) {
  return std::to_string(count) + " " + word + (count == 1 ? "" : "s");
}

const std::string& OneOperand(const CommandLine& line, std::string_view what) {
  if (line.operands.size() != 1) {
    throw CliError(line.command + " wants one operand: " + std::string(what), kExitUsage);
  }
  return line.operands.front();
}

}  // namespace missivo::cli
