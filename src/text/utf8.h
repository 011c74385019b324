// UTF-8, UTF-16 and code points: the one codec every layer uses (the SMS codec
// and the simulated phone included).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace missivo {

// What stands for a byte or unit that is no character.
inline constexpr char32_t kReplacementCharacter = 0xFFFD;

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

// The code points of a UTF-8 text, U+FFFD for each byte that starts no valid
// sequence; `first_bad`, when given, receives the byte offset of the first
// such byte (npos when the whole text is valid).
std::u32string Utf8ToCodePoints(std::string_view text, std::size_t* first_bad = nullptr);

// Code points as UTF-8, and as UTF-16 (a surrogate pair for each point past U+FFFF).
std::string CodePointsToUtf8(std::u32string_view code_points);
std::u16string CodePointsToUtf16(std::u32string_view code_points);

// UTF-16 code units as UTF-8; a surrogate pair is one character, half of a
// pair on its own becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view units);

// UTF-8 as UTF-16 code units (invalid bytes as U+FFFD).
std::u16string Utf8ToUtf16(std::string_view text);

}  // namespace missivo
