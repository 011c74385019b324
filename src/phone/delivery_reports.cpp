#include "phone/delivery_reports.h"

#include <algorithm>
#include <string_view>

#include "store/message_fields.h"

namespace missivo {
namespace {

// The last ten digits of a number: "+79161234567" and "89161234567" agree.
std::string NumberTail(std::string_view number) {
  std::string digits;
  for (char c : number) {
    if (c >= '0' && c <= '9') digits.push_back(c);
  }
  return digits.size() > 10 ? digits.substr(digits.size() - 10) : digits;
}

std::vector<std::string> SplitCommas(std::string_view text) {
  std::vector<std::string> items;
  while (!text.empty()) {
    const std::size_t comma = text.find(',');
    items.emplace_back(text.substr(0, comma));
    if (comma == std::string_view::npos) break;
    text.remove_prefix(comma + 1);
  }
  return items;
}

std::string* Field(MessageFields& fields, std::string_view key) {
  for (auto& [name, value] : fields.other) {
    if (name == key) return &value;
  }
  return nullptr;
}

}  // namespace

std::size_t MarkDelivered(std::vector<Row>& rows, const std::vector<DeliveryNote>& notes) {
  std::size_t changed = 0;
  for (const DeliveryNote& note : notes) {
    if (!note.delivered) continue;
    const std::string reference = std::to_string(note.reference);
    for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
      std::optional<MessageFields> fields = ReadMessageFields(*row);
      if (!fields || fields->kind != RowKind::kOutgoing) continue;
      const std::string* references = Field(*fields, kReferencesKey);
      if (references == nullptr || NumberTail(fields->number) != NumberTail(note.recipient))
        continue;
      const std::vector<std::string> sent = SplitCommas(*references);
      if (std::find(sent.begin(), sent.end(), reference) == sent.end()) continue;
      // The newest message of that reference and number owns the report; the
      // same report read again (it stays on the phone) changes nothing.
      std::string* reported = Field(*fields, kReportedKey);
      if (reported == nullptr) {
        fields->other.emplace_back(kReportedKey, "");
        reported = &fields->other.back().second;
      }
      std::vector<std::string> done = SplitCommas(*reported);
      if (std::find(done.begin(), done.end(), reference) != done.end()) break;
      *reported += (reported->empty() ? "" : ",") + reference;
      done.push_back(reference);
      const bool all = std::all_of(sent.begin(), sent.end(), [&](const std::string& r) {
        return std::find(done.begin(), done.end(), r) != done.end();
      });
      if (all) fields->other.emplace_back(kDeliveredKey, note.time);
      WriteMessageFields(*row, *fields);
      ++changed;
      break;
    }
  }
  return changed;
}

std::optional<std::string> DeliveredTime(const Row& row) {
  std::optional<MessageFields> fields = ReadMessageFields(row);
  if (!fields) return std::nullopt;
  const std::string* delivered = Field(*fields, kDeliveredKey);
  if (delivered == nullptr) return std::nullopt;
  return *delivered;
}

}  // namespace missivo
