// Whole ways through the archive: rows out to a file and back in.
#include <gtest/gtest.h>

#include "format_test_support.h"
#include "phone/message_rows.h"
#include "store/contact_fields.h"
#include "store/message_fields.h"
#include "support/test_support.h"
#include "text/cp1251.h"
#include "transfer/archive_records.h"
#include "transfer/exchange_export.h"
#include "transfer/exchange_import.h"

namespace missivo {
namespace {

using test::Russian;
using test::TempFolder;
using test::W;

// An archive as the read makes it: a row with lossless fields and a zone, one
// without a phone time, and a row of an older archive (five sub-items only).
SmsRecord Record(RowKind kind, std::string text, std::string number,
                 std::optional<SmsTime> time = std::nullopt) {
  SmsRecord record;
  record.kind = kind;
  record.text = std::move(text);
  record.number = std::move(number);
  record.time = time;
  return record;
}

std::vector<Row> MixedArchive() {
  Row phone = RowOfRecord(Record(RowKind::kIncoming, "Привет 😀\nвторая строка", "+79035550101",
                                 SmsTime{1765377785000, 180}),
                          Russian());
  phone.sub_items[kFrom] = W("Мама (+79035550101)");  // resolved after the read
  Row outgoing = RowOfRecord(Record(RowKind::kOutgoing, "ok", "900"), Russian());
  outgoing.sub_items[kDateTime] = "09/12/2025,10:00:00";  // the read moment, no phone time
  const Row old{W("Старое сообщение"),
                {"+79161234567", "01/05/2006,14:03:59", "16", "3", W("Входящее")},
                kImageIncoming};
  return {phone, outgoing, old};
}

std::string Export(const std::vector<Row>& rows, MessageFormat format) {
  std::string out;
  EXPECT_TRUE(WriteMessages(rows, RowSelection::All(), format, [&](std::string_view bytes) {
                out += bytes;
                return true;
              }).ok());
  return out;
}

std::vector<Row> Import(std::vector<Row>& archive, const std::string& xml,
                        ImportCount* count = nullptr) {
  TempFolder folder;
  test::WriteBytes(folder / "b.xml", xml);
  BackupRows backup = ReadBackupRows(folder / "b.xml", Russian());
  EXPECT_TRUE(backup.read.ok()) << backup.read.error;
  SilentUserInterface ui;
  const ImportCount made = AppendNewMessages(archive, std::move(backup.rows), Russian(), ui);
  if (count != nullptr) *count = made;
  return archive;
}

// archive -> XML -> empty archive: text, number, time to the second and kind.
TEST(ExchangeRoundTripTest, ArchiveThroughXmlIntoAnEmptyArchive) {
  test::MoscowZone zone;
  const std::vector<Row> archive = MixedArchive();
  std::vector<Row> fresh;
  Import(fresh, Export(archive, MessageFormat::kAndroidXml));
  ASSERT_EQ(fresh.size(), archive.size());
  for (std::size_t i = 0; i < archive.size(); ++i) {
    SCOPED_TRACE(i);
    const SmsRecord before = RecordOfRow(archive[i]);
    const SmsRecord after = RecordOfRow(fresh[i]);
    EXPECT_EQ(after.text, before.text);
    EXPECT_EQ(after.number, before.number);
    EXPECT_EQ(after.kind, before.kind);
    EXPECT_EQ(after.time->utc_ms / 1000, before.time->utc_ms / 1000);
    EXPECT_EQ(SubItem(fresh[i], kDateTime), SubItem(archive[i], kDateTime));
  }
  EXPECT_EQ(fresh[0].sub_items[kFrom], W("Мама (+79035550101)"));  // the contact travels along
}

// Importing a file twice, or a file exported from this archive, adds nothing;
// the same text from the same sender at another time is another message.
TEST(ExchangeRoundTripTest, DuplicatesAreSkipped) {
  test::MoscowZone zone;
  std::vector<Row> archive = MixedArchive();
  ImportCount count;
  Import(archive, Export(archive, MessageFormat::kAndroidXml), &count);
  EXPECT_EQ(count.added, 0u);
  EXPECT_EQ(count.already, 3u);

  const std::string twice =
      R"(<smses count="3"><sms address="+7" date="1000" type="1" body="Ок" />)"
      R"(<sms address="+7" date="1000" type="1" body="Ок" />)"
      R"(<sms address="+7" date="61000" type="1" body="Ок" /></smses>)";
  std::vector<Row> other;
  Import(other, twice, &count);
  EXPECT_EQ(count.added, 2u);
  EXPECT_EQ(count.already, 1u);
  Import(other, twice, &count);
  EXPECT_EQ(count.added, 0u);
  EXPECT_EQ(other.size(), 2u);
}

// XML -> archive -> XML: the same sms elements for the attributes the archive holds.
TEST(ExchangeRoundTripTest, XmlThroughTheArchiveGivesTheSameElements) {
  test::MoscowZone zone;
  const auto [first, read] = test::ReadXmlFile(test::kFormats / "backup.xml");
  ASSERT_TRUE(read.ok());
  std::vector<Row> archive;
  Import(archive, test::ReadBytes(test::kFormats / "backup.xml"));
  const auto [second, read_again] = test::ReadXmlText(Export(archive, MessageFormat::kAndroidXml));
  ASSERT_TRUE(read_again.ok()) << read_again.error;
  ASSERT_EQ(second.size(), first.size());
  for (std::size_t i = 0; i < first.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(second[i].text, first[i].text);
    EXPECT_EQ(second[i].number, first[i].number);
    EXPECT_EQ(second[i].contact, first[i].contact);
    EXPECT_EQ(second[i].kind, first[i].kind);
    EXPECT_EQ(second[i].time->utc_ms, first[i].time->utc_ms);
  }
}

// A backup of several thousand messages, emoji both ways, into the archive.
TEST(ExchangeRoundTripTest, SeveralThousandMessages) {
  std::string xml =
      "<?xml version='1.0' encoding='UTF-8' standalone='yes' ?>\n<smses count=\"5000\">\n";
  for (int i = 0; i < 5000; ++i) {
    xml += "<sms protocol=\"0\" address=\"+7903555" + std::to_string(1000 + i % 50) + "\" date=\"" +
           std::to_string(1700000000000 + i * 60000LL) + "\" type=\"" + std::to_string(1 + i % 3) +
           "\" body=\"Сообщение " + std::to_string(i) + (i % 2 ? " 😀" : " &#55357;&#56832;") +
           "\" read=\"1\" />\n";
  }
  xml += "</smses>\n";
  std::vector<Row> archive;
  ImportCount count;
  Import(archive, xml, &count);
  EXPECT_EQ(count.added, 5000u);
  ASSERT_EQ(archive.size(), 5000u);
  EXPECT_EQ(BestText(archive[4998]), "Сообщение 4998 😀");
  EXPECT_EQ(BestText(archive[4999]), "Сообщение 4999 😀");
  EXPECT_EQ(BestKind(archive[4999]), RowKind::kOutgoing);  // type 2
  EXPECT_EQ(BestKind(archive[4997]), RowKind::kDraft);     // type 3
  EXPECT_EQ(archive[4999].caption, W("Сообщение 4999 ?"));
}

// phonebook -> vCard -> phonebook gives the same contacts; a second import adds none.
TEST(ExchangeRoundTripTest, PhonebookThroughVCard) {
  const std::vector<Row> phonebook = {
      MakeContactRow("Мама", "+79035550101"), MakeContactRow("Иван Петров", "+79161234567"),
      MakeContactRow("Иван Петров", "84951234567"), MakeContactRow("Bank; \"main\"", "900")};
  const VCardRead read = ParseVCards(ContactsText(phonebook, ContactFormat::kVCard), "\"p.vcf\"");
  ASSERT_TRUE(read.ok()) << read.error;
  std::vector<Row> fresh;
  EXPECT_EQ(AppendNewContacts(fresh, read.contacts).added, 4u);
  EXPECT_EQ(fresh, phonebook);
  EXPECT_EQ(AppendNewContacts(fresh, read.contacts).already, 4u);
  EXPECT_EQ(ContactsText(phonebook, ContactFormat::kCsv),
            "name,number\r\nМама,+79035550101\r\nИван Петров,+79161234567\r\n"
            "Иван Петров,84951234567\r\n\"Bank; \"\"main\"\"\",900\r\n");
}

}  // namespace
}  // namespace missivo
