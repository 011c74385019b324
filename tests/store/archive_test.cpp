#include "store/archive.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "store/list_file.h"
#include "store/message_fields.h"
#include "store_test_rows.h"
#include "support/test_support.h"

namespace missivo {
namespace {

using test::MessageRow;
using test::ScriptedUserInterface;
using test::W;

RowList Archive(std::vector<Row> rows) {
  RowList list = MakeMessageList();
  list.rows = std::move(rows);
  return list;
}

std::vector<std::string> Captions(const RowList& list) {
  std::vector<std::string> captions;
  for (const Row& row : list.rows)
    captions.push_back(row.caption);
  return captions;
}

TEST(IsArchivedTest, SameTextIndexAndSender) {
  const std::vector<Row> archive = {
      MessageRow(W("Да, конечно"), "+15555550123", "12"),
      MessageRow(W("Привет"), W("Иван (5555550123)"), "3"),
      MessageRow(W("Встреча в 5"), "+15555550123", "4"),
  };
  const struct {
    const char* name;
    std::string text, from, index;
    bool archived;
  } cases[] = {
      {"the same message", W("Да, конечно"), "+15555550123", "12", true},
      {"a text contained in an archived one", W("Да"), "+15555550123", "12", false},
      {"an Index contained in an archived one", W("Да, конечно"), "+15555550123", "1", false},
      {"another sender", W("Да, конечно"), "+15555550999", "12", false},
      {"bare From, archive resolved (2 longer)", W("Привет"), "+15555550123", "3", true},
      {"bare From equal to the contact's number", W("Привет"), "5555550123", "3", true},
      {"bare From 5 longer than the number", W("Привет"), "+1234565555550123", "3", false},
      {"bare From shorter than the number", W("Привет"), "5550123", "3", false},
      {"both resolved, same number", W("Привет"), W("Ваня (5555550123)"), "3", true},
      {"both resolved, other number", W("Привет"), W("Иван (5555550999)"), "3", false},
      {"resolved From, archive bare", W("Встреча в 5"), W("Иван (5555550123)"), "4", true},
      {"text differs in case", W("встреча в 5"), "+15555550123", "4", false},
  };
  const ArchiveIndex index(archive);
  for (const auto& c : cases) {
    EXPECT_EQ(IsArchived(archive, c.text, c.from, c.index), c.archived) << c.name;
    EXPECT_EQ(index.IsArchived(c.text, c.from, c.index), c.archived) << c.name;
  }
  EXPECT_FALSE(IsArchived({}, "a", "b", "c"));
}

TEST(AppendToArchiveTest, EmptyArchiveTakesEveryRow) {
  RowList archive = Archive({});
  const std::vector<Row> rows = {MessageRow("a", "+1", "1"), MessageRow("a", "+1", "1"),
                                 MessageRow("b", "+2", "2", "01/01/2006,00:00:00", kImageDraft)};
  ScriptedUserInterface ui;
  EXPECT_EQ(AppendToArchive(archive, rows, ui), 3u);
  EXPECT_EQ(archive.rows, rows);
  EXPECT_EQ(ui.events_processed, 3);  // after each row
}

TEST(AppendToArchiveTest, OnlyNewRowsAreAppendedInOrder) {
  RowList archive = Archive({MessageRow("z old", "+1", "1"), MessageRow("a old", "+1", "2")});
  const std::vector<Row> rows = {
      MessageRow("a old", "+1", "2"),                                       // archived
      MessageRow("new", "+1", "3", "02/02/2006,00:00:00", kImageOutgoing),  // new
      MessageRow("new", "+1", "3", "02/02/2006,00:00:00", kImageOutgoing),  // just appended
      MessageRow("a old", "+1", "5"),
  };
  ScriptedUserInterface ui;
  EXPECT_EQ(AppendToArchive(archive, rows, ui), 2u);
  EXPECT_EQ(Captions(archive), (std::vector<std::string>{"z old", "a old", "new", "a old"}));
  EXPECT_EQ(archive.rows[2], rows[1]);  // all fields and the image copied, not sorted
  EXPECT_EQ(ui.events_processed, 1);    // once at the end
}

// With two messages of one sender archived, a third of that sender is still new.
TEST(AppendToArchiveTest, MessagesSharingAFieldWithEveryArchiveRowAreAppended) {
  RowList archive = Archive(
      {MessageRow(W("Привет"), "+15555550123", "1"), MessageRow(W("Пока"), "+15555550123", "2")});
  const std::vector<Row> rows = {MessageRow(W("Как дела?"), "+15555550123", "3"),
                                 MessageRow(W("Да"), "+15555550123", "1")};
  ScriptedUserInterface ui;
  EXPECT_EQ(AppendToArchive(archive, rows, ui), 2u);
  EXPECT_EQ(archive.rows.size(), 4u);
}

// The duplicate test is the one on the five sub-items, and then every field
// that tells two messages apart where both rows know it: a difference only the
// lossless texts show (two emoji that are both "?" in the caption), and the
// time, storage and parts, since a phone reuses freed slots: the same text
// from the same sender in the same slot at another time is another message.
TEST(AppendToArchiveTest, OnlyTheVeryMessageCountsAsArchived) {
  const auto with_text = [](const char* text) {
    Row row = MessageRow("Hi ?", "+1", "4");
    MessageFields fields;
    fields.text = text;
    WriteMessageFields(row, fields);
    return row;
  };
  const Row older_emoji = MessageRow("Hi ?", "+1", "4");  // an archive row of an older version
  const auto lossless = [](auto change) {
    Row row = MessageRow("Ok", "+79161234567", "1", "01/05/2024,12:00:00");
    MessageFields fields;
    fields.text = "Ok";
    fields.number = "+79161234567";
    fields.time = "2024-05-01T12:00:00+03:00";
    fields.storage = "SM";
    fields.parts = {"1"};
    change(row, fields);
    WriteMessageFields(row, fields);
    return row;
  };
  const auto same = [](Row&, MessageFields&) {};
  const Row archived = lossless(same);
  const Row older = MessageRow("Ok", "+79161234567", "1", "01/05/2024,12:00:00");
  const struct {
    const char* name;
    Row archived;
    Row read;
    std::size_t appended;
  } cases[] = {
      {"same emoji", with_text("Hi 👍"), with_text("Hi 👍"), 0},
      {"other emoji, same caption", with_text("Hi 👍"), with_text("Hi 👎"), 1},
      {"older row without fields", older_emoji, with_text("Hi 👎"), 0},
      {"new row without fields", with_text("Hi 👍"), older_emoji, 0},
      {"the same message", archived, lossless(same), 0},
      {"a month later in the same slot", archived, lossless([](Row& row, MessageFields& f) {
         f.time = "2024-06-01T12:00:00+03:00";
         row.sub_items[kDateTime] = "01/06/2024,12:00:00";
       }),
       1},
      {"the same local time in another zone", archived,
       lossless([](Row&, MessageFields& f) { f.time = "2024-05-01T12:00:00+04:00"; }), 1},
      {"another storage", archived, lossless([](Row&, MessageFields& f) { f.storage = "ME"; }), 1},
      {"other parts", archived, lossless([](Row&, MessageFields& f) {
         f.parts = {"1", "2"};
       }),
       1},
      {"another number behind the same From", archived,
       lossless([](Row&, MessageFields& f) { f.number = "89161234567"; }), 1},
      {"a draft, not a message received", archived, lossless([](Row& row, MessageFields& f) {
         f.kind = RowKind::kDraft;
         row.image = kImageDraft;
       }),
       1},
      {"no time known on one side", archived,
       lossless([](Row&, MessageFields& f) { f.time.clear(); }), 0},
      {"no storage known on one side", archived,
       lossless([](Row&, MessageFields& f) { f.storage.clear(); }), 0},
      {"older archive row, same stamp", older, lossless(same), 0},
      {"older archive row, another stamp", older,
       lossless([](Row& row, MessageFields&) { row.sub_items[kDateTime] = "01/06/2024,12:00:00"; }),
       1},
      {"older archive row, an outgoing message", older, lossless([](Row& row, MessageFields& f) {
         f.kind = RowKind::kOutgoing;
         row.image = kImageOutgoing;
       }),
       1},
      {"older rows on both sides, other stamps", older,
       MessageRow("Ok", "+79161234567", "1", "01/06/2024,12:00:00"), 1},
      {"older outgoing rows carry the moment of the read",
       MessageRow("Ok", "+79161234567", "1", "01/05/2024,12:00:00", kImageOutgoing),
       MessageRow("Ok", "+79161234567", "1", "03/05/2024,18:00:00", kImageOutgoing), 0},
  };
  for (const auto& c : cases) {
    RowList archive = Archive({MessageRow("other", "+2", "1"), c.archived});
    ScriptedUserInterface ui;
    const std::vector<Row> read = {c.read};
    EXPECT_EQ(AppendToArchive(archive, read, ui), c.appended) << c.name;
  }
}

TEST(AppendToArchiveTest, NoRowsAppendsNothing) {
  RowList archive = Archive({MessageRow("a", "+1")});
  ScriptedUserInterface ui;
  EXPECT_EQ(AppendToArchive(archive, {}, ui), 0u);
  EXPECT_EQ(archive.rows.size(), 1u);
}

class ArchiveFileTest : public ::testing::Test {
 protected:
  std::vector<Row> OnDisk(const std::filesystem::path& path) const {
    const Result<std::vector<Row>> rows = ReadListFile(path);
    EXPECT_TRUE(rows.ok()) << rows.message();
    return rows.ok() ? rows.value() : std::vector<Row>{};
  }

