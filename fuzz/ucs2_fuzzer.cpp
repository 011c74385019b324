// UCS2 hexadecimal text from the phone: any bytes decode to one Windows-1251
// character per character (a surrogate pair is one), never a crash.
#include "fuzz_support.h"
#include "phone/ucs2.h"

namespace missivo {
namespace {

bool IsHigh(char16_t unit) {
  return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsLow(char16_t unit) {
  return unit >= 0xDC00 && unit <= 0xDFFF;
}

void Check(std::string_view hex) {
  const std::u16string units = DecodeUcs2Units(hex);
  fuzz::Require(units.size() == hex.size() / 4, "one code unit per four digits");
  std::size_t characters = 0;
  for (std::size_t i = 0; i < units.size(); ++i, ++characters) {
    if (IsHigh(units[i]) && i + 1 < units.size() && IsLow(units[i + 1])) ++i;
  }
  const std::string text = DecodeUcs2Hex(hex);
  fuzz::Require(text.size() == characters, "one byte per character");
  for (std::size_t i = 0, at = 0; at + 4 <= hex.size() && i < text.size(); ++i, at += 4) {
    if (IsHigh(units[at / 4]) || IsLow(units[at / 4])) break;  // pairs shift the positions
    fuzz::Require(text[i] == Ucs2GroupToChar(hex.substr(at, 4)), "a group decodes on its own");
  }
}

}  // namespace
}  // namespace missivo

MISSIVO_FUZZ_TEXT_TARGET(missivo::Check)
