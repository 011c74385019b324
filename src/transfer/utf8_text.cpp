#include "transfer/utf8_text.h"

namespace missivo {
namespace {

bool XmlAllows(char32_t c) {
  if (c < 0x20) return c == '\t' || c == '\n' || c == '\r';
  return c != 0xFFFE && c != 0xFFFF;
}

}  // namespace

std::string XmlSafeText(std::string_view text, std::size_t* replaced) {
  std::string out;
  out.reserve(text.size());
  std::size_t count = 0;
  for (std::size_t at = 0; at < text.size();) {
    const auto first = static_cast<unsigned char>(text[at]);
    if (first >= 0x20 && first < 0x80) {  // the common case, byte by byte
      out.push_back(static_cast<char>(first));
      ++at;
      continue;
    }
    const Utf8Step c = DecodeUtf8(text, at);
    if (c.valid && XmlAllows(c.code_point)) {
      out.append(text.substr(at, c.length));
    } else {
      AppendUtf8(out, kReplacementCharacter);
      ++count;
    }
    at += c.length;
  }
  if (replaced != nullptr) *replaced = count;
  return out;
}

std::size_t CodePoints(std::string_view utf8) {
  std::size_t count = 0;
  for (char c : utf8)
    count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return count;
}

bool IsValidUtf8(std::string_view text) {
  for (std::size_t at = 0; at < text.size();) {
    const Utf8Step c = DecodeUtf8(text, at);
    if (!c.valid) return false;
    at += c.length;
  }
  return true;
}

}  // namespace missivo
