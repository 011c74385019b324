// FindAllFiles and its name masks, on the real file system.
#include "shell/folder_search.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/test_support.h"

namespace missivo::test {
namespace {

TEST(FolderSearchTest, ListsFilesAndSubFoldersDepthFirstInNameOrder) {
  TempFolder folder;
  std::filesystem::create_directories(folder / "x" / "y");
  WriteBytes(folder / "b.lng", "");
  WriteBytes(folder / "a.lng", "");
  WriteBytes(folder / "x" / "c.lng", "");
  WriteBytes(folder / "x" / "y" / "d.txt", "");
  const std::string base = folder.path().string();
  std::vector<std::string> found = {"kept"};
  int entries = 0;
  FindAllFiles(base, "", found, [&] { ++entries; });
  EXPECT_EQ(found,
            (std::vector<std::string>{"kept", base + "/a.lng", base + "/b.lng", base + "/x/",
                                      base + "/x/c.lng", base + "/x/y/", base + "/x/y/d.txt"}));
  EXPECT_EQ(entries, 6);

  // A mask other than "*.*" applies to sub-folder names too.
  std::vector<std::string> masked;
  FindAllFiles(base + "/", "*.lng", masked);
  EXPECT_EQ(masked, (std::vector<std::string>{base + "/a.lng", base + "/b.lng"}));

  std::vector<std::string> none;
  FindAllFiles(base + "/missing", "*.*", none);
  EXPECT_TRUE(none.empty());
}

TEST(FolderSearchTest, MasksMatchLikeFileNamePatterns) {
  const struct {
    const char* name;
    const char* mask;
    bool match;
  } cases[] = {
      {"Russian.lng", "*.*", true}, {"README", "*.*", true},      {"a.LNG", "*.lng", true},
      {"a.lngx", "*.lng", false},   {"skin.ini", "s?in.*", true}, {"sin.ini", "s?in.*", false},
      {"abc", "a*b*c", true},       {"abcb", "a*b", true},        {"", "*", true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(MatchesMask(c.name, c.mask), c.match) << c.name << " " << c.mask;
  }
}

}  // namespace
}  // namespace missivo::test
