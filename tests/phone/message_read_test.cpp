// The message read against the simulated phone over a real pseudo-terminal.
#include "phone/message_read.h"

#include <gtest/gtest.h>

#include <ctime>
#include <nlohmann/json.hpp>

#include "phone/dates.h"
#include "phone/phone_delete.h"
#include "support/phone_link.h"
#include "support/test_support.h"

namespace missivo {
namespace {

using nlohmann::json;
using test::PhoneLink;
using test::W;

const std::vector<std::string> kSetUp = {"AT+CMGF=1", "AT+CSCS=UCS2", "AT+CPBS=\"MT\"",
                                         "at+cmgl=\"ALL\""};

json Message(int index, const char* status, const char* text, const char* date = "") {
  return {{"index", index},
          {"status", status},
          {"sender", "+7916" + std::to_string(index)},
          {"date", date},
          {"text", text}};
}

// One message of each status, at indexes that are not their places in the list.
json EveryStatus() {
  return {{"messages",
           {Message(3, "REC READ", "read", "2006/05/17,14:03:59"),
            Message(7, "REC UNREAD", "unread", "2006/5/7,9:3:5"),
            Message(12, "STO SENT", "sent", "2006/05/17,14:03:59"),
            Message(40, "STO UNSENT", "draft"), Message(41, "SOMETHING", "other")}}};
}

// Seconds since the epoch of a "dd/mm/yyyy,hh:mm:ss" local time.
std::time_t ParseProgramDate(const std::string& date) {
  std::tm local{};
  local.tm_isdst = -1;
  EXPECT_EQ(std::sscanf(date.c_str(), "%d/%d/%d,%d:%d:%d", &local.tm_mday, &local.tm_mon,
                        &local.tm_year, &local.tm_hour, &local.tm_min, &local.tm_sec),
            6)
      << date;
  local.tm_mon -= 1;
  local.tm_year -= 1900;
  return std::mktime(&local);
}

TEST(ReadMessagesTest, EachCombinationOfOptionsReadsItsStatuses) {
  for (int bits = 0; bits < 8; ++bits) {
    const ReadOptions options{(bits & 1) != 0, (bits & 2) != 0, (bits & 4) != 0};
    SCOPED_TRACE("check8 " + std::to_string(options.check8) + ", check9 " +
                 std::to_string(options.check9) + ", check10 " + std::to_string(options.check10));
    // Unread incoming messages are read whatever check8 says; "SOMETHING" never is.
    std::vector<std::string> indexes;
    if (options.check8) indexes.push_back("3");
    indexes.push_back("7");
    if (options.check9) indexes.push_back("12");
    if (options.check10) indexes.push_back("40");

    PhoneLink link(EveryStatus().dump());
    const MessageReadResult result = ReadMessages(link.exchange, options, link.language, link.ui);
    EXPECT_FALSE(result.port_error);
    std::vector<std::string> commands = kSetUp;
    for (const auto& index : indexes)
      commands.push_back("AT+CMGR=" + index);
    EXPECT_EQ(link.phone.Commands(), commands);
    EXPECT_EQ(result.read_indexes, indexes);
    ASSERT_EQ(result.rows.size(), indexes.size());
    for (std::size_t i = 0; i < indexes.size(); ++i) {
      EXPECT_EQ(SubItem(result.rows[i], kIndex), indexes[i]);
      EXPECT_EQ(SubItem(result.rows[i], kFrom), "+7916" + indexes[i]);
    }
  }
}

TEST(ReadMessagesTest, RowsByStatusAndProgress) {
  PhoneLink link(EveryStatus().dump());
  const std::string before = MakeDate();
  const MessageReadResult result = ReadMessages(link.exchange, {}, link.language, link.ui);
  const std::string after = MakeDate();

  ASSERT_EQ(result.rows.size(), 4u);
  EXPECT_EQ(
      test::FiveOf(result.rows[0]),
      (Row{"read", {"+79163", "17/05/2006,14:03:59", "4", "3", W("Входящие")}, kImageIncoming}));
  EXPECT_EQ(
      test::FiveOf(result.rows[1]),
      (Row{"unread", {"+79167", "07/05/2006,09:03:05", "6", "7", W("Входящие")}, kImageIncoming}));
  EXPECT_EQ(result.rows[2].caption, "sent");
  EXPECT_EQ(SubItem(result.rows[2], kType), W("Исходящие"));
  EXPECT_EQ(result.rows[2].image, kImageOutgoing);
  EXPECT_EQ(result.rows[3].caption, "draft");
  EXPECT_EQ(SubItem(result.rows[3], kType), W("Черновые"));
  EXPECT_EQ(result.rows[3].image, kImageDraft);
  // Outgoing and draft rows carry the moment of the read, not the phone's stamp.
  for (const Row& row : {result.rows[2], result.rows[3]}) {
    const std::time_t stamped = ParseProgramDate(SubItem(row, kDateTime));
    EXPECT_GE(stamped, ParseProgramDate(before.substr(0, 19)));
    EXPECT_LE(stamped, ParseProgramDate(after.substr(0, 19)));
  }

  EXPECT_EQ(
      link.ui.progress_texts,
      (std::vector<std::string>{W("Чтение данных"), W("Чтение сообщений"), W("Готово!"), ""}));
  EXPECT_EQ(link.ui.progress_maximum, 4 * 5 - 1);
  EXPECT_EQ(link.ui.progress_position, 4 * 4);
  EXPECT_FALSE(link.ui.progress_visible);
  EXPECT_GE(link.ui.events_processed, 5 + 4);
  EXPECT_TRUE(link.ui.messages.empty());
}

TEST(ReadMessagesTest, HeaderFormsAndTexts) {
  const std::string long_text(100, 'x');
  const struct {
    const char* name;
    json scenario;
    std::string caption;
    const char* size;
  } cases[] = {
      {"+C headers without the blank",
       {{"separator", ","}, {"messages", {Message(5, "REC READ", "Hi", "26/08/25,20:29:40+12")}}},
       "Hi",
       "2"},
      {"+M headers with the blank",
       {{"family", "+M"}, {"messages", {Message(5, "REC READ", "Hi", "26/08/25,20:29:40+12")}}},
       "Hi",
       "2"},
      {"+M headers without the blank, no echo",
       {{"family", "+M"},
        {"separator", ","},
        {"echo", false},
        {"messages", {Message(5, "REC READ", "Hi", "26/08/25,20:29:40+12")}}},
       "Hi",
       "2"},
      {"text on two lines",
       {{"split_length", 70},
        {"messages", {Message(5, "REC READ", long_text.c_str(), "26/08/25,20:29:40+12")}}},
       long_text,
       "100"},
      {"surrogate pair split over the two lines",
       {{"split_length", 2}, {"messages", {Message(5, "REC READ", "a😀b", "26/08/25,20:29:40+12")}}},
       "a?b",
       "3"},
      {"letters of the code page and line breaks",
       {{"messages", {Message(5, "REC READ", "Ёлка №1 «да» —\r\nмир", "26/08/25,20:29:40+12")}}},
       W("Ёлка №1 «да» —мир"),
       "19"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    PhoneLink link(c.scenario.dump());
    const MessageReadResult result = ReadMessages(link.exchange, {}, link.language, link.ui);
    ASSERT_EQ(result.rows.size(), 1u);
    EXPECT_EQ(result.rows[0].caption, c.caption);
    EXPECT_EQ(SubItem(result.rows[0], kSize), c.size);
    EXPECT_EQ(SubItem(result.rows[0], kFrom), "+79165");
    EXPECT_EQ(SubItem(result.rows[0], kDateTime), "25/08/2026,20:29:40");
  }
}

TEST(ReadMessagesTest, RepliesWithoutMessagesGiveNoRows) {
  const struct {
    const char* name;
    json scenario;
    std::vector<std::string> read_indexes;
    std::size_t error_boxes;
  } cases[] = {
      {"empty phone", json::object(), {}, 0},
      {"listing answered with an error",
       {{"messages", {Message(1, "REC READ", "a")}},
        {"faults", {{{"command", "AT+CMGL*"}, {"action", "cms_error"}, {"code", 500}}}}},
       {},
       1},
      {"one read answered with an error",
       {{"messages", {Message(1, "REC READ", "a"), Message(2, "REC READ", "b")}},
        {"faults", {{{"command", "AT+CMGR=1"}, {"action", "cms_error"}, {"code", 321}}}}},
       {"2"},
       1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    PhoneLink link(c.scenario.dump());
    const MessageReadResult result = ReadMessages(link.exchange, {}, link.language, link.ui);
    EXPECT_FALSE(result.port_error);
    EXPECT_EQ(result.read_indexes, c.read_indexes);
    EXPECT_EQ(result.rows.size(), c.read_indexes.size());
    EXPECT_EQ(link.ui.messages.size(), c.error_boxes);
  }
}

TEST(ReadMessagesTest, HangUpKeepsTheRowsReadBefore) {
  json scenario = EveryStatus();
  scenario["hang_up_after"] = 6;  // four set-up commands, one read, then the second read
  PhoneLink link(scenario.dump());
  const MessageReadResult result = ReadMessages(link.exchange, {}, link.language, link.ui);
  ASSERT_TRUE(result.port_error);
  EXPECT_THROW(std::rethrow_exception(result.port_error), EComError);
  ASSERT_EQ(result.rows.size(), 1u);
  EXPECT_EQ(result.rows[0].caption, "read");
  EXPECT_EQ(result.read_indexes, (std::vector<std::string>{"3"}));
  EXPECT_FALSE(link.ui.progress_visible);
  EXPECT_FALSE(link.port.Active());
}

// A listing that names one index twice, and a message whose header does not
// parse: the index is read once; the odd message becomes a row with its text
// and the "unreadable header" sender, and it is not among the messages deleted.
TEST(ReadMessagesTest, OddListingsReadEachIndexOnceAndKeepUnreadableMessages) {
  const json scenario = {
      {"messages", {Message(3, "REC READ", "three", "2006/05/17,14:03:59")}},
      {"replies",
       {{{"command", "at+cmgl*"},
         {"reply",
          "\r\n+CMGL: 3, \"REC READ\", \"+79163\"\r\n+CMGL: 3, \"REC READ\", \"+79163\"\r\n"
          "+CMGL: 4, \"REC READ\", \"+79164\"\r\n\r\nOK\r\n"}},
        {{"command", "AT+CMGR=4"},
         {"reply", "\r\n+CMGR: garbled ?? header\r\n00420043\r\n\r\nOK\r\n"}}}}};
  PhoneLink link(scenario.dump());
  const MessageReadResult result = ReadMessages(link.exchange, {}, link.language, link.ui);
  DeleteMessagesOnPhone(link.exchange, result.read_indexes, link.ui);

  std::vector<std::string> commands = kSetUp;
  for (const char* command : {"AT+CMGR=3", "AT+CMGR=4", "AT+CMGD=3"})
    commands.push_back(command);
  EXPECT_EQ(link.phone.Commands(), commands);
  ASSERT_EQ(result.rows.size(), 2u);
  EXPECT_EQ(result.rows[0].caption, "three");
  const Row& odd = result.rows[1];
  EXPECT_EQ(odd.caption, "BC");
  EXPECT_EQ(SubItem(odd, kFrom), W("Заголовок не читается"));
  EXPECT_EQ(SubItem(odd, kIndex), "4");
  EXPECT_EQ(SubItem(odd, kSize), "2");
  EXPECT_EQ(SubItem(odd, kType), "");
  EXPECT_EQ(odd.image, -1);
  EXPECT_EQ(SubItem(odd, kDateTime).size(), 19u);  // the moment of the read
  EXPECT_EQ(result.read_indexes, (std::vector<std::string>{"3"}));
}

// Deleting the messages read, as the read command does once they are kept.
TEST(ReadMessagesTest, DeletingTheMessagesReadDeletesExactlyThose) {
  PhoneLink link(EveryStatus().dump());
  const ReadOptions no_drafts{true, true, false};
  const MessageReadResult result = ReadMessages(link.exchange, no_drafts, link.language, link.ui);
  DeleteMessagesOnPhone(link.exchange, result.read_indexes, link.ui);

  std::vector<std::string> commands = kSetUp;
  for (const char* index : {"3", "7", "12"})
    commands.push_back(std::string("AT+CMGR=") + index);
  for (const char* index : {"3", "7", "12"})
    commands.push_back(std::string("AT+CMGD=") + index);
  EXPECT_EQ(link.phone.Commands(), commands);

  // The draft and the message of another status are still in the phone.
  const MessageReadResult again = ReadMessages(link.exchange, {}, link.language, link.ui);
  EXPECT_EQ(again.read_indexes, (std::vector<std::string>{"40"}));
  EXPECT_TRUE(link.ui.messages.empty());
}

}  // namespace
}  // namespace missivo
