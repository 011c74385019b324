#include "store/message_fields.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "store/list_file.h"
#include "store_test_rows.h"
#include "support/test_support.h"

namespace missivo {
namespace {

using test::MessageRow;
using test::W;

MessageFields Fields(std::string text, std::string number = "+79161234567",
                     std::string time = "2024-05-01T12:00:00+03:00") {
  MessageFields fields;
  fields.text = std::move(text);
  fields.number = std::move(number);
  fields.time = std::move(time);
  fields.parts = {"3"};
  return fields;
}

// A row made the way the read makes it: the caption from the text, then the fields.
Row RowWith(const MessageFields& fields, std::string caption) {
  Row row = MessageRow(std::move(caption), "+79161234567", "3");
  WriteMessageFields(row, fields);
  return row;
}

bool IsWholeUtf8(const std::string& piece) {
  if (piece.empty()) return true;
  const auto first = static_cast<unsigned char>(piece.front());
  return (first & 0xC0) != 0x80;  // no piece starts inside a character
}

TEST(MessageFieldsTest, RoundTripThroughTheListFile) {
  MessageFields long_text = Fields(std::string(40000, 'x') + "Ж" + std::string(30000, 'y'));
  const MessageFields odd_values = Fields("a", std::string("50%,\r\n\0x=", 9), "");
  struct Case {
    const char* name;
    MessageFields fields;
    std::string caption;  // Windows-1251, as the read would make it
    bool text_written;
  };
  MessageFields many_parts = Fields("Привет");
  many_parts.parts = {"1", "2", "17"};
  many_parts.storage = "SM";
  many_parts.kind = RowKind::kOutgoing;
  MessageFields later_keys = Fields("Привет");
  later_keys.other = {{"status", "REC UNREAD"}, {"delivered", "2024-05-01T12:00:05Z"}};
  MessageFields no_time = Fields("Привет", "+79161234567", "");
  no_time.kind = RowKind::kDraft;
  const std::vector<Case> cases = {
      {"cyrillic the caption holds", Fields("Привет, мир"), W("Привет, мир"), false},
      {"ё and Ё", Fields("Ёлка ёж"), W("Ёлка ёж"), false},
      {"line breaks", Fields("Привет,\r\nмир\nи\rвсё"), W("Привет,миривсё"), true},
      {"emoji and joiner", Fields("Hi 👋🏽 👨‍👩‍👧"), "Hi ?? ???", true},
      {"ukrainian", Fields("ґєії"), W("ґєії"), false},
      {"zero inside", Fields(std::string("a\0b", 3)), "ab", true},
      {"empty", Fields(""), "", false},
      {"empty under a caption", Fields(""), "x", true},
      {"past one sub-item", long_text, std::string(2048, 'x'), true},
      {"escaped values", odd_values, "a", false},
      {"parts, storage, outgoing", many_parts, W("Привет"), false},
      {"keys of a later version", later_keys, W("Привет"), false},
      {"no time, draft", no_time, W("Привет"), false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Row row = RowWith(c.fields, c.caption);
    const Row five = MessageRow(c.caption, "+79161234567", "3");
    EXPECT_TRUE(std::equal(five.sub_items.begin(), five.sub_items.end(), row.sub_items.begin()));
    std::string joined;
    for (std::size_t i = 5; i < row.sub_items.size(); ++i)
      joined += row.sub_items[i];
    EXPECT_EQ(joined.find("\n\n") != std::string::npos, c.text_written);
    for (std::size_t i = 5; i < row.sub_items.size(); ++i) {
      EXPECT_LE(row.sub_items[i].size(), kListFileLimit);
      EXPECT_EQ(row.sub_items[i].find('\0'), std::string::npos);
      EXPECT_TRUE(IsWholeUtf8(row.sub_items[i]));
    }
    const Result<std::string> encoded = EncodeListFile({row});
    ASSERT_TRUE(encoded.ok()) << encoded.message();
    const std::vector<Row> decoded = DecodeListFile(encoded.value()).value();
    ASSERT_EQ(decoded.size(), 1u);
    EXPECT_EQ(decoded[0], row);
    EXPECT_EQ(ReadMessageFields(decoded[0]), c.fields);
    EXPECT_EQ(BestText(decoded[0]), c.fields.text);
  }
}

TEST(MessageFieldsTest, RowsWithoutFieldsFallBackToTheFive) {
  Row resolved = MessageRow(W("Привет"), W("Иван (9161234567)"), "3");
  Row bare = MessageRow("Hi", "+15555550123", "4", "17/05/2006,14:03:59", kImageOutgoing);
  Row later = bare;
  later.sub_items.push_back("missivo-fields/2\nkind=incoming\n");
  Row stranger = bare;
  stranger.sub_items.push_back("missivo-fields/1x");
  Row v1_import = Row{"Hi", {"+1555", "date", "2", "7"}, kImageImported};
  struct Case {
    const char* name;
    Row row;
    std::string text, number;
    std::optional<RowKind> kind;
  };
  const std::vector<Case> cases = {
      {"resolved From", resolved, "Привет", "9161234567", RowKind::kIncoming},
      {"bare From", bare, "Hi", "+15555550123", RowKind::kOutgoing},
      {"later version of the form", later, "Hi", "+15555550123", RowKind::kOutgoing},
      {"sixth sub-item of another kind", stranger, "Hi", "+15555550123", RowKind::kOutgoing},
      {"four sub-items", v1_import, "Hi", "+1555", RowKind::kImported},
      {"contact row", test::ContactRow(W("Иван"), "+7916"), "Иван", "+7916", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_FALSE(HasMessageFields(c.row));
    EXPECT_EQ(ReadMessageFields(c.row), std::nullopt);
    EXPECT_EQ(BestText(c.row), c.text);
    EXPECT_EQ(BestNumber(c.row), c.number);
    EXPECT_EQ(BestKind(c.row), c.kind);
  }
  EXPECT_EQ(ContactInFrom(W("Иван (9161234567)")), W("Иван"));
  EXPECT_EQ(ContactInFrom("+79161234567"), "");
}

// The lossless number stays what the phone gave while the From is resolved.
TEST(MessageFieldsTest, FieldsWinOverTheFive) {
  Row row = RowWith(Fields("Привет\n👋"), "x");
  row.sub_items[kFrom] = W("Иван (9161234567)");
  EXPECT_EQ(BestText(row), "Привет\n👋");
  EXPECT_EQ(BestNumber(row), "+79161234567");
  row.image = kImageDraft;
  EXPECT_EQ(BestKind(row), RowKind::kIncoming);
}

TEST(MessageFieldsTest, WritingReplacesFieldsAndPadsToFive) {
  Row row{"Hi", {"+1555", "date", "2", "7"}, kImageImported};
  MessageFields fields = Fields("Hi\n");
  fields.kind = RowKind::kImported;
  WriteMessageFields(row, fields);
  ASSERT_GE(row.sub_items.size(), 6u);
  EXPECT_EQ(row.sub_items[kType], "");
  fields.text = "Hi";
  fields.parts.clear();
  WriteMessageFields(row, fields);
  EXPECT_EQ(row.sub_items.size(), 6u);
  EXPECT_EQ(row.sub_items[5],
            "missivo-fields/1\nkind=imported\nnumber=+79161234567\n"
            "time=2024-05-01T12:00:00+03:00\n");
  EXPECT_EQ(ReadMessageFields(row), fields);
}

TEST(MessageFieldsTest, AFiveSubItemReaderSeesTheSameFive) {
  const std::vector<Row> five = {
      MessageRow(W("Привет,мир"), "+79161234567", "3"),
      MessageRow(std::string(2048, 'x'), W("Иван (9161234567)"), "4"),
      MessageRow("?", "+7", "5", "01/05/2024,12:00:00", kImageDraft),
  };
  std::vector<Row> rows = five;
  WriteMessageFields(rows[0], Fields("Привет,\r\nмир"));
  WriteMessageFields(rows[1], Fields(std::string(70000, 'x')));
  WriteMessageFields(rows[2], Fields(std::string("\0👋", 5)));
  const std::vector<Row> read = test::ReadAsTheFormatSays(EncodeListFile(rows).value());
  ASSERT_EQ(read.size(), five.size());
  for (std::size_t i = 0; i < five.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(read[i].caption, five[i].caption);
    EXPECT_EQ(read[i].image, five[i].image);
    ASSERT_GT(read[i].sub_items.size(), kMessageFieldCount);
    for (std::size_t k = 0; k < kMessageFieldCount; ++k)
      EXPECT_EQ(read[i].sub_items[k], five[i].sub_items[k]);
  }
}

TEST(MessageFieldsTest, OneLineForLists) {
  const std::pair<std::string, std::string> cases[] = {
      {"a\r\nb", "a b"},  {"a\nb\rc", "a b c"}, {"a\n\nb", "a  b"},
      {"a\tb\x13", "ab"}, {"👋\x14", "👋\x14"},   {"", ""},
  };
  for (const auto& [text, line] : cases)
    EXPECT_EQ(OneLine(text), line) << text;
}

}  // namespace
}  // namespace missivo
