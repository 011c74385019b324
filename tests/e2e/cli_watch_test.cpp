// missivo-cli watch against phonesim: the phone plugged in (a device link
// that appears), plugged in again with new messages, held by another program,
// an archive locked with the program password, and a stop in the middle of a read.
#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "archive_check.h"
#include "cli_runner.h"
#include "phone/serial/com_port.h"
#include "store/data_files.h"
#include "support/phone_fixture.h"
#include "support/phone_scenario.h"
#include "support/test_support.h"

namespace missivo {
namespace {

using nlohmann::json;
using test::ArchiveTexts;
using test::CliRun;

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
    lines.push_back(text.substr(start, end - start));
  return lines;
}

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// The phone as plugged in: the link `link` to its device appears.
void PlugIn(const std::filesystem::path& link, const test::PhoneSim& phone) {
  std::filesystem::remove(link);
  std::filesystem::create_symlink(phone.Device(), link);
}

class CliWatchTest : public ::testing::Test {
 protected:
  CliWatchTest() { std::filesystem::create_directories(program); }

  // missivo-cli watch with `args`; `step` acts on the output so far and says
  // when to send SIGTERM.
  CliRun Watch(std::vector<std::string> args, std::function<bool(const CliRun&)> step,
               std::optional<std::string> typed = std::nullopt) const {
    args.insert(args.begin(), {"--folder", program.string(), "watch"});
    return test::RunCli(args, home.path(), std::move(typed), std::chrono::seconds(60),
                        test::CliSignal{SIGTERM, std::move(step)});
  }

