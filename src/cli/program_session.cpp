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
  return CliError("damaged data file: " + Cp1251ToUtf8(status.message()) +
                  " (the file is left as it is; the window program keeps such a file aside "
                  "and goes on with the rows that can be read)");
}

CliError LockFailure(const Status& status) {
  return CliError(Cp1251ToUtf8(status.message()) + " Try again when it has finished.", kExitLocked);
}

}  // namespace

std::filesystem::path DefaultProgramFolder() {
  return ResolveProgramFolder();
}

std::chrono::seconds LockWaitOf(const CommandLine& line) {
  if (!line.Has("lock-wait")) return kDefaultLockWait;
  return std::chrono::seconds(ParseNumberOption("lock-wait", *line.Value("lock-wait"), 0, 86400));
}

ProgramSession::ProgramSession(const std::filesystem::path& folder, TerminalUserInterface& ui,
                               bool make_data_folder, std::chrono::seconds lock_wait)
    : ui_(ui),
      store_(
          folder, lock_, DamagePolicy::kRefuse,
          LockWait{lock_wait, [this](std::chrono::milliseconds waited) { ShowWaiting(waited); }}) {
  std::error_code error;
  if (!std::filesystem::is_directory(folder, error)) {
    throw CliError("the program folder \"" + folder.string() + "\" does not exist");
  }
  if (make_data_folder) {
    std::filesystem::create_directories(files().folder, error);
    if (error) {
      throw CliError("cannot make the folder \"" + files().folder.string() +
                     "\": " + error.message());
    }
  }
  language_ = LoadProgramLanguage(folder);
  Unlock();
}

ProgramSession::~ProgramSession() {
  if (!lock_.locked) return;
  Result<FolderLock::Hold> hold = store_.folder_lock().Take();
  if (hold.ok()) (void)LockAtExit(lock_, files(), ui_);
}

void ProgramSession::ShowWaiting(std::chrono::milliseconds waited) {
  const std::string text = "waiting for another Missivo program to finish with the data folder (" +
                           std::to_string(waited.count() / 1000) + " s)";
  // One line for a log, a line kept up to date on a terminal.
  if (!waiting_told_) ui_.ShowMessage(text, MessageKind::kInformation);
  waiting_told_ = true;
  ui_.SetProgressText(text);
}

void ProgramSession::Unlock() {
  if (std::filesystem::is_directory(files().folder)) {
    // Sealing a plain file is a write: under the folder lock.
    Result<FolderLock::Hold> hold = store_.folder_lock().Take();
    ui_.HideProgress();
    if (!hold.ok()) throw LockFailure(hold.status());
    const std::vector<Status> failures = ProbeDataFiles(files(), lock_);
    if (!failures.empty()) throw DataFileError(failures.front());
  }
  if (!lock_.phonebook_needs_password && !lock_.archive_needs_password) return;

  switch (UnlockAtStart(lock_, files(), ui_, language_, ui_)) {
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
      throw CliError("a locked data file could not be opened");
  }
}

RowList ProgramSession::LoadList(StoredList& file, RowList list) {
  const ListLoad load = file.Load(list.rows);
  ui_.HideProgress();
  if (store_.folder_lock().GaveUp()) throw LockFailure(load.problem);
  if (load.outcome == ListLoad::Outcome::kDamaged ||
      load.outcome == ListLoad::Outcome::kUnreadable) {
    throw DataFileError(load.problem);
  }
  return list;
}

RowList ProgramSession::LoadArchive() {
  return LoadList(store_.archive(), MakeMessageList());
}

RowList ProgramSession::LoadPhonebook() {
  return LoadList(store_.phonebook(), MakeContactList());
}

CliError ProgramSession::SaveFailure(const std::string& message) const {
  if (store_.folder_lock().GaveUp()) {
    return CliError(message + ": another Missivo program kept the data folder locked; try again",
                    kExitLocked);
  }
  return CliError(message);
}

}  // namespace missivo::cli
