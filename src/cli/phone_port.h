// The serial device of missivo-cli's phone commands: --device, --speed and
// --timeout, the port and the exchange on it, and port failures as the
// messages of the command line.
#pragma once

#include <functional>
#include <string>

#include "cli/cli_args.h"
#include "cli/terminal_ui.h"
#include "phone/at_exchange.h"
#include "phone/device_profile.h"
#include "phone/serial/com_port.h"
#include "text/language.h"

namespace missivo::cli {

// The device would not open: another program holds it, or the user may not
// use it (yet: udev sets the group of a new device a moment after it appears).
// Nothing was sent to the phone.
class DeviceRefused : public CliError {
 public:
  using CliError::CliError;
};

class PhonePort {
 public:
  // CliError (usage) without a device or with a bad --speed or --timeout.
  // The device is `device`, or --device when that is empty.
  PhonePort(const CommandLine& line, UserInterface& ui, const std::string& command,
            const std::string& device = {});

  AtExchange& exchange() { return exchange_; }
  const std::string& device() const { return device_; }

  // Opens the port and runs `talk`; a port failure on the way closes the port
  // and becomes a CliError with its message (after `on_failure` has added to it);
  // an open the device refuses becomes DeviceRefused.
  void Run(const std::function<void(AtChannel&)>& talk,
           const std::function<void(std::string&)>& on_failure = {});

 private:
  // The exchange's copy of the traffic; the command line shows none of it.
  class NoTerminal : public TerminalSink {
   public:
    void AppendLine(const std::string&) override {}
  };

  std::string device_;
  TComPort port_;
  NoTerminal terminal_;
  LanguageLines language_;
  AtExchange exchange_;
};

// --kind, else the window's setting "PhoneKind", else automatic. CliError
// (usage) for a kind that is none of "automatic", "family", "standard".
PhoneKind PhoneKindOf(const CommandLine& line);

}  // namespace missivo::cli
