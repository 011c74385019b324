// Language files read from the program folder.
#include "shell/language_files.h"

#include <gtest/gtest.h>

#include <string>

#include "support/test_support.h"
#include "text/default_language.h"

namespace missivo {
namespace {

TEST(LanguageFilesTest, LoadsFromAFileAndKeepsLinesWhenTheFileIsMissing) {
  test::TempFolder folder;
  test::WriteBytes(folder / "a.lng", "Str0=English\r\nStr1=Connect\r\n");
  LanguageLines lang;
  ASSERT_TRUE(LoadLanguageFile(folder / "a.lng", lang));
  EXPECT_EQ(lang.LangText("Str1"), "Connect");
  EXPECT_FALSE(LoadLanguageFile(folder / "missing.lng", lang));
  EXPECT_EQ(lang.LangText("Str0"), "English");
}

// A Russian.lng written by an older version has fewer lines than the built-in
// file: its own texts stay, the keys added since come from the built-in file.
TEST(LanguageFilesTest, AnOlderShippedFileTakesTheLinesAddedSince) {
  LanguageLines built_in;
  built_in.LoadFromBytes(DefaultRussianFileBytes());
  const std::size_t count = built_in.lines().size();
  ASSERT_GT(count, 3u);
  std::string older;
  for (std::size_t i = 0; i + 2 < count; ++i)
    older += (i == 1 ? std::string("Str1=Edited") : built_in.lines()[i]) + "\r\n";
  test::TempFolder folder;
  test::WriteBytes(folder / "Russian.lng", older + "\r\n");  // an empty line at the end too
  test::WriteBytes(folder / "Other.lng", older);
  const std::string last_key = "Str" + std::to_string(count - 1);

  LanguageLines lang;
  ASSERT_TRUE(LoadLanguageFile(folder / "Russian.lng", lang));
  EXPECT_EQ(lang.LangText("Str1"), "Edited");
  EXPECT_EQ(lang.lines().size(), count);
  EXPECT_EQ(lang.LangText(last_key), built_in.LangText(last_key));

  ASSERT_TRUE(LoadLanguageFile(folder / "Other.lng", lang));
  EXPECT_EQ(lang.LangText(last_key), "---");
}

}  // namespace
}  // namespace missivo
