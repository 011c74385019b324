#include "phone/message_rows.h"

#include <gtest/gtest.h>

#include "phone/phone_test_data.h"
#include "support/test_support.h"

namespace missivo {
namespace {

using test::RussianLanguage;
using test::W;

constexpr const char* kReadMoment = "01/02/2030,10:11:12\r\n";

// The five sub-items by the status, the lossless fields beside them: the stamp
// the phone gave (also for outgoing rows, whose Date/Time is the read's), none
// when it gave none.
TEST(MakeMessageRowTest, FieldsByStatus) {
  const LanguageLines language = RussianLanguage();
  const struct {
    const char* status;
    bool stamped;
    const char* date;
    const char* type;
    std::int32_t image;
    RowKind kind;
    const char* time;
  } cases[] = {
      {"REC READ", true, "17/05/2006,14:03:59", "Входящие", 2, RowKind::kIncoming,
       "2006-05-17T14:03:59+03:00"},
      {"REC UNREAD", true, "17/05/2006,14:03:59", "Входящие", 2, RowKind::kIncoming,
       "2006-05-17T14:03:59+03:00"},
      {"STO SENT", true, "01/02/2030,10:11:12", "Исходящие", 28, RowKind::kOutgoing,
       "2006-05-17T14:03:59+03:00"},
      {"STO SENT", false, "01/02/2030,10:11:12", "Исходящие", 28, RowKind::kOutgoing, ""},
      {"STO UNSENT", false, "01/02/2030,10:11:12", "Черновые", 1, RowKind::kDraft, ""},
      {"OTHER", true, "17/05/2006,14:03:59", "Черновые", 1, RowKind::kDraft,
       "2006-05-17T14:03:59+03:00"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.status);
    const MessageRecord record{
        c.status, "+15555550123", c.stamped ? "2006/05/17,14:03:59+12" : kNoDateStamp,
        "Hi?",    "Hi 👋",         c.stamped};
    const Row row = MakeMessageRow(record, "0042", language, kReadMoment);
    const std::vector<std::string> five{"+15555550123", c.date, "3", "0042", W(c.type)};
    EXPECT_EQ(std::vector<std::string>(row.sub_items.begin(), row.sub_items.begin() + 5), five);
    EXPECT_EQ(row.caption, "Hi?");
    EXPECT_EQ(row.image, c.image);
    MessageFields fields;
    fields.kind = c.kind;
    fields.text = "Hi 👋";
    fields.number = "+15555550123";
    fields.time = c.time;
    fields.parts = {"0042"};
    EXPECT_EQ(ReadMessageFields(row), fields);
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
    const Row row =
        MakeMessageRow({"REC READ", "+1", "", c.text, "whole", true}, "1", language, kReadMoment);
    EXPECT_EQ(row.caption, c.caption) << c.name;
    EXPECT_EQ(SubItem(row, kSize), c.size) << c.name;
    EXPECT_EQ(BestText(row), "whole") << c.name;
  }
}

TEST(MakeMessageRowTest, TypeComesFromTheLanguageInUse) {
  LanguageLines language;
  language.LoadFromBytes("Str0=a\r\n");
  const Row row =
      MakeMessageRow({"REC READ", "+1", "", "x", "x", false}, "1", language, kReadMoment);
  EXPECT_EQ(SubItem(row, kType), "---");
}

}  // namespace
}  // namespace missivo
