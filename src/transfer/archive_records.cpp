#include "transfer/archive_records.h"

#include <optional>

#include "phone/dates.h"
#include "phone/message_rows.h"
#include "store/contact_fields.h"
#include "store/message_fields.h"
#include "text/cp1251.h"
#include "transfer/sms_time.h"
#include "transfer/utf8_text.h"

namespace missivo {
namespace {

struct KindLook {
  RowKind kind;
  const char* type_key;
  std::int32_t image;
};

constexpr KindLook kKindLooks[] = {
    {RowKind::kIncoming, "Str67", kImageIncoming},
    {RowKind::kOutgoing, "Str68", kImageOutgoing},
    {RowKind::kDraft, "Str69", kImageDraft},
    {RowKind::kImported, "Str71", kImageImported},
};

const KindLook& LookOf(RowKind kind) {
  for (const KindLook& look : kKindLooks) {
    if (look.kind == kind) return look;
  }
  return kKindLooks[3];
}

}  // namespace

SmsRecord RecordOfRow(const Row& row) {
  // The fields are read once: BestText, BestNumber and BestKind would each
  // read them again.
  const std::optional<MessageFields> fields = ReadMessageFields(row);
  const std::string& from = SubItem(row, kFrom);
  SmsRecord record;
  record.kind = fields ? fields->kind : BestKind(row).value_or(RowKind::kImported);
  record.text = fields ? fields->text : Cp1251ToUtf8(row.caption);
  record.number =
      fields && !fields->number.empty() ? fields->number : Cp1251ToUtf8(NumberInFrom(from));
  record.contact = BestContact(row, fields);
  record.from = BestFrom(row, fields);
  record.type = Cp1251ToUtf8(SubItem(row, kType));
  if (fields && !fields->time.empty()) record.time = ParseIsoTime(fields->time);
  if (!record.time) record.time = ParseArchiveDate(SubItem(row, kDateTime));
  record.size = Cp1251ToUtf8(SubItem(row, kSize));
  record.index = Cp1251ToUtf8(SubItem(row, kIndex));
  if (fields) record.parts = fields->parts;
  return record;
}

Row RowOfRecord(const SmsRecord& record, const LanguageLines& language) {
  const KindLook& look = LookOf(record.kind);
  const std::string number = Utf8ToCp1251(record.number);
  Row row;
  row.caption = MessageCaption(Utf8ToCp1251(record.text));
  row.sub_items.resize(kMessageFieldCount);
  const std::string contact = Utf8ToCp1251(record.contact);
  row.sub_items[kFrom] = contact.empty()  ? number
                         : number.empty() ? contact
                                          : contact + " (" + number + ")";
  row.sub_items[kDateTime] = record.time ? ArchiveDate(*record.time) : MakeDate().substr(0, 19);
  row.sub_items[kSize] = std::to_string(CodePoints(record.text));
  row.sub_items[kIndex] = "0000";
  row.sub_items[kType] = language.LangText(look.type_key);
  row.image = look.image;

  MessageFields fields;
  fields.kind = record.kind;
  fields.text = record.text;
  fields.number = record.number;
  if (record.time) fields.time = IsoTime(*record.time);
  if (!contact.empty() && !number.empty()) fields.contact = LosslessContact(record.contact);
  WriteMessageFields(row, fields);
  return row;
}

ContactRecord ContactOfRow(const Row& row) {
  return {ContactName(row), ContactNumber(row)};
}

Row RowOfContact(const ContactRecord& contact) {
  return MakeContactRow(contact.name, contact.number);
}

}  // namespace missivo
