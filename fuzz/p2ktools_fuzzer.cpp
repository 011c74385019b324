// Files saved by P2kTools: any bytes give one record per "Номер:" line and an
// archive row of five sub-items for each; never a crash.
#include <algorithm>

#include "fuzz_support.h"
#include "text/lines.h"
#include "transfer/p2ktools_import.h"

namespace missivo {
namespace {

void Check(std::string_view bytes) {
  const LanguageLines& language = fuzz::DefaultLanguage();
  const std::vector<std::string> lines = SplitAnyBreak(bytes);
  const std::vector<P2kToolsEntry> entries = ParseP2kToolsText(bytes);
  fuzz::Require(entries.size() == static_cast<std::size_t>(std::count(lines.begin(), lines.end(),
                                                                      "\xCD\xEE\xEC\xE5\xF0:")),
                "one record per record line");
  for (const P2kToolsEntry& entry : entries) {
    fuzz::Require(!entry.text.ends_with(' '), "the text has no trailing blank");
    const Row row = MakeP2kToolsRow(entry, language);
    fuzz::RequireImportedRow(row);
    fuzz::Require(row.sub_items[kDateTime].size() <= 19, "Date/Time is cut to 19 characters");
  }
}

}  // namespace
}  // namespace missivo

MISSIVO_FUZZ_TEXT_TARGET(missivo::Check)
