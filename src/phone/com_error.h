// The exceptions of a byte link (the serial port's among them) and the
// translation of system errors into them.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace missivo {

// A port failure. ErrorCode is the system error code the program's handlers test
// (2 no such device, 5 device busy, 31 device not working, 13 permission denied,
// other errno values as they are), or 0 for the port's own errors.
class EComError : public std::runtime_error {
 public:
  EComError(const std::string& message, std::int32_t error_code)
      : std::runtime_error(message), error_code_(error_code) {}
  std::int32_t ErrorCode() const { return error_code_; }

 private:
  std::int32_t error_code_;
};

// The silent abort: an error the user has already been told about (or need not
// be), which ends the current command without a message.
class ESilentAbort : public std::exception {
 public:
  const char* what() const noexcept override { return "Operation aborted"; }
};

// The port's own messages (ErrorCode 0).
inline constexpr char kClosedPortMessage[] = "Can't perform this operation on a closed port";
inline constexpr char kOpenPortMessage[] = "Can't perform this operation on an open port";
inline constexpr char kNoThreadMessage[] = "Can't create thread";
inline constexpr char kTimeoutMessage[] = "Timeout";
// A transfer given up because the stop descriptor became readable (code EINTR).
inline constexpr char kStoppedMessage[] = "Stopped";

// Error codes the program's handlers test.
inline constexpr std::int32_t kErrorNoDevice = 2;
inline constexpr std::int32_t kErrorBusy = 5;
inline constexpr std::int32_t kErrorDeviceNotWorking = 31;

// The code for a system error: ENOENT, ENODEV, ENXIO give 2; EBUSY and a lock
// held elsewhere (EWOULDBLOCK) give 5; EIO gives 31; any other errno stays itself.
std::int32_t ComErrorCode(int errno_value);

// The port error for a system error met on `device`. Permission denied names the
// group that owns the device and tells the user to join it; other errors carry
// the system's text.
EComError ComErrorFromErrno(int errno_value, const std::string& device);

}  // namespace missivo
