// The XML backup of SMS apps: <smses count="N"> holding <sms .../> elements
// (and <mms> elements with <parts> and <addrs>), read and written as a stream.
//
//   <sms protocol="0" address="+79035550101" date="1765381385000" type="1"
//        subject="null" body="Привет 😀" toa="null" sc_toa="null"
//        service_center="null" read="1" status="-1" locked="0" date_sent="0"
//        readable_date="2026-12-10 17:43:05 +03:00" contact_name="Мама" />
//
// date is milliseconds since 1970 (UTC); type 1 received, 2 sent, 3 draft,
// 4 outbox, 5 failed, 6 queued. The text goes in the body attribute.
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "core/status.h"
#include "transfer/sms_record.h"

namespace missivo {

// What a read found. `error` (Windows-1251) is empty when the whole file was
// read; otherwise it names the file, the line and column where it broke and
// why, and the messages handed on before that point are all there are.
struct AndroidXmlRead {
  std::size_t messages = 0;       // sms elements and mms with text, handed on
  std::size_t media_skipped = 0;  // mms parts other than text (pictures, sound, ...)
  std::size_t mms_without_text = 0;
  std::size_t lone_surrogates = 0;  // halves of a pair without the other, read as U+FFFD
  std::string error;
  bool ok() const { return error.empty(); }
};

// Reads the backup at `path` piece by piece, handing every message to
// `on_message` in file order: sms types 1 as incoming, 2, 4, 5 and 6 as
// outgoing, 3 as a draft (others as imported); an mms as one message of its
// text parts joined by line breaks (msg_box 1 incoming, 2 and 4 outgoing, 3
// draft), its other parts counted as skipped media. Characters outside the
// BMP may be raw UTF-8 or references to the halves of their surrogate pair.
// A file declaring a document type or entities is refused (see
// XmlInputFilter); an attribute over 10 MB breaks the read.
[[nodiscard]] AndroidXmlRead ReadAndroidXml(const std::filesystem::path& path,
                                            const std::function<void(SmsRecord&&)>& on_message);

// The same over bytes in memory; `name` stands for the file in the error.
[[nodiscard]] AndroidXmlRead ReadAndroidXmlBytes(
    std::string_view bytes, const std::string& name,
    const std::function<void(SmsRecord&&)>& on_message);

// Writes a backup as a stream: the declaration and <smses count="N">, one
// <sms> per Add, and the end. Text is UTF-8 throughout, characters outside
// the BMP included as they are (bytes that are not UTF-8, and controls XML
// cannot hold, become U+FFFD). Every attribute the apps need to restore is
// written: incoming as type 1, outgoing 2, draft 3 (imported rows as 1); the
// date from the record's time (0 when it has none).
class AndroidXmlWriter {
 public:
  // `sink` takes the bytes; it returns false to stop the write.
  explicit AndroidXmlWriter(std::function<bool(std::string_view)> sink);
  ~AndroidXmlWriter();
  AndroidXmlWriter(const AndroidXmlWriter&) = delete;
  AndroidXmlWriter& operator=(const AndroidXmlWriter&) = delete;

  [[nodiscard]] Status Begin(std::size_t count);
  [[nodiscard]] Status Add(const SmsRecord& record);
  [[nodiscard]] Status End();

  struct State;  // the libxml2 writer and the sink

 private:
  std::unique_ptr<State> state_;
};

// The sms type of a record's kind, and the kind of an sms type.
int AndroidSmsType(RowKind kind);
RowKind KindOfAndroidSmsType(std::string_view type);

}  // namespace missivo
