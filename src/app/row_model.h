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
  int HeaderImage(int column) const;

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  RowList list_;
  std::vector<QString> titles_;
};

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
// whole-row and multiple selection, small pictures, read-only cells.
void SetUpListView(QTreeView* view, RowListModel* model, const std::vector<ListColumn>& columns);

// Positions of the selected rows, ascending.
std::vector<std::size_t> SelectedRows(const QTreeView* view);

}  // namespace missivo
