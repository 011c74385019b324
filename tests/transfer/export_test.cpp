#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <random>

#include "support/test_support.h"
#include "text/default_language.h"
#include "text/lines.h"
#include "transfer/export_block.h"
#include "transfer/export_rows.h"
#include "transfer/replace_all.h"
#include "transfer/templates.h"

namespace missivo {
namespace {

using test::ReadBytes;
using test::ScriptedUserInterface;
using test::TempFolder;
using test::W;
using test::WriteBytes;

LanguageLines Russian() {
  LanguageLines language;
  language.LoadFromBytes(DefaultRussianFileBytes());
  return language;
}

Row MessageRow(std::string caption, std::string from, std::string date = "17/05/2006,14:03:59",
               std::string size = "6", std::string index = "3", std::string type = "T") {
  return Row{std::move(caption),
             {std::move(from), std::move(date), std::move(size), std::move(index), std::move(type)},
             kImageIncoming};
}

// Three rows as the archive holds them.
std::vector<Row> Archive() {
  return {
      MessageRow(W("Привет"), "+79161234567", "17/05/2006,14:03:59", "6", "3", W("Входящие")),
      MessageRow(W("Ответ"), W("Иван (+7900)"), "18/05/2006,09:00:00", "5", "12", W("Исходящие")),
      MessageRow("", "", "", "0", "0000", W("Импорт"))};
}

std::string TextBlock(const Row& row) {
  return "******************************\r\n" + W("Номер: ") + row.sub_items[kFrom] + "\r\n" +
         W("Дата/Время: ") + row.sub_items[kDateTime] + "\r\n" + W("Размер: ") +
         row.sub_items[kSize] + "\r\n" + W("Индекс: ") + row.sub_items[kIndex] + "\r\n" +
         W("Тип: ") + row.sub_items[kType] + "\r\n" + W("Сообщение: ") + row.caption + "\r\n\r\n";
}

std::string HtmlBlock(const Row& row) {
  const auto pair = [](const char* label, const std::string& value, const char* end) {
    return "<td width=\"103\"><b>" + W(label) + "</b></td>\r\n<td>" + value + end + "\r\n";
  };
  const char* next = "</td></tr><tr>";
  return "<table border=\"0\" width=\"100%\" id=\"table1\"><tr>\r\n" +
         pair("Номер:", row.sub_items[kFrom], next) +
         pair("Дата/Время:", row.sub_items[kDateTime], next) +
         pair("Размер:", row.sub_items[kSize], next) +
         pair("Индекс:", row.sub_items[kIndex], next) + pair("Тип:", row.sub_items[kType], next) +
         pair("Сообщение:", row.caption, "</td></tr></table><hr>") + "\r\n";
}

// A program folder with an empty Data folder and the default Russian language.
struct ExportFixture {
  TempFolder folder;
  std::filesystem::path data = folder / "Data";
  std::filesystem::path output = folder / "out.txt";
  LanguageLines language = Russian();
  ScriptedUserInterface ui;

  ExportFixture() { std::filesystem::create_directory(data); }

