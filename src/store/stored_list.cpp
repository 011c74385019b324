#include "store/stored_list.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>
#include <utility>

#include "core/atomic_file.h"
#include "core/secrets.h"
#include "store/container.h"
#include "store/list_file.h"

namespace missivo {
namespace {

// What a data file's bytes gave.
struct DiskRead {
  enum class Kind { kMissing, kRows, kDamaged, kUnreadable };
  Kind kind = Kind::kMissing;
  SalvagedRows rows;  // kRows (damage ok) and kDamaged (rows before the damage)
  Status problem;
};

// The list file inside the bytes of a data file: sealed under the fixed
// passphrase, or locked under `password` on top of that.
DiskRead OpenDataFile(const std::filesystem::path& path, const std::string& password) {
  DiskRead read;
  if (!FileExists(path)) return read;
  Result<std::string> bytes = ReadWholeFile(path);
  if (!bytes.ok()) {
    read.kind = DiskRead::Kind::kUnreadable;
    read.problem = bytes.status();
    return read;
  }
  if (bytes.value().size() < kContainerHeaderSize) {
    read.kind = DiskRead::Kind::kDamaged;
    read.problem =
        Status::Failure(QuotedFileName(path) + " is " + std::to_string(bytes.value().size()) +
                        " bytes long, too short for an encrypted container.");
    return read;
  }
  std::string plain;
  if (!password.empty()) {
    Result<std::string> inner = UnsealBytes(bytes.value(), password);
    if (inner.ok() && inner.value().size() >= kContainerHeaderSize) {
      Result<std::string> unlocked = UnsealBytes(std::move(inner).value(), kFixedPassphrase);
      if (unlocked.ok() && StartsWithListFileMagic(unlocked.value())) {
        plain = std::move(unlocked).value();
      }
    }
  }
  if (plain.empty()) {
    Result<std::string> sealed = UnsealBytes(std::move(bytes).value(), kFixedPassphrase);
    if (sealed.ok() && StartsWithListFileMagic(sealed.value())) plain = std::move(sealed).value();
  }
  if (plain.empty()) {
    read.kind = DiskRead::Kind::kUnreadable;
    read.problem = Status::Failure(QuotedFileName(path) +
                                   " does not open: it is locked under another password, or "
                                   "damaged at its start.");
    return read;
  }
  read.rows = SalvageListFile(plain);
  WipeString(plain);
  if (!read.rows.damage.ok()) {
    read.kind = DiskRead::Kind::kDamaged;
    read.problem = Status::Failure(QuotedFileName(path) + ": " + read.rows.damage.message());
    return read;
  }
  read.kind = DiskRead::Kind::kRows;
  return read;
}

// The bytes a data file takes for `rows` under the lock state.
Status WriteDataFile(const std::filesystem::path& path, const std::vector<Row>& rows,
                     const LockState& state) {
  Result<std::string> plain = EncodeListFile(rows);
  if (!plain.ok()) {
    return Status::Failure("Cannot save " + QuotedFileName(path) + ": " + plain.message() +
                           " The file was left as it was.");
  }
  if (!state.locked) return WriteSealedFile(path, std::move(plain).value(), kFixedPassphrase);
  return WriteFileAtomically(
      path, SealBytes(SealBytes(std::move(plain).value(), kFixedPassphrase), state.password));
}

std::string TimeStamp() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  ::localtime_r(&now, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
  return text;
}

}  // namespace

FileIdentity IdentityOf(const std::filesystem::path& path) {
  FileIdentity identity;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    // A file that is there but cannot be opened still counts as present.
    struct stat info {};
    identity.exists = ::stat(path.c_str(), &info) == 0;
    return identity;
  }
  struct stat info {};
  if (::fstat(fd, &info) == 0) {
    identity.exists = true;
    identity.device = info.st_dev;
    identity.inode = info.st_ino;
    identity.size = info.st_size;
    identity.modified_ns =
        static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec;
    char head[kContainerHeaderSize];
    const ssize_t got = ::pread(fd, head, sizeof head, 0);
    if (got > 0) identity.head.assign(head, static_cast<std::size_t>(got));
  }
  ::close(fd);
  return identity;
}

std::filesystem::path DamagedFileName(const std::filesystem::path& path) {
  const std::string base = path.filename().string() + ".damaged-" + TimeStamp();
  std::filesystem::path candidate = path.parent_path() / base;
  for (int number = 2; FileExists(candidate); ++number)
    candidate = path.parent_path() / (base + "-" + std::to_string(number));
  return candidate;
}

Result<std::filesystem::path> SetAsideDamagedFile(const std::filesystem::path& path) {
  const std::filesystem::path aside = DamagedFileName(path);
  if (::rename(path.c_str(), aside.c_str()) != 0) {
    return Status::Failure("Cannot move the damaged file " + QuotedFileName(path) +
                           " aside: " + std::generic_category().message(errno) + ".");
  }
  return aside;
}

