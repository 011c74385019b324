#include "transfer/p2ktools_import.h"

#include "phone/dates.h"
#include "text/lines.h"
#include "text/pieces.h"

namespace missivo {
namespace {

// "Номер:" in Windows-1251.
constexpr std::string_view kRecordMark = "\xCD\xEE\xEC\xE5\xF0:";

// The text without the blanks (character 32) at its end; other characters stay.
std::string CutTrailingBlanks(const std::string& text) {
  const std::size_t last = text.find_last_not_of(' ');
  return last == std::string::npos ? std::string() : text.substr(0, last + 1);
}

std::vector<P2kToolsEntry> EntriesOfLines(const std::vector<std::string>& lines) {
  std::vector<P2kToolsEntry> entries;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (lines[i] != kRecordMark) continue;
    const auto at = static_cast<std::ptrdiff_t>(i);
    entries.push_back(
        {LineAt(lines, at + 1), LineAt(lines, at + 7), CutTrailingBlanks(LineAt(lines, at + 11))});
  }
  return entries;
}

}  // namespace

std::vector<P2kToolsEntry> ParseP2kToolsText(std::string_view bytes) {
  return EntriesOfLines(SplitAnyBreak(bytes));
}

ImportRead<P2kToolsEntry> ReadP2kToolsFile(const std::filesystem::path& path) {
  return ReadImportFile<P2kToolsEntry>(path, EntriesOfLines);
}

Row MakeP2kToolsRow(const P2kToolsEntry& entry, const LanguageLines& language) {
  Row row{entry.text,
          {entry.number, Piece(NormalizeDate(entry.date), 1, 19), std::to_string(entry.text.size()),
           "0000", language.LangText("Str71")},
          kImageImported};
  WriteImportedFields(row, entry.number, IsoTimeOfStamp(entry.date), {});
  return row;
}

ImportCount AppendP2kToolsRows(std::vector<Row>& archive, const std::vector<P2kToolsEntry>& entries,
                               const LanguageLines& language, UserInterface& ui,
                               const std::function<void()>& resolve_names) {
  const auto make_row = [&](const P2kToolsEntry& entry) {
    return MakeP2kToolsRow(entry, language);
  };
  const int r = static_cast<int>(entries.size());
  return AppendImportedRows(archive, RowsOf(entries, make_row), 3 * r - 1, 3, language, ui,
                            resolve_names);
}

}  // namespace missivo