  ExportResult Export(const std::vector<Row>& rows, const RowSelection& selection,
                      TemplateKind kind) {
    return ExportRows(rows, selection, kind, data, output, language, ui);
  }
};

TEST(DefaultTemplateTest, RussianLabels) {
  const LanguageLines language = Russian();
  EXPECT_EQ(DefaultTextTemplate(language),
            W("******************************\r\nНомер: $Number\r\nДата/Время: $Date\r\n"
              "Размер: $Size\r\nИндекс: $Index\r\nТип: $Type\r\nСообщение: $Message\r\n"));
  const std::string html = DefaultHtmlTemplate(language);
  EXPECT_EQ(SplitAnyBreak(html).size(), 13u);
  EXPECT_TRUE(html.starts_with("<table border=\"0\" width=\"100%\" id=\"table1\"><tr>\r\n" +
                               W("<td width=\"103\"><b>Номер:</b></td>\r\n") +
                               "<td>$Number</td></tr><tr>\r\n"));
  EXPECT_TRUE(html.ends_with(W("<td width=\"103\"><b>Сообщение:</b></td>\r\n") +
                             "<td>$Message</td></tr></table><hr>\r\n"));
  EXPECT_EQ(DefaultTemplate(TemplateKind::kText, language), DefaultTextTemplate(language));
  EXPECT_EQ(std::string(TemplateFileName(TemplateKind::kHtml)), "HtmlTemplate.tml");
  EXPECT_EQ(std::string(TemplateFileName(TemplateKind::kText)), "TextTemplate.tml");
}

// The Data folder holds the templates the start wrote; the export reads them.
TEST(ExportRowsTest, DefaultTemplatesGiveExactBytes) {
  ExportFixture f;
  WriteBytes(f.data / "TextTemplate.tml", DefaultTextTemplate(f.language));
  WriteBytes(f.data / "HtmlTemplate.tml", DefaultHtmlTemplate(f.language));
  const std::vector<Row> rows = Archive();

  const ExportResult selected = f.Export(rows, RowSelection::Only({2, 0}), TemplateKind::kText);
  ASSERT_TRUE(selected.ok()) << selected.error;
  EXPECT_EQ(selected.exported, 2u);
  EXPECT_EQ(ReadBytes(f.output), TextBlock(rows[0]) + TextBlock(rows[2]));

  const ExportResult all = f.Export(rows, RowSelection::All(), TemplateKind::kHtml);
  ASSERT_TRUE(all.ok()) << all.error;
  EXPECT_EQ(all.exported, 3u);
  EXPECT_EQ(ReadBytes(f.output), HtmlBlock(rows[0]) + HtmlBlock(rows[1]) + HtmlBlock(rows[2]));
  EXPECT_EQ(
      ExportBytes(rows, RowSelection::All(), DefaultHtmlTemplate(f.language), TemplateKind::kHtml)
          .value(),
      ReadBytes(f.output));
  EXPECT_TRUE(f.ui.messages.empty());
}

// The text template file as the user may have edited it, one row exported.
TEST(ExportRowsTest, TemplateEdgeCases) {
  const struct {
    const char* name;
    std::string template_bytes;
    Row row;
    std::string expected;
  } cases[] = {
      {"same placeholder twice", "$Number/$Number", MessageRow("m", "+7"), "+7/+7\r\n\r\n"},
      {"lower case stays", "$number $Number", MessageRow("m", "+7"), "$number +7\r\n\r\n"},
      {"$Messages", "$Messages", MessageRow("text", "+7"), "texts\r\n\r\n"},
      {"later placeholder inside a field is filled", "$Number", MessageRow("m", "a$Date"),
       "a17/05/2006,14:03:59\r\n\r\n"},
      {"earlier placeholder inside a field stays", "$Message", MessageRow("x$Number", "+7"),
       "x$Number\r\n\r\n"},
      {"empty template", "", MessageRow("m", "+7"), "\r\n"},
      {"LF-only template", "a\n$Size\n", MessageRow("m", "+7"), "a\r\n6\r\n\r\n"},
      {"lone CR template", "a\r$Size\r", MessageRow("m", "+7"), "a\r\n6\r\n\r\n"},
      {"last line without line end", "a\r\n$Index", MessageRow("m", "+7"), "a\r\n3\r\n\r\n"},
      {"text ends at NUL", std::string("a\r\n\0$Index", 10), MessageRow("m", "+7"), "a\r\n\r\n"},
      {"break in a field becomes CR LF", "[$Message]", MessageRow("x\ny", "+7"),
       "[x\r\ny]\r\n\r\n"},
      {"missing sub-items are empty", "<$Type|$Index>", Row{"m", {"+7"}, 0}, "<|>\r\n\r\n"},
  };
  for (const auto& c : cases) {
    ExportFixture f;
    WriteBytes(f.data / "TextTemplate.tml", c.template_bytes);
    const ExportResult result = f.Export({c.row}, RowSelection::All(), TemplateKind::kText);
    ASSERT_TRUE(result.ok()) << c.name;
    EXPECT_EQ(ReadBytes(f.output), c.expected) << c.name;
  }
}

// Each pass joins the lines, replaces one placeholder and splits again. The
// block builder skips passes that cannot change the line breaks; compare it
// with that plain rule on random fields full of breaks and placeholders.
TEST(BuildBlockTest, MatchesJoinReplaceSplitPerPair) {
  const char* pieces[] = {"a", "\r", "\n", "\r\n", "$Date", "$Message", "$Number", "<", "&", " "};
  std::mt19937 random(7);
  const auto random_text = [&] {
    std::string text;
    for (int n = static_cast<int>(random() % 5); n > 0; --n)
      text += pieces[random() % 10];
    return text;
  };
  for (int round = 0; round < 3000; ++round) {
    const std::string buffer = random_text() + "$Number" + random_text() + "$Date$Message";
    const Row row{random_text(), {random_text(), random_text(), "1", random_text(), ""}, 0};
    const TemplateKind kind = round % 2 ? TemplateKind::kHtml : TemplateKind::kText;

    const std::string* fields[] = {&row.sub_items[0], &row.sub_items[1], &row.sub_items[2],
                                   &row.sub_items[3], &row.sub_items[4], &row.caption};
    std::vector<std::string> lines = SplitAnyBreak(buffer);
    for (std::size_t i = 0; i < 6; ++i) {
      const std::string value = kind == TemplateKind::kHtml ? EscapeHtml(*fields[i]) : *fields[i];
      lines = SplitAnyBreak(ReplaceAll(JoinCrLf(lines), kPlaceholders[i], value));
    }
    ASSERT_EQ(BuildBlock(buffer, row, kind), JoinCrLf(lines)) << "round " << round;
  }
}

TEST(ExportRowsTest, HtmlEscapesFieldsOnly) {
  ExportFixture f;
  WriteBytes(f.data / "HtmlTemplate.tml", "<p class=\"m\">$Message & <a title='$Number'></p>");
  WriteBytes(f.data / "TextTemplate.tml", "<p class=\"m\">$Message & <a title='$Number'></p>");
  const std::vector<Row> rows{
      MessageRow("<script>alert(\"x&y\")</script>", "<img onerror=a>' onclick='b")};

  ASSERT_TRUE(f.Export(rows, RowSelection::All(), TemplateKind::kHtml).ok());
  EXPECT_EQ(ReadBytes(f.output),
            "<p class=\"m\">&lt;script&gt;alert(&quot;x&amp;y&quot;)&lt;/script&gt; & "
            "<a title='&lt;img onerror=a&gt;&#39; onclick=&#39;b'></p>\r\n\r\n");

  ASSERT_TRUE(f.Export(rows, RowSelection::All(), TemplateKind::kText).ok());
  EXPECT_EQ(ReadBytes(f.output),
            "<p class=\"m\"><script>alert(\"x&y\")</script> & <a title='<img onerror=a>' "
            "onclick='b'></p>\r\n\r\n");
}

// A template removed while the program runs: the default of the chosen kind,
// never the other template or what an earlier export loaded.
TEST(ExportRowsTest, MissingTemplateUsesDefaultOfItsKind) {
  ExportFixture f;
  WriteBytes(f.data / "TextTemplate.tml", "edited $Number");
  const std::vector<Row> rows = Archive();
  ASSERT_TRUE(f.Export(rows, RowSelection::Only({0}), TemplateKind::kText).ok());
  EXPECT_EQ(ReadBytes(f.output), "edited +79161234567\r\n\r\n");

  ASSERT_TRUE(f.Export(rows, RowSelection::Only({0}), TemplateKind::kHtml).ok());
  EXPECT_EQ(ReadBytes(f.output), HtmlBlock(rows[0]));

  std::filesystem::remove(f.data / "TextTemplate.tml");
  ASSERT_TRUE(f.Export(rows, RowSelection::Only({0}), TemplateKind::kText).ok());
  EXPECT_EQ(ReadBytes(f.output), TextBlock(rows[0]));
}

TEST(ExportRowsTest, GaugeCoversEveryRowAndEndsIdle) {
  ExportFixture f;
  std::vector<Row> rows(10, MessageRow("m", "+7"));
  const ExportResult result = f.Export(rows, RowSelection::Only({1, 4, 7}), TemplateKind::kText);
  ASSERT_TRUE(result.ok());
  EXPECT_EQ(result.exported, 3u);
  EXPECT_EQ(f.ui.progress_maximum, 9);
  EXPECT_EQ(f.ui.progress_position, 9);
  EXPECT_FALSE(f.ui.progress_visible);
  EXPECT_EQ(f.ui.progress_texts, (std::vector<std::string>{W("Сохранение сообщений"), ""}));
}

TEST(ExportRowsTest, NothingToExportTouchesNothing) {
  ExportFixture f;
  const std::vector<Row> rows = Archive();
  EXPECT_FALSE(HasRowsToExport({}, RowSelection::All()));
  EXPECT_FALSE(HasRowsToExport(rows, RowSelection::Only({})));
  EXPECT_FALSE(HasRowsToExport(rows, RowSelection::Only({3})));
  EXPECT_TRUE(HasRowsToExport(rows, RowSelection::Only({3, 2})));

  const ExportResult result = f.Export(rows, RowSelection::Only({}), TemplateKind::kText);
  EXPECT_TRUE(result.ok());
  EXPECT_EQ(result.exported, 0u);
  EXPECT_FALSE(std::filesystem::exists(f.output));
  EXPECT_TRUE(f.ui.progress_texts.empty());
}

TEST(ExportRowsTest, ReplacesAnExistingFileAtomically) {
  ExportFixture f;
  const std::vector<Row> rows = Archive();
  ASSERT_TRUE(f.Export(rows, RowSelection::All(), TemplateKind::kText).ok());
  struct stat info {};
  ASSERT_EQ(::stat(f.output.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);  // a new export holds messages

  ::chmod(f.output.c_str(), 0644);  // a file others may read does not lend its mode
  ASSERT_TRUE(f.Export(rows, RowSelection::Only({1}), TemplateKind::kText).ok());
  EXPECT_EQ(ReadBytes(f.output), TextBlock(rows[1]));
  ASSERT_EQ(::stat(f.output.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(f.folder.path()), {}), 2)
      << "only Data and out.txt, no temporary file left";
}

// Each pass also replaces what the values before it brought in, so fields of
// a few kilobytes (from an import file, say) would multiply to terabytes. The
// export refuses before it asks for the memory; nothing is written.
TEST(ExportRowsTest, FieldsThatMultiplyPastTheLimitAreRefused) {
  ExportFixture f;
  WriteBytes(f.output, "old export");
  std::string from, date, index;
  for (int i = 0; i < 1000; ++i) {
    from += "$Date";
    date += "$Index";
    index += "$Message";
  }
  const Row bomb = MessageRow(std::string(1000, 'x'), from, date, "1", index);
  const ExportResult result =
      f.Export({Archive()[0], bomb}, RowSelection::All(), TemplateKind::kText);
  EXPECT_FALSE(result.ok());
  EXPECT_EQ(result.exported, 0u);
  EXPECT_NE(result.error.find("larger than 16 MB"), std::string::npos) << result.error;
  EXPECT_NE(result.error.find("row 2"), std::string::npos) << result.error;
  EXPECT_NE(result.error.find(f.output.string()), std::string::npos) << result.error;
  ASSERT_EQ(f.ui.messages.size(), 1u);
  EXPECT_EQ(f.ui.messages[0].kind, MessageKind::kError);
  EXPECT_FALSE(f.ui.progress_visible);
  EXPECT_EQ(ReadBytes(f.output), "old export");
}

// The limit holds for the whole text: exactly at it passes, one byte less fails.
TEST(ExportBytesTest, LimitCountsEveryBlockAndItsLineEnd) {
  const std::vector<Row> rows = {MessageRow("abc", "1"), MessageRow("de", "2")};
  // "abc" CR LF CR LF, then "de" CR LF CR LF: 7 + 6 bytes.
  const Result<std::string> whole =
      ExportBytes(rows, RowSelection::All(), "$Message", TemplateKind::kText, {}, 13);
  ASSERT_TRUE(whole.ok()) << whole.message();
  EXPECT_EQ(whole.value(), "abc\r\n\r\nde\r\n\r\n");
  for (const std::size_t limit : {12u, 7u, 6u, 1u, 0u}) {
    const Result<std::string> refused =
        ExportBytes(rows, RowSelection::All(), "$Message", TemplateKind::kText, {}, limit);
    EXPECT_FALSE(refused.ok()) << limit;
  }
}

TEST(ExportRowsTest, FailedWriteIsReportedAndProgressIdle) {
  ExportFixture f;
  std::filesystem::create_directory(f.folder / "taken.txt");
  for (const auto& output : {f.folder / "missing" / "out.txt", f.folder / "taken.txt"}) {
    ScriptedUserInterface ui;
    const ExportResult result = ExportRows(Archive(), RowSelection::All(), TemplateKind::kHtml,
                                           f.data, output, f.language, ui);
    EXPECT_FALSE(result.ok()) << output;
    EXPECT_EQ(result.exported, 0u);
    EXPECT_NE(result.error.find(output.string()), std::string::npos) << result.error;
    ASSERT_EQ(ui.messages.size(), 1u) << output;
    EXPECT_EQ(ui.messages[0].text, result.error);
    EXPECT_EQ(ui.messages[0].kind, MessageKind::kError);
    EXPECT_FALSE(ui.progress_visible);
    EXPECT_EQ(ui.progress_texts.back(), "");
  }
  EXPECT_TRUE(std::filesystem::is_directory(f.folder / "taken.txt"));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(f.folder.path()), {}), 2);
}

// A From of 7,000 "$Message" (as an import file may bring) would repeat a text
// of 60 KB 7,000 times: the export stops at that row and writes nothing.
TEST(ExportRowsTest, ABlockThatWouldGrowPastTheLimitStopsTheExport) {
  ExportFixture f;
  std::string from;
  for (int i = 0; i < 7000; ++i)
    from += "$Message";
  const std::vector<Row> rows = {Archive()[0], MessageRow(std::string(60000, 'm'), from)};
  const auto output = f.folder / "out.txt";
  ScriptedUserInterface ui;
  const ExportResult result =
      ExportRows(rows, RowSelection::All(), TemplateKind::kText, f.data, output, f.language, ui);
  EXPECT_FALSE(result.ok());
  EXPECT_NE(result.error.find("row 2"), std::string::npos) << result.error;
  EXPECT_FALSE(std::filesystem::exists(output));
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_FALSE(ui.progress_visible);

  // Under the limit the same placeholders in a From are filled in as ever.
  EXPECT_EQ(FillBlockWithin("$Number\r\n", MessageRow("text", "$Message $Message"),
                            TemplateKind::kText, 100),
            std::optional<std::string>("text text\r\n"));
  EXPECT_EQ(FillBlockWithin("$Number\r\n", MessageRow("text", "$Message $Message"),
                            TemplateKind::kText, 10),
            std::nullopt);
}

}  // namespace
}  // namespace missivo
