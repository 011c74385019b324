#include "app/row_filter_proxy.h"

#include <algorithm>
#include <utility>

#include "app/row_model.h"

namespace missivo {
namespace {

// Rows indexed per idle step: about 10 ms of work, so typing stays smooth.
constexpr std::size_t kRowsPerIdleStep = 4096;

}  // namespace

RowFilterProxy::RowFilterProxy(RowListModel* rows, QObject* parent)
    : QSortFilterProxyModel(parent), rows_(rows) {
  // Marked before the proxy takes in the new rows, so that its filtering
  // already looks at them.
  connect(rows, &QAbstractItemModel::modelAboutToBeReset, this, [this] { stale_ = true; });
  connect(rows, &QAbstractItemModel::modelReset, this, &RowFilterProxy::RestartIndex);
  connect(rows, &QAbstractItemModel::layoutChanged, this, &RowFilterProxy::RestartIndex);
  connect(rows, &QAbstractItemModel::rowsInserted, this, &RowFilterProxy::RestartIndex);
  connect(rows, &QAbstractItemModel::rowsRemoved, this, &RowFilterProxy::RestartIndex);
  connect(rows, &QAbstractItemModel::dataChanged, this, &RowFilterProxy::RestartIndex);
  idle_indexing_.setInterval(0);
  connect(&idle_indexing_, &QTimer::timeout, this, [this] {
    if (IndexSome(kRowsPerIdleStep)) idle_indexing_.stop();
  });
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

void RowFilterProxy::RestartIndex() {
  stale_ = true;
  making_ = SearchIndex();
  idle_indexing_.start();
}

bool RowFilterProxy::IndexSome(std::size_t rows) const {
  if (!stale_) return true;
  const std::vector<Row>& all = rows_->rows();
  // Room taken when the making starts, not at each change of the rows.
  if (making_.size() == 0) making_.Reserve(all.size());
  const std::size_t end = std::min(all.size(), making_.size() + rows);
  for (std::size_t row = making_.size(); row < end; ++row)
    making_.Append(all[row]);
  if (making_.size() < all.size()) return false;
  index_ = std::move(making_);
  making_ = SearchIndex();
  stale_ = false;
  return true;
}

void RowFilterProxy::Recompute() const {
  if (!stale_ && index_.size() != rows_->rows().size()) {
    // Rows changed without a signal the index hears: made anew.
    stale_ = true;
    making_ = SearchIndex();
  }
  (void)IndexSome(rows_->rows().size());
  matches_ = index_.Matches(filter_);
}

bool RowFilterProxy::filterAcceptsRow(int source_row, const QModelIndex& source_parent) const {
  if (!active_ || source_parent.isValid()) return true;
  if (stale_) Recompute();
  const auto row = static_cast<std::size_t>(source_row);
  return row < matches_.size() && matches_[row];
}

}  // namespace missivo
