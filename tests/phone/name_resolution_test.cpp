#include "phone/name_resolution.h"

#include <gtest/gtest.h>

#include <random>

#include "store/contact_fields.h"
#include "support/test_support.h"
#include "text/pieces.h"

namespace missivo {
namespace {

using test::W;

Row MessageFrom(std::string from) {
  return Row{"text", {std::move(from), "17/05/2006,14:03:59", "4", "1", "t"}, 2};
}

std::vector<Row> Contacts(const std::vector<std::pair<std::string, std::string>>& pairs) {
  std::vector<Row> contacts;
  for (const auto& [name, number] : pairs)
    contacts.push_back(Row{name, {number}, kImageContact});  // as the phonebook file holds them
  return contacts;
}

// The rule as written: every contact in list order, the length test, then the
// text test both ways with FindFrom.
void ResolveNaively(std::vector<Row>& rows, const std::vector<Row>& contacts) {
  for (Row& row : rows) {
    const std::string from = SubItem(row, kFrom);
    for (const Row& contact : contacts) {
      const std::string& number = SubItem(contact, kNumber);
      const std::size_t f = from.size();
      const std::size_t n = number.size();
      if (f != n + 2 && f != n + 1 && f != n) continue;
      if (FindFrom(number, from, 0) == 0 && FindFrom(from, number, 0) == 0) continue;
      row.sub_items[kFrom] = contact.caption + " (" + number + ")";
      break;
    }
  }
}

TEST(ResolveNamesTest, Cases) {
  const struct {
    const char* name;
    std::string from;
    std::vector<std::pair<std::string, std::string>> contacts;
    std::string expected;
  } cases[] = {
      {"contact two characters shorter",
       "+15555550123",
       {{W("Иван"), "5555550123"}},
       W("Иван (5555550123)")},
      {"contact one character shorter", "+15555550123", {{"A", "15555550123"}}, "A (15555550123)"},
      {"same number", "+15555550123", {{"A", "+15555550123"}}, "A (+15555550123)"},
      {"contact five characters shorter", "+15555550123", {{"A", "5550123"}}, "+15555550123"},
      {"From shorter than the contact", "5550123", {{"A", "+15555550123"}}, "5550123"},
      {"shorter contact found at the start",
       "+15555550123",
       {{"A", "+155555501"}},
       "A (+155555501)"},
      {"shorter contact found in the middle",
       "+15555550123",
       {{"A", "1555555012"}},
       "A (1555555012)"},
      {"same length, different", "+15555550123", {{"A", "+15555550124"}}, "+15555550123"},
      {"empty From", "", {{"A", ""}, {"B", "1"}}, ""},
      {"empty contact number", "12", {{"A", ""}}, "12"},
      {"one-character numbers", "7", {{"A", "7"}}, "A (7)"},
      {"two contacts with the same number: the higher one",
       "+15555550123",
       {{"First", "5555550123"}, {"Second", "5555550123"}},
       "First (5555550123)"},
      {"first in list order, not the closest",
       "+15555550123",
       {{"Partial", "5555550123"}, {"Exact", "+15555550123"}},
       "Partial (5555550123)"},
      {"resolved From stays",
       W("Иван (5555550123)"),
       {{W("Иван"), "5555550123"}},
       W("Иван (5555550123)")},
  };
  for (const auto& c : cases) {
    std::vector<Row> rows = {MessageFrom(c.from)};
    ResolveNames(rows, Contacts(c.contacts));
    EXPECT_EQ(SubItem(rows[0], kFrom), c.expected) << c.name;
  }
}

TEST(ResolveNamesTest, SecondRunChangesNothing) {
  std::vector<Row> rows = {MessageFrom("+15555550123"), MessageFrom("5555550123")};
  const auto contacts = Contacts({{"A", "5555550123"}});
  EXPECT_EQ(ResolveNames(rows, contacts), 2u);
  const auto once = rows;
  EXPECT_EQ(ResolveNames(rows, contacts), 0u);
  EXPECT_EQ(rows, once);
}

TEST(ResolveNamesTest, AgreesWithTheRuleAsWrittenOnRandomLists) {
  std::mt19937 random(20240611);
  // A small alphabet and short numbers make many numbers overlap.
  auto number = [&](int max_length) {
    static const char kAlphabet[] = "+123";
    std::string text(std::uniform_int_distribution<int>(0, max_length)(random), ' ');
    for (char& c : text)
      c = kAlphabet[std::uniform_int_distribution<int>(0, 3)(random)];
    return text;
  };
  for (int round = 0; round < 300; ++round) {
    std::vector<Row> contacts;
    const int contact_count = std::uniform_int_distribution<int>(1, 40)(random);
    for (int i = 0; i < contact_count; ++i) {
      // Built by appending: GCC 12 warns falsely (-Wrestrict) on "c" + std::string.
      std::string name = "c";
      name.append(std::to_string(i));
      contacts.push_back(MakeContactRow(std::move(name), number(7)));
    }
    std::vector<Row> rows;
    for (int i = 0; i < 200; ++i)
      rows.push_back(MessageFrom(number(9)));
    std::vector<Row> expected = rows;
    ResolveNaively(expected, contacts);
    ResolveNames(rows, contacts);
    ASSERT_EQ(rows, expected) << "round " << round;
  }
}

TEST(ResolveNamesTest, RowsWithoutSubItemsAreLeftAlone) {
  std::vector<Row> rows = {Row{"imported", {}, 0}};
  EXPECT_EQ(ResolveNames(rows, Contacts({{"A", "1"}})), 0u);
  EXPECT_TRUE(rows[0].sub_items.empty());
}

TEST(ResolveArchiveNamesTest, SavesOnlyWhenBothListsHaveRows) {
  const auto contacts = Contacts({{"A", "5555550123"}});
  int saves = 0;
  const auto save = [&] { ++saves; };

  std::vector<Row> archive = {MessageFrom("+17777777777")};
  ResolveArchiveNames(archive, contacts, save);
  EXPECT_EQ(saves, 1) << "saved although nothing changed";

  ResolveArchiveNames(archive, {}, save);
  std::vector<Row> empty;
  ResolveArchiveNames(empty, contacts, save);
  EXPECT_EQ(saves, 1);

  std::vector<Row> messages = {MessageFrom("+15555550123")};
  ResolveMessageNames(messages, contacts);
  EXPECT_EQ(SubItem(messages[0], kFrom), "A (5555550123)");
}

}  // namespace
}  // namespace missivo
