// The read command with deleting on, against the simulated phones over real
// pseudo-terminals: a message leaves the phone only when the saved archive
// holds that very message, and the result says what happened.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <nlohmann/json.hpp>

#include "phone/device_identity.h"
#include "phone/message_send.h"
#include "phone/read_command.h"
#include "store/list_file.h"
#include "store/message_fields.h"
#include "support/phone_link.h"
#include "support/phone_scenario.h"
#include "support/read_faults.h"
#include "support/standard_phones.h"
#include "text/cp1251.h"

namespace missivo {
namespace {

using nlohmann::json;
using test::SimMessage;
using test::StandardMessage;

// A program folder whose archive lives on between reads of one phone or another.
struct Folder {
  Folder() { std::filesystem::create_directories(files.folder); }

  // The read command on `phone` with deleting on.
  ReadCommandResult Read(const json& phone, test::PhoneLink*& used) {
    link = std::make_unique<test::PhoneLink>(phone.dump());
    used = link.get();
    return ReadOn(*link, /*delete_read=*/true);
  }
  ReadCommandResult ReadOn(test::PhoneLink& phone, bool delete_read) {
    ConnectionProfile profile;
    PhoneCommandGuard guard;
    RowList list1 = MakeMessageList();
    ReadCommandOptions options;
    options.check6 = delete_read;
    ReadCommandHooks hooks;
    hooks.wait = [](std::chrono::milliseconds) {};
    return RunReadCommand(phone.exchange, profile, guard, {list1, list4, list2}, options, store,
                          phone.language, phone.ui, hooks);
  }
  ReadCommandResult Read(const json& phone) {
    test::PhoneLink* unused = nullptr;
    return Read(phone, unused);
  }

  // The archive file's rows as (text, Date/Time), UTF-8.
  std::vector<std::pair<std::string, std::string>> Archived() const {
    std::vector<std::pair<std::string, std::string>> texts;
    const Result<std::vector<Row>> rows = ReadListFile(files.archive);
    EXPECT_TRUE(rows.ok()) << rows.message();
    if (!rows.ok()) return texts;
    for (const Row& row : rows.value())
      texts.emplace_back(BestText(row), SubItem(row, kDateTime));
    return texts;
  }

