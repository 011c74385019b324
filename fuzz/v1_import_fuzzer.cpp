// Inbox files of version 1.x: any bytes give one message per "+MMGL: " line
// and an archive row of five sub-items for each; never a crash.
#include <algorithm>

#include "fuzz_support.h"
#include "text/lines.h"
#include "transfer/v1_import.h"

namespace missivo {
namespace {

void Check(std::string_view bytes) {
  const LanguageLines& language = fuzz::DefaultLanguage();
  const std::vector<std::string> lines = SplitAnyBreak(bytes);
  const std::vector<V1MessageEntry> entries = ParseV1MessageText(bytes);
  fuzz::Require(
      entries.size() == static_cast<std::size_t>(std::count_if(
                            lines.begin(), lines.end(),
                            [](const auto& line) { return line.starts_with("+MMGL: "); })),
      "one message per header line");
  for (const std::string& line : lines) {
    if (!line.starts_with("+MMGL: ")) continue;
    fuzz::Require(ScanV1Sender(line).size() < line.size(), "the sender is a piece of its header");
    const std::size_t status = ScanV1Status(line).size();
    fuzz::Require(status == 0 || (status >= 6 && status <= 10),
                  "a status of 6 to 10 characters, or none");
  }
  for (const V1MessageEntry& entry : entries) {
    fuzz::RequireImportedRow(MakeV1MessageRow(entry, language));
  }
}

}  // namespace
}  // namespace missivo

MISSIVO_FUZZ_TEXT_TARGET(missivo::Check)
