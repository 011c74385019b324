// Conversion between Windows-1251 bytes (the program's text form) and Unicode.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace missivo {

// The Unicode code point of one Windows-1251 byte. The one byte that the code
// page leaves undefined (0x98) maps to U+0098 so that conversion never loses a byte.
char32_t Cp1251ToUnicode(unsigned char byte);

// The Windows-1251 byte of a code point, or -1 when the code page cannot hold it.
int UnicodeToCp1251(char32_t code_point);

// Windows-1251 text to UTF-8.
std::string Cp1251ToUtf8(std::string_view text);

// The code point of UTF-8 text that starts at `at` and the bytes it takes. A
// byte that starts no valid sequence (overlong forms, encoded surrogates and
// values past U+10FFFF are not valid, nor is a sequence cut by the end) is
// taken as U+FFFD of length 1 and `valid` false, so decoding always moves on.
struct Utf8Step {
  char32_t code_point = 0;
  std::size_t length = 1;
  bool valid = false;
};
Utf8Step DecodeUtf8(std::string_view text, std::size_t at);

// Appends the UTF-8 bytes of one code point.
void AppendUtf8(std::string& out, char32_t code_point);

// UTF-16 code units as UTF-8; a surrogate pair is one character, half of a
// pair on its own becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view units);

// UTF-8 text to Windows-1251; characters the code page cannot hold, and bytes
// that are not valid UTF-8, become `replacement`.
std::string Utf8ToCp1251(std::string_view text, char replacement = '?');

}  // namespace missivo
