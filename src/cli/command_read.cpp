// missivo-cli read: the window's read command on a serial device.
#include <cerrno>
#include <chrono>
#include <string>

#include "cli/commands.h"
#include "cli/program_session.h"
#include "cli/terminal_ui.h"
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
                        const AtExchange& exchange) {
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
      if (std::string(error.what()) != kTimeoutMessage) return device + ": " + error.what();
      if (exchange.CommandLimitReached()) {
        return "time-out: the phone on " + device + " did not finish its reply within " +
               std::to_string(exchange.CommandLimit().count() / 1000) + " s";
      }
      return "time-out: the phone on " + device + " sent nothing for " +
             std::to_string(exchange.SilenceLimit().count() / 1000) + " s";
    default:
      return device + ": " + error.what();
  }
}

bool IsStop(const EComError& error) {
  return error.ErrorCode() == EINTR && std::string(error.what()) == kStoppedMessage;
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
  const long reply_time =
      line.Has("reply-time")
          ? ParseNumberOption("reply-time", *line.Value("reply-time"), 1, 86400)
          : std::chrono::duration_cast<std::chrono::seconds>(AtExchange::kDefaultCommandLimit)
                .count();
  ReadCommandOptions options;
  options.check6 = line.Has("delete");
  options.check7 = line.Has("phonebook");
  options.check13 = !line.Has("no-archive");
  options.read.check8 = !line.Has("skip-incoming");
  options.read.check9 = !line.Has("skip-outgoing");
  options.read.check10 = !line.Has("skip-drafts");

  TakePasswordFile(line, ui);
  ProgramSession session(ProgramFolderOf(line), ui, /*make_data_folder=*/true);
  RowList list1 = MakeMessageList();
  RowList list4 = session.LoadArchive();
  RowList list2 = session.LoadPhonebook();

  TComPort port;
  NoTerminal terminal;
  AtExchange exchange(port, terminal, ui, session.language());
  exchange.SetSilenceLimit(std::chrono::seconds(timeout));
  exchange.SetCommandLimit(std::chrono::seconds(reply_time));
  // Ctrl-C ends a wait for the phone at once, and nothing more is sent.
  port.SetStopDescriptor(StopDescriptor());
  port.OnError = [](TCustomComPort&, const EComError& error, TComAction&) {
    if (IsStop(error)) NoteStopDelivered();
  };
  port.SetBaudRate(TBaudRate::brCustom);
  port.SetCustomBaudRate(static_cast<std::int32_t>(speed));
  port.SetDeviceName(device);
  PhoneCommandGuard guard;
  ReadCommandResult result;
  // What was read before a failure or a stop is in the saved archive.
  const auto kept = [&] {
    return options.check13 && !list1.rows.empty()
               ? "; kept in the archive: " + Counted(list1.rows.size(), "message") +
                     " read before it"
               : std::string();
  };
  try {
    port.Open();
    result = RunReadCommand(exchange, guard, {list1, list4, list2}, options, session.files(),
                            session.language(), ui);
  } catch (const EComError& error) {
    port.Close();
    if (IsStop(error)) throw CliError(kStoppedText + kept(), kExitInterrupted);
    std::string message = PortFailure(error, device, exchange) + kept();
    session.Close();
    throw CliError(message);
  } catch (const CliError& error) {
    if (error.status() != kExitInterrupted) throw;
    throw CliError(kStoppedText + kept(), kExitInterrupted);
  }
  port.Close();
  session.Close();
  WriteOut(Summary(result, options, list4.rows.size()));
  if (result.outcome == ReadCommandOutcome::kPhonebookUnusable) {
    throw CliError("the phone's phonebook range could not be read; the read ended there");
  }
  if (!result.save.ok()) throw CliError("a data file could not be saved");
  if (StopRequested()) throw CliError(kStoppedText, kExitInterrupted);
  return kExitOk;
}

}  // namespace missivo::cli
