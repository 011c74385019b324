// The read command on a standard device (a USB stick with long messages in two
// storages, a status report and an incomplete message; deleting, the archive
// and the phonebook on) against a phone that fails at one command of the
// conversation, identification included: it hangs up, answers "ERROR" or
// "+CMS ERROR: 321", or never answers. Each case prints its row of the fault
// table. Every case must end with an archive that opens and holds every
// message read (a long one whole or with gaps, never broken otherwise), and
// with no part deleted on the phone whose message the archive file did not
// hold at that moment.
#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>
#include <map>

#include "phone/com_error.h"
#include "phone/read_command.h"
#include "phone/standard/message_parts.h"
#include "phone/standard/standard_profile.h"
#include "store/archive.h"
#include "store/list_file.h"
#include "support/phone_link.h"
#include "support/read_faults.h"
#include "support/standard_phones.h"

namespace missivo {
namespace {

using test::PhoneFault;

// Long enough for a phone on a busy machine, short enough for the silences.
constexpr auto kSilenceLimit = std::chrono::milliseconds(800);

nlohmann::json FaultStick() {
  nlohmann::json stick = test::UsbStick();
  stick["standard"]["phonebook_size"] = 60;  // two batches in each contact storage
  return stick;
}

// Whether a row holds (all or part of) the text of the message `whole`: the
// message itself, an earlier form of it with gaps, or, read in text mode
// where parts cannot be joined, one of its parts.
bool HoldsTextOf(const Row& row, const std::string& whole) {
  return row.caption == whole || IsEarlierFormOf(row.caption, whole) ||
         (!row.caption.empty() && whole.find(row.caption) != std::string::npos);
}

// Passes commands on and, at every "AT+CMGD=", notes whether the archive file
// on disk holds the message of the part about to go (in the storage selected
// last; at first the device's own, "SM").
class DeleteWatch : public AtChannel {
 public:
  DeleteWatch(AtChannel& inner, std::filesystem::path archive,
              std::map<std::string, std::string> captions)
      : inner_(inner), archive_(std::move(archive)), captions_(std::move(captions)) {}

  void ExchangeCommand(const std::string& command, std::string& reply) override {
    Note(command);
    inner_.ExchangeCommand(command, reply);
  }
  void ExchangeQuietly(const std::string& command, std::string& reply) override {
    Note(command);
    inner_.ExchangeQuietly(command, reply);
  }
  bool IsOpen() const override { return inner_.IsOpen(); }

  std::vector<std::string> deletes;  // "SM 1 archived", "ME 7 not archived"

 private:
  void Note(std::string command) {
    while (!command.empty() && (command.back() == '\r' || command.back() == '\n'))
      command.pop_back();
    if (command.starts_with("AT+CPMS=\"")) storage_ = command.substr(9, 2);
    if (!command.starts_with("AT+CMGD=")) return;
    const std::string slot = storage_ + " " + command.substr(8);
    const auto caption = captions_.find(slot);
    const Result<std::vector<Row>> stored = ReadListFile(archive_);
    const bool held =
        caption != captions_.end() && stored.ok() &&
        std::any_of(stored.value().begin(), stored.value().end(),
                    [&](const Row& row) { return HoldsTextOf(row, caption->second); });
    deletes.push_back(slot + (held ? " archived" : " not archived"));
  }

  AtChannel& inner_;
  std::filesystem::path archive_;
  std::map<std::string, std::string> captions_;  // "SM 2" -> the caption of its whole message
  std::string storage_ = "SM";
};

// The whole messages of the stick and where each part lives.
struct StickMessages {
  std::vector<Row> rows;
  std::map<std::string, std::string> captions;
};

const StickMessages& Whole() {
  static const StickMessages whole = [] {
    test::PhoneLink link(FaultStick().dump());
    ConnectionProfile profile;
    const MessageReadResult read =
        profile.Get(link.exchange).ReadMessages(link.exchange, {}, link.language, link.ui);
    StickMessages made{read.rows, {}};
    // Every part, those of a message that has not all come included.
    for (const Row& row : read.rows) {
      for (const PhoneSlot& slot : SlotsOfRow(row))
        made.captions[slot.storage + " " + slot.index] = row.caption;
    }
    return made;
  }();
  return whole;
}

struct FaultRun {
  explicit FaultRun(const nlohmann::json& phone) : link(phone.dump()) {
    link.exchange.SetSilenceLimit(kSilenceLimit);
    test::WriteOldDataFiles(files);
    // Loaded through the store, as the programs do, so it knows what the files held.
    EXPECT_EQ(store.archive().Load(list4.rows).outcome, ListLoad::Outcome::kLoaded);
    EXPECT_EQ(store.phonebook().Load(list2.rows).outcome, ListLoad::Outcome::kLoaded);
  }

