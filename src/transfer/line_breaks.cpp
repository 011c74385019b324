#include "transfer/line_breaks.h"

namespace missivo {

std::string BreaksToCrLf(std::string_view text, bool end_with_break) {
  std::string out;
  out.reserve(text.size() + text.size() / 8 + 2);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r') {
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
      out += "\r\n";
    } else if (c == '\n') {
      out += "\r\n";
    } else {
      out += c;
    }
  }
  if (end_with_break && !text.empty() && text.back() != '\r' && text.back() != '\n') out += "\r\n";
  return out;
}

bool HasLineBreak(std::string_view text) {
  return text.find_first_of("\r\n") != std::string_view::npos;
}

}  // namespace missivo
