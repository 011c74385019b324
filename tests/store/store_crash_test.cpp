// A process killed at random moments while it saves, for every kind of save of
// the core: after every kill the file must open and hold what it held before
// or what a later save wrote, never a mixture, a damaged file or a plain one.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/atomic_file.h"
#include "phone/terminal_log.h"
#include "store/container.h"
#include "store/list_file.h"
#include "store/program_lock.h"
#include "store_test_rows.h"
#include "support/kill_loop.h"
#include "support/test_support.h"
#include "text/lines.h"
#include "transfer/export_rows.h"

namespace missivo {
namespace {

// The archive as saved by save number `generation`: its size and texts
// differ from one generation to the next.
std::vector<Row> Generation(int generation) {
  std::vector<Row> rows;
  const int count = 40 + (generation % 7) * 15;
  for (int i = 0; i < count; ++i) {
    rows.push_back(test::MessageRow("generation " + std::to_string(generation) + " row " +
                                        std::to_string(i) +
                                        std::string(static_cast<std::size_t>(60 + i % 90), 'x'),
                                    "+1555555" + std::to_string(generation), std::to_string(i)));
  }
  return rows;
}

// The generation whose rows `rows` are, or -1 when they are not one whole.
int GenerationOf(const std::vector<Row>& rows) {
  if (rows.empty()) return -1;
  const std::string& first = rows[0].caption;
  const int generation = std::stoi(first.substr(first.find(' ') + 1));
  return rows == Generation(generation) ? generation : -1;
}

int ArchiveGeneration(const std::filesystem::path& path) {
  const Result<std::vector<Row>> rows = ReadListFile(path);
  return rows.ok() ? GenerationOf(rows.value()) : -1;
}

// A temporary file of a data file holds its container, never plain rows.
void ExpectSealed(const std::filesystem::path& leftover) {
  EXPECT_NE(test::ReadBytes(leftover).substr(0, 3), "LVF") << leftover;
}

TEST(CrashTest, KilledArchiveSavesLeaveTheOldOrTheNewArchive) {
  test::TempFolder folder;
  const auto path = folder / "Messages.sms";
  ASSERT_TRUE(WriteListFile(Generation(0), path).ok());
  const test::KillStats stats = test::KillDuringSaves(
      [&](int g) { return WriteListFile(Generation(g), path).ok(); },
      [&] { return ArchiveGeneration(path); }, folder.path(), ExpectSealed, {.kills = 300});
  RecordProperty("generations_saved", stats.generation);
  RecordProperty("interrupted_writes", stats.interrupted);
}

TEST(CrashTest, KilledPhonebookSavesLeaveTheOldOrTheNewPhonebook) {
  test::TempFolder folder;
  const auto path = folder / "Phonebook.pbk";
  const auto contacts = [](int g) {
    RowList list = MakeContactList();
    for (int i = 0; i < 30 + g % 11; ++i)
      list.rows.push_back(
          test::ContactRow("generation " + std::to_string(g) + " contact " + std::to_string(i),
                           "+7916" + std::to_string(i)));
    return list;
  };
  ASSERT_TRUE(WriteListFile(contacts(0).rows, path).ok());
  test::ScriptedUserInterface ui;
  (void)test::KillDuringSaves(
      [&](int g) {
        RowList list = contacts(g);
        return test::ReplaceListFile(list, path, ui).ok();
      },
      [&] {
        const Result<std::vector<Row>> rows = ReadListFile(path);
        if (!rows.ok() || rows.value().empty()) return -1;
        const std::string& first = rows.value()[0].caption;
        const int g = std::stoi(first.substr(first.find(' ') + 1));
        return rows.value() == contacts(g).rows ? g : -1;
      },
      folder.path(), ExpectSealed);
}

TEST(CrashTest, KilledPasswordRecordSavesLeaveTheOldOrTheNewRecord) {
  test::TempFolder folder;
  const auto path = folder / "Password.pwd";
  const auto fields = [](int g) {
    const std::string password = "password " + std::to_string(g);
    return PasswordDialogFields{"", password, password, "question?", "answer"};
  };
  ASSERT_TRUE(WritePasswordRecord(path, fields(0)).ok());
  (void)test::KillDuringSaves([&](int g) { return WritePasswordRecord(path, fields(g)).ok(); },
                              [&] {
                                const Result<std::string> text = UnsealFile(path, "answer");
                                if (!text.ok()) return -1;
                                const std::string line = LineAt(SplitCrLf(text.value()), 1);
                                const int g = std::stoi(line.substr(line.find(' ') + 1));
                                return text.value() == PasswordRecordText(fields(g)) ? g : -1;
                              },
                              folder.path());
}

// The lock at exit and its removal at start, again and again: the archive is
// always sealed once or locked once, its rows whole.
TEST(CrashTest, KilledLockingAndUnlockingLeavesASealedOrALockedArchive) {
  test::TempFolder folder;
  const auto path = folder / "Messages.sms";
  ASSERT_TRUE(WriteListFile(Generation(3), path).ok());
  const auto sealed = [&] { return ArchiveGeneration(path) == 3; };
  const auto locked = [&] {
    const Result<std::string> inner = UnsealFile(path, "secret");
    if (!inner.ok()) return false;
    const Result<std::string> plain = UnsealBytes(inner.value(), kFixedPassphrase);
    const Result<std::vector<Row>> rows = DecodeListFile(plain.value());
    return rows.ok() && rows.value() == Generation(3);
  };
  (void)test::KillDuringSaves(
      [&](int) {
        return (sealed() ? EncryptInPlaceWith(path, "secret") : DecryptInPlaceWith(path, "secret"))
            .ok();
      },
      [&] { return sealed() || locked() ? 0 : -1; }, folder.path());
}

// The terminal log rewritten whole, and appended to line by line: a rewrite
// leaves the old log or the new one; an append cut short may leave part of
// its last line after the lines before, which stay whole.
TEST(CrashTest, KilledTerminalLogWritesKeepTheLinesBefore) {
  test::TempFolder folder;
  const auto path = folder / kTerminalLogName;
  const auto lines_of = [](int g) {
    std::vector<std::string> lines;
    for (int i = 1; i <= g; ++i)
      lines.push_back("line " + std::to_string(i) +
                      std::string(static_cast<std::size_t>(i % 50), '.'));
    return lines;
  };
  const auto logged = [&] {
    const std::string bytes = test::ReadBytes(path);
    const std::size_t end = bytes.rfind("\r\n");
    const std::vector<std::string> lines =
        end == std::string::npos ? std::vector<std::string>{} : SplitCrLf(bytes.substr(0, end));
    const int g = static_cast<int>(lines.size());
    const std::string rest = end == std::string::npos ? bytes : bytes.substr(end + 2);
    const std::vector<std::string> next = lines_of(g + 1);
    return lines == lines_of(g) && next.back().starts_with(rest) ? g : -1;
  };
  ASSERT_TRUE(WriteFileAtomically(path, JoinCrLf(lines_of(2))).ok());
  std::vector<std::string> lines;
  TerminalLog log(path);
  for (const bool rewrite : {true, false}) {
    SCOPED_TRACE(rewrite ? "rewritten" : "appended");
    (void)test::KillDuringSaves(
        [&](int g) {
          lines = lines_of(g);
          return (rewrite ? log.Rewrite(lines) : log.LinesAdded(lines, lines.size() - 1)).ok();
        },
        logged, folder.path(), {}, {.kills = 150});
    // The next program's first write rewrites the log, cut line and all.
    lines = lines_of(logged());
    ASSERT_TRUE(log.Rewrite(lines).ok());
  }
}

TEST(CrashTest, KilledExportsLeaveTheOldOrTheNewFile) {
  test::TempFolder folder;
  const auto output = folder / "export.txt";
  const LanguageLines language = test::RussianLanguage();
  test::ScriptedUserInterface ui;
  const auto export_generation = [&](int g, const std::filesystem::path& to) {
    const std::vector<Row> rows = Generation(g);
    return ExportRows(rows, RowSelection::All(), TemplateKind::kText, folder.path(), to, language,
                      ui)
        .ok();
  };
  test::TempFolder elsewhere;
  const auto exported = [&] {
    const std::string bytes = test::ReadBytes(output);
    const std::size_t at = bytes.find("generation ");
    if (at == std::string::npos) return -1;
    const int g = std::stoi(bytes.substr(at + 11));
    return export_generation(g, elsewhere / "whole.txt") &&
                   test::ReadBytes(elsewhere / "whole.txt") == bytes
               ? g
               : -1;
  };
  ASSERT_TRUE(export_generation(0, output));
  (void)test::KillDuringSaves([&](int g) { return export_generation(g, output); }, exported,
                              folder.path(), {}, {.kills = 150});
}

}  // namespace
}  // namespace missivo
