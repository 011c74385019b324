// Putting the stored settings back into the window at start. A value that is
// missing leaves its control at the form default; so does a value that is not
// usable (not a decimal number, or out of range), and the load goes on with the
// next key. A failed automatic connection shows its status and the load goes on.
#include <QComboBox>

#include "app/check_box.h"
#include "app/image_list.h"
#include "app/main_window.h"
#include "app/row_model.h"
#include "app/setting_values.h"
#include "shell/qt_text.h"

namespace missivo {

void TForm1::LoadCheck(std::string_view key, TCheckBox* box) {
  if (!SettingExists(key)) return;
  box->SetChecked(ReadSetting(key, "") == "true");
}

void TForm1::LoadOptions() {
  LoadCheck("Check3", Check3);
  if (const auto kind = PhoneKindFromName(ReadSetting("PhoneKind", "automatic"))) {
    PhoneKindBox->setCurrentIndex(static_cast<int>(*kind));
  }
  if (SettingExists("COMPORTUser")) {
    const QString port = ToQString(ReadSetting("COMPORTUser", ""));
    if (PT->currentText() != port) PT->setEditText(port);
  }
  if (SettingExists("Check4")) {
    const bool automatic = ReadSetting("Check4", "") == "true";
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
  if (SettingExists("Speed")) {
    const auto position = DecimalOf(ReadSetting("Speed", ""));
    if (position && *position >= 0 && *position < Speed->count()) {
      Speed->setCurrentIndex(*position);
    }
  }
}

}  // namespace missivo
