#include "text/lines.h"

namespace missivo {

std::vector<std::string> SplitAnyBreak(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  std::size_t i = 0;
  while (i < text.size()) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      lines.emplace_back(text.substr(start, i - start));
      i += (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ? 2 : 1;
      start = i;
    } else {
      ++i;
    }
  }
  if (start < text.size()) lines.emplace_back(text.substr(start));
  return lines;
}

std::vector<std::string> SplitCrLf(std::string_view text, std::size_t max_line) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find("\r\n", start);
    const std::size_t stop = end == std::string_view::npos ? text.size() : end;
    const std::size_t length = stop - start;
    lines.emplace_back(text.substr(start, length < max_line ? length : max_line));
    if (end == std::string_view::npos) break;
    start = end + 2;
  }
  return lines;
}

std::string JoinCrLf(const std::vector<std::string>& lines) {
  std::size_t total = 0;
  for (const auto& line : lines)
    total += line.size() + 2;
  std::string out;
  out.reserve(total);
  for (const auto& line : lines) {
    out += line;
    out += "\r\n";
  }
  return out;
}

std::string_view UpToNul(std::string_view text) {
  const std::size_t nul = text.find('\0');
  return nul == std::string_view::npos ? text : text.substr(0, nul);
}

const std::string& LineAt(const std::vector<std::string>& lines, std::ptrdiff_t index) {
  static const std::string kEmpty;
  if (index < 0 || index >= static_cast<std::ptrdiff_t>(lines.size())) return kEmpty;
  return lines[static_cast<std::size_t>(index)];
}

}  // namespace missivo
