#include "transfer/exchange_import.h"

#include <algorithm>
#include <optional>
#include <set>

#include "store/archive.h"
#include "store/message_fields.h"
#include "transfer/archive_records.h"
#include "transfer/progress_scope.h"
#include "transfer/sms_time.h"

namespace missivo {
namespace {

std::int64_t FloorSeconds(std::int64_t ms) {
  return ms / 1000 - (ms % 1000 < 0);
}

// The second a row was stamped: its lossless time, else its Date/Time in the
// computer's zone; nothing when it has neither.
std::optional<std::int64_t> SecondOf(const Row& row) {
  const std::optional<MessageFields> fields = ReadMessageFields(row);
  std::optional<SmsTime> time;
  if (fields && !fields->time.empty()) time = ParseIsoTime(fields->time);
  if (!time) time = ParseArchiveDate(SubItem(row, kDateTime));
  if (!time) return std::nullopt;
  return FloorSeconds(time->utc_ms);
}

std::size_t KeyOf(const std::string& text, std::optional<std::int64_t> second) {
  const std::size_t h = std::hash<std::string>{}(text);
  return h ^ (std::hash<std::int64_t>{}(second.value_or(-1)) + 0x9E3779B97F4A7C15ULL + (h << 6) +
              (h >> 2));
}

bool SameMessage(const Row& a, const Row& b) {
  return SecondOf(a) == SecondOf(b) && BestText(a) == BestText(b) &&
         (BestNumber(a) == BestNumber(b) || SameSender(SubItem(a, kFrom), SubItem(b, kFrom)));
}

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
  const Row& row = rows_[position];
  positions_.emplace(KeyOf(BestText(row), SecondOf(row)), position);
}

bool ImportedMessageIndex::Contains(const Row& row) const {
  const auto [first, last] = positions_.equal_range(KeyOf(BestText(row), SecondOf(row)));
  return std::any_of(first, last,
                     [&](const auto& entry) { return SameMessage(rows_[entry.second], row); });
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
  std::set<std::pair<std::string, std::string>> present;
  for (const Row& row : phonebook)
    present.emplace(row.caption, SubItem(row, kNumber));
  for (const ContactRecord& contact : contacts) {
    Row row = RowOfContact(contact);
    if (!present.emplace(row.caption, SubItem(row, kNumber)).second) {
      ++count.already;
      continue;
    }
    phonebook.push_back(std::move(row));
    ++count.added;
  }
  return count;
}

}  // namespace missivo
