#include "app/celo_com.h"

#include <libudev.h>

#include <QSocketNotifier>

#include "app/guard.h"

namespace missivo {
namespace {

std::string_view Text(const char* text) {
  return text == nullptr ? std::string_view() : std::string_view(text);
}

void Raise(const std::function<void(TCeloCom&)>& event, TCeloCom& sender) {
  if (event) RunGuarded([&] { event(sender); });
}

}  // namespace

TCeloCom::TCeloCom(QObject* owner) : QObject(owner) {
  setObjectName(QStringLiteral("CeloCom1"));
  udev_ = udev_new();
  if (udev_ == nullptr) return;
  monitor_ = udev_monitor_new_from_netlink(udev_, "udev");
  if (monitor_ == nullptr) return;
  if (udev_monitor_filter_add_match_subsystem_devtype(monitor_, "usb", "usb_device") < 0 ||
      udev_monitor_filter_add_match_subsystem_devtype(monitor_, "tty", nullptr) < 0 ||
      udev_monitor_enable_receiving(monitor_) < 0) {
    return;
  }
  const int descriptor = udev_monitor_get_fd(monitor_);
  if (descriptor < 0) return;
  notifier_ = new QSocketNotifier(descriptor, QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, [this] { ReadMonitor(); });
}

TCeloCom::~TCeloCom() {
  delete notifier_;
  if (monitor_ != nullptr) udev_monitor_unref(monitor_);
  if (udev_ != nullptr) udev_unref(udev_);
}

void TCeloCom::ReadMonitor() {
  // The socket is non-blocking: take every change that is waiting.
  while (udev_device* device = udev_monitor_receive_device(monitor_)) {
    const std::string subsystem(Text(udev_device_get_subsystem(device)));
    const std::string type(Text(udev_device_get_devtype(device)));
    const std::string action(Text(udev_device_get_action(device)));
    udev_device_unref(device);
    DeviceChange(subsystem, type, action);
  }
}

void TCeloCom::DeviceChange(std::string_view subsystem, std::string_view device_type,
                            std::string_view action) {
  const bool added = action == "add";
  if (!added && action != "remove") return;
  if (subsystem == "tty") {
    Raise(OnPortsChange, *this);
  } else if (subsystem == "usb" && device_type == "usb_device") {
    Raise(added ? OnUSBArrival : OnUSBRemove, *this);
  }
}

}  // namespace missivo
