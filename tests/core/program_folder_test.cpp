#include "core/program_folder.h"

#include <gtest/gtest.h>

namespace missivo {
namespace {

// An installed copy never takes the system's folders as its program folder,
// also when its user may write there.
TEST(ProgramFolderTest, SystemFoldersAreTheInstalledOnes) {
  const struct {
    const char* folder;
    bool system;
  } cases[] = {
      {"/usr/bin", true},
      {"/usr/local/bin", true},
      {"/bin", true},
      {"/sbin/", true},
      {"/usr/bin/../lib", true},
      {"/usr", true},
      {"/home/me/missivo", false},
      {"/opt/missivo", false},
      {"/usrlocal/bin", false},
      {"/tmp/usr/bin", false},
      {"/", false},
      {"usr/bin", false},
      {"/home/../usr/bin", true},
  };
  for (const auto& c : cases)
    EXPECT_EQ(IsSystemFolder(c.folder), c.system) << c.folder;
}

// The tests run from the build tree, a writable folder of its own: the
// portable case, where the executable's folder is the program folder.
TEST(ProgramFolderTest, WritableFolderOfTheExecutableIsTheProgramFolder) {
  EXPECT_EQ(ResolveProgramFolder(), ExecutableFolder());
}

}  // namespace
}  // namespace missivo
