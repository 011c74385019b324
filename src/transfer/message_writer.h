// The message formats of the exports, each written as a stream: the start,
// one record at a time, the end, so that no more than one record's text is
// held besides what the sink keeps.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>

#include "core/status.h"
#include "store/row.h"

namespace missivo {

enum class MessageFormat {
  kAndroidXml,  // the SMS backup XML of phone apps
  kCsv,         // RFC 4180, UTF-8, header kind,time,number,contact,text,index
  kJson,        // an array of objects with the named fields of `list --json`
  kHtmlPage,    // a complete UTF-8 page, messages as conversation blocks
};

// The format of a name used on the command line and as a file type: "xml",
// "csv", "json", "html-utf8".
std::optional<MessageFormat> MessageFormatOfName(std::string_view name);

// The extension of the format's files, without the dot.
const char* ExtensionOf(MessageFormat format);

class MessageWriter {
 public:
  virtual ~MessageWriter() = default;
  [[nodiscard]] virtual Status Begin(std::size_t count) = 0;
  // One message row of the archive or of the messages list.
  [[nodiscard]] virtual Status Add(const Row& row) = 0;
  [[nodiscard]] virtual Status End() = 0;
};

// A writer of whole texts into a sink.
class TextWriter : public MessageWriter {
 public:
  explicit TextWriter(std::function<bool(std::string_view)> sink) : sink_(std::move(sink)) {}

 protected:
  // Hands `text` to the sink; a failure when the sink refuses it.
  [[nodiscard]] Status Put(std::string_view text);

 private:
  std::function<bool(std::string_view)> sink_;
};

// A writer of `format` into `sink`, which returns false to stop the write.
std::unique_ptr<MessageWriter> MakeMessageWriter(MessageFormat format,
                                                 std::function<bool(std::string_view)> sink);

// The field of a CSV record: as it is, or in double quotes (quotes doubled)
// when it holds a comma, a quote, CR or LF.
std::string CsvField(std::string_view value);

}  // namespace missivo
