#include "core/atomic_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "support/file_limit.h"
#include "support/test_support.h"

namespace missivo {
namespace {

using test::ReadBytes;
using test::TempFolder;
using test::WriteBytes;

std::size_t EntryCount(const std::filesystem::path& folder) {
  std::size_t count = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder))
    ++count;
  return count;
}

TEST(AtomicFileTest, ReplacesTheWholeFileWithModeForDataFiles) {
  TempFolder folder;
  const auto path = folder / "Messages.sms";
  WriteBytes(path, std::string(1000, 'o'));
  ASSERT_TRUE(WriteFileAtomically(path, "new").ok());
  EXPECT_EQ(ReadBytes(path), "new");
  struct stat info {};
  ASSERT_EQ(::stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
  EXPECT_EQ(EntryCount(folder.path()), 1u);

  ASSERT_TRUE(WriteFileAtomically(folder / "template.tml", "t", 0644).ok());
  ASSERT_EQ(::stat((folder / "template.tml").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0644u);
}

TEST(AtomicFileTest, FullDiskLeavesTheOldFileWhole) {
  TempFolder folder;
  const auto path = folder / "Messages.sms";
  const std::string old_bytes(100, 'o');
  WriteBytes(path, old_bytes);
  Status status;
  {
    const test::FileSizeLimit disk_full(4096);
    status = WriteFileAtomically(path, std::string(100000, 'n'));
  }
  ASSERT_FALSE(status.ok());
  EXPECT_NE(status.message().find("Messages.sms"), std::string::npos) << status.message();
  EXPECT_NE(status.message().find("left as it was"), std::string::npos) << status.message();
  EXPECT_EQ(ReadBytes(path), old_bytes);
  EXPECT_EQ(EntryCount(folder.path()), 1u);  // the temporary file is gone
}

TEST(AtomicFileTest, FailuresNameTheFile) {
  TempFolder folder;
  // The target is a folder: the rename fails, nothing changes.
  std::filesystem::create_directory(folder / "Data");
  const Status into_folder = WriteFileAtomically(folder / "Data", "x");
  ASSERT_FALSE(into_folder.ok());
  EXPECT_NE(into_folder.message().find("Data"), std::string::npos);
  EXPECT_TRUE(std::filesystem::is_directory(folder / "Data"));
  EXPECT_EQ(EntryCount(folder.path()), 1u);

  // The folder is missing: no temporary file can be made.
  const Status no_folder = WriteFileAtomically(folder / "missing" / "Phonebook.pbk", "x");
  ASSERT_FALSE(no_folder.ok());
  EXPECT_NE(no_folder.message().find("Phonebook.pbk"), std::string::npos);

  const Result<std::string> missing = ReadWholeFile(folder / "Password.pwd");
  ASSERT_FALSE(missing.ok());
  EXPECT_NE(missing.message().find("Password.pwd"), std::string::npos);
}

// A data file kept on another disk behind a symbolic link: the write goes to
// the file the link leads to (its temporary file beside it), the link stays a
// link, and the file gets the data file mode whatever it had.
TEST(AtomicFileTest, WritesThroughSymbolicLinks) {
  const struct {
    const char* name;
    std::vector<std::pair<std::string, std::string>> links;  // link -> where it points
    std::string target;                                      // the file that must change
    bool target_exists;
  } cases[] = {
      {"absolute link",
       {{"Data/Messages.sms", "@synced/Messages.sms"}},
       "synced/Messages.sms",
       true},
      {"relative link",
       {{"Data/Messages.sms", "../synced/Messages.sms"}},
       "synced/Messages.sms",
       true},
      {"chain of two links",
       {{"Data/Messages.sms", "../mid/link"}, {"mid/link", "../synced/Messages.sms"}},
       "synced/Messages.sms",
       true},
      {"link to a file not made yet",
       {{"Data/Messages.sms", "../synced/new.sms"}},
       "synced/new.sms",
       false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TempFolder folder;
    for (const char* sub : {"Data", "mid", "synced"})
      std::filesystem::create_directory(folder / sub);
    if (c.target_exists) {
      WriteBytes(folder / c.target, "old");
      ::chmod((folder / c.target).c_str(), 0644);
    }
    for (const auto& [link, to] : c.links) {
      const std::string pointed = to.starts_with('@') ? (folder / to.substr(1)).string() : to;
      std::filesystem::create_symlink(pointed, folder / link);
    }
    const auto link = folder / "Data" / "Messages.sms";
    ASSERT_TRUE(WriteFileAtomically(link, "new").ok());
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(ReadBytes(folder / c.target), "new");
    EXPECT_EQ(ReadBytes(link), "new");
    struct stat info {};
    ASSERT_EQ(::lstat((folder / c.target).c_str(), &info), 0);
    EXPECT_TRUE(S_ISREG(info.st_mode));
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    EXPECT_EQ(EntryCount(folder / "Data"), 1u);  // only the link, no temporary file
    EXPECT_EQ(EntryCount(folder / "synced"), 1u);
  }
}

TEST(AtomicFileTest, ALoopOfLinksFailsAndChangesNothing) {
  TempFolder folder;
  std::filesystem::create_symlink("b", folder / "a");
  std::filesystem::create_symlink("a", folder / "b");
  const Status status = WriteFileAtomically(folder / "a", "x");
  EXPECT_FALSE(status.ok());
  EXPECT_TRUE(std::filesystem::is_symlink(folder / "a"));
  EXPECT_TRUE(std::filesystem::is_symlink(folder / "b"));
  EXPECT_EQ(EntryCount(folder.path()), 2u);
}

TEST(AtomicFileTest, ReadsAndRemovesWholeFiles) {
  TempFolder folder;
  const std::string bytes(200000, 'b');
  WriteBytes(folder / "f", bytes);
  EXPECT_EQ(ReadWholeFile(folder / "f").value(), bytes);
  WriteBytes(folder / "empty", "");
  EXPECT_EQ(ReadWholeFile(folder / "empty").value(), "");
  ASSERT_TRUE(RemoveFile(folder / "f").ok());
  EXPECT_FALSE(FileExists(folder / "f"));
  EXPECT_TRUE(RemoveFile(folder / "f").ok());  // already gone
}

}  // namespace
}  // namespace missivo
