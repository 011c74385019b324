#include "text/pieces.h"

namespace missivo {

std::string Piece(std::string_view text, Pos start, Pos length) {
  if (length <= 0) return {};
  if (start < 1) start = 1;
  const auto size = static_cast<Pos>(text.size());
  if (start > size) return {};
  const Pos available = size - start + 1;
  const Pos taken = length < available ? length : available;
  return std::string(
      text.substr(static_cast<std::size_t>(start - 1), static_cast<std::size_t>(taken)));
}

Pos FindFrom(std::string_view sub, std::string_view text, Pos start) {
  if (sub.empty() || text.empty()) return 0;
  if (start < 1) start = 1;
  const auto size = static_cast<Pos>(text.size());
  const auto sub_size = static_cast<Pos>(sub.size());
  if (start > size - sub_size + 1) return 0;
  const std::size_t found = text.find(sub, static_cast<std::size_t>(start - 1));
  return found == std::string_view::npos ? 0 : static_cast<Pos>(found) + 1;
}

char CharAt(std::string_view text, Pos pos) {
  if (pos < 1 || pos > static_cast<Pos>(text.size())) return '\0';
  return text[static_cast<std::size_t>(pos - 1)];
}

}  // namespace missivo
