// The order of the source folders: a folder may include only folders below it.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace missivo::test {

// One `#include "folder/…"` of a source file.
struct IncludeLine {
  std::string file;  // the including file, relative to the scanned root
  int line = 0;      // its line number
  std::string from;  // the folder of the including file
  std::string to;    // the first folder of the included path
  std::string text;  // the included path as written
};

// Every quoted include with a folder in its path of the .cpp and .h files
// under `root`; `folder` names the folder that the files of `root` belong to,
// or is empty when the first folder under `root` is the file's folder.
std::vector<IncludeLine> ReadIncludes(const std::filesystem::path& root,
                                      const std::string& folder = {});

// A message for each include that goes up the order, sideways between two
// fronts, or to a folder the order does not know.
std::vector<std::string> LayerFaults(const std::vector<IncludeLine>& includes);

// A message for each include of the serial port (phone/serial/) from elsewhere
// in the phone folder, which reaches a device only through the byte link.
// `includes` are read from the source root, so files are "phone/...".
std::vector<std::string> SerialPortFaults(const std::vector<IncludeLine>& includes);

}  // namespace missivo::test
