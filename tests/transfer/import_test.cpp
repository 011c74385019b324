#include <gtest/gtest.h>

#include <filesystem>

#include "phone/name_resolution.h"
#include "store/message_fields.h"
#include "support/test_support.h"
#include "text/default_language.h"
#include "transfer/p2ktools_import.h"
#include "transfer/v1_import.h"

namespace missivo {
namespace {

using test::FiveOf;
using test::ScriptedUserInterface;
using test::TempFolder;
using test::W;

const std::filesystem::path kData = std::filesystem::path(MISSIVO_TEST_DATA) / "import";

LanguageLines Russian() {
  LanguageLines language;
  language.LoadFromBytes(DefaultRussianFileBytes());
  return language;
}

TEST(P2kToolsImportTest, FixtureRecords) {
  const ImportRead<P2kToolsEntry> read = ReadP2kToolsFile(kData / "p2ktools.txt");
  ASSERT_TRUE(read.ok()) << read.error;
  EXPECT_EQ(read.entries, (std::vector<P2kToolsEntry>{
                              {"+79161234567", "2006/05/17,14:03:59", W("Привет, мир!")},
                              {"900", "2006/5/7,9:3:5", ""},  // a text of blanks only
                              {"+15555550123", "", ""},       // cut short by the end of the file
                          }));
}

TEST(P2kToolsImportTest, RecordMarks) {
  const std::string mark = W("Номер:");
  const auto record = [](std::string number, std::string text) {
    return number + "\r\n1\r\n2\r\n3\r\n4\r\n5\r\n" + "D" + number + "\r\n7\r\n8\r\n9\r\n" + text +
           "\r\n";
  };
  const struct {
    const char* name;
    std::string bytes;
    std::vector<P2kToolsEntry> expected;
  } cases[] = {
      {"no mark", "a\r\nb\r\n", {}},
      {"blank after the mark", mark + " \r\n" + record("1", "t"), {}},
      {"lower-case first letter", W("номер:\r\n") + record("1", "t"), {}},
      {"mark inside a record starts another",
       mark + "\n" + mark + "\n" + record("1", "t"),
       {{mark, "5", "9"}, {"1", "D1", "t"}}},
      {"blanks cut only at the end", mark + "\r" + record("1", "  a b  "), {{"1", "D1", "  a b"}}},
      {"tab is not a blank", mark + "\r\n" + record("1", "a\t "), {{"1", "D1", "a\t"}}},
      {"mark on the last line", "x\r\n" + mark, {{"", "", ""}}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ParseP2kToolsText(c.bytes), c.expected) << c.name;
}

TEST(P2kToolsImportTest, RowOfAnEntry) {
  const LanguageLines language = Russian();
  EXPECT_EQ(FiveOf(MakeP2kToolsRow({"+7916", "2006/05/17,14:03:59+12", W("Привет")}, language)),
            (Row{W("Привет"),
                 {"+7916", "17/05/2006,14:03:59", "6", "0000", W("Импорт")},
                 kImageImported}));
}

TEST(V1ImportTest, FixtureMessages) {
  const ImportRead<V1MessageEntry> read = ParseV1MessageFile(kData / "inbox.msg");
  ASSERT_TRUE(read.ok()) << read.error;
  EXPECT_EQ(read.entries,
            (std::vector<V1MessageEntry>{
                {"7", W("Привет из версии 1"), "17/05/2006,14:03:59", "+79161234567", "REC READ"},
                {"8", W("Ваш баланс 100 р."), "2006/05/17,14:03:59+12 long date line", "My Bank",
                 "REC UNREAD"},
                {"9", "   ", "18/05/2006,10:00:00", "", "REC READ\","},  // no blanks in header
                {"10", W("Отправлено"), "19/05/2006,11:00:00", "+15555550123", "STO SENT"},
            }));
}

// Lines past either end of the file read as empty; every header gives a message.
TEST(V1ImportTest, HeadersAtTheEndsOfTheFile) {
  const ImportRead<V1MessageEntry> read = ParseV1MessageFile(kData / "ends.msg");
  ASSERT_TRUE(read.ok()) << read.error;
  EXPECT_EQ(read.entries,
            (std::vector<V1MessageEntry>{
                {"", "", "+MMGL: 2, \"REC UNREAD\", \"+72\"", "+71", "REC READ"},
                {"+MMGL: 1, \"REC READ\", \"+71\"", "", "20/05/2006,12:00:00", "+72", "REC UNREAD"},
                {"3", W("Последнее"), "", "+73", "REC READ"},
            }));
}

TEST(V1ImportTest, HeaderScans) {
  const struct {
    const char* header;
    const char* sender;
    const char* status;
  } cases[] = {
      {"+MMGL: 7, \"REC READ\", \"+15555550123\"", "+15555550123", "REC READ"},
      {"+MMGL: 7, \"REC UNREAD\", \"My Big Bank\"", "My Big Bank", "REC UNREAD"},
      {"+MMGL: 7, \"STO UNSENT\", \"+1\"", "+1", "STO UNSENT"},
      {"+MMGL: 7, \"SENT\", \"+1\"", "+1", "SENT\", "},      // the next field's quote at q + 8
      {"+MMGL: 7, \"STATUS\", \"+1\"", "+1", "STATUS"},      // six characters
      {"+MMGL: 7, \"STO SENT\",\"+1\"", "", "STO SENT\","},  // no blanks: q + 11 first
      {"+MMGL: \"REC READ\", \"+1\"", "+1", ""},             // a quote at position 8
      {"+MMGL: 7", "", ""},                                  // no comma, no quote
      {"+MMGL: ", "", ""},
      {"+MMGL: abc def", "bc de", ""},  // scans stop at the line's ends
      {"+MMGL: 1, \"REC READ\", ", "", "REC READ"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ScanV1Sender(c.header), c.sender) << c.header;
    EXPECT_EQ(ScanV1Status(c.header), c.status) << c.header;
  }
}

TEST(V1ImportTest, RowsHaveFiveSubItems) {
  const LanguageLines language = Russian();
  EXPECT_EQ(FiveOf(MakeV1MessageRow(
                {"7", W("Привет"), "long date line, kept whole", "+7", "REC UNREAD"}, language)),
            (Row{W("Привет"),
                 {"+7", "long date line, kept whole", "6", "7", W("Входящие")},
                 kImageImported}));
  EXPECT_EQ(FiveOf(MakeV1MessageRow({"8", "x", "d", "+7", "STO SENT"}, language)),
            (Row{"x", {"+7", "d", "1", "8", ""}, kImageImported}));
}

// Imported rows carry their lossless fields: kind imported, the number as the
// file gave it, the time when the date line is a real one, the v1 index.
TEST(ImportTest, RowsCarryTheirLosslessFields) {
  const LanguageLines language = Russian();
  const struct {
    const char* name;
    Row row;
    const char* time;
    std::vector<std::string> parts;
  } cases[] = {
      {"P2kTools",
       MakeP2kToolsRow({"+7916", "2006/05/17,14:03:59+12", W("Привет")}, language),
       "2006-05-17T14:03:59+03:00",
       {}},
      {"P2kTools, no date", MakeP2kToolsRow({"+7916", "", W("Привет")}, language), "", {}},
      {"version 1.x",
       MakeV1MessageRow({"7", W("Привет"), "17/05/2006,14:03:59", "+7916", "x"}, language),
       "2006-05-17T14:03:59",
       {"7"}},
      {"version 1.x, long date line",
       MakeV1MessageRow({"7", W("Привет"), "long date line", "+7916", "x"}, language),
       "",
       {"7"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    MessageFields fields;
    fields.kind = RowKind::kImported;
    fields.text = "Привет";
    fields.number = "+7916";
    fields.time = c.time;
    fields.parts = c.parts;
    EXPECT_EQ(ReadMessageFields(c.row), fields);
  }
}

TEST(ImportReadTest, UnreadableFileIsAnError) {
  TempFolder folder;
  for (const auto& path : {folder / "missing.msg", folder.path()}) {
    const auto p2k = ReadP2kToolsFile(path);
    const auto v1 = ParseV1MessageFile(path);
    EXPECT_FALSE(p2k.ok());
    EXPECT_FALSE(v1.ok());
    EXPECT_NE(v1.error.find(path.string()), std::string::npos) << v1.error;
    EXPECT_TRUE(p2k.entries.empty());
  }
}

// The progress of both imports, appending in file order; importing twice
// adds nothing the second time (the archive's duplicate test, which sees the
// resolved "name (number)" senders as their numbers); names are resolved, with
// the gauge still up.
TEST(ImportAppendTest, GaugeAndRows) {
  const LanguageLines language = Russian();
  const auto p2k = ReadP2kToolsFile(kData / "p2ktools.txt").entries;
  const auto v1 = ParseV1MessageFile(kData / "inbox.msg").entries;
  std::vector<Row> archive{Row{"old", {"", "", "", "", ""}, 2}};
  ScriptedUserInterface ui;
  const std::vector<Row> contacts{Row{W("Иван"), {"+79161234567"}, kImageContact}};
  bool resolved_with_gauge = false;
  const auto resolve = [&] {
    resolved_with_gauge = ui.progress_visible;
    ResolveNames(archive, contacts);
  };

  EXPECT_EQ(AppendP2kToolsRows(archive, p2k, language, ui, resolve).added, 3u);
  EXPECT_TRUE(resolved_with_gauge);
  EXPECT_EQ(ui.progress_maximum, 8);   // 3r - 1
  EXPECT_EQ(ui.progress_position, 6);  // 3(r - 1)
  EXPECT_EQ(ui.events_processed, 3);
  EXPECT_FALSE(ui.progress_visible);
  EXPECT_EQ(ui.progress_texts, (std::vector<std::string>{W("Обработка информации"), ""}));
  ASSERT_EQ(archive.size(), 4u);
  EXPECT_EQ(FiveOf(archive[1]),
            (Row{W("Привет, мир!"),
                 {W("Иван (+79161234567)"), "17/05/2006,14:03:59", "12", "0000", W("Импорт")},
                 kImageImported}));
  EXPECT_EQ(archive[2].sub_items[kDateTime], "07/05/2006,09:03:05");
  EXPECT_EQ(archive[3].caption, "");

  EXPECT_EQ(AppendV1MessageRows(archive, v1, language, ui).added, 4u);
  EXPECT_EQ(ui.progress_maximum, 20);   // 5r
  EXPECT_EQ(ui.progress_position, 15);  // 5(r - 1)
  EXPECT_FALSE(ui.progress_visible);
  for (const Row& row : archive)
    EXPECT_EQ(FiveOf(row).sub_items.size(), 5u);

  const std::vector<Row> once = archive;
  for (const ImportCount again : {AppendP2kToolsRows(archive, p2k, language, ui),
                                  AppendV1MessageRows(archive, v1, language, ui)}) {
    EXPECT_EQ(again.added, 0u);
    EXPECT_GT(again.already, 0u);
  }
  EXPECT_EQ(archive, once);
  EXPECT_EQ(ImportedCountText({0, 4}, language), W("Импортировано: 0, уже в архиве: 4"));

  // A file that repeats a message adds it once.
  std::vector<Row> fresh;
  const std::vector<V1MessageEntry> twice = {v1[0], v1[0]};
  const ImportCount repeated = AppendV1MessageRows(fresh, twice, language, ui);
  EXPECT_EQ(repeated.added, 1u);
  EXPECT_EQ(repeated.already, 1u);
  EXPECT_EQ(fresh.size(), 1u);

  EXPECT_EQ(AppendV1MessageRows(archive, {}, language, ui).added, 0u);
  EXPECT_EQ(ui.progress_maximum, 0);
  EXPECT_FALSE(ui.progress_visible);
}

}  // namespace
}  // namespace missivo
