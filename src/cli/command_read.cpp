// missivo-cli read: the window's read command on a serial device.
#include <cerrno>
#include <chrono>
#include <functional>
#include <string>

#include "cli/commands.h"
#include "cli/phone_port.h"
#include "cli/program_session.h"
#include "phone/device_identity.h"
#include "phone/read_command.h"

namespace missivo::cli {
namespace {

// "read 12 messages, 3 new in the archive (57 rows), phonebook 40 contacts",
// saying only what the saved archive holds: "read 6 messages, none saved in
// the archive". Messages that could not be read or decoded are named.
std::string Summary(const ReadCommandResult& result, const ReadCommandOptions& options,
                    std::size_t loaded_rows) {
  std::string line = "read " + Counted(result.messages_read, "message");
  if (options.check13 && result.archived_saved == 0 && result.archived > 0) {
    line += ", none saved in the archive";
  } else if (options.check13) {
    line += ", " + std::to_string(result.archived_saved) + " new in the archive";
  } else {
    line += ", none added to the archive";
  }
  if (const std::size_t rows = result.archive_rows.value_or(loaded_rows);
      result.archive_rows || result.archived == 0) {
    line += " (" + Counted(rows, "row") + ")";
  }
  if (options.check6) line += ", " + std::to_string(result.deleted) + " deleted on the phone";
  if (result.unreadable > 0) {
    line +=
        ", " + Counted(result.unreadable, "message") +
        (result.unreadable == 1 ? " could not be read and stays" : " could not be read and stay") +
        " on the phone";
  }
  if (result.contacts) line += ", phonebook " + Counted(*result.contacts, "contact");
  return line + "\n";
}

// The phone refused to list messages: what was not read, and what it said.
std::string RefusalText(const ReadCommandResult& result) {
  return "the phone refused to list its messages" +
         (result.refused_storage.empty() ? std::string() : " in " + result.refused_storage) + ": " +
         result.refusal + "; they stay on the phone unread";
}

}  // namespace

void ReadDevice(const CommandLine& line, const std::string& device, TerminalUserInterface& ui,
                const std::function<void(const std::string&)>& report) {
  PhonePort phone(line, ui, "read", device);
  ConnectionProfile profile(PhoneKindOf(line));
  ReadCommandOptions options;
  options.check6 = line.Has("delete");
  options.check7 = line.Has("phonebook");
  options.check13 = !line.Has("no-archive");
  options.read.check8 = !line.Has("skip-incoming");
  options.read.check9 = !line.Has("skip-outgoing");
  options.read.check10 = !line.Has("skip-drafts");

  ProgramSession session(ProgramFolderOf(line), ui, /*make_data_folder=*/true, LockWaitOf(line));
  RowList list1 = MakeMessageList();
  RowList list4 = session.LoadArchive();
  RowList list2 = session.LoadPhonebook();
  const std::size_t loaded_rows = list4.rows.size();

  PhoneCommandGuard guard;
  ReadCommandResult result;
  try {
    phone.Run(
        [&](AtChannel& channel) {
          result = RunReadCommand(channel, profile, guard, {list1, list4, list2}, options,
                                  session.store(), session.language(), ui);
        },
        [&](std::string& message) {
          // What was read before a failure or a stop is in the saved archive.
          if (options.check13 && !list1.rows.empty()) {
            message += "; kept in the archive: " + Counted(list1.rows.size(), "message") +
                       " read before it";
          }
        });
  } catch (const DeviceRefused&) {
    throw;
  } catch (const CliError& error) {
    // A failure while the folder lock was not free says so, with its own status.
    if (error.status() != kExitFailure) throw;
    throw session.SaveFailure(error.message());
  }
  report(Summary(result, options, loaded_rows));
  if (result.outcome == ReadCommandOutcome::kPhonebookUnusable) {
    throw CliError("the phone's phonebook range could not be read; the read ended there");
  }
  if (!result.save.ok()) {
    throw session.SaveFailure(
        "a data file could not be saved; no message was deleted on the phone that the saved "
        "archive does not hold");
  }
  if (StopRequested()) throw CliError(kStoppedText, kExitInterrupted);
  if (!result.refusal.empty()) {
    if (result.busy) throw PhoneBusy(RefusalText(result));
    throw CliError(RefusalText(result));
  }
}

int RunRead(const CommandLine& line, TerminalUserInterface& ui) {
  if (!line.operands.empty()) throw CliError("read takes no operand", kExitUsage);
  const std::string device = line.Value("device").value_or("");
  // The command line is checked before the password file is read.
  (void)PhonePort(line, ui, "read", device);
  TakePasswordFile(line, ui);
  ReadDevice(line, device, ui, [](const std::string& summary) { WriteOut(summary); });
  return kExitOk;
}

}  // namespace missivo::cli
