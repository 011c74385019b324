// The 7-bit default alphabet with its extension table, septet packing, and the
// UTF-8 / UTF-16 conversions of the codec.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sms/gsm7.h"
#include "text/utf8.h"

namespace missivo::sms {
namespace {

using Septets = std::vector<std::uint8_t>;

TEST(Gsm7Test, EscapeSequences) {
  const struct {
    const char* name;
    Septets septets;
    const char* text;
  } cases[] = {
      {"euro", {0x1B, 0x65}, "€"},
      {"brackets and braces", {0x1B, 0x3C, 0x1B, 0x28, 0x1B, 0x29, 0x1B, 0x3E}, "[{}]"},
      {"tilde, bar, backslash, caret", {0x1B, 0x3D, 0x1B, 0x40, 0x1B, 0x2F, 0x1B, 0x14}, "~|\\^"},
      {"form feed", {0x41, 0x1B, 0x0A, 0x42}, "A\fB"},
      {"unknown code after escape reads as the default character", {0x1B, 0x41}, "A"},
      {"escape after escape reads as a space", {0x1B, 0x1B, 0x42}, " B"},
      {"escape at the end reads as a space", {0x41, 0x1B}, "A "},
      {"default-table letters around them",
       {0x00, 0x01, 0x10, 0x1F, 0x24, 0x40, 0x60, 0x7F},
       "@£ΔÉ¤¡¿à"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(SeptetsToUtf8(c.septets), c.text) << c.name;
}

TEST(Gsm7Test, EveryCharacterOfBothTablesComesBack) {
  // Every septet but the escape, and every extension code, to text and back.
  for (std::uint8_t septet = 0; septet < 128; ++septet) {
    if (septet == kEscape) continue;
    const std::u32string point = Utf8ToCodePoints(SeptetsToUtf8({septet}));
    ASSERT_EQ(point.size(), 1u) << int(septet);
    EXPECT_EQ(SeptetsOf(point[0]).ToVector(), Septets{septet}) << int(septet);
  }
  for (std::uint8_t code : {0x0A, 0x14, 0x28, 0x29, 0x2F, 0x3C, 0x3D, 0x3E, 0x40, 0x65}) {
    const std::u32string point = Utf8ToCodePoints(SeptetsToUtf8({kEscape, code}));
    ASSERT_EQ(point.size(), 1u) << int(code);
    EXPECT_EQ(SeptetsOf(point[0]).ToVector(), (Septets{kEscape, code})) << int(code);
  }
  for (char32_t outside : {U'Ж', U'ç', U'\x1B', U'`', U'😘'})
    EXPECT_EQ(SeptetsOf(outside).count, 0) << int(outside);
}

TEST(Gsm7Test, PackingAfterEachNumberOfFillBits) {
  // "hellohello" packs to E8329BFD4697D9EC37 (a published PDU's user data).
  const Septets hello = *ToSeptets(U"hellohello");
  EXPECT_EQ(PackSeptets(hello, 0), (Septets{0xE8, 0x32, 0x9B, 0xFD, 0x46, 0x97, 0xD9, 0xEC, 0x37}));
  Septets all(128);
  for (std::size_t i = 0; i < all.size(); ++i)
    all[i] = static_cast<std::uint8_t>(i);
  for (int fill = 0; fill < 7; ++fill) {
    for (std::size_t count : {std::size_t{1}, std::size_t{7}, std::size_t{8}, all.size()}) {
      const Septets part(all.begin(), all.begin() + static_cast<std::ptrdiff_t>(count));
      const Septets packed = PackSeptets(part, fill);
      EXPECT_EQ(packed.size(), (fill + count * 7 + 7) / 8);
      EXPECT_EQ(UnpackSeptets(packed.data(), count, fill), part) << fill << " " << count;
    }
  }
}

TEST(UtfTest, InvalidUtf8BecomesReplacementCharacters) {
  const struct {
    const char* name;
    std::string text;
    std::u32string points;
    std::size_t first_bad;
  } cases[] = {
      {"valid", "aЖ€😘", U"aЖ€😘", std::string::npos},
      {"cut short", "a\xE2\x82", U"a\uFFFD\uFFFD", 1},
      {"overlong", "\xC0\xAF", U"\uFFFD\uFFFD", 0},
      {"encoded surrogate", "\xED\xA0\xBD", U"\uFFFD\uFFFD\uFFFD", 0},
      {"past U+10FFFF", "x\xF4\x90\x80\x80", U"x\uFFFD\uFFFD\uFFFD\uFFFD", 1},
  };
  for (const auto& c : cases) {
    std::size_t bad = 0;
    EXPECT_EQ(Utf8ToCodePoints(c.text, &bad), c.points) << c.name;
    EXPECT_EQ(bad, c.first_bad) << c.name;
  }
  EXPECT_EQ(CodePointsToUtf8(U"aЖ€😘"), "aЖ€😘");
  EXPECT_EQ(CodePointsToUtf16(U"a😘"), (std::u16string{u'a', 0xD83D, 0xDE18}));
  EXPECT_EQ(Utf16ToUtf8(std::u16string{0xDE18, u'a', 0xD83D}), "\uFFFDa\uFFFD");
}

}  // namespace
}  // namespace missivo::sms
