#include "store/list_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "store/container.h"
#include "store_test_rows.h"
#include "support/file_limit.h"
#include "support/test_support.h"

namespace missivo {
namespace {

using test::ContactRow;
using test::Hex;
using test::MessageRow;
using test::ReadBytes;
using test::ScriptedUserInterface;
using test::TempFolder;
using test::W;
using test::WriteBytes;

const std::filesystem::path kBroken = std::filesystem::path(MISSIVO_TEST_DATA) / "broken";

RowList ListOf(std::vector<Row> rows) {
  RowList list = MakeMessageList();
  list.rows = std::move(rows);
  return list;
}

// What was wrong, under the caption of I/O errors.
void ExpectIoMessage(const ScriptedUserInterface& ui, const std::string& says = {}) {
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_NE(ui.messages[0].text.find(says), std::string::npos) << ui.messages[0].text;
  EXPECT_EQ(ui.messages[0].caption, "I/O Error");
  EXPECT_EQ(ui.messages[0].kind, MessageKind::kError);
}

TEST(ListFileTest, WorkedExampleByteForByte) {
  const std::vector<Row> rows = {Row{"abc", {"12"}, 2}};
  const std::string expected =
      Hex("4C 56 46 | 01 00 | 01 00 | 02 00 00 00 | 03 00 61 62 63 | 02 00 31 32");
  ASSERT_EQ(expected.size(), 20u);
  EXPECT_EQ(EncodeListFile(rows).value(), expected);
  EXPECT_EQ(DecodeListFile(expected).value(), rows);
  EXPECT_EQ(EncodeListFile({}).value(), Hex("4C 56 46 00 00"));
}

TEST(ListFileTest, EmptyListIsATwentyOneByteContainer) {
  TempFolder folder;
  const auto path = folder / "Messages.sms";
  ASSERT_TRUE(WriteListFile({}, path).ok());
  const std::string on_disk = ReadBytes(path);
  EXPECT_EQ(on_disk.size(), 21u);
  EXPECT_EQ(UnsealBytes(on_disk, kFixedPassphrase).value(), Hex("4C 56 46 00 00"));

  RowList list = ListOf({MessageRow("old", "1")});
  ScriptedUserInterface ui;
  test::StandaloneFile stored(path);
  ASSERT_TRUE(LoadListFile(list, stored.file, ui).ok());
  EXPECT_TRUE(list.rows.empty());
  EXPECT_TRUE(ui.messages.empty());
}

TEST(ListFileTest, RoundTripsKeepEveryField) {
  TempFolder folder;
  const auto path = folder / "Messages.sms";
  const std::vector<Row> rows = {
      MessageRow(W("Привет, как дела?"), W("Иван (5555550123)"), "12"),
      Row{"no image", {"a", "b"}, -1},
      Row{"caption only", {}, 0},
      Row{"", {"", "", "", "", ""}, 28},
      Row{std::string(65535, 'x'), {std::string(300, '\xFF')}, 2147483647},
      ContactRow(W("Мама"), "+15555550123"),
  };
  ASSERT_TRUE(WriteListFile(rows, path).ok());
  const std::string plain = UnsealBytes(ReadBytes(path), kFixedPassphrase).value();
  // -1 is stored as FF FF FF FF; a Cyrillic text counts one byte per letter.
  EXPECT_NE(plain.find(Hex("02 00 FF FF FF FF 08 00") + "no image"), std::string::npos);
  EXPECT_NE(plain.find(Hex("11 00") + W("Привет, как дела?")), std::string::npos);

  RowList list = MakeMessageList();
  ScriptedUserInterface ui;
  test::StandaloneFile stored(path);
  ASSERT_TRUE(LoadListFile(list, stored.file, ui).ok());
  EXPECT_EQ(list.rows, rows);
}

TEST(ListFileTest, ZeroByteEndsTheTextButTheFieldKeepsItsLength) {
  const std::vector<Row> rows = {Row{std::string("ab\0cd", 5), {std::string("1\0", 2), "next"}, 3}};
  const std::string plain = EncodeListFile(rows).value();
  EXPECT_NE(plain.find(Hex("05 00 61 62 00 63 64")), std::string::npos);
  const std::vector<Row> loaded = DecodeListFile(plain).value();
  ASSERT_EQ(loaded.size(), 1u);
  EXPECT_EQ(loaded[0].caption, "ab");
  EXPECT_EQ(loaded[0].sub_items, (std::vector<std::string>{"1", "next"}));
  EXPECT_EQ(loaded[0].image, 3);
}

TEST(ListFileTest, SavesPastTheLimitsAreRefusedAndTheOldFileStays) {
  TempFolder folder;
  const auto path = folder / "Messages.sms";
  ASSERT_TRUE(WriteListFile({MessageRow("kept", "1")}, path).ok());
  const std::string old_bytes = ReadBytes(path);

  const struct {
    const char* name;
    std::vector<Row> rows;
    const char* says;
  } cases[] = {
      {"65536 rows", std::vector<Row>(65536, Row{"r", {}, 0}), "65536 rows"},
      {"65536 sub-items", {Row{"r", std::vector<std::string>(65536), 0}}, "65536 sub-items"},
      {"a caption of 65536 bytes", {Row{std::string(65536, 'c'), {}, 0}}, "longer than 65535"},
      {"a sub-item of 65536 bytes",
       {Row{"r", {}, 0}, Row{"r", {"", std::string(65536, 's')}, 0}},
       "Row 2 holds a text longer"},
  };
  for (const auto& c : cases) {
    RowList list = ListOf(c.rows);
    ScriptedUserInterface ui;
    test::StandaloneFile stored(path);
    std::vector<Row> on_disk;
    (void)stored.file.Load(on_disk);
    const Status status = SaveListFile(list, stored.file, ui);
    ASSERT_FALSE(status.ok()) << c.name;
    EXPECT_NE(status.message().find(c.says), std::string::npos) << status.message();
    EXPECT_NE(status.message().find("Messages.sms"), std::string::npos) << status.message();
    ASSERT_EQ(ui.messages.size(), 1u) << c.name;
    EXPECT_EQ(ui.messages[0].kind, MessageKind::kError);
    EXPECT_EQ(ReadBytes(path), old_bytes) << c.name;
  }
  // Exactly at the limits the list is saved.
  EXPECT_TRUE(WriteListFile(std::vector<Row>(65535, Row{std::string(3, 'r'), {}, 0}), path).ok());
}

TEST(ListFileTest, FailedWriteIsShownAndTheOldFileStays) {
  TempFolder folder;
  const auto path = folder / "Messages.sms";
  ASSERT_TRUE(WriteListFile({MessageRow("kept", "1")}, path).ok());
  const std::string old_bytes = ReadBytes(path);
  RowList list = ListOf(std::vector<Row>(2000, MessageRow(std::string(100, 'n'), "2")));
  ScriptedUserInterface ui;
  Status status;
  {
    const test::FileSizeLimit disk_full(4096);
    test::StandaloneFile stored(path);
    status = SaveListFile(list, stored.file, ui);
  }
  EXPECT_FALSE(status.ok());
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].caption, "I/O Error");
  EXPECT_EQ(ReadBytes(path), old_bytes);
}

