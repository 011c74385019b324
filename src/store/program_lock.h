// The program lock: a password of the user's that, from the next start on,
// keeps the data files closed. At exit each data file is wrapped in an outer
// container under the password; at start the password removes that layer
// again. The password dialog's OK logic and the password record live here too.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/secrets.h"
#include "core/status.h"
#include "core/ui.h"
#include "store/data_files.h"
#include "text/language.h"

namespace missivo {

// Run-time lock state; never stored in the settings. The password is wiped
// from memory when it is replaced or removed and when the state goes.
struct LockState {
  ~LockState() { WipeString(password); }

  std::string password;                   // the password in force; empty when none
  bool locked = false;                    // a password is in force for this run
  bool phonebook_needs_password = false;  // Phonebook.pbk carries the outer layer
  bool archive_needs_password = false;    // Messages.sms carries the outer layer
  bool terminate = false;                 // the start must end the program
};

// The fields of the password dialog TPassForm, wiped from memory when they go
// (the control answer is the key of Password.pwd).
struct PasswordDialogFields {
  ~PasswordDialogFields() {
    for (std::string* field : {&old_password, &new_password, &repeated, &question, &answer})
      WipeString(*field);
  }

  std::string old_password;  // E1
  std::string new_password;  // P2
  std::string repeated;      // P3
  std::string question;      // KQ
  std::string answer;        // KA
};

enum class PasswordDialogResult {
  kWrongOldPassword,  // Str109 shown; the dialog stays open, nothing changed
  kRemoved,           // Str108 shown; no password, Password.pwd deleted; the dialog closes
  kMismatch,          // Str106 shown; the dialog empties P2 and P3 and stays open
  kSet,               // Str107 shown; the password is in force, Password.pwd written; closes
};

// "OK" of the password dialog. The old password must equal the current one
// exactly; an empty new or repeated password removes the password; otherwise
// the two must match and become the password. Messages go through `ui` with
// the program's caption; a failure to write or delete Password.pwd is shown
// as an error after them.
PasswordDialogResult PasswordDialogOk(LockState& state, const PasswordDialogFields& fields,
                                      const std::filesystem::path& password_file,
                                      const LanguageLines& language, UserInterface& ui);

// The five lines of Password.pwd, each ended by CR LF: old password, new
// password, repeated password, answer, question. With an empty answer the
// three password lines are empty.
std::string PasswordRecordText(const PasswordDialogFields& fields);

// Password.pwd: the record sealed under the control answer (so the file does
// not give the password to whoever knows the program's fixed passphrase).
[[nodiscard]] Status WritePasswordRecord(const std::filesystem::path& path,
                                         const PasswordDialogFields& fields);

// At exit, when a password is in force: the archive and then the phonebook
// file, each if it exists and does not carry it yet, get the outer layer
// under the password (saves write the locked form, so usually nothing is
// left to do). Failures are shown as errors; the first is returned. The
// caller holds the folder lock.
Status LockAtExit(const LockState& state, const DataFiles& files, UserInterface& ui);

// The unlock dialog: caption, one masked field, OK and Cancel.
class PasswordPrompt {
 public:
  virtual ~PasswordPrompt() = default;
  // The typed password (Windows-1251), or nothing when cancelled.
  virtual std::optional<std::string> AskPassword(const std::string& caption) = 0;
};

enum class UnlockResult {
  kCancelled,      // terminate set, no message
  kWrongPassword,  // Str100 shown, terminate set, data files unchanged
  kFileError,      // a locked file could not be read (shown), terminate set
  kUnlocked,       // the password opens every locked file and is in force; terminate cleared
};

// At start, when a needs-password flag is set: asks for the password (caption
// Str51); every flagged file that exists must open under the password and
// then under the fixed passphrase to a list file. Only when all do is the
// password put in force. The test runs in memory and the files stay locked
// on disk: the layers come off in memory at every load (store/stored_list.h).
UnlockResult UnlockAtStart(LockState& state, const DataFiles& files, PasswordPrompt& prompt,
                           const LanguageLines& language, UserInterface& ui);

// Whether the data file at `path` carries the outer layer: it exists and its
// content under the fixed passphrase is not a list file. A failure when it
// cannot be read or is too short for a container.
Result<bool> CarriesOuterLayer(const std::filesystem::path& path);

// The start's look at the data files, before anything is loaded (the caller
// holds the folder lock): a plain list file (left by an older version) is sealed, then each
// needs-password flag is set when its file carries the outer layer. Returns the failures, each
// naming its file (one that cannot be read or sealed, or is too short for a container); such a
// file's flag stays clear.
std::vector<Status> ProbeDataFiles(const DataFiles& files, LockState& state);

}  // namespace missivo
