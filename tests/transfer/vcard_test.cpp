#include "transfer/vcard.h"

#include <gtest/gtest.h>

#include "format_test_support.h"
#include "support/test_support.h"

namespace missivo {
namespace {

using test::kFormats;

TEST(VCardReadTest, QuotedPrintableCyrillic) {
  const VCardRead read = ReadVCardFile(kFormats / "contacts-2.1-quoted-printable.vcf");
  ASSERT_TRUE(read.ok()) << read.error;
  EXPECT_EQ(read.cards, 3u);
  EXPECT_EQ(read.contacts, (std::vector<ContactRecord>{
                               {"Иван Петров", "+79161234567"},  // FN over N, soft break at the end
                               {"Иван Петров", "84951234567"},   // a second TEL, a second row
                               {"Мама", "+79035550101"},         // N in Windows-1251
                               // a soft break inside a two-byte letter; the photo skipped
                               {"Александра Сергеевна Кузнецова", "+7 (495) 555-01-99"},
                           }));
}

TEST(VCardReadTest, FoldedThreeAndFour) {
  const VCardRead read = ReadVCardFile(kFormats / "contacts-3.0-4.0-folded.vcf");
  ASSERT_TRUE(read.ok()) << read.error;
  EXPECT_EQ(read.contacts, (std::vector<ContactRecord>{
                               {"Олесь Коваленко", "+380441234567"},
                               {"王小明, שלום", "+8613800138000"},  // tel: URI, quoted TYPE
                               {"王小明, שלום", "+97235550101"},    // grouped property
                           }));
}

TEST(VCardReadTest, Cards) {
  const struct {
    const char* name;
    std::string bytes;
    std::vector<ContactRecord> contacts;
    std::size_t without_number;
  } cases[] = {
      {"N only, LF line ends",
       "BEGIN:VCARD\nVERSION:3.0\nN:Doe;John;Q.;Dr.;Jr.\nTEL:1\nEND:VCARD\n",
       {{"Dr. John Q. Doe Jr.", "1"}},
       0},
      {"no name: the number", "BEGIN:VCARD\r\nTEL:5\r\nEND:VCARD\r\n", {{"5", "5"}}, 0},
      {"no number: counted", "BEGIN:VCARD\r\nFN:A\r\nEND:VCARD\r\n", {}, 1},
      {"escapes",
       "BEGIN:VCARD\r\nFN:a\\;b\\,c\\\\d\\ne\r\nTEL:1\r\nEND:VCARD\r\n",
       {{"a;b,c\\d\ne", "1"}},
       0},
      {"2.1 folding keeps the blank",
       "BEGIN:VCARD\r\nVERSION:2.1\r\nFN:Anna\r\n Maria\r\nTEL:1\r\nEND:VCARD\r\n",
       {{"Anna Maria", "1"}},
       0},
      {"byte order mark, lower case",
       "\xEF\xBB\xBF"
       "begin:vcard\r\nfn:x\r\ntel:2\r\nend:vcard\r\n",
       {{"x", "2"}},
       0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const VCardRead read = ParseVCards(c.bytes, "\"t.vcf\"");
    ASSERT_TRUE(read.ok()) << read.error;
    EXPECT_EQ(read.contacts, c.contacts);
    EXPECT_EQ(read.cards_without_number, c.without_number);
  }
}

TEST(VCardReadTest, BrokenFiles) {
  const struct {
    const char* name;
    std::string bytes;
    std::size_t contacts;
    std::string where;
  } cases[] = {
      {"truncated", test::ReadBytes(kFormats / "broken" / "truncated.vcf"), 1, "line 6"},
      {"invalid UTF-8", test::ReadBytes(kFormats / "broken" / "invalid-utf8.vcf"), 1, "line 8"},
      {"no colon", "BEGIN:VCARD\r\nFN:a\r\nTEL:1\r\nEND:VCARD\r\nBEGIN:VCARD\r\ngarbage\r\n", 1,
       "line 6"},
      {"card in a card", "BEGIN:VCARD\r\nBEGIN:VCARD\r\n", 0, "line 2"},
      {"text outside", "hello\r\n", 0, "line 1"},
      {"10 MB name",
       "BEGIN:VCARD\r\nTEL:1\r\nEND:VCARD\r\nBEGIN:VCARD\r\nFN:" + std::string(10 << 20, 'x') +
           "\r\nTEL:2\r\nEND:VCARD\r\n",
       1, "line 5"},
      {"20 MB folded line",
       "BEGIN:VCARD\r\nNOTE:" + std::string(1 << 20, 'x') +
           [] {
             std::string folds;
             for (int i = 0; i < 20; ++i)
               folds += "\r\n " + std::string(1 << 20, 'y');
             return folds;
           }() +
           "\r\nEND:VCARD\r\n",
       0, "line 2"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const VCardRead read = ParseVCards(c.bytes, "\"t.vcf\"");
    EXPECT_FALSE(read.ok());
    EXPECT_EQ(read.contacts.size(), c.contacts);
    EXPECT_NE(read.error.find("\"t.vcf\", " + c.where + ":"), std::string::npos) << read.error;
  }
}

TEST(VCardReadTest, LongPhotoIsSkipped) {
  const std::string bytes = "BEGIN:VCARD\r\nPHOTO;ENCODING=b:" + std::string(3 << 20, 'A') +
                            "\r\nFN:x\r\nTEL:1\r\nEND:VCARD\r\n";
  const VCardRead read = ParseVCards(bytes, "\"t.vcf\"");
  ASSERT_TRUE(read.ok()) << read.error;
  EXPECT_EQ(read.contacts, (std::vector<ContactRecord>{{"x", "1"}}));
}

TEST(VCardWriteTest, ReadsBackTheSameContacts) {
  const std::vector<ContactRecord> contacts = {
      {"Иван Петров", "+79161234567"},
      {"Иван Петров", "84951234567"},
      {"Мама", "+79035550101"},
      {"Иван Петров", "+100"},  // the same name again later: a card of its own
      {"a;b,c\\d", "1"},
      {std::string(60, 'x') + "ЁжикЁжикЁжикЁжикЁжикЁжикЁжикЁжик 😀😀😀", "2"},
  };
  const std::string vcf = WriteVCards(contacts);
  EXPECT_TRUE(
      vcf.starts_with("BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Иван Петров\r\nN:;Иван Петров;;;\r\n"
                      "TEL;TYPE=CELL:+79161234567\r\nTEL;TYPE=CELL:84951234567\r\nEND:VCARD\r\n"))
      << vcf;
  std::size_t start = 0;
  for (std::size_t end = vcf.find("\r\n"); end != std::string::npos;
       end = vcf.find("\r\n", start)) {
    EXPECT_LE(end - start, 75u) << vcf.substr(start, end - start);
    start = end + 2;
  }
  const VCardRead read = ParseVCards(vcf, "\"t.vcf\"");
  ASSERT_TRUE(read.ok()) << read.error;
  EXPECT_EQ(read.contacts, contacts);
  EXPECT_EQ(read.cards, 5u);
}

}  // namespace
}  // namespace missivo
