#include "text/pieces.h"

#include <gtest/gtest.h>

namespace missivo {
namespace {

struct PieceCase {
  const char* name;
  const char* text;
  Pos start;
  Pos length;
  const char* expected;
};

TEST(PieceTest, ClampsStartAndLength) {
  const PieceCase cases[] = {
      {"inside", "abcdef", 2, 3, "bcd"},
      {"start before 1 keeps the length", "abcdef", -1, 3, "abc"},
      {"start 0 counts as 1", "abcdef", 0, 2, "ab"},
      {"start past the end", "abcdef", 7, 2, ""},
      {"negative length", "abcdef", 2, -1, ""},
      {"zero length", "abcdef", 2, 0, ""},
      {"length past the end stops there", "abcdef", 5, 100, "ef"},
      {"empty text", "", 1, 3, ""},
      {"last character", "abcdef", 6, 1, "f"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Piece(c.text, c.start, c.length), c.expected) << c.name;
  }
}

struct FindCase {
  const char* name;
  const char* sub;
  const char* text;
  Pos start;
  Pos expected;
};

TEST(FindFromTest, FindsFromPosition) {
  const FindCase cases[] = {
      {"from 0 acts as 1", "55", "+1555", 0, 3},
      {"from 1", "55", "+1555", 1, 3},
      {"overlapping next", "55", "+1555", 4, 4},
      {"no room left", "55", "+1555", 5, 0},
      {"empty sub", "", "+1555", 1, 0},
      {"empty text", "5", "", 1, 0},
      {"absent", "7", "+1555", 1, 0},
      {"case-sensitive", "ok", "OK", 1, 0},
      {"negative start acts as 1", "+", "+1555", -4, 1},
      {"start far past the end", "5", "+1555", 99, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FindFrom(c.sub, c.text, c.start), c.expected) << c.name;
  }
}

TEST(CharAtTest, OutsideTheTextIsNul) {
  EXPECT_EQ(CharAt("abc", 1), 'a');
  EXPECT_EQ(CharAt("abc", 3), 'c');
  EXPECT_EQ(CharAt("abc", 0), '\0');
  EXPECT_EQ(CharAt("abc", 4), '\0');
}

}  // namespace
}  // namespace missivo
