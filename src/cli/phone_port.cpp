#include "cli/phone_port.h"

#include <cerrno>

#include "cli/commands.h"
#include "phone/com_error.h"
#include "shell/settings_file.h"
#include "text/default_language.h"

namespace missivo::cli {
namespace {

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

}  // namespace

PhonePort::PhonePort(const CommandLine& line, UserInterface& ui, const std::string& command)
    : device_(line.Value("device").value_or("")), exchange_(port_, terminal_, ui, language_) {
  if (device_.empty()) throw CliError(command + " needs --device PATH", kExitUsage);
  const long speed =
      line.Has("speed") ? ParseNumberOption("speed", *line.Value("speed"), 50, 4000000) : 115200;
  const long timeout =
      line.Has("timeout") ? ParseNumberOption("timeout", *line.Value("timeout"), 1, 3600) : 30;
  language_.LoadFromBytes(DefaultRussianFileBytes());
  exchange_.SetSilenceLimit(std::chrono::seconds(timeout));
  port_.SetBaudRate(TBaudRate::brCustom);
  port_.SetCustomBaudRate(static_cast<std::int32_t>(speed));
  port_.SetDeviceName(device_);
}

void PhonePort::Run(const std::function<void(AtChannel&)>& talk,
                    const std::function<void(std::string&)>& on_failure) {
  try {
    port_.Open();
    talk(exchange_);
  } catch (const EComError& error) {
    std::string message = PortFailure(error, device_, exchange_.SilenceLimit());
    if (on_failure) on_failure(message);
    port_.Close();
    throw CliError(message);
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