StoredList::StoredList(std::filesystem::path path, FolderLock& lock, const LockState& lock_state,
                       DamagePolicy policy)
    : path_(std::move(path)), lock_(lock), lock_state_(lock_state), policy_(policy) {}

void StoredList::Saw(const std::vector<Row>& rows, FileIdentity identity) {
  base_ = CountRows(rows);
  seen_ = std::move(identity);
}

Result<FolderLock::Hold> StoredList::TakeLock() {
  Result<FolderLock::Hold> hold = lock_.Take();
  if (hold.ok()) return hold;
  return Status::Failure("Cannot save " + QuotedFileName(path_) + ": " + hold.message());
}

Status StoredList::Write(const std::vector<Row>& rows) {
  return WriteDataFile(path_, rows, lock_state_);
}

ListLoad StoredList::Load(std::vector<Row>& rows) {
  ListLoad load;
  std::error_code error;
  if (!std::filesystem::is_directory(path_.parent_path(), error)) {
    Saw({}, IdentityOf(path_));  // no Data folder yet: nothing to read, nothing to lock
    return load;
  }
  // Reading needs no lock (every write renames a whole file into place), so a
  // folder that cannot hold the lock file (read-only) still loads; the
  // identity is taken first, so a file replaced meanwhile counts as changed.
  // Only another program holding the lock all that time stops the load.
  Result<FolderLock::Hold> hold = lock_.Take();
  if (!hold.ok() && lock_.GaveUp()) {
    load.outcome = ListLoad::Outcome::kUnreadable;
    load.problem = hold.status();
    unreadable_ = hold.status();
    return load;
  }
  unreadable_ = Status();
  FileIdentity identity = IdentityOf(path_);
  DiskRead read = OpenDataFile(path_, lock_state_.locked ? lock_state_.password : std::string());
  switch (read.kind) {
    case DiskRead::Kind::kMissing:
      Saw({}, std::move(identity));
      return load;
    case DiskRead::Kind::kRows:
      load.outcome = ListLoad::Outcome::kLoaded;
      rows = std::move(read.rows.rows);
      Saw(rows, std::move(identity));
      return load;
    case DiskRead::Kind::kUnreadable:
      load.outcome = ListLoad::Outcome::kUnreadable;
      load.problem = read.problem;
      unreadable_ = read.problem;
      return load;
    case DiskRead::Kind::kDamaged:
      break;
  }
  load.outcome = ListLoad::Outcome::kDamaged;
  load.problem = read.problem;
  load.salvaged = read.rows.rows.size();
  if (policy_ == DamagePolicy::kRefuse || !hold.ok()) {
    unreadable_ = read.problem;
    return load;
  }
  Result<std::filesystem::path> aside = SetAsideDamagedFile(path_);
  if (!aside.ok()) {
    load.outcome = ListLoad::Outcome::kUnreadable;
    load.problem = aside.status();
    unreadable_ = aside.status();
    return load;
  }
  load.set_aside = aside.value();
  rows = std::move(read.rows.rows);
  // The rows kept become the file at once, so every process sees the same list.
  if (!rows.empty()) {
    // Not written: nothing of them is on disk yet, so the next save adds them.
    if (const Status written = Write(rows); !written.ok()) {
      Saw({}, IdentityOf(path_));
      return load;
    }
  }
  Saw(rows, IdentityOf(path_));
  return load;
}

Result<std::vector<Row>> StoredList::ReadCurrent(std::string& notice) {
  DiskRead read = OpenDataFile(path_, lock_state_.locked ? lock_state_.password : std::string());
  switch (read.kind) {
    case DiskRead::Kind::kMissing:
      return std::vector<Row>();
    case DiskRead::Kind::kRows:
      return std::move(read.rows.rows);
    case DiskRead::Kind::kUnreadable:
      return Status::Failure("Not saved: " + read.problem.message());
    case DiskRead::Kind::kDamaged:
      break;
  }
  if (policy_ == DamagePolicy::kRefuse) {
    return Status::Failure("Not saved: " + read.problem.message());
  }
  Result<std::filesystem::path> aside = SetAsideDamagedFile(path_);
  if (!aside.ok()) return Status::Failure("Not saved: " + aside.message());
  ListLoad told;
  told.outcome = ListLoad::Outcome::kDamaged;
  told.problem = read.problem;
  told.set_aside = aside.value();
  told.salvaged = read.rows.rows.size();
  notice = DamagedFileMessage(path_, told);
  return std::move(read.rows.rows);
}

