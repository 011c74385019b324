// Data files shared between processes: the folder lock, the merge before a
// save, damaged files set aside, and the password layer that never comes off
// on disk. Two DataStores on one folder stand for two programs.
#include "store/stored_list.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "store/container.h"
#include "store/list_file.h"
#include "store_test_rows.h"
#include "support/test_support.h"

namespace missivo::test {
namespace {

std::vector<Row> Messages(int first, int count) {
  std::vector<Row> rows;
  for (int i = first; i < first + count; ++i)
    rows.push_back(MessageRow("message " + std::to_string(i), "+7900", std::to_string(i)));
  return rows;
}

// One program's view of the folder.
struct Program {
  explicit Program(const std::filesystem::path& folder,
                   DamagePolicy policy = DamagePolicy::kSetAside)
      : store(folder, lock, policy, LockWait{std::chrono::milliseconds(300), {}}) {}
  LockState lock;
  DataStore store;
  RowList archive = MakeMessageList();
};

class StoredListTest : public ::testing::Test {
 protected:
  void SetUp() override { std::filesystem::create_directories(files().folder); }
  DataFiles files() const { return DataFiles(folder_.path()); }
  std::vector<Row> OnDisk() const { return ReadListFile(files().archive).value(); }

  TempFolder folder_;
  ScriptedUserInterface ui_;
};

TEST_F(StoredListTest, ASaveTakesInWhatAnotherProgramSavedSince) {
  ASSERT_TRUE(WriteListFile(Messages(1, 3), files().archive).ok());
  Program window(folder_.path());
  Program cli(folder_.path());
  ASSERT_EQ(window.store.archive().Load(window.archive.rows).outcome, ListLoad::Outcome::kLoaded);
  ASSERT_EQ(cli.store.archive().Load(cli.archive.rows).outcome, ListLoad::Outcome::kLoaded);

  // The CLI appends two messages; the window, unaware, deletes message 2 and saves.
  cli.archive.rows.push_back(Messages(10, 1)[0]);
  cli.archive.rows.push_back(Messages(11, 1)[0]);
  ASSERT_TRUE(SaveListFile(cli.archive, cli.store.archive(), ui_).ok());
  EXPECT_TRUE(window.store.archive().ChangedOnDisk());
  window.archive.rows.erase(window.archive.rows.begin() + 1);
  ASSERT_TRUE(SaveListFile(window.archive, window.store.archive(), ui_).ok());

  std::vector<Row> expected = Messages(1, 1);
  for (const Row& row : {Messages(3, 1)[0], Messages(10, 1)[0], Messages(11, 1)[0]})
    expected.push_back(row);
  EXPECT_EQ(OnDisk(), expected);
  EXPECT_EQ(window.archive.rows, expected);  // the window now shows them too

  // The CLI's next save keeps the window's deletion.
  cli.archive.rows.push_back(Messages(12, 1)[0]);
  ASSERT_TRUE(SaveListFile(cli.archive, cli.store.archive(), ui_).ok());
  expected.push_back(Messages(12, 1)[0]);
  EXPECT_EQ(OnDisk(), expected);
}

TEST_F(StoredListTest, TakingInChangesKeepsOwnUnsavedRows) {
  Program window(folder_.path());
  Program cli(folder_.path());
  (void)window.store.archive().Load(window.archive.rows);
  (void)cli.store.archive().Load(cli.archive.rows);
  window.archive.rows = Messages(1, 1);  // F5: appended, not saved yet
  cli.archive.rows = Messages(5, 2);
  ASSERT_TRUE(SaveListFile(cli.archive, cli.store.archive(), ui_).ok());

  Result<bool> changed = window.store.archive().TakeInChanges(window.archive.rows, ui_);
  ASSERT_TRUE(changed.ok());
  EXPECT_TRUE(changed.value());
  EXPECT_EQ(window.archive.rows.size(), 3u);
  EXPECT_FALSE(window.store.archive().ChangedOnDisk());
  EXPECT_FALSE(window.store.archive().TakeInChanges(window.archive.rows, ui_).value());
  // The unsaved row reaches the file with the window's next save, the CLI's stay.
  ASSERT_TRUE(SaveListFile(window.archive, window.store.archive(), ui_).ok());
  EXPECT_EQ(OnDisk().size(), 3u);
}

TEST_F(StoredListTest, DeletingTheLastRowKeepsRowsAnotherProgramAdded) {
  ASSERT_TRUE(WriteListFile(Messages(1, 1), files().archive).ok());
  Program window(folder_.path());
  Program cli(folder_.path());
  (void)window.store.archive().Load(window.archive.rows);
  (void)cli.store.archive().Load(cli.archive.rows);
  cli.archive.rows.push_back(Messages(2, 1)[0]);
  ASSERT_TRUE(SaveListFile(cli.archive, cli.store.archive(), ui_).ok());

  window.archive.rows.clear();
  const Result<FileEffect> effect = window.store.archive().Save(window.archive.rows, ui_, true);
  ASSERT_TRUE(effect.ok());
  EXPECT_EQ(effect.value(), FileEffect::kSaved);
  EXPECT_EQ(OnDisk(), Messages(2, 1));
}

TEST_F(StoredListTest, ADamagedFileIsSetAsideAndItsReadableRowsKept) {
  // 200 rows, the file cut in the middle of its plain content: the first 100
  // rows are whole (every row here has the same length).
  const std::string plain = EncodeListFile(Messages(1000, 200)).value();
  const std::size_t row_size = (plain.size() - 5) / 200;
  const std::string cut = plain.substr(0, 5 + row_size * 100 + row_size / 2);
  const std::string damaged = SealBytes(cut, kFixedPassphrase);
  WriteBytes(files().archive, damaged);

  Program window(folder_.path());
  const ListLoad load = window.store.archive().Load(window.archive.rows);
  EXPECT_EQ(load.outcome, ListLoad::Outcome::kDamaged);
  EXPECT_EQ(load.salvaged, 100u);
  EXPECT_EQ(window.archive.rows, Messages(1000, 100));
  // The damaged file is kept, byte for byte, under a name that says so.
  EXPECT_EQ(ReadBytes(load.set_aside), damaged);
  EXPECT_TRUE(load.set_aside.filename().string().starts_with("Messages.sms.damaged-"));
  EXPECT_NE(DamagedFileMessage(files().archive, load).find(load.set_aside.filename().string()),
            std::string::npos);
  // The rows kept are the file now; the next save adds to them.
  EXPECT_EQ(OnDisk(), Messages(1000, 100));
  window.archive.rows.push_back(Messages(1, 1)[0]);
  ASSERT_TRUE(SaveListFile(window.archive, window.store.archive(), ui_).ok());
  EXPECT_EQ(OnDisk().size(), 101u);
  EXPECT_EQ(ReadBytes(load.set_aside), damaged);
}

TEST_F(StoredListTest, WithRefusalADamagedFileIsLeftAloneAndNeverWrittenOver) {
  const std::string damaged = SealBytes("LVF\x05\x00\x01", kFixedPassphrase);
  WriteBytes(files().archive, damaged);
  Program cli(folder_.path(), DamagePolicy::kRefuse);
  const ListLoad load = cli.store.archive().Load(cli.archive.rows);
  EXPECT_EQ(load.outcome, ListLoad::Outcome::kDamaged);
  EXPECT_TRUE(load.set_aside.empty());
  cli.archive.rows = Messages(1, 1);
  EXPECT_FALSE(SaveListFile(cli.archive, cli.store.archive(), ui_).ok());
  EXPECT_EQ(ReadBytes(files().archive), damaged);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(files().folder),
                          std::filesystem::directory_iterator()),
            2);  // the archive and the lock file, nothing else
}