  test::TempFolder folder;
  DataFiles files{folder.path()};
  LockState lock;
  DataStore store{folder.path(), lock, DamagePolicy::kSetAside};
  RowList list4 = MakeMessageList();
  RowList list2 = MakeContactList();
  std::unique_ptr<test::PhoneLink> link;
};

json FamilyPhone(const std::string& date) {
  return {{"messages", {SimMessage(1, "REC UNREAD", "+79161234567", "Ok", date)}}};
}

json Stick(const std::string& date) {
  return {
      {"profile", "standard"},
      {"maker", "huawei"},
      {"model", "E3372"},
      {"standard", {{"storages", {"SM", "ME", "MT"}}}},
      {"messages", {StandardMessage("SM", 0, "REC UNREAD", "+79161234567", "Перезвони", date)}}};
}

// A phone reuses a freed slot: the same text from the same sender in the same
// slot on another day is a new message, archived before it leaves the phone.
TEST(ReadSafetyTest, ASlotUsedAgainHoldsANewMessage) {
  const struct {
    const char* name;
    std::function<json(const std::string&)> phone;
    std::vector<std::string> stamps;
    std::vector<std::string> dates;  // as the archive shows them
  } cases[] = {
      {"family phone: \"Ok\" in slot 1 a month later",
       FamilyPhone,
       {"2024/05/01,12:00:00", "2024/06/01,12:00:00"},
       {"01/05/2024,12:00:00", "01/06/2024,12:00:00"}},
      {"USB stick: \"Перезвони\" in SM 0 on three days",
       Stick,
       {"24/05/01,09:00:00+12", "24/05/08,09:00:00+12", "24/06/01,18:30:00+12"},
       {"01/05/2024,09:00:00", "08/05/2024,09:00:00", "01/06/2024,18:30:00"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Folder folder;
    for (const std::string& stamp : c.stamps) {
      test::PhoneLink* link = nullptr;
      const ReadCommandResult result = folder.Read(c.phone(stamp), link);
      EXPECT_EQ(result.archived, 1u) << stamp;
      EXPECT_EQ(result.deleted, 1u) << stamp;
      EXPECT_EQ(test::DeletedOnPhone(link->phone).size(), 1u) << stamp;
    }
    const auto archived = folder.Archived();
    ASSERT_EQ(archived.size(), c.stamps.size());
    for (std::size_t i = 0; i < archived.size(); ++i) {
      EXPECT_EQ(archived[i].second, c.dates[i]);
      EXPECT_TRUE(archived[i].first == "Ok" || archived[i].first == "Перезвони");
    }
    // The same message read again is the one archived: nothing is added.
    EXPECT_EQ(folder.Read(c.phone(c.stamps.back())).archived, 0u);
  }
}

// A device in text mode without UCS2 sends texts as they are: a text that is
// a line "OK" or begins with "ERROR" is text, with or without the empty line
// that devices put before the final result.
TEST(ReadSafetyTest, TextsThatReadLikeResultsAreReadWhole) {
  const std::vector<std::string> texts = {"OK", "Are you coming?\nOK", "ERROR 404 at the gate",
                                          "ERROR", "See you\nOK\nBye"};
  for (const bool blank_before_final : {false, true}) {
    SCOPED_TRACE(blank_before_final ? "empty line before OK" : "OK right after the text");
    const json module = test::TextModuleWithoutUcs2(texts, blank_before_final);
    Folder folder;
    test::PhoneLink* link = nullptr;
    const ReadCommandResult result = folder.Read(module, link);
    EXPECT_EQ(result.messages_read, texts.size());
    EXPECT_EQ(result.deleted, texts.size());
    std::vector<std::string> archived;
    for (const auto& [text, date] : folder.Archived())
      archived.push_back(text);
    EXPECT_EQ(archived, texts);
  }
}

// A phone that refuses to list its messages (a busy SIM, a plain ERROR) or a
// storage: the result says so and what was read of the rest; nothing is
// deleted that was not read.
TEST(ReadSafetyTest, ARefusedListingIsNoEmptyPhone) {
  json busy_storage = test::UsbStick();
  busy_storage["faults"] = {
      {{"command", "AT+CPMS=\"SM\""}, {"action", "cms_error"}, {"code", 314}}};
  json refused_list = FamilyPhone("2024/05/01,12:00:00");
  refused_list["faults"] = {{{"command", "at+cmgl*"}, {"action", "error"}}};
  json busy_list = FamilyPhone("2024/05/01,12:00:00");
  busy_list["faults"] = {{{"command", "at+cmgl*"}, {"action", "cms_error"}, {"code", 314}}};
  const struct {
    const char* name;
    json phone;
    std::string refusal;
    std::string storage;
    bool busy;
    std::size_t read;
    std::size_t deleted;
  } cases[] = {
      {"family: SIM busy", busy_list, "+CMS ERROR: 314 (SIM busy)", "", true, 0, 0},
      {"family: ERROR", refused_list, "ERROR", "", false, 0, 0},
      // ME holds part 1 of a long message (part 2 is in SM), a sent message
      // and a draft: the two whole ones are read and deleted.
      {"USB stick: SIM storage busy, the phone's own read", busy_storage,
       "+CMS ERROR: 314 (SIM busy)", "SM", true, 3, 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Folder folder;
    test::PhoneLink* link = nullptr;
    const ReadCommandResult result = folder.Read(c.phone, link);
    EXPECT_EQ(result.refusal, c.refusal);
    EXPECT_EQ(result.refused_storage, c.storage);
    EXPECT_EQ(result.busy, c.busy);
    EXPECT_EQ(result.messages_read, c.read);
    EXPECT_EQ(result.deleted, c.deleted);
    EXPECT_EQ(test::DeletedOnPhone(link->phone).size(), c.deleted);
  }
}

// A stray "OK" before the listing (left over from the command before) is not
// the listing: the listing after it is read.
TEST(ReadSafetyTest, AStrayOkBeforeTheListingIsNotAnEmptyListing) {
  const json phone = test::StrayOkBeforeTheListing();
  Folder folder;
  const ReadCommandResult result = folder.Read(phone);
  EXPECT_EQ(result.messages_read, 1u);
  EXPECT_EQ(result.archived, 1u);
  EXPECT_EQ(result.deleted, 1u);
  EXPECT_EQ(folder.Archived(),
            (std::vector<std::pair<std::string, std::string>>{{"Ok", "01/05/2024,12:00:00"}}));
}

// A PDU that cannot be decoded is no message read: it is counted, and stays on
// the phone; the others are read and deleted.
TEST(ReadSafetyTest, AnUndecodableMessageIsCountedAndStaysOnThePhone) {
  const json phone = test::UndecodableBesideAMessage();
  Folder folder;
  test::PhoneLink* link = nullptr;
  const ReadCommandResult result = folder.Read(phone, link);
  EXPECT_EQ(result.messages_read, 1u);
  EXPECT_EQ(result.unreadable, 1u);
  EXPECT_TRUE(result.refusal.empty());
  EXPECT_EQ(test::DeletedOnPhone(link->phone), (std::vector<std::string>{"2"}));
}

// A message sent is archived at once, with its send time; a device that keeps
// what it sends holds a copy, which the next read knows: the archived row gets
// the copy's place on the phone, no second row comes, and a read with
// deleting on deletes the copy (every part) as archived.
TEST(ReadSafetyTest, TheCopyOfAMessageSentCompletesItsRow) {
  std::string long_text;  // three parts in UCS2
  for (int i = 0; i < 5; ++i)
    long_text += "Длинное сообщение из трёх частей. ";
  const json stick = {{"profile", "standard"}, {"standard", {{"storages", {"SM", "ME", "MT"}}}}};
  const json family = json::object();
  const struct {
    const char* name;
    json phone;
    std::string text;
    std::string storage;
    std::vector<std::string> parts;
  } cases[] = {
      {"family phone, one message", family, "Привет", "", {"1"}},
      {"family phone, a long text sent as three messages", family, long_text, "", {"1", "2", "3"}},
      {"USB stick, one part", stick, "Привет", "SM", {"1"}},
      {"USB stick, three parts of one message", stick, long_text, "SM", {"1", "2", "3"}},
  };
  const std::string sent_at = "2026-12-10T17:50:02+03:00";
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Folder folder;
    test::PhoneLink link(c.phone.dump());
    ConnectionProfile profile;
    const SendReport report =
        SendMessage(link.exchange, profile.Get(link.exchange), "+79161234567", c.text);
    ASSERT_TRUE(report.AllConfirmed()) << report.Summary();
    folder.list4.rows.push_back(MakeSentRow("+79161234567", c.text, report, {}, link.language,
                                            "10/12/2026,17:50:02", sent_at));

    const ReadCommandResult first = folder.ReadOn(link, /*delete_read=*/false);
    EXPECT_EQ(first.messages_read, c.parts.size() == 3 && c.storage.empty() ? 3u : 1u);
    EXPECT_EQ(first.archived, 0u);
    const Result<std::vector<Row>> stored = ReadListFile(folder.files.archive);
    ASSERT_TRUE(stored.ok()) << stored.message();
    ASSERT_EQ(stored.value().size(), 1u);
    const Row& row = stored.value().front();
    const std::optional<MessageFields> fields = ReadMessageFields(row);
    ASSERT_TRUE(fields.has_value());
    EXPECT_EQ(fields->time, sent_at);
    EXPECT_EQ(fields->text, c.text);
    EXPECT_EQ(fields->storage, c.storage);
    EXPECT_EQ(fields->parts, c.parts);
    EXPECT_EQ(SubItem(row, kIndex), "1");
    EXPECT_EQ(SubItem(row, kDateTime), "10/12/2026,17:50:02");

    // Read again with deleting on: still one row, and the copy leaves the phone.
    const ReadCommandResult second = folder.ReadOn(link, /*delete_read=*/true);
    EXPECT_EQ(second.archived, 0u);
    EXPECT_EQ(ReadListFile(folder.files.archive).value().size(), 1u);
    EXPECT_EQ(test::DeletedOnPhone(link.phone), c.parts);
  }
}

}  // namespace
}  // namespace missivo
