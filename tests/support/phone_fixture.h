// The simulated phone for tests: phonesim as a child process on a fresh
// pseudo-terminal, with its scenario, command log and raw capture in a
// temporary folder. Usage:
//
//   test::PhoneSim phone(R"({"echo": false, "messages": [...]})");
//   port.SetDeviceName(phone.Device());
//   port.Open();
//   ... exchanges ...
//   EXPECT_EQ(phone.Commands(), (std::vector<std::string>{"AT+CMGF=1"}));
//
// The scenario format is in tools/phonesim/README.md. Every wait has a hard
// deadline; the destructor stops the child (SIGTERM, then SIGKILL).
#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "support/test_support.h"

namespace missivo::test {

class PhoneSim {
 public:
  // Starts phonesim and waits at most `start_limit` for its device path.
  // Throws std::runtime_error when it does not come up.
  explicit PhoneSim(const std::string& scenario_json = "{}",
                    std::chrono::milliseconds start_limit = std::chrono::seconds(10));
  ~PhoneSim();
  PhoneSim(const PhoneSim&) = delete;
  PhoneSim& operator=(const PhoneSim&) = delete;

  // The device path phonesim printed (the latest, after a replug).
  const std::string& Device() const { return device_; }
  // The command lines received so far, in order, without time stamps.
  std::vector<std::string> Commands() const;
  // Every byte received so far, unchanged.
  std::string Received() const;
  // After a hang-up with "after_hang_up": "replug": waits for the new device
  // path; throws std::runtime_error when none comes within `limit`.
  const std::string& WaitForNextDevice(std::chrono::milliseconds limit);
  const std::filesystem::path& Folder() const { return folder_.path(); }

  // Stops phonesim now (the destructor does it otherwise).
  void Stop();

 private:
  std::string ReadLine(std::chrono::milliseconds limit);

  TempFolder folder_;
  pid_t pid_ = -1;
  int pidfd_ = -1;
  int stdout_fd_ = -1;
  std::string pending_output_;
  std::string device_;
};

}  // namespace missivo::test
