#include "transfer/replace_all.h"

#include <vector>

#include "text/pieces.h"

namespace missivo {

std::string ReplaceAll(std::string_view text, std::string_view pattern, std::string_view value) {
  // Every occurrence first (1-based positions), so the result's length is known.
  std::vector<Pos> found;
  const auto pattern_size = static_cast<Pos>(pattern.size());
  for (Pos at = FindFrom(pattern, text, 1); at != 0;
       at = FindFrom(pattern, text, at + pattern_size))
    found.push_back(at);
  if (found.empty()) return std::string(text);

  std::string result;
  result.reserve(text.size() + found.size() * value.size() - found.size() * pattern.size());
  std::size_t copied = 0;
  for (const Pos at : found) {
    const auto start = static_cast<std::size_t>(at - 1);
    result.append(text.substr(copied, start - copied));
    result.append(value);
    copied = start + pattern.size();
  }
  result.append(text.substr(copied));
  return result;
}

}  // namespace missivo
