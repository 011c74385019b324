// missivo-cli read: the window's read command on a serial device.
#include <cerrno>
#include <string>

#include "cli/commands.h"
#include "cli/program_session.h"
#include "phone/at_exchange.h"
#include "phone/com_port.h"
#include "phone/read_command.h"

namespace missivo::cli {
namespace {

// The exchange's copy of the traffic; the command line shows none of it.
class NoTerminal : public TerminalSink {
 public:
  void AppendLine(const std::string&) override {}
};

std::string PortFailure(const EComError& error, const std::string& device,
                        std::chrono::milliseconds silence) {
  switch (error.ErrorCode()) {
    case kErrorNoDevice:
      return "no such device: " + device;
    case kErrorBusy:
      return "device busy: " + device + " is in use by another program";
    case EACCES:
      return error.what();  // names the group that owns the device
    case kErrorDeviceNotWorking:
      return "the device stopped working (unplugged?): " + device;
    case 0:
      if (std::string(error.what()) == kTimeoutMessage) {
        return "time-out: the phone on " + device + " sent nothing for " +
               std::to_string(silence.count() / 1000) + " s";
      }
      return device + ": " + error.what();
    default:
      return device + ": " + error.what();
  }
}

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
  const std::string device = line.Value("device").value_or("");
  if (device.empty()) throw CliError("read needs --device PATH", kExitUsage);
  if (!line.operands.empty()) throw CliError("read takes no operand", kExitUsage);
  const long speed =
      line.Has("speed") ? ParseNumberOption("speed", *line.Value("speed"), 50, 4000000) : 115200;
  const long timeout =
      line.Has("timeout") ? ParseNumberOption("timeout", *line.Value("timeout"), 1, 3600) : 30;
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

  TComPort port;
  NoTerminal terminal;
  AtExchange exchange(port, terminal, ui, session.language());
  exchange.SetSilenceLimit(std::chrono::seconds(timeout));
  port.SetBaudRate(TBaudRate::brCustom);
  port.SetCustomBaudRate(static_cast<std::int32_t>(speed));
  port.SetDeviceName(device);
  PhoneCommandGuard guard;
  ReadCommandResult result;
  try {
    port.Open();
    result = RunReadCommand(exchange, guard, {list1, list4, list2}, options, session.store(),
                            session.language(), ui);
  } catch (const EComError& error) {
    std::string message = PortFailure(error, device, exchange.SilenceLimit());
    if (options.check13 && !list1.rows.empty()) {
      message +=
          "; kept in the archive: " + Counted(list1.rows.size(), "message") + " read before it";
    }
    port.Close();
    throw session.SaveFailure(message);
  }
  port.Close();
  WriteOut(Summary(result, options, list4.rows.size()));
  if (result.outcome == ReadCommandOutcome::kPhonebookUnusable) {
    throw CliError("the phone's phonebook range could not be read; the read ended there");
  }
  if (!result.save.ok()) {
    throw session.SaveFailure(
        "a data file could not be saved; no message was deleted on the phone that the saved "
        "archive does not hold");
  }
  return kExitOk;
}

}  // namespace missivo::cli
