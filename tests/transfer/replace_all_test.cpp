#include "transfer/replace_all.h"

#include <gtest/gtest.h>

#include <limits>
#include <optional>

namespace missivo {
namespace {

TEST(ReplaceAllTest, Cases) {
  const struct {
    const char* name;
    std::string text, pattern, value, expected;
  } cases[] = {
      {"occurrences do not overlap", "aaaa", "aa", "b", "bb"},
      {"inserted values are not searched", "aaaa", "aa", "aaa", "aaaaaa"},
      {"empty pattern changes nothing", "aaaa", "", "b", "aaaa"},
      {"empty text", "", "aa", "b", ""},
      {"no occurrence", "abc", "x", "y", "abc"},
      {"empty value removes", "a$Xb$X", "$X", "", "ab"},
      {"everything removed", "$X$X", "$X", "", ""},
      {"case-sensitive", "$number $Number", "$Number", "1", "$number 1"},
      {"at both ends and longer value", "$Xmid$X", "$X", "<v>", "<v>mid<v>"},
      {"text shorter than pattern", "a", "aa", "b", "a"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ReplaceAll(c.text, c.pattern, c.value), c.expected) << c.name;
}

// The limit counts the result's bytes: a result of exactly `limit` bytes
// passes, one more is refused; a result no longer than the text always passes.
TEST(ReplaceAllTest, WithinALimit) {
  const struct {
    const char* name;
    std::string text, pattern, value;
    std::size_t limit;
    std::optional<std::string> expected;
  } cases[] = {
      {"result at the limit", "a$Xb$X", "$X", "123", 8, "a123b123"},
      {"result one past", "a$Xb$X", "$X", "123", 7, std::nullopt},
      {"shrinking result past the limit", "a$X$X$X", "$X", "b", 0, "abbb"},
      {"no occurrence past the limit", "abc", "$X", "v", 2, "abc"},
      {"growing from past the limit", "abc$X", "$X", "vvv", 2, std::nullopt},
      {"a value that could overflow the length", "$X$X", "$X", std::string(64, 'v'),
       std::numeric_limits<std::size_t>::max() / 2 + 1, std::string(128, 'v')},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ReplaceAllWithin(c.text, c.pattern, c.value, c.limit), c.expected) << c.name;
}

}  // namespace
}  // namespace missivo
