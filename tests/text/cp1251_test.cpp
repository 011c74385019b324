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

}  // namespace
}  // namespace missivo
