#include "store/contact_fields.h"

#include "store/field_block.h"
#include "text/cp1251.h"

namespace missivo {
namespace {

constexpr std::size_t kFirstFieldSubItem = kNumber + 1;  // sub-item 1

// The lossless value when its Windows-1251 form is what the row holds, else
// the row's value.
std::string Best(const std::string& lossless, const std::string& held) {
  if (!lossless.empty() && Utf8ToCp1251(lossless) == held) return lossless;
  return Cp1251ToUtf8(held);
}

}  // namespace

Row MakeContactRow(std::string_view name, std::string_view number) {
  Row row;
  row.caption = Utf8ToCp1251(name);
  row.sub_items.push_back(Utf8ToCp1251(number));
  row.image = kImageContact;
  FieldBlock block;
  if (Cp1251ToUtf8(row.caption) != name) AddFieldLine(block, "name", name);
  if (Cp1251ToUtf8(row.sub_items[kNumber]) != number) AddFieldLine(block, "number", number);
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
  return Best(fields ? fields->name : std::string(), row.caption);
}

std::string ContactNumber(const Row& row) {
  const std::optional<ContactFields> fields = ReadContactFields(row);
  return Best(fields ? fields->number : std::string(), SubItem(row, kNumber));
}

}  // namespace missivo
