// Builders shared by the store tests: message and contact rows, hex bytes,
// the default Russian language.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "store/row.h"
#include "text/language.h"

namespace missivo::test {

// A message row: text, From, Date/Time, Size, Index, Type (Windows-1251) and image.
Row MessageRow(std::string text, std::string from, std::string index = "1",
               std::string date_time = "17/05/2006,14:03:59", std::int32_t image = kImageIncoming);

// A contact row: name and number, image 30.
Row ContactRow(std::string name, std::string number);

// What the list file reader of the description makes of a plain list file:
// the caption and every sub-item, each up to its first zero byte. Written
// apart from the program's decoder, from the format as documented.
std::vector<Row> ReadAsTheFormatSays(const std::string& plain);

// Bytes from hexadecimal digits; blanks and '|' between them are ignored.
std::string Hex(std::string_view digits);

// Hexadecimal digits (upper case) of bytes.
std::string ToHex(std::string_view bytes);

// The built-in Russian language lines.
LanguageLines RussianLanguage();

}  // namespace missivo::test
