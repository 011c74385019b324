// missivo-cli with other Missivo programs on the same folder: waiting for the
// folder lock, two reads with delete at once, and kills in the middle of a
// read on a locked folder.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <future>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "cli_runner.h"
#include "store/container.h"
#include "store/list_file.h"
#include "store/program_lock.h"
#include "store/stored_list.h"
#include "support/phone_fixture.h"
#include "support/phone_scenario.h"
#include "support/test_support.h"
#include "text/cp1251.h"

namespace missivo {
namespace {

using nlohmann::json;
using test::W;
using test::WriteBytes;

// The texts of the archive (UTF-8), opened as a program with `password` would.
std::multiset<std::string> ArchiveTexts(const DataFiles& files, const std::string& password = {}) {
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

// Every message the phone was told to delete is in the archive.
void ExpectDeletedAreArchived(const test::PhoneSim& phone, const std::string& tag,
                              const std::multiset<std::string>& archive) {
  for (const int index : test::DeletedIndexes(phone.Commands())) {
    EXPECT_TRUE(archive.contains(tag + " " + std::to_string(index)))
        << tag << " " << index << " was deleted on the phone but is not in the archive";
  }
}

class CliSafetyTest : public ::testing::Test {
 protected:
  CliSafetyTest() { std::filesystem::create_directories(files.folder); }

  std::vector<std::string> Args(std::vector<std::string> args) const {
    args.insert(args.begin(), {"--folder", program.string()});
    return args;
  }

  test::TempFolder home;
  std::filesystem::path program = home / "program";
  DataFiles files{program};
};

TEST_F(CliSafetyTest, ACommandWaitsForTheFolderLockThenGivesUpWith75) {
  const std::string inbox = std::string(MISSIVO_TEST_DATA) + "/import/inbox.msg";
  const int fd =
      ::open((files.folder / "Missivo.lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  ASSERT_EQ(::flock(fd, LOCK_EX), 0);

  const test::CliRun refused =
      test::RunCli(Args({"--lock-wait", "2", "import", "v1", inbox}), home.path());
  EXPECT_EQ(refused.status, 75) << refused.err;
  EXPECT_NE(refused.err.find("waiting for another Missivo program"), std::string::npos)
      << refused.err;
  EXPECT_NE(refused.err.find("locked"), std::string::npos) << refused.err;
  EXPECT_FALSE(std::filesystem::exists(files.archive));

  // Let go of the lock while a second command waits: it goes on.
  auto waiting = std::async(std::launch::async, [&] {
    return test::RunCli(Args({"--lock-wait", "20", "import", "v1", inbox}), home.path());
  });
  ::usleep(1'200'000);
  ::close(fd);
  const test::CliRun done = waiting.get();
  EXPECT_EQ(done.status, 0) << done.err;
  EXPECT_FALSE(ArchiveTexts(files).empty());
}

TEST_F(CliSafetyTest, TwoReadsWithDeleteStartedAtOnceLoseNothing) {
  for (int round = 0; round < 4; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    const std::string tag_a = test::Tag("A", round);
    const std::string tag_b = test::Tag("B", round);
    test::PhoneSim phone_a(json{{"messages", test::UniqueMessages(tag_a, 4)}}.dump());
    test::PhoneSim phone_b(json{{"messages", test::UniqueMessages(tag_b, 4)}}.dump());
    auto read = [&](const std::string& device) {
      return std::async(std::launch::async, [&, device] {
        return test::RunCli(Args({"read", "--device", device, "--delete"}), home.path());
      });
    };
    auto a = read(phone_a.Device());
    auto b = read(phone_b.Device());
    const test::CliRun ran_a = a.get();
    const test::CliRun ran_b = b.get();
    EXPECT_EQ(ran_a.status, 0) << ran_a.err;
    EXPECT_EQ(ran_b.status, 0) << ran_b.err;
    const std::multiset<std::string> archive = ArchiveTexts(files);
    EXPECT_EQ(test::DeletedIndexes(phone_a.Commands()).size(), 4u);
    ExpectDeletedAreArchived(phone_a, tag_a, archive);
    ExpectDeletedAreArchived(phone_b, tag_b, archive);
    EXPECT_EQ(archive.size(), 8u * (round + 1));
  }
}

TEST_F(CliSafetyTest, KilledReadsOnALockedFolderLeaveLockedFilesAndLoseNothing) {
  const std::string password = W("пароль");
  WriteBytes(home / "password", "пароль\n");
  // A locked archive to begin with.
  {
    LockState lock;
    lock.locked = true;
    lock.password = password;
    DataStore store(program, lock, DamagePolicy::kRefuse);
    std::vector<Row> rows = {Row{"start", {"+7900", "01/01/2024,00:00:00", "5", "1", "x"}, 2}};
    test::ScriptedUserInterface ui;
    (void)store.archive().Load(rows);
    ASSERT_TRUE(store.archive().Save(rows, ui).ok());
  }
  const unsigned seed = std::random_device{}();
  SCOPED_TRACE("seed " + std::to_string(seed));
  std::mt19937 random(seed);
  std::uniform_int_distribution<long> delay_ms(0, 600);
  int deleted_total = 0;
  for (int kill = 0; kill < 50; ++kill) {
    const std::string tag = test::Tag("K", kill);
    test::PhoneSim phone(
        json{{"messages", test::UniqueMessages(tag, 3)}, {"latency_ms", 3}}.dump());
    const pid_t cli =
        test::StartCli(Args({"--password-file", (home / "password").string(), "read", "--device",
                             phone.Device(), "--delete", "--timeout", "5"}),
                       home.path());
    const timespec pause{delay_ms(random) / 1000, (delay_ms(random) % 1000) * 1'000'000};
    ::nanosleep(&pause, nullptr);
    ::kill(cli, SIGKILL);
    int status = 0;
    ::waitpid(cli, &status, 0);

    // On disk the archive opens only with the password, and holds every
    // message the phone was told to delete.
    const Result<bool> locked = CarriesOuterLayer(files.archive);
    ASSERT_TRUE(locked.ok()) << locked.message();
    ASSERT_TRUE(locked.value()) << "after kill " << kill << " the archive is not locked";
    ExpectDeletedAreArchived(phone, tag, ArchiveTexts(files, password));
    deleted_total += static_cast<int>(test::DeletedIndexes(phone.Commands()).size());
    for (const auto& entry : std::filesystem::directory_iterator(files.folder)) {
      if (entry.path().filename().string().find(".tmp-") != std::string::npos)
        std::filesystem::remove(entry.path());
    }
  }
  // The kills landed before, during and after the deletes.
  RecordProperty("messages_deleted", deleted_total);
  EXPECT_GT(deleted_total, 0);
  EXPECT_LT(deleted_total, 150);
}

}  // namespace
}  // namespace missivo
