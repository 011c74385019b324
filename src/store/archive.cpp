#include "store/archive.h"

#include <functional>
#include <optional>

#include "store/message_fields.h"

namespace missivo {
namespace {

// The number of a From that name resolution wrote as "name (number)"; empty
// for a bare From.
std::string_view ResolvedNumber(std::string_view from) {
  if (!from.ends_with(')')) return {};
  const std::size_t open = from.rfind(" (");
  if (open == std::string_view::npos) return {};
  return from.substr(open + 2, from.size() - open - 3);
}

// Name resolution's rule for a contact number and a bare From: the lengths
// differ by at most two (the From being the longer) and one occurs in the other.
bool NumberMatchesFrom(std::string_view number, std::string_view from) {
  if (number.empty() || from.empty()) return false;
  if (from.size() < number.size() || from.size() > number.size() + 2) return false;
  return from.find(number) != std::string_view::npos || number.find(from) != std::string_view::npos;
}

std::size_t KeyOf(std::string_view text, std::string_view index) {
  const std::size_t h = std::hash<std::string_view>{}(text);
  return h ^ (std::hash<std::string_view>{}(index) + 0x9E3779B97F4A7C15ULL + (h << 6) + (h >> 2));
}

bool SameMessage(const Row& archived, const std::string& text, const std::string& from,
                 const std::string& index) {
  return archived.caption == text && SubItem(archived, kIndex) == index &&
         SameSender(SubItem(archived, kFrom), from);
}

// Whether the lossless fields of two rows may be one message: the kind and the
// whole text agree, and so do the number, the phone's time, the storage and
// the parts wherever both rows know them. A phone reuses a freed slot, so the
// time is what tells "Ok" in slot 1 today from "Ok" in slot 1 a month ago.
bool SameLosslessMessage(const MessageFields& archived, const MessageFields& row) {
  const auto agree = [](const auto& a, const auto& b) { return a.empty() || b.empty() || a == b; };
  return archived.kind == row.kind && archived.text == row.text &&
         agree(archived.number, row.number) && agree(archived.time, row.time) &&
         agree(archived.storage, row.storage) && agree(archived.parts, row.parts);
}

// The same for rows of which one has no lossless fields (an archive of an older
// version): the kind its picture gives, and for incoming messages the Date/Time,
// which is the phone's time stamp (outgoing messages and drafts carried the
// moment of a read there).
bool SameKindAndTime(const Row& archived, const std::optional<MessageFields>& archived_fields,
                     const Row& row, const std::optional<MessageFields>& fields) {
  const std::optional<RowKind> kind = BestKind(archived, archived_fields);
  if (kind != BestKind(row, fields)) return false;
  return kind != RowKind::kIncoming || SubItem(archived, kDateTime) == SubItem(row, kDateTime);
}

// Whether the archive row is the very message of `row`: the five sub-items'
// test, then every field that tells two messages apart.
bool SameMessageRow(const Row& archived, const Row& row) {
  if (!SameMessage(archived, row.caption, SubItem(row, kFrom), SubItem(row, kIndex))) return false;
  const std::optional<MessageFields> archived_fields = ReadMessageFields(archived);
  const std::optional<MessageFields> fields = ReadMessageFields(row);
  if (archived_fields && fields) return SameLosslessMessage(*archived_fields, *fields);
  return SameKindAndTime(archived, archived_fields, row, fields);
}

}  // namespace

bool SameSender(std::string_view archived_from, std::string_view from) {
  if (archived_from == from) return true;
  const std::string_view archived_number = ResolvedNumber(archived_from);
  const std::string_view number = ResolvedNumber(from);
  if (!archived_number.empty() && !number.empty()) return archived_number == number;
  if (!archived_number.empty()) return NumberMatchesFrom(archived_number, from);
  if (!number.empty()) return NumberMatchesFrom(number, archived_from);
  return false;
}

ArchiveIndex::ArchiveIndex(const std::vector<Row>& rows) : rows_(rows) {
  positions_.reserve(rows.size());
  for (std::size_t i = 0; i < rows.size(); ++i)
    Add(i);
}

void ArchiveIndex::Add(std::size_t position) {
  const Row& row = rows_[position];
  positions_.emplace(KeyOf(row.caption, SubItem(row, kIndex)), position);
}

bool ArchiveIndex::IsArchived(const std::string& text, const std::string& from,
                              const std::string& index) const {
  const auto [first, last] = positions_.equal_range(KeyOf(text, index));
  for (auto it = first; it != last; ++it) {
    if (SameMessage(rows_[it->second], text, from, index)) return true;
  }
  return false;
}

bool ArchiveIndex::IsArchived(const Row& row) const {
  const auto [first, last] = positions_.equal_range(KeyOf(row.caption, SubItem(row, kIndex)));
  for (auto it = first; it != last; ++it) {
    if (SameMessageRow(rows_[it->second], row)) return true;
  }
  return false;
}

bool IsArchived(const std::vector<Row>& archive, const std::string& text, const std::string& from,
                const std::string& index) {
  for (const Row& row : archive) {
    if (SameMessage(row, text, from, index)) return true;
  }
  return false;
}

std::size_t AppendToArchive(RowList& archive, std::span<const Row> rows, UserInterface& ui) {
  if (archive.rows.empty()) {
    for (const Row& row : rows) {
      archive.rows.push_back(row);
      ui.ProcessPendingEvents();
    }
    return rows.size();
  }
  ArchiveIndex index(archive.rows);
  std::size_t appended = 0;
  for (const Row& row : rows) {
    if (index.IsArchived(row)) continue;
    archive.rows.push_back(row);
    index.Add(archive.rows.size() - 1);
    ++appended;
  }
  ui.ProcessPendingEvents();
  return appended;
}

}  // namespace missivo
