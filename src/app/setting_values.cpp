#include "app/setting_values.h"

#include <charconv>

namespace missivo {

std::optional<int> DecimalOf(const std::string& text) {
  int value = 0;
  const char* first = text.data();
  const char* last = first + text.size();
  if (first != last && *first == '+') ++first;
  const auto [end, error] = std::from_chars(first, last, value);
  if (text.empty() || error != std::errc() || end != last) return std::nullopt;
  return value;
}

}  // namespace missivo
