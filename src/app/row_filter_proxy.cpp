#include "app/row_filter_proxy.h"

#include "app/row_model.h"

namespace missivo {

RowFilterProxy::RowFilterProxy(RowListModel* rows, QObject* parent)
    : QSortFilterProxyModel(parent), rows_(rows) {
  // Marked before the proxy takes in the new rows, so that its filtering
  // already looks at them.
  connect(rows, &QAbstractItemModel::modelAboutToBeReset, this, [this] { stale_ = true; });
  setDynamicSortFilter(false);
  setSourceModel(rows);
}

int RowFilterProxy::TotalCount() const {
  return rows_->rowCount();
}

void RowFilterProxy::SetFilter(const RowFilter& filter) {
  filter_ = filter;
  active_ = filter.Active();
  if (active_) Recompute();
  // One layout change for the whole list: filtering row by row would tell the
  // view of every run of rows that comes or goes, thousands in a large archive.
  invalidate();
  emit filterApplied();
}

void RowFilterProxy::Recompute() const {
  if (stale_ || index_.size() != rows_->rows().size()) {
    index_ = SearchIndex(rows_->rows());
    stale_ = false;
  }
  matches_ = index_.Matches(filter_);
}

bool RowFilterProxy::filterAcceptsRow(int source_row, const QModelIndex& source_parent) const {
  if (!active_ || source_parent.isValid()) return true;
  if (stale_) Recompute();
  const auto row = static_cast<std::size_t>(source_row);
  return row < matches_.size() && matches_[row];
}

}  // namespace missivo
