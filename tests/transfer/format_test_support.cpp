#include "format_test_support.h"

#include <gtest/gtest.h>

namespace missivo::test {

std::string WriteRecords(MessageFormat format, const std::vector<SmsRecord>& records) {
  std::string out;
  const auto writer = MakeMessageWriter(format, [&](std::string_view bytes) {
    out += bytes;
    return true;
  });
  EXPECT_TRUE(writer->Begin(records.size()).ok());
  for (const SmsRecord& record : records)
    EXPECT_TRUE(writer->Add(record).ok());
  EXPECT_TRUE(writer->End().ok());
  return out;
}

}  // namespace missivo::test
