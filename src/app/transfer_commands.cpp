// The window's export and import commands: "Сохранить" and "Сохранить все" of
// the "Файл" menu and of both popup menus through Save2, and the two
// "Конвертировать" imports into the archive through Open1.
#include <QAction>
#include <QEventLoop>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QTabWidget>
#include <QTimer>
#include <QTreeView>

#include "app/exchange_texts.h"
#include "app/file_dialog.h"
#include "app/guard.h"
#include "app/main_window.h"
#include "app/qt_user_interface.h"
#include "app/row_model.h"
#include "phone/name_resolution.h"
#include "shell/qt_text.h"
#include "store/list_file.h"
#include "store/stored_list.h"
#include "transfer/exchange_export.h"
#include "transfer/export_rows.h"
#include "transfer/p2ktools_import.h"
#include "transfer/v1_import.h"

namespace missivo {
namespace {

std::filesystem::path PathOf(const QString& file_name) {
  return std::filesystem::path(QFile::encodeName(file_name).toStdString());
}

// Save2 completes a typed name with the extension the file type `file_type`
// stands for: that of an exchange format, else the template's.
void ShowDefaultExtension(TFileDialog* dialog, const Save2Choice& choice, int file_type) {
  const std::optional<MessageFormat> format = ExchangeFormatOfFileType(file_type);
  dialog->DefaultExt = format ? QStringLiteral("*.") + QString::fromLatin1(ExtensionOf(*format))
                              : QString::fromStdString(choice.DefaultExtension());
}

// The selected rows or all rows of one list to the file the user names in Save2.
void ExportList(TForm1& form, const QTreeView* view, RowListModel* rows, bool selected_only) {
  const RowSelection selection =
      selected_only ? RowSelection::Only(SelectedRows(view)) : RowSelection::All();
  if (!HasRowsToExport(rows->rows(), selection)) return;

  TFileDialog* dialog = form.Save2;
  dialog->FilterIndex = form.Save2Type.FileTypeToShow();
  ShowDefaultExtension(dialog, form.Save2Type, dialog->FilterIndex);
  if (!dialog->Execute()) {
    form.Save2Type.Cancelled();
    ShowDefaultExtension(dialog, form.Save2Type, form.Save2Type.FileTypeToShow());
    return;
  }
  form.Save2Type.Confirmed(dialog->FilterIndex);
  ShowDefaultExtension(dialog, form.Save2Type, dialog->FilterIndex);
  // A failed write is shown by the export, and the gauge is idle again either way.
  const std::optional<MessageFormat> format = ExchangeFormatOfFileType(dialog->FilterIndex);
  const ExportResult result =
      format
          ? ExportMessages(rows->rows(), selection, *format, PathOf(dialog->FileName), form.Lang,
                           *form.bsSkinMessage1)
          : ExportRows(rows->rows(), selection, form.Save2Type.ChosenTemplate(), form.DataFolder(),
                       PathOf(dialog->FileName), form.Lang, *form.bsSkinMessage1);
  if (result.ok())
    form.ProgressText->setText(ToQString(ExportedCountText(result.exported, form.Lang)));
}

// "Сохранить" or "Сохранить все" of the "Файл" menu: the list of the active tab.
void ExportByActiveTab(TForm1& form, bool selected_only) {
  const QWidget* tab = form.bsSkinPageControl1->currentWidget();
  if (tab == form.SMSTAB) ExportList(form, form.List1, form.List1Rows, selected_only);
  if (tab == form.ARCHIVETAB) ExportList(form, form.List4, form.List4Rows, selected_only);
}

// Waits `milliseconds` while the window goes on painting and taking input.
void WaitWithEvents(int milliseconds) {
  QEventLoop loop;
  QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
  loop.exec();
}

template <typename Entry>
using ReadImport = ImportRead<Entry> (*)(const std::filesystem::path&);
template <typename Entry>
using AppendImport = ImportCount (*)(std::vector<Row>&, const std::vector<Entry>&,
                                     const LanguageLines&, UserInterface&,
                                     const std::function<void()>&);

// One import into the archive: the open dialog with `filter`; the chosen file
// read with `read` (a file that cannot be read is shown as an error, and
// nothing is added or saved); its rows appended to List4 with `append`, names
// resolved; after a short wait the archive saved, and the status text telling
// how many messages were added and how many the archive held already.
template <typename Entry>
void ImportMessages(TForm1& form, const QString& filter, ReadImport<Entry> read,
                    AppendImport<Entry> append) {
  form.Open1->Filter = filter;
  if (!form.Open1->Execute()) return;

  const ImportRead<Entry> file = read(PathOf(form.Open1->FileName));
  if (!file.ok()) {
    form.bsSkinMessage1->ShowMessage(file.error, MessageKind::kError);
    return;
  }
  // No second import starts while this one lets events run.
  form.N17->setEnabled(false);
  struct Reenable {
    QMenu* menu;
    ~Reenable() { menu->setEnabled(true); }
  } reenable{form.N17};

  const auto resolve_names = [&form] {
    // The archive is saved once, below, whether or not a name was put in.
    ResolveArchiveNames(form.List4Rows->rows(), form.List2Rows->rows(), {});
  };
  const ImportCount added =
      append(form.List4Rows->rows(), file.entries, form.Lang, *form.bsSkinMessage1, resolve_names);
  form.List4Rows->Refresh();
  WaitWithEvents(100);
  (void)SaveListFile(form.List4Rows->list(), form.Store().archive(), *form.bsSkinMessage1);
  form.ProgressText->setText(ToQString(ImportedCountText(added, form.Lang)));
}

}  // namespace

void TForm1::ConnectTransferCommands() {
  connect(new1, &QAction::triggered, this, Guarded([this] { new1Click(); }));
  connect(N4, &QAction::triggered, this, Guarded([this] { N4Click(); }));
  connect(MenuItem3, &QAction::triggered, this, Guarded([this] { MenuItem3Click(); }));
  connect(MenuItem4, &QAction::triggered, this, Guarded([this] { MenuItem4Click(); }));
  connect(N23, &QAction::triggered, this, Guarded([this] { N23Click(); }));
  connect(N24, &QAction::triggered, this, Guarded([this] { N24Click(); }));
  connect(P2kTools1, &QAction::triggered, this, Guarded([this] { P2kTools1Click(); }));
  connect(Missivo11, &QAction::triggered, this, Guarded([this] { Missivo11Click(); }));
  Save2->OnTypeChange = [this](int file_type) { Save2TypeChange(file_type); };
}

void TForm1::Save2TypeChange(int file_type) {
  Save2Type.Save2TypeChange(file_type);
  ShowDefaultExtension(Save2, Save2Type, file_type);
}

void TForm1::new1Click() {
  ExportByActiveTab(*this, true);
}

void TForm1::N4Click() {
  ExportByActiveTab(*this, false);
}

void TForm1::MenuItem3Click() {
  ExportList(*this, List1, List1Rows, true);
}

void TForm1::MenuItem4Click() {
  ExportList(*this, List1, List1Rows, false);
}

void TForm1::N23Click() {
  ExportList(*this, List4, List4Rows, true);
}

void TForm1::N24Click() {
  ExportList(*this, List4, List4Rows, false);
}

void TForm1::P2kTools1Click() {
  ImportMessages<P2kToolsEntry>(*this, QStringLiteral("Сообщения P2kTools (*.txt)|*.txt"),
                                ReadP2kToolsFile, AppendP2kToolsRows);
}

void TForm1::Missivo11Click() {
  // The Latin x after "1." here; the menu caption has the Cyrillic х.
  ImportMessages<V1MessageEntry>(*this,
                                 QStringLiteral("Сообщения Missivo 1.x входящие (*.msg)|*.msg"),
                                 ParseV1MessageFile, AppendV1MessageRows);
}

}  // namespace missivo
