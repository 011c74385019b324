// What the two imports share: reading the import file as lines, the result of a
// reader, and the progress loop that appends the made rows to the archive.
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/ui.h"
#include "store/row.h"
#include "text/language.h"

namespace missivo {

// The entries a reader found in an import file, or the error that kept it from
// reading the file (Windows-1251, names the file).
template <typename Entry>
struct ImportRead {
  std::vector<Entry> entries;
  std::string error;
  bool ok() const { return error.empty(); }
};

// The lines of the file at `path`, cut at CR LF, a lone CR or a lone LF. Returns
// the error text when the file cannot be read, an empty text otherwise.
[[nodiscard]] std::string ReadImportLines(const std::filesystem::path& path,
                                          std::vector<std::string>& lines);

// The entries that `parse` finds in the lines of the file at `path`, or the
// error when the file cannot be read.
template <typename Entry, typename Parse>
ImportRead<Entry> ReadImportFile(const std::filesystem::path& path, Parse parse) {
  ImportRead<Entry> read;
  std::vector<std::string> lines;
  read.error = ReadImportLines(path, lines);
  if (read.ok()) read.entries = parse(lines);
  return read;
}

// The row of every entry, in order.
template <typename Entry, typename MakeRow>
std::vector<Row> RowsOf(const std::vector<Entry>& entries, MakeRow make_row) {
  std::vector<Row> rows;
  rows.reserve(entries.size());
  for (const Entry& entry : entries)
    rows.push_back(make_row(entry));
  return rows;
}

// What an import did: the rows it appended, and those the archive held already.
struct ImportCount {
  std::size_t added = 0;
  std::size_t already = 0;  // the archive's duplicate test found them there
};

// Appends `rows` to the end of `archive` in order, each that the archive does
// not hold yet by its duplicate test (ArchiveIndex::IsArchived of the row: the
// same text, Index and sender, and the same time where both know it; rows
// appended earlier in the same import count), with the gauge shown over
// 0..`maximum` and Str70 in the status panel; after row k the gauge moves to
// k * `step` and pending events run. Then runs `resolve_names` (when given) and
// hides the gauge and empties the status text, also when a step throws.
ImportCount AppendImportedRows(std::vector<Row>& archive, std::vector<Row> rows, int maximum,
                               int step, const LanguageLines& language, UserInterface& ui,
                               const std::function<void()>& resolve_names);

// The lossless fields of an imported row (kind imported): the text is the
// caption, the number as the file gave it (Windows-1251), the ISO 8601 time or
// an empty one, the storage indexes the file names.
void WriteImportedFields(Row& row, std::string_view number, std::string time,
                         std::vector<std::string> parts);

// The status text after an import: Str112 with the number of messages added
// and of those already in the archive ("Импортировано: 3, уже в архиве: 1"), so
// an import that added nothing says why.
std::string ImportedCountText(const ImportCount& count, const LanguageLines& language);

}  // namespace missivo
