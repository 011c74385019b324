// UCS2 text as the phone sends it in hexadecimal digits, turned into Windows-1251
// or UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace missivo {

// One group of four hexadecimal digits ("0416") as a UTF-16 code unit; a group
// that is not a valid hexadecimal number gives 0.
char16_t Ucs2GroupValue(std::string_view group);

// The Windows-1251 character of one group: the code page's byte for the
// character, "?" for a character it cannot hold (and for half of a surrogate pair
// on its own; a whole pair is decoded by Ucs2UnitsToText), 0 for a group that is
// not hexadecimal.
char Ucs2GroupToChar(std::string_view group);

// The code units of a hexadecimal text, four digits each; one to three trailing
// digits are ignored.
std::u16string DecodeUcs2Units(std::string_view hex);

// UTF-16 code units as Windows-1251 text, one character per character: a
// surrogate pair is one character ("?", since the code page holds none of them).
std::string Ucs2UnitsToText(std::u16string_view units);

// Hexadecimal UCS2 text, e.g. "041F04400438043204350442", as Windows-1251 ("Привет").
std::string DecodeUcs2Hex(std::string_view hex);

// Hexadecimal UCS2 text as UTF-8, every character kept (a surrogate pair is
// one character; half of a pair on its own is U+FFFD). Its Windows-1251 form
// is what DecodeUcs2Hex gives.
std::string DecodeUcs2HexToUtf8(std::string_view hex);

}  // namespace missivo
