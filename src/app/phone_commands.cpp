// The phone data commands of the window: the read command (F3), the phonebook
// read (F4), deleting the messages of List1 in the phone.
#include <QAction>
#include <QPlainTextEdit>
#include <QToolButton>
#include <QTreeView>
#include <map>
#include <numeric>

#include "app/check_box.h"
#include "app/guard.h"
#include "app/main_window.h"
#include "app/phone_command_scope.h"
#include "app/qt_user_interface.h"
#include "app/row_model.h"
#include "phone/at_exchange.h"
#include "phone/com_port.h"
#include "phone/message_read.h"
#include "phone/name_resolution.h"
#include "phone/phone_delete.h"
#include "phone/phonebook_read.h"
#include "store/archive.h"
#include "store/list_file.h"

namespace missivo {
namespace {

// The indexes of the messages read whose rows are all in the archive: the only
// ones that may go from the phone, since deleting any other would lose it.
std::vector<std::string> ArchivedIndexes(const std::vector<Row>& rows_read,
                                         const std::vector<std::string>& indexes_read,
                                         const std::vector<Row>& archive) {
  const ArchiveIndex archived(archive);
  std::map<std::string, bool> kept;
  for (const Row& row : rows_read) {
    const std::string& index = SubItem(row, kIndex);
    const bool in_archive = archived.IsArchived(row.caption, SubItem(row, kFrom), index);
    kept.try_emplace(index, true).first->second &= in_archive;
  }
  std::vector<std::string> indexes;
  for (const std::string& index : indexes_read) {
    if (const auto it = kept.find(index); it != kept.end() && it->second) indexes.push_back(index);
  }
  return indexes;
}

}  // namespace

void TForm1::bsSkinSpeedButton3Click() {
  PhoneCommandScope command(*this);
  if (!command) return;
  if (Comm->Active()) {
    ReadMessagesAndKeep();
    if (Check7->isChecked() && !ReadPhonebook()) return;
  }
  ResolveArchiveNames();
  ResolveMessageNames();
  if (!List4Rows->rows().empty()) (void)SaveArchive();
}

void TForm1::N18Click() {
  bsSkinSpeedButton3Click();
}

// The messages read go to List1 and, with Check13, into the archive. A port
// failure during the read keeps what was read (the archive is saved) and then
// ends the command. With Check6 the messages are deleted in the phone only
// once the archive holding them is saved.
void TForm1::ReadMessagesAndKeep() {
  const ReadOptions options{Check8->isChecked(), Check9->isChecked(), Check10->isChecked()};
  MessageReadResult read = ReadMessages(*Exchange, options, Lang, *bsSkinMessage1);
  List1Rows->SetRows(std::move(read.rows));
  if (Check13->isChecked()) {
    AppendToArchive(List4Rows->list(), List1Rows->rows(), *bsSkinMessage1);
    List4Rows->Refresh();
  }
  if (read.port_error) {
    if (!List4Rows->rows().empty()) (void)SaveArchive();
    std::rethrow_exception(read.port_error);
  }
  if (!Check6->isChecked() || List4Rows->rows().empty() || !SaveArchive().ok()) return;
  DeleteMessagesOnPhone(*Exchange,
                        ArchivedIndexes(List1Rows->rows(), read.read_indexes, List4Rows->rows()),
                        *bsSkinMessage1);
}

void TForm1::N19Click() {
  PhoneCommandScope command(*this);
  if (!command) return;
  if (Comm->Active() && !ReadPhonebook()) return;
  ResolveArchiveNames();
}

bool TForm1::ReadPhonebook() {
  const auto contacts = missivo::ReadPhonebook(*Exchange, Lang, *bsSkinMessage1);
  if (!contacts) return false;
  if (!contacts->empty()) List2Rows->SetRows(*contacts);
  (void)SaveListFile(List2Rows->list(), Files().phonebook, *bsSkinMessage1);
  return true;
}

void TForm1::ResolveArchiveNames() {
  missivo::ResolveArchiveNames(List4Rows->rows(), List2Rows->rows(),
                               [this] { (void)SaveArchive(); });
  List4Rows->Refresh();
}

void TForm1::ResolveMessageNames() {
  missivo::ResolveMessageNames(List1Rows->rows(), List2Rows->rows());
  List1Rows->Refresh();
}

Status TForm1::SaveArchive() {
  return SaveListFile(List4Rows->list(), Files().archive, *bsSkinMessage1);
}

void TForm1::MenuItem1Click() {
  DeleteOnPhone(/*ask=*/false, /*every_row=*/false);
}

void TForm1::MenuItem2Click() {
  DeleteOnPhone(/*ask=*/false, /*every_row=*/true);
}

// Deletes the selected rows of List1 (or all of them) in the phone and from
// the list, whatever the phone answers; with `ask`, only a selection and a Yes
// to Str77 go on.
void TForm1::DeleteOnPhone(bool ask, bool every_row) {
  PhoneCommandScope command(*this);
  if (!command) return;
  std::vector<std::size_t> rows = SelectedRows(List1);
  if (every_row) {
    rows.resize(List1Rows->rows().size());
    std::iota(rows.begin(), rows.end(), std::size_t{0});
  }
  if (ask && (rows.empty() || !bsSkinMessage1->AskYesNo(LangText("Str77")))) return;
  DeleteRowsOnPhone(*Exchange, List1Rows->rows(), rows, *bsSkinMessage1);
  Text1->clear();
  RemoveRowsAt(List1Rows->list(), rows);
  List1Rows->Refresh();
}

}  // namespace missivo
