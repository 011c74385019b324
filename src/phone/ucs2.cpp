#include "phone/ucs2.h"

#include "text/cp1251.h"
#include "text/hex_escapes.h"

namespace missivo {
namespace {

bool IsHighSurrogate(char16_t unit) {
  return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsLowSurrogate(char16_t unit) {
  return unit >= 0xDC00 && unit <= 0xDFFF;
}

// One code unit on its own; half of a surrogate pair stands for no character.
char UnitToChar(char16_t unit) {
  if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) return '?';
  const int byte = UnicodeToCp1251(unit);
  return byte < 0 ? '?' : static_cast<char>(byte);
}

}  // namespace

char16_t Ucs2GroupValue(std::string_view group) {
  if (group.size() != 4) return 0;
  unsigned value = 0;
  for (char c : group) {
    const int digit = HexDigitValue(c);
    if (digit < 0) return 0;
    value = value * 16 + static_cast<unsigned>(digit);
  }
  return static_cast<char16_t>(value);
}

char Ucs2GroupToChar(std::string_view group) {
  return UnitToChar(Ucs2GroupValue(group));
}

std::u16string DecodeUcs2Units(std::string_view hex) {
  std::u16string units;
  units.reserve(hex.size() / 4);
  for (std::size_t at = 0; at + 4 <= hex.size(); at += 4)
    units.push_back(Ucs2GroupValue(hex.substr(at, 4)));
  return units;
}

std::string Ucs2UnitsToText(std::u16string_view units) {
  std::string text;
  text.reserve(units.size());
  for (std::size_t i = 0; i < units.size(); ++i) {
    // A whole surrogate pair is one character outside the code page: one "?".
    if (IsHighSurrogate(units[i]) && i + 1 < units.size() && IsLowSurrogate(units[i + 1])) ++i;
    text.push_back(UnitToChar(units[i]));
  }
  return text;
}

std::string DecodeUcs2Hex(std::string_view hex) {
  return Ucs2UnitsToText(DecodeUcs2Units(hex));
}

std::string DecodeUcs2HexToUtf8(std::string_view hex) {
  return Utf16ToUtf8(DecodeUcs2Units(hex));
}

}  // namespace missivo
