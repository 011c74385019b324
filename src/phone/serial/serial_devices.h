// The serial devices present on the machine, for the port list of the settings.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace missivo {

// The device paths under `dev`: first the stable names of /dev/serial/by-id
// (sorted), then ttyACM*, ttyUSB* and ttyS*, each group in the order of its
// number (ttyS2 before ttyS10). A folder that cannot be read adds nothing.
std::vector<std::string> SerialDeviceNames(const std::filesystem::path& dev = "/dev");

}  // namespace missivo
