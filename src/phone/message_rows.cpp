#include "phone/message_rows.h"

#include "phone/dates.h"
#include "text/cp1251.h"

namespace missivo {
namespace {

constexpr std::size_t kDateLength = 19;

bool IsIncoming(std::string_view status) {
  return status == "REC READ" || status == "REC UNREAD";
}

}  // namespace

std::string MessageCaption(std::string_view text) {
  std::string caption;
  caption.reserve(text.size());
  for (char c : text) {
    if (static_cast<unsigned char>(c) >= 20) caption.push_back(c);
  }
  return caption;
}

std::string TypeOfStatus(std::string_view status, const LanguageLines& language) {
  if (IsIncoming(status)) return language.LangText("Str67");
  if (status == "STO SENT") return language.LangText("Str68");
  return language.LangText("Str69");
}

std::int32_t ImageOfStatus(std::string_view status) {
  if (IsIncoming(status)) return kImageIncoming;
  if (status == "STO SENT") return kImageOutgoing;
  return kImageDraft;
}

RowKind KindOfStatus(std::string_view status) {
  if (IsIncoming(status)) return RowKind::kIncoming;
  if (status == "STO SENT") return RowKind::kOutgoing;
  return RowKind::kDraft;
}

bool IsStoredByUser(std::string_view status) {
  return status == "STO SENT" || status == "STO UNSENT";
}

Row MakeMessageRow(const MessageRecord& record, std::string_view index,
                   const LanguageLines& language, std::string_view read_moment) {
  if (!record.header_readable) return MakeUnreadableHeaderRow(record, index, language, read_moment);
  const std::string date =
      IsStoredByUser(record.status) ? std::string(read_moment) : NormalizeDate(record.date);
  Row row;
  row.caption = MessageCaption(record.text);
  row.sub_items.resize(kMessageFieldCount);
  row.sub_items[kFrom] = record.sender;
  row.sub_items[kDateTime] = date.substr(0, kDateLength);
  row.sub_items[kSize] = std::to_string(record.text.size());
  row.sub_items[kIndex] = std::string(index);
  row.sub_items[kType] = TypeOfStatus(record.status, language);
  row.image = ImageOfStatus(record.status);

  MessageFields fields;
  fields.kind = KindOfStatus(record.status);
  fields.text = record.whole_text;
  fields.number = Cp1251ToUtf8(record.sender);
  if (record.stamped) fields.time = IsoTimeOfStamp(record.date);
  fields.parts = {std::string(index)};
  WriteMessageFields(row, fields);
  return row;
}

Row MakeUnreadableHeaderRow(const MessageRecord& record, std::string_view index,
                            const LanguageLines& language, std::string_view read_moment) {
  Row row;
  row.caption = MessageCaption(record.text);
  row.sub_items.resize(kMessageFieldCount);
  row.sub_items[kFrom] = language.LangText(kUnreadableHeaderKey);
  row.sub_items[kDateTime] = std::string(read_moment.substr(0, kDateLength));
  row.sub_items[kSize] = std::to_string(record.text.size());
  row.sub_items[kIndex] = std::string(index);
  row.image = -1;
  return row;
}

}  // namespace missivo
