// The archive's commands: the remembered sort order, the edit panel's save
// and the deletions.
#include <charconv>
#include <string>

#include "core/atomic_file.h"
#include "store/archive.h"
#include "store/list_file.h"
#include "store/message_fields.h"
#include "text/cp1251.h"
#include "text/iso_time.h"

namespace missivo {
namespace {

const std::string kSection(kSettingsSection);

bool ParseInt(const std::string& text, int& value) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size();
}

// The settings value `key` as a whole number, or `fallback`.
int ReadInt(const SettingsStore& settings, std::string_view key, int fallback) {
  int value = 0;
  return ParseInt(settings.ReadString(kSection, std::string(key), ""), value) ? value : fallback;
}

bool Confirm(const LanguageLines& language, std::string_view key, UserInterface& ui) {
  return ui.AskYesNo(language.LangText(key));
}

// Saves the list, or removes its file when `remove_when_empty` and no row is left.
void WriteOrRemove(RowList& list, StoredList& file, bool remove_when_empty, UserInterface& ui,
                   DeleteOutcome& outcome) {
  Result<FileEffect> effect = file.Save(list.rows, ui, remove_when_empty);
  if (!effect.ok()) {
    outcome.file =
        remove_when_empty && list.rows.empty() ? FileEffect::kRemoved : FileEffect::kSaved;
    outcome.status = effect.status();
    ui.ShowMessage(outcome.status.message(), MessageKind::kError, std::string(kIoErrorCaption));
    return;
  }
  outcome.file = effect.value();
}

// Delete released in a list: removes the selection, then the file goes when
// the list is empty, otherwise the list is saved.
DeleteOutcome DeleteOnKey(RowList& list, std::span<const std::size_t> selected, StoredList& file,
                          std::string_view question, const LanguageLines& language,
                          UserInterface& ui) {
  DeleteOutcome outcome;
  if (!Confirm(language, question, ui)) return outcome;
  outcome.confirmed = true;
  RemoveRowsAt(list, selected);
  WriteOrRemove(list, file, /*remove_when_empty=*/true, ui, outcome);
  return outcome;
}

// The zone at the end of an ISO 8601 time ("+03:00", "-05:30", "Z"), or empty.
std::string_view ZoneOf(std::string_view iso) {
  if (iso.size() > 19 && (iso[19] == '+' || iso[19] == '-' || iso[19] == 'Z'))
    return iso.substr(19);
  return {};
}

// The edited row's lossless text becomes what was typed; a Date changed by
// the edit becomes its time (a zone the source gave stays: the Date is the
// source's local time), or no time when the typed Date names none.
void KeepFieldsInStep(Row& row, const ArchiveEditFields& edit, std::string_view date_before) {
  const std::string typed = edit.whole_text.empty() ? Cp1251ToUtf8(edit.text) : edit.whole_text;
  std::optional<MessageFields> fields = ReadMessageFields(row);
  if (!fields) {
    if (typed == Cp1251ToUtf8(row.caption)) return;
    fields.emplace();
    fields->kind = BestKind(row).value_or(RowKind::kImported);
  }
  fields->text = typed;
  const auto trimmed = [](std::string_view date) {
    return date.substr(0, date.find_last_not_of("\r\n ") + 1);
  };
  if (trimmed(edit.date_time) != trimmed(date_before)) {
    std::string time = IsoTimeOfDateTime(trimmed(edit.date_time));
    if (!time.empty() && ZoneOf(time).empty()) time.append(ZoneOf(fields->time));
    fields->time = std::move(time);
  }
  WriteMessageFields(row, *fields);
}

}  // namespace

void RestoreArchiveSort(const SettingsStore& settings, RowList& archive, SortState& state) {
  state = SortState{};
  if (!settings.ValueExists(kSection, std::string(kArchiveSortColumnKey))) return;
  const int column = ReadInt(settings, kArchiveSortColumnKey, -1);
  if (column < 0 || static_cast<std::size_t>(column) >= archive.markers.size()) return;
  state.last_column = column;
  int marker = ReadInt(settings, kArchiveSortMarkerKey, kNoMarker);
  if (marker != kMarkerAscending && marker != kMarkerDescending) marker = kNoMarker;
  archive.markers[static_cast<std::size_t>(column)] = marker;
  const int direction = ReadInt(settings, kArchiveSortDirectionKey, -1);
  if (direction == 0 || direction == 1) {
    state.next_direction = direction;
  } else {
    state.next_direction = marker == kMarkerAscending ? 0 : 1;
  }
}

