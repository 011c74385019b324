// The proxy in front of a message list: shows the rows that pass a RowFilter,
// in the core list's own order (sorting stays the core's: a header click sorts
// the core rows, and the proxy follows).
#pragma once

#include <QSortFilterProxyModel>
#include <cstddef>
#include <vector>

#include "store/row_search.h"

namespace missivo {

class RowListModel;

class RowFilterProxy : public QSortFilterProxyModel {
  Q_OBJECT

 public:
  explicit RowFilterProxy(RowListModel* rows, QObject* parent = nullptr);

  // Filters by `filter` at once (an inactive filter shows every row).
  void SetFilter(const RowFilter& filter);
  const RowFilter& Filter() const { return filter_; }
  bool Filtering() const { return active_; }

  // Rows shown and rows in the core list.
  int ShownCount() const { return rowCount(); }
  int TotalCount() const;

 signals:
  void filterApplied();

 protected:
  bool filterAcceptsRow(int source_row, const QModelIndex& source_parent) const override;

 private:
  // Brings the index and the flags up to date with the rows.
  void Recompute() const;

  RowListModel* rows_;
  RowFilter filter_;
  bool active_ = false;
  mutable bool stale_ = true;  // the rows changed since the index was made
  mutable SearchIndex index_;
  mutable std::vector<bool> matches_;
};

}  // namespace missivo
