// Putting the stored settings back into the window at start. A value that is
// missing leaves its control at the form default; so does a value that is not
// usable (not a decimal number, or out of range), and the load goes on with the
// next key. A failed automatic connection shows its status and the load goes on.
#include <QComboBox>
#include <charconv>
#include <optional>

#include "app/check_box.h"
#include "app/image_list.h"
#include "app/main_window.h"
#include "app/qt_text.h"
#include "app/row_model.h"

namespace missivo {
namespace {

constexpr std::string_view kSection = "Missivo";

// A whole decimal number with an optional sign and nothing else.
std::optional<int> DecimalOf(const std::string& text) {
  int value = 0;
  const char* first = text.data();
  const char* last = first + text.size();
  if (first != last && *first == '+') ++first;
  const auto [end, error] = std::from_chars(first, last, value);
  if (text.empty() || error != std::errc() || end != last) return std::nullopt;
  return value;
}

}  // namespace

void TForm1::LoadArchiveSortSettings() {
  LastSortedColumn = -1;
  NextSortDirection = 1;
  if (!RzRegIniFile1.ValueExists(kSection, "List4")) return;
  const auto column = DecimalOf(RzRegIniFile1.ReadString(kSection, "List4", "str"));
  if (!column || *column < 0 || *column >= List4Rows->columnCount()) return;
  LastSortedColumn = *column;
  const auto image = DecimalOf(RzRegIniFile1.ReadString(kSection, "List4Image", "STR"));
  if (image && (*image == kImageSortAscending || *image == kImageSortDescending)) {
    List4Rows->SetHeaderImage(*column, *image);
  }
  const auto direction = DecimalOf(RzRegIniFile1.ReadString(kSection, "List4Direction", "Str"));
  if (direction && (*direction == 0 || *direction == 1)) NextSortDirection = *direction;
}

void TForm1::LoadCheck(std::string_view key, TCheckBox* box) {
  if (!RzRegIniFile1.ValueExists(kSection, key)) return;
  box->SetChecked(RzRegIniFile1.ReadString(kSection, key, "") == "true");
}

void TForm1::LoadOptions() {
  LoadCheck("Check3", Check3);
  if (RzRegIniFile1.ValueExists(kSection, "COMPORTUser")) {
    const QString port = ToQString(RzRegIniFile1.ReadString(kSection, "COMPORTUser", ""));
    if (PT->currentText() != port) PT->setEditText(port);
  }
  if (RzRegIniFile1.ValueExists(kSection, "Check4")) {
    const bool automatic = RzRegIniFile1.ReadString(kSection, "Check4", "") == "true";
    Check4->SetChecked(automatic);
    if (automatic) {
      try {
        ConnectPort();
      } catch (const std::exception&) {
        // The port's error handling has already shown the status; the rest of
        // the settings still load.
      }
    }
  }
  for (const auto& [key, box] : {std::pair<std::string_view, TCheckBox*>{"Check6", Check6},
                                 {"Check7", Check7},
                                 {"Check8", Check8},
                                 {"Check13", Check13},
                                 {"Check9", Check9},
                                 {"Check10", Check10},
                                 {"Check11", Check11}}) {
    LoadCheck(key, box);
  }
  // Applied last: the automatic connection above uses the speed the window starts with.
  if (RzRegIniFile1.ValueExists(kSection, "Speed")) {
    const auto position = DecimalOf(RzRegIniFile1.ReadString(kSection, "Speed", ""));
    if (position && *position >= 0 && *position < Speed->count()) {
      Speed->setCurrentIndex(*position);
    }
  }
}

}  // namespace missivo
