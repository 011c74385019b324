// The start sequence (FormCreate, FormShow) and the exit sequence (FormCloseQuery).
#include <QTabWidget>
#include <QTimer>
#include <filesystem>

#include "app/bundled_files.h"
#include "app/check_box.h"
#include "app/default_templates.h"
#include "app/language_files.h"
#include "app/main_window.h"
#include "app/program.h"
#include "app/qt_text.h"
#include "app/row_model.h"
#include "app/splash.h"

namespace missivo {

void TForm1::FormCreate() {
  WriteDefaultLanguage(program_folder_);
  InstallBundledLanguages(program_folder_);
  Lang = LanguageLines();
  Timer3->start();
}

void TForm1::Timer3Timer() {
  Timer3->stop();
  if (Form2 != nullptr) Form2->ShowSplash();
}

void TForm1::MakeFolders() {
  std::error_code error;
  const auto skins = program_folder_ / "Skins";
  if (!std::filesystem::exists(skins, error)) {
    std::filesystem::create_directories(skins, error);
    // The skins shipped with the program arrive with the folder, on the first start.
    if (!error) CopyMissingResourceFiles(QStringLiteral(":/skins"), skins);
  }
  std::filesystem::create_directories(DataFolder(), error);
}

bool TForm1::FormShow() {
  MakeFolders();
  BuildLanguageMenu();
  BuildSkinMenu();
  LoadSettingsAndLists();
  WriteDefaultTemplates(DataFolder(), Lang);
  return true;
}

void TForm1::LoadSettingsAndLists() {
  LoadArchiveSortSettings();
  MissivoApplication::SetExceptionHandler(
      [this](std::exception_ptr error) { ShowApplicationError(error); });
  const std::string archive = LangText("Str80");
  const auto rows = List4Rows->rows().size();
  bsSkinPageControl1->setTabText(
      bsSkinPageControl1->indexOf(ARCHIVETAB),
      ToQString(rows == 0 ? archive : archive + " (" + std::to_string(rows) + ")"));
  LoadOptions();
}

void TForm1::FormCloseQuery() {
  std::error_code error;
  if (Check11->isChecked()) std::filesystem::remove(program_folder_ / "Terminal.log", error);
}

}  // namespace missivo