TEST_F(StoredListTest, AFileUnderAnotherPasswordIsNeverWrittenOver) {
  ASSERT_TRUE(WriteListFile(Messages(1, 2), files().archive).ok());
  ASSERT_TRUE(EncryptInPlaceWith(files().archive, "someone else's").ok());
  const std::string before = ReadBytes(files().archive);
  Program window(folder_.path());
  EXPECT_EQ(window.store.archive().Load(window.archive.rows).outcome,
            ListLoad::Outcome::kUnreadable);
  window.archive.rows = Messages(5, 1);
  EXPECT_FALSE(SaveListFile(window.archive, window.store.archive(), ui_).ok());
  EXPECT_EQ(ReadBytes(files().archive), before);
}

TEST_F(StoredListTest, WithAPasswordEverySaveWritesTheLockedForm) {
  Program window(folder_.path());
  window.lock.locked = true;
  window.lock.password = W("пароль");
  (void)window.store.archive().Load(window.archive.rows);
  window.archive.rows = Messages(1, 2);
  ASSERT_TRUE(SaveListFile(window.archive, window.store.archive(), ui_).ok());
  // The fixed passphrase alone does not open it; the password and then the
  // fixed passphrase give the list file: the format of a locked file.
  EXPECT_TRUE(CarriesOuterLayer(files().archive).value());
  const std::string inner = UnsealFile(files().archive, W("пароль")).value();
  EXPECT_EQ(DecodeListFile(UnsealBytes(inner, kFixedPassphrase).value()).value(), Messages(1, 2));

  // Another program with the password merges into the locked file and keeps it locked.
  Program cli(folder_.path());
  cli.lock = {};
  cli.lock.locked = true;
  cli.lock.password = W("пароль");
  ASSERT_EQ(cli.store.archive().Load(cli.archive.rows).outcome, ListLoad::Outcome::kLoaded);
  cli.archive.rows.push_back(Messages(3, 1)[0]);
  ASSERT_TRUE(SaveListFile(cli.archive, cli.store.archive(), ui_).ok());
  window.archive.rows.erase(window.archive.rows.begin());
  ASSERT_TRUE(SaveListFile(window.archive, window.store.archive(), ui_).ok());
  EXPECT_TRUE(CarriesOuterLayer(files().archive).value());
  EXPECT_EQ(window.archive.rows, (std::vector<Row>{Messages(2, 1)[0], Messages(3, 1)[0]}));

  // Removing the password: the files lose the layer at once.
  window.lock.locked = false;
  ASSERT_TRUE(window.store.Relock(W("пароль")).ok());
  EXPECT_FALSE(CarriesOuterLayer(files().archive).value());
  EXPECT_FALSE(window.store.archive().ChangedOnDisk());
  EXPECT_EQ(OnDisk(), window.archive.rows);
}

