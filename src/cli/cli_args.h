// The command line of missivo-cli: global options, a command, the command's
// options and its operands. Options are "--name", "--name VALUE" or
// "--name=VALUE" and may stand before or after the command.
#pragma once

#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace missivo::cli {

// Exit statuses.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;        // device, phone, data file, I/O
inline constexpr int kExitPassword = 2;       // wrong or missing password; files unchanged
inline constexpr int kExitUsage = 64;         // a command line that cannot be used
inline constexpr int kExitLocked = 75;        // another Missivo program kept the folder locked
inline constexpr int kExitInterrupted = 130;  // SIGINT, SIGTERM or SIGHUP

// An error that ends the program with its message on stderr and `status`.
class CliError {
 public:
  CliError(std::string message, int status = kExitFailure)
      : message_(std::move(message)), status_(status) {}
  const std::string& message() const { return message_; }
  int status() const { return status_; }

 private:
  std::string message_;
  int status_;
};

struct OptionSpec {
  std::string_view name;  // without the leading "--"
  bool takes_value = false;
};

// Options that every command takes.
inline constexpr OptionSpec kGlobalOptions[] = {{"folder", true},
                                                {"password-file", true},
                                                {"lock-wait", true},
                                                {"help", false},
                                                {"version", false}};

struct CommandLine {
  std::string command;                        // empty when none was given
  std::map<std::string, std::string> values;  // option name -> value ("" for a flag)
  std::vector<std::string> operands;          // words after the command

  bool Has(std::string_view option) const { return values.contains(std::string(option)); }
  std::optional<std::string> Value(std::string_view option) const;
};

// Splits `args` (without the program name). The command is the first word
// that is not an option; `command_options` gives the options of each command
// by name. Throws CliError (kExitUsage) for an unknown option, a missing value
// or a value given to a flag.
CommandLine ParseCommandLine(
    std::span<const std::string> args,
    const std::map<std::string, std::span<const OptionSpec>, std::less<>>& command_options);

// The whole number of `text` within [minimum, maximum], or CliError (kExitUsage)
// naming `option`.
long ParseNumberOption(std::string_view option, const std::string& text, long minimum,
                       long maximum);

}  // namespace missivo::cli
