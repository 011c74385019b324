// UTF-8 and UTF-16 for the codec: texts come in and go out as UTF-8, UCS2 user
// data is UTF-16 code units.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace missivo::sms {

inline constexpr char32_t kReplacement = 0xFFFD;

// The code points of a UTF-8 text. An invalid sequence (overlong, a surrogate,
// past U+10FFFF, cut short) gives U+FFFD per bad byte; `first_bad`, when given,
// receives the byte offset of the first one (npos when all is valid).
std::u32string DecodeUtf8(std::string_view text, std::size_t* first_bad = nullptr);

void AppendUtf8(std::string& out, char32_t code_point);
std::string EncodeUtf8(std::u32string_view code_points);

// UTF-16 code units as UTF-8; a lone half of a surrogate pair becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view units);
// Code points as UTF-16 (a pair for each point past U+FFFF).
std::u16string ToUtf16(std::u32string_view code_points);

}  // namespace missivo::sms
