// TCeloCom: the device watch. It listens to udev for USB devices that arrive
// or leave (subsystem "usb", device type "usb_device") and raises OnUSBArrival
// or OnUSBRemove for any of them, not only the phone; serial ports that come
// or go (subsystem "tty") raise OnPortsChange, so the port list can follow
// the devices present. Where udev cannot be reached the watch stays silent.
// Each event runs guarded: an exception it lets out goes to the application.
#pragma once

#include <QObject>
#include <functional>
#include <string_view>

class QSocketNotifier;
struct udev;
struct udev_monitor;

namespace missivo {

class TCeloCom : public QObject {
  Q_OBJECT

 public:
  explicit TCeloCom(QObject* owner);
  ~TCeloCom() override;

  std::function<void(TCeloCom& sender)> OnUSBArrival;
  std::function<void(TCeloCom& sender)> OnUSBRemove;
  std::function<void(TCeloCom& sender)> OnPortsChange;

  // Whether udev events reach the watch.
  bool Watching() const { return notifier_ != nullptr; }

  // One device change as udev reports it: its subsystem, device type (may be
  // empty) and action ("add", "remove", ...). Changes of other kinds are ignored.
  // Tests inject arrivals and removals here.
  void DeviceChange(std::string_view subsystem, std::string_view device_type,
                    std::string_view action);

 private:
  void ReadMonitor();

  udev* udev_ = nullptr;
  udev_monitor* monitor_ = nullptr;
  QSocketNotifier* notifier_ = nullptr;
};

}  // namespace missivo
