// The phone data commands of the window: the read command (F3), the phonebook
// read (F4), deleting the messages of List1 in the phone. The core does the
// work; the window refreshes its lists and keeps one phone command at a time.
#include <QAction>
#include <QEventLoop>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <chrono>
#include <numeric>

#include "app/check_box.h"
#include "app/main_window.h"
#include "app/phone_command_scope.h"
#include "app/qt_user_interface.h"
#include "app/read_trouble.h"
#include "app/row_filter_proxy.h"
#include "app/row_model.h"
#include "phone/at_exchange.h"
#include "phone/name_resolution.h"
#include "phone/phone_delete.h"
#include "phone/read_command.h"
#include "phone/serial/com_port.h"
#include "shell/qt_text.h"
#include "store/stored_list.h"

namespace missivo {

void TForm1::bsSkinSpeedButton3Click() {
  (void)ReadMessages();
}

ReadCommandResult TForm1::ReadMessages() {
  const ReadCommandOptions options{{Check8->isChecked(), Check9->isChecked(), Check10->isChecked()},
                                   Check6->isChecked(),
                                   Check7->isChecked(),
                                   Check13->isChecked()};
  ReadCommandHooks hooks;
  hooks.wait = [](std::chrono::milliseconds pause) {
    // Events keep running during the pause before the last save.
    QEventLoop loop;
    QTimer::singleShot(pause, &loop, &QEventLoop::quit);
    loop.exec();
  };
  hooks.lists_changed = [this] {
    for (RowListModel* list : {List1Rows, List4Rows, List2Rows})
      list->Refresh();
  };
  const ReadCommandResult result = RunReadCommand(
      *Exchange, Profile, PhoneGuard, {List1Rows->list(), List4Rows->list(), List2Rows->list()},
      options, Store(), Lang, *bsSkinMessage1, hooks);
  ShowDevice();
  if (result.outcome == ReadCommandOutcome::kDone && !result.port_open) ShowNoPhone();
  // What the read could not do replaces "Готово!".
  if (const std::string trouble = ReadTroubleText(result, Lang); !trouble.empty())
    ProgressText->setText(ToQString(trouble));
  return result;
}

void TForm1::ShowNoPhone() {
  ProgressText->setText(LangString("Str55"));
}

void TForm1::N18Click() {
  bsSkinSpeedButton3Click();
}

void TForm1::N19Click() {
  PhoneCommandScope command(*this);
  if (!command) return;
  if (!Comm->Active()) {
    ShowNoPhone();
  } else if (!ReadPhonebook()) {
    return;
  }
  ResolveArchiveNames();
}

bool TForm1::ReadPhonebook() {
  const PhonebookReadResult read = ReadPhonebookIntoList(
      *Exchange, PhoneProfile(), List2Rows->list(), Store().phonebook(), Lang, *bsSkinMessage1);
  List2Rows->Refresh();
  return read.usable;
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
  return SaveListFile(List4Rows->list(), Store().archive(), *bsSkinMessage1);
}

void TForm1::MenuItem1Click() {
  DeleteOnPhone(/*ask=*/false, /*every_row=*/false);
}

void TForm1::MenuItem2Click() {
  DeleteOnPhone(/*ask=*/false, /*every_row=*/true);
}

// Deletes the selected rows of List1 (or all of them, or all it shows when the
// user says so while a filter is on) in the phone and from the list, whatever
// the phone answers; with `ask`, only a selection and a Yes to Str77 go on.
void TForm1::DeleteOnPhone(bool ask, bool every_row) {
  PhoneCommandScope command(*this);
  if (!command) return;
  std::vector<std::size_t> rows = SelectedRows(List1);
  if (every_row && List1Shown->Filtering() && bsSkinMessage1->AskYesNo(LangText("Str122"))) {
    rows = ShownRows(List1);  // only the messages the filter shows
  } else if (every_row) {
    rows.resize(List1Rows->rows().size());
    std::iota(rows.begin(), rows.end(), std::size_t{0});
  }
  if (ask && (rows.empty() || !bsSkinMessage1->AskYesNo(LangText("Str77")))) return;
  DeleteRowsOnPhone(*Exchange, PhoneProfile(), List1Rows->rows(), rows, *bsSkinMessage1);
  Text1->clear();
  RemoveRowsAt(List1Rows->list(), rows);
  List1Rows->Refresh();
}

}  // namespace missivo
