#include "transfer/line_breaks.h"

namespace missivo {

std::string BreaksToCrLf(std::string_view text, bool end_with_break) {
  std::string out;
  out.reserve(text.size() + 2);
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t at = text.find_first_of("\r\n", start);
    if (at == std::string_view::npos) {
      out.append(text.substr(start));
      if (end_with_break) out += "\r\n";
      break;
    }
    out.append(text.substr(start, at - start));
    out += "\r\n";
    start = at + (text[at] == '\r' && at + 1 < text.size() && text[at + 1] == '\n' ? 2 : 1);
  }
  return out;
}

bool HasLineBreak(std::string_view text) {
  return text.find_first_of("\r\n") != std::string_view::npos;
}

}  // namespace missivo
