// Operations on the archive (List4) and the phonebook copy (List2): the
// duplicate test and the append into the archive, the archive's remembered
// sort order, the edit panel's save, and the four deletions with what each
// writes or removes on disk.
#pragma once

#include <cstddef>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/status.h"
#include "core/ui.h"
#include "store/row.h"
#include "store/row_list.h"
#include "store/settings_interface.h"
#include "store/stored_list.h"
#include "text/language.h"

namespace missivo {

// --- Duplicate test and append -------------------------------------------

// Whether two From values name the same sender: equal texts, or a From that
// name resolution turned into "name (number)" and a bare From that the
// contact's number matches (the number occurs in the bare From, which is at
// most two characters longer), or two resolved Froms with the same number.
bool SameSender(std::string_view archived_from, std::string_view from);

// The archive rows by text and Index, so a message is looked up without a
// walk over every row. Keeps a reference to `rows`; rows appended to that
// vector are announced with Add.
class ArchiveIndex {
 public:
  explicit ArchiveIndex(const std::vector<Row>& rows);

  void Add(std::size_t position);

  // A message counts as archived exactly when one archive row has the same
  // text (caption), the same Index and the same sender (SameSender).
  bool IsArchived(const std::string& text, const std::string& from, const std::string& index) const;

  // The test of a whole row: the one above, and then every field that tells
  // two messages apart. Where both rows carry lossless fields
  // (store/message_fields.h) the kind and the whole text must be equal (two
  // captions with "?" for different emoji are two messages), and the number,
  // the phone's time, the storage and the parts must be equal wherever both
  // know them: a phone reuses a freed slot, so "Ok" from one sender in slot 1
  // a month later is another message. Where one row has no lossless fields
  // (an archive of an older version), the kinds their pictures give must be
  // equal, and for incoming messages the Date/Time (the phone's time stamp).
  bool IsArchived(const Row& row) const;

 private:
  const std::vector<Row>& rows_;
  std::unordered_multimap<std::size_t, std::size_t> positions_;
};

// The same test with one walk over the archive.
bool IsArchived(const std::vector<Row>& archive, const std::string& text, const std::string& from,
                const std::string& index);

// Appends copies of `rows` (in order) to the archive: all of them when the
// archive is empty at the start, otherwise each that is not yet archived
// (ArchiveIndex::IsArchived of the row)
// (rows appended earlier in the same call count for the later ones). Lets the
// interface process pending events after each row when the archive was empty,
// otherwise once at the end. Does not save. `rows` must not be the archive's
// own rows. Returns how many rows were appended.
std::size_t AppendToArchive(RowList& archive, std::span<const Row> rows, UserInterface& ui);

// --- The archive's sort order in the settings ----------------------------

inline constexpr std::string_view kArchiveSortColumnKey = "List4";
inline constexpr std::string_view kArchiveSortMarkerKey = "List4Image";
inline constexpr std::string_view kArchiveSortDirectionKey = "List4Direction";

// At start: the sort state becomes column -1, direction 1; then, when "List4"
// holds a column of the archive, that column, its marker "List4Image" (32 or
// 31, else none) and the direction "List4Direction" (0 or 1, else the one that
// follows the marker). The rows are not sorted again.
void RestoreArchiveSort(const SettingsStore& settings, RowList& archive, SortState& state);

// A click on an archive column header: SortListByColumn, then "List4",
// "List4Image" and "List4Direction" written for the column that shows a
// marker, then the archive saved to `archive_file` (a failure is shown).
Status SortArchiveByColumn(RowList& archive, int column, SortState& state, SettingsStore& settings,
                           StoredList& archive_file, UserInterface& ui);

// --- The edit panel ------------------------------------------------------

// The panel's fields: E2, E3, E4 and M1.
struct ArchiveEditFields {
  std::string date_time;
  std::string index;
  std::string type;
  std::string text;
  // M1 in UTF-8, every character and line break as typed: the row's lossless
  // text. Empty: the text converted from Windows-1251.
  std::string whole_text{};
};

// The fields for the row being edited.
ArchiveEditFields EditFieldsOf(const Row& row);

enum class ArchiveEditResult {
  kIncomplete,  // a field was empty: Str95 shown, the panel stays open
  kBadDate,     // Date/Time under 19 characters: Str94 shown, the panel stays open
  kSaved,       // the row took the fields and the archive was saved; the panel closes
  kSaveFailed,  // the row took the fields but saving failed (shown); the panel closes
  kNoRow,       // `row` is not a row of the archive; nothing changed
};

// "Сохранить": the two checks (plain message boxes), then the row at `row`
// takes the text as caption and the Date/Time, Index and Type (From, Size and
// the image stay), and the archive is saved to `archive_file`. The row's
// lossless text follows the whole text; a row without lossless fields gets
// them (the kind of its image, nothing else) only when the caption cannot
// hold what was typed.
ArchiveEditResult SaveArchiveEdit(RowList& archive, std::size_t row,
                                  const ArchiveEditFields& fields, StoredList& archive_file,
                                  const LanguageLines& language, UserInterface& ui);

// --- Deleting ------------------------------------------------------------

struct DeleteOutcome {
  bool confirmed = false;      // the user answered Yes
  bool empty_preview = false;  // the caller empties the preview Text1
  FileEffect file = FileEffect::kNone;
  Status status;  // a failed save or removal (already shown as an error)
};

// Each deletion saves through the stored file, which first takes in what
// another process changed; "no row left" is judged after that.
//
// Delete released in List4: asks Str77; on Yes removes the selected rows, then
// removes the archive file when no row is left, otherwise saves the archive.
DeleteOutcome DeleteArchiveRowsOnKey(RowList& archive, std::span<const std::size_t> selected,
                                     StoredList& archive_file, const LanguageLines& language,
                                     UserInterface& ui);

// "Удалить" (N21): asks Str77; on Yes with at least one selected row removes
// them and saves the archive, also when it is now empty.
DeleteOutcome DeleteArchiveRowsFromMenu(RowList& archive, std::span<const std::size_t> selected,
                                        StoredList& archive_file, const LanguageLines& language,
                                        UserInterface& ui);

// "Удалить все" (N22): asks Str75; on Yes with rows in the archive removes
// them all and saves the archive (an empty list file).
DeleteOutcome DeleteAllArchiveRows(RowList& archive, StoredList& archive_file,
                                   const LanguageLines& language, UserInterface& ui);

// "Удалить все" while a filter shows part of the archive: asks Str122 whether
// only the rows shown go; on Yes removes `shown` and saves the archive. On No
// nothing changes (`confirmed` false) and the caller goes on to
// DeleteAllArchiveRows.
DeleteOutcome DeleteShownArchiveRows(RowList& archive, std::span<const std::size_t> shown,
                                     StoredList& archive_file, const LanguageLines& language,
                                     UserInterface& ui);

// Delete released in List2: asks Str78; on Yes removes the selected contacts,
// then removes the phonebook file when no row is left, otherwise saves it.
DeleteOutcome DeletePhonebookRowsOnKey(RowList& phonebook, std::span<const std::size_t> selected,
                                       StoredList& phonebook_file, const LanguageLines& language,
                                       UserInterface& ui);

}  // namespace missivo
