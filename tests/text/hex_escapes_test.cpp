#include "text/hex_escapes.h"

#include <gtest/gtest.h>

namespace missivo {
namespace {

TEST(HexEscapesTest, OnlyAnEscapeWithTwoDigitsBecomesAByte) {
  const struct {
    std::string_view text;
    char escape;
    std::string expected;
  } cases[] = {
      {"a%2Cb%0d%0A", '%', "a,b\r\n"},
      {"=D0=96=d0=b6", '=', "\xD0\x96\xD0\xB6"},
      {"%00", '%', std::string(1, '\0')},
      {"=FF", '=', "\xFF"},
      {"100%", '%', "100%"},      // at the end
      {"%4", '%', "%4"},          // one digit left
      {"%G1%1G", '%', "%G1%1G"},  // not hexadecimal
      {"=41%41", '%', "=41A"},    // only the given escape
      {"%%41", '%', "%A"},        // the first '%' has no digits
      {"%2541", '%', "%41"},      // a decoded '%' is not decoded again
  };
  for (const auto& c : cases)
    EXPECT_EQ(DecodeHexEscapes(c.text, c.escape), c.expected) << c.text;
}

}  // namespace
}  // namespace missivo
