// Uses the kernel's termios2 directly; its struct termios clashes with the C
// library's, so nothing here includes <termios.h>.
#include "phone/serial/serial_speed.h"

#include <asm/termbits.h>
#include <sys/ioctl.h>

#include <cerrno>

namespace missivo {

namespace {

struct StandardRate {
  std::uint32_t rate;
  unsigned code;
};

constexpr StandardRate kStandardRates[] = {
    {50, B50},         {75, B75},         {110, B110},         {134, B134},       {150, B150},
    {200, B200},       {300, B300},       {600, B600},         {1200, B1200},     {1800, B1800},
    {2400, B2400},     {4800, B4800},     {9600, B9600},       {19200, B19200},   {38400, B38400},
    {57600, B57600},   {115200, B115200}, {230400, B230400},   {460800, B460800}, {500000, B500000},
    {576000, B576000}, {921600, B921600}, {1000000, B1000000},
};

}  // namespace

int SetLineSpeed(int fd, std::uint32_t rate) {
  struct termios2 settings {};
  if (::ioctl(fd, TCGETS2, &settings) != 0) return errno;
  unsigned code = BOTHER;
  for (const auto& standard : kStandardRates) {
    if (standard.rate == rate) code = standard.code;
  }
  settings.c_cflag &= ~static_cast<tcflag_t>(CBAUD | (CBAUD << IBSHIFT));
  settings.c_cflag |= code | (code << IBSHIFT);
  settings.c_ispeed = rate;
  settings.c_ospeed = rate;
  if (::ioctl(fd, TCSETS2, &settings) != 0) return errno;
  return 0;
}

int GetLineSpeed(int fd, std::uint32_t& rate) {
  struct termios2 settings {};
  if (::ioctl(fd, TCGETS2, &settings) != 0) return errno;
  rate = settings.c_ospeed;
  return 0;
}

}  // namespace missivo
