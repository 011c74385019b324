#include "transfer/utf8_text.h"

namespace missivo {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsContinuation(unsigned char byte) {
  return (byte & 0xC0) == 0x80;
}

bool XmlAllows(char32_t c) {
  if (c < 0x20) return c == '\t' || c == '\n' || c == '\r';
  return c != 0xFFFE && c != 0xFFFF;
}

}  // namespace

DecodedChar DecodeUtf8(std::string_view text, std::size_t at) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[at + i]); };
  const unsigned char first = byte(0);
  if (first < 0x80) return {first, 1, true};
  std::size_t length = 0;
  char32_t value = 0;
  char32_t minimum = 0;
  if ((first & 0xE0) == 0xC0) {
    length = 2, value = first & 0x1F, minimum = 0x80;
  } else if ((first & 0xF0) == 0xE0) {
    length = 3, value = first & 0x0F, minimum = 0x800;
  } else if ((first & 0xF8) == 0xF0) {
    length = 4, value = first & 0x07, minimum = 0x10000;
  } else {
    return {kReplacement, 1, false};
  }
  if (at + length > text.size()) return {kReplacement, 1, false};
  for (std::size_t i = 1; i < length; ++i) {
    if (!IsContinuation(byte(i))) return {kReplacement, 1, false};
    value = (value << 6) | (byte(i) & 0x3F);
  }
  if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
    return {kReplacement, 1, false};
  }
  return {value, length, true};
}

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
    const DecodedChar c = DecodeUtf8(text, at);
    if (c.valid && XmlAllows(c.code_point)) {
      out.append(text.substr(at, c.length));
    } else {
      AppendUtf8(out, kReplacement);
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
    const DecodedChar c = DecodeUtf8(text, at);
    if (!c.valid) return false;
    at += c.length;
  }
  return true;
}

}  // namespace missivo
