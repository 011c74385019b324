#include "phone/com_error.h"

#include <grp.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>

namespace missivo {

std::int32_t ComErrorCode(int errno_value) {
  switch (errno_value) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
      return kErrorNoDevice;
    case EBUSY:
    case EWOULDBLOCK:
      return kErrorBusy;
    case EIO:
      return kErrorDeviceNotWorking;
    default:
      return errno_value;
  }
}

namespace {

std::string SystemText(int errno_value) {
  char buffer[256];
  // The GNU strerror_r returns the text, which may or may not live in `buffer`.
  return ::strerror_r(errno_value, buffer, sizeof buffer);
}

std::string OwningGroup(const std::string& device) {
  struct stat info {};
  if (::stat(device.c_str(), &info) != 0) return "dialout";
  std::string name;
  std::string buffer(4096, '\0');
  struct group entry {};
  struct group* found = nullptr;
  if (::getgrgid_r(info.st_gid, &entry, buffer.data(), buffer.size(), &found) == 0 && found) {
    name = found->gr_name;
  }
  return name.empty() ? std::to_string(info.st_gid) : name;
}

}  // namespace

EComError ComErrorFromErrno(int errno_value, const std::string& device) {
  const std::int32_t code = ComErrorCode(errno_value);
  if (errno_value == EACCES) {
    const std::string group = OwningGroup(device);
    return EComError("Permission denied: " + device + " belongs to the group \"" + group +
                         "\". Add your user to it (sudo usermod -aG " + group +
                         " $USER), then log out and in again.",
                     code);
  }
  if (errno_value == EWOULDBLOCK) return EComError(SystemText(EBUSY), code);
  return EComError(SystemText(errno_value), code);
}

}  // namespace missivo
