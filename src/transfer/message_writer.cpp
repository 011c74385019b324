#include "transfer/message_writer.h"

#include <nlohmann/json.hpp>

#include "transfer/android_xml.h"
#include "transfer/archive_records.h"
#include "transfer/html_page.h"
#include "transfer/message_json.h"
#include "transfer/sms_time.h"
#include "transfer/utf8_text.h"

namespace missivo {
namespace {

class XmlWriter : public MessageWriter {
 public:
  explicit XmlWriter(std::function<bool(std::string_view)> sink) : writer_(std::move(sink)) {}
  Status Begin(std::size_t count) override { return writer_.Begin(count); }
  Status Add(const Row& row) override { return writer_.Add(RecordOfRow(row)); }
  Status End() override { return writer_.End(); }

 private:
  AndroidXmlWriter writer_;
};

class CsvWriter : public TextWriter {
 public:
  using TextWriter::TextWriter;
  Status Begin(std::size_t) override { return Put("kind,time,number,contact,text,index\r\n"); }
  Status Add(const Row& row) override {
    const SmsRecord r = RecordOfRow(row);
    std::string line(KindName(r.kind));
    for (const std::string& field :
         {r.time ? IsoTime(*r.time) : std::string(), r.number, r.contact, r.text, r.index}) {
      line += ',';
      line += CsvField(XmlSafeText(field));
    }
    line += "\r\n";
    return Put(line);
  }
  Status End() override { return {}; }
};

class JsonWriter : public TextWriter {
 public:
  using TextWriter::TextWriter;
  Status Begin(std::size_t) override { return Put("["); }
  Status Add(const Row& row) override {
    nlohmann::ordered_json object = nlohmann::ordered_json::object();
    AddMessageKeys(row, object);
    std::string text = first_ ? "\n  " : ",\n  ";
    first_ = false;
    text += object.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
    return Put(text);
  }
  Status End() override { return Put(first_ ? "]\n" : "\n]\n"); }

 private:
  bool first_ = true;
};

}  // namespace

Status TextWriter::Put(std::string_view text) {
  if (sink_(text)) return {};
  return Status::Failure("The export could not be written.");
}

std::optional<MessageFormat> MessageFormatOfName(std::string_view name) {
  if (name == "xml") return MessageFormat::kAndroidXml;
  if (name == "csv") return MessageFormat::kCsv;
  if (name == "json") return MessageFormat::kJson;
  if (name == "html-utf8") return MessageFormat::kHtmlPage;
  return std::nullopt;
}

const char* ExtensionOf(MessageFormat format) {
  switch (format) {
    case MessageFormat::kAndroidXml:
      return "xml";
    case MessageFormat::kCsv:
      return "csv";
    case MessageFormat::kJson:
      return "json";
    case MessageFormat::kHtmlPage:
      break;
  }
  return "html";
}

std::unique_ptr<MessageWriter> MakeMessageWriter(MessageFormat format,
                                                 std::function<bool(std::string_view)> sink) {
  switch (format) {
    case MessageFormat::kAndroidXml:
      return std::make_unique<XmlWriter>(std::move(sink));
    case MessageFormat::kCsv:
      return std::make_unique<CsvWriter>(std::move(sink));
    case MessageFormat::kJson:
      return std::make_unique<JsonWriter>(std::move(sink));
    case MessageFormat::kHtmlPage:
      break;
  }
  return MakeHtmlPageWriter(std::move(sink));
}

std::string CsvField(std::string_view value) {
  if (value.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(value);
  std::string quoted = "\"";
  for (const char c : value) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  quoted += '"';
  return quoted;
}

}  // namespace missivo