  // The rows written to the file, as the program that holds them has read them.
  static void WriteAndLoad(const std::vector<Row>& rows, test::StandaloneFile& stored) {
    ASSERT_TRUE(WriteListFile(rows, stored.file.path()).ok());
    std::vector<Row> loaded;
    ASSERT_EQ(stored.file.Load(loaded).outcome, ListLoad::Outcome::kLoaded);
  }

  test::TempFolder folder_;
  std::filesystem::path archive_path_ = folder_ / "Messages.sms";
  std::filesystem::path phonebook_path_ = folder_ / "Phonebook.pbk";
  test::StandaloneFile archive_file_{archive_path_};
  test::StandaloneFile phonebook_file_{phonebook_path_};
  LanguageLines language_ = test::RussianLanguage();
  ScriptedUserInterface ui_;
};

TEST_F(ArchiveFileTest, ColumnClickRemembersTheSortAndSavesTheSortedRows) {
  RowList archive = Archive({MessageRow("b", "+1"), MessageRow("c", "+1"), MessageRow("a", "+1")});
  SortState state;
  MemorySettingsStore settings;
  ASSERT_TRUE(SortArchiveByColumn(archive, 0, state, settings, archive_file_.file, ui_).ok());
  ASSERT_TRUE(SortArchiveByColumn(archive, 0, state, settings, archive_file_.file, ui_).ok());
  EXPECT_EQ(settings.ReadString("Missivo", "List4", ""), "0");
  EXPECT_EQ(settings.ReadString("Missivo", "List4Image", ""), "31");
  EXPECT_EQ(settings.ReadString("Missivo", "List4Direction", ""), "1");
  EXPECT_EQ(OnDisk(archive_path_), archive.rows);
  EXPECT_EQ(Captions(archive), (std::vector<std::string>{"c", "b", "a"}));

  // The next start restores the marker and the direction without sorting.
  RowList restored = Archive({MessageRow("x", "+1")});
  SortState restored_state{4, 0};
  RestoreArchiveSort(settings, restored, restored_state);
  EXPECT_EQ(restored_state.last_column, 0);
  EXPECT_EQ(restored_state.next_direction, 1);
  EXPECT_EQ(restored.markers[0], kMarkerDescending);
}

TEST_F(ArchiveFileTest, RestoreIgnoresMissingOrUnusableSettings) {
  const struct {
    const char* name;
    std::vector<std::pair<std::string, std::string>> values;
    int column, direction;
    std::vector<std::int32_t> markers;
  } cases[] = {
      {"nothing stored", {}, -1, 1, {-1, -1, -1, -1, -1, -1}},
      {"stored",
       {{"List4", "3"}, {"List4Image", "32"}, {"List4Direction", "0"}},
       3,
       0,
       {-1, -1, -1, 32, -1, -1}},
      {"column not a number",
       {{"List4", "x"}, {"List4Image", "32"}},
       -1,
       1,
       {-1, -1, -1, -1, -1, -1}},
      {"column past the last", {{"List4", "6"}}, -1, 1, {-1, -1, -1, -1, -1, -1}},
      {"only the column", {{"List4", "2"}}, 2, 1, {-1, -1, -1, -1, -1, -1}},
      {"direction missing", {{"List4", "5"}, {"List4Image", "32"}}, 5, 0, {-1, -1, -1, -1, -1, 32}},
  };
  for (const auto& c : cases) {
    MemorySettingsStore settings;
    for (const auto& [key, value] : c.values)
      settings.WriteString("Missivo", key, value);
    RowList archive = Archive({});
    SortState state{1, 0};
    RestoreArchiveSort(settings, archive, state);
    EXPECT_EQ(state.last_column, c.column) << c.name;
    EXPECT_EQ(state.next_direction, c.direction) << c.name;
    EXPECT_EQ(archive.markers, c.markers) << c.name;
  }
}

TEST_F(ArchiveFileTest, EditChecksThenUpdatesTheRowAndSaves) {
  const Row original = MessageRow("old text", "+15555550123", "7", "17/05/2006,14:03:59", 28);
  RowList archive = Archive({MessageRow("other", "+1"), original});
  const ArchiveEditFields good{"18/05/2006,10:00:00", "8", "Type", "new text"};

  const struct {
    const char* name;
    ArchiveEditFields fields;
    ArchiveEditResult result;
    const char* message;
  } refused[] = {
      {"empty date", {"", "8", "T", "t"}, ArchiveEditResult::kIncomplete, "Данные не заполнены!"},
      {"empty index",
       {good.date_time, "", "T", "t"},
       ArchiveEditResult::kIncomplete,
       "Данные не заполнены!"},
      {"empty type",
       {good.date_time, "8", "", "t"},
       ArchiveEditResult::kIncomplete,
       "Данные не заполнены!"},
      {"empty text",
       {good.date_time, "8", "T", ""},
       ArchiveEditResult::kIncomplete,
       "Данные не заполнены!"},
      {"18 characters",
       {"18/05/2006,10:00:0", "8", "T", "t"},
       ArchiveEditResult::kBadDate,
       "Неверная дата!"},
  };
  for (const auto& c : refused) {
    ScriptedUserInterface ui;
    EXPECT_EQ(SaveArchiveEdit(archive, 1, c.fields, archive_file_.file, language_, ui), c.result)
        << c.name;
    ASSERT_EQ(ui.messages.size(), 1u) << c.name;
    EXPECT_EQ(ui.messages[0].text, W(c.message)) << c.name;
    EXPECT_EQ(ui.messages[0].kind, MessageKind::kPlain) << c.name;
    EXPECT_EQ(archive.rows[1], original) << c.name;
  }
  EXPECT_FALSE(std::filesystem::exists(archive_path_));

  // 19 characters of any kind pass; From, Size and the image stay.
  const ArchiveEditFields any{"nineteen characters", "8", "Type", "new text"};
  EXPECT_EQ(SaveArchiveEdit(archive, 1, any, archive_file_.file, language_, ui_),
            ArchiveEditResult::kSaved);
  const Row& edited = archive.rows[1];
  EXPECT_EQ(edited.caption, "new text");
  EXPECT_EQ(edited.sub_items,
            (std::vector<std::string>{"+15555550123", "nineteen characters", "8", "8", "Type"}));
  EXPECT_EQ(edited.image, 28);
  EXPECT_EQ(OnDisk(archive_path_), archive.rows);
  EXPECT_EQ(EditFieldsOf(edited).date_time, "nineteen characters");
  EXPECT_EQ(SaveArchiveEdit(archive, 5, good, archive_file_.file, language_, ui_),
            ArchiveEditResult::kNoRow);
}

// The lossless text follows what was typed: the whole text with its breaks
// and emoji; an older row gets fields only when its caption cannot hold it.
TEST_F(ArchiveFileTest, EditKeepsTheLosslessTextInStep) {
  Row read = MessageRow("Hi?", "+7916", "3");
  MessageFields fields;
  fields.text = "Hi\n👋";
  fields.number = "+7916";
  fields.time = "2024-05-01T12:00:00";
  WriteMessageFields(read, fields);
  const Row older = MessageRow("old", "+7916", "4");
  RowList archive = Archive({read, older});
  EXPECT_EQ(EditFieldsOf(archive.rows[0]).whole_text, "Hi\n👋");

  const ArchiveEditFields typed{"01/05/2024,12:00:00", "3", "T", "Bye ?", "Bye\r\n🙂"};
  ASSERT_EQ(SaveArchiveEdit(archive, 0, typed, archive_file_.file, language_, ui_),
            ArchiveEditResult::kSaved);
  fields.text = "Bye\r\n🙂";
  EXPECT_EQ(ReadMessageFields(OnDisk(archive_path_)[0]), fields);

  ASSERT_EQ(SaveArchiveEdit(archive, 1, {"01/05/2024,12:00:00", "4", "T", "plain", "plain"},
                            archive_file_.file, language_, ui_),
            ArchiveEditResult::kSaved);
  EXPECT_FALSE(HasMessageFields(archive.rows[1]));
  ASSERT_EQ(SaveArchiveEdit(archive, 1, {"01/05/2024,12:00:00", "4", "T", "?", "👋"},
                            archive_file_.file, language_, ui_),
            ArchiveEditResult::kSaved);
  ASSERT_TRUE(HasMessageFields(archive.rows[1]));
  EXPECT_EQ(BestText(archive.rows[1]), "👋");
  EXPECT_EQ(BestNumber(archive.rows[1]), "+7916");  // nothing made up: the From's number
  EXPECT_EQ(ReadMessageFields(archive.rows[1])->time, "");
}

// A Date changed by F2 becomes the row's time: the source's zone stays, a
// Date that names no time leaves none, an unchanged Date keeps the time.
TEST_F(ArchiveFileTest, EditOfTheDateKeepsTheTimeInStep) {
  struct Case {
    const char* name;
    const char* time_before;
    const char* typed_date;
    const char* time_after;
  };
  const Case cases[] = {
      {"unchanged", "2024-05-01T12:00:00+03:00", "01/05/2024,12:00:00",
       "2024-05-01T12:00:00+03:00"},
      {"changed, the zone kept", "2024-05-01T12:00:00+03:00", "02/05/2024,08:30:00",
       "2024-05-02T08:30:00+03:00"},
      {"changed, no zone", "2024-05-01T12:00:00", "31/12/2023,23:59:59", "2023-12-31T23:59:59"},
      {"a quarter-hour zone typed", "2024-05-01T12:00:00+03:00", "02/05/2024,08:30:00-22",
       "2024-05-02T08:30:00-05:30"},
      {"no time before", "", "02/05/2024,08:30:00", "2024-05-02T08:30:00"},
      {"no real date", "2024-05-01T12:00:00+03:00", "31/02/2024,08:30:00", ""},
  };
  for (const Case& c : cases) {
    Row row = MessageRow("Hi?", "+7916", "3", "01/05/2024,12:00:00");
    MessageFields fields;
    fields.text = "Hi 👋";
    fields.time = c.time_before;
    WriteMessageFields(row, fields);
    RowList archive = Archive({row});
    const ArchiveEditFields typed{c.typed_date, "3", "T", "Hi?", "Hi 👋"};
    ASSERT_EQ(SaveArchiveEdit(archive, 0, typed, archive_file_.file, language_, ui_),
              ArchiveEditResult::kSaved)
        << c.name;
    EXPECT_EQ(ReadMessageFields(OnDisk(archive_path_)[0])->time, c.time_after) << c.name;
  }
}

TEST_F(ArchiveFileTest, EditGivesAShortRowItsType) {
  RowList archive = Archive({Row{"v1 row", {"+1", "01/01/2006,00:00:00", "6", "3"}, 0}});
  EXPECT_EQ(SaveArchiveEdit(archive, 0, {"01/01/2006,00:00:00", "3", "T", "v1 row"},
                            archive_file_.file, language_, ui_),
            ArchiveEditResult::kSaved);
  EXPECT_EQ(SubItem(archive.rows[0], kType), "T");
}

TEST_F(ArchiveFileTest, DeleteKeyRemovesTheFileWithTheLastRow) {
  RowList archive = Archive({MessageRow("a", "+1"), MessageRow("b", "+1"), MessageRow("c", "+1")});
  WriteAndLoad(archive.rows, archive_file_);
  const std::size_t first[] = {0, 2};
  DeleteOutcome outcome =
      DeleteArchiveRowsOnKey(archive, first, archive_file_.file, language_, ui_);
  EXPECT_TRUE(outcome.confirmed && outcome.empty_preview);
  EXPECT_EQ(outcome.file, FileEffect::kSaved);
  EXPECT_EQ(Captions(archive), std::vector<std::string>{"b"});
  EXPECT_EQ(OnDisk(archive_path_), archive.rows);

  const std::size_t last[] = {0};
  outcome = DeleteArchiveRowsOnKey(archive, last, archive_file_.file, language_, ui_);
  EXPECT_EQ(outcome.file, FileEffect::kRemoved);
  EXPECT_TRUE(outcome.status.ok());
  EXPECT_FALSE(std::filesystem::exists(archive_path_));
  EXPECT_EQ(ui_.questions,
            std::vector<std::string>(2, W("Вы действительно хотите удалить выделеные сообщения?")));
}

TEST_F(ArchiveFileTest, MenuDeleteSavesAnEmptyList) {
  RowList archive = Archive({MessageRow("a", "+1")});
  WriteAndLoad(archive.rows, archive_file_);
  const std::string before = test::ReadBytes(archive_path_);

  DeleteOutcome outcome =
      DeleteArchiveRowsFromMenu(archive, {}, archive_file_.file, language_, ui_);
  EXPECT_TRUE(outcome.confirmed);
  EXPECT_FALSE(outcome.empty_preview);
  EXPECT_EQ(outcome.file, FileEffect::kNone);
  EXPECT_EQ(test::ReadBytes(archive_path_), before);

  const std::size_t selected[] = {0};
  outcome = DeleteArchiveRowsFromMenu(archive, selected, archive_file_.file, language_, ui_);
  EXPECT_TRUE(outcome.empty_preview);
  EXPECT_EQ(outcome.file, FileEffect::kSaved);
  EXPECT_EQ(test::ReadBytes(archive_path_).size(), 21u);
  EXPECT_TRUE(OnDisk(archive_path_).empty());
}

TEST_F(ArchiveFileTest, DeleteAllOnAnEmptyArchiveAsksAndChangesNothing) {
  RowList archive = Archive({});
  DeleteOutcome outcome = DeleteAllArchiveRows(archive, archive_file_.file, language_, ui_);
  EXPECT_TRUE(outcome.confirmed);
  EXPECT_FALSE(outcome.empty_preview);
  EXPECT_EQ(outcome.file, FileEffect::kNone);
  EXPECT_FALSE(std::filesystem::exists(archive_path_));
  EXPECT_EQ(ui_.questions,
            std::vector<std::string>{W("Вы действительно хотите удалить все сообщения?")});

  archive = Archive({MessageRow("a", "+1"), MessageRow("b", "+1")});
  outcome = DeleteAllArchiveRows(archive, archive_file_.file, language_, ui_);
  EXPECT_EQ(outcome.file, FileEffect::kSaved);
  EXPECT_TRUE(archive.rows.empty());
  EXPECT_TRUE(OnDisk(archive_path_).empty());
}

TEST_F(ArchiveFileTest, NoKeepsEverything) {
  RowList archive = Archive({MessageRow("a", "+1")});
  WriteAndLoad(archive.rows, archive_file_);
  const std::string before = test::ReadBytes(archive_path_);
  const std::size_t selected[] = {0};
  ui_.answers = {false, false, false};
  EXPECT_FALSE(
      DeleteArchiveRowsOnKey(archive, selected, archive_file_.file, language_, ui_).confirmed);
  EXPECT_FALSE(
      DeleteArchiveRowsFromMenu(archive, selected, archive_file_.file, language_, ui_).confirmed);
  EXPECT_FALSE(DeleteAllArchiveRows(archive, archive_file_.file, language_, ui_).confirmed);
  EXPECT_EQ(archive.rows.size(), 1u);
  EXPECT_EQ(test::ReadBytes(archive_path_), before);
}

TEST_F(ArchiveFileTest, PhonebookDeleteSavesOrRemovesItsFile) {
  RowList phonebook = MakeContactList();
  phonebook.rows = {test::ContactRow("A", "+1"), test::ContactRow("B", "+2")};
  WriteAndLoad(phonebook.rows, phonebook_file_);
  const std::size_t first[] = {0};
  DeleteOutcome outcome =
      DeletePhonebookRowsOnKey(phonebook, first, phonebook_file_.file, language_, ui_);
  EXPECT_EQ(outcome.file, FileEffect::kSaved);
  EXPECT_FALSE(outcome.empty_preview);
  EXPECT_EQ(OnDisk(phonebook_path_), phonebook.rows);
  outcome = DeletePhonebookRowsOnKey(phonebook, first, phonebook_file_.file, language_, ui_);
  EXPECT_EQ(outcome.file, FileEffect::kRemoved);
  EXPECT_FALSE(std::filesystem::exists(phonebook_path_));
  EXPECT_EQ(ui_.questions[0], W("Вы действительно хотите удалить выделеные номера?"));
}

}  // namespace
}  // namespace missivo
