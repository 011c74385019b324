// Bytes written as an escape character and two hexadecimal digits ("%2C" in
// the archive's message fields, "=D0" in quoted-printable text).
#pragma once

#include <string>
#include <string_view>

namespace missivo {

// The value of a hexadecimal digit in either case, or -1.
int HexDigitValue(char c);

// Appends the two upper-case hexadecimal digits of a byte ("2C").
void AppendHexByte(std::string& out, unsigned char byte);

// `text` with every `escape` followed by two hexadecimal digits turned into
// the byte they name; an escape without two digits stays as it is.
std::string DecodeHexEscapes(std::string_view text, char escape);

}  // namespace missivo
