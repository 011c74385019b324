// Contact entries of the standard phonebook read ("+CPBR:" lines).
#pragma once

#include <optional>
#include <string_view>

#include "store/row.h"

namespace missivo {

// The contact row of one entry line, or nothing when the line is not one.
//   +CPBR: 6,"",,"005300740061006E006C006500790020005000610075006C"
//   +CPBR: 1,"+79161234567",145,"Ivan"[,...]
// Name and number are the fourth and second fields without their quotes (or
// unquoted). With `ucs2`, a field written in UCS2 hexadecimal (hexadecimal
// digits only, four to a character) is decoded: names always, numbers when
// every character decodes to a dialling character.
std::optional<Row> ParseStandardContact(std::string_view line, bool ucs2);

}  // namespace missivo
