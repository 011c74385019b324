// Reply pieces that every simulated phone profile builds its answers from.
#pragma once

#include <cctype>
#include <charconv>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace phonesim {

inline const std::string kOk = "\r\nOK\r\n";
// The answer to a send command: the phone waits for the text.
inline const std::string kPrompt = "\r\n> ";

inline std::string Upper(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

// Information lines, then the final "OK": after an empty line as the standard
// frames it, or (`blank_line` false) right after the last line.
inline std::string WithOk(const std::vector<std::string>& lines, bool blank_line = true) {
  if (lines.empty()) return kOk;
  std::string out = "\r\n";
  for (const auto& line : lines)
    out += line + "\r\n";
  return blank_line ? out + kOk : out + "OK\r\n";
}

// A decimal number, or -1.
inline int Number(std::string_view text) {
  int value = -1;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size() ? value : -1;
}

}  // namespace phonesim
