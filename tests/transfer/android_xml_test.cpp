#include <gtest/gtest.h>

#include <cstdlib>

#include "format_test_support.h"
#include "support/test_support.h"
#include "transfer/message_writer.h"
#include "transfer/sms_time.h"
#include "transfer/xml_input_filter.h"

namespace missivo {
namespace {

using test::kFormats;
using test::ReadXmlFile;
using test::ReadXmlText;

std::string Smses(std::string_view body) {
  return "<?xml version='1.0' encoding='UTF-8' standalone='yes' ?>\n<smses count=\"1\">\n" +
         std::string(body) + "\n</smses>\n";
}

TEST(AndroidXmlReadTest, SampleBackup) {
  const auto [records, read] = ReadXmlFile(kFormats / "backup.xml");
  ASSERT_TRUE(read.ok()) << read.error;
  ASSERT_EQ(records.size(), 6u);
  EXPECT_EQ(read.media_skipped, 2u);  // the picture of one mms, the voice of the other
  EXPECT_EQ(read.mms_without_text, 1u);

  // Emoji as a referenced surrogate pair, and raw in UTF-8, come out the same.
  EXPECT_EQ(records[0].text, "Привет! Как дела? 😀");
  EXPECT_EQ(records[0].kind, RowKind::kIncoming);
  EXPECT_EQ(records[0].number, "+79035550101");
  EXPECT_EQ(records[0].contact, "Мама");
  EXPECT_EQ(records[0].time, (SmsTime{1765377785000, std::nullopt}));
  EXPECT_EQ(records[1].text, "Хорошо 👍\nВечером позвоню");
  EXPECT_EQ(records[1].kind, RowKind::kOutgoing);
  EXPECT_EQ(records[2].kind, RowKind::kDraft);
  EXPECT_EQ(records[2].contact, "");  // "(Unknown)"
  EXPECT_EQ(records[3].text, "Код: 4821. Никому не сообщайте & не пересылайте <его>");
  EXPECT_FALSE(records[3].read);
  // A failed message (type 5) is outgoing; two pairs in hex make a flag.
  EXPECT_EQ(records[4].kind, RowKind::kOutgoing);
  EXPECT_EQ(records[4].text, "Ґанок, єнот, їжак, ірис 🇺🇦");
  // The mms: its text part, its own date and sender.
  EXPECT_EQ(records[5].text, "Смотри, какой кот 🐱");
  EXPECT_EQ(records[5].kind, RowKind::kIncoming);
  EXPECT_EQ(records[5].number, "+79035550101");
  EXPECT_EQ(records[5].time->utc_ms, 1765032185000);
}

TEST(AndroidXmlReadTest, Mapping) {
  const struct {
    const char* name;
    std::string element;
    RowKind kind;
    std::string number;
    std::string text;
  } cases[] = {
      {"type 4 outbox", R"(<sms address="1" date="5" type="4" body="a" />)", RowKind::kOutgoing,
       "1", "a"},
      {"type 6 queued", R"(<sms address="1" date="5" type="6" body="a" />)", RowKind::kOutgoing,
       "1", "a"},
      {"unknown type", R"(<sms address="1" date="5" type="9" body="a" />)", RowKind::kImported, "1",
       "a"},
      {"hex pair and a lone half",
       R"(<sms address="1" type="1" body="&#xD83D;&#xDE00;&#xD83D;x" />)", RowKind::kIncoming, "1",
       "😀\uFFFDx"},
      {"lone low half", R"(<sms address="1" type="1" body="&#56832;" />)", RowKind::kIncoming, "1",
       "\uFFFD"},
      {"escaped line breaks and tab", R"(<sms address="1" type="1" body="a&#13;&#10;b&#9;c" />)",
       RowKind::kIncoming, "1", "a\r\nb\tc"},
      {"mms outgoing takes the recipients",
       R"(<mms msg_box="2" date="1700000000"><parts><part ct="text/plain" text="hi" /><part ct="text/plain" text="there" /></parts><addrs><addr address="+1" type="151" /><addr address="+2" type="151" /><addr address="me" type="137" /></addrs></mms>)",
       RowKind::kOutgoing, "+1, +2", "hi\nthere"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto [records, read] = ReadXmlText(Smses(c.element));
    ASSERT_TRUE(read.ok()) << read.error;
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].kind, c.kind);
    EXPECT_EQ(records[0].number, c.number);
    EXPECT_EQ(records[0].text, c.text);
  }
  // An mms date in seconds is taken as seconds.
  const auto mms = ReadXmlText(Smses(
      R"(<mms msg_box="1" date="1700000000"><parts><part ct="text/plain" text="x" /></parts></mms>)"));
  ASSERT_EQ(mms.records.size(), 1u);
  EXPECT_EQ(mms.records[0].time->utc_ms, 1700000000000);
}

// Each broken file: the file and the place named, what was whole before kept.
TEST(AndroidXmlReadTest, BrokenFiles) {
  const struct {
    const char* file;
    std::size_t records;
    std::string where;
    std::string why;
  } cases[] = {
      {"billion-laughs.xml", 0, "line 2, column 1", "<!DOCTYPE"},
      {"external-entity.xml", 0, "line 2, column 1", "entity definitions are refused"},
      {"invalid-utf8.xml", 0, "line 4", "UTF-8"},
      {"truncated.xml", 2, "line 5", ""},
      {"wrong-root.xml", 0, "", "not <smses>"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    const auto [records, read] = ReadXmlFile(kFormats / "broken" / c.file);
    EXPECT_FALSE(read.ok());
    EXPECT_EQ(records.size(), c.records);
    EXPECT_NE(read.error.find(c.file), std::string::npos) << read.error;
    EXPECT_NE(read.error.find(c.where), std::string::npos) << read.error;
    EXPECT_NE(read.error.find(c.why), std::string::npos) << read.error;
  }
}

// The parser takes the file in pieces of half a kilobyte and stops at the
// first fault; the messages of earlier pieces are all handed on, and nothing
// after the fault.
TEST(AndroidXmlReadTest, MessagesBeforeAFaultAreKept) {
  std::string body;
  for (int i = 0; i < 50; ++i) {
    body += "<sms address=\"1\" date=\"" + std::to_string(i) + "\" type=\"1\" body=\"m" +
            std::to_string(i) + "\" />\n";
  }
  body += "<sms address=\"1\" date=\"50\" type=\"1\" body=\"\xC0\xAF\" />\n";
  for (int i = 51; i < 60; ++i)
    body += "<sms address=\"1\" type=\"1\" body=\"after\" />\n";
  const auto [records, read] = ReadXmlText(Smses(body));
  EXPECT_NE(read.error.find("line 53"), std::string::npos) << read.error;
  EXPECT_EQ(read.messages, records.size());
  ASSERT_GE(records.size(), 40u);
  for (std::size_t i = 0; i < records.size(); ++i)
    EXPECT_EQ(records[i].text, "m" + std::to_string(i));
}

TEST(AndroidXmlReadTest, HugeAttributeIsRefusedAfterTheWholeMessages) {
  std::string bytes = Smses(R"(<sms address="1" date="0" type="1" body="before" />)");
  bytes.insert(bytes.rfind("</smses>"),
               "<sms address=\"2\" body=\"" + std::string(12 << 20, 'a') + "\" />\n");
  const auto [records, read] = ReadXmlText(bytes);
  EXPECT_FALSE(read.ok());
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].text, "before");
  EXPECT_NE(read.error.find("line 4"), std::string::npos) << read.error;
}

