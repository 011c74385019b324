// The terminal's lines and its log file: appended while lines are only added,
// rewritten whole otherwise, bytes and mode as the program writes them.
#include "phone/terminal_log.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "support/test_support.h"

namespace missivo {
namespace {

using test::ReadBytes;
using test::TempFolder;
using test::WriteBytes;

TEST(TerminalLinesTest, TextSplitsAtCrLfPairsOnly) {
  const struct {
    const char* name;
    std::string text;
    std::vector<std::string> lines;
  } cases[] = {
      {"empty text is one empty line", "", {""}},
      {"plain line", "OK", {"OK"}},
      {"ending CR LF adds an empty line", "OK\r\n", {"OK", ""}},
      {"echo with its lone CR", "AT\r\r\nOK\r\n", {"AT\r", "OK", ""}},
      {"lone LF stays", "a\nb\r\n\r\nc", {"a\nb", "", "c"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(TerminalLinesOf(c.text), c.lines);
  }
}

ino_t InodeOf(const std::filesystem::path& path) {
  struct stat info {};
  EXPECT_EQ(::stat(path.c_str(), &info), 0);
  return info.st_ino;
}

TEST(TerminalLogTest, AddedLinesAreAppendedOtherChangesRewrite) {
  TempFolder folder;
  const auto file = folder / "Terminal.log";
  WriteBytes(file, "last run\r\n");
  TerminalLog log(file);

  // The first change of a run replaces the old log, even when it only adds.
  std::vector<std::string> lines = {"AT\r", "OK", ""};
  ASSERT_TRUE(log.LinesAdded(lines, 0).ok());
  EXPECT_EQ(ReadBytes(file), "AT\r\r\nOK\r\n\r\n");
  struct stat info {};
  ASSERT_EQ(::stat(file.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
  const ino_t first = InodeOf(file);

  // Added lines go to the end of the same file.
  lines.push_back("+CSQ: 20,99");
  ASSERT_TRUE(log.LinesAdded(lines, 3).ok());
  lines.push_back("");
  ASSERT_TRUE(log.LinesAdded(lines, 4).ok());
  EXPECT_EQ(ReadBytes(file), "AT\r\r\nOK\r\n\r\n+CSQ: 20,99\r\n\r\n");
  EXPECT_EQ(InodeOf(file), first);

  // A change that is not an addition at the end rewrites the file whole.
  lines = {"edited"};
  ASSERT_TRUE(log.Rewrite(lines).ok());
  EXPECT_EQ(ReadBytes(file), "edited\r\n");
  lines.push_back("more");
  ASSERT_TRUE(log.LinesAdded(lines, 1).ok());
  EXPECT_EQ(ReadBytes(file), "edited\r\nmore\r\n");

  // Additions that do not start where the file ends rewrite it too.
  lines = {"x", "y", "z"};
  ASSERT_TRUE(log.LinesAdded(lines, 1).ok());
  EXPECT_EQ(ReadBytes(file), "x\r\ny\r\nz\r\n");

  ASSERT_TRUE(log.Rewrite({}).ok());
  EXPECT_EQ(ReadBytes(file), "");
}

TEST(TerminalLogTest, PausedOrRemovedLogIsWrittenWholeAtTheNextChange) {
  TempFolder folder;
  const auto file = folder / "Terminal.log";
  TerminalLog log(file);
  ASSERT_TRUE(log.LinesAdded({"a"}, 0).ok());
  log.Pause();
  EXPECT_EQ(ReadBytes(file), "a\r\n");
  // Lines added while the log was off are in the file after the next change.
  ASSERT_TRUE(log.LinesAdded({"a", "b", "c"}, 2).ok());
  EXPECT_EQ(ReadBytes(file), "a\r\nb\r\nc\r\n");
  // Removed while it was being appended to: it comes back with every line.
  std::filesystem::remove(file);
  ASSERT_TRUE(log.LinesAdded({"a", "b", "c", "d"}, 3).ok());
  EXPECT_EQ(ReadBytes(file), "a\r\nb\r\nc\r\nd\r\n");
}

// A log kept elsewhere behind a symbolic link: rewritten and appended where
// the link leads, readable by the user only, and the link stays.
TEST(TerminalLogTest, ALinkedLogIsWrittenWhereTheLinkLeads) {
  TempFolder folder;
  std::filesystem::create_directory(folder / "synced");
  const auto target = folder / "synced" / "terminal.txt";
  WriteBytes(target, "last run\r\n");
  ::chmod(target.c_str(), 0644);
  const auto file = folder / "Terminal.log";
  std::filesystem::create_symlink("synced/terminal.txt", file);
  TerminalLog log(file);
  ASSERT_TRUE(log.LinesAdded({"a"}, 0).ok());
  const ino_t rewritten = InodeOf(target);
  ASSERT_TRUE(log.LinesAdded({"a", "b"}, 1).ok());
  ASSERT_TRUE(log.LinesAdded({"a", "b", "c"}, 2).ok());
  EXPECT_TRUE(std::filesystem::is_symlink(file));
  EXPECT_EQ(ReadBytes(target), "a\r\nb\r\nc\r\n");
  EXPECT_EQ(InodeOf(target), rewritten);  // the additions were appended
  struct stat info {};
  ASSERT_EQ(::stat(target.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
}

TEST(TerminalLogTest, UnwritableFolderIsAFailureNamingTheFile) {
  TempFolder folder;
  TerminalLog log(folder / "missing" / "Terminal.log");
  const Status status = log.LinesAdded({"a"}, 0);
  ASSERT_FALSE(status.ok());
  EXPECT_NE(status.message().find("Terminal.log"), std::string::npos) << status.message();
}

}  // namespace
}  // namespace missivo
