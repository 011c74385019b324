#include "phone/sent_copies.h"

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>

#include "phone/delivery_reports.h"
#include "phone/message_read.h"
#include "phone/message_send.h"
#include "store/message_fields.h"

namespace missivo {
namespace {

const std::string* OtherField(const MessageFields& fields, std::string_view key) {
  for (const auto& [name, value] : fields.other) {
    if (name == key) return &value;
  }
  return nullptr;
}

void SetOtherField(MessageFields& fields, std::string_view key, const std::string* value) {
  std::erase_if(fields.other, [&](const auto& field) { return field.first == key; });
  if (value != nullptr) fields.other.emplace_back(std::string(key), *value);
}

// An archive row made by a send, with what tells its copy.
struct SentRow {
  std::size_t position = 0;
  MessageFields fields;
  std::size_t parts = 0;  // the parts it went in: one reference each
};

std::vector<SentRow> SentRows(const std::vector<Row>& archive) {
  std::vector<SentRow> sent;
  for (std::size_t i = 0; i < archive.size(); ++i) {
    std::optional<MessageFields> fields = ReadMessageFields(archive[i]);
    if (!fields || fields->kind != RowKind::kOutgoing) continue;
    const std::string* references = OtherField(*fields, kReferencesKey);
    if (references == nullptr || references->empty()) continue;
    const auto parts =
        static_cast<std::size_t>(std::count(references->begin(), references->end(), ',')) + 1;
    sent.push_back({i, std::move(*fields), parts});
  }
  return sent;
}

// The read row as a copy of something sent: an outgoing message with a place.
std::optional<MessageFields> CopyFields(const Row& row) {
  std::optional<MessageFields> fields = ReadMessageFields(row);
  if (!fields || fields->kind != RowKind::kOutgoing || fields->parts.empty()) return std::nullopt;
  return fields;
}

bool IsWholeCopy(const SentRow& sent, const MessageFields& copy) {
  const std::string* ours = OtherField(sent.fields, kConcatenationKey);
  const std::string* theirs = OtherField(copy, kConcatenationKey);
  return sent.fields.number == copy.number && sent.fields.text == copy.text &&
         sent.parts == copy.parts.size() &&
         (ours == nullptr || theirs == nullptr || *ours == *theirs);
}

// The sent row takes the copy's place: its parts, storage and Index.
void Place(Row& row, SentRow& sent, const MessageFields& copy, const std::string& index) {
  sent.fields.parts = copy.parts;
  sent.fields.storage = copy.storage;
  SetOtherField(sent.fields, kPartStoragesKey, OtherField(copy, kPartStoragesKey));
  WriteMessageFields(row, sent.fields);
  row.sub_items[kIndex] = index;
}

// Copies of whole messages: one read row per sent row.
void PlaceWholeCopies(std::vector<Row>& archive, std::vector<SentRow>& sent,
                      const std::vector<Row>& read,
                      const std::vector<std::optional<MessageFields>>& copies, SentCopies& result) {
  for (std::size_t r = 0; r < read.size(); ++r) {
    if (!copies[r]) continue;
    const MessageFields& copy = *copies[r];
    for (SentRow& row : sent) {
      if (!IsWholeCopy(row, copy)) continue;
      if (row.fields.parts.empty()) {
        Place(archive[row.position], row, copy, SubItem(read[r], kIndex));
        ++result.completed;
      } else if (row.fields.parts != copy.parts || row.fields.storage != copy.storage) {
        continue;
      }
      result.held[r] = true;
      break;
    }
  }
}

// Copies of the separate messages a family device sends a long text as.
void PlacePieceCopies(std::vector<Row>& archive, std::vector<SentRow>& sent,
                      const std::vector<Row>& read,
                      const std::vector<std::optional<MessageFields>>& copies, SentCopies& result) {
  for (SentRow& row : sent) {
    if (row.parts < 2) continue;
    const Result<std::vector<std::string>> pieces = FamilySendPieces(row.fields.text);
    if (!pieces.ok() || pieces.value().size() != row.parts) continue;
    const bool placed = !row.fields.parts.empty();
    if (placed && row.fields.parts.size() != row.parts) continue;
    std::vector<std::optional<std::size_t>> found(row.parts);  // the read row of each piece
    for (std::size_t r = 0; r < read.size(); ++r) {
      if (!copies[r] || result.held[r]) continue;
      const MessageFields& copy = *copies[r];
      if (copy.parts.size() != 1 || copy.number != row.fields.number) continue;
      for (std::size_t k = 0; k < row.parts; ++k) {
        if (!found[k] && copy.text == pieces.value()[k] &&
            (!placed || row.fields.parts[k] == copy.parts.front())) {
          found[k] = r;
          break;
        }
      }
    }
    const bool all =
        std::all_of(found.begin(), found.end(), [](const auto& r) { return r.has_value(); });
    if (!placed && !all) continue;
    if (!placed) {
      MessageFields whole = *copies[*found.front()];
      whole.parts.clear();
      for (const auto& r : found)
        whole.parts.push_back(copies[*r]->parts.front());
      Place(archive[row.position], row, whole, SubItem(read[*found.front()], kIndex));
      ++result.completed;
    }
    for (const auto& r : found) {
      if (r) result.held[*r] = true;
    }
  }
}

}  // namespace

SentCopies PlaceSentCopies(std::vector<Row>& archive, const std::vector<Row>& read) {
  SentCopies result;
  result.held.assign(read.size(), false);
  std::vector<SentRow> sent = SentRows(archive);
  if (sent.empty()) return result;
  std::vector<std::optional<MessageFields>> copies;
  copies.reserve(read.size());
  for (const Row& row : read)
    copies.push_back(CopyFields(row));
  PlaceWholeCopies(archive, sent, read, copies, result);
  PlacePieceCopies(archive, sent, read, copies, result);
  return result;
}

}  // namespace missivo
