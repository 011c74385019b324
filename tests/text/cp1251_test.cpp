#include "text/cp1251.h"

#include <gtest/gtest.h>

namespace missivo {
namespace {

TEST(Cp1251Test, EveryByteSurvivesTheRoundTrip) {
  std::string all;
  for (int b = 0; b < 256; ++b)
    all.push_back(static_cast<char>(b));
  EXPECT_EQ(Utf8ToCp1251(Cp1251ToUtf8(all)), all);
}

TEST(Cp1251Test, KnownLetters) {
  const struct {
    const char* utf8;
    const char* cp1251;
  } cases[] = {
      {"Привет", "\xCF\xF0\xE8\xE2\xE5\xF2"},
      {"Ёё", "\xA8\xB8"},
      {"№", "\xB9"},
      {"«—»", "\xAB\x97\xBB"},
      {"Українська ґ", "\xD3\xEA\xF0\xE0\xBF\xED\xF1\xFC\xEA\xE0 \xB4"},
      {"€", "\x88"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Utf8ToCp1251(c.utf8), c.cp1251) << c.utf8;
    EXPECT_EQ(Cp1251ToUtf8(c.cp1251), c.utf8) << c.utf8;
  }
}

TEST(Cp1251Test, WhatTheCodePageCannotHoldBecomesReplacement) {
  EXPECT_EQ(Utf8ToCp1251("a\xF0\x9F\x98\x80z"), "a?z");  // an emoji
  EXPECT_EQ(Utf8ToCp1251("\xE4\xB8\xAD"), "?");          // a CJK letter
  EXPECT_EQ(Utf8ToCp1251("\xFFok"), "?ok");              // not UTF-8
  EXPECT_EQ(Utf8ToCp1251("\xD0"), "?");                  // cut short
  EXPECT_EQ(UnicodeToCp1251(0x2116), 0xB9);
  EXPECT_EQ(UnicodeToCp1251(0x4E2D), -1);
}

// The one UTF-8 decoder that the search folding and the file formats share:
// every sequence that is not the shortest valid form is one replaced byte.
TEST(Cp1251Test, DecodeUtf8TakesOnlyShortestValidSequences) {
  const struct {
    std::string_view text;
    std::size_t at;
    char32_t code_point;
    std::size_t length;
    bool valid;
  } cases[] = {
      {"a", 0, U'a', 1, true},
      {"\xD0\x96", 0, U'Ж', 2, true},
      {"x\xE2\x84\x96", 1, U'№', 3, true},
      {"\xF0\x9F\x98\x80", 0, 0x1F600, 4, true},
      {"\xF4\x8F\xBF\xBF", 0, 0x10FFFF, 4, true},
      {"\xC0\xAF", 0, 0xFFFD, 1, false},              // overlong '/'
      {"\xE0\x80\xAF", 0, 0xFFFD, 1, false},          // overlong '/', three bytes
      {"\xED\xA0\x80", 0, 0xFFFD, 1, false},          // an encoded surrogate
      {"\xF4\x90\x80\x80", 0, 0xFFFD, 1, false},      // past U+10FFFF
      {"\xE2\x84", 0, 0xFFFD, 1, false},              // cut by the end
      {"\xD0z", 0, 0xFFFD, 1, false},                 // a lead byte without its tail
      {"\x96", 0, 0xFFFD, 1, false},                  // a tail byte alone
      {"\xF8\x88\x80\x80\x80", 0, 0xFFFD, 1, false},  // five bytes
  };
  for (const auto& c : cases) {
    const Utf8Step step = DecodeUtf8(c.text, c.at);
    EXPECT_EQ(step.code_point, c.code_point) << testing::PrintToString(std::string(c.text));
    EXPECT_EQ(step.length, c.length) << testing::PrintToString(std::string(c.text));
    EXPECT_EQ(step.valid, c.valid) << testing::PrintToString(std::string(c.text));
  }
}

}  // namespace
}  // namespace missivo
