// The model adapter between a core row list (std::vector<Row>) and a QTreeView
// in report style, and the delegate that draws grid lines and selected rows in
// bold.
#pragma once

#include <QAbstractTableModel>
#include <QStyledItemDelegate>
#include <QTreeView>
#include <cstddef>
#include <vector>

#include "store/row.h"
#include "store/row_list.h"

namespace missivo {

// Column 0 shows a row's caption with its picture, column N its sub-item N - 1.
// The model owns a core row list (rows and header markers); core operations
// change it through list() and the caller then calls Refresh(). A header shows
// its marker as a picture of ImageList1 (the sort markers 31 and 32; -1: none).
class RowListModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  RowListModel(int column_count, QObject* parent = nullptr);

  RowList& list() { return list_; }
  const RowList& list() const { return list_; }
  std::vector<Row>& rows() { return list_.rows; }
  const std::vector<Row>& rows() const { return list_.rows; }

  // Replaces every row.
  void SetRows(std::vector<Row> rows);
  // Tells the views that the list was changed in place (rows and markers).
  void Refresh();

  void SetColumnTitle(int column, const QString& title);
  QString ColumnTitle(int column) const;
  void SetHeaderImage(int column, int image);
  // The word before the delivery time in a sent message's tooltip.
  void SetDeliveredWord(const QString& word) { delivered_word_ = word; }
  int HeaderImage(int column) const;

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  RowList list_;
  std::vector<QString> titles_;
  QString delivered_word_;
};

// "Доставлено: 2026-12-10 18:00:00+03:00": `word` and the ISO time.
QString DeliveredCaption(const QString& word, const std::string& iso_time);

// Draws the cell as the style does, in bold while its row is selected, and a
// thin grid line on its right and bottom edges.
class ListRowDelegate : public QStyledItemDelegate {
  Q_OBJECT

 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;

 protected:
  void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;
};

// A column of a list view: its initial title and width; a width of 0 makes the
// column take the space the others leave.
struct ListColumn {
  QString title;
  int width = 0;
};

// Sets a QTreeView up as a report-style list: the columns, grid lines,
// whole-row and multiple selection, small pictures, read-only cells. The view
// shows `shown` when given (a proxy in front of `model`), else `model`.
void SetUpListView(QTreeView* view, RowListModel* model, const std::vector<ListColumn>& columns,
                   QAbstractItemModel* shown = nullptr);

// ---- The one mapping from view rows to core rows ----
// A view may show its core row list through proxies that sort, filter or
// group it; every command on rows gets core positions here, never from the row
// number on screen.

// The position in the core row list of the row that `view_model` (a
// RowListModel or a chain of proxies in front of one) shows at `view_row`, or
// -1 when it shows no such row.
std::ptrdiff_t CoreRow(const QAbstractItemModel* view_model, int view_row);

// The view row that shows the core row at `core_row`, or -1 when it is not shown.
int ViewRow(const QAbstractItemModel* view_model, std::size_t core_row);

// Core positions of the rows selected in `view`, ascending.
std::vector<std::size_t> SelectedRows(const QTreeView* view);

// Core positions of every row `view` shows, ascending.
std::vector<std::size_t> ShownRows(const QTreeView* view);

// The view rows selected in `view`, ascending (for moving from one shown row to the next).
std::vector<int> SelectedViewRows(const QTreeView* view);

}  // namespace missivo
