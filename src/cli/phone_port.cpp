#include "cli/phone_port.h"

#include <cerrno>
#include <chrono>

#include "cli/commands.h"
#include "phone/com_error.h"
#include "shell/settings_file.h"
#include "text/default_language.h"

namespace missivo::cli {
namespace {

bool IsStop(const EComError& error) {
  return error.ErrorCode() == EINTR && std::string(error.what()) == kStoppedMessage;
}

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

}  // namespace

PhonePort::PhonePort(const CommandLine& line, UserInterface& ui, const std::string& command)
    : device_(line.Value("device").value_or("")), exchange_(port_, terminal_, ui, language_) {
  if (device_.empty()) throw CliError(command + " needs --device PATH", kExitUsage);
  const long speed =
      line.Has("speed") ? ParseNumberOption("speed", *line.Value("speed"), 50, 4000000) : 115200;
  const long timeout =
      line.Has("timeout") ? ParseNumberOption("timeout", *line.Value("timeout"), 1, 3600) : 30;
  const long reply_time =
      line.Has("reply-time")
          ? ParseNumberOption("reply-time", *line.Value("reply-time"), 1, 86400)
          : std::chrono::duration_cast<std::chrono::seconds>(AtExchange::kDefaultCommandLimit)
                .count();
  language_.LoadFromBytes(DefaultRussianFileBytes());
  exchange_.SetSilenceLimit(std::chrono::seconds(timeout));
  exchange_.SetCommandLimit(std::chrono::seconds(reply_time));
  // Ctrl-C ends a wait for the phone at once, and nothing more is sent.
  port_.SetStopDescriptor(StopDescriptor());
  port_.OnError = [](TCustomComPort&, const EComError& error, TComAction&) {
    if (IsStop(error)) NoteStopDelivered();
  };
  port_.SetBaudRate(TBaudRate::brCustom);
  port_.SetCustomBaudRate(static_cast<std::int32_t>(speed));
  port_.SetDeviceName(device_);
}

void PhonePort::Run(const std::function<void(AtChannel&)>& talk,
                    const std::function<void(std::string&)>& on_failure) {
  // A stop (Ctrl-C) and a port failure both end here, after `on_failure` has
  // said what was kept.
  const auto fail = [&](std::string message, int status) {
    port_.Close();
    if (on_failure) on_failure(message);
    throw CliError(message, status);
  };
  try {
    port_.Open();
    talk(exchange_);
  } catch (const EComError& error) {
    if (IsStop(error)) fail(kStoppedText, kExitInterrupted);
    fail(PortFailure(error, device_, exchange_), kExitFailure);
  } catch (const CliError& error) {
    if (error.status() != kExitInterrupted) throw;
    fail(kStoppedText, kExitInterrupted);
  }
  port_.Close();
}

PhoneKind PhoneKindOf(const CommandLine& line) {
  std::string name;
  if (const auto given = line.Value("kind")) {
    name = *given;
  } else {
    const TRzRegIniFile settings;
    name = settings.ReadString(std::string(kSettingsSection), "PhoneKind", "automatic");
  }
  const auto kind = PhoneKindFromName(name);
  if (!kind) {
    if (line.Has("kind")) {
      throw CliError("--kind is automatic, family or standard, not \"" + name + "\"", kExitUsage);
    }
    return PhoneKind::kAutomatic;
  }
  return *kind;
}

}  // namespace missivo::cli