Status SortArchiveByColumn(RowList& archive, int column, SortState& state, SettingsStore& settings,
                           StoredList& archive_file, UserInterface& ui) {
  SortListByColumn(archive, column, state);
  for (std::size_t i = 0; i < archive.markers.size(); ++i) {
    if (archive.markers[i] == kNoMarker) continue;
    settings.WriteString(kSection, std::string(kArchiveSortColumnKey), std::to_string(i));
    settings.WriteString(kSection, std::string(kArchiveSortMarkerKey),
                         std::to_string(archive.markers[i]));
    settings.WriteString(kSection, std::string(kArchiveSortDirectionKey),
                         std::to_string(state.next_direction));
  }
  return SaveListFile(archive, archive_file, ui);
}

ArchiveEditFields EditFieldsOf(const Row& row) {
  return {SubItem(row, kDateTime), SubItem(row, kIndex), SubItem(row, kType), row.caption,
          BestText(row)};
}

ArchiveEditResult SaveArchiveEdit(RowList& archive, std::size_t row,
                                  const ArchiveEditFields& fields, StoredList& archive_file,
                                  const LanguageLines& language, UserInterface& ui) {
  if (fields.date_time.empty() || fields.index.empty() || fields.type.empty() ||
      fields.text.empty()) {
    ui.ShowMessage(language.LangText("Str95"), MessageKind::kPlain);
    return ArchiveEditResult::kIncomplete;
  }
  if (fields.date_time.size() < 19) {
    ui.ShowMessage(language.LangText("Str94"), MessageKind::kPlain);
    return ArchiveEditResult::kBadDate;
  }
  if (row >= archive.rows.size()) return ArchiveEditResult::kNoRow;
  Row& target = archive.rows[row];
  if (target.sub_items.size() < kMessageFieldCount) target.sub_items.resize(kMessageFieldCount);
  const std::string date_before = target.sub_items[kDateTime];
  target.caption = fields.text;
  target.sub_items[kDateTime] = fields.date_time;
  target.sub_items[kIndex] = fields.index;
  target.sub_items[kType] = fields.type;
  KeepFieldsInStep(target, fields, date_before);
  return SaveListFile(archive, archive_file, ui).ok() ? ArchiveEditResult::kSaved
                                                      : ArchiveEditResult::kSaveFailed;
}

DeleteOutcome DeleteArchiveRowsOnKey(RowList& archive, std::span<const std::size_t> selected,
                                     StoredList& archive_file, const LanguageLines& language,
                                     UserInterface& ui) {
  DeleteOutcome outcome = DeleteOnKey(archive, selected, archive_file, "Str77", language, ui);
  outcome.empty_preview = outcome.confirmed;
  return outcome;
}

namespace {

// Asks `question`; on Yes with rows to delete removes them and saves the archive.
DeleteOutcome DeleteConfirmedRows(RowList& archive, std::span<const std::size_t> selected,
                                  StoredList& archive_file, const std::string& question,
                                  UserInterface& ui) {
  DeleteOutcome outcome;
  if (!ui.AskYesNo(question)) return outcome;
  outcome.confirmed = true;
  if (selected.empty()) return outcome;
  RemoveRowsAt(archive, selected);
  WriteOrRemove(archive, archive_file, /*remove_when_empty=*/false, ui, outcome);
  outcome.empty_preview = true;
  return outcome;
}

}  // namespace

DeleteOutcome DeleteArchiveRowsFromMenu(RowList& archive, std::span<const std::size_t> selected,
                                        StoredList& archive_file, const LanguageLines& language,
                                        UserInterface& ui) {
  return DeleteConfirmedRows(archive, selected, archive_file, language.LangText("Str77"), ui);
}

DeleteOutcome DeleteShownArchiveRows(RowList& archive, std::span<const std::size_t> shown,
                                     StoredList& archive_file, const LanguageLines& language,
                                     UserInterface& ui) {
  return DeleteConfirmedRows(archive, shown, archive_file, language.LangText("Str122"), ui);
}

DeleteOutcome DeleteAllArchiveRows(RowList& archive, StoredList& archive_file,
                                   const LanguageLines& language, UserInterface& ui) {
  DeleteOutcome outcome;
  if (!Confirm(language, "Str75", ui)) return outcome;
  outcome.confirmed = true;
  if (archive.rows.empty()) return outcome;
  archive.rows.clear();
  WriteOrRemove(archive, archive_file, /*remove_when_empty=*/false, ui, outcome);
  outcome.empty_preview = true;
  return outcome;
}

DeleteOutcome DeletePhonebookRowsOnKey(RowList& phonebook, std::span<const std::size_t> selected,
                                       StoredList& phonebook_file, const LanguageLines& language,
                                       UserInterface& ui) {
  return DeleteOnKey(phonebook, selected, phonebook_file, "Str78", language, ui);
}

}  // namespace missivo
