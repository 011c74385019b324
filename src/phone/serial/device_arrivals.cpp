#include "phone/serial/device_arrivals.h"

#include <sys/inotify.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <system_error>

#include "phone/serial/serial_devices.h"

namespace missivo {
namespace {

constexpr std::uint32_t kFolderEvents = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO |
                                        IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;

bool Exists(const std::filesystem::path& path) {
  std::error_code error;
  return std::filesystem::exists(path, error);  // follows links
}

bool IsFolder(const std::filesystem::path& path) {
  std::error_code error;
  return std::filesystem::is_directory(path, error);
}

std::filesystem::path ById(const std::filesystem::path& dev) {
  return dev / "serial" / "by-id";
}

}  // namespace

std::optional<std::string> PresentDevice(const DeviceChoice& choice) {
  if (!choice.path.empty()) {
    if (Exists(choice.path)) return choice.path;
    return std::nullopt;
  }
  const std::string stable = ById(choice.dev).string() + "/";
  for (const std::string& device : SerialDeviceNames(choice.dev)) {
    if (device.starts_with(stable) && Exists(device)) return device;
  }
  if (!choice.fallback.empty() && Exists(choice.fallback)) return choice.fallback;
  return std::nullopt;
}

DeviceArrivals::DeviceArrivals(DeviceChoice choice) : choice_(std::move(choice)) {
  const auto add = [this](const std::filesystem::path& path, bool whole_folder) {
    const std::filesystem::path absolute = std::filesystem::absolute(path).lexically_normal();
    targets_.push_back(
        {absolute.parent_path(), whole_folder ? std::string() : absolute.filename().string()});
  };
  if (!choice_.path.empty()) {
    add(choice_.path, false);
  } else {
    targets_.push_back({std::filesystem::absolute(ById(choice_.dev)).lexically_normal(), {}});
    if (!choice_.fallback.empty()) add(choice_.fallback, false);
  }
}

DeviceArrivals::~DeviceArrivals() {
  if (fd_ >= 0) ::close(fd_);
}

Status DeviceArrivals::Start() {
  fd_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (fd_ < 0) {
    return Status::Failure(std::string("cannot watch for devices: ") + std::strerror(errno));
  }
  Arm();
  for (std::size_t i = 0; i < targets_.size(); ++i) {
    if (watches_[i] < 0) {
      return Status::Failure("cannot watch the folder " + targets_[i].folder.string() + ": " +
                             std::strerror(errno));
    }
  }
  return {};
}

void DeviceArrivals::Arm() {
  for (const int watch : watches_)
    if (watch >= 0) ::inotify_rm_watch(fd_, watch);  // a shared watch goes on the first call
  watches_.assign(targets_.size(), -1);
  direct_.assign(targets_.size(), false);
  for (std::size_t i = 0; i < targets_.size(); ++i) {
    std::filesystem::path folder = targets_[i].folder;
    while (!IsFolder(folder) && folder.has_relative_path())
      folder = folder.parent_path();
    watches_[i] = ::inotify_add_watch(fd_, folder.c_str(), kFolderEvents);
    direct_[i] = folder == targets_[i].folder;
  }
}

bool DeviceArrivals::TakeChanges() {
  bool arrived = false;
  bool rearm = false;
  alignas(inotify_event) char buffer[8192];
  for (;;) {
    const ssize_t got = ::read(fd_, buffer, sizeof buffer);
    if (got <= 0) break;  // EAGAIN: nothing more waiting
    for (ssize_t at = 0; at < got;) {
      const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
      at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
      const std::string name = event->len > 0 ? std::string(event->name) : std::string();
      if ((event->mask & IN_Q_OVERFLOW) != 0) {
        rearm = arrived = true;  // changes were lost: look again
        continue;
      }
      // A watched folder went away. (The watches Arm removes report their end
      // too, under numbers no longer in use: those are passed over.)
      if ((event->mask & (IN_IGNORED | IN_DELETE_SELF | IN_MOVE_SELF)) != 0) {
        rearm = rearm || std::find(watches_.begin(), watches_.end(), event->wd) != watches_.end();
        continue;
      }
      for (std::size_t i = 0; i < targets_.size(); ++i) {
        if (watches_[i] != event->wd) continue;
        if (!direct_[i]) {
          rearm = true;  // a folder on the way may have come or gone
        } else if ((event->mask & (IN_CREATE | IN_MOVED_TO)) != 0 &&
                   (targets_[i].name.empty() || targets_[i].name == name)) {
          arrived = true;
        }
      }
    }
  }
  if (rearm) {
    const std::vector<bool> was_direct = direct_;
    Arm();
    // A folder that has just appeared may already hold the device.
    for (std::size_t i = 0; i < targets_.size(); ++i)
      arrived = arrived || (direct_[i] && !was_direct[i]);
  }
  return arrived;
}

}  // namespace missivo
