// What the three lists do besides being filled from the phone: sorting by a
// clicked column, the preview of the current message, F5 into the archive,
// the archive's edit panel, deleting archive and phonebook rows, and the tab
// captions with the row counts. Selected rows are drawn in bold by the lists'
// delegate (row_model.h); Ctrl+A is the list views' own select-all, so it
// selects the rows shown. Every command gets core rows through row_model.h's
// mapping, never from the row number on screen.
#include <QAction>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeView>

#include "app/event_hook.h"
#include "app/guard.h"
#include "app/main_window.h"
#include "app/qt_user_interface.h"
#include "app/row_filter_proxy.h"
#include "app/row_model.h"
#include "app/search_bar.h"
#include "shell/qt_text.h"
#include "store/archive.h"
#include "store/message_fields.h"

namespace missivo {
namespace {

// The first selected row as the view shows it, or -1. Rows on screen are
// turned into core rows by CoreRow (row_model.h) where a command acts on them.
int FirstSelected(const QTreeView* view) {
  const std::vector<int> rows = SelectedViewRows(view);
  return rows.empty() ? -1 : rows.front();
}

// "Title (n)", or the title alone for an empty list; while a filter is on,
// "Title (shown of n)".
QString Counted(const std::string& title, std::size_t rows, const RowFilterProxy* shown,
                const LanguageLines& language) {
  if (shown->Filtering()) {
    return ToQString(title + " (" + std::to_string(shown->ShownCount()) + " " +
                     language.LangText("Str120") + " " + std::to_string(rows) + ")");
  }
  return ToQString(rows == 0 ? title : title + " (" + std::to_string(rows) + ")");
}

// A deletion's effect on the window: the list shows its rows again, and the
// preview is emptied when the deletion says so.
void ShowDeletion(const DeleteOutcome& outcome, RowListModel* list, QPlainTextEdit* preview) {
  if (outcome.confirmed) list->Refresh();
  if (outcome.empty_preview) preview->clear();
}

void OnColumnClick(TForm1* form, QTreeView* view, void (TForm1::*handler)(int)) {
  QObject::connect(view->header(), &QHeaderView::sectionClicked, form,
                   [form, handler](int column) { RunGuarded([&] { (form->*handler)(column); }); });
}

}  // namespace

void TForm1::ConnectListHandlers() {
  OnColumnClick(this, List1, &TForm1::List1ColumnClick);
  OnColumnClick(this, List4, &TForm1::List4ColumnClick);
  OnColumnClick(this, List2, &TForm1::List2ColumnClick);
  OnKeyDown(List1, [this](int key) { List1KeyDown(key); });
  OnKeyUp(List1, [this](int key) { List1KeyUp(key); });
  OnKeyDown(List4, [this](int key) { List4KeyDown(key); });
  OnKeyUp(List4, [this](int key) { List4KeyUp(key); });
  OnKeyUp(List2, [this](int key) { List2KeyUp(key); });
  connect(List1, &QTreeView::clicked, this, Guarded([this] { List1Click(); }));
  connect(List4, &QTreeView::clicked, this, Guarded([this] { List4Click(); }));
  connect(List1->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          [this](const QItemSelection& selected, const QItemSelection& deselected) {
            const QItemSelection& changed = selected.isEmpty() ? deselected : selected;
            if (!changed.isEmpty()) RunGuarded([&] { List1SelectItem(changed.last().bottom()); });
          });
  connect(MenuItem1, &QAction::triggered, this, Guarded([this] { MenuItem1Click(); }));
  connect(MenuItem2, &QAction::triggered, this, Guarded([this] { MenuItem2Click(); }));
  connect(N21, &QAction::triggered, this, Guarded([this] { N21Click(); }));
  connect(N22, &QAction::triggered, this, Guarded([this] { N22Click(); }));
  connect(N18, &QAction::triggered, this, Guarded([this] { N18Click(); }));
  connect(N19, &QAction::triggered, this, Guarded([this] { N19Click(); }));
  connect(bsSkinSpeedButton3, &QToolButton::clicked, this,
          Guarded([this] { bsSkinSpeedButton3Click(); }));
  connect(bsSkinButton4, &QPushButton::clicked, this, Guarded([this] { bsSkinButton4Click(); }));
  connect(CancelEdit, &QPushButton::clicked, this, Guarded([this] { CancelEditClick(); }));
  // The captions follow the row counts: at every change of the rows, and at
  // every paint, so that a new language's titles get their counts at once. A
  // change of the archive's rows titles its tab with Str73, a paint with Str80.
  for (RowListModel* rows : {List1Rows, List4Rows}) {
    const char* archive_title = rows == List4Rows ? "Str73" : "Str80";
    const auto update = [this, archive_title] { UpdateTabCaptions(archive_title); };
    connect(rows, &QAbstractItemModel::modelReset, this, update);
    connect(rows, &QAbstractItemModel::rowsInserted, this, update);
    connect(rows, &QAbstractItemModel::rowsRemoved, this, update);
  }
  for (QTreeView* view : {List1, List4})
    OnPaint(view->viewport(), [this] { UpdateTabCaptions(); });
  ConnectSearch();
}

void TForm1::UpdateTabCaptions(const char* archive_title) {
  const struct {
    QWidget* tab;
    const char* title;
    std::size_t rows;
    const RowFilterProxy* shown;
  } tabs[] = {{SMSTAB, "Str72", List1Rows->rows().size(), List1Shown},
              {ARCHIVETAB, archive_title, List4Rows->rows().size(), List4Shown}};
  for (const auto& tab : tabs) {
    const int position = bsSkinPageControl1->indexOf(tab.tab);
    const QString caption = Counted(LangText(tab.title), tab.rows, tab.shown, Lang);
    if (bsSkinPageControl1->tabText(position) != caption)
      bsSkinPageControl1->setTabText(position, caption);
  }
}

// ---- Sorting ----

void TForm1::List1ColumnClick(int column) {
  SortListByColumn(List1Rows->list(), column, Sort);
  List1Rows->Refresh();
}

void TForm1::List4ColumnClick(int column) {
  (void)SortArchiveByColumn(List4Rows->list(), column, Sort, RzRegIniFile1, Store().archive(),
                            *bsSkinMessage1);
  List4Rows->Refresh();
}

void TForm1::List2ColumnClick(int column) {
  SortListByColumn(List2Rows->list(), column, Sort);
  List2Rows->Refresh();
}

// ---- Preview and keys ----

void TForm1::ShowPreview(const QTreeView* view, const RowListModel* list, int view_row) {
  const std::ptrdiff_t row = CoreRow(view->model(), view_row);
  if (row < 0 || static_cast<std::size_t>(row) >= list->rows().size()) return;
  Text1->setPlainText(TextWithLines(BestText(list->rows()[static_cast<std::size_t>(row)])));
  HighlightPreview();
}

void TForm1::List1Click() {
  ShowPreview(List1, List1Rows, FirstSelected(List1));
}

void TForm1::List1SelectItem(int row) {
  ShowPreview(List1, List1Rows, row);
}

void TForm1::List1KeyDown(int key) {
  const int first = FirstSelected(List1);
  if (key == Qt::Key_Up && first > 0) ShowPreview(List1, List1Rows, first - 1);
}

void TForm1::List1KeyUp(int key) {
  if (key == Qt::Key_Delete) {
    DeleteOnPhone(/*ask=*/true, /*every_row=*/false);
  } else if (key == Qt::Key_F5) {
    AppendToArchive(List4Rows->list(), RowsAt(List1Rows->list(), SelectedRows(List1)),
                    *bsSkinMessage1);
    List4Rows->Refresh();
  }
}

void TForm1::List4Click() {
  ShowPreview(List4, List4Rows, FirstSelected(List4));
}

void TForm1::List4KeyDown(int key) {
  const int first = FirstSelected(List4);
  if (key == Qt::Key_F2 && first >= 0) OpenArchiveEdit(CoreRow(List4->model(), first));
  const int last = List4->model()->rowCount() - 1;
  if (key == Qt::Key_Down) {
    if (first >= 0 && first < last) ShowPreview(List4, List4Rows, first + 1);
  } else if (key == Qt::Key_Up) {
    if (first > 0) ShowPreview(List4, List4Rows, first - 1);
  } else {
    Text1->clear();
  }
}

void TForm1::OpenArchiveEdit(std::ptrdiff_t row) {
  if (row < 0 || static_cast<std::size_t>(row) >= List4Rows->rows().size()) return;
  edit_row_ = static_cast<std::size_t>(row);
  const ArchiveEditFields fields = EditFieldsOf(List4Rows->rows()[edit_row_]);
  E2->setText(ToQString(fields.date_time));
  E3->setText(ToQString(fields.index));
  E4->setText(ToQString(fields.type));
  M1->setPlainText(TextWithLines(fields.whole_text));
  edit_text_ = M1->toPlainText();
  List4->hide();
  List4Search->hide();
  SMSEdit->show();
}

void TForm1::List4KeyUp(int key) {
  switch (key) {
    case Qt::Key_Delete: {
      ShowDeletion(DeleteArchiveRowsOnKey(List4Rows->list(), SelectedRows(List4), Store().archive(),
                                          Lang, *bsSkinMessage1),
                   List4Rows, Text1);
      break;
    }
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
      ShowPreview(List4, List4Rows, FirstSelected(List4));
      break;
    default:
      break;
  }
}

void TForm1::List2KeyUp(int key) {
  if (key != Qt::Key_Delete) return;
  ShowDeletion(DeletePhonebookRowsOnKey(List2Rows->list(), SelectedRows(List2), Store().phonebook(),
                                        Lang, *bsSkinMessage1),
               List2Rows, Text1);
}

// ---- The archive's popup menu and edit panel ----

void TForm1::N21Click() {
  ShowDeletion(DeleteArchiveRowsFromMenu(List4Rows->list(), SelectedRows(List4), Store().archive(),
                                         Lang, *bsSkinMessage1),
               List4Rows, Text1);
}

void TForm1::N22Click() {
  // While a filter is on, the rows shown go when the user says so; else all.
  if (List4Shown->Filtering()) {
    const DeleteOutcome shown = DeleteShownArchiveRows(List4Rows->list(), ShownRows(List4),
                                                       Store().archive(), Lang, *bsSkinMessage1);
    ShowDeletion(shown, List4Rows, Text1);
    if (shown.confirmed) return;
  }
  ShowDeletion(DeleteAllArchiveRows(List4Rows->list(), Store().archive(), Lang, *bsSkinMessage1),
               List4Rows, Text1);
}

void TForm1::bsSkinButton4Click() {
  const QString typed = M1->toPlainText();
  // An untouched text keeps its own line breaks (CR LF), which the box shows as LF.
  const std::string whole_text = typed == edit_text_ && edit_row_ < List4Rows->rows().size()
                                     ? BestText(List4Rows->rows()[edit_row_])
                                     : typed.toStdString();
  const ArchiveEditFields fields{FromQString(E2->text()), FromQString(E3->text()),
                                 FromQString(E4->text()), FromQString(typed), whole_text};
  const ArchiveEditResult result = SaveArchiveEdit(List4Rows->list(), edit_row_, fields,
                                                   Store().archive(), Lang, *bsSkinMessage1);
  if (result == ArchiveEditResult::kIncomplete || result == ArchiveEditResult::kBadDate) return;
  List4Rows->Refresh();
  CancelEditClick();
  Text1->clear();
}

void TForm1::CancelEditClick() {
  SMSEdit->hide();
  List4Search->show();
  List4->show();
}

}  // namespace missivo
