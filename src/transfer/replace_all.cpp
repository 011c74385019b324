#include "transfer/replace_all.h"

#include <vector>

#include "text/pieces.h"

namespace missivo {

namespace {

// Every occurrence (1-based positions), from left to right, without overlaps.
std::vector<Pos> Occurrences(std::string_view text, std::string_view pattern) {
  std::vector<Pos> found;
  const auto pattern_size = static_cast<Pos>(pattern.size());
  for (Pos at = FindFrom(pattern, text, 1); at != 0;
       at = FindFrom(pattern, text, at + pattern_size))
    found.push_back(at);
  return found;
}

}  // namespace

std::size_t CountOccurrences(std::string_view text, std::string_view pattern) {
  return Occurrences(text, pattern).size();
}

std::string ReplaceAll(std::string_view text, std::string_view pattern, std::string_view value) {
  // Every occurrence first, so the result's length is known.
  const std::vector<Pos> found = Occurrences(text, pattern);
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
