// The phonebook read against the simulated phone over a real pseudo-terminal.
#include "phone/phonebook_read.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "support/phone_link.h"
#include "support/test_support.h"

namespace missivo {
namespace {

using nlohmann::json;
using test::PhoneLink;
using test::W;

const std::vector<std::string> kRangeQuery = {"AT+CSCS=UCS2", "AT+CPBS=\"MT\"", "AT+MPBR=?"};

json Entry(int index, const std::string& number, const char* name) {
  return {{"index", index}, {"number", number}, {"name", name}};
}

// Entries at every batch boundary the ranges below have, and one past each range.
json Phonebook(const char* range) {
  json entries = json::array();
  for (int index : {1, 40, 41, 50, 51, 100, 101, 1000})
    entries.push_back(Entry(index, "+7916000" + std::to_string(index), "Имя"));
  return {{"echo", true}, {"phonebook_range", range}, {"phonebook", entries}};
}

TEST(ReadPhonebookTest, AsksInBatchesThatDoNotOverlap) {
  std::vector<std::string> to_1000;
  for (int first = 1; first < 1000; first += 50)
    to_1000.push_back("AT+MPBR=" + std::to_string(first) + "," + std::to_string(first + 49));
  const struct {
    const char* range;
    std::vector<std::string> batches;
    std::vector<int> entries;  // the indexes of the contacts, in order
  } cases[] = {
      {"1-40,40,24", {"AT+MPBR=1,40"}, {1, 40}},
      {"1-100,40,24", {"AT+MPBR=1,50", "AT+MPBR=51,100"}, {1, 40, 41, 50, 51, 100}},
      {"1-1000,40,24,8,0-1,50", to_1000, {1, 40, 41, 50, 51, 100, 101, 1000}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.range);
    PhoneLink link(Phonebook(c.range).dump());
    const auto contacts = ReadPhonebook(link.exchange, link.language, link.ui);
    ASSERT_TRUE(contacts.has_value());
    std::vector<std::string> commands = kRangeQuery;
    commands.insert(commands.end(), c.batches.begin(), c.batches.end());
    EXPECT_EQ(link.phone.Commands(), commands);
    std::vector<Row> expected;
    for (int index : c.entries)
      expected.push_back(Row{W("Имя"), {"+7916000" + std::to_string(index)}, kImageContact});
    EXPECT_EQ(*contacts, expected);
    EXPECT_EQ(link.ui.progress_texts, (std::vector<std::string>{W("Чтение справочника"), ""}));
    EXPECT_FALSE(link.ui.progress_visible);
    EXPECT_GE(link.ui.events_processed, static_cast<int>(c.batches.size()));
  }
}

TEST(ReadPhonebookTest, UnusableRangeEndsTheRead) {
  for (const char* range : {"(1-1000),40,24", "1-,40"}) {
    SCOPED_TRACE(range);
    PhoneLink link(Phonebook(range).dump());
    EXPECT_EQ(ReadPhonebook(link.exchange, link.language, link.ui), std::nullopt);
    EXPECT_EQ(link.phone.Commands(), kRangeQuery);
    EXPECT_TRUE(link.ui.progress_texts.empty());
  }
}

TEST(ReadPhonebookTest, NamesNumbersAndFailedBatches) {
  const json scenario = {
      {"echo", false},
      {"phonebook_range", "1-120,40,24"},
      {"phonebook",
       {Entry(2, "+79161234567", "Ёжик №1"), Entry(60, "9161234567", "John 😀"),
        Entry(110, "112", "")}},
      {"faults", {{{"command", "AT+MPBR=51,100"}, {"action", "cms_error"}, {"code", 21}}}}};
  PhoneLink link(scenario.dump());
  const auto contacts = ReadPhonebook(link.exchange, link.language, link.ui);
  ASSERT_TRUE(contacts.has_value());
  // The failed batch gives nothing; the others still count.
  EXPECT_EQ(*contacts, (std::vector<Row>{{W("Ёжик №1"), {"+79161234567"}, kImageContact},
                                         {"", {"112"}, kImageContact}}));
  EXPECT_EQ(link.ui.messages.size(), 1u);  // the exchange's error box

  PhoneLink renamed(R"({"phonebook_range": "1-120,40,24",
                        "phonebook": [{"index": 60, "number": "9161234567", "name": "John 😀"}]})");
  EXPECT_EQ(ReadPhonebook(renamed.exchange, renamed.language, renamed.ui),
            (std::vector<Row>{
                {"John ?", {"9161234567", "missivo-contact/1\nname=John 😀\n"}, kImageContact}}));
}

TEST(ReadPhonebookTest, EmptyPhonebookGivesNoContacts) {
  PhoneLink link(R"({"phonebook_range": "1-500,40,24"})");
  const auto contacts = ReadPhonebook(link.exchange, link.language, link.ui);
  ASSERT_TRUE(contacts.has_value());
  EXPECT_TRUE(contacts->empty());
  EXPECT_EQ(link.phone.Commands().size(), kRangeQuery.size() + 10);
}

}  // namespace
}  // namespace missivo
