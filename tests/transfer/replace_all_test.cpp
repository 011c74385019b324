#include "transfer/replace_all.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace missivo
