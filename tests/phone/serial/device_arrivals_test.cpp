// Which device the watch reads, and arrivals seen through inotify on a real
// folder tree (a /dev of our own), folders that appear later included.
#include "phone/serial/device_arrivals.h"

#include <gtest/gtest.h>
#include <poll.h>

#include "support/test_support.h"

namespace missivo {
namespace {

using test::TempFolder;
using test::WriteBytes;

// Waits at most a second for the watch to see a change, then takes it.
bool ArrivedWithin(DeviceArrivals& arrivals) {
  pollfd p{arrivals.Descriptor(), POLLIN, 0};
  if (::poll(&p, 1, 1000) != 1) return false;
  return arrivals.TakeChanges();
}

TEST(DeviceArrivalsTest, PresentDeviceOfEachChoice) {
  TempFolder dev;
  const std::filesystem::path by_id = dev / "serial" / "by-id";
  std::filesystem::create_directories(by_id);
  WriteBytes(dev / "ttyACM0", "");
  WriteBytes(dev / "ttyUSB3", "");
  const std::string acm0 = (dev / "ttyACM0").string();
  const std::string usb3 = (dev / "ttyUSB3").string();
  const std::string gone = (dev / "ttyACM9").string();
  const std::string modem = (by_id / "usb-Modem-if00").string();
  const std::string phone = (by_id / "usb-Phone-if00").string();
  const std::string unplugged = (by_id / "usb-A-unplugged").string();
  std::filesystem::create_symlink("../../ttyACM0", phone);
  std::filesystem::create_symlink("../../ttyUSB3", modem);
  std::filesystem::create_symlink("../../ttyACM9", unplugged);  // dangling

  const struct {
    const char* name;
    DeviceChoice choice;
    std::optional<std::string> present;
  } cases[] = {
      {"a path that is there", {acm0, {}, dev.path()}, acm0},
      {"a path that is not", {gone, {}, dev.path()}, std::nullopt},
      {"a dangling link is absent", {unplugged, {}, dev.path()}, std::nullopt},
      {"auto: the first stable name that leads somewhere", {{}, usb3, dev.path()}, modem},
      {"auto without stable names: the settings' port", {{}, usb3, dev / "nothing"}, usb3},
      {"auto: the settings' port missing too", {{}, gone, dev / "nothing"}, std::nullopt},
      {"auto with no settings' port", {{}, {}, dev / "nothing"}, std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(PresentDevice(c.choice), c.present);
  }
}

TEST(DeviceArrivalsTest, SeesTheDeviceAppearAgainAndInFoldersMadeLater) {
  TempFolder dev;
  const std::filesystem::path by_id = dev / "serial" / "by-id";
  WriteBytes(dev / "ttyACM0", "");

  // auto: /dev/serial/by-id does not exist until the first USB serial device.
  DeviceArrivals automatic(DeviceChoice{{}, {}, dev.path()});
  ASSERT_TRUE(automatic.Start().ok());
  // A path of its own in a folder that holds other things.
  const std::filesystem::path link = dev / "links" / "phone";
  std::filesystem::create_directories(link.parent_path());
  DeviceArrivals named(DeviceChoice{link.string(), {}, dev.path()});
  ASSERT_TRUE(named.Start().ok());

  WriteBytes(dev / "links" / "other", "");
  EXPECT_FALSE(ArrivedWithin(named)) << "another name in the folder is no arrival";
  std::filesystem::create_symlink("../ttyACM0", link);
  EXPECT_TRUE(ArrivedWithin(named));
  std::filesystem::remove(link);
  EXPECT_FALSE(ArrivedWithin(named)) << "a removal is no arrival";
  // Replaced by a rename, as udev moves its links into place.
  std::filesystem::create_symlink("../ttyACM0", dev / "links" / "phone.new");
  (void)ArrivedWithin(named);
  std::filesystem::rename(dev / "links" / "phone.new", link);
  EXPECT_TRUE(ArrivedWithin(named));

  std::filesystem::create_directories(by_id);
  std::filesystem::create_symlink("../../ttyACM0", by_id / "usb-Phone-if00");
  // However the folder and the link were seen, an arrival comes within a moment.
  bool arrived = false;
  for (int i = 0; i < 3 && !arrived; ++i)
    arrived = ArrivedWithin(automatic);
  EXPECT_TRUE(arrived);
  EXPECT_EQ(PresentDevice(automatic.choice()), (by_id / "usb-Phone-if00").string());
  std::filesystem::remove_all(dev / "serial");
  while (ArrivedWithin(automatic)) {
  }
  std::filesystem::create_directories(by_id);
  std::filesystem::create_symlink("../../ttyACM0", by_id / "usb-Phone-if00");
  arrived = false;
  for (int i = 0; i < 3 && !arrived; ++i)
    arrived = ArrivedWithin(automatic);
  EXPECT_TRUE(arrived) << "the folder made again is watched again";
}

}  // namespace
}  // namespace missivo
