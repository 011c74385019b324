#include "transfer/v1_import.h"

#include "phone/dates.h"
#include "text/lines.h"
#include "text/pieces.h"

namespace missivo {
namespace {

constexpr std::string_view kHeader = "+MMGL: ";

std::vector<V1MessageEntry> EntriesOfLines(const std::vector<std::string>& lines) {
  std::vector<V1MessageEntry> entries;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string& header = lines[i];
    if (!header.starts_with(kHeader)) continue;
    const auto at = static_cast<std::ptrdiff_t>(i);
    entries.push_back({LineAt(lines, at - 1), LineAt(lines, at - 2), LineAt(lines, at + 1),
                       ScanV1Sender(header), ScanV1Status(header)});
  }
  return entries;
}

}  // namespace

std::string ScanV1Sender(std::string_view header) {
  const auto length = static_cast<Pos>(header.size());
  std::string sender;
  for (Pos p = length - 1; p >= 1; --p) {
    const char c = CharAt(header, p);
    if (c == ',') break;
    if (c == ' ') sender = Piece(header, p + 2, length - p - 2);
  }
  return sender;
}

std::string ScanV1Status(std::string_view header) {
  if (CharAt(header, 8) == '"') return {};
  const Pos open = FindFrom("\"", header, 9);
  if (open == 0) return {};
  // Where the closing quote may stand, for statuses of 6, 7, 9, 10 and 8 characters.
  for (const Pos offset : {7, 8, 10, 11, 9}) {
    if (CharAt(header, open + offset) == '"') return Piece(header, open + 1, offset - 1);
  }
  return {};
}

std::vector<V1MessageEntry> ParseV1MessageText(std::string_view bytes) {
  return EntriesOfLines(SplitAnyBreak(bytes));
}

ImportRead<V1MessageEntry> ParseV1MessageFile(const std::filesystem::path& path) {
  return ReadImportFile<V1MessageEntry>(path, EntriesOfLines);
}

Row MakeV1MessageRow(const V1MessageEntry& entry, const LanguageLines& language) {
  const bool incoming = entry.status == "REC READ" || entry.status == "REC UNREAD";
  Row row{entry.text,
          {entry.sender, entry.date, std::to_string(entry.text.size()), entry.index,
           incoming ? language.LangText("Str67") : std::string()},
          kImageImported};
  WriteImportedFields(row, entry.sender, IsoTimeOfDateTime(entry.date), {entry.index});
  return row;
}

ImportCount AppendV1MessageRows(std::vector<Row>& archive,
                                const std::vector<V1MessageEntry>& entries,
                                const LanguageLines& language, UserInterface& ui,
                                const std::function<void()>& resolve_names) {
  const auto make_row = [&](const V1MessageEntry& entry) {
    return MakeV1MessageRow(entry, language);
  };
  const int r = static_cast<int>(entries.size());
  return AppendImportedRows(archive, RowsOf(entries, make_row), 5 * r, 5, language, ui,
                            resolve_names);
}

}  // namespace missivo
