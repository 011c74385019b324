// Settings values read back at start. Input: the stored texts of "Speed",
// "List4", "List4Image" and "List4Direction", separated by NUL bytes; a value
// past the last NUL is missing. Every value gives a number in range or leaves
// the form's default; never a crash.
#include <cctype>
#include <climits>

#include "app/setting_values.h"
#include "fuzz_support.h"
#include "store/archive.h"

namespace missivo {
namespace {

// The value of a decimal text of at most one sign ("+" when `plus`) and digits
// only, that fits an int.
std::optional<int> StrictDecimal(std::string_view text, bool plus) {
  bool negative = false;
  if (!text.empty() && (text[0] == '-' || (plus && text[0] == '+'))) {
    negative = text[0] == '-';
    text.remove_prefix(1);
  }
  if (text.empty()) return std::nullopt;
  long long value = 0;
  for (char c : text) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return std::nullopt;
    value = value * 10 + (c - '0');
    if (value > static_cast<long long>(INT_MAX) + 1) return std::nullopt;
  }
  if (negative) value = -value;
  if (value < INT_MIN || value > INT_MAX) return std::nullopt;
  return static_cast<int>(value);
}

void CheckSpeed(const std::string& text) {
  fuzz::Require(DecimalOf(text) == StrictDecimal(text, /*plus=*/true),
                "a speed position is a decimal number with at most one sign");
}

void CheckArchiveSort(const std::vector<std::string>& values) {
  MemorySettingsStore settings;
  const std::string_view keys[] = {kArchiveSortColumnKey, kArchiveSortMarkerKey,
                                   kArchiveSortDirectionKey};
  for (std::size_t i = 0; i < values.size() && i < std::size(keys); ++i)
    settings.WriteString(std::string(kSettingsSection), std::string(keys[i]), values[i]);
  RowList archive = MakeMessageList();
  SortState state;
  RestoreArchiveSort(settings, archive, state);

  const auto value = [&](std::size_t i) {
    return i < values.size() ? StrictDecimal(values[i], /*plus=*/false) : std::nullopt;
  };
  const std::optional<int> column = value(0);
  if (!column || *column < 0 || *column >= static_cast<int>(archive.markers.size())) {
    fuzz::Require(state.last_column == -1 && state.next_direction == 1,
                  "no usable column leaves the start state");
    for (const std::int32_t marker : archive.markers)
      fuzz::Require(marker == kNoMarker, "no usable column shows no marker");
    return;
  }
  fuzz::Require(state.last_column == *column, "the stored column is the last sorted one");
  const std::optional<int> marker = value(1);
  const std::int32_t shown =
      marker && (*marker == kMarkerAscending || *marker == kMarkerDescending) ? *marker : kNoMarker;
  for (std::size_t i = 0; i < archive.markers.size(); ++i) {
    fuzz::Require(archive.markers[i] == (static_cast<int>(i) == *column ? shown : kNoMarker),
                  "only the stored column shows its stored marker");
  }
  const std::optional<int> direction = value(2);
  const int expected = direction && (*direction == 0 || *direction == 1)
                           ? *direction
                           : (shown == kMarkerAscending ? 0 : 1);
  fuzz::Require(state.next_direction == expected, "the direction is stored or follows the marker");
}

void Check(std::string_view input) {
  std::vector<std::string> values;
  for (;;) {
    const std::size_t nul = input.find('\0');
    values.emplace_back(input.substr(0, nul));
    if (nul == std::string_view::npos) break;
    input.remove_prefix(nul + 1);
  }
  CheckSpeed(values[0]);
  values.erase(values.begin());
  CheckArchiveSort(values);
}

}  // namespace
}  // namespace missivo

MISSIVO_FUZZ_TEXT_TARGET(missivo::Check)
