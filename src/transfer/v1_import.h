// Inbox files (".msg") saved by version 1.x of the program.
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

// One message around a header line (line 0) such as
//   +MMGL: 7, "REC READ", "+15555550123"
// with the text in line -2, the storage index in line -1 and the date in line +1.
struct V1MessageEntry {
  std::string index;
  std::string text;
  std::string date;
  std::string sender;
  std::string status;

  friend bool operator==(const V1MessageEntry&, const V1MessageEntry&) = default;
};

// The messages of a file's bytes (Windows-1251), one per line whose first 7
// characters are "+MMGL: ", in file order. Lines past either end of the file
// read as empty, so a header in the first two lines or the last line still
// gives its message.
std::vector<V1MessageEntry> ParseV1MessageText(std::string_view bytes);

// The messages of the file at `path`, or the error when it cannot be read.
[[nodiscard]] ImportRead<V1MessageEntry> ParseV1MessageFile(const std::filesystem::path& path);

// The sender of a header: scanning left from its second-last character up to
// the last comma (or the start of the line), the blank nearest that comma
// decides; the sender starts two characters after it and ends before the
// line's last character. No blank after the comma gives an empty sender.
std::string ScanV1Sender(std::string_view header);

// The status of a header: the text after the first double quote at position 9
// or later, when the next double quote closes a status of 6, 7, 9, 10 or 8
// characters (tried in that order); empty otherwise, and when position 8 holds
// a double quote.
std::string ScanV1Status(std::string_view header);

// The archive row of a message: the text as caption; From the sender;
// Date/Time the date line whole; Size the text's length; Index the index line;
// Type the language text Str67 for "REC READ" and "REC UNREAD", empty for any
// other status (every archive row has five sub-items); image 0.
Row MakeV1MessageRow(const V1MessageEntry& entry, const LanguageLines& language);

// Appends the rows of `entries` to `archive` with the gauge over 0..5r moving
// to 5k and Str70 shown, runs `resolve_names` and returns the gauge to idle.
// Rows the archive holds already are left out (AppendImportedRows). Saving the
// archive is the caller's part.
ImportCount AppendV1MessageRows(std::vector<Row>& archive,
                                const std::vector<V1MessageEntry>& entries,
                                const LanguageLines& language, UserInterface& ui,
                                const std::function<void()>& resolve_names = {});

}  // namespace missivo
