#include "cli/program_session.h"

#include <string>
#include <system_error>
#include <vector>

#include "cli/cli_args.h"
#include "core/atomic_file.h"
#include "core/program_folder.h"
#include "shell/start_language.h"
#include "store/list_file.h"
#include "text/cp1251.h"

namespace missivo::cli {
namespace {

CliError DataFileError(const Status& status) {
  return CliError("damaged data file: " + Cp1251ToUtf8(status.message()));
}

RowList LoadList(const std::filesystem::path& path, RowList list) {
  if (!FileExists(path)) return list;
  Result<std::vector<Row>> rows = ReadListFile(path);
  if (!rows.ok()) throw DataFileError(rows.status());
  list.rows = std::move(rows).value();
  return list;
}

}  // namespace

std::filesystem::path DefaultProgramFolder() {
  return ResolveProgramFolder();
}

ProgramSession::ProgramSession(const std::filesystem::path& folder, TerminalUserInterface& ui,
                               bool make_data_folder)
    : files_(folder), ui_(ui) {
  std::error_code error;
  if (!std::filesystem::is_directory(folder, error)) {
    throw CliError("the program folder \"" + folder.string() + "\" does not exist");
  }
  if (make_data_folder) {
    std::filesystem::create_directories(files_.folder, error);
    if (error) {
      throw CliError("cannot make the folder \"" + files_.folder.string() +
                     "\": " + error.message());
    }
  }
  language_ = LoadProgramLanguage(folder);
  Unlock();
}

ProgramSession::~ProgramSession() {
  if (!closed_) (void)LockAtExit(lock_, files_, ui_);
}

void ProgramSession::Unlock() {
  const std::vector<Status> failures = ProbeDataFiles(files_, lock_);
  if (!failures.empty()) throw DataFileError(failures.front());
  if (!lock_.phonebook_needs_password && !lock_.archive_needs_password) return;

  switch (UnlockAtStart(lock_, files_, ui_, language_, ui_)) {
    case UnlockResult::kUnlocked:
      return;
    case UnlockResult::kCancelled:
      throw CliError(
          "the data files are locked with the program password: give it with "
          "--password-file FILE or type it on a terminal",
          kExitPassword);
    case UnlockResult::kWrongPassword:
      throw CliError("wrong password; the data files are unchanged", kExitPassword);
    case UnlockResult::kFileError:
      // A file already rewritten without its layer gets it back.
      (void)LockAtExit(lock_, files_, ui_);
      throw CliError("a locked data file could not be opened");
  }
}

RowList ProgramSession::LoadArchive() const {
  return LoadList(files_.archive, MakeMessageList());
}

RowList ProgramSession::LoadPhonebook() const {
  return LoadList(files_.phonebook, MakeContactList());
}

void ProgramSession::Close() {
  if (closed_) return;
  closed_ = true;
  const Status status = LockAtExit(lock_, files_, ui_);
  if (!status.ok()) throw CliError("the data files could not be locked again");
}

}  // namespace missivo::cli
