#include "phone/message_rows.h"

#include <gtest/gtest.h>

#include "phone/phone_test_data.h"
#include "support/test_support.h"

namespace missivo {
namespace {

using test::RussianLanguage;
using test::W;

constexpr const char* kReadMoment = "01/02/2030,10:11:12\r\n";

TEST(MakeMessageRowTest, FieldsByStatus) {
  const LanguageLines language = RussianLanguage();
  const struct {
    const char* status;
    const char* date;
    const char* type;
    std::int32_t image;
  } cases[] = {
      {"REC READ", "17/05/2006,14:03:59", "Входящие", 2},
      {"REC UNREAD", "17/05/2006,14:03:59", "Входящие", 2},
      {"STO SENT", "01/02/2030,10:11:12", "Исходящие", 28},
      {"STO UNSENT", "01/02/2030,10:11:12", "Черновые", 1},
      {"OTHER", "17/05/2006,14:03:59", "Черновые", 1},
  };
  for (const auto& c : cases) {
    const MessageRecord record{c.status, "+15555550123", "2006/05/17,14:03:59+12", "Hi"};
    const Row row = MakeMessageRow(record, "0042", language, kReadMoment);
    const Row expected{"Hi", {"+15555550123", c.date, "2", "0042", W(c.type)}, c.image};
    EXPECT_EQ(row, expected) << c.status;
  }
}

TEST(MakeMessageRowTest, CaptionDropsControlCharactersSizeCountsThem) {
  const LanguageLines language = RussianLanguage();
  const struct {
    const char* name;
    std::string text;
    std::string caption;
    const char* size;
  } cases[] = {
      {"line break", W("Привет\nмир"), W("Приветмир"), "10"},
      {"CR LF and a NUL", std::string("a\r\nb\0c", 6), "abc", "6"},
      {"codes 20 to 31 stay", "\x13\x14\x1F", "\x14\x1F", "3"},
      {"letters of the upper half stay", W("Ёё№"), W("Ёё№"), "3"},
      {"emoji decoded as one character", "A?B", "A?B", "3"},
  };
  for (const auto& c : cases) {
    const Row row = MakeMessageRow({"REC READ", "+1", "", c.text}, "1", language, kReadMoment);
    EXPECT_EQ(row.caption, c.caption) << c.name;
    EXPECT_EQ(SubItem(row, kSize), c.size) << c.name;
  }
}

TEST(MakeMessageRowTest, TypeComesFromTheLanguageInUse) {
  LanguageLines language;
  language.LoadFromBytes("Str0=a\r\n");
  const Row row = MakeMessageRow({"REC READ", "+1", "", "x"}, "1", language, kReadMoment);
  EXPECT_EQ(SubItem(row, kType), "---");
}

TEST(MakeContactRowTest, NameNumberAndImage) {
  EXPECT_EQ(MakeContactRow(W("Иван"), "+15555550123"),
            (Row{W("Иван"), {"+15555550123"}, kImageContact}));
}

}  // namespace
}  // namespace missivo
