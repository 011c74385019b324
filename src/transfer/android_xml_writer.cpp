// Writing SMS backups through libxml2's streaming writer.
#include <libxml/xmlwriter.h>

#include "transfer/android_xml.h"
#include "transfer/sms_time.h"
#include "transfer/utf8_text.h"

namespace missivo {

struct AndroidXmlWriter::State {
  std::function<bool(std::string_view)> sink;
  xmlTextWriterPtr writer = nullptr;
  bool sink_failed = false;
};

namespace {

int WriteOutput(void* context, const char* buffer, int length) {
  auto& state = *static_cast<AndroidXmlWriter::State*>(context);
  if (state.sink_failed ||
      !state.sink(std::string_view(buffer, static_cast<std::size_t>(length)))) {
    state.sink_failed = true;
    return -1;
  }
  return length;
}

int CloseOutput(void*) {
  return 0;
}

const xmlChar* X(const char* text) {
  return reinterpret_cast<const xmlChar*>(text);
}

// The date as people read it, in the message's own zone (or the computer's).
std::string ReadableDate(const SmsTime& time) {
  std::string iso = IsoTime(time);  // 2026-12-10T17:43:05[.250](Z|+03:00)
  iso[10] = ' ';
  const std::size_t zone = iso.find_first_of("Z+-", 19);
  const std::size_t seconds_end = iso.find('.', 19) != std::string::npos ? iso.find('.', 19) : zone;
  return iso.substr(0, seconds_end) + " " + (iso[zone] == 'Z' ? "+00:00" : iso.substr(zone));
}

}  // namespace

AndroidXmlWriter::AndroidXmlWriter(std::function<bool(std::string_view)> sink)
    : state_(std::make_unique<State>()) {
  state_->sink = std::move(sink);
  xmlOutputBufferPtr output =
      xmlOutputBufferCreateIO(WriteOutput, CloseOutput, state_.get(), nullptr);
  if (output != nullptr) state_->writer = xmlNewTextWriter(output);
}

AndroidXmlWriter::~AndroidXmlWriter() {
  if (state_->writer != nullptr) xmlFreeTextWriter(state_->writer);
}

namespace {

Status Checked(int written, const AndroidXmlWriter::State& state) {
  if (written >= 0) return {};
  return Status::Failure(state.sink_failed ? "The backup could not be written."
                                           : "The XML writer failed.");
}

}  // namespace

Status AndroidXmlWriter::Begin(std::size_t count) {
  xmlTextWriterPtr w = state_->writer;
  if (w == nullptr) return Status::Failure("The XML writer could not start.");
  xmlTextWriterSetIndent(w, 1);
  xmlTextWriterSetIndentString(w, X("  "));
  if (xmlTextWriterStartDocument(w, "1.0", "UTF-8", "yes") < 0 ||
      xmlTextWriterStartElement(w, X("smses")) < 0) {
    return Checked(-1, *state_);
  }
  return Checked(xmlTextWriterWriteAttribute(w, X("count"), X(std::to_string(count).c_str())),
                 *state_);
}

Status AndroidXmlWriter::Add(const SmsRecord& record) {
  xmlTextWriterPtr w = state_->writer;
  const std::string date = record.time ? std::to_string(record.time->utc_ms) : "0";
  const std::string type = std::to_string(AndroidSmsType(record.kind));
  const std::string number = XmlSafeText(record.number);
  const std::string body = XmlSafeText(record.text);
  const std::string contact = record.contact.empty() ? "(Unknown)" : XmlSafeText(record.contact);
  const std::string readable = record.time ? ReadableDate(*record.time) : "";
  const std::string date_sent = record.kind == RowKind::kIncoming ? date : "0";
  const std::pair<const char*, const char*> attributes[] = {
      {"protocol", "0"},
      {"address", number.c_str()},
      {"date", date.c_str()},
      {"type", type.c_str()},
      {"subject", "null"},
      {"body", body.c_str()},
      {"toa", "null"},
      {"sc_toa", "null"},
      {"service_center", "null"},
      {"read", record.read ? "1" : "0"},
      {"status", "-1"},
      {"locked", "0"},
      {"date_sent", date_sent.c_str()},
      {"readable_date", readable.c_str()},
      {"contact_name", contact.c_str()},
  };
  if (xmlTextWriterStartElement(w, X("sms")) < 0) return Checked(-1, *state_);
  for (const auto& [name, value] : attributes) {
    if (xmlTextWriterWriteAttribute(w, X(name), X(value)) < 0) return Checked(-1, *state_);
  }
  return Checked(xmlTextWriterEndElement(w), *state_);
}

Status AndroidXmlWriter::End() {
  xmlTextWriterPtr w = state_->writer;
  if (xmlTextWriterEndDocument(w) < 0) return Checked(-1, *state_);
  return Checked(xmlTextWriterFlush(w), *state_);
}

}  // namespace missivo
