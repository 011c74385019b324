#include "text/lines.h"

#include <gtest/gtest.h>

namespace missivo {
namespace {

using Lines = std::vector<std::string>;

TEST(SplitAnyBreakTest, EveryKindOfBreak) {
  const struct {
    const char* name;
    std::string text;
    Lines expected;
  } cases[] = {
      {"empty", "", {}},
      {"CR LF counts once", "a\r\nb", {"a", "b"}},
      {"lone CR", "a\rb", {"a", "b"}},
      {"lone LF", "a\nb", {"a", "b"}},
      {"LF CR is two breaks", "a\n\rb", {"a", "", "b"}},
      {"break at the end starts no line", "a\r\n", {"a"}},
      {"only a break", "\r\n", {""}},
      {"empty lines kept", "\r\n\r\nOK\r\n", {"", "", "OK"}},
      {"last line without break", "a\r\nOK", {"a", "OK"}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SplitAnyBreak(c.text), c.expected) << c.name;
  }
}

TEST(SplitCrLfTest, OnlyPairsBreakAndLinesAreCut) {
  EXPECT_EQ(SplitCrLf("a\rb\nc\r\nd"), (Lines{"a\rb\nc", "d"}));
  EXPECT_EQ(SplitCrLf("x\r\n\r\nOK\r"), (Lines{"x", "", "OK\r"}));
  EXPECT_EQ(SplitCrLf(""), Lines{});
  EXPECT_EQ(SplitCrLf("a\r\n"), Lines{"a"});

  const std::string long_line(5000, 'F');
  const auto cut = SplitCrLf(long_line + "\r\nOK");
  ASSERT_EQ(cut.size(), 2u);
  EXPECT_EQ(cut[0].size(), 4096u);
  EXPECT_EQ(cut[1], "OK");
}

TEST(JoinCrLfTest, EveryLineEndsWithCrLf) {
  EXPECT_EQ(JoinCrLf({"a", "", "b"}), "a\r\n\r\nb\r\n");
  EXPECT_EQ(JoinCrLf({}), "");
}

TEST(LineAtTest, BeyondEitherEndIsEmpty) {
  const Lines lines{"a", "b"};
  EXPECT_EQ(LineAt(lines, 1), "b");
  EXPECT_EQ(LineAt(lines, 2), "");
  EXPECT_EQ(LineAt(lines, -1), "");
}

TEST(UpToNulTest, EndsAtFirstNul) {
  EXPECT_EQ(UpToNul(std::string_view("ab\0cd", 5)), "ab");
  EXPECT_EQ(UpToNul("abc"), "abc");
}

}  // namespace
}  // namespace missivo
