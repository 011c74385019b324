#include "app/row_model.h"

#include <QAbstractProxyModel>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QPainter>
#include <QTextDocument>
#include <algorithm>

#include "app/image_list.h"
#include "phone/delivery_reports.h"
#include "shell/qt_text.h"
#include "store/contact_fields.h"
#include "store/message_fields.h"

namespace missivo {
namespace {

// What a cell shows. A row with lossless fields shows its whole text in the
// Message column (on one line; the whole text in the tooltip), the From with
// the contact's whole name, and the number the phone gave in the From
// column's tooltip; a contact row with lossless fields shows its whole name
// and number; the other cells show the sub-items.
QString CellText(const Row& row, int column, int role, const QString& delivered_word) {
  if (HasMessageFields(row) && column <= 1) {
    const std::optional<MessageFields> fields = ReadMessageFields(row);
    if (column == 1 && role != Qt::ToolTipRole) return Utf8ToQString(BestFrom(row, fields));
    if (column == 1)
      return Utf8ToQString(fields->number.empty() ? Cp1251ToUtf8(SubItem(row, kFrom))
                                                  : fields->number);
    if (role != Qt::ToolTipRole) return Utf8ToQString(OneLine(fields->text));
    QString tip = Utf8ToQString(fields->text);
    // A message sent whose delivery was reported: when it arrived.
    if (const std::optional<std::string> delivered = DeliveredTime(row))
      tip += QStringLiteral("\n\n") + DeliveredCaption(delivered_word, *delivered);
    return tip;
  }
  if (HasContactFields(row) && column <= 1)
    return Utf8ToQString(column == 0 ? ContactName(row) : ContactNumber(row));
  return ToQString(column == 0 ? row.caption : SubItem(row, static_cast<std::size_t>(column - 1)));
}

}  // namespace

QString DeliveredCaption(const QString& word, const std::string& iso_time) {
  QString time = Utf8ToQString(iso_time);
  time.replace(QLatin1Char('T'), QLatin1Char(' '));
  return word + QStringLiteral(": ") + time;
}

RowListModel::RowListModel(int column_count, QObject* parent)
    : QAbstractTableModel(parent),
      list_(static_cast<std::size_t>(column_count)),
      titles_(static_cast<std::size_t>(column_count)) {}

void RowListModel::SetRows(std::vector<Row> rows) {
  beginResetModel();
  list_.rows = std::move(rows);
  endResetModel();
}

void RowListModel::Refresh() {
  beginResetModel();
  endResetModel();
  emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
}

void RowListModel::SetColumnTitle(int column, const QString& title) {
  if (column < 0 || column >= columnCount()) return;
  titles_[static_cast<std::size_t>(column)] = title;
  emit headerDataChanged(Qt::Horizontal, column, column);
}

QString RowListModel::ColumnTitle(int column) const {
  if (column < 0 || column >= columnCount()) return {};
  return titles_[static_cast<std::size_t>(column)];
}

void RowListModel::SetHeaderImage(int column, int image) {
  if (column < 0 || column >= columnCount()) return;
  list_.markers[static_cast<std::size_t>(column)] = image;
  emit headerDataChanged(Qt::Horizontal, column, column);
}

int RowListModel::HeaderImage(int column) const {
  if (column < 0 || column >= columnCount()) return -1;
  return list_.markers[static_cast<std::size_t>(column)];
}

int RowListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(list_.rows.size());
}

int RowListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(titles_.size());
}

QVariant RowListModel::data(const QModelIndex& index, int role) const {
  // The rows may have been changed in place before Refresh(); never read past them.
  if (!index.isValid() || index.row() >= static_cast<int>(list_.rows.size())) return {};
  const Row& row = list_.rows[static_cast<std::size_t>(index.row())];
  if (role == Qt::DisplayRole || role == Qt::ToolTipRole) {
    const QString text = CellText(row, index.column(), role, delivered_word_);
    // A tooltip would take a text that looks like markup as markup; a message
    // from anyone is shown as the characters it is.
    return role == Qt::ToolTipRole ? Qt::convertFromPlainText(text, Qt::WhiteSpaceNormal) : text;
  }
  if (role == Qt::DecorationRole && index.column() == 0) {
    const QIcon icon = ImageList::Icon(row.image);
    if (!icon.isNull()) return icon;
  }
  return {};
}

QVariant RowListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()) return {};
  if (role == Qt::DisplayRole) return titles_[static_cast<std::size_t>(section)];
  if (role == Qt::DecorationRole) {
    const QIcon icon = ImageList::Icon(list_.markers[static_cast<std::size_t>(section)]);
    if (!icon.isNull()) return icon;
  }
  return {};
}

void ListRowDelegate::initStyleOption(QStyleOptionViewItem* option,
                                      const QModelIndex& index) const {
  QStyledItemDelegate::initStyleOption(option, index);
  if (option->state & QStyle::State_Selected) option->font.setBold(true);
  // A message text may span several lines; the list shows it on one.
  option->text.replace(QLatin1Char('\n'), QLatin1Char(' ')).remove(QLatin1Char('\r'));
}

void ListRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                            const QModelIndex& index) const {
  QStyledItemDelegate::paint(painter, option, index);
  painter->save();
  QColor grid = option.palette.color(QPalette::Mid);
  grid.setAlpha(110);
  painter->setPen(grid);
  const QRect r = option.rect;
  painter->drawLine(r.bottomLeft(), r.bottomRight());
  painter->drawLine(r.topRight(), r.bottomRight());
  painter->restore();
}

void SetUpListView(QTreeView* view, RowListModel* model, const std::vector<ListColumn>& columns,
                   QAbstractItemModel* shown) {
  view->setModel(shown != nullptr ? shown : model);
  view->setItemDelegate(new ListRowDelegate(view));
  view->setRootIsDecorated(false);
  view->setItemsExpandable(false);
  view->setUniformRowHeights(true);
  view->setAllColumnsShowFocus(true);
  view->setSelectionBehavior(QAbstractItemView::SelectRows);
  view->setSelectionMode(QAbstractItemView::ExtendedSelection);
  view->setEditTriggers(QAbstractItemView::NoEditTriggers);
  view->setIconSize(QSize(ImageList::kSmallSize, ImageList::kSmallSize));
  view->setSortingEnabled(false);
  view->setTextElideMode(Qt::ElideRight);
  QHeaderView* header = view->header();
  header->setStretchLastSection(false);
  header->setSectionsMovable(false);
  header->setSectionsClickable(true);
  header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  for (int column = 0; column < static_cast<int>(columns.size()); ++column) {
    const ListColumn& column_def = columns[static_cast<std::size_t>(column)];
    model->SetColumnTitle(column, column_def.title);
    if (column_def.width == 0) {
      header->setSectionResizeMode(column, QHeaderView::Stretch);
    } else {
      header->setSectionResizeMode(column, QHeaderView::Interactive);
      header->resizeSection(column, column_def.width);
    }
  }
}

namespace {

// The source index behind `index`, through every proxy in front of the core rows.
QModelIndex CoreIndex(QModelIndex index) {
  while (index.isValid()) {
    const auto* proxy = qobject_cast<const QAbstractProxyModel*>(index.model());
    if (proxy == nullptr) break;
    index = proxy->mapToSource(index);
  }
  return index;
}

}  // namespace

std::ptrdiff_t CoreRow(const QAbstractItemModel* view_model, int view_row) {
  if (view_model == nullptr || view_row < 0 || view_row >= view_model->rowCount()) return -1;
  const QModelIndex core = CoreIndex(view_model->index(view_row, 0));
  if (!core.isValid() || qobject_cast<const RowListModel*>(core.model()) == nullptr) return -1;
  return core.row();
}

int ViewRow(const QAbstractItemModel* view_model, std::size_t core_row) {
  // Down the chain of proxies to the core rows, then back up.
  std::vector<const QAbstractProxyModel*> chain;
  const QAbstractItemModel* model = view_model;
  while (const auto* proxy = qobject_cast<const QAbstractProxyModel*>(model)) {
    chain.push_back(proxy);
    model = proxy->sourceModel();
  }
  if (model == nullptr || core_row >= static_cast<std::size_t>(model->rowCount())) return -1;
  QModelIndex index = model->index(static_cast<int>(core_row), 0);
  for (auto proxy = chain.rbegin(); proxy != chain.rend() && index.isValid(); ++proxy)
    index = (*proxy)->mapFromSource(index);
  return index.isValid() ? index.row() : -1;
}

std::vector<int> SelectedViewRows(const QTreeView* view) {
  std::vector<int> rows;
  const QItemSelectionModel* selection = view->selectionModel();
  if (selection == nullptr) return rows;
  for (const QModelIndex& index : selection->selectedRows())
    rows.push_back(index.row());
  std::sort(rows.begin(), rows.end());
  return rows;
}

std::vector<std::size_t> SelectedRows(const QTreeView* view) {
  std::vector<std::size_t> rows;
  for (const int view_row : SelectedViewRows(view)) {
    const std::ptrdiff_t core = CoreRow(view->model(), view_row);
    if (core >= 0) rows.push_back(static_cast<std::size_t>(core));
  }
  std::sort(rows.begin(), rows.end());
  return rows;
}

std::vector<std::size_t> ShownRows(const QTreeView* view) {
  std::vector<std::size_t> rows;
  const QAbstractItemModel* model = view->model();
  const int count = model == nullptr ? 0 : model->rowCount();
  rows.reserve(static_cast<std::size_t>(count));
  for (int view_row = 0; view_row < count; ++view_row) {
    const std::ptrdiff_t core = CoreRow(model, view_row);
    if (core >= 0) rows.push_back(static_cast<std::size_t>(core));
  }
  std::sort(rows.begin(), rows.end());
  return rows;
}

}  // namespace missivo
