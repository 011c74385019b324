#include <gtest/gtest.h>

#include "phone/phone_test_data.h"
#include "phone/phonebook_read.h"
#include "support/test_support.h"

namespace missivo {
namespace {

using test::ReplyFixture;
using test::W;

TEST(ParsePhonebookRangeTest, Replies) {
  const std::string tail = "\r\n\r\nOK\r";
  const struct {
    const char* name;
    std::string reply;
    std::optional<int> expected;
  } cases[] = {
      {"echo, range, empty line, OK", "AT+MPBR=?\r\r\n+MPBR: 1-1000,40,24,8\r\n\r\nOK\r", 1000},
      {"captured range", ReplyFixture("mpbr-range-motorola-v551.txt") + tail, 1000},
      {"captured range from 10", ReplyFixture("mpbr-range-motorola-starting-at-10.txt") + tail,
       18259},
      {"small range", "+MPBR: 1-40,40,24\r\n\r\nOK\r", 40},
      {"as many as the file holds", "+MPBR: 1-65535,40,24\r\n\r\nOK\r", 65535},
      {"more than the file holds", "+MPBR: 1-65536,40,24\r\n\r\nOK\r", std::nullopt},
      {"range in parentheses", "+MPBR: (1-1000),40,24\r\n\r\nOK\r", std::nullopt},
      {"ERROR", "AT+MPBR=?\r\r\nERROR", std::nullopt},
      {"fewer than three lines", "+MPBR: 1-40,40\r\nOK\r", std::nullopt},
      {"empty number", "+MPBR: 1-,40\r\n\r\nOK\r", std::nullopt},
      {"no comma", "+MPBR: 1-40\r\n\r\nOK\r", std::nullopt},
      {"too large for a number", "+MPBR: 1-99999999999,40\r\n\r\nOK\r", std::nullopt},
      {"blank inside", "+MPBR: 1- 40,40\r\n\r\nOK\r", std::nullopt},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ParsePhonebookRange(c.reply), c.expected) << c.name;
}

TEST(PhonebookBatchesTest, ConsecutiveBatchesOfFifty) {
  using B = std::vector<PhonebookBatch>;
  EXPECT_EQ(PhonebookBatches(0), B{});
  EXPECT_EQ(PhonebookBatches(1), (B{{1, 1}}));
  EXPECT_EQ(PhonebookBatches(40), (B{{1, 40}}));
  EXPECT_EQ(PhonebookBatches(50), (B{{1, 50}}));
  EXPECT_EQ(PhonebookBatches(51), (B{{1, 50}, {51, 51}}));
  EXPECT_EQ(PhonebookBatches(100), (B{{1, 50}, {51, 100}}));
  EXPECT_EQ(PhonebookBatches(120), (B{{1, 50}, {51, 100}, {101, 120}}));
}

TEST(PhonebookBatchesTest, EveryNumberOnceForAnyMax) {
  for (int max = 1; max <= 1000; ++max) {
    int next = 1;
    for (const PhonebookBatch& batch : PhonebookBatches(max)) {
      ASSERT_EQ(batch.first, next) << max;
      ASSERT_GE(batch.last, batch.first) << max;
      ASSERT_LE(batch.last - batch.first, 49) << max;
      next = batch.last + 1;
    }
    ASSERT_EQ(next, max + 1) << max;
  }
}

TEST(ParsePhonebookEntryTest, Lines) {
  const struct {
    const char* name;
    std::string line;
    std::optional<Row> expected;
  } cases[] = {
      {"five fields", "+MPBR: 5,\"+15555550123\",145,041804320430043D,0",
       Row{W("Иван"), {"+15555550123"}, 30}},
      {"captured, 24 fields", ReplyFixture("mpbr-motorola-entry-24-fields.txt"),
       Row{"Wegleitner Sabine Mensa", {"069912158732"}, 30}},
      {"no blank after the colon", "+MPBR:5,\"+1\",129,0041,0", Row{"A", {"+1"}, 30}},
      {"three commas: no name", "+MPBR: 5,\"+1\",145,0041", Row{"", {"+1"}, 30}},
      {"one comma: nothing", "+MPBR: 5,\"+1\"", Row{"", {""}, 30}},
      {"quoted name is garbled", "+MPBR: 5,\"+1\",145,\"0041\",0",
       Row{std::string(1, '\0'), {"+1"}, 30}},
      {"Io in a name", "+MPBR: 6,\"+2\",145,0401043C0430,0", Row{W("Ёма"), {"+2"}, 30}},
      {"other line", "AT+MPBR=1,50", std::nullopt},
      {"OK", "OK", std::nullopt},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ParsePhonebookEntry(c.line), c.expected) << c.name;
}

TEST(ParsePhonebookRepliesTest, CapturedReplies) {
  const std::vector<Row> contacts = ParsePhonebookReplies({
      ReplyFixture("mpbr-motorola-l6-entry-international.txt"),
      ReplyFixture("mpbr-motorola-l6-empty-slot.txt"),
      ReplyFixture("mpbr-motorola-l6-out-of-range.txt"),
      ReplyFixture("mpbr-motorola-l6-entry-national.txt"),
  });
  const std::vector<Row> expected = {
      {"Maddy", {"+393000000001"}, 30},
      {"Claudia Xxxx", {"340000000"}, 30},
  };
  EXPECT_EQ(contacts, expected);
}

}  // namespace
}  // namespace missivo
