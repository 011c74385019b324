#include "store/contact_fields.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "store/list_file.h"
#include "store/message_fields.h"
#include "store_test_rows.h"
#include "support/test_support.h"

namespace missivo {
namespace {

using test::W;

// Each contact through the list file and back, and what a reader that knows
// only the caption and the number sees of it.
TEST(ContactFieldsTest, NamesAndNumbersKeptWholeThroughTheListFile) {
  struct Case {
    const char* name;
    std::string contact_name, number;
    std::string caption, held_number;    // Windows-1251, as a caption-and-number reader sees them
    std::vector<std::string> sub_items;  // the whole row's sub-items
  };
  const std::vector<Case> cases = {
      {"Cyrillic the caption holds: no fields",
       "Ёжик Ґанна",
       "+79161234567",
       W("Ёжик Ґанна"),
       "+79161234567",
       {"+79161234567"}},
      {"empty name", "", "900", "", "900", {"900"}},
      {"Chinese",
       "王小明",
       "+8613812345678",
       "???",
       "+8613812345678",
       {"+8613812345678", "missivo-contact/1\nname=王小明\n"}},
      {"Greek and an emoji outside the BMP",
       "Νίκος 😀",
       "+302101234567",
       "????? ?",
       "+302101234567",
       {"+302101234567", "missivo-contact/1\nname=Νίκος 😀\n"}},
      {"characters the header escapes",
       "李,%\n四",
       "1",
       "?,%\n?",
       "1",
       {"1", "missivo-contact/1\nname=李%2C%25%0A四\n"}},
      {"a number the code page cannot hold",
       "Ivan",
       "+7 ９１６",
       "Ivan",
       "+7 ???",
       {"+7 ???", "missivo-contact/1\nnumber=+7 ９１６\n"}},
  };
  std::vector<Row> rows;
  for (const Case& c : cases)
    rows.push_back(MakeContactRow(c.contact_name, c.number));
  const std::string file = EncodeListFile(rows).value();
  const std::vector<Row> decoded = DecodeListFile(file).value();
  const std::vector<Row> plain = test::ReadAsTheFormatSays(file);
  ASSERT_EQ(decoded.size(), cases.size());
  for (std::size_t i = 0; i < cases.size(); ++i) {
    const Case& c = cases[i];
    SCOPED_TRACE(c.name);
    EXPECT_EQ(decoded[i], (Row{c.caption, c.sub_items, kImageContact}));
    EXPECT_EQ(ContactName(decoded[i]), c.contact_name);
    EXPECT_EQ(ContactNumber(decoded[i]), c.number);
    EXPECT_EQ(plain[i].caption, c.caption);
    EXPECT_EQ(SubItem(plain[i], kNumber), c.held_number);
    EXPECT_EQ(HasMessageFields(decoded[i]), false);
  }
}

// A row without fields (a phonebook of older versions), one of a later
// version of the form, one with keys this version does not know, and one whose
// caption a program that knows only the caption changed since.
TEST(ContactFieldsTest, WhatRowsWithoutUsableFieldsShow) {
  Row later = MakeContactRow("王小明", "+86");
  later.sub_items[1] = "missivo-contact/2\nname=王小明\n";
  Row unknown_key = MakeContactRow("王小明", "+86");
  unknown_key.sub_items[1] += "group=friends%2C family\n";
  Row renamed = MakeContactRow("王小明", "+86");
  renamed.caption = "Wang";
  struct Case {
    const char* name;
    Row row;
    std::string contact_name;
  };
  const std::vector<Case> cases = {
      {"older phonebook", test::ContactRow(W("Иван"), "+7916"), "Иван"},
      {"later version", later, "???"},
      {"unknown key", unknown_key, "王小明"},
      {"caption changed since", renamed, "Wang"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ContactName(c.row), c.contact_name);
    EXPECT_EQ(ContactNumber(c.row), SubItem(c.row, kNumber));
  }
  const ContactFields expected{"王小明", "", {{"group", "friends, family"}}};
  EXPECT_EQ(ReadContactFields(unknown_key), expected);
  EXPECT_EQ(ReadContactFields(later), std::nullopt);
}

// The contact of a resolved From, kept whole in a message row's fields.
TEST(ContactFieldsTest, MessageRowsKeepTheWholeContactName) {
  const auto resolved = [](std::string from, std::string contact) {
    Row row = test::MessageRow("Hi", std::move(from));
    MessageFields fields;
    fields.text = "Hi";
    fields.number = "+8613812345678";
    fields.contact = std::move(contact);
    WriteMessageFields(row, fields);
    return row;
  };
  struct Case {
    const char* name;
    Row row;
    std::string contact, from;
  };
  const std::vector<Case> cases = {
      {"whole name", resolved("??? (+8613812345678)", "王小明"), "王小明",
       "王小明 (+8613812345678)"},
      {"From's name no longer the name", resolved("Wang (+8613812345678)", "王小明"), "Wang",
       "Wang (+8613812345678)"},
      {"no contact kept", resolved(W("Иван (+8613812345678)"), ""), "Иван",
       "Иван (+8613812345678)"},
      {"From not resolved", resolved("+8613812345678", "王小明"), "", "+8613812345678"},
      {"row without fields", test::MessageRow("Hi", "??? (+86)"), "???", "??? (+86)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(BestContact(c.row), c.contact);
    EXPECT_EQ(BestFrom(c.row), c.from);
  }
  EXPECT_EQ(ReadMessageFields(cases[0].row)->contact, "王小明");
  EXPECT_EQ(LosslessContact("王小明"), "王小明");
  EXPECT_EQ(LosslessContact("Иван"), "");
}

}  // namespace
}  // namespace missivo
