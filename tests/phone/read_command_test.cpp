// The read command against the simulated phone over a real pseudo-terminal,
// with the archive and the phonebook on the real file system.
#include "phone/read_command.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <nlohmann/json.hpp>

#include "archive_watch.h"
#include "phone/com_error.h"
#include "store/list_file.h"
#include "support/phone_link.h"
#include "support/phone_scenario.h"
#include "support/test_support.h"

namespace missivo {
namespace {

using nlohmann::json;
using test::PhoneLink;
using test::SimMessage;
using test::W;

constexpr char kListing[] = "at+cmgl=\"ALL\"";

// Four messages, the draft at an index the options may skip; one contact.
json Phone() {
  return {{"messages",
           {SimMessage(2, "REC READ", "+79161234567", "first"),
            SimMessage(4, "REC UNREAD", "+79160000000", "second"),
            SimMessage(6, "STO SENT", "+79161234567", "reply"),
            SimMessage(9, "STO UNSENT", "+79160000000", "draft")}},
          {"phonebook_range", "1-100,40,24"},
          {"phonebook", {{{"index", 1}, {"number", "+79161234567"}, {"name", "Иван"}}}}};
}

std::vector<std::string> Indexes(const std::vector<Row>& rows) {
  std::vector<std::string> indexes;
  for (const Row& row : rows)
    indexes.push_back(SubItem(row, kIndex));
  return indexes;
}

std::vector<Row> StoredRows(const std::filesystem::path& path) {
  Result<std::vector<Row>> rows = ReadListFile(path);
  EXPECT_TRUE(rows.ok()) << rows.message();
  return rows.ok() ? std::move(rows).value() : std::vector<Row>{};
}

// A read command on the simulated phone with the lists of a program folder.
struct ReadFixture {
  explicit ReadFixture(const json& scenario) : link(scenario.dump()) {
    std::filesystem::create_directories(files.folder);
  }

  ReadCommandResult Run(const ReadCommandOptions& options, AtChannel* channel = nullptr) {
    ReadCommandHooks hooks;
    hooks.wait = [this](std::chrono::milliseconds wait) { waits.push_back(wait); };
    hooks.lists_changed = [this] { ++changes; };
    return RunReadCommand(channel != nullptr ? *channel : link.exchange, guard,
                          {list1, list4, list2}, options, store, link.language, link.ui, hooks);
  }

  // The commands phonesim got after the listing.
  std::vector<std::string> CommandsAfterListing() const {
    const std::vector<std::string> all = link.phone.Commands();
    const auto listing = std::find(all.begin(), all.end(), kListing);
    return listing == all.end() ? all : std::vector<std::string>(listing + 1, all.end());
  }

