// SMS backups: any bytes give the messages before the first fault and, when
// there is a fault, a message naming the file; every message is valid UTF-8
// and makes an archive row of five sub-items and the lossless fields.
#include "fuzz_support.h"
#include "store/message_fields.h"
#include "transfer/archive_records.h"
#include "transfer/exchange_import.h"
#include "transfer/utf8_text.h"

namespace missivo {
namespace {

void Check(std::string_view bytes) {
  std::size_t handed = 0;
  const AndroidXmlRead read = ReadAndroidXmlBytes(bytes, "\"fuzz.xml\"", [&](SmsRecord&& record) {
    ++handed;
    fuzz::Require(
        IsValidUtf8(record.text) && IsValidUtf8(record.number) && IsValidUtf8(record.contact),
        "the texts of a message are UTF-8");
    const Row row = RowOfRecord(record, fuzz::DefaultLanguage());
    fuzz::Require(row.sub_items.size() > kMessageFieldCount, "a row has the five and its fields");
    fuzz::Require(BestText(row) == record.text, "the row keeps the whole text");
  });
  fuzz::Require(handed == read.messages, "every message counted is handed on");
  fuzz::Require(read.ok() || read.error.find("\"fuzz.xml\"") != std::string::npos,
                "a fault names the file");
}

}  // namespace
}  // namespace missivo

MISSIVO_FUZZ_TEXT_TARGET(missivo::Check)
