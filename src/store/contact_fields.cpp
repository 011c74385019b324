#include "store/contact_fields.h"

#include "store/field_block.h"
#include "text/cp1251.h"

namespace missivo {
namespace {

constexpr std::size_t kFirstFieldSubItem = kNumber + 1;  // sub-item 1

}  // namespace

Row MakeContactRow(std::string_view name, std::string_view number) {
  Row row;
  row.caption = Utf8ToCp1251(name);
  row.sub_items.push_back(Utf8ToCp1251(number));
  row.image = kImageContact;
  FieldBlock block;
  AddFieldLine(block, "name", LosslessValue(name));
  AddFieldLine(block, "number", LosslessValue(number));
  if (!block.lines.empty()) WriteFieldBlock(row, kFirstFieldSubItem, kContactFieldsMarker, block);
  return row;
}

bool HasContactFields(const Row& row) {
  return HasFieldBlock(row, kFirstFieldSubItem, kContactFieldsMarker);
}

std::optional<ContactFields> ReadContactFields(const Row& row) {
  FieldText block;
  if (!ReadFieldText(row, kFirstFieldSubItem, kContactFieldsMarker, block)) return std::nullopt;
  ContactFields fields;
  for (const auto& [key, raw] : block.lines) {
    if (key == "name") {
      fields.name = UnescapeFieldValue(raw);
    } else if (key == "number") {
      fields.number = UnescapeFieldValue(raw);
    } else {
      fields.other.emplace_back(key, UnescapeFieldValue(raw));
    }
  }
  return fields;
}

std::string ContactName(const Row& row) {
  const std::optional<ContactFields> fields = ReadContactFields(row);
  return PreferLossless(fields ? fields->name : std::string_view(), row.caption);
}

std::string ContactNumber(const Row& row) {
  const std::optional<ContactFields> fields = ReadContactFields(row);
  return PreferLossless(fields ? fields->number : std::string_view(), SubItem(row, kNumber));
}

}  // namespace missivo
