// The start sequence (FormCreate, FormShow) and the exit sequence (FormCloseQuery).
#include <unistd.h>

#include <QTabWidget>
#include <QTimer>
#include <filesystem>

#include "app/application.h"
#include "app/check_box.h"
#include "app/default_templates.h"
#include "app/main_window.h"
#include "app/qt_user_interface.h"
#include "app/row_model.h"
#include "app/splash.h"
#include "core/atomic_file.h"
#include "phone/terminal_log.h"
#include "shell/bundled_files.h"
#include "shell/language_files.h"
#include "shell/qt_text.h"
#include "store/archive.h"
#include "store/stored_list.h"

namespace missivo {

void TForm1::FormCreate() {
  if (const Status written = WriteDefaultLanguage(program_folder_); !written.ok())
    bsSkinMessage1->ShowMessage(written.message(), MessageKind::kError);
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
  Lock.locked = false;
  ProbeDataFiles();
  if (Lock.archive_needs_password || Lock.phonebook_needs_password) {
    UnlockAtStart(Lock, Files(), *bsSkinMessage1, Lang, *bsSkinMessage1);
  }
  if (Lock.terminate) return false;
  LoadSettingsAndLists();
  if (const Status written = WriteDefaultTemplates(DataFolder(), Lang); !written.ok())
    bsSkinMessage1->ShowMessage(written.message(), MessageKind::kError);
  return true;
}

void TForm1::ProbeDataFiles() {
  // Sealing a plain file is a write: it waits for the other programs' saves.
  // A folder no program can write needs no lock: its files cannot change.
  Result<FolderLock::Hold> hold = Store().folder_lock().Take();
  if (!hold.ok() && access(DataFolder().c_str(), W_OK) == 0) {
    bsSkinMessage1->ShowMessage(hold.message(), MessageKind::kError);
    return;
  }
  // A file that cannot be read is reported; loading it later reports it again
  // and leaves its list empty.
  for (const Status& failure : missivo::ProbeDataFiles(Files(), Lock))
    bsSkinMessage1->ShowMessage(failure.message(), MessageKind::kError);
  const Result<std::filesystem::path> record = SetAsideDamagedPasswordRecord(Files().password);
  if (!record.ok()) {
    bsSkinMessage1->ShowMessage(record.message(), MessageKind::kError);
  } else if (!record.value().empty()) {
    bsSkinMessage1->ShowMessage("The password record " + QuotedFileName(Files().password) +
                                    " is damaged. It was kept as " +
                                    QuotedFileName(record.value()) + ".",
                                MessageKind::kError);
  }
}

void TForm1::LoadList(RowListModel* list, StoredList& file) {
  (void)LoadListFile(list->list(), file, *bsSkinMessage1);
  list->Refresh();
}

void TForm1::LoadSettingsAndLists() {
  RestoreArchiveSort(RzRegIniFile1, List4Rows->list(), Sort);
  List4Rows->Refresh();
  MissivoApplication::SetExceptionHandler(
      [this](std::exception_ptr error) { ShowApplicationError(error); });
  LoadList(List2Rows, Store().phonebook());
  LoadList(List4Rows, Store().archive());
  WatchDataFiles();
  const std::string archive = LangText("Str80");
  const auto rows = List4Rows->rows().size();
  bsSkinPageControl1->setTabText(
      bsSkinPageControl1->indexOf(ARCHIVETAB),
      ToQString(rows == 0 ? archive : archive + " (" + std::to_string(rows) + ")"));
  LoadOptions();
  RestoreSearchState();
}

void TForm1::FormCloseQuery() {
  ClosePort();
  SaveSearchState();
  // An empty archive is not written: the file keeps what was saved last.
  if (!List4Rows->rows().empty())
    (void)SaveListFile(List4Rows->list(), Store().archive(), *bsSkinMessage1);
  // A log behind a symbolic link goes where it is kept; the link stays for the next run.
  if (Check11->isChecked()) (void)RemoveFile(WriteTargetOf(program_folder_ / kTerminalLogName));
  if (Lock.locked) {
    Result<FolderLock::Hold> hold = Store().folder_lock().Take();
    if (hold.ok()) (void)LockAtExit(Lock, Files(), *bsSkinMessage1);
  }
}

}  // namespace missivo
