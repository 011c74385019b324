// The window's imports of the exchange formats: "Конвертировать" → "Резервная
// копия SMS (XML)" into the archive, and → "Контакты (vCard)" into the
// phonebook, with names then put on the archive's senders.
#include <QAction>
#include <QFile>
#include <QLabel>
#include <QMenu>

#include "app/exchange_texts.h"
#include "app/file_dialog.h"
#include "app/guard.h"
#include "app/main_window.h"
#include "app/qt_user_interface.h"
#include "app/row_model.h"
#include "shell/qt_text.h"
#include "store/stored_list.h"
#include "transfer/exchange_import.h"

namespace missivo {
namespace {

// The file chosen in Open1 with `filter`, or nothing when cancelled.
std::optional<std::filesystem::path> ChooseFile(TForm1& form, std::string_view filter_key) {
  form.Open1->Filter = ToQString(ExchangeText(form.Lang, filter_key));
  if (!form.Open1->Execute()) return std::nullopt;
  return std::filesystem::path(QFile::encodeName(form.Open1->FileName).toStdString());
}

// Whether to go on with what a file gave: all of it when it was read whole;
// after a fault, the error is shown, and what came before it only when there
// is some and the user says Yes.
bool TakeWhatWasRead(TForm1& form, const std::string& error, std::size_t read_before) {
  if (error.empty()) return true;
  if (read_before == 0) {
    form.bsSkinMessage1->ShowMessage(error, MessageKind::kError);
    return false;
  }
  return form.bsSkinMessage1->AskYesNo(
      error + "\r\n\r\n" +
      ExchangeText(form.Lang, kPartialQuestionKey, std::to_string(read_before)));
}

// No second import starts while one lets events run.
struct ConvertMenuOff {
  explicit ConvertMenuOff(QMenu* menu) : menu_(menu) { menu_->setEnabled(false); }
  ~ConvertMenuOff() { menu_->setEnabled(true); }
  ConvertMenuOff(const ConvertMenuOff&) = delete;
  ConvertMenuOff& operator=(const ConvertMenuOff&) = delete;

 private:
  QMenu* menu_;
};

}  // namespace

void TForm1::ConnectExchangeCommands() {
  connect(SmsBackup1, &QAction::triggered, this, Guarded([this] { SmsBackup1Click(); }));
  connect(VCard1, &QAction::triggered, this, Guarded([this] { VCard1Click(); }));
}

void TForm1::SmsBackup1Click() {
  const std::optional<std::filesystem::path> file = ChooseFile(*this, kSmsBackupFilterKey);
  if (!file) return;
  BackupRows backup = ReadBackupRows(*file, Lang);
  if (!TakeWhatWasRead(*this, backup.read.error, backup.rows.size())) return;
  const ConvertMenuOff off(N17);
  const ImportCount count =
      AppendNewMessages(List4Rows->rows(), std::move(backup.rows), Lang, *bsSkinMessage1);
  ResolveArchiveNames();  // saves when there is a phonebook
  if (count.added != 0) (void)SaveArchive();
  List4Rows->Refresh();  // the save may have taken in other programs' rows
  std::string status = ExchangeText(Lang, kImportedCountKey, std::to_string(count.added),
                                    std::to_string(count.already));
  if (backup.read.media_skipped != 0) {
    status +=
        "; " + ExchangeText(Lang, kMediaSkippedKey, std::to_string(backup.read.media_skipped));
  }
  ProgressText->setText(ToQString(status));
}

void TForm1::VCard1Click() {
  const std::optional<std::filesystem::path> file = ChooseFile(*this, kVCardFilterKey);
  if (!file) return;
  const VCardRead read = ReadVCardFile(*file);
  if (!TakeWhatWasRead(*this, read.error, read.contacts.size())) return;
  const ConvertMenuOff off(N17);
  const ImportCount count = AppendNewContacts(List2Rows->rows(), read.contacts);
  if (count.added != 0) {
    (void)SaveListFile(List2Rows->list(), Store().phonebook(), *bsSkinMessage1);
    // As after a phonebook read: names on the senders, the archive saved.
    ResolveArchiveNames();
    ResolveMessageNames();
  }
  List2Rows->Refresh();  // after the save, which may have taken in other programs' rows
  ProgressText->setText(ToQString(ExchangeText(Lang, kContactsCountKey, std::to_string(count.added),
                                               std::to_string(count.already))));
}

}  // namespace missivo
