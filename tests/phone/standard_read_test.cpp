// Standard devices read through their profile over real pseudo-terminals:
// identification and the profile chosen, PDU and text mode, every storage,
// long messages joined, status reports left alone, the standard phonebook, and
// deleting every part in its own storage.
#include <gtest/gtest.h>

#include <algorithm>

#include "phone/device_identity.h"
#include "phone/read_command.h"
#include "phone/standard/standard_profile.h"
#include "store/list_file.h"
#include "store/message_fields.h"
#include "support/phone_link.h"
#include "support/standard_phones.h"
#include "text/cp1251.h"

namespace missivo {
namespace {

using test::PhoneLink;
using test::W;

struct StandardRead {
  explicit StandardRead(const nlohmann::json& scenario) : link(scenario.dump()) {}

  MessageReadResult Read(const ReadOptions& options = {}) {
    return choice.Get(link.exchange).ReadMessages(link.exchange, options, link.language, link.ui);
  }

  std::vector<std::string> CommandsFrom(std::size_t first) const {
    const auto all = link.phone.Commands();
    return {all.begin() + static_cast<std::ptrdiff_t>(std::min(first, all.size())), all.end()};
  }

  PhoneLink link;
  ConnectionProfile choice;
};

// The row as the five sub-items show it; the lossless fields are checked apart.
Row Five(Row row) {
  row.sub_items.resize(std::min<std::size_t>(row.sub_items.size(), kMessageFieldCount));
  return row;
}

const Row* RowWithIndex(const std::vector<Row>& rows, const std::string& index) {
  const auto it = std::find_if(rows.begin(), rows.end(),
                               [&](const Row& row) { return SubItem(row, kIndex) == index; });
  return it == rows.end() ? nullptr : &*it;
}

TEST(StandardReadTest, IdentificationChoosesTheProfile) {
  const struct {
    const char* name;
    nlohmann::json scenario;
    PhoneKind kind;
    const char* maker;
    bool pdu;
    bool text;
  } cases[] = {
      {"USB stick", test::UsbStick(), PhoneKind::kStandard, "huawei", true, true},
      {"PDU-only phone", test::PduOnlyPhone(), PhoneKind::kStandard, "Generic", true, false},
      {"text-only module", test::TextOnlyModule(), PhoneKind::kStandard, "SIMCOM_Ltd", false, true},
      {"the family", {{"phonebook_range", "1-100,40,24"}}, PhoneKind::kFamily, "", false, false},
      {"a device that answers none of the questions",
       {{"faults", {{{"command", "AT+MPBR=?"}, {"action", "error"}}}}},
       PhoneKind::kFamily,
       "",
       false,
       false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    StandardRead read(c.scenario);
    EXPECT_EQ(read.choice.Get(read.link.exchange).Kind(), c.kind);
    const DeviceIdentity* identity = read.choice.Identity();
    ASSERT_NE(identity, nullptr);
    EXPECT_EQ(identity->maker, c.maker);
    EXPECT_EQ(identity->modes.pdu, c.pdu);
    EXPECT_EQ(identity->modes.text, c.text);
    // Asked once per connection, and quietly: no error box for what a device lacks.
    const std::size_t asked = read.link.phone.Commands().size();
    (void)read.choice.Get(read.link.exchange);
    EXPECT_EQ(read.link.phone.Commands().size(), asked);
    EXPECT_TRUE(read.link.ui.messages.empty());
  }
}

TEST(StandardReadTest, ForcedKinds) {
  // Forced to the family, the device is asked nothing before the family's conversation.
  StandardRead family(nlohmann::json{{"phonebook_range", "1-100,40,24"}});
  family.choice.SetSetting(PhoneKind::kFamily);
  EXPECT_EQ(family.choice.Get(family.link.exchange).Kind(), PhoneKind::kFamily);
  EXPECT_TRUE(family.link.phone.Commands().empty());
  // Forced to standard, a device with the family's phonebook command is still read as standard.
  StandardRead standard(nlohmann::json{
      {"profile", "standard"},
      {"replies", {{{"command", "AT+MPBR=?"}, {"reply", "\r\n+MPBR: 1-10\r\n\r\nOK\r\n"}}}}});
  standard.choice.SetSetting(PhoneKind::kStandard);
  EXPECT_EQ(standard.choice.Get(standard.link.exchange).Kind(), PhoneKind::kStandard);
}

TEST(StandardReadTest, UsbStickInPduModeReadsEveryStorageOnceAndJoinsLongMessages) {
  StandardRead read(test::UsbStick());
  const MessageReadResult result = read.Read();
  ASSERT_FALSE(result.port_error);
  // PDU mode; SM and ME each listed once, MT (their union) not; no message read one by one.
  const std::vector<std::string> commands = read.CommandsFrom(7);
  EXPECT_EQ(commands, (std::vector<std::string>{"AT+CMGF=0", "AT+CPMS=\"SM\"", "AT+CMGL=4",
                                                "AT+CPMS=\"ME\"", "AT+CMGL=4"}));
  // Five messages: the status report is no row.
  ASSERT_EQ(result.rows.size(), 5u);

  const Row* hello = RowWithIndex(result.rows, "1");
  ASSERT_NE(hello, nullptr);
  EXPECT_EQ(Five(*hello), (Row{W("Привет из SIM"),
                               {"+79161234567", "01/05/2024,12:00:00", "13", "1", W("Входящие")},
                               kImageIncoming}));
  const std::optional<MessageFields> hello_fields = ReadMessageFields(*hello);
  ASSERT_TRUE(hello_fields);
  EXPECT_EQ(hello_fields->kind, RowKind::kIncoming);
  EXPECT_EQ(hello_fields->number, "+79161234567");
  EXPECT_EQ(hello_fields->time, "2024-05-01T12:00:00+03:00");
  EXPECT_EQ(hello_fields->storage, "SM");
  EXPECT_EQ(hello_fields->parts, (std::vector<std::string>{"1"}));

  // Parts 2 (SM 2) and 1 (ME 7) joined in part order; the phone's local time, zone -05:00.
  const Row* joined = RowWithIndex(result.rows, "7");
  ASSERT_NE(joined, nullptr);
  EXPECT_EQ(joined->caption, test::StickLongText());
  EXPECT_EQ(SubItem(*joined, kDateTime), "02/05/2024,08:30:00");
  EXPECT_EQ(SubItem(*joined, kSize), "200");
  EXPECT_EQ(RowWithIndex(result.rows, "2"), nullptr);
  EXPECT_EQ(ReadMessageFields(*joined)->time, "2024-05-02T08:30:00-05:00");
  EXPECT_EQ(SlotsOfRow(*joined), (std::vector<PhoneSlot>{{"ME", "7"}, {"SM", "2"}}));

  // The three-part message without its part 2: a visible gap, and it stays on the phone.
  const Row* gap = RowWithIndex(result.rows, "4");
  ASSERT_NE(gap, nullptr);
  const std::string three = Utf8ToCp1251(test::StickThreeParts());
  EXPECT_TRUE(gap->caption.starts_with(three.substr(0, 67)));
  EXPECT_TRUE(gap->caption.ends_with(three.substr(134)));
  EXPECT_NE(gap->caption.find("[\x85]"), std::string::npos);
  EXPECT_EQ(SubItem(*gap, kSize), std::to_string(67 + 3 + 36));

  // Outgoing and draft rows from ME: the read's own time, their Type and picture.
  const Row* sent = RowWithIndex(result.rows, "8");
  ASSERT_NE(sent, nullptr);
  EXPECT_EQ(sent->caption, W("Ответ ?"));
  EXPECT_EQ(SubItem(*sent, kSize), "7");  // the emoji is one character
  EXPECT_EQ(ReadMessageFields(*sent)->text, "Ответ 😀");
  EXPECT_EQ(ReadMessageFields(*sent)->time, "");  // the phone gave none
  EXPECT_EQ(sent->image, kImageOutgoing);
  EXPECT_EQ(RowWithIndex(result.rows, "9")->image, kImageDraft);

  // What deleting would delete: every part in its own storage; nothing of the incomplete one.
  std::vector<PhoneSlot> all;
  for (const auto& slots : result.row_slots)
    all.insert(all.end(), slots.begin(), slots.end());
  EXPECT_EQ(all, (std::vector<PhoneSlot>{
                     {"SM", "1"}, {"ME", "7"}, {"SM", "2"}, {"ME", "8"}, {"ME", "9"}}));
}

TEST(StandardReadTest, ReadOptionsMeanWhatTheyMeanForTheFamily) {
  ReadOptions incoming_only;
  incoming_only.check9 = false;
  incoming_only.check10 = false;
  StandardRead read(test::UsbStick());
  const MessageReadResult result = read.Read(incoming_only);
  EXPECT_EQ(result.rows.size(), 3u);
  for (const Row& row : result.rows)
    EXPECT_EQ(row.image, kImageIncoming);

  ReadOptions unread_only;
  unread_only.check8 = false;
  unread_only.check9 = false;
  unread_only.check10 = false;
  StandardRead again(test::UsbStick());
  const MessageReadResult unread = again.Read(unread_only);
  ASSERT_EQ(unread.rows.size(), 1u);
  EXPECT_EQ(SubItem(unread.rows[0], kIndex), "4");
}

TEST(StandardReadTest, DeletesEveryPartInItsOwnStorageAndLeavesStatusReports) {
  StandardRead read(test::UsbStick());
  const MessageReadResult result = read.Read();
  const DeviceProfile& profile = read.choice.Get(read.link.exchange);
  std::vector<PhoneSlot> slots;
  for (const auto& row : result.row_slots)
    slots.insert(slots.end(), row.begin(), row.end());
  const std::size_t before = read.link.phone.Commands().size();
  profile.DeleteMessages(read.link.exchange, slots, read.link.ui);
  EXPECT_EQ(read.CommandsFrom(before),
            (std::vector<std::string>{"AT+CPMS=\"SM\"", "AT+CMGD=1", "AT+CPMS=\"ME\"", "AT+CMGD=7",
                                      "AT+CPMS=\"SM\"", "AT+CMGD=2", "AT+CPMS=\"ME\"", "AT+CMGD=8",
                                      "AT+CMGD=9"}));
  // A second read finds the status report and the incomplete message only.
  const MessageReadResult after = read.Read();
  ASSERT_EQ(after.rows.size(), 1u);
  EXPECT_EQ(SubItem(after.rows[0], kIndex), "4");
  std::string reply;
  read.link.exchange.ExchangeCommand("AT+CPMS=\"SM\"\r", reply);
  EXPECT_NE(reply.find("+CPMS: 3,"), std::string::npos) << reply;  // report, parts 1 and 3
}

TEST(StandardReadTest, PduOnlyPhoneAndTextOnlyModule) {
  {
    SCOPED_TRACE("PDU only");
    StandardRead read(test::PduOnlyPhone());
    const MessageReadResult result = read.Read();
    ASSERT_EQ(result.rows.size(), 2u);
    EXPECT_EQ(Five(result.rows[0]),
              (Row{W("тест"),
                   {"InternetSMS", "29/03/2011,19:20:04", "4", "2", W("Входящие")},
                   kImageIncoming}));
    EXPECT_EQ(ReadMessageFields(result.rows[0])->time, "2011-03-29T19:20:04+04:00");
    EXPECT_EQ(result.rows[1].caption, W("Here's [{with some extended characters}] €"));
    EXPECT_EQ(SubItem(result.rows[1], kFrom), "+12404492164");
  }
  {
    SCOPED_TRACE("text only, UCS2 only with quotes");
    StandardRead read(test::TextOnlyModule());
    const MessageReadResult result = read.Read();
    const std::vector<std::string> commands = read.CommandsFrom(7);
    EXPECT_EQ(std::vector<std::string>(commands.begin(), commands.begin() + 3),
              (std::vector<std::string>{"AT+CMGF=1", "AT+CSCS=\"UCS2\"", "AT+CPMS=\"SM\""}));
    ASSERT_EQ(result.rows.size(), 3u);
    EXPECT_EQ(Five(result.rows[0]),
              (Row{"Test message 2",
                   {"+31625044454", "05/07/2007,09:56:03", "14", "1", W("Входящие")},
                   kImageIncoming}));
    EXPECT_EQ(ReadMessageFields(result.rows[0])->time, "2007-07-05T09:56:03+02:00");
    EXPECT_EQ(result.rows[1].caption, W("Ёлкаи ёж"));
    EXPECT_EQ(ReadMessageFields(result.rows[1])->text, "Ёлка\nи ёж");
    EXPECT_EQ(SubItem(result.rows[1], kSize), "9");
    EXPECT_EQ(SubItem(result.rows[1], kFrom), "+79161234567");
    EXPECT_EQ(result.rows[2].image, kImageOutgoing);
  }
}

TEST(StandardReadTest, StandardPhonebook) {
  const struct {
    const char* name;
    nlohmann::json scenario;
    std::vector<Row> contacts;
  } cases[] = {
      {"USB stick: SM and ME, UCS2 names",
       test::UsbStick(),
       {{W("Иван"), {"+79161234567"}, kImageContact},
        {W("Пётр"), {"+79160000000"}, kImageContact}}},
      {"text-only module: UCS2 numbers, empty batches answered with nothing, no call lists",
       test::TextOnlyModule(),
       {{"Jan", {"+31625044454"}, kImageContact}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    StandardRead read(c.scenario);
    const auto contacts = read.choice.Get(read.link.exchange)
                              .ReadPhonebook(read.link.exchange, read.link.language, read.link.ui);
    ASSERT_TRUE(contacts.has_value());
    EXPECT_EQ(*contacts, c.contacts);
    EXPECT_TRUE(read.link.ui.messages.empty());
  }
}

}  // namespace
}  // namespace missivo

namespace missivo {
namespace {

// The read command twice: first the three-part message without its part 2
// (archived with a gap, left on the phone), then with it (the same row
// completed, every part deleted once the archive file holds the whole text).
TEST(StandardReadTest, AMessageArchivedWithAGapIsCompletedInItsOwnRow) {
  test::TempFolder folder;
  const DataFiles files(folder.path());
  std::filesystem::create_directories(files.folder);
  LockState lock;
  DataStore store{folder.path(), lock, DamagePolicy::kSetAside};
  RowList list1 = MakeMessageList();
  RowList list4 = MakeMessageList();
  RowList list2 = MakeContactList();
  ReadCommandOptions options;
  options.check6 = true;
  ReadCommandHooks hooks;
  hooks.wait = [](std::chrono::milliseconds) {};
  const std::string whole = Utf8ToCp1251(test::StickThreeParts());
  const auto gap_rows = [&] {
    return std::count_if(list4.rows.begin(), list4.rows.end(), [](const Row& row) {
      return row.caption.find("[\x85]") != std::string::npos;
    });
  };

  nlohmann::json stick = test::UsbStick();
  {
    StandardRead first(stick);
    PhoneCommandGuard guard;
    (void)RunReadCommand(first.link.exchange, first.choice, guard, {list1, list4, list2}, options,
                         store, first.link.language, first.link.ui, hooks);
    EXPECT_EQ(list4.rows.size(), 5u);
    EXPECT_EQ(gap_rows(), 1);
    for (const std::string& command : first.link.phone.Commands())
      EXPECT_TRUE(command != "AT+CMGD=4" && command != "AT+CMGD=6") << command;
  }
  // The missing part has come, in ME.
  nlohmann::json& three = stick["messages"][5];
  three["parts"].push_back({{"sequence", 2}, {"storage", "ME"}, {"index", 11}});
  {
    StandardRead second(stick);
    PhoneCommandGuard guard;
    (void)RunReadCommand(second.link.exchange, second.choice, guard, {list1, list4, list2}, options,
                         store, second.link.language, second.link.ui, hooks);
    const std::vector<std::string> commands = second.link.phone.Commands();
    EXPECT_NE(std::find(commands.begin(), commands.end(), "AT+CMGD=11"), commands.end());
    EXPECT_NE(std::find(commands.begin(), commands.end(), "AT+CMGD=6"), commands.end());
  }
  const Result<std::vector<Row>> archive = ReadListFile(files.archive);
  ASSERT_TRUE(archive.ok());
  EXPECT_EQ(archive.value().size(), 5u);
  EXPECT_EQ(gap_rows(), 0);
  const auto completed = std::find_if(archive.value().begin(), archive.value().end(),
                                      [&](const Row& row) { return row.caption == whole; });
  ASSERT_NE(completed, archive.value().end());
  const std::optional<MessageFields> fields = ReadMessageFields(*completed);
  ASSERT_TRUE(fields);
  EXPECT_EQ(fields->text, test::StickThreeParts());
  EXPECT_EQ(fields->time, "2024-05-03T23:59:59+05:45");
  EXPECT_EQ(SlotsOfRow(*completed),
            (std::vector<PhoneSlot>{{"SM", "4"}, {"ME", "11"}, {"SM", "6"}}));
}

}  // namespace
}  // namespace missivo
