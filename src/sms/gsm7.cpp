#include "sms/gsm7.h"

#include <array>
#include <utility>

#include "text/utf8.h"

namespace missivo::sms {
namespace {

// The default alphabet, by septet.
constexpr std::array<char32_t, 128> kDefault = {
    U'@', U'£', U'$', U'¥', U'è', U'é', U'ù', U'ì', U'ò', U'Ç',  U'\n', U'Ø', U'ø',    U'\r', U'Å',
    U'å', U'Δ', U'_', U'Φ', U'Γ', U'Λ', U'Ω', U'Π', U'Ψ', U'Σ',  U'Θ',  U'Ξ', U'\x1B', U'Æ',  U'æ',
    U'ß', U'É', U' ', U'!', U'"', U'#', U'¤', U'%', U'&', U'\'', U'(',  U')', U'*',    U'+',  U',',
    U'-', U'.', U'/', U'0', U'1', U'2', U'3', U'4', U'5', U'6',  U'7',  U'8', U'9',    U':',  U';',
    U'<', U'=', U'>', U'?', U'¡', U'A', U'B', U'C', U'D', U'E',  U'F',  U'G', U'H',    U'I',  U'J',
    U'K', U'L', U'M', U'N', U'O', U'P', U'Q', U'R', U'S', U'T',  U'U',  U'V', U'W',    U'X',  U'Y',
    U'Z', U'Ä', U'Ö', U'Ñ', U'Ü', U'§', U'¿', U'a', U'b', U'c',  U'd',  U'e', U'f',    U'g',  U'h',
    U'i', U'j', U'k', U'l', U'm', U'n', U'o', U'p', U'q', U'r',  U's',  U't', U'u',    U'v',  U'w',
    U'x', U'y', U'z', U'ä', U'ö', U'ñ', U'ü', U'à'};

// The extension table: the septet after an escape, and its character.
constexpr std::array<std::pair<std::uint8_t, char32_t>, 10> kExtension = {{
    {0x0A, U'\f'},
    {0x14, U'^'},
    {0x28, U'{'},
    {0x29, U'}'},
    {0x2F, U'\\'},
    {0x3C, U'['},
    {0x3D, U'~'},
    {0x3E, U']'},
    {0x40, U'|'},
    {0x65, U'€'},
}};

std::optional<char32_t> ExtensionCharacter(std::uint8_t septet) {
  for (const auto& [code, point] : kExtension)
    if (code == septet) return point;
  return std::nullopt;
}

}  // namespace

CharacterSeptets SeptetsOf(char32_t point) {
  // Most characters are below U+0100: looked up in a table made once; the few
  // above (Greek capitals, the euro) by a search of both tables.
  static const std::array<CharacterSeptets, 0x100> kLatin = [] {
    std::array<CharacterSeptets, 0x100> table{};
    for (const auto& [code, extension] : kExtension)
      if (extension < 0x100) table[extension] = CharacterSeptets{2, {kEscape, code}};
    for (std::size_t septet = 0; septet < kDefault.size(); ++septet)
      if (kDefault[septet] < 0x100 && septet != kEscape)
        table[kDefault[septet]] = CharacterSeptets{1, {std::uint8_t(septet), 0}};
    return table;
  }();
  if (point < 0x100) return kLatin[point];
  for (std::size_t septet = 0; septet < kDefault.size(); ++septet)
    if (kDefault[septet] == point) return CharacterSeptets{1, {std::uint8_t(septet), 0}};
  for (const auto& [code, extension] : kExtension)
    if (extension == point) return CharacterSeptets{2, {kEscape, code}};
  return {};
}

std::optional<std::vector<std::uint8_t>> ToSeptets(std::u32string_view points) {
  std::vector<std::uint8_t> septets;
  septets.reserve(points.size());
  for (char32_t point : points) {
    const CharacterSeptets character = SeptetsOf(point);
    if (character.count == 0) return std::nullopt;
    septets.insert(septets.end(), character.septets, character.septets + character.count);
  }
  return septets;
}

std::string SeptetsToUtf8(const std::vector<std::uint8_t>& septets) {
  std::string text;
  text.reserve(septets.size());
  for (std::size_t i = 0; i < septets.size(); ++i) {
    const std::uint8_t septet = septets[i] & 0x7F;
    if (septet != kEscape) {
      AppendUtf8(text, kDefault[septet]);
      continue;
    }
    if (i + 1 == septets.size()) {
      text += ' ';
      break;
    }
    const std::uint8_t next = septets[++i] & 0x7F;
    if (next == kEscape) {
      text += ' ';
    } else if (const auto extension = ExtensionCharacter(next)) {
      AppendUtf8(text, *extension);
    } else {
      AppendUtf8(text, kDefault[next]);
    }
  }
  return text;
}

std::vector<std::uint8_t> UnpackSeptets(const std::uint8_t* octets, std::size_t count,
                                        int fill_bits) {
  std::vector<std::uint8_t> septets(count);
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t bit = static_cast<std::size_t>(fill_bits) + i * 7;
    const std::size_t octet = bit / 8;
    const unsigned shift = bit % 8;
    unsigned value = octets[octet] >> shift;
    if (shift > 1) value |= static_cast<unsigned>(octets[octet + 1]) << (8 - shift);
    septets[i] = static_cast<std::uint8_t>(value & 0x7F);
  }
  return septets;
}

std::vector<std::uint8_t> PackSeptets(const std::vector<std::uint8_t>& septets, int fill_bits) {
  const std::size_t bits = static_cast<std::size_t>(fill_bits) + septets.size() * 7;
  std::vector<std::uint8_t> octets((bits + 7) / 8, 0);
  for (std::size_t i = 0; i < septets.size(); ++i) {
    const std::size_t bit = static_cast<std::size_t>(fill_bits) + i * 7;
    const unsigned value = static_cast<unsigned>(septets[i] & 0x7F) << (bit % 8);
    octets[bit / 8] |= static_cast<std::uint8_t>(value & 0xFF);
    if (value > 0xFF) octets[bit / 8 + 1] |= static_cast<std::uint8_t>(value >> 8);
  }
  return octets;
}

}  // namespace missivo::sms
