#include "transfer/replace_all.h"

#include <algorithm>
#include <limits>
#include <vector>

#include "text/pieces.h"

namespace missivo {

std::string ReplaceAll(std::string_view text, std::string_view pattern, std::string_view value) {
  return *ReplaceAllWithin(text, pattern, value, std::numeric_limits<std::size_t>::max());
}

std::optional<std::string> ReplaceAllWithin(std::string_view text, std::string_view pattern,
                                            std::string_view value, std::size_t limit) {
  // Every occurrence first (1-based positions), so the result's length is known.
  std::vector<Pos> found;
  const auto pattern_size = static_cast<Pos>(pattern.size());
  for (Pos at = FindFrom(pattern, text, 1); at != 0;
       at = FindFrom(pattern, text, at + pattern_size))
    found.push_back(at);
  if (found.empty()) return std::string(text);
  // The length without overflow: the text less the patterns, then the values
  // when they fit under the larger of the limit and the text.
  const std::size_t bound = std::max(limit, text.size());
  std::size_t length = text.size() - found.size() * pattern.size();
  if (!value.empty() && found.size() > (bound - length) / value.size()) return std::nullopt;
  length += found.size() * value.size();

  std::string result;
  result.reserve(length);
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
