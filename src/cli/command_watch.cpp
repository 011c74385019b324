// missivo-cli watch: the read command each time the phone is plugged in.
#include <poll.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

#include "cli/commands.h"
#include "cli/phone_port.h"
#include "core/local_time.h"
#include "phone/serial/device_arrivals.h"
#include "shell/settings_file.h"
#include "text/cp1251.h"

namespace missivo::cli {
namespace {

using Clock = std::chrono::steady_clock;

// udev makes a device's links and sets its group a moment after the device
// appears: the read starts once that has settled.
constexpr std::chrono::milliseconds kSettle{300};

// The settings the watch takes from the window program's settings file.
constexpr char kPortSetting[] = "COMPORTUser";
constexpr char kPasswordFileSetting[] = "WatchPasswordFile";

// "2024-05-01 12:00:00"
std::string Now() {
  return LocalTimeText(TimeForm::kLogLine);
}

void Log(const std::string& text) {
  const std::string line = "missivo-cli: " + Now() + " " + text + "\n";
  std::fputs(line.c_str(), stderr);
  std::fflush(stderr);
}

std::string Setting(const TRzRegIniFile& settings, const char* key) {
  return Cp1251ToUtf8(settings.ReadString(std::string(kSettingsSection), key, ""));
}

class Watch {
 public:
  Watch(const CommandLine& line, TerminalUserInterface& ui, DeviceChoice choice)
      : line_(line),
        ui_(ui),
        arrivals_(std::move(choice)),
        retry_(line.Has("retry") ? ParseNumberOption("retry", *line.Value("retry"), 1, 86400)
                                 : 10) {}

  int Run() {
    if (const Status started = arrivals_.Start(); !started.ok()) {
      throw CliError(Cp1251ToUtf8(started.message()));
    }
    const DeviceChoice& choice = arrivals_.choice();
    Log("waiting for " +
        (choice.path.empty()
             ? "a phone (auto: " + (choice.dev / "serial" / "by-id").string() +
                   (choice.fallback.empty() ? std::string() : ", else " + choice.fallback) + ")"
             : choice.path));
    next_read_ = Clock::now();  // a phone already there is read at once
    for (;;) {
      if (const std::optional<std::string> device = PresentDevice(choice)) {
        if (next_read_ && Clock::now() >= *next_read_) {
          next_read_.reset();
          if (!Read(*device)) return kExitOk;
        }
      } else {
        next_read_.reset();
        told_.clear();
      }
      if (!WaitForChange()) return kExitOk;
    }
  }

 private:
  // One read of `device`; false when a stop signal ended it.
  bool Read(const std::string& device) {
    try {
      // The password is taken again each time: its file may have come meanwhile.
      ui_.ForgetPassword();
      if (const std::string file = PasswordFile(); !file.empty()) TakePasswordFrom(file, ui_);
      ReadDevice(line_, device, ui_, [&](const std::string& summary) {
        WriteOut(Now() + " " + device + ": " + summary);
      });
      told_.clear();
    } catch (const DeviceRefused& refused) {
      Tell(device, refused.message() + "; trying again every " + std::to_string(retry_.count()) +
                       " s while it is there");
      next_read_ = Clock::now() + retry_;
    } catch (const PhoneBusy& busy) {
      Tell(device, busy.message() + "; trying again every " + std::to_string(retry_.count()) +
                       " s while it is there");
      next_read_ = Clock::now() + retry_;
    } catch (const CliError& error) {
      if (error.status() == kExitInterrupted) {
        Log(device + ": " + error.message() + "; the messages read are saved");
        return false;
      }
      if (error.status() == kExitPassword || error.status() == kExitLocked) {
        // The archive is locked, or another program keeps the folder: the
        // phone keeps its messages meanwhile.
        Tell(device, error.message() + "; waiting, trying again every " +
                         std::to_string(retry_.count()) + " s");
        next_read_ = Clock::now() + retry_;
      } else {
        Log(device + ": " + error.message() + "; trying again when the phone is plugged in");
      }
    }
    // A stop that came after the read's last look at it.
    if (!StopRequested()) return true;
    Log("stopped by a signal");
    return false;
  }

  // Says `text` once while the same trouble lasts.
  void Tell(const std::string& device, const std::string& text) {
    if (told_ == text) return;
    told_ = text;
    Log(device + ": " + text);
  }

  std::string PasswordFile() const {
    if (const std::optional<std::string> file = line_.Value("password-file")) return *file;
    return Setting(TRzRegIniFile(), kPasswordFileSetting);
  }

  // Waits for a change of the devices, a retry or a stop; false on a stop.
  bool WaitForChange() {
    int timeout = -1;
    if (next_read_) {
      const auto left =
          std::chrono::ceil<std::chrono::milliseconds>(*next_read_ - Clock::now()).count();
      timeout = static_cast<int>(std::clamp<long long>(left, 0, 86'400'000));
    }
    pollfd fds[] = {{arrivals_.Descriptor(), POLLIN, 0}, {StopDescriptor(), POLLIN, 0}};
    if (::poll(fds, 2, timeout) < 0 && errno != EINTR) {
      throw CliError(std::string("cannot wait for devices: ") + std::strerror(errno));
    }
    if (StopRequested()) {
      Log("stopped by a signal");
      return false;
    }
    // An arrival, even of a path that was there a moment ago (a quick replug).
    if (arrivals_.TakeChanges()) next_read_ = Clock::now() + kSettle;
    return true;
  }

  const CommandLine& line_;
  TerminalUserInterface& ui_;
  DeviceArrivals arrivals_;
  const std::chrono::seconds retry_;
  std::optional<Clock::time_point> next_read_;  // when to read the device present
  std::string told_;                            // the trouble said last
};

}  // namespace

int RunWatch(const CommandLine& line, TerminalUserInterface& ui) {
  if (!line.operands.empty()) throw CliError("watch takes no operand", kExitUsage);
  // A service asks nobody: the password comes from a file, or the watch waits.
  ui.SetAskOnTerminal(false);
  DeviceChoice choice;
  const std::string device = line.Value("device").value_or("auto");
  if (device.empty()) throw CliError("watch needs --device PATH or --device auto", kExitUsage);
  // The read options are checked now, not at the first arrival.
  (void)PhonePort(line, ui, "watch", device);
  (void)PhoneKindOf(line);
  if (device == "auto") {
    choice.fallback = Setting(TRzRegIniFile(), kPortSetting);
  } else {
    choice.path = device;
  }
  return Watch(line, ui, std::move(choice)).Run();
}

}  // namespace missivo::cli
