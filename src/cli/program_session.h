// A command's use of the program folder, as the window's start does it: the
// language of the folder, plain data files sealed, the program password
// checked. The data files keep their password layer on disk (it comes off in
// memory only), and every change goes through the folder lock with the other
// Missivo programs' changes merged in (store/stored_list.h).
#pragma once

#include <chrono>
#include <filesystem>
#include <optional>

#include "cli/cli_args.h"
#include "cli/terminal_ui.h"
#include "store/data_files.h"
#include "store/program_lock.h"
#include "store/row_list.h"
#include "store/stored_list.h"
#include "text/language.h"

namespace missivo::cli {

// The program folder when --folder is not given: the window program's own.
// missivo-cli is built and installed beside the window program, so this is
// the folder of the executable when it is writable (the build tree, a portable
// copy) and otherwise the per-user data folder ($XDG_DATA_HOME/Missivo).
std::filesystem::path DefaultProgramFolder();

// How long a command waits for the folder lock by default.
inline constexpr std::chrono::seconds kDefaultLockWait{60};

// --lock-wait, or the default.
std::chrono::seconds LockWaitOf(const CommandLine& line);

class ProgramSession {
 public:
  // Opens `folder`, which must exist (CliError otherwise), and makes its Data
  // folder when `make_data_folder`. Seals plain data files, and when a data file
  // carries the password layer checks the password `ui` gives: CliError with
  // kExitPassword when it is wrong or missing (files unchanged). While another
  // Missivo program holds the folder lock it waits up to `lock_wait`, showing
  // a progress line, then fails with kExitLocked.
  ProgramSession(const std::filesystem::path& folder, TerminalUserInterface& ui,
                 bool make_data_folder, std::chrono::seconds lock_wait = kDefaultLockWait);
  // With the program password in force, a data file found without its layer
  // (another program wrote it before the password was set) gets it, as the
  // window's exit does.
  ~ProgramSession();
  ProgramSession(const ProgramSession&) = delete;
  ProgramSession& operator=(const ProgramSession&) = delete;

  const DataFiles& files() const { return store_.files(); }
  DataStore& store() { return store_; }
  const LanguageLines& language() const { return language_; }

  // The archive or the phonebook as stored; empty when its file does not
  // exist; CliError naming the file when it is damaged or cannot be read
  // (the file is left as it is).
  RowList LoadArchive();
  RowList LoadPhonebook();

  // The CliError for a failed save: kExitLocked when the folder lock was not
  // free in time, otherwise `message`.
  CliError SaveFailure(const std::string& message) const;

 private:
  void Unlock();
  RowList LoadList(StoredList& file, RowList list);
  void ShowWaiting(std::chrono::milliseconds waited);

  TerminalUserInterface& ui_;
  LanguageLines language_;
  LockState lock_;
  DataStore store_;
  bool waiting_told_ = false;
};

}  // namespace missivo::cli
