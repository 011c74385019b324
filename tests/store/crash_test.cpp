// A process that saves the archive is killed at random moments; after every
// kill the archive must open and hold either the rows it held before or the
// rows of a later save, never a mixture, a damaged file or a plain one.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "store/list_file.h"
#include "store_test_rows.h"
#include "support/test_support.h"

namespace missivo {
namespace {

// The archive as saved by save number `generation`: its size and texts
// differ from one generation to the next.
std::vector<Row> Generation(int generation) {
  std::vector<Row> rows;
  const int count = 40 + (generation % 7) * 15;
  for (int i = 0; i < count; ++i) {
    rows.push_back(test::MessageRow("generation " + std::to_string(generation) + " row " +
                                        std::to_string(i) +
                                        std::string(static_cast<std::size_t>(60 + i % 90), 'x'),
                                    "+1555555" + std::to_string(generation), std::to_string(i)));
  }
  return rows;
}

// The generation whose rows `rows` are, or -1 when they are not one whole.
int GenerationOf(const std::vector<Row>& rows) {
  if (rows.empty()) return -1;
  const std::string& first = rows[0].caption;
  const int generation = std::stoi(first.substr(first.find(' ') + 1));
  return rows == Generation(generation) ? generation : -1;
}

// Saves later and later generations until it is killed.
[[noreturn]] void SaveForever(const std::filesystem::path& path, int generation, int started) {
  const char byte = 1;
  if (::write(started, &byte, 1) != 1) ::_exit(2);
  for (int g = generation + 1;; ++g) {
    if (!WriteListFile(Generation(g), path).ok()) ::_exit(1);
  }
}

TEST(CrashTest, KilledSavesLeaveTheOldOrTheNewArchive) {
  test::TempFolder folder;
  const auto path = folder / "Messages.sms";
  ASSERT_TRUE(WriteListFile(Generation(0), path).ok());

  const unsigned seed = std::random_device{}();
  SCOPED_TRACE("seed " + std::to_string(seed));
  std::mt19937 random(seed);
  std::uniform_int_distribution<long> delay_ns(0, 4'000'000);

  int generation = 0;
  int interrupted_writes = 0;
  for (int kill_number = 0; kill_number < 300; ++kill_number) {
    int started[2];
    ASSERT_EQ(::pipe(started), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      ::close(started[0]);
      SaveForever(path, generation, started[1]);
    }
    ::close(started[1]);
    char byte = 0;
    ASSERT_EQ(::read(started[0], &byte, 1), 1);  // blocks until the child runs
    ::close(started[0]);
    // The moment of the kill is the test's input: anywhere within a save or two.
    const timespec pause{0, delay_ns(random)};
    ::nanosleep(&pause, nullptr);
    ASSERT_EQ(::kill(child, SIGKILL), 0);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the saving process failed on its own";

    const Result<std::vector<Row>> rows = ReadListFile(path);
    ASSERT_TRUE(rows.ok()) << "after kill " << kill_number << ": " << rows.message();
    const int found = GenerationOf(rows.value());
    ASSERT_GE(found, generation) << "after kill " << kill_number;
    generation = found;

    // A save cut short leaves at most its temporary file, and that is sealed.
    for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
      if (entry.path() == path) continue;
      ++interrupted_writes;
      EXPECT_NE(test::ReadBytes(entry.path()).substr(0, 3), "LVF") << entry.path();
      std::filesystem::remove(entry.path());
    }
  }
  RecordProperty("generations_saved", generation);
  RecordProperty("interrupted_writes", interrupted_writes);
}

}  // namespace
}  // namespace missivo
