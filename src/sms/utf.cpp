#include "sms/utf.h"

namespace missivo::sms {
namespace {

bool IsHighSurrogate(char32_t unit) {
  return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsLowSurrogate(char32_t unit) {
  return unit >= 0xDC00 && unit <= 0xDFFF;
}

// The code point of the sequence starting at `at`, and its length; 0 for an invalid one.
std::size_t ReadSequence(std::string_view text, std::size_t at, char32_t& point) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(at);
  std::size_t length = 0;
  char32_t minimum = 0;
  if (lead < 0x80) {
    point = lead;
    return 1;
  } else if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, point = lead & 0x1F, minimum = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, point = lead & 0x0F, minimum = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, point = lead & 0x07, minimum = 0x10000;
  } else {
    return 0;
  }
  if (text.size() - at < length) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(at + i) & 0xC0) != 0x80) return 0;
    point = (point << 6) | (byte(at + i) & 0x3F);
  }
  if (point < minimum || point > 0x10FFFF || IsHighSurrogate(point) || IsLowSurrogate(point))
    return 0;
  return length;
}

}  // namespace

std::u32string DecodeUtf8(std::string_view text, std::size_t* first_bad) {
  std::u32string points;
  points.reserve(text.size());
  if (first_bad) *first_bad = std::string_view::npos;
  for (std::size_t at = 0; at < text.size();) {
    char32_t point = 0;
    const std::size_t length = ReadSequence(text, at, point);
    if (length == 0) {
      if (first_bad && *first_bad == std::string_view::npos) *first_bad = at;
      points.push_back(kReplacement);
      ++at;
      continue;
    }
    points.push_back(point);
    at += length;
  }
  return points;
}

void AppendUtf8(std::string& out, char32_t point) {
  if (point < 0x80) {
    out += static_cast<char>(point);
  } else if (point < 0x800) {
    out += static_cast<char>(0xC0 | (point >> 6));
    out += static_cast<char>(0x80 | (point & 0x3F));
  } else if (point < 0x10000) {
    out += static_cast<char>(0xE0 | (point >> 12));
    out += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (point & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (point >> 18));
    out += static_cast<char>(0x80 | ((point >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (point & 0x3F));
  }
}

std::string EncodeUtf8(std::u32string_view points) {
  std::string out;
  out.reserve(points.size());
  for (char32_t point : points)
    AppendUtf8(out, point);
  return out;
}

std::string Utf16ToUtf8(std::u16string_view units) {
  std::string out;
  out.reserve(units.size() * 2);
  for (std::size_t i = 0; i < units.size(); ++i) {
    const char32_t unit = units[i];
    if (IsHighSurrogate(unit) && i + 1 < units.size() && IsLowSurrogate(units[i + 1])) {
      AppendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (units[i + 1] - 0xDC00));
      ++i;
    } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
      AppendUtf8(out, kReplacement);
    } else {
      AppendUtf8(out, unit);
    }
  }
  return out;
}

std::u16string ToUtf16(std::u32string_view points) {
  std::u16string units;
  units.reserve(points.size());
  for (char32_t point : points) {
    if (point >= 0x10000) {
      point -= 0x10000;
      units += static_cast<char16_t>(0xD800 + (point >> 10));
      units += static_cast<char16_t>(0xDC00 + (point & 0x3FF));
    } else {
      units += static_cast<char16_t>(point);
    }
  }
  return units;
}

}  // namespace missivo::sms
