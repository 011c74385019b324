#include "archive_check.h"

#include <gtest/gtest.h>

#include <vector>

#include "store/program_lock.h"
#include "store/stored_list.h"
#include "support/phone_scenario.h"
#include "support/test_support.h"
#include "text/cp1251.h"

namespace missivo::test {

std::multiset<std::string> ArchiveTexts(const DataFiles& files, const std::string& password) {
  LockState lock;
  lock.locked = !password.empty();
  lock.password = password;
  DataStore store(files.folder.parent_path(), lock, DamagePolicy::kRefuse);
  std::vector<Row> rows;
  const ListLoad load = store.archive().Load(rows);
  EXPECT_TRUE(load.outcome == ListLoad::Outcome::kLoaded ||
              load.outcome == ListLoad::Outcome::kMissing)
      << load.problem.message();
  std::multiset<std::string> texts;
  for (const Row& row : rows)
    texts.insert(Cp1251ToUtf8(row.caption));
  return texts;
}

void ExpectDeletedAreArchived(const PhoneSim& phone, const std::string& tag,
                              const std::multiset<std::string>& archive) {
  for (const int index : DeletedIndexes(phone.Commands())) {
    EXPECT_TRUE(archive.contains(tag + " " + std::to_string(index)))
        << tag << " " << index << " was deleted on the phone but is not in the archive";
  }
}

void WriteLockedArchive(const std::filesystem::path& program, const std::string& password) {
  LockState lock;
  lock.locked = true;
  lock.password = password;
  DataStore store(program, lock, DamagePolicy::kRefuse);
  std::filesystem::create_directories(store.files().folder);
  std::vector<Row> rows = {Row{"start", {"+7900", "01/01/2024,00:00:00", "5", "1", "x"}, 2}};
  ScriptedUserInterface ui;
  (void)store.archive().Load(rows);
  ASSERT_TRUE(store.archive().Save(rows, ui).ok());
}

}  // namespace missivo::test
