// The read command (with deleting, the archive and the phonebook on) against a
// phone that fails at one command of the conversation: it hangs up, answers
// "ERROR" or "+CMS ERROR: 321", or never answers. The cases come from the
// commands of a run without faults, one case per fault and command. Each prints
// its row of the fault table.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <iostream>
#include <set>

#include "archive_watch.h"
#include "phone/com_error.h"
#include "phone/read_command.h"
#include "store/list_file.h"
#include "support/phone_link.h"
#include "support/read_faults.h"

namespace missivo {
namespace {

using test::PhoneFault;

constexpr auto kSilenceLimit = std::chrono::milliseconds(300);

struct FaultRun {
  explicit FaultRun(const nlohmann::json& phone) : link(phone.dump()) {
    link.exchange.SetSilenceLimit(kSilenceLimit);
    test::WriteOldDataFiles(files);
    (void)store.archive().Load(list4.rows);
    (void)store.phonebook().Load(list2.rows);
  }

  // Runs the command; what ended it: "done", "phonebook unusable" or the error.
  std::string Start() {
    ReadCommandOptions options;
    options.check6 = true;
    options.check7 = true;
    options.check13 = true;
    ReadCommandHooks hooks;
    hooks.wait = [](std::chrono::milliseconds) {};
    try {
      const ReadCommandResult result = RunReadCommand(watch, guard, {list1, list4, list2}, options,
                                                      store, link.language, link.ui, hooks);
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
  test::ArchiveWatchingChannel watch{link.exchange, files.archive};
  PhoneCommandGuard guard;
  RowList list1 = MakeMessageList();
  RowList list4 = MakeMessageList();
  RowList list2 = MakeContactList();
};

// The commands, messages and contacts of a run without faults.
struct FaultFreeRun {
  std::vector<std::string> commands;
  std::vector<Row> messages;
  std::vector<Row> contacts;
};

const FaultFreeRun& Reference() {
  static const FaultFreeRun reference = [] {
    FaultRun run(test::FaultPhone());
    EXPECT_EQ(run.Start(), "done");
    FaultFreeRun made{run.link.phone.Commands(), run.list1.rows, run.list2.rows};
    EXPECT_EQ(made.messages.size(), 2u);
    EXPECT_EQ(made.contacts.size(), 2u);
    return made;
  }();
  return reference;
}

class ReadFaultMatrix : public ::testing::TestWithParam<PhoneFault> {};

TEST_P(ReadFaultMatrix, NothingIsLostAndNothingUnarchivedLeavesThePhone) {
  const PhoneFault fault = GetParam();
  const FaultFreeRun& reference = Reference();
  // Set-up (3), listing, two reads, two deletes, phonebook set-up (2), range, two batches.
  ASSERT_EQ(reference.commands.size(), 13u);

  for (std::size_t k = 0; k < reference.commands.size(); ++k) {
    const std::string& command = reference.commands[k];
    SCOPED_TRACE(std::string(test::FaultName(fault)) + " at command " + std::to_string(k + 1) +
                 " " + command);
    FaultRun run(test::WithFault(test::FaultPhone(), fault, static_cast<int>(k + 1)));
    const std::string ended = run.Start();

    // The command ends by a port error exactly when the phone stopped talking.
    EXPECT_EQ(ended.starts_with("port error"), !test::PortStaysOpen(fault)) << ended;
    EXPECT_EQ(run.link.port.Active(), test::PortStaysOpen(fault));
    EXPECT_FALSE(run.guard.Busy());

    const test::DataFilesAfter after =
        test::CheckDataFiles(run.files, reference.messages, reference.contacts);
    for (const std::string& problem : after.problems)
      ADD_FAILURE() << problem;

    // Every delete sent named a message the archive file held at that moment,
    // and the phone got no other.
    for (const std::string& note : run.watch.deletes)
      EXPECT_TRUE(note.ends_with(" archived") && !note.ends_with("not archived")) << note;
    const std::vector<std::string> deleted = test::DeletedOnPhone(run.link.phone);
    EXPECT_EQ(deleted.size(), run.watch.deletes.size());
    for (const std::string& index : deleted)
      EXPECT_TRUE(test::HoldsIndex(after.archive, index)) << index;

    std::cout << "| " << k + 1 << " `" << command << "` | " << test::FaultName(fault) << " | "
              << ended << "; port " << (run.link.port.Active() ? "open" : "closed") << "; archive +"
              << after.new_messages << "; deleted " << deleted.size() << "; phonebook "
              << after.phonebook << " |\n";
  }
}

INSTANTIATE_TEST_SUITE_P(Faults, ReadFaultMatrix, ::testing::ValuesIn(test::kPhoneFaults),
                         [](const ::testing::TestParamInfo<PhoneFault>& p) {
                           return test::FaultIdentifier(p.param);
                         });

}  // namespace
}  // namespace missivo