TEST(ListFileTest, AMissingFileLoadsNothingAndKeepsTheRows) {
  TempFolder folder;
  RowList list = ListOf({MessageRow("keep me", "1")});
  ScriptedUserInterface ui;
  test::StandaloneFile stored(folder / "Messages.sms");
  EXPECT_TRUE(LoadListFile(list, stored.file, ui).ok());
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(list.rows, std::vector<Row>{MessageRow("keep me", "1")});
}

// Every file of the broken folder with the outcome it must give.
TEST(ListFileTest, BrokenFilesGiveTheirOutcome) {
  const struct {
    const char* file;
    int rows;            // rows loaded, or -1 for the I/O message
    const char* reason;  // part of the failure's reason
  } cases[] = {
      {"empty.lvf", -1, "does not open"},
      {"short-magic.lvf", -1, "does not open"},
      {"wrong-magic.lvf", -1, "does not open"},
      {"lowercase-magic.lvf", -1, "does not open"},
      {"no-row-count.lvf", -1, "ends before its row count"},
      {"rows-past-end.lvf", -1, "ends inside row 2 of 3"},
      {"caption-past-end.lvf", -1, "ends inside row 1 of 1"},
      {"sub-items-past-end.lvf", -1, "ends inside row 1 of 1"},
      {"image-cut.lvf", -1, "ends inside row 1 of 1"},
      {"huge-row-count.lvf", -1, "ends inside row 1 of 65535"},
      {"huge-sub-item-count.lvf", -1, "ends inside row 1 of 1"},
      {"trailing-bytes.lvf", 1, ""},
      {"short-container.sms", -1, "too short"},
      {"plain-list.sms", -1, "does not open"},
      {"locked-archive.sms", -1, "locked under another password"},
      {"truncated-container.sms", -1, "ends inside row 3 of 3"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    const std::string bytes = ReadBytes(kBroken / c.file);
    ASSERT_TRUE(std::filesystem::exists(kBroken / c.file));
    TempFolder folder;
    const auto path = folder / "Messages.sms";
    // A plain list file is sealed first, as a data file always is.
    WriteBytes(path, std::string_view(c.file).ends_with(".lvf") ? SealBytes(bytes, kFixedPassphrase)
                                                                : bytes);
    const std::string on_disk = ReadBytes(path);
    RowList list = ListOf({MessageRow("before", "1")});
    ScriptedUserInterface ui;
    test::StandaloneFile stored(path);
    const Status status = LoadListFile(list, stored.file, ui);
    if (c.rows >= 0) {
      ASSERT_TRUE(status.ok()) << status.message();
      EXPECT_EQ(list.rows.size(), static_cast<std::size_t>(c.rows));
      EXPECT_TRUE(ui.messages.empty());
    } else {
      ASSERT_FALSE(status.ok());
      EXPECT_NE(status.message().find(c.reason), std::string::npos) << status.message();
      ExpectIoMessage(ui, c.reason);
      EXPECT_EQ(list.rows, std::vector<Row>{MessageRow("before", "1")});
    }
    EXPECT_EQ(ReadBytes(path), on_disk);  // loading never changes the file
  }
}

TEST(ListFileTest, PlainDataFileIsSealedThenLoads) {
  TempFolder folder;
  const auto path = folder / "Messages.sms";
  WriteBytes(path, ReadBytes(kBroken / "plain-list.sms"));
  ASSERT_TRUE(SealIfPlainListFile(path).value());
  EXPECT_EQ(ReadBytes(path).size(), 20u + 16u);
  EXPECT_FALSE(SealIfPlainListFile(path).value());  // sealed already
  EXPECT_FALSE(SealIfPlainListFile(folder / "Phonebook.pbk").value());
  RowList list = MakeMessageList();
  ScriptedUserInterface ui;
  test::StandaloneFile stored(path);
  ASSERT_TRUE(LoadListFile(list, stored.file, ui).ok());
  EXPECT_EQ(list.rows, (std::vector<Row>{Row{"abc", {"12"}, 2}}));
}

TEST(ListFileTest, LockedFileOpensOnlyWithoutItsOuterLayer) {
  TempFolder folder;
  const auto path = folder / "Messages.sms";
  WriteBytes(path, ReadBytes(kBroken / "locked-archive.sms"));
  ASSERT_TRUE(DecryptInPlaceWith(path, "secret").ok());
  RowList list = MakeMessageList();
  ScriptedUserInterface ui;
  test::StandaloneFile stored(path);
  ASSERT_TRUE(LoadListFile(list, stored.file, ui).ok());
  EXPECT_EQ(list.rows.size(), 3u);
}

}  // namespace
}  // namespace missivo
