// Conversion between Windows-1251 bytes (the program's text form) and Unicode
// (the UTF-8 codec itself is in utf8.h).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "text/utf8.h"

namespace missivo {

// The Unicode code point of one Windows-1251 byte. The one byte that the code
// page leaves undefined (0x98) maps to U+0098 so that conversion never loses a byte.
char32_t Cp1251ToUnicode(unsigned char byte);

// The Windows-1251 byte of a code point, or -1 when the code page cannot hold it.
int UnicodeToCp1251(char32_t code_point);

// Windows-1251 text to UTF-8.
std::string Cp1251ToUtf8(std::string_view text);

// UTF-8 text to Windows-1251; characters the code page cannot hold, and bytes
// that are not valid UTF-8, become `replacement`.
std::string Utf8ToCp1251(std::string_view text, char replacement = '?');

}  // namespace missivo
