// missivo-cli as a child process for end-to-end tests.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace missivo::test {

struct CliRun {
  int status = -1;  // the exit status; -1 when it did not exit normally
  std::string out;
  std::string err;
  std::string terminal;  // what the program wrote on its terminal
  // From the signal of a CliSignal to the end of the program; zero without one.
  std::chrono::milliseconds after_signal{0};
};

// A signal sent to the program once `when` holds (asked every 10 ms).
struct CliSignal {
  int signal = 0;
  std::function<bool()> when;
};

// Runs missivo-cli with `args` and XDG_CONFIG_HOME and XDG_DATA_HOME under
// `home`, in a session of its own. Without `typed` its standard input is
// /dev/null and it has no terminal to ask on; with it, a pseudo-terminal is its
// standard input and controlling terminal, and `typed` and a line end are typed
// there once it shows "Password: ". Throws std::runtime_error when it does not
// end within `limit` (it is killed then).
CliRun RunCli(const std::vector<std::string>& args, const std::filesystem::path& home,
              std::optional<std::string> typed = std::nullopt,
              std::chrono::seconds limit = std::chrono::seconds(60),
              std::optional<CliSignal> signal = std::nullopt);

// Starts missivo-cli as RunCli does, its output thrown away, and returns at
// once: the caller waits for it (or kills it).
pid_t StartCli(const std::vector<std::string>& args, const std::filesystem::path& home);

}  // namespace missivo::test
