#include "app/setting_values.h"

#include <charconv>

namespace missivo {

std::optional<int> DecimalOf(const std::string& text) {
  int value = 0;
  const char* first = text.data();
  const char* last = first + text.size();
  // One sign at most: from_chars takes a '-' but no '+', so "+-5" must not pass.
  if (text.size() > 1 && text[0] == '+' && text[1] != '-') ++first;
  const auto [end, error] = std::from_chars(first, last, value);
  if (text.empty() || error != std::errc() || end != last) return std::nullopt;
  return value;
}

}  // namespace missivo
