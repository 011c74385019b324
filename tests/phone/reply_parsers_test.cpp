#include "phone/reply_parsers.h"

#include <gtest/gtest.h>

#include "phone/phone_test_data.h"
#include "support/test_support.h"
#include "text/lines.h"

namespace missivo {
namespace {

using test::ReplyFixture;
using test::W;

// Listing replies are split at any line break, as the message read does.
TEST(ParseMessageListTest, Headers) {
  const struct {
    const char* name;
    std::string reply;
    std::vector<ListingEntry> expected;
  } cases[] = {
      {"blank after each comma",
       "at+cmgl=\"ALL\"\r\r\n+CMGL: 3, \"REC UNREAD\", \"+15555550123\", "
       "\"2006/05/17,14:03:59\"\r\n"
       "041F04400438043204350442\r\n\r\nOK\r",
       {{"3", "REC UNREAD"}}},
      {"no blank after the commas: not \"EC UNREAD\"",
       "+CMGL: 3,\"REC UNREAD\",\"+15555550123\"\r\n0041\r\n\r\nOK\r",
       {{"3", "REC UNREAD"}}},
      {"blank after one comma only",
       "+CMGL: 12,\"STO SENT\", \"+1555\"\r\nOK\r",
       {{"12", "STO SENT"}}},
      {"+MMGL like +CMGL", "+MMGL: 4, \"STO UNSENT\", \"+1555\"\r\nOK\r", {{"4", "STO UNSENT"}}},
      {"no blank after the header: no header",
       "+CMGL:3, \"REC READ\", \"+1555\"\r\n+CMGL 4, \"REC READ\"\r\nOK\r",
       {}},
      {"several, in order, each kind of line break",
       "+CMGL: 1, \"REC READ\", \"+1\"\n0041\r+CMGL: 1024, \"STO SENT\", \"+2\"\r\n"
       "+CMGL: 7, \"REC UNREAD\", \"+3\"\r\nOK\r",
       {{"1", "REC READ"}, {"1024", "STO SENT"}, {"7", "REC UNREAD"}}},
      {"status of any other kind kept as sent",
       "+CMGL: 9, \"SOMETHING\", \"+1\"\r\nOK\r",
       {{"9", "SOMETHING"}}},
      {"comma inside the quoted status", "+CMGL: 9,\"A,B\",\"+1\"\r\nOK\r", {{"9", "A,B"}}},
      {"header without a comma", "+CMGL: 5\r\nOK\r", {{"", ""}}},
      {"header with one comma", "+CMGL: 5, \"REC READ\"\r\nOK\r", {{"5", ""}}},
      {"ERROR", "at+cmgl=\"ALL\"\r\r\nERROR", {}},
      {"module in UCS2 mode, captured",
       ReplyFixture("cmgl-cyrillic-ucs2-module.txt"),
       {{"1", "REC UNREAD"}}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ParseMessageList(SplitAnyBreak(c.reply)), c.expected) << c.name;
}

// Read replies are split at CR LF pairs with lines cut to 4096 characters, as the
// message read does.
TEST(ParseMessageRepliesTest, Records) {
  const std::string stamp = "2006/05/17,14:03:59";
  const std::string greeting = "041F04400438043204350442";
  const struct {
    const char* name;
    std::string reply;
    std::vector<MessageRecord> expected;
  } cases[] = {
      {"blank after each comma",
       "AT+CMGR=3\r\r\n+CMGR: \"REC READ\", \"+15555550123\", \"" + stamp + "\"\r\n" + greeting +
           "\r\n\r\nOK\r",
       {{"REC READ", "+15555550123", stamp, W("Привет"), "Привет", true}}},
      {"no blank after the commas",
       "+CMGR: \"REC READ\",\"+15555550123\",\"" + stamp + "\"\r\n" + greeting + "\r\n\r\nOK\r",
       {{"REC READ", "+15555550123", stamp, W("Привет"), "Привет", true}}},
      {"+MMGR like +CMGR",
       "+MMGR: \"STO SENT\", \"+15555550123\", \"" + stamp + "\"\r\n0041\r\n\r\nOK\r",
       {{"STO SENT", "+15555550123", stamp, "A", "A", true}}},
      {"time zone stays in the stamp",
       "+CMGR: \"REC READ\", \"+1\", \"2006/05/17,14:03:59+12\"\r\n0041\r\nOK\r",
       {{"REC READ", "+1", "2006/05/17,14:03:59+12", "A", "A", true}}},
      {"only status and sender get the fixed date",
       "+CMGR: \"STO UNSENT\", \"+15555550123\"\r\n0041\r\n\r\nOK\r",
       {{"STO UNSENT", "+15555550123", kNoDateStamp, "A", "A", false}}},
      {"text followed directly by OK",
       "+CMGR: \"REC READ\", \"+1\", \"" + stamp + "\"\r\n0041\r\nOK\r\n0042\r\n",
       {{"REC READ", "+1", stamp, "A", "A", true}}},
      {"long text on two lines",
       "+CMGR: \"REC READ\", \"+1\", \"" + stamp + "\"\r\n00410042\r\n0043\r\nOK\r",
       {{"REC READ", "+1", stamp, "ABC", "ABC", true}}},
      {"surrogate pair split over the two lines",
       "+CMGR: \"REC READ\", \"+1\", \"" + stamp + "\"\r\n0041D83D\r\nDE000042\r\nOK\r",
       {{"REC READ", "+1", stamp, "A?B", "A😀B", true}}},
      {"line break in the text stays",
       "+CMGR: \"REC READ\", \"+1\", \"" + stamp + "\"\r\n0041000A0042\r\n\r\nOK\r",
       {{"REC READ", "+1", stamp, "A\nB", "A\nB", true}}},
      {"header at the end of the reply",
       "+CMGR: \"REC READ\", \"+1\", \"" + stamp + "\"",
       {{"REC READ", "+1", stamp, "", "", true}}},
      {"no header", "AT+CMGR=9\r\r\nERROR", {}},
      {"no blank after the header: no header", "+CMGR:\"REC READ\", \"+1\"\r\n0041\r\nOK\r", {}},
      // Headers that do not parse keep only the text.
      {"status only",
       "+CMGR: \"REC READ\"\r\n0041\r\nOK\r",
       {{"", "", "", "A", "A", false, false}}},
      {"fields without quotes",
       "+CMGR: REC READ, +1, " + stamp + "\r\n0041\r\nOK\r",
       {{"", "", "", "A", "A", false, false}}},
      {"sender without its closing quote",
       "+CMGR: \"REC READ\", \"+1, \"" + stamp + "\"\r\n0041\r\nOK\r",
       {{"", "", "", "A", "A", false, false}}},
      {"garbled header",
       "+CMGR: \x01\x02??\r\n0041\r\nOK\r",
       {{"", "", "", "A", "A", false, false}}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ParseMessageReplies(SplitCrLf(c.reply)), c.expected) << c.name;
}

TEST(ParseMessageRepliesTest, LongTextLineIsCutAt4096Digits) {
  std::string hex;
  for (int i = 0; i < 1030; ++i)
    hex += "0041";
  const std::string reply =
      "+CMGR: \"REC READ\", \"+1\", \"2006/05/17,14:03:59\"\r\n" + hex + "\r\n\r\nOK\r";
  const auto records = ParseMessageReplies(SplitCrLf(reply));
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].text, std::string(1024, 'A'));
  EXPECT_EQ(records[0].whole_text, std::string(1024, 'A'));
}

// Lines handed over uncut: the record's text as the description cuts it, the
// whole text besides; a pair or a half pair at the cut.
TEST(ParseMessageRepliesTest, WholeTextFromUncutLines) {
  std::string hex;
  for (int i = 0; i < 1023; ++i)
    hex += "0041";
  const std::string header = "+CMGR: \"REC READ\", \"+1\", \"2006/05/17,14:03:59\"\r\n";
  const std::string reply = header + hex + "D83DDE00" + "0042\r\n" + "0043D83D\r\nOK\r\n";
  const auto records = ParseMessageReplies(SplitCrLf(reply, std::string::npos));
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].text, std::string(1023, 'A') + "?C?");
  EXPECT_EQ(records[0].whole_text, std::string(1023, 'A') + "😀BC\uFFFD");
}

TEST(ParseMessageRepliesTest, CapturedHeaders) {
  const struct {
    const char* file;
    const char* status;
    const char* sender;
    const char* date;
  } cases[] = {
      {"cmgr-motorola-l7-spaced-fields.txt", "REC READ", "+4123456789132", "2009/8/18,19:11:45"},
      {"cmgr-motorola-multiline-body.txt", "REC READ", "+6667776667744", "2009/8/18,19:11:45"},
      {"cmgr-sto-unsent-without-timestamp.txt", "STO UNSENT", "+10011", nullptr},
  };
  for (const auto& c : cases) {
    const auto records = ParseMessageReplies(SplitCrLf(ReplyFixture(c.file)));
    ASSERT_EQ(records.size(), 1u) << c.file;
    EXPECT_EQ(records[0].status, c.status) << c.file;
    EXPECT_EQ(records[0].sender, c.sender) << c.file;
    if (c.date != nullptr) {
      EXPECT_EQ(records[0].date, c.date) << c.file;
    }
  }
}

}  // namespace
}  // namespace missivo
