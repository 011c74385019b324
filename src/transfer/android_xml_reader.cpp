// Reading SMS backups through libxml2's streaming reader: the file is read in
// pieces through XmlInputFilter, so memory holds one piece and one element.
#include <libxml/xmlreader.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <memory>

#include "core/atomic_file.h"
#include "text/cp1251.h"
#include "transfer/android_xml.h"
#include "transfer/xml_input_filter.h"

namespace missivo {
namespace {

constexpr std::size_t kPiece = 64 * 1024;

// Where the bytes come from: a file, or a text in memory.
class Source {
 public:
  virtual ~Source() = default;
  // Up to `size` bytes into `buffer`; 0 at the end; -1 on a read error.
  virtual long Read(char* buffer, std::size_t size) = 0;
};

class FileSource : public Source {
 public:
  explicit FileSource(std::FILE* file) : file_(file) {}
  ~FileSource() override { std::fclose(file_); }
  long Read(char* buffer, std::size_t size) override {
    const std::size_t got = std::fread(buffer, 1, size, file_);
    if (got == 0 && std::ferror(file_)) return -1;
    return static_cast<long>(got);
  }

 private:
  std::FILE* file_;
};

class BytesSource : public Source {
 public:
  explicit BytesSource(std::string_view bytes) : bytes_(bytes) {}
  long Read(char* buffer, std::size_t size) override {
    const std::size_t n = std::min(size, bytes_.size());
    std::memcpy(buffer, bytes_.data(), n);
    bytes_.remove_prefix(n);
    return static_cast<long>(n);
  }

