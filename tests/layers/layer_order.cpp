#include "layer_order.h"

#include <algorithm>
#include <fstream>
#include <map>
#include <regex>
#include <tuple>

namespace missivo::test {
namespace {

// The rank of each folder, lowest first. Folders of one rank above the shell
// are fronts that never include one another; a rank may hold folders that do
// not exist yet.
const std::map<std::string, int>& Ranks() {
  static const std::map<std::string, int> ranks = {
      {"text", 0},     {"core", 1},  {"store", 2}, {"sms", 3}, {"phone", 4},
      {"transfer", 5}, {"shell", 6}, {"app", 7},   {"cli", 7}, {"phonesim", 7},
  };
  return ranks;
}

}  // namespace

std::vector<IncludeLine> ReadIncludes(const std::filesystem::path& root,
                                      const std::string& folder) {
  static const std::regex kInclude(R"(^\s*#\s*include\s*"([^"/]+)/([^"]*)\")");
  std::vector<IncludeLine> found;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
    const std::string extension = entry.path().extension().string();
    if (!entry.is_regular_file() || (extension != ".cpp" && extension != ".h")) continue;
    const std::filesystem::path relative = entry.path().lexically_relative(root);
    const std::string from = folder.empty() ? relative.begin()->string() : folder;
    std::ifstream in(entry.path());
    std::string text;
    for (int number = 1; std::getline(in, text); ++number) {
      std::smatch match;
      if (!std::regex_search(text, match, kInclude)) continue;
      found.push_back(
          {relative.string(), number, from, match[1].str(), match[1].str() + "/" + match[2].str()});
    }
  }
  std::sort(found.begin(), found.end(), [](const IncludeLine& a, const IncludeLine& b) {
    return std::tie(a.file, a.line) < std::tie(b.file, b.line);
  });
  return found;
}

std::vector<std::string> LayerFaults(const std::vector<IncludeLine>& includes) {
  std::vector<std::string> faults;
  for (const IncludeLine& include : includes) {
    const std::string where =
        include.file + ":" + std::to_string(include.line) + ": \"" + include.text + "\": ";
    const auto from = Ranks().find(include.from);
    const auto to = Ranks().find(include.to);
    if (from == Ranks().end() || to == Ranks().end()) {
      faults.push_back(where + "the folder \"" +
                       (from == Ranks().end() ? include.from : include.to) +
                       "\" has no place in the layer order");
    } else if (to->second > from->second) {
      faults.push_back(where + include.from + " includes " + include.to + ", a layer above it");
    } else if (to->second == from->second && include.from != include.to) {
      faults.push_back(where + include.from + " includes " + include.to + ", a front beside it");
    }
  }
  return faults;
}

std::vector<std::string> SerialPortFaults(const std::vector<IncludeLine>& includes) {
  const std::string serial = "phone/serial/";
  std::vector<std::string> faults;
  for (const IncludeLine& include : includes) {
    if (include.from != "phone" || include.file.starts_with(serial) ||
        !include.text.starts_with(serial)) {
      continue;
    }
    faults.push_back(include.file + ":" + std::to_string(include.line) + ": \"" + include.text +
                     "\": the AT layer includes the serial port; it talks to the byte link");
  }
  return faults;
}

}  // namespace missivo::test
