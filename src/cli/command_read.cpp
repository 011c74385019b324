// missivo-cli read: the window's read command on a serial device.
#include <cerrno>
#include <chrono>
#include <string>

#include "cli/commands.h"
#include "cli/phone_port.h"
#include "cli/program_session.h"
#include "phone/device_identity.h"
#include "phone/read_command.h"

namespace missivo::cli {
namespace {

// "read 12 messages, 3 new in the archive (57 rows), phonebook 40 contacts"
std::string Summary(const ReadCommandResult& result, const ReadCommandOptions& options,
                    std::size_t archive_rows) {
  std::string line = "read " + Counted(result.messages_read, "message");
  if (options.check13) {
    line += ", " + std::to_string(result.archived) + " new in the archive";
  } else {
    line += ", none added to the archive";
  }
  line += " (" + Counted(archive_rows, "row") + ")";
  if (options.check6) line += ", " + std::to_string(result.deleted) + " deleted on the phone";
  if (result.contacts) line += ", phonebook " + Counted(*result.contacts, "contact");
  return line + "\n";
}

}  // namespace

int RunRead(const CommandLine& line, TerminalUserInterface& ui) {
  if (!line.operands.empty()) throw CliError("read takes no operand", kExitUsage);
  PhonePort phone(line, ui, "read");
  ConnectionProfile profile(PhoneKindOf(line));
  ReadCommandOptions options;
  options.check6 = line.Has("delete");
  options.check7 = line.Has("phonebook");
  options.check13 = !line.Has("no-archive");
  options.read.check8 = !line.Has("skip-incoming");
  options.read.check9 = !line.Has("skip-outgoing");
  options.read.check10 = !line.Has("skip-drafts");

  TakePasswordFile(line, ui);
  ProgramSession session(ProgramFolderOf(line), ui, /*make_data_folder=*/true, LockWaitOf(line));
  RowList list1 = MakeMessageList();
  RowList list4 = session.LoadArchive();
  RowList list2 = session.LoadPhonebook();

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
  } catch (const CliError& error) {
    // A failure while the folder lock was not free says so, with its own status.
    if (error.status() != kExitFailure) throw;
    throw session.SaveFailure(error.message());
  }
  WriteOut(Summary(result, options, list4.rows.size()));
  if (result.outcome == ReadCommandOutcome::kPhonebookUnusable) {
    throw CliError("the phone's phonebook range could not be read; the read ended there");
  }
  if (!result.save.ok()) {
    throw session.SaveFailure(
        "a data file could not be saved; no message was deleted on the phone that the saved "
        "archive does not hold");
  }
  if (StopRequested()) throw CliError(kStoppedText, kExitInterrupted);
  return kExitOk;
}

}  // namespace missivo::cli
