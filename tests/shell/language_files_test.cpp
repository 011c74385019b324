// Language files read from the program folder.
#include "shell/language_files.h"

#include <gtest/gtest.h>

#include "support/test_support.h"

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

}  // namespace
}  // namespace missivo
