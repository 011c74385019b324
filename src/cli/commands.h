// The commands of missivo-cli. Each returns the exit status or throws CliError.
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "cli/cli_args.h"
#include "cli/terminal_ui.h"

namespace missivo::cli {

struct Command {
  std::string_view name;
  std::span<const OptionSpec> options;
  std::string_view help;  // the command's --help text
  int (*run)(const CommandLine& line, TerminalUserInterface& ui);
};

// read, watch, list, conversations, export, import.
std::span<const Command> Commands();

// The text of `missivo-cli --help`.
std::string ProgramHelp();

// --folder, or the window program's own folder.
std::filesystem::path ProgramFolderOf(const CommandLine& line);

// Gives `ui` the first line of --password-file (UTF-8, used as its Windows-1251
// bytes) when the option is there; CliError when the file cannot be read.
void TakePasswordFile(const CommandLine& line, TerminalUserInterface& ui);
// The same for the password file at `path`.
void TakePasswordFrom(const std::string& path, TerminalUserInterface& ui);

// Writes `bytes` to standard output; CliError when that fails.
void WriteOut(std::string_view bytes);

// "1 message", "12 messages".
std::string Counted(std::size_t count, const char* word);

// The one operand a command wants (`what` names it in the error).
const std::string& OneOperand(const CommandLine& line, std::string_view what);

// The phone refused to list its messages because its SIM or itself was busy
// for a moment: worth trying again soon.
class PhoneBusy : public CliError {
 public:
  using CliError::CliError;
};

// One read of `device` into the archive of the program folder, with the read
// options of `line`, as the read command does it; `report` gets its summary
// line ("read 12 messages, ...") once the read has ended. A failure leaves as
// CliError after the messages read were saved (kExitInterrupted for a stop
// signal); an open the device refuses as DeviceRefused (cli/phone_port.h); a
// listing the phone refused as CliError, PhoneBusy when its SIM was busy.
void ReadDevice(const CommandLine& line, const std::string& device, TerminalUserInterface& ui,
                const std::function<void(const std::string&)>& report);

int RunRead(const CommandLine& line, TerminalUserInterface& ui);
int RunSend(const CommandLine& line, TerminalUserInterface& ui);
int RunIdentify(const CommandLine& line, TerminalUserInterface& ui);
int RunList(const CommandLine& line, TerminalUserInterface& ui);
int RunConversations(const CommandLine& line, TerminalUserInterface& ui);
int RunExport(const CommandLine& line, TerminalUserInterface& ui);
int RunImport(const CommandLine& line, TerminalUserInterface& ui);
int RunWatch(const CommandLine& line, TerminalUserInterface& ui);

// Writes `text` to standard error.
void WriteErr(const std::string& text);

// The exchange formats of export and import: `what` is "archive" or
// "phonebook", `format` the --format value.
int RunExchangeExport(const CommandLine& line, TerminalUserInterface& ui, const std::string& what,
                      const std::string& format);
// import android-xml FILE, import vcard FILE.
int RunExchangeImport(const CommandLine& line, TerminalUserInterface& ui);

}  // namespace missivo::cli
