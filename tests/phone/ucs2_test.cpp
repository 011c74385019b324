#include "phone/ucs2.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "support/test_support.h"
#include "text/cp1251.h"

namespace missivo {
namespace {

using test::W;

std::string Hex4(char32_t unit) {
  char group[8];
  std::snprintf(group, sizeof group, "%04X", static_cast<unsigned>(unit));
  return group;
}

TEST(Ucs2GroupToCharTest, EveryCharacterOfTheCodePageComesBackAsItsByte) {
  for (int byte = 0; byte < 256; ++byte) {
    const char32_t unit = Cp1251ToUnicode(static_cast<unsigned char>(byte));
    EXPECT_EQ(static_cast<unsigned char>(Ucs2GroupToChar(Hex4(unit))), byte) << Hex4(unit);
  }
}

TEST(Ucs2GroupToCharTest, Groups) {
  const struct {
    const char* name;
    const char* group;
    char expected;
  } cases[] = {
      {"Latin", "0041", 'A'},
      {"lower-case digits", "044f", '\xFF'},
      {"Cyrillic capital Io, not a control byte", "0401", '\xA8'},
      {"small io", "0451", '\xB8'},
      {"numero sign, not 0x16", "2116", '\xB9'},
      {"en dash", "2013", '\x96'},
      {"em dash", "2014", '\x97'},
      {"guillemet", "00BB", '\xBB'},
      {"line feed", "000A", '\n'},
      {"CJK letter the code page cannot hold", "4E2D", '?'},
      {"Latin letter outside the code page", "0101", '?'},
      {"Greek letter outside the code page", "03A9", '?'},
      {"lone high surrogate", "D83D", '?'},
      {"not hexadecimal", "00G1", '\0'},
      {"quote inside", "\"004", '\0'},
  };
  for (const auto& c : cases)
    EXPECT_EQ(Ucs2GroupToChar(c.group), c.expected) << c.name;
}

TEST(DecodeUcs2HexTest, Texts) {
  const struct {
    const char* name;
    const char* hex;
    std::string expected;
  } cases[] = {
      {"greeting", "041F04400438043204350442", W("Привет")},
      {"three digits are no group", "004", ""},
      {"trailing digits ignored", "0041004", "A"},
      {"empty", "", ""},
      {"Io and numero", "0401002021160031", W("Ё №1")},
      {"line break inside", "0041000A0042", "A\nB"},
      {"emoji as a surrogate pair is one character", "0041D83DDE000042", "A?B"},
      {"two emoji", "D83DDE00D83DDE01", "??"},
      {"high surrogate at the end", "0041D83D", "A?"},
      {"low surrogate alone", "DE000041", "?A"},
      {"high surrogate before a letter", "D83D0041", "?A"},
      {"non-hexadecimal group", "ZZZZ0041", std::string("\0A", 2)},
  };
  for (const auto& c : cases)
    EXPECT_EQ(DecodeUcs2Hex(c.hex), c.expected) << c.name;
}

}  // namespace
}  // namespace missivo
