#include "text/language.h"

#include <gtest/gtest.h>

#include "support/test_support.h"
#include "text/default_language.h"
#include "text/lines.h"

namespace missivo {
namespace {

using test::W;

LanguageLines Russian() {
  LanguageLines lang;
  lang.LoadFromBytes(DefaultRussianFileBytes());
  return lang;
}

TEST(LangTextTest, Lookups) {
  const std::string russian = DefaultRussianFileBytes();
  std::string lf_only;
  for (char c : russian) {
    if (c != '\r') lf_only.push_back(c);
  }
  // A blank line inserted after line 4 shifts every later key by one.
  auto shifted_lines = DefaultRussianLines();
  shifted_lines.insert(shifted_lines.begin() + 5, "");
  const std::string shifted = JoinCrLf(shifted_lines);

  const struct {
    const char* name;
    std::string file;
    std::string key;
    std::string expected;
  } cases[] = {
      {"Str81", russian, "Str81", W("По умолчанию")},
      {"Str5", russian, "Str5", "-----"},
      {"Str109", russian, "Str109", W("Старый пароль неверный")},
      {"Str127", russian, "Str127", W("дд.мм.гггг")},
      {"past the end", russian, "Str" + std::to_string(DefaultRussianLines().size()), "---"},
      {"empty list", "", "Str0", "---"},
      {"shifted by a blank line", shifted, "Str6", "-----"},
      {"shifted later key", shifted, "Str8", W("Сообщения")},
      {"LF-only file", lf_only, "Str55", W("Нет связи")},
      {"empty text", "Str0=x\r\nStr1=\r\n", "Str1", ""},
      {"line shorter than the cut", "Str0=x\r\nab\r\n", "Str1", ""},
      {"key never compared", "Str0=a\r\nWrong=text\r\n", "Str1", "=text"},
      {"text ends at NUL", std::string("Str0=ab\0c\r\nStr1=d", 17), "Str1", "---"},
      {"last line without a break", "Str0=a\r\nStr1=b", "Str1", "b"},
  };
  for (const auto& c : cases) {
    LanguageLines lang;
    lang.LoadFromBytes(c.file);
    EXPECT_EQ(lang.LangText(c.key), c.expected) << c.name;
  }
}

TEST(LangTextTest, DefaultFileBytesMatchTheReferenceFile) {
  const std::string reference =
      test::ReadBytes(std::filesystem::path(MISSIVO_TEST_DATA) / "Russian.lng");
  ASSERT_FALSE(reference.empty());
  // The 110 lines of the reference come first; the program's own texts follow.
  EXPECT_TRUE(DefaultRussianFileBytes().starts_with(reference));
  EXPECT_EQ(DefaultRussianLines()[110].substr(0, 7), "Str110=");
  EXPECT_EQ(Russian().LangText("Str48")[17], '\xF5');  // the Cyrillic letter after "1."
}

}  // namespace
}  // namespace missivo
