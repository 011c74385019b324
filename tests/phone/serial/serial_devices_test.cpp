// The port list: stable names first, then the numbered devices of each kind.
#include "phone/serial/serial_devices.h"

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace missivo {
namespace {

using test::TempFolder;
using test::WriteBytes;

TEST(SerialDevicesTest, StableNamesThenEachKindInNumberOrder) {
  TempFolder dev;
  std::filesystem::create_directories(dev / "serial" / "by-id");
  for (const char* name : {"ttyS10", "ttyS2", "ttyUSB0", "ttyACM1", "ttyACM0", "ttySx", "tty0",
                           "ttyS", "null", "ttyACM01x"}) {
    WriteBytes(dev / name, "");
  }
  std::filesystem::create_symlink("../../ttyACM0",
                                  dev / "serial" / "by-id" / "usb-Phone_Modem-if00");
  std::filesystem::create_symlink("../../ttyUSB0", dev / "serial" / "by-id" / "usb-Adapter-if00");

  const std::string root = dev.path().string();
  EXPECT_EQ(SerialDeviceNames(dev.path()),
            (std::vector<std::string>{root + "/serial/by-id/usb-Adapter-if00",
                                      root + "/serial/by-id/usb-Phone_Modem-if00",
                                      root + "/ttyACM0", root + "/ttyACM1", root + "/ttyUSB0",
                                      root + "/ttyS2", root + "/ttyS10"}));
}

TEST(SerialDevicesTest, MissingFoldersGiveNothing) {
  TempFolder dev;
  EXPECT_TRUE(SerialDeviceNames(dev.path()).empty());
  EXPECT_TRUE(SerialDeviceNames(dev / "nowhere").empty());
}

}  // namespace
}  // namespace missivo
