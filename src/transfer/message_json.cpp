#include "transfer/message_json.h"

#include <optional>

#include "store/message_fields.h"
#include "text/cp1251.h"
#include "transfer/utf8_text.h"

namespace missivo {
namespace {

using Json = nlohmann::ordered_json;

// A text, or null when it is empty.
Json TextOrNull(std::string_view utf8) {
  return utf8.empty() ? Json() : Json(utf8);
}

}  // namespace

void AddMessageKeys(const Row& row, Json& object) {
  const std::optional<MessageFields> fields = ReadMessageFields(row);
  object["text"] = BestText(row);
  object["from"] = BestFrom(row, fields);
  object["number"] = BestNumber(row);
  object["contact"] = TextOrNull(BestContact(row, fields));
  object["time"] = fields ? TextOrNull(fields->time) : Json();
  const std::optional<RowKind> kind = BestKind(row);
  object["kind"] = kind ? Json(KindName(*kind)) : Json();
  if (fields) {
    object["size"] = CodePoints(fields->text);
  } else {
    const std::string& size = SubItem(row, kSize);
    object["size"] = !size.empty() && size.find_first_not_of("0123456789") == std::string::npos
                         ? Json(std::stoull(size.substr(0, 18)))
                         : Json();
  }
  object["index"] = Cp1251ToUtf8(SubItem(row, kIndex));
  object["parts"] = fields ? Json(fields->parts) : Json();
  object["storage"] = fields ? TextOrNull(fields->storage) : Json();
}

}  // namespace missivo
