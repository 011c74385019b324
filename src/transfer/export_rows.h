// Exporting message rows to a text or HTML file through a template.
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/status.h"
#include "core/ui.h"
#include "store/row.h"
#include "text/language.h"
#include "transfer/templates.h"

namespace missivo {

// Which rows of a list an export takes: all of them, or the rows at the given
// positions (from 0; positions past the end are ignored, repeats count once).
struct RowSelection {
  static RowSelection All() { return {true, {}}; }
  static RowSelection Only(std::vector<std::size_t> positions) {
    return {false, std::move(positions)};
  }

  bool all = true;
  std::vector<std::size_t> positions;
};

// Which of `row_count` rows the selection takes.
std::vector<bool> SelectedMask(std::size_t row_count, const RowSelection& selection);

// Whether the selection takes at least one row. When it does not, a command
// does nothing: no dialog, no file, nothing reported.
bool HasRowsToExport(std::span<const Row> rows, const RowSelection& selection);

// The most bytes an export makes: far above what 65535 rows of messages
// take through any sensible template, and still below what memory holds.
inline constexpr std::size_t kMaxExportSize = std::size_t{512} << 20;

// The exported text, handed to `sink` block by block so that no more than one
// block is held at a time: the block of every selected row, in list order,
// each followed by one more CR LF. `on_row` is called with the position of
// every row of the list, selected or not, after that row is done. A block
// that would grow past kMaxExportBlock, or an export past `limit` bytes, ends
// the export with a failure naming the row; what the sink got by then is not
// a whole export.
[[nodiscard]] Status WriteExport(std::span<const Row> rows, const RowSelection& selection,
                                 std::string_view template_buffer, TemplateKind kind,
                                 const std::function<void(std::string_view)>& sink,
                                 const std::function<void(std::size_t)>& on_row = {},
                                 std::size_t limit = kMaxExportSize);

// WriteExport into one text: the text, or the failure and no text.
Result<std::string> ExportBytes(std::span<const Row> rows, const RowSelection& selection,
                                std::string_view template_buffer, TemplateKind kind,
                                const std::function<void(std::size_t)>& on_row = {},
                                std::size_t limit = kMaxExportSize);

struct ExportResult {
  std::size_t exported = 0;  // rows written
  std::string error;         // Windows-1251, names the file; empty on success
  bool ok() const { return error.empty(); }
};

// Writes an export to `output` whole or not at all (a new file readable by the
// user only), with the gauge over the rows and Str79 in the status panel while
// `write` runs; a failure is shown through `ui` as an error naming the file.
// Returns the number of rows written, as ExportRows does.
[[nodiscard]] ExportResult ExportToFile(
    std::size_t row_count, std::size_t exported, const std::filesystem::path& output,
    const LanguageLines& language, UserInterface& ui,
    const std::function<Status(const std::function<bool(std::string_view)>& sink,
                               const std::function<void(std::size_t)>& on_row)>& write);

// The status text after an export: Str111, ": " and the number of rows written
// ("Экспорт: 3" in Russian), as the import tells its own.
std::string ExportedCountText(std::size_t exported, const LanguageLines& language);

// The export of a confirmed `Save2`: loads the template buffer of `kind` from
// `data_folder` (the default template of that kind when the file is missing),
// shows the gauge over 0..rows-1 with Str79, moves it to every row's position,
// and writes the text to `output` atomically, replacing an existing file
// without asking (a new file gets mode 0600, as it holds messages). The gauge
// is hidden and the status text emptied in every case. A failed write, or a
// text past kMaxExportSize (nothing is written then), is shown through `ui`
// as an error naming the file and returned. With no row to export, nothing is
// shown or written.
[[nodiscard]] ExportResult ExportRows(std::span<const Row> rows, const RowSelection& selection,
                                      TemplateKind kind, const std::filesystem::path& data_folder,
                                      const std::filesystem::path& output,
                                      const LanguageLines& language, UserInterface& ui);

}  // namespace missivo
