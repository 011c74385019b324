#include "phone/serial/serial_devices.h"

#include <algorithm>
#include <cctype>
#include <string_view>
#include <system_error>

namespace missivo {
namespace {

// The names in `folder` (files, links and device nodes alike), unsorted.
std::vector<std::string> NamesIn(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  std::error_code error;
  for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
       it.increment(error)) {
    names.push_back(it->path().filename().string());
  }
  return names;
}

// Whether `name` is `prefix` followed by decimal digits only; the number then goes to `number`.
bool NumberedName(std::string_view name, std::string_view prefix, unsigned long& number) {
  if (name.size() <= prefix.size() || name.substr(0, prefix.size()) != prefix) return false;
  number = 0;
  for (const char c : name.substr(prefix.size())) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    number = number * 10 + static_cast<unsigned long>(c - '0');
    if (number > 1'000'000) return false;
  }
  return true;
}

}  // namespace

std::vector<std::string> SerialDeviceNames(const std::filesystem::path& dev) {
  std::vector<std::string> devices;
  std::vector<std::string> stable = NamesIn(dev / "serial" / "by-id");
  std::sort(stable.begin(), stable.end());
  for (const std::string& name : stable)
    devices.push_back((dev / "serial" / "by-id" / name).string());

  const std::vector<std::string> names = NamesIn(dev);
  for (const std::string_view prefix : {"ttyACM", "ttyUSB", "ttyS"}) {
    std::vector<std::pair<unsigned long, std::string>> group;
    for (const std::string& name : names) {
      unsigned long number = 0;
      if (NumberedName(name, prefix, number)) group.emplace_back(number, name);
    }
    std::sort(group.begin(), group.end());
    for (const auto& [number, name] : group)
      devices.push_back((dev / name).string());
  }
  return devices;
}

}  // namespace missivo