 private:
  std::string_view bytes_;
};

// What the reader callbacks share.
struct Input {
  explicit Input(Source& from) : source(from) {}
  Source& source;
  XmlInputFilter filter;
  std::string filtered;
  std::size_t served = 0;
  bool ended = false;
  bool refused = false;
  int read_errno = 0;
  std::string raw = std::string(kPiece, '\0');
};

int ReadInput(void* context, char* buffer, int length) {
  auto& input = *static_cast<Input*>(context);
  while (input.served == input.filtered.size()) {
    if (input.ended || input.refused) return 0;
    input.filtered.clear();
    input.served = 0;
    const long got = input.source.Read(input.raw.data(), input.raw.size());
    if (got < 0) {
      input.read_errno = errno;
      return -1;
    }
    input.ended = got == 0;
    if (!input.filter.Filter(std::string_view(input.raw.data(), static_cast<std::size_t>(got)),
                             input.ended, input.filtered)) {
      input.refused = true;
      return -1;
    }
  }
  const std::size_t n =
      std::min(static_cast<std::size_t>(length), input.filtered.size() - input.served);
  std::memcpy(buffer, input.filtered.data() + input.served, n);
  input.served += n;
  return static_cast<int>(n);
}

int CloseInput(void*) {
  return 0;
}

// The first error the parser reports.
struct ParseError {
  std::string message;
  int line = 0;
  int column = 0;
};

void OnError(void* context, xmlErrorPtr error) {
  auto& first = *static_cast<ParseError*>(context);
  if (error == nullptr || error->level < XML_ERR_ERROR || !first.message.empty()) return;
  std::string message = error->message != nullptr ? error->message : "unreadable XML";
  message = message.substr(0, message.find('\n'));
  first = {message.empty() ? "unreadable XML" : message, error->line, error->int2};
}

bool Is(const xmlChar* name, const char* wanted) {
  return name != nullptr && std::strcmp(reinterpret_cast<const char*>(name), wanted) == 0;
}

std::string_view Value(xmlTextReaderPtr reader) {
  const xmlChar* value = xmlTextReaderConstValue(reader);
  return value == nullptr ? std::string_view() : reinterpret_cast<const char*>(value);
}

std::optional<std::int64_t> Number(std::string_view text) {
  std::int64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

// "null" and "(Unknown)" stand for no value in these files.
std::string Meaningful(std::string_view text) {
  if (text == "null" || text == "(Unknown)") return {};
  return std::string(text);
}

// MMS dates are milliseconds in backups; a value this small can only be seconds.
std::optional<SmsTime> MmsTime(std::string_view text) {
  const std::optional<std::int64_t> value = Number(text);
  if (!value) return std::nullopt;
  return SmsTime{*value < 100'000'000'000 ? *value * 1000 : *value, std::nullopt};
}

RowKind KindOfMessageBox(std::string_view box) {
  if (box == "1") return RowKind::kIncoming;
  if (box == "2" || box == "4") return RowKind::kOutgoing;
  if (box == "3") return RowKind::kDraft;
  return RowKind::kImported;
}

// An mms element on its way: its attributes, then its parts and addresses.
struct Mms {
  SmsRecord record;
  std::string from;  // addr of type 137
  std::string to;    // addrs of type 151, joined
  bool has_text = false;
};

class BackupReader {
 public:
  BackupReader(xmlTextReaderPtr reader, const std::function<void(SmsRecord&&)>& on_message,
               AndroidXmlRead& result)
      : reader_(reader), on_message_(on_message), result_(result) {}

  // Reads to the end; false when the parser stopped or the file is no backup.
  bool Run(std::string& not_backup) {
    int status = 0;
    while ((status = xmlTextReaderRead(reader_)) == 1) {
      const int type = xmlTextReaderNodeType(reader_);
      const xmlChar* name = xmlTextReaderConstLocalName(reader_);
      if (type == XML_READER_TYPE_ELEMENT) {
        if (!seen_root_) {
          seen_root_ = true;
          if (!Is(name, "smses")) {
            not_backup = "the root element is <" +
                         std::string(name ? reinterpret_cast<const char*>(name) : "") +
                         ">, not <smses> of an SMS backup";
            return false;
          }
          continue;
        }
        const bool empty = xmlTextReaderIsEmptyElement(reader_) == 1;
        Element(name, empty);
      } else if (type == XML_READER_TYPE_END_ELEMENT && Is(name, "mms")) {
        EndMms();
      }
    }
    return status == 0;
  }

 private:
  void Element(const xmlChar* name, bool empty) {
    if (mms_) {
      if (Is(name, "part")) Part();
      if (Is(name, "addr")) Address();
      return;
    }
    if (Is(name, "sms")) Sms();
    if (Is(name, "mms")) {
      StartMms();
      if (empty) EndMms();
    }
  }

  template <typename Take>
  void Attributes(Take take) {
    for (int more = xmlTextReaderMoveToFirstAttribute(reader_); more == 1;
         more = xmlTextReaderMoveToNextAttribute(reader_)) {
      take(std::string_view(reinterpret_cast<const char*>(xmlTextReaderConstLocalName(reader_))),
           Value(reader_));
    }
    xmlTextReaderMoveToElement(reader_);
  }

  void Sms() {
    SmsRecord record;
    record.kind = RowKind::kImported;
    Attributes([&](std::string_view name, std::string_view value) {
      if (name == "address") {
        record.number = Meaningful(value);
      } else if (name == "body") {
        record.text = value;
      } else if (name == "date") {
        if (const auto ms = Number(value)) record.time = SmsTime{*ms, std::nullopt};
      } else if (name == "type") {
        record.kind = KindOfAndroidSmsType(value);
      } else if (name == "read") {
        record.read = value != "0";
      } else if (name == "contact_name") {
        record.contact = Meaningful(value);
      }
    });
    Hand(std::move(record));
  }

  void StartMms() {
    mms_ = std::make_unique<Mms>();
    SmsRecord& record = mms_->record;
    record.kind = RowKind::kImported;
    Attributes([&](std::string_view name, std::string_view value) {
      if (name == "address") {
        record.number = Meaningful(value);
      } else if (name == "date") {
        record.time = MmsTime(value);
      } else if (name == "msg_box") {
        record.kind = KindOfMessageBox(value);
      } else if (name == "read") {
        record.read = value != "0";
      } else if (name == "contact_name") {
        record.contact = Meaningful(value);
      }
    });
  }

  void Part() {
    std::string content_type;
    std::string text;
    bool has_text = false;
    Attributes([&](std::string_view name, std::string_view value) {
      if (name == "ct") content_type = value;
      if (name == "text") {
        text = Meaningful(value);
        has_text = true;
      }
    });
    if (content_type == "application/smil") return;  // the layout, not content
    if (content_type != "text/plain" || !has_text) {
      ++result_.media_skipped;
      return;
    }
    std::string& body = mms_->record.text;
    if (mms_->has_text) body += '\n';
    body += text;
    mms_->has_text = true;
  }

  void Address() {
    std::string address;
    std::string type;
    Attributes([&](std::string_view name, std::string_view value) {
      if (name == "address") address = Meaningful(value);
      if (name == "type") type = value;
    });
    if (address.empty()) return;
    if (type == "137") mms_->from = address;
    if (type == "151") mms_->to += (mms_->to.empty() ? "" : ", ") + address;
  }

  void EndMms() {
    if (!mms_) return;
    std::unique_ptr<Mms> mms = std::move(mms_);
    if (!mms->has_text) {
      ++result_.mms_without_text;
      return;
    }
    SmsRecord& record = mms->record;
    if (record.number.empty()) {
      record.number = record.kind == RowKind::kIncoming ? mms->from : mms->to;
    }
    Hand(std::move(record));
  }

  void Hand(SmsRecord&& record) {
    ++result_.messages;
    on_message_(std::move(record));
  }

  xmlTextReaderPtr reader_;
  const std::function<void(SmsRecord&&)>& on_message_;
  AndroidXmlRead& result_;
  bool seen_root_ = false;
  std::unique_ptr<Mms> mms_;
};

std::string Where(const std::string& name, std::size_t line, std::size_t column) {
  return name + ", line " + std::to_string(line) + ", column " + std::to_string(column);
}

AndroidXmlRead ReadFrom(Source& source, const std::string& name,
                        const std::function<void(SmsRecord&&)>& on_message) {
  AndroidXmlRead result;
  Input input(source);
  ParseError parse_error;
  // No network, no DTD loading, no entity substitution; the parser's own
  // limits (10 MB per attribute or text, nesting depth) stay on.
  const xmlTextReaderPtr reader =
      xmlReaderForIO(ReadInput, CloseInput, &input, nullptr, nullptr, XML_PARSE_NONET);
  if (reader == nullptr) {
    result.error = "Cannot read " + name + ": the XML reader could not start.";
    return result;
  }
  xmlTextReaderSetStructuredErrorHandler(reader, OnError, &parse_error);
  std::string not_backup;
  BackupReader backup(reader, on_message, result);
  const bool whole = backup.Run(not_backup);
  const int line = xmlTextReaderGetParserLineNumber(reader);
  const int column = xmlTextReaderGetParserColumnNumber(reader);
  xmlFreeTextReader(reader);
  result.lone_surrogates = input.filter.lone_surrogates();
  if (input.refused) {
    result.error =
        Where(name, input.filter.line(), input.filter.column()) + ": " + input.filter.error() + ".";
  } else if (input.read_errno != 0) {
    result.error = "Cannot read " + name + ": " + std::strerror(input.read_errno) + ".";
  } else if (!not_backup.empty()) {
    result.error = Where(name, static_cast<std::size_t>(line), static_cast<std::size_t>(column)) +
                   ": " + Utf8ToCp1251(not_backup) + ".";
  } else if (!parse_error.message.empty()) {
    result.error = Where(name, static_cast<std::size_t>(parse_error.line),
                         static_cast<std::size_t>(parse_error.column)) +
                   ": " + Utf8ToCp1251(parse_error.message) + ".";
  } else if (!whole) {
    result.error = Where(name, static_cast<std::size_t>(line), static_cast<std::size_t>(column)) +
                   ": the XML reader stopped.";
  }
  return result;
}

}  // namespace

int AndroidSmsType(RowKind kind) {
  switch (kind) {
    case RowKind::kOutgoing:
      return 2;
    case RowKind::kDraft:
      return 3;
    case RowKind::kIncoming:
    case RowKind::kImported:
      break;
  }
  return 1;
}

RowKind KindOfAndroidSmsType(std::string_view type) {
  if (type == "1") return RowKind::kIncoming;
  if (type == "2" || type == "4" || type == "5" || type == "6") return RowKind::kOutgoing;
  if (type == "3") return RowKind::kDraft;
  return RowKind::kImported;
}

AndroidXmlRead ReadAndroidXml(const std::filesystem::path& path,
                              const std::function<void(SmsRecord&&)>& on_message) {
  std::FILE* file = std::fopen(path.c_str(), "rbe");
  if (file == nullptr) {
    AndroidXmlRead result;
    result.error = "Cannot open " + QuotedFileName(path) + ": " + std::strerror(errno) + ".";
    return result;
  }
  FileSource source(file);
  return ReadFrom(source, QuotedFileName(path), on_message);
}

AndroidXmlRead ReadAndroidXmlBytes(std::string_view bytes, const std::string& name,
                                   const std::function<void(SmsRecord&&)>& on_message) {
  BytesSource source(bytes);
  return ReadFrom(source, name, on_message);
}

}  // namespace missivo
