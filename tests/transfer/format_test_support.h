// What the tests of the exchange formats share: a fixed zone for the local
// conversions, the records of an XML text, and the sample files.
#pragma once

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "text/language.h"
#include "transfer/android_xml.h"
#include "transfer/message_writer.h"

namespace missivo::test {

inline const std::filesystem::path kFormats = std::filesystem::path(MISSIVO_TEST_DATA) / "formats";

// Runs the test in the Moscow zone (UTC+3, no summer time since 2014), so that
// local times in expectations hold on any machine.
class MoscowZone {
 public:
  MoscowZone() {
    if (const char* tz = std::getenv("TZ")) saved_ = tz, had_ = true;
    setenv("TZ", "MSK-3", 1);
    tzset();
  }
  ~MoscowZone() {
    if (had_) {
      setenv("TZ", saved_.c_str(), 1);
    } else {
      unsetenv("TZ");
    }
    tzset();
  }

 private:
  std::string saved_;
  bool had_ = false;
};

struct XmlRecords {
  std::vector<SmsRecord> records;
  AndroidXmlRead read;
};

inline XmlRecords ReadXmlText(std::string_view bytes) {
  XmlRecords out;
  out.read = ReadAndroidXmlBytes(bytes, "\"test.xml\"",
                                 [&](SmsRecord&& r) { out.records.push_back(std::move(r)); });
  return out;
}

inline XmlRecords ReadXmlFile(const std::filesystem::path& path) {
  XmlRecords out;
  out.read = ReadAndroidXml(path, [&](SmsRecord&& r) { out.records.push_back(std::move(r)); });
  return out;
}

// The built-in Russian language.
const LanguageLines& Russian();

// The archive rows of `records` (RowOfRecord).
std::vector<Row> RowsOf(const std::vector<SmsRecord>& records);

// The whole output of a message writer over the rows of `records`.
std::string WriteRecords(MessageFormat format, const std::vector<SmsRecord>& records);

}  // namespace missivo::test
