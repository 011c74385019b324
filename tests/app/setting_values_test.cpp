#include "app/setting_values.h"

#include <gtest/gtest.h>

namespace missivo {
namespace {

TEST(DecimalOfTest, WholeNumbersWithOneSignAtMost) {
  const struct {
    const char* text;
    std::optional<int> value;
  } cases[] = {
      {"3", 3},
      {"+3", 3},
      {"-1", -1},
      {"007", 7},
      {"2147483647", 2147483647},
      {"-2147483648", -2147483647 - 1},
      {"2147483648", {}},
      {"", {}},
      {"+", {}},
      {"-", {}},
      {"+-5", {}},
      {"-+5", {}},
      {"++5", {}},
      {" 3", {}},
      {"3 ", {}},
      {"3x", {}},
      {"0x10", {}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(DecimalOf(c.text), c.value) << '"' << c.text << '"';
}

}  // namespace
}  // namespace missivo