Result<FileEffect> StoredList::Save(std::vector<Row>& rows, UserInterface& ui,
                                    bool remove_when_empty) {
  if (!unreadable_.ok()) {
    return Status::Failure("Not saved: " + unreadable_.message() + " The file is left as it is.");
  }
  Result<FolderLock::Hold> hold = TakeLock();
  if (!hold.ok()) return hold.status();
  std::string notice;
  if (IdentityOf(path_) != seen_) {
    Result<std::vector<Row>> theirs = ReadCurrent(notice);
    if (!theirs.ok()) return theirs.status();
    rows = MergeRows(base_, rows, theirs.value());
  }
  FileEffect effect = FileEffect::kSaved;
  Status status;
  if (remove_when_empty && rows.empty()) {
    effect = FileEffect::kRemoved;
    status = RemoveFile(path_);
  } else {
    status = Write(rows);
  }
  if (!notice.empty()) ui.ShowMessage(notice, MessageKind::kError);
  if (!status.ok()) return status;
  Saw(rows, IdentityOf(path_));
  return effect;
}

Result<bool> StoredList::TakeInChanges(std::vector<Row>& rows, UserInterface& ui) {
  if (!unreadable_.ok()) return false;
  Result<FolderLock::Hold> hold = TakeLock();
  if (!hold.ok()) return hold.status();
  const FileIdentity now = IdentityOf(path_);
  if (now == seen_) return false;
  std::string notice;
  Result<std::vector<Row>> theirs = ReadCurrent(notice);
  if (!theirs.ok()) return theirs.status();
  if (!notice.empty()) {
    // The damaged file went aside: its readable rows become the file again.
    ui.ShowMessage(notice, MessageKind::kError);
    if (!theirs.value().empty()) {
      if (const Status written = Write(theirs.value()); !written.ok()) return written;
    }
  }
  std::vector<Row> merged = MergeRows(base_, rows, theirs.value());
  base_ = CountRows(theirs.value());
  seen_ = IdentityOf(path_);
  const bool changed = merged != rows;
  rows = std::move(merged);
  return changed;
}

Status StoredList::Relock(const std::string& old_password) {
  Result<FolderLock::Hold> hold = TakeLock();
  if (!hold.ok()) return hold.status();
  const FileIdentity before = IdentityOf(path_);
  DiskRead read = OpenDataFile(path_, old_password);
  if (read.kind == DiskRead::Kind::kMissing) return {};
  if (read.kind != DiskRead::Kind::kRows) return read.problem;
  if (const Status written = Write(read.rows.rows); !written.ok()) return written;
  // Only the form changed: a process that had seen the old file has seen this one.
  if (before == seen_) seen_ = IdentityOf(path_);
  return {};
}

DataStore::DataStore(const std::filesystem::path& program_folder, const LockState& lock_state,
                     DamagePolicy policy, LockWait wait)
    : files_(program_folder),
      lock_(files_.folder, std::move(wait)),
      archive_(files_.archive, lock_, lock_state, policy),
      phonebook_(files_.phonebook, lock_, lock_state, policy) {}

Status DataStore::Relock(const std::string& old_password) {
  Result<FolderLock::Hold> hold = lock_.Take();
  if (!hold.ok()) return hold.status();
  Status first = archive_.Relock(old_password);
  Status second = phonebook_.Relock(old_password);
  return first.ok() ? second : first;
}

std::string DamagedFileMessage(const std::filesystem::path& path, const ListLoad& load) {
  return "The file " + QuotedFileName(path) + " is damaged (" + load.problem.message() +
         "). It was kept as " + QuotedFileName(load.set_aside) + "; the " +
         std::to_string(load.salvaged) + " rows read before the damage are in the list.";
}

Status SaveListFile(RowList& list, StoredList& file, UserInterface& ui) {
  Result<FileEffect> saved = file.Save(list.rows, ui);
  if (!saved.ok()) {
    ui.ShowMessage(saved.message(), MessageKind::kError, std::string(kIoErrorCaption));
    return saved.status();
  }
  return {};
}

Status LoadListFile(RowList& list, StoredList& file, UserInterface& ui) {
  const ListLoad load = file.Load(list.rows);
  switch (load.outcome) {
    case ListLoad::Outcome::kMissing:
    case ListLoad::Outcome::kLoaded:
      return {};
    case ListLoad::Outcome::kDamaged:
      if (!load.set_aside.empty()) {
        ui.ShowMessage(DamagedFileMessage(file.path(), load), MessageKind::kError,
                       std::string(kIoErrorCaption));
      } else {
        ui.ShowMessage(load.problem.message(), MessageKind::kError, std::string(kIoErrorCaption));
      }
      return load.problem;
    case ListLoad::Outcome::kUnreadable:
      ui.ShowMessage(load.problem.message(), MessageKind::kError, std::string(kIoErrorCaption));
      return load.problem;
  }
  return load.problem;
}

Result<std::filesystem::path> SetAsideDamagedPasswordRecord(const std::filesystem::path& path) {
  if (!FileExists(path)) return std::filesystem::path();
  Result<std::string> bytes = ReadWholeFile(path);
  if (bytes.ok() && bytes.value().size() >= kContainerHeaderSize) return std::filesystem::path();
  return SetAsideDamagedFile(path);
}

}  // namespace missivo
