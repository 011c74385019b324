// The parsers of standard replies, as tables of captured replies
// (tests/data/standard-replies, named after the device and its quirk), and the
// joining of long messages from captured PDUs.
#include <gtest/gtest.h>

#include "phone/standard/message_parts.h"
#include "phone/standard/standard_listing.h"
#include "phone/standard/standard_phonebook.h"
#include "phone/standard/standard_profile.h"
#include "phone/standard/standard_replies.h"
#include "phone_test_data.h"
#include "text/lines.h"

namespace missivo {
namespace {

using test::StandardReplyFixture;
using test::W;

using Names = std::vector<std::string>;

TEST(StandardParsersTest, Identification) {
  const struct {
    const char* name;
    std::string reply;
    const char* command;
    const char* text;
  } cases[] = {
      {"echo, then the name", "AT+CGMI\r\r\nhuawei\r\n\r\nOK\r", "AT+CGMI\r", "huawei"},
      {"prefixed and quoted", "\r\n+CGMM: \"E3372\"\r\n\r\nOK\r", "AT+CGMM\r", "E3372"},
      {"two lines", "\r\nRevision: 1418B04\r\nSIM800C24\r\n\r\nOK\r", "AT+CGMR\r",
       "Revision: 1418B04 SIM800C24"},
      {"an error", "AT+CGMI\r\r\nERROR\r", "AT+CGMI\r", ""},
      {"the modem's own error word (captured)", StandardReplyFixture("command-not-support.txt"),
       "AT+CGMI\r", ""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ParseIdentityReply(c.reply, c.command), c.text) << c.name;
}

TEST(StandardParsersTest, MessageModes) {
  const struct {
    const char* reply;
    bool known, pdu, text;
  } cases[] = {
      {"\r\n+CMGF: (0,1)\r\n\r\nOK\r", true, true, true},
      {"\r\n+CMGF: (0-1)\r\n\r\nOK\r", true, true, true},
      {"\r\n+CMGF: (0)\r\n\r\nOK\r", true, true, false},
      {"\r\n+CMGF: (1)\r\n\r\nOK\r", true, false, true},
      {"\r\nERROR\r", false, false, false},
  };
  for (const auto& c : cases) {
    const MessageModes modes = ParseMessageModes(c.reply);
    EXPECT_EQ(modes.known, c.known) << c.reply;
    EXPECT_EQ(modes.pdu, c.pdu) << c.reply;
    EXPECT_EQ(modes.text, c.text) << c.reply;
  }
}

TEST(StandardParsersTest, StoragesCountsAndRanges) {
  const Names five = {"SM", "ME", "SM_P", "ME_P", "MT"};
  EXPECT_EQ(ParseStorageGroups(StandardReplyFixture("cpms-test-blanks-after-commas.txt")),
            (std::vector<Names>{five, five, five}));
  EXPECT_EQ(ParseStorageGroups(StandardReplyFixture("cpms-test-empty-groups.txt")),
            (std::vector<Names>{{}, {}, {}}));
  EXPECT_TRUE(ParseStorageGroups(StandardReplyFixture("cpms-test-empty-answer.txt")).empty());

  const struct {
    const char* file;
    std::optional<std::pair<int, int>> count;
  } counts[] = {
      {"cpms-query-blanks-after-commas.txt", std::pair{0, 100}},
      {"unsolicited-cmti-before-cpms-echo.txt", std::pair{1, 20}},
      {"cpms-query-empty-fields.txt", std::nullopt},
  };
  for (const auto& c : counts) {
    const auto count = ParseStorageCount(StandardReplyFixture(c.file));
    ASSERT_EQ(count.has_value(), c.count.has_value()) << c.file;
    if (count) {
      EXPECT_EQ(std::pair(count->used, count->total), *c.count) << c.file;
    }
  }

  EXPECT_EQ(ParsePhonebookStorages(StandardReplyFixture("cpbs-test-phonebook-storages.txt")),
            (Names{"SM", "DC", "FD", "LD", "MC", "ME", "RC", "EN", "ON"}));
  const auto range =
      ParsePhonebookRangeReply(StandardReplyFixture("cpbr-test-range-and-lengths.txt"));
  ASSERT_TRUE(range);
  EXPECT_EQ(std::tuple(range->first, range->last, range->number_length, range->name_length),
            std::tuple(1, 250, 24, 20));
  EXPECT_FALSE(ParsePhonebookRangeReply(StandardReplyFixture("cpbr-empty-slot-cme-error.txt")));
}

TEST(StandardParsersTest, WhichStoragesAreRead) {
  const struct {
    Names offered;
    Names read;
  } cases[] = {
      {{"SM", "ME", "MT"}, {"SM", "ME"}},  // MT is their union
      {{"ME", "SM_P", "ME_P", "SM"}, {"SM", "ME"}},
      {{"MT", "BM", "SR"}, {"MT"}},
      {{"SR", "BM"}, {""}},  // no storage of messages: the current one
      {{}, {""}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(StoragesToRead(c.offered), c.read);
  // Contacts: SIM and phone, never call lists, fixed or own numbers.
  EXPECT_EQ(ContactStorages({"SM", "DC", "FD", "LD", "MC", "ME", "RC", "EN", "ON"}),
            (Names{"SM", "ME"}));
}

TEST(StandardParsersTest, PhonebookEntries) {
  const struct {
    const char* name;
    std::string line;
    bool ucs2;
    std::optional<Row> contact;
  } cases[] = {
      {"quoted UCS2 name, empty number (captured)",
       SplitAnyBreak(StandardReplyFixture("cpbr-entry-quoted-ucs2-name-empty-number.txt"))[1], true,
       Row{"Stanley Paul", {""}, kImageContact}},
      {"trailing empty fields (captured)",
       SplitAnyBreak(
           StandardReplyFixture("cpbr-entry-quoted-ucs2-name-trailing-empty-fields.txt"))[1],
       true, Row{"Steve  Vinson", {""}, kImageContact}},
      {"UCS2 number and Cyrillic name",
       "+CPBR: 3,\"002B0037003900310036\",145,\"04180432043004BD\"", true,
       Row{W("Ива?"), {"+7916", "missivo-contact/1\nname=Иваҽ\n"}, kImageContact}},
      {"plain texts in the GSM character set", "+CPBR: 4,\"+31625044454\",145,\"Jan\"", false,
       Row{"Jan", {"+31625044454"}, kImageContact}},
      {"a number of hexadecimal digits stays a number", "+CPBR: 5,\"12345678\",129,\"0041\"", true,
       Row{"A", {"12345678"}, kImageContact}},
      {"an unquoted name", "+CPBR: 6,\"+7916\",145,0041004200430044", true,
       Row{"ABCD", {"+7916"}, kImageContact}},
      {"the range line is no entry", "+CPBR: (1-250),24,20", true, std::nullopt},
      {"an error", "+CME ERROR: 22", true, std::nullopt},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ParseStandardContact(c.line, c.ucs2), c.contact) << c.name;
}

TEST(StandardParsersTest, PduListings) {
  const std::vector<PduEntry> three =
      ParsePduListing(StandardReplyFixture("cmgl-pdu-three-messages.txt"));
  ASSERT_EQ(three.size(), 3u);
  EXPECT_EQ(three[0].index, "0");
  EXPECT_EQ(three[0].stat, 0);
  EXPECT_EQ(three[2].stat, 1);
  const Result<sms::Pdu> first = sms::DecodePdu(three[0].pdu);
  ASSERT_TRUE(first.ok()) << first.message();
  EXPECT_EQ(first.value().address.text, "+27748577604");
  EXPECT_EQ(first.value().user_data.text, "Hello raspberry pi");

  // No name field at all, indexes going down, the last PDU cut short: every
  // entry is taken apart; the cut one does not decode (it stays on the phone).
  const std::vector<PduEntry> cut =
      ParsePduListing(StandardReplyFixture("cmgl-pdu-no-alpha-field-last-entry-cut.txt"));
  ASSERT_GE(cut.size(), 4u);
  EXPECT_EQ(cut[0].index, "17");
  EXPECT_EQ(cut[0].stat, 3);
  EXPECT_FALSE(sms::DecodePdu(cut.back().pdu).ok());
}

TEST(StandardParsersTest, TextListings) {
  const std::vector<TextEntry> listed =
      ParseTextListing(StandardReplyFixture("cmgl-text-empty-alpha-with-zone.txt"));
  ASSERT_EQ(listed.size(), 2u);
  EXPECT_EQ(listed[0].index, "1");
  EXPECT_EQ(listed[0].status, "REC READ");
  EXPECT_EQ(listed[0].address, "+2784000153099999");
  EXPECT_EQ(listed[0].stamp, "13/02/07,01:31:44+08");
  EXPECT_TRUE(listed[1].body.starts_with("Standard Bank: Your accounts"));
  EXPECT_TRUE(listed[1].body.ends_with("0860003422."));

  const struct {
    const char* file;
    TextEntry entry;
  } reads[] = {
      {"cmgr-text-empty-alpha-with-zone.txt",
       {"", "REC READ", "+31625044454", "07/07/05,09:56:03+08", "Test message 2", false}},
      {"cmgr-text-csdh1-detail-form.txt",
       {"", "REC READ", "+393488535999", "07/04/05,18:02:28+08",
        "You have a missed called. Freeinformation provided by your operator.", false}},
  };
  for (const auto& c : reads) {
    const std::vector<TextEntry> entries = ParseTextListing(StandardReplyFixture(c.file), "+CMGR:");
    ASSERT_EQ(entries.size(), 1u) << c.file;
    EXPECT_EQ(entries[0], c.entry) << c.file;
  }

  const std::vector<TextEntry> forms = ParseTextListing(
      "+CMGL: 1,\"REC READ\",\"+7916\",\"24/05/01,12:00:00+12\"\r\nno name field\r\n"
      "+CMGL: 2,\"REC "
      "READ\",6,183,\"+7916\",145,\"24/05/01,12:00:00+12\",\"24/05/01,12:00:05+12\",0\r\n"
      "+CMGL: 3,\"STO UNSENT\",\"+7916\",,\r\nline one\r\nline two\r\n\r\nOK\r");
  ASSERT_EQ(forms.size(), 3u);
  EXPECT_EQ(forms[0].stamp, "24/05/01,12:00:00+12");
  EXPECT_TRUE(forms[1].status_report);
  EXPECT_EQ(forms[2].stamp, "");
  EXPECT_EQ(forms[2].body, "line one\nline two");
}

// The parts of captured long messages in the order they were listed.
std::vector<MessagePart> PartsOf(const std::vector<std::string>& pdus) {
  std::vector<MessagePart> parts;
  for (const std::string& hex : pdus) {
    Result<sms::Pdu> pdu = sms::DecodePdu(hex);
    EXPECT_TRUE(pdu.ok()) << pdu.message();
    if (!pdu.ok()) continue;
    MessagePart part;
    part.slot = {"SM", std::to_string(parts.size() + 1)};
    part.status = "REC READ";
    part.sender = pdu.value().address.text;
    part.time = pdu.value().service_centre_time;
    part.data = std::move(pdu.value().user_data);
    parts.push_back(std::move(part));
  }
  return parts;
}

TEST(StandardParsersTest, LongMessagesJoinedInPartOrderWithGaps) {
  const std::vector<std::string> two = SplitAnyBreak(test::ReadBytes(
      std::string(MISSIVO_TEST_DATA) + "/standard-replies/pdu-concat-2part-8bit-ref.txt"));
  const std::vector<std::string> three = SplitAnyBreak(test::ReadBytes(
      std::string(MISSIVO_TEST_DATA) + "/standard-replies/pdu-concat-3part-ucs2.txt"));
  ASSERT_EQ(two.size(), 2u);
  ASSERT_EQ(three.size(), 3u);

  // Listed in reverse, interleaved with the parts of another message.
  const std::vector<MessagePart> parts = PartsOf({two[1], three[2], three[0], two[0]});
  const std::vector<JoinedMessage> joined = JoinParts(parts);
  ASSERT_EQ(joined.size(), 2u);
  EXPECT_TRUE(joined[0].complete);
  EXPECT_EQ(joined[0].text,
            "This is a very long test designed to exercise multi part capability. It should "
            "show up as one message, not as two, as the underlying encoding represents that "
            "the parts are related to one another. ");
  EXPECT_EQ(joined[0].parts.front()->slot.index, "4");  // part 1 first
  EXPECT_FALSE(joined[1].complete);
  EXPECT_EQ(joined[1].sequences, (std::vector<int>{1, 3}));
  EXPECT_TRUE(joined[1].text.starts_with("Итак, Александр"));
  EXPECT_NE(joined[1].text.find("гне[…]мнату"), std::string::npos) << joined[1].text;

  // The same part listed twice (it was in two storages) counts once.
  const std::vector<JoinedMessage> twice = JoinParts(PartsOf({two[0], two[0], two[1]}));
  ASSERT_EQ(twice.size(), 1u);
  EXPECT_EQ(twice[0].parts.size(), 2u);
}

TEST(StandardParsersTest, GapRowsAreCompletedInPlace) {
  const struct {
    const char* caption;
    const char* complete;
    bool earlier;
  } cases[] = {
      {"ab[\x85]ef", "abcdef", true},      {"[\x85]cd[\x85]", "abcdef", true},
      {"ab[\x85]", "abcdef", true},        {"ab[\x85]ef", "abef", true},  // a part that was empty
      {"ab[\x85]eg", "abcdef", false},     {"xb[\x85]ef", "abcdef", false},
      {"abcdef", "abcdef", false},          // no gap: nothing to complete
      {"ab[\x85]ef", "ab[\x85]ef", false},  // still incomplete
      {"abc[\x85]cde", "abcde", false},     // the pieces overlap
  };
  for (const auto& c : cases)
    EXPECT_EQ(IsEarlierFormOf(c.caption, c.complete), c.earlier)
        << c.caption << " / " << c.complete;

  std::vector<Row> archive = {
      {"old", {"+7000", "01/01/2020,00:00:00", "3", "1", "x"}, kImageIncoming},
      {"ab[\x85]ef",
       {W("Иван (+79161234567)"), "02/05/2024,08:30:00", "7", "4", "x"},
       kImageIncoming},
  };
  const Row complete{
      "abcdef", {"+79161234567", "02/05/2024,08:30:00", "6", "4", "x"}, kImageIncoming};
  const Row other_sender{
      "abXYef", {"+79160000000", "02/05/2024,08:30:00", "6", "4", "x"}, kImageIncoming};
  EXPECT_EQ(CompleteGapRows(archive, {other_sender, complete}), 1u);
  EXPECT_EQ(archive.size(), 2u);
  EXPECT_EQ(archive[1], complete);
}

}  // namespace
}  // namespace missivo