  test::TempFolder home;
  std::filesystem::path program = home / "program";
  DataFiles files{program};
};

TEST_F(CliWatchTest, ReadsThePhoneEachTimeItIsPluggedIn) {
  const std::filesystem::path link = home / "phone";
  json first = {{"messages", test::UniqueMessages("W", 3)}};
  json second = {{"messages", test::UniqueMessages("W", 5)}};  // the same three and two new
  std::optional<test::PhoneSim> phone;
  int step = 0;
  const CliRun run = Watch({"--device", link.string()}, [&](const CliRun& so_far) {
    const std::size_t reads = Lines(so_far.out).size();
    if (step == 0 && Contains(so_far.err, "waiting for")) {
      phone.emplace(first.dump());
      PlugIn(link, *phone);
      ++step;
    } else if (step == 1 && reads == 1) {
      // Unplugged and plugged in again at once: the link is replaced.
      phone.reset();
      phone.emplace(second.dump());
      PlugIn(link, *phone);
      ++step;
    }
    return step == 2 && reads == 2;
  });
  EXPECT_EQ(run.status, 0) << run.err;
  const std::vector<std::string> lines = Lines(run.out);
  ASSERT_EQ(lines.size(), 2u) << run.out << run.err;
  const std::string stamp = R"(^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d )";
  EXPECT_TRUE(std::regex_search(
      lines[0],
      std::regex(stamp + link.string() + R"(: read 3 messages, 3 new in the archive \(3 rows\)$)")))
      << lines[0];
  EXPECT_TRUE(std::regex_search(
      lines[1],
      std::regex(stamp + link.string() + R"(: read 5 messages, 2 new in the archive \(5 rows\)$)")))
      << lines[1];
  EXPECT_EQ(ArchiveTexts(files), (std::multiset<std::string>{"W 1", "W 2", "W 3", "W 4", "W 5"}));
  EXPECT_TRUE(Contains(run.err, "stopped by a signal")) << run.err;
}

// SIGTERM while the phone trickles a reply (it never falls silent): the watch
// saves what it read, deletes nothing more on the phone and ends with 0; the
// archive opens and holds every message deleted on the phone.
TEST_F(CliWatchTest, StopInTheMiddleOfAReadKeepsEverythingDeleted) {
  const struct {
    const char* name;
    const char* trickled;   // the command whose reply trickles
    std::size_t rows_kept;  // archive rows
    std::vector<int> deleted;
  } cases[] = {
      {"while reading the third message", "AT+CMGR=3", 2, {}},
      {"while deleting the second message", "AT+CMGD=2", 4, {1, 2}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove_all(files.folder);
    json scenario = {
        {"messages", test::UniqueMessages("T", 4)},
        {"faults", {{{"command", c.trickled}, {"action", "trickle"}, {"interval_ms", 200}}}}};
    test::PhoneSim phone(scenario.dump());
    const CliRun run = Watch({"--device", phone.Device(), "--delete"}, [&](const CliRun&) {
      const std::vector<std::string> commands = phone.Commands();
      return std::find(commands.begin(), commands.end(), c.trickled) != commands.end();
    });
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_LT(run.after_signal, std::chrono::seconds(10));
    EXPECT_TRUE(Contains(run.err, "the messages read are saved")) << run.err;
    const std::multiset<std::string> archive = ArchiveTexts(files);
    EXPECT_EQ(archive.size(), c.rows_kept);
    EXPECT_EQ(test::DeletedIndexes(phone.Commands()), c.deleted);
    test::ExpectDeletedAreArchived(phone, "T", archive);
    for (const auto& entry : std::filesystem::directory_iterator(files.folder))
      EXPECT_FALSE(Contains(entry.path().filename().string(), ".tmp")) << entry.path();
  }
}

// Another program holds the port: the watch says so once and reads when it
// has let go, while the phone stays plugged in.
TEST_F(CliWatchTest, ADeviceHeldByAnotherProgramIsTriedAgain) {
  test::PhoneSim phone(json{{"messages", test::UniqueMessages("B", 2)}}.dump());
  auto holder = std::make_unique<TComPort>();
  holder->SetDeviceName(phone.Device());
  holder->Open();
  const CliRun run = Watch({"--device", phone.Device(), "--retry", "1"}, [&](const CliRun& so_far) {
    if (holder && Contains(so_far.err, "device busy")) holder.reset();
    return !Lines(so_far.out).empty();
  });
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(Contains(run.out, "read 2 messages, 2 new")) << run.out;
  const std::string said = "device busy";
  EXPECT_EQ(run.err.find(said), run.err.rfind(said)) << "said more than once: " << run.err;
}

// A SIM that is busy for a while after the phone starts refuses the listing:
// the watch says so once and reads when the SIM is ready, the phone still
// plugged in.
TEST_F(CliWatchTest, ABusySimIsTriedAgain) {
  const json scenario = {
      {"messages", test::UniqueMessages("S", 2)},
      {"faults",
       {{{"command", "at+cmgl*"}, {"action", "cms_error"}, {"code", 314}, {"times", 2}}}}};
  test::PhoneSim phone(scenario.dump());
  const CliRun run = Watch({"--device", phone.Device(), "--retry", "1"}, [&](const CliRun& so_far) {
    return Contains(so_far.out, "2 new in the archive");
  });
  EXPECT_EQ(run.status, 0) << run.err;
  const std::vector<std::string> lines = Lines(run.out);
  ASSERT_EQ(lines.size(), 3u) << run.out;
  EXPECT_TRUE(Contains(lines[0], "read 0 messages")) << lines[0];
  EXPECT_TRUE(Contains(lines[2], "read 2 messages, 2 new in the archive (2 rows)")) << lines[2];
  const std::string said = "(SIM busy); they stay on the phone unread; trying again every 1 s";
  EXPECT_TRUE(Contains(run.err, said)) << run.err;
  EXPECT_EQ(run.err.find(said), run.err.rfind(said)) << "said more than once: " << run.err;
  EXPECT_EQ(ArchiveTexts(files), (std::multiset<std::string>{"S 1", "S 2"}));
}

// A locked archive and no password: nothing is asked on the terminal; the
// watch says the archive is locked and waits, and reads once the setting names
// a password file.
TEST_F(CliWatchTest, ALockedArchiveWaitsForAPasswordFile) {
  const std::string password = test::W("пароль");
  test::WriteLockedArchive(program, password);
  test::PhoneSim phone(json{{"messages", test::UniqueMessages("L", 2)}}.dump());
  bool named = false;
  const CliRun run = Watch(
      {"--device", phone.Device(), "--retry", "1"},
      [&](const CliRun& so_far) {
        if (!named && Contains(so_far.err, "locked with the program password")) {
          test::WriteBytes(home / "secret", "пароль\n");
          std::filesystem::permissions(home / "secret", std::filesystem::perms::owner_read |
                                                            std::filesystem::perms::owner_write);
          std::filesystem::create_directories(home / "config" / "Missivo");
          test::WriteBytes(home / "config" / "Missivo" / "Missivo.conf",
                           "[Missivo]\nWatchPasswordFile=" + (home / "secret").string() + "\n");
          named = true;
        }
        return !Lines(so_far.out).empty();
      },
      "wrong");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_FALSE(Contains(run.terminal, "Password")) << run.terminal;
  EXPECT_TRUE(Contains(run.out, "read 2 messages, 2 new in the archive (3 rows)")) << run.out;
  EXPECT_EQ(ArchiveTexts(files, password), (std::multiset<std::string>{"start", "L 1", "L 2"}));
}

}  // namespace
}  // namespace missivo
