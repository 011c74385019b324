// The archive and the phonebook copy as one process holds them while other
// Missivo processes may work on the same folder. A StoredList remembers what
// its file held when this process last read or wrote it (the rows, as counts,
// and the file's identity); every write happens under the folder lock, and
// when the file changed on disk since, the other process's rows are merged in
// first (store/row_merge.h), so no interleaving loses a row either process
// added or brings back one either deleted.
//
// On disk a list file is sealed under the fixed passphrase and, while a
// program password is in force, locked under it as well: the layers come off
// in memory only, so a killed process leaves every file locked.
//
// A file that cannot be read whole is damaged: it is moved aside as
// "<name>.damaged-<yyyymmdd>-<hhmmss>" and the rows read before the damage
// become the list (or, with DamagePolicy::kRefuse, the load fails and the
// file stays). A file that cannot be read at all (no permission, locked under
// another password) is never written over.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "core/status.h"
#include "core/ui.h"
#include "store/data_files.h"
#include "store/folder_lock.h"
#include "store/program_lock.h"
#include "store/row.h"
#include "store/row_list.h"
#include "store/row_merge.h"

namespace missivo {

// What tells one version of a file from another: every write makes a new
// file (rename) with a new random container header.
struct FileIdentity {
  bool exists = false;
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  std::int64_t size = 0;
  std::int64_t modified_ns = 0;
  std::string head;  // the first 16 bytes: salt and IV of the container

  friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};
FileIdentity IdentityOf(const std::filesystem::path& path);

// Where a damaged file is moved: its name + ".damaged-" + local date and time
// (a number is added when that name is taken).
std::filesystem::path DamagedFileName(const std::filesystem::path& path);

// Moves a damaged file aside; returns where it went.
Result<std::filesystem::path> SetAsideDamagedFile(const std::filesystem::path& path);

enum class DamagePolicy {
  kSetAside,  // the window: keep the file aside, go on with the rows before the damage
  kRefuse,    // missivo-cli: fail and leave the file as it is
};

enum class FileEffect { kNone, kSaved, kRemoved };

struct ListLoad {
  enum class Outcome { kMissing, kLoaded, kDamaged, kUnreadable };
  Outcome outcome = Outcome::kMissing;
  Status problem;                   // what was wrong (kDamaged, kUnreadable)
  std::filesystem::path set_aside;  // kDamaged with kSetAside: where the file is now
  std::size_t salvaged = 0;         // kDamaged: rows read before the damage
};

class StoredList {
 public:
  StoredList(std::filesystem::path path, FolderLock& lock, const LockState& lock_state,
             DamagePolicy policy);

  const std::filesystem::path& path() const { return path_; }

  // Reads the file under the folder lock into `rows` (a missing file leaves
  // them as they are). A damaged file is set aside and its readable rows are
  // written as the new file (kSetAside), or the load fails (kRefuse).
  [[nodiscard]] ListLoad Load(std::vector<Row>& rows);

  // Under the folder lock: another process's changes merged into `rows` when
  // the file changed since this process saw it, then `rows` written (or, with
  // `remove_when_empty` and no row left, the file removed). A damaged file met
  // on the way is set aside and shown through `ui`. Refused when the file
  // could not be read at the load, or when it opens under no passphrase known
  // here. On failure the file is as it was.
  [[nodiscard]] Result<FileEffect> Save(std::vector<Row>& rows, UserInterface& ui,
                                        bool remove_when_empty = false);

  // Under the folder lock: when the file changed since this process saw it,
  // its changes are merged into `rows` (which keep this process's own unsaved
  // changes); nothing is written. True when `rows` changed.
  [[nodiscard]] Result<bool> TakeInChanges(std::vector<Row>& rows, UserInterface& ui);

  // Whether the file on disk is another than the one this process saw last.
  bool ChangedOnDisk() const { return IdentityOf(path_) != seen_; }

  // After the program password was set, changed or removed: the file
  // rewritten in the form the lock state now asks for, its content unchanged.
  // `old_password` is the one it was locked under (empty: none).
  [[nodiscard]] Status Relock(const std::string& old_password);

 private:
  // The rows on disk now; a damaged file is set aside first (kSetAside) and
  // `notice` tells so.
  Result<std::vector<Row>> ReadCurrent(std::string& notice);
  [[nodiscard]] Status Write(const std::vector<Row>& rows);
  // The folder lock; a failure names this file.
  [[nodiscard]] Result<FolderLock::Hold> TakeLock();
  // What the file held and which file it was, as this process last saw it.
  void Saw(const std::vector<Row>& rows, FileIdentity identity);

  std::filesystem::path path_;
  FolderLock& lock_;
  const LockState& lock_state_;
  DamagePolicy policy_;
  RowCounts base_;     // the rows of the file as last seen
  FileIdentity seen_;  // the file as last seen
  Status unreadable_;  // the load could not read the file: it is never written over
};

// The program folder's data files for one process: the folder lock and the
// two list files.
class DataStore {
 public:
  DataStore(const std::filesystem::path& program_folder, const LockState& lock_state,
            DamagePolicy policy, LockWait wait = {});

  const DataFiles& files() const { return files_; }
  FolderLock& folder_lock() { return lock_; }
  const FolderLock& folder_lock() const { return lock_; }
  StoredList& archive() { return archive_; }
  StoredList& phonebook() { return phonebook_; }

  // Both list files rewritten in the form the lock state now asks for
  // (StoredList::Relock); the first failure is returned.
  [[nodiscard]] Status Relock(const std::string& old_password);

 private:
  DataFiles files_;
  FolderLock lock_;
  StoredList archive_;
  StoredList phonebook_;
};

// Saves the list through its stored file (StoredList::Save); a failure is
// also shown as an error message under the caption "I/O Error".
Status SaveListFile(RowList& list, StoredList& file, UserInterface& ui);

// Loads the list from its stored file (StoredList::Load). A damaged file set
// aside is told with where it went and how many rows were kept; a file that
// cannot be read shows "File not found" under "I/O Error" and leaves the rows
// as they were. The status says what was wrong.
Status LoadListFile(RowList& list, StoredList& file, UserInterface& ui);

// The message telling that a damaged file was set aside.
std::string DamagedFileMessage(const std::filesystem::path& path, const ListLoad& load);

// The password record Password.pwd is never read back, but a record that
// cannot be read or is too short to be a container is damaged: it is moved
// aside. Returns where it went, or an empty path when it is whole or missing.
Result<std::filesystem::path> SetAsideDamagedPasswordRecord(const std::filesystem::path& path);

}  // namespace missivo