TEST_F(StoredListTest, TheFolderLockWaitsForAnotherProcessThenGivesUp) {
  // A child holds the lock file's flock for a while.
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  const pid_t child = ::fork();
  if (child == 0) {
    const int fd = ::open((files().folder / "Missivo.lock").c_str(), O_RDWR | O_CREAT, 0600);
    ::flock(fd, LOCK_EX);
    const char byte = 1;
    if (::write(ready[1], &byte, 1) != 1) ::_exit(1);
    ::usleep(800'000);
    ::_exit(0);
  }
  char byte = 0;
  ASSERT_EQ(::read(ready[0], &byte, 1), 1);

  std::vector<std::chrono::milliseconds> notices;
  FolderLock impatient(files().folder, {std::chrono::milliseconds(200), {}});
  const Result<FolderLock::Hold> refused = impatient.Take();
  EXPECT_FALSE(refused.ok());
  EXPECT_TRUE(impatient.GaveUp());
  EXPECT_NE(refused.message().find("Missivo.lock"), std::string::npos);

  FolderLock patient(files().folder,
                     {std::chrono::seconds(5),
                      [&](std::chrono::milliseconds waited) { notices.push_back(waited); }});
  Result<FolderLock::Hold> taken = patient.Take();
  EXPECT_TRUE(taken.ok());
  EXPECT_FALSE(patient.GaveUp());
  {
    // Holds nest within one process.
    Result<FolderLock::Hold> nested = patient.Take();
    EXPECT_TRUE(nested.ok());
  }
  EXPECT_TRUE(patient.Held());
  int status = 0;
  ::waitpid(child, &status, 0);
  ::close(ready[0]);
  ::close(ready[1]);
}

}  // namespace
}  // namespace missivo::test
