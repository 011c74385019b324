// missivo-cli read: the window's read command on a serial device.
#include <cerrno>
#include <chrono>
#include <functional>
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

DeviceRead DeviceReadOf(const CommandLine& line) {
  DeviceRead read;
  if (line.Has("speed")) read.speed = ParseNumberOption("speed", *line.Value("speed"), 50, 4000000);
  if (line.Has("timeout")) {
    read.timeout = ParseNumberOption("timeout", *line.Value("timeout"), 1, 3600);
  }
  read.reply_time =
      line.Has("reply-time")
          ? ParseNumberOption("reply-time", *line.Value("reply-time"), 1, 86400)
          : std::chrono::duration_cast<std::chrono::seconds>(AtExchange::kDefaultCommandLimit)
                .count();
  read.options.check6 = line.Has("delete");
  read.options.check7 = line.Has("phonebook");
  read.options.check13 = !line.Has("no-archive");
  read.options.read.check8 = !line.Has("skip-incoming");
  read.options.read.check9 = !line.Has("skip-outgoing");
  read.options.read.check10 = !line.Has("skip-drafts");
  return read;
}

void ReadDevice(const CommandLine& line, const DeviceRead& read, const std::string& device,
                TerminalUserInterface& ui, const std::function<void(const std::string&)>& report) {
  const ReadCommandOptions& options = read.options;
  ProgramSession session(ProgramFolderOf(line), ui, /*make_data_folder=*/true, LockWaitOf(line));
  RowList list1 = MakeMessageList();
  RowList list4 = session.LoadArchive();
  RowList list2 = session.LoadPhonebook();

  TComPort port;
  NoTerminal terminal;
  AtExchange exchange(port, terminal, ui, session.language());
  exchange.SetSilenceLimit(std::chrono::seconds(read.timeout));
  exchange.SetCommandLimit(std::chrono::seconds(read.reply_time));
  // Ctrl-C ends a wait for the phone at once, and nothing more is sent.
  port.SetStopDescriptor(StopDescriptor());
  port.OnError = [](TCustomComPort&, const EComError& error, TComAction&) {
    if (IsStop(error)) NoteStopDelivered();
  };
  port.SetBaudRate(TBaudRate::brCustom);
  port.SetCustomBaudRate(static_cast<std::int32_t>(read.speed));
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
    result = RunReadCommand(exchange, guard, {list1, list4, list2}, options, session.store(),
                            session.language(), ui);
  } catch (const EComError& error) {
    port.Close();
    if (IsStop(error)) throw CliError(kStoppedText + kept(), kExitInterrupted);
    const std::string failure = PortFailure(error, device, exchange);
    // Nothing was read when the open is refused: another program may let go.
    if (error.ErrorCode() == kErrorBusy || error.ErrorCode() == EACCES) {
      throw DeviceRefused(failure);
    }
    throw session.SaveFailure(failure + kept());
  } catch (const CliError& error) {
    if (error.status() != kExitInterrupted) throw;
    throw CliError(kStoppedText + kept(), kExitInterrupted);
  }
  port.Close();
  report(Summary(result, options, list4.rows.size()));
  if (result.outcome == ReadCommandOutcome::kPhonebookUnusable) {
    throw CliError("the phone's phonebook range could not be read; the read ended there");
  }
  if (!result.save.ok()) {
    throw session.SaveFailure(
        "a data file could not be saved; no message was deleted on the phone that the saved "
        "archive does not hold");
  }
  if (StopRequested()) throw CliError(kStoppedText, kExitInterrupted);
}

int RunRead(const CommandLine& line, TerminalUserInterface& ui) {
  const std::string device = line.Value("device").value_or("");
  if (device.empty()) throw CliError("read needs --device PATH", kExitUsage);
  if (!line.operands.empty()) throw CliError("read takes no operand", kExitUsage);
  const DeviceRead read = DeviceReadOf(line);
  TakePasswordFile(line, ui);
  ReadDevice(line, read, device, ui, [](const std::string& summary) { WriteOut(summary); });
  return kExitOk;
}

}  // namespace missivo::cli
