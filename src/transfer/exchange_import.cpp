#include "transfer/exchange_import.h"

#include <algorithm>
#include <optional>
#include <set>

#include "store/archive.h"
#include "store/contact_fields.h"
#include "store/message_fields.h"
#include "transfer/archive_records.h"
#include "transfer/progress_scope.h"
#include "transfer/sms_time.h"

namespace missivo {
namespace {

std::int64_t FloorSeconds(std::int64_t ms) {
  return ms / 1000 - (ms % 1000 < 0);
}

// What the duplicate test compares, read from a row once: the best text and
// number, the From, and the second it was stamped (its lossless time, else
// its Date/Time in the computer's zone; nothing when it has neither).
struct MessageKey {
  std::string text;
  std::string number;
  std::string from;
  std::optional<std::int64_t> second;

  explicit MessageKey(const Row& row) {
    const SmsRecord record = RecordOfRow(row);
    text = record.text;
    number = record.number;
    from = SubItem(row, kFrom);
    if (record.time) second = FloorSeconds(record.time->utc_ms);
  }

  std::size_t Hash() const {
    const std::size_t h = std::hash<std::string>{}(text);
    return h ^ (std::hash<std::int64_t>{}(second.value_or(-1)) + 0x9E3779B97F4A7C15ULL + (h << 6) +
                (h >> 2));
  }

  bool SameMessage(const MessageKey& other) const {
    return second == other.second && text == other.text &&
           (number == other.number || SameSender(from, other.from));
  }
};

}  // namespace

BackupRows ReadBackupRows(const std::filesystem::path& path, const LanguageLines& language) {
  BackupRows backup;
  backup.read = ReadAndroidXml(
      path, [&](SmsRecord&& record) { backup.rows.push_back(RowOfRecord(record, language)); });
  return backup;
}

ImportedMessageIndex::ImportedMessageIndex(const std::vector<Row>& rows) : rows_(rows) {
  positions_.reserve(rows.size());
  for (std::size_t i = 0; i < rows.size(); ++i)
    Add(i);
}

void ImportedMessageIndex::Add(std::size_t position) {
  positions_.emplace(MessageKey(rows_[position]).Hash(), position);
}

bool ImportedMessageIndex::Contains(const Row& row) const {
  const MessageKey key(row);
  const auto [first, last] = positions_.equal_range(key.Hash());
  return std::any_of(first, last, [&](const auto& entry) {
    return key.SameMessage(MessageKey(rows_[entry.second]));
  });
}

ImportCount AppendNewMessages(std::vector<Row>& archive, std::vector<Row> rows,
                              const LanguageLines& language, UserInterface& ui) {
  ImportCount count;
  ProgressScope progress(ui, std::max(static_cast<int>(rows.size()) - 1, 0),
                         language.LangText("Str70"));
  archive.reserve(archive.size() + rows.size());
  ImportedMessageIndex index(archive);
  for (std::size_t k = 0; k < rows.size(); ++k) {
    if (index.Contains(rows[k])) {
      ++count.already;
    } else {
      archive.push_back(std::move(rows[k]));
      index.Add(archive.size() - 1);
      ++count.added;
    }
    if (k % 256 == 0 || k + 1 == rows.size()) {
      progress.SetPosition(static_cast<int>(k));
      ui.ProcessPendingEvents();
    }
  }
  return count;
}

ImportCount AppendNewContacts(std::vector<Row>& phonebook,
                              const std::vector<ContactRecord>& contacts) {
  ImportCount count;
  // Compared whole: two names the code page cannot hold differ, though both
  // are "???" in the caption.
  std::set<std::pair<std::string, std::string>> present;
  for (const Row& row : phonebook)
    present.emplace(ContactName(row), ContactNumber(row));
  for (const ContactRecord& contact : contacts) {
    Row row = RowOfContact(contact);
    if (!present.emplace(ContactName(row), ContactNumber(row)).second) {
      ++count.already;
      continue;
    }
    phonebook.push_back(std::move(row));
    ++count.added;
  }
  return count;
}

}  // namespace missivo
