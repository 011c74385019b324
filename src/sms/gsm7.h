// The GSM 7-bit default alphabet with its extension table, and the packing of
// septets into octets.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace missivo::sms {

inline constexpr std::uint8_t kEscape = 0x1B;

// The septets of one character: one for the default alphabet, escape and a
// second for the extension table ("€" -> 1B 65), none (count 0) when neither
// holds it.
struct CharacterSeptets {
  int count = 0;
  std::uint8_t septets[2] = {};

  std::vector<std::uint8_t> ToVector() const { return {septets, septets + count}; }
};
CharacterSeptets SeptetsOf(char32_t point);

// The septets of code points, or none when one of them is in neither table.
std::optional<std::vector<std::uint8_t>> ToSeptets(std::u32string_view points);

// Septets as UTF-8. An escape followed by a code the extension table lacks
// reads as that code's default character; a second escape, or an escape at the
// end, reads as a space.
std::string SeptetsToUtf8(const std::vector<std::uint8_t>& septets);

// `count` septets packed from bit `fill_bits` of `octets` (the fill bits after a
// user-data header, whatever their value). The caller checks that the octets hold them.
std::vector<std::uint8_t> UnpackSeptets(const std::uint8_t* octets, std::size_t count,
                                        int fill_bits);

// Septets packed into octets, after `fill_bits` zero bits.
std::vector<std::uint8_t> PackSeptets(const std::vector<std::uint8_t>& septets, int fill_bits);

}  // namespace missivo::sms
