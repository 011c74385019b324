// Noticing a serial device arrive and go away without udev: inotify on the
// folders that hold the device paths, so a /dev/serial/by-id link, a device
// node or a simulated phone's link are all seen the moment they appear. A
// folder that does not exist yet (/dev/serial/by-id before the first USB serial
// device) is watched through its nearest existing parent until it appears.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/status.h"

namespace missivo {

// Where a device is looked for: one path, or (auto) the first stable name under
// `dev`/serial/by-id, else `fallback` (the device named in the settings).
struct DeviceChoice {
  std::string path;  // empty: auto
  std::string fallback;
  std::filesystem::path dev = "/dev";
};

// The device path the choice finds present now (a link is followed: a dangling
// one is absent); nothing when none is there.
std::optional<std::string> PresentDevice(const DeviceChoice& choice);

class DeviceArrivals {
 public:
  explicit DeviceArrivals(DeviceChoice choice);
  ~DeviceArrivals();
  DeviceArrivals(const DeviceArrivals&) = delete;
  DeviceArrivals& operator=(const DeviceArrivals&) = delete;

  // Sets up the watch; a failure names what could not be watched.
  [[nodiscard]] Status Start();

  // Readable when something changed in a watched folder.
  int Descriptor() const { return fd_; }

  // Takes the waiting changes (never blocks). True when a device path of the
  // choice was created or moved into place since the last call: an arrival,
  // even where the same path was there a moment before (a quick replug).
  bool TakeChanges();

  const DeviceChoice& choice() const { return choice_; }

 private:
  struct Target {
    std::filesystem::path folder;
    std::string name;  // empty: any name in the folder
  };
  void Arm();

  DeviceChoice choice_;
  std::vector<Target> targets_;
  std::vector<int> watches_;  // per target: the watch of its folder or of a parent
  std::vector<bool> direct_;  // per target: the watch is on the folder itself
  int fd_ = -1;
};

}  // namespace missivo