TEST(AndroidXmlReadTest, MissingFileIsNamed) {
  const auto [records, read] = ReadXmlFile(kFormats / "no-such.xml");
  EXPECT_NE(read.error.find("no-such.xml"), std::string::npos) << read.error;
}

std::vector<SmsRecord> SampleRecords() {
  SmsRecord incoming;
  incoming.kind = RowKind::kIncoming;
  incoming.text = "Привет \"мир\" <&> 'кавычки'\r\nвторая строка 😀 \x01 конец";
  incoming.number = "+79035550101";
  incoming.contact = "Мама";
  incoming.time = SmsTime{1765377785000, 180};
  SmsRecord outgoing;
  outgoing.kind = RowKind::kOutgoing;
  outgoing.text = "ok";
  outgoing.number = "900";
  outgoing.time = SmsTime{1765377786000, std::nullopt};
  SmsRecord draft;
  draft.kind = RowKind::kDraft;
  draft.text = "";
  draft.number = "";
  draft.time = SmsTime{1765377787000, std::nullopt};
  return {incoming, outgoing, draft};
}

TEST(AndroidXmlWriteTest, ReadsBackWithTheFieldsItHolds) {
  const std::vector<SmsRecord> records = SampleRecords();
  const std::string xml = test::WriteRecords(MessageFormat::kAndroidXml, records);
  EXPECT_TRUE(
      xml.starts_with("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
                      "<smses count=\"3\">\n  <sms protocol=\"0\" address=\"+79035550101\""))
      << xml.substr(0, 200);
  EXPECT_NE(xml.find("😀"), std::string::npos);  // raw UTF-8, not references
  const auto [back, read] = ReadXmlText(xml);
  ASSERT_TRUE(read.ok()) << read.error;
  ASSERT_EQ(back.size(), records.size());
  for (std::size_t i = 0; i < back.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(back[i].kind, records[i].kind);
    EXPECT_EQ(back[i].number, records[i].number);
    EXPECT_EQ(back[i].contact, records[i].contact);
    EXPECT_EQ(back[i].time ? back[i].time->utc_ms : 0,
              records[i].time ? records[i].time->utc_ms : 0);
  }
  // Line breaks survive attribute normalisation; a control XML cannot hold becomes U+FFFD.
  EXPECT_EQ(back[0].text, "Привет \"мир\" <&> 'кавычки'\r\nвторая строка 😀 \uFFFD конец");
  EXPECT_EQ(back[1].text, "ok");
}

// The export keeps to the schema written from the apps' published description.
TEST(AndroidXmlWriteTest, ValidAgainstTheSchema) {
  test::TempFolder folder;
  test::WriteBytes(folder / "export.xml",
                   test::WriteRecords(MessageFormat::kAndroidXml, SampleRecords()));
  const std::string schema = std::string(MISSIVO_SOURCE_DIR) + "/resources/schema/sms-backup.xsd";
  const std::string command = "xmllint --noout --schema '" + schema + "' '" +
                              (folder / "export.xml").string() + "' 2>'" +
                              (folder / "lint.txt").string() + "'";
  EXPECT_EQ(std::system(command.c_str()), 0) << test::ReadBytes(folder / "lint.txt");
  // The sample backup, written by hand after the description, keeps to it as
  // well once its surrogate references are joined, as the reader does first.
  XmlInputFilter filter;
  std::string joined;
  ASSERT_TRUE(filter.Filter(test::ReadBytes(kFormats / "backup.xml"), true, joined));
  test::WriteBytes(folder / "sample.xml", joined);
  const std::string sample = "xmllint --noout --schema '" + schema + "' '" +
                             (folder / "sample.xml").string() + "' 2>'" +
                             (folder / "lint.txt").string() + "'";
  EXPECT_EQ(std::system(sample.c_str()), 0) << test::ReadBytes(folder / "lint.txt");
}

}  // namespace
}  // namespace missivo
