#include "app/skin_descriptor.h"

#include <algorithm>
#include <cctype>
#include <string_view>

#include "text/lines.h"

namespace missivo {
namespace {

bool StartsWithKey(const std::string& line, std::string_view key) {
  if (line.size() < key.size()) return false;
  return std::equal(key.begin(), key.end(), line.begin(), [](char a, char b) {
    return std::tolower(static_cast<unsigned char>(a)) ==
           std::tolower(static_cast<unsigned char>(b));
  });
}

}  // namespace

std::string StyleSheetNameOf(const std::vector<std::string>& lines) {
  constexpr std::string_view kKey = "StyleSheet=";
  for (const std::string& line : lines) {
    if (StartsWithKey(line, kKey) && line.size() > kKey.size()) return line.substr(kKey.size());
  }
  return {};
}

std::string SkinCaptionOf(const std::vector<std::string>& lines) {
  constexpr std::size_t kKeySize = 9;  // "SkinName="
  const std::string& third = LineAt(lines, 2);
  return third.size() > kKeySize ? third.substr(kKeySize) : std::string();
}

}  // namespace missivo
