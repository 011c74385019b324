#include "cli/cli_args.h"

#include <algorithm>
#include <charconv>

namespace missivo::cli {
namespace {

const OptionSpec* FindOption(std::string_view name, std::span<const OptionSpec> specs) {
  const auto found = std::find_if(specs.begin(), specs.end(),
                                  [name](const OptionSpec& spec) { return spec.name == name; });
  return found == specs.end() ? nullptr : &*found;
}

CliError UsageError(const std::string& message) {
  return CliError(message + " (see missivo-cli --help)", kExitUsage);
}

}  // namespace

std::optional<std::string> CommandLine::Value(std::string_view option) const {
  const auto found = values.find(std::string(option));
  if (found == values.end()) return std::nullopt;
  return found->second;
}

CommandLine ParseCommandLine(
    std::span<const std::string> args,
    const std::map<std::string, std::span<const OptionSpec>, std::less<>>& command_options) {
  CommandLine line;
  std::span<const OptionSpec> own;
  bool options_end = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (options_end || !arg.starts_with("-") || arg == "-") {
      if (line.command.empty()) {
        const auto found = command_options.find(arg);
        if (found == command_options.end()) throw UsageError("unknown command \"" + arg + "\"");
        line.command = arg;
        own = found->second;
      } else {
        line.operands.push_back(arg);
      }
      continue;
    }
    if (arg == "--") {
      options_end = true;
      continue;
    }
    if (arg == "-h") {
      line.values["help"] = "";
      continue;
    }
    if (!arg.starts_with("--")) throw UsageError("unknown option \"" + arg + "\"");
    const std::size_t equals = arg.find('=');
    const std::string name = arg.substr(2, equals == std::string::npos ? equals : equals - 2);
    const OptionSpec* spec = FindOption(name, kGlobalOptions);
    if (spec == nullptr) spec = FindOption(name, own);
    if (spec == nullptr) throw UsageError("unknown option \"--" + name + "\"");
    if (!spec->takes_value) {
      if (equals != std::string::npos) throw UsageError("--" + name + " takes no value");
      line.values[name] = "";
    } else if (equals != std::string::npos) {
      line.values[name] = arg.substr(equals + 1);
    } else if (i + 1 < args.size()) {
      line.values[name] = args[++i];
    } else {
      throw UsageError("--" + name + " needs a value");
    }
  }
  return line;
}

long ParseNumberOption(std::string_view option, const std::string& text, long minimum,
                       long maximum) {
  long value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value < minimum ||
      value > maximum) {
    throw UsageError("--" + std::string(option) + " wants a whole number from " +
                     std::to_string(minimum) + " to " + std::to_string(maximum) + ", not \"" +
                     text + "\"");
  }
  return value;
}

}  // namespace missivo::cli
