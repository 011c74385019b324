// A command's use of the program folder, as the window's start and exit do it:
// the language of the folder, plain data files sealed, the password layer
// removed before the lists are read and put back at the end.
#pragma once

#include <filesystem>
#include <optional>

#include "cli/terminal_ui.h"
#include "store/data_files.h"
#include "store/program_lock.h"
#include "store/row_list.h"
#include "text/language.h"

namespace missivo::cli {

// The program folder when --folder is not given: the window program's own.
// missivo-cli is built and installed beside the window program, so this is
// the folder of the executable when it is writable (the build tree, a portable
// copy) and otherwise the per-user data folder ($XDG_DATA_HOME/Missivo).
std::filesystem::path DefaultProgramFolder();

class ProgramSession {
 public:
  // Opens `folder`, which must exist (CliError otherwise), and makes its Data
  // folder when `make_data_folder`. Seals plain data files, and when a data file
  // carries the password layer removes it with the password `ui` gives:
  // CliError with kExitPassword when it is wrong or missing (files unchanged).
  ProgramSession(const std::filesystem::path& folder, TerminalUserInterface& ui,
                 bool make_data_folder);
  // Puts the password layer back when Close did not.
  ~ProgramSession();
  ProgramSession(const ProgramSession&) = delete;
  ProgramSession& operator=(const ProgramSession&) = delete;

  const DataFiles& files() const { return files_; }
  const LanguageLines& language() const { return language_; }

  // The archive or the phonebook as stored; empty when its file does not
  // exist; CliError naming the file when it is damaged.
  RowList LoadArchive() const;
  RowList LoadPhonebook() const;

  // Puts the password layer back on the data files when it was removed.
  // CliError when that fails.
  void Close();

 private:
  void Unlock();

  DataFiles files_;
  TerminalUserInterface& ui_;
  LanguageLines language_;
  LockState lock_;
  bool closed_ = false;
};

}  // namespace missivo::cli