  PhoneLink link;
  test::TempFolder folder;
  DataFiles files{folder.path()};
  LockState lock;
  DataStore store{folder.path(), lock, DamagePolicy::kSetAside};
  PhoneCommandGuard guard;
  RowList list1 = MakeMessageList();
  RowList list4 = MakeMessageList();
  RowList list2 = MakeContactList();
  std::vector<std::chrono::milliseconds> waits;
  int changes = 0;
};

TEST(ReadCommandTest, WholeReadEndsInAnArchiveFileWithTheRowsAndNames) {
  ReadFixture read(Phone());
  ReadCommandOptions options;
  options.check7 = true;
  const ReadCommandResult result = read.Run(options);

  EXPECT_EQ(result.outcome, ReadCommandOutcome::kDone);
  EXPECT_TRUE(result.port_open);
  EXPECT_EQ(result.messages_read, 4u);
  EXPECT_EQ(result.archived, 4u);
  EXPECT_EQ(result.deleted, 0u);
  EXPECT_EQ(result.contacts, 1u);
  EXPECT_TRUE(result.save.ok());
  EXPECT_EQ(
      read.CommandsAfterListing(),
      (std::vector<std::string>{"AT+CMGR=2", "AT+CMGR=4", "AT+CMGR=6", "AT+CMGR=9", "AT+CSCS=UCS2",
                                "AT+CPBS=\"MT\"", "AT+MPBR=?", "AT+MPBR=1,50", "AT+MPBR=51,100"}));

  // The contact read in this command already names the senders in both lists.
  const std::string ivan = W("Иван (+79161234567)");
  ASSERT_EQ(read.list1.rows.size(), 4u);
  EXPECT_EQ(test::FiveOf(read.list1.rows[0]),
            (Row{"first", {ivan, "01/05/2024,12:00:00", "5", "2", W("Входящие")}, kImageIncoming}));
  EXPECT_EQ(SubItem(read.list1.rows[1], kFrom), "+79160000000");
  EXPECT_EQ(SubItem(read.list1.rows[2], kFrom), ivan);
  EXPECT_EQ(read.list4.rows, read.list1.rows);
  EXPECT_EQ(StoredRows(read.files.archive), read.list4.rows);
  EXPECT_EQ(StoredRows(read.files.phonebook),
            (std::vector<Row>{{W("Иван"), {"+79161234567"}, kImageContact}}));
  EXPECT_EQ(read.waits, (std::vector<std::chrono::milliseconds>{kReadCommandWait}));
  EXPECT_GE(read.changes, 3);
  EXPECT_FALSE(read.guard.Busy());

  // A second read finds every message archived: nothing is appended again.
  read.list1.rows.clear();
  const ReadCommandResult again = read.Run({});
  EXPECT_EQ(again.messages_read, 4u);
  EXPECT_EQ(again.archived, 0u);
  EXPECT_EQ(StoredRows(read.files.archive).size(), 4u);
}

TEST(ReadCommandTest, DeletesOnlyWhatTheSavedArchiveHolds) {
  // An archive that already holds message 4 under its resolved sender, and
  // another message.
  const std::vector<Row> archived = {
      {"second", {W("Пётр (+79160000000)"), "01/05/2024,12:00:00", "6", "4", "x"}, kImageIncoming},
      {"old", {"+7000", "01/01/2020,00:00:00", "3", "1", "x"}, kImageIncoming}};
  const struct {
    const char* name;
    bool check13;
    bool check10;
    std::vector<Row> archive;
    std::vector<std::string> deletes;
    std::size_t archive_rows;  // in the file at the end; 0: no file
  } cases[] = {
      {"archive on, empty archive",
       true,
       true,
       {},
       {"2 archived", "4 archived", "6 archived", "9 archived"},
       4},
      {"archive on, one message archived before",
       true,
       true,
       archived,
       {"2 archived", "4 archived", "6 archived", "9 archived"},
       5},
      {"archive on, drafts not read",
       true,
       false,
       {},
       {"2 archived", "4 archived", "6 archived"},
       3},
      {"archive off: deleted once the list is complete",
       false,
       true,
       {},
       {"2 not archived", "4 not archived", "6 not archived", "9 not archived"},
       0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ReadFixture read(Phone());
    read.list4.rows = c.archive;
    test::ArchiveWatchingChannel channel(read.link.exchange, read.files.archive);
    ReadCommandOptions options;
    options.check6 = true;
    options.check13 = c.check13;
    options.read.check10 = c.check10;
    const ReadCommandResult result = read.Run(options, &channel);

    EXPECT_EQ(channel.deletes, c.deletes);
    EXPECT_EQ(result.deleted, c.deletes.size());
    // Every delete comes after every read.
    const std::vector<std::string> after = read.CommandsAfterListing();
    const auto first_delete = std::find_if(
        after.begin(), after.end(), [](const std::string& s) { return s.starts_with("AT+CMGD="); });
    EXPECT_TRUE(std::none_of(first_delete, after.end(),
                             [](const std::string& s) { return s.starts_with("AT+CMGR="); }));
    if (c.archive_rows == 0) {
      EXPECT_FALSE(std::filesystem::exists(read.files.archive));
    } else {
      EXPECT_EQ(StoredRows(read.files.archive).size(), c.archive_rows);
    }
  }
}

TEST(ReadCommandTest, NothingIsDeletedWhenTheArchiveCannotBeSaved) {
  ReadFixture read(Phone());
  std::filesystem::remove_all(read.files.folder);  // the Data folder has gone
  ReadCommandOptions options;
  options.check6 = true;
  const ReadCommandResult result = read.Run(options);

  EXPECT_FALSE(result.save.ok());
  EXPECT_EQ(result.deleted, 0u);
  // What the result says was saved: nothing.
  EXPECT_EQ(result.archived, 4u);
  EXPECT_EQ(result.archived_saved, 0u);
  EXPECT_FALSE(result.archive_rows.has_value());
  const std::vector<std::string> after = read.CommandsAfterListing();
  EXPECT_TRUE(std::none_of(after.begin(), after.end(),
                           [](const std::string& s) { return s.starts_with("AT+CMGD="); }));
  ASSERT_FALSE(read.link.ui.messages.empty());
  EXPECT_EQ(read.link.ui.messages.front().caption, "I/O Error");
}

TEST(ReadCommandTest, HangUpMidReadKeepsWhatWasReadAndDeletesNothing) {
  for (const bool check13 : {true, false}) {
    SCOPED_TRACE(check13 ? "archive on" : "archive off");
    json scenario = Phone();
    scenario["hang_up_after"] = 7;  // four set-up commands, two reads, then the third
    ReadFixture read(scenario);
    ReadCommandOptions options;
    options.check6 = true;
    options.check7 = true;
    options.check13 = check13;
    EXPECT_THROW((void)read.Run(options), EComError);

    EXPECT_EQ(Indexes(read.list1.rows), (std::vector<std::string>{"2", "4"}));
    if (check13) {
      EXPECT_EQ(Indexes(StoredRows(read.files.archive)), (std::vector<std::string>{"2", "4"}));
    } else {
      EXPECT_FALSE(std::filesystem::exists(read.files.archive));
    }
    for (const std::string& command : read.link.phone.Commands())
      EXPECT_FALSE(command.starts_with("AT+CMGD=")) << command;
    EXPECT_FALSE(read.guard.Busy());
  }
}

TEST(ReadCommandTest, UnusablePhonebookRangeEndsTheCommandAfterKeepingTheMessages) {
  json scenario = Phone();
  scenario["phonebook_range"] = "(1-100),40,24";
  ReadFixture read(scenario);
  read.list2.rows = {{W("Иван"), {"+79161234567"}, kImageContact}};
  ReadCommandOptions options;
  options.check7 = true;
  const ReadCommandResult result = read.Run(options);

  EXPECT_EQ(result.outcome, ReadCommandOutcome::kPhonebookUnusable);
  EXPECT_EQ(result.contacts, std::nullopt);
  // Names are not resolved and there is no wait; the messages read are in the file.
  EXPECT_EQ(SubItem(read.list1.rows[0], kFrom), "+79161234567");
  EXPECT_TRUE(read.waits.empty());
  EXPECT_EQ(Indexes(StoredRows(read.files.archive)),
            (std::vector<std::string>{"2", "4", "6", "9"}));
  EXPECT_FALSE(std::filesystem::exists(read.files.phonebook));
}

TEST(ReadCommandTest, ClosedPortResolvesNamesAndSavesANonEmptyArchive) {
  for (const bool archive_has_rows : {true, false}) {
    SCOPED_TRACE(archive_has_rows ? "archive with rows" : "empty archive");
    ReadFixture read(Phone());
    read.link.port.Close();
    read.list1.rows = {{"kept", {"+79161234567", "", "4", "1", ""}, kImageIncoming}};
    if (archive_has_rows) read.list4.rows = read.list1.rows;
    read.list2.rows = {{W("Иван"), {"+79161234567"}, kImageContact}};
    const ReadCommandResult result = read.Run({});

    EXPECT_FALSE(result.port_open);
    EXPECT_EQ(read.list1.rows.size(), 1u);
    EXPECT_EQ(SubItem(read.list1.rows[0], kFrom), W("Иван (+79161234567)"));
    EXPECT_EQ(std::filesystem::exists(read.files.archive), archive_has_rows);
    EXPECT_TRUE(read.link.phone.Commands().empty());
  }
}

// A user interface that starts a second read command from inside the first,
// as a key press handled while the first lets pending events through would.
class ImpatientUserInterface : public test::ScriptedUserInterface {
 public:
  void ProcessPendingEvents() override {
    test::ScriptedUserInterface::ProcessPendingEvents();
    if (second_start) {
      auto start = std::move(second_start);
      second_start = nullptr;
      second = start();
    }
  }
  std::function<ReadCommandResult()> second_start;
  std::optional<ReadCommandResult> second;
};

TEST(ReadCommandTest, ASecondPhoneCommandIsRefusedWhileOneRuns) {
  ReadFixture read(Phone());
  std::vector<bool> states;
  read.guard.on_change = [&states](bool busy) { states.push_back(busy); };
  ImpatientUserInterface ui;
  RowList other1 = MakeMessageList();
  RowList other4 = MakeMessageList();
  RowList other2 = MakeContactList();
  ui.second_start = [&] {
    EXPECT_TRUE(read.guard.Busy());
    return RunReadCommand(read.link.exchange, read.guard, {other1, other4, other2}, {}, read.store,
                          read.link.language, ui, {.wait = [](auto) {}, .lists_changed = {}});
  };
  const ReadCommandResult first = RunReadCommand(
      read.link.exchange, read.guard, {read.list1, read.list4, read.list2}, {}, read.store,
      read.link.language, ui, {.wait = [](auto) {}, .lists_changed = {}});

  ASSERT_TRUE(ui.second.has_value());
  EXPECT_EQ(ui.second->outcome, ReadCommandOutcome::kBusy);
  EXPECT_TRUE(other1.rows.empty());
  EXPECT_EQ(first.outcome, ReadCommandOutcome::kDone);
  EXPECT_EQ(first.messages_read, 4u);
  // One conversation: the set-up and the listing were sent once.
  const std::vector<std::string> commands = read.link.phone.Commands();
  EXPECT_EQ(std::count(commands.begin(), commands.end(), "at+cmgl=\"ALL\""), 1);
  EXPECT_EQ(states, (std::vector<bool>{true, false}));
  EXPECT_FALSE(read.guard.Busy());

  // Free again: the next command runs.
  const PhoneCommandGuard::Hold hold = read.guard.TryStart();
  EXPECT_TRUE(hold);
  EXPECT_FALSE(read.guard.TryStart());
}

}  // namespace
}  // namespace missivo
