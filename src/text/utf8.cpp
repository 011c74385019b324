#include "text/utf8.h"

namespace missivo {
namespace {

bool IsSurrogate(char32_t unit) {
  return unit >= 0xD800 && unit <= 0xDFFF;
}
bool IsHighSurrogate(char32_t unit) {
  return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsLowSurrogate(char32_t unit) {
  return unit >= 0xDC00 && unit <= 0xDFFF;
}

void AppendUtf16(std::u16string& out, char32_t code_point) {
  if (code_point >= 0x10000) {
    code_point -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (code_point >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (code_point & 0x3FF)));
  } else {
    out.push_back(static_cast<char16_t>(code_point));
  }
}

}  // namespace

Utf8Step DecodeUtf8(std::string_view text, std::size_t at) {
  constexpr Utf8Step kInvalid{kReplacementCharacter, 1, false};
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
    return kInvalid;
  }
  if (at + length > text.size()) return kInvalid;
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(i) & 0xC0) != 0x80) return kInvalid;
    value = (value << 6) | (byte(i) & 0x3F);
  }
  if (value < minimum || value > 0x10FFFF || IsSurrogate(value)) return kInvalid;
  return {value, length, true};
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

std::u32string Utf8ToCodePoints(std::string_view text, std::size_t* first_bad) {
  std::u32string points;
  points.reserve(text.size());
  if (first_bad) *first_bad = std::string_view::npos;
  for (std::size_t at = 0; at < text.size();) {
    const Utf8Step step = DecodeUtf8(text, at);
    if (!step.valid && first_bad && *first_bad == std::string_view::npos) *first_bad = at;
    points.push_back(step.code_point);
    at += step.length;
  }
  return points;
}

std::string CodePointsToUtf8(std::u32string_view code_points) {
  std::string out;
  out.reserve(code_points.size());
  for (char32_t point : code_points)
    AppendUtf8(out, point);
  return out;
}

std::u16string CodePointsToUtf16(std::u32string_view code_points) {
  std::u16string units;
  units.reserve(code_points.size());
  for (char32_t point : code_points)
    AppendUtf16(units, point);
  return units;
}

std::string Utf16ToUtf8(std::u16string_view units) {
  std::string out;
  out.reserve(units.size() * 2);
  for (std::size_t i = 0; i < units.size(); ++i) {
    char32_t cp = units[i];
    if (IsHighSurrogate(cp) && i + 1 < units.size() && IsLowSurrogate(units[i + 1])) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (units[++i] - 0xDC00);
    } else if (IsSurrogate(cp)) {
      cp = kReplacementCharacter;  // half of a pair on its own stands for no character
    }
    AppendUtf8(out, cp);
  }
  return out;
}

std::u16string Utf8ToUtf16(std::string_view text) {
  std::u16string units;
  units.reserve(text.size());
  for (std::size_t at = 0; at < text.size();) {
    const Utf8Step step = DecodeUtf8(text, at);
    AppendUtf16(units, step.code_point);
    at += step.length;
  }
  return units;
}

}  // namespace missivo
