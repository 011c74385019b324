// Messages saved as text by the P2kTools phone utility.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/ui.h"
#include "store/row.h"
#include "text/language.h"
#include "transfer/import_file.h"

namespace missivo {

// One record: a line that is exactly "Номер:" (line 0), the number in line 1,
// the date in line 7 and the one-line text in line 11.
struct P2kToolsEntry {
  std::string number;
  std::string date;
  std::string text;  // trailing blanks cut

  friend bool operator==(const P2kToolsEntry&, const P2kToolsEntry&) = default;
};

// The records of a file's bytes (Windows-1251) in file order. Every line that is
// exactly "Номер:" starts one, also inside another record; lines past the end
// of the file read as empty, so a record cut short is still taken.
std::vector<P2kToolsEntry> ParseP2kToolsText(std::string_view bytes);

// The records of the file at `path`, or the error when it cannot be read.
[[nodiscard]] ImportRead<P2kToolsEntry> ReadP2kToolsFile(const std::filesystem::path& path);

// The archive row of a record: the text as caption; From the number; Date/Time
// the first 19 characters of NormalizeDate of the date line; Size the text's
// length; Index "0000"; Type the language text Str71; image 0.
Row MakeP2kToolsRow(const P2kToolsEntry& entry, const LanguageLines& language);

// Appends the rows of `entries` to `archive` with the gauge over 0..3r-1 moving
// to 3k and Str70 shown, runs `resolve_names` and returns the gauge to idle.
// Rows the archive holds already are left out (AppendImportedRows). Saving the
// archive is the caller's part.
ImportCount AppendP2kToolsRows(std::vector<Row>& archive, const std::vector<P2kToolsEntry>& entries,
                               const LanguageLines& language, UserInterface& ui,
                               const std::function<void()>& resolve_names = {});

}  // namespace missivo
