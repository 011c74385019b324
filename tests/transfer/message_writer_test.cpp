#include "transfer/message_writer.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "format_test_support.h"
#include "transfer/sms_time.h"

namespace missivo {
namespace {

SmsRecord Message(RowKind kind, std::string text, std::string number, std::string contact,
                  std::optional<SmsTime> time) {
  SmsRecord r;
  r.kind = kind;
  r.text = std::move(text);
  r.number = std::move(number);
  r.contact = std::move(contact);
  r.from = r.contact.empty() ? r.number : r.contact + " (" + r.number + ")";
  r.time = time;
  r.index = "7";
  r.size = "11";
  r.parts = {"7", "8"};
  r.type = "Входящее";
  return r;
}

TEST(CsvExportTest, QuotingAndHeader) {
  test::MoscowZone zone;
  const std::vector<SmsRecord> records = {
      Message(RowKind::kIncoming, "plain", "+7903", "Мама", SmsTime{1765377785000, 180}),
      Message(RowKind::kOutgoing, "a,b \"q\"\r\nline 😀", "900", "", SmsTime{1765377786000, {}}),
  };
  EXPECT_EQ(test::WriteRecords(MessageFormat::kCsv, records),
            "kind,time,number,contact,text,index\r\n"
            "incoming,2025-12-10T17:43:05+03:00,+7903,Мама,plain,0000\r\n"
            "outgoing,2025-12-10T17:43:06+03:00,900,,\"a,b \"\"q\"\"\r\nline 😀\",0000\r\n");
  EXPECT_EQ(test::WriteRecords(MessageFormat::kCsv, {}), "kind,time,number,contact,text,index\r\n");
}

TEST(JsonExportTest, NamedFields) {
  const std::vector<SmsRecord> records = {
      Message(RowKind::kDraft, "line\n\"😀\" \xff", "+7903", "Мама", SmsTime{1765377785250, 0}),
      Message(RowKind::kIncoming, "", "", "", std::nullopt),
  };
  const auto json = nlohmann::json::parse(test::WriteRecords(MessageFormat::kJson, records));
  ASSERT_EQ(json.size(), 2u);
  const auto expected = nlohmann::json::parse(R"j({"text": "line\n\"😀\" \ufffd",
      "from": "Мама (+7903)", "number": "+7903", "contact": "Мама",
      "time": "2025-12-10T14:43:05.250Z", "kind": "draft", "size": 10, "index": "0000",
      "parts": [], "storage": null})j");
  EXPECT_EQ(json[0], expected);
  EXPECT_TRUE(json[1]["time"].is_null());  // no time in the file: none claimed
  EXPECT_TRUE(json[1]["contact"].is_null());
  EXPECT_EQ(nlohmann::json::parse(test::WriteRecords(MessageFormat::kJson, {})),
            nlohmann::json::array());
}

TEST(HtmlPageExportTest, CompletePageEveryFieldEscaped) {
  test::MoscowZone zone;
  const std::vector<SmsRecord> records = {
      Message(RowKind::kIncoming, "<script>alert('x')</script> & \"q\"", "+7903", "<b>Мама</b>",
              SmsTime{1765377785000, 180}),
      Message(RowKind::kOutgoing, "ответ 😀", "+7903", "<b>Мама</b>", SmsTime{1765377845000, 180}),
      Message(RowKind::kIncoming, "x", "900", "", std::nullopt),
  };
  const std::string html = test::WriteRecords(MessageFormat::kHtmlPage, records);
  EXPECT_TRUE(html.starts_with("<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">"));
  EXPECT_TRUE(html.ends_with("</body>\n</html>\n"));
  EXPECT_EQ(html.find("<script>"), std::string::npos);
  EXPECT_EQ(html.find("<b>"), std::string::npos);
  EXPECT_NE(html.find("&lt;script&gt;alert(&#39;x&#39;)&lt;/script&gt; &amp; &quot;q&quot;"),
            std::string::npos);
  // One heading per correspondent run; the outgoing reply sits in the same block.
  std::size_t headings = 0;
  for (std::size_t at = html.find("<h2>"); at != std::string::npos; at = html.find("<h2>", at + 1))
    ++headings;
  EXPECT_EQ(headings, 2u);
  EXPECT_NE(html.find("<div class=\"message outgoing\"><div class=\"text\">ответ 😀</div>"),
            std::string::npos);
  EXPECT_NE(html.find("<time datetime=\"2025-12-10T17:43:05+03:00\">10/12/2025,17:43:05</time>"),
            std::string::npos);
}

TEST(SmsTimeTest, IsoAndArchiveForms) {
  test::MoscowZone zone;
  const struct {
    const char* text;
    std::optional<SmsTime> time;
    const char* iso;  // written back
  } cases[] = {
      {"2025-12-10T17:43:05+03:00", SmsTime{1765377785000, 180}, "2025-12-10T17:43:05+03:00"},
      {"2025-12-10T14:43:05Z", SmsTime{1765377785000, 0}, "2025-12-10T14:43:05Z"},
      {"2025-12-10 09:13:05.5-0530", SmsTime{1765377785500, -330}, "2025-12-10T09:13:05.500-05:30"},
      {"2025-12-10T17:43:05", SmsTime{1765377785000, std::nullopt}, "2025-12-10T17:43:05+03:00"},
      {"1969-12-31T23:59:59Z", SmsTime{-1000, 0}, "1969-12-31T23:59:59Z"},
      {"2026-13-10T17:43:05Z", std::nullopt, ""},
      {"2025-12-10T17:43:05+3", std::nullopt, ""},
      {"10/12/2025,17:43:05", std::nullopt, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(ParseIsoTime(c.text), c.time);
    if (c.time) {
      EXPECT_EQ(IsoTime(*c.time), c.iso);
    }
  }
  EXPECT_EQ(ParseArchiveDate("10/12/2025,17:43:05"), (SmsTime{1765377785000, std::nullopt}));
  EXPECT_EQ(ParseArchiveDate("10/12/2025 17:43"), std::nullopt);
  EXPECT_EQ(ArchiveDate(SmsTime{1765377785000, std::nullopt}), "10/12/2025,17:43:05");
  EXPECT_EQ(ArchiveDate(SmsTime{1765377785000, 0}), "10/12/2025,14:43:05");
}

}  // namespace
}  // namespace missivo
