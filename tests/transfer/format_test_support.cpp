#include "format_test_support.h"

#include <gtest/gtest.h>

#include "text/default_language.h"
#include "transfer/archive_records.h"

namespace missivo::test {

const LanguageLines& Russian() {
  static const LanguageLines language = [] {
    LanguageLines lines;
    lines.LoadFromBytes(DefaultRussianFileBytes());
    return lines;
  }();
  return language;
}

std::vector<Row> RowsOf(const std::vector<SmsRecord>& records) {
  std::vector<Row> rows;
  for (const SmsRecord& record : records)
    rows.push_back(RowOfRecord(record, Russian()));
  return rows;
}

std::string WriteRecords(MessageFormat format, const std::vector<SmsRecord>& records) {
  std::string out;
  const auto writer = MakeMessageWriter(format, [&](std::string_view bytes) {
    out += bytes;
    return true;
  });
  EXPECT_TRUE(writer->Begin(records.size()).ok());
  for (const Row& row : RowsOf(records))
    EXPECT_TRUE(writer->Add(row).ok());
  EXPECT_TRUE(writer->End().ok());
  return out;
}

}  // namespace missivo::test