  std::string Start() {
    ReadCommandOptions options;
    options.check6 = true;
    options.check7 = true;
    options.check13 = true;
    ReadCommandHooks hooks;
    hooks.wait = [](std::chrono::milliseconds) {};
    try {
      const ReadCommandResult result =
          RunReadCommand(watch, profile, guard, {list1, list4, list2}, options, store,
                         link.language, link.ui, hooks);
      return result.outcome == ReadCommandOutcome::kDone ? "done" : "phonebook unusable";
    } catch (const EComError& e) {
      return "port error " + std::to_string(e.ErrorCode());
    }
  }

  test::PhoneLink link;
  test::TempFolder folder;
  DataFiles files{folder.path()};
  LockState lock;
  DataStore store{folder.path(), lock, DamagePolicy::kSetAside};
  DeleteWatch watch{link.exchange, files.archive, Whole().captions};
  ConnectionProfile profile;
  PhoneCommandGuard guard;
  RowList list1 = MakeMessageList();
  RowList list4 = MakeMessageList();
  RowList list2 = MakeContactList();
};

// Problems with the archive file: it must open, keep the old rows, and hold
// besides only messages of the phone, each once: whole, in an earlier form
// with gaps, or (read in text mode) as their parts. Sets `whole_rows` to the
// messages it holds as a read without faults makes them.
std::vector<std::string> ArchiveProblems(const DataFiles& files, std::size_t& whole_rows) {
  std::vector<std::string> problems;
  const Result<std::vector<Row>> archive = ReadListFile(files.archive);
  if (!archive.ok()) return {"the archive does not open: " + archive.message()};
  const std::vector<Row> old = test::OldArchive();
  if (archive.value().size() < old.size() ||
      !std::equal(old.begin(), old.end(), archive.value().begin())) {
    problems.push_back("old archive rows changed");
  }
  std::vector<std::string> seen;
  whole_rows = 0;
  for (std::size_t i = old.size(); i < archive.value().size(); ++i) {
    const Row& row = archive.value()[i];
    const bool whole = std::any_of(Whole().rows.begin(), Whole().rows.end(),
                                   [&](const Row& w) { return w.caption == row.caption; });
    const bool of_phone = std::any_of(Whole().rows.begin(), Whole().rows.end(),
                                      [&](const Row& w) { return HoldsTextOf(row, w.caption); });
    if (!of_phone) problems.push_back("a row that is no message of the phone: " + row.caption);
    if (std::find(seen.begin(), seen.end(), row.caption) != seen.end())
      problems.push_back("a message archived twice: " + row.caption);
    seen.push_back(row.caption);
    if (whole) ++whole_rows;
  }
  return problems;
}

const std::vector<std::string>& ReferenceCommands() {
  static const std::vector<std::string> commands = [] {
    FaultRun run(FaultStick());
    EXPECT_EQ(run.Start(), "done");
    std::size_t whole = 0;
    EXPECT_TRUE(ArchiveProblems(run.files, whole).empty());
    EXPECT_EQ(whole, 5u);  // the incomplete one with its gap among them
    EXPECT_EQ(run.list2.rows.size(), 2u);
    EXPECT_EQ(run.watch.deletes.size(), 5u);
    return run.link.phone.Commands();
  }();
  return commands;
}

class StandardFaultMatrix : public ::testing::TestWithParam<PhoneFault> {};

TEST_P(StandardFaultMatrix, NothingIsLostAndNothingUnarchivedLeavesThePhone) {
  const PhoneFault fault = GetParam();
  const std::vector<std::string>& commands = ReferenceCommands();
  ASSERT_GT(commands.size(), 20u);
  for (std::size_t k = 0; k < commands.size(); ++k) {
    SCOPED_TRACE(std::string(test::FaultName(fault)) + " at command " + std::to_string(k + 1) +
                 " " + commands[k]);
    FaultRun run(test::WithFault(FaultStick(), fault, static_cast<int>(k + 1)));
    const std::string ended = run.Start();
    EXPECT_EQ(ended.starts_with("port error"), !test::PortStaysOpen(fault)) << ended;
    EXPECT_EQ(run.link.port.Active(), test::PortStaysOpen(fault));
    EXPECT_FALSE(run.guard.Busy());

    std::size_t whole = 0;
    for (const std::string& problem : ArchiveProblems(run.files, whole))
      ADD_FAILURE() << problem;
    const Result<std::vector<Row>> phonebook = ReadListFile(run.files.phonebook);
    EXPECT_TRUE(phonebook.ok());
    for (const std::string& note : run.watch.deletes)
      EXPECT_TRUE(note.ends_with(" archived") && !note.ends_with("not archived")) << note;

    std::cout << "| " << k + 1 << " `" << commands[k] << "` | " << test::FaultName(fault) << " | "
              << ended << "; port " << (run.link.port.Active() ? "open" : "closed")
              << "; messages archived " << whole << "; parts deleted " << run.watch.deletes.size()
              << " |\n";
  }
}

INSTANTIATE_TEST_SUITE_P(Faults, StandardFaultMatrix, ::testing::ValuesIn(test::kPhoneFaults),
                         [](const ::testing::TestParamInfo<PhoneFault>& p) {
                           return test::FaultIdentifier(p.param);
                         });

}  // namespace
}  // namespace missivo
