// The searcher: a table of search texts and filters over one small archive,
// each with the rows it must find; the parsing of a search text; the ranges a
// preview highlights.
#include "store/row_search.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "store/conversations.h"
#include "store/message_fields.h"
#include "store_test_rows.h"
#include "support/test_support.h"
#include "text/cp1251.h"
#include "text/search_fold.h"

namespace missivo {
namespace {

using test::MessageRow;
using test::W;

// Captions name the rows; texts, senders and dates differ where a case needs it.
std::vector<Row> Archive() {
  return {
      MessageRow(W("ПРИВЕТ, мама! Ёлка в субботу"), W("Мама (+79035550101)"), "1",
                 "28/12/2005,23:59:59", kImageIncoming),  // 0
      MessageRow(W("купи хлеба\r\nи молока"), "+79035550101", "2", "05/01/2006,10:00:00",
                 kImageOutgoing),  // 1
      MessageRow("Meeting at NOON, room 5", "89161234567", "3", "01/01/2006,00:00:00",
                 kImageDraft),  // 2
      MessageRow(W("молока нет, купи хлеба"), W("Папа (89161234567)"), "4", "31/01/2006,08:15:00",
                 kImageImported),  // 3
      MessageRow(W("Ваш баланс 100 руб"), "Info", "5", "17/05/2006,14:03:59",
                 kImageIncoming),  // 4
      MessageRow(W("ёжик в тумане"), W("Іван Їжак (+380441234567)"), "6", "bad date",
                 kImageIncoming),  // 5
  };
}

std::vector<std::size_t> Find(const RowFilter& filter) {
  return FindRows(Archive(), filter);
}

RowFilter Text(const char* text) {
  RowFilter filter;
  filter.text = text;
  return filter;
}
RowFilter From(const char* from) {
  RowFilter filter;
  filter.from = from;
  return filter;
}
RowFilter Days(const char* since, const char* until) {
  RowFilter filter;
  filter.since = since;
  filter.until = until;
  return filter;
}
RowFilter Kind(RowKind kind) {
  RowFilter filter;
  filter.kind = kind;
  return filter;
}
RowFilter All(const char* text, const char* from, const char* since, RowKind kind) {
  RowFilter filter = Days(since, "");
  filter.text = text;
  filter.from = from;
  filter.kind = kind;
  return filter;
}

TEST(RowSearchTest, MatchingCases) {
  const struct {
    const char* name;
    RowFilter filter;
    std::vector<std::size_t> rows;
  } cases[] = {
      {"nothing set: every row", {}, {0, 1, 2, 3, 4, 5}},
      {"Cyrillic in any case", Text("привет МАМА"), {0}},
      {"Latin in any case", Text("noon meeting"), {2}},
      {"ё in the text found by е", Text("елка"), {0}},
      {"ё in the search finds е and ё", Text("ЁЖИК"), {5}},
      {"е in the search finds ё", Text("ежик"), {5}},
      {"every word must occur, in any order", Text("хлеба молока"), {1, 3}},
      {"one word missing: no row", Text("хлеба сыра"), {}},
      {"a phrase must occur as written", Text("\"купи хлеба\""), {1, 3}},
      {"a phrase across a line break", Text("\"хлеба и молока\""), {1}},
      {"a phrase in other order does not match", Text("\"хлеба купи\""), {}},
      {"a phrase and a word", Text("\"молока нет\" хлеба"), {3}},
      {"an unclosed quote runs to the end", Text("\"баланс 100"), {4}},
      {"a number with +7", Text("+79035550101"), {0, 1}},
      {"the same number with 8", Text("89035550101"), {0, 1}},
      {"the same number without a prefix", Text("9035550101"), {0, 1}},
      {"the same number with blanks and dashes", Text("+7 903 555-01-01"), {0, 1}},
      {"a number written with 8 found by +7", Text("+79161234567"), {2, 3}},
      {"part of a number", Text("555010"), {0, 1}},
      {"a foreign number keeps its digits", Text("+380441234567"), {5}},
      {"a contact name", Text("папа"), {3}},
      {"a Ukrainian name in capitals", Text("ІВАН ЇЖАК"), {5}},
      {"a sender that is a name", Text("info"), {4}},
      {"from: a number in any form", From("8 903 555 01 01"), {0, 1}},
      {"from: a contact name", From("МАМА"), {0}},
      {"from: a sender that is a name", From("INFO"), {4}},
      {"from: part of a name is not the name", From("Ма"), {}},
      {"a date range, both ends inclusive", Days("2006/01/01", "2006/01/31"), {1, 2, 3}},
      {"since alone", Days("2006/01/06", ""), {3, 4}},
      {"until alone (a bad date never passes)", Days("", "2005/12/28"), {0}},
      {"kind incoming", Kind(RowKind::kIncoming), {0, 4, 5}},
      {"kind outgoing", Kind(RowKind::kOutgoing), {1}},
      {"kind draft", Kind(RowKind::kDraft), {2}},
      {"kind imported", Kind(RowKind::kImported), {3}},
      {"all together", All("хлеба", "+79035550101", "2006/01/01", RowKind::kOutgoing), {1}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Find(c.filter), c.rows);
    EXPECT_EQ(c.filter.Active(), c.rows.size() != 6);
  }
}

TEST(RowSearchTest, AnIndexDescribesTheRowsItWasMadeFrom) {
  std::vector<Row> rows = Archive();
  const SearchIndex index(rows);
  rows.clear();
  const std::vector<bool> matches = index.Matches(Text("хлеба"));
  EXPECT_EQ(matches, (std::vector<bool>{false, true, false, true, false, false}));
}

TEST(RowSearchTest, SearchTextSplitsIntoFoldedTerms) {
  const struct {
    const char* text;
    std::vector<SearchTerm> terms;
  } cases[] = {
      {"  Привет\tМИР ", {{"привет", ""}, {"мир", ""}}},
      {"\"Добрый  Вечер\" Ёж", {{"добрый вечер", ""}, {"еж", ""}}},
      {"\"\" \"  \" x", {{"x", ""}}},
      {"+7903 год", {{"+7903", "903"}, {"год", ""}}},
      {"8 (903) 555-01-01 купи", {{"8 (903) 555-01-01", "9035550101"}, {"купи", ""}}},
      {"12 дом 5", {{"12", ""}, {"дом", ""}, {"5", ""}}},
      {"\"8 (903) 555-01-01\"", {{"8 (903) 555-01-01", "9035550101"}}},
      {"abc\"def", {{"abc", ""}, {"def", ""}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(ParseSearchText(c.text), c.terms);
  }
}

TEST(RowSearchTest, MatchRangesPointIntoTheShownText) {
  const struct {
    const char* shown;
    const char* search;
    std::vector<std::pair<std::size_t, std::size_t>> ranges;
  } cases[] = {
      // Cyrillic letters take two bytes each.
      {"Ёлка и ёлка", "елка", {{0, 8}, {12, 20}}},
      {"купи\r\n\r\nхлеба", "\"купи хлеба\"", {{0, 22}}},
      {"abcabc", "bc ab", {{0, 6}}},  // overlapping matches merged
      {"nothing here", "zzz", {}},
      {"emoji \xF0\x9F\x98\x80 ok", "ok", {{11, 13}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.shown);
    EXPECT_EQ(MatchRanges(c.shown, c.search), c.ranges);
  }
}

TEST(SearchFoldTest, FoldsLettersAndWhiteSpaceAndKeepsBadBytes) {
  EXPECT_EQ(FoldForSearch("ÀÉ Straße"), "ÀÉ straße");  // only Latin A-Z and Cyrillic fold
  EXPECT_EQ(FoldForSearch("ЁЖИК ЄҐІЇЎ"), "ежик єґіїў");
  EXPECT_EQ(FoldForSearch("a \r\n\t b"), "a b");
  // A broken sequence becomes U+FFFD and the rest is still read.
  EXPECT_EQ(FoldForSearch("A\xD0Z\xF0\x9F"), "a\xEF\xBF\xBDz\xEF\xBF\xBD\xEF\xBF\xBD");
}

// Windows-1251 text folds as its UTF-8 conversion does: every byte, alone and
// in runs of white space (the no-break space 0xA0 among them).
TEST(SearchFoldTest, Cp1251FoldsAsItsUtf8Conversion) {
  std::vector<std::string> texts = {W("ЁЖИК ёжик  \t\r\n Ґ"), std::string("a\xA0\xA0 b  "), ""};
  for (int byte = 0; byte < 256; ++byte) {
    texts.push_back(std::string(1, static_cast<char>(byte)));
    texts.push_back(std::string("x ") + static_cast<char>(byte) + " \x01");
  }
  for (const std::string& text : texts) {
    std::string folded = "kept:";
    AppendFoldedCp1251(folded, text);
    EXPECT_EQ(folded, "kept:" + FoldForSearch(Cp1251ToUtf8(text))) << Cp1251ToUtf8(text);
  }
}

// A row with lossless fields is searched by its whole text, its own number and
// its contact's whole name, not by the Windows-1251 caption and From, which
// may have lost them.
TEST(RowSearchTest, LosslessTextNumberAndContactComeFirst) {
  Row row = MessageRow(W("Привет ? как"), W("Мама"), "7", "06/01/2006,12:00:00", kImageIncoming);
  MessageFields fields;
  fields.kind = RowKind::kOutgoing;
  fields.text = "Привет 👋\nкак дела";
  fields.number = "+79035550101";
  WriteMessageFields(row, fields);
  Row named = MessageRow("Hi", "??? (+8613812345678)", "8");
  MessageFields named_fields;
  named_fields.text = "Hi";
  named_fields.number = "+8613812345678";
  named_fields.contact = "王小明";
  WriteMessageFields(named, named_fields);
  const std::vector<Row> rows = {row, named};
  const struct {
    const char* name;
    RowFilter filter;
    std::vector<std::size_t> found;
  } cases[] = {
      {"a word only the lossless text holds", Text("дела"), {0}},
      {"a phrase across its line break", Text("\"как дела\""), {0}},
      {"a character outside the code page", Text("👋"), {0}},
      {"the replacement marks are not searched", Text("?"), {}},
      {"the lossless number in another form", Text("89035550101"), {0}},
      {"from: the lossless number", From("9035550101"), {0}},
      {"from: the name in From", From("мама"), {0}},
      {"the lossless kind", Kind(RowKind::kOutgoing), {0}},
      {"not the kind its picture stands for", Kind(RowKind::kIncoming), {1}},
      {"the contact's whole name", Text("小明"), {1}},
      {"from: the contact's whole name", From("王小明"), {1}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(FindRows(rows, c.filter), c.found);
  }
  EXPECT_EQ(GroupConversations({named})[0].Title(), "王小明");
}

TEST(RowFactsTest, NumbersDatesAndNames) {
  EXPECT_EQ(NationalDigits("+7 (903) 555-01-01"), "9035550101");
  EXPECT_EQ(NationalDigits("89035550101"), "9035550101");
  EXPECT_EQ(NationalDigits("79035550101"), "9035550101");
  EXPECT_EQ(NationalDigits("8903555010"), "8903555010");  // ten digits: no prefix to drop
  EXPECT_EQ(NationalDigits("+380441234567"), "380441234567");
  EXPECT_FALSE(LooksLikeNumber("12"));
  EXPECT_FALSE(LooksLikeNumber("12+3"));
  EXPECT_FALSE(LooksLikeNumber("MTS 123"));
  EXPECT_TRUE(LooksLikeNumber("+7 (903) 555"));

  const struct {
    const char* text;
    const char* day;  // empty: refused
  } days[] = {{"2006-01-05", "2006/01/05"}, {"05.01.2006", "2006/01/05"},
              {"05/01/2006", "2006/01/05"}, {"2006-13-01", ""},
              {"32.01.2006", ""},           {"5.1.2006", ""},
              {"05.01/2006", ""},           {"", ""}};
  for (const auto& d : days) {
    SCOPED_TRACE(d.text);
    EXPECT_EQ(ParseDay(d.text).value_or(""), d.day);
  }

  const Row named = MessageRow("x", W("Мама Люба (+79035550101)"));
  EXPECT_EQ(RowName(named), "Мама Люба");
  EXPECT_EQ(RowNumber(named), "+79035550101");
  const Row bare = MessageRow("x", "+79035550101");
  EXPECT_EQ(RowName(bare), "");
  EXPECT_EQ(CorrespondentKey(named), CorrespondentKey(bare));
  const Row word = MessageRow("x", "Beeline (promo)");  // parentheses without a number
  EXPECT_EQ(RowName(word), "Beeline (promo)");
  EXPECT_EQ(RowNumber(word), "");
}

}  // namespace
}  // namespace missivo
