// The proxy in front of a message list: shows the rows that pass a RowFilter,
// in the core list's own order (sorting stays the core's: a header click sorts
// the core rows, and the proxy follows).
#pragma once

#include <QSortFilterProxyModel>
#include <QTimer>
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

  // Whether the searcher's index describes the rows now. It is made while the
  // window is idle, a piece at a time, after the rows change, so the first key
  // typed finds it ready; a filter set before it is done finishes it at once.
  bool IndexReady() const { return !stale_; }

 signals:
  void filterApplied();

 protected:
  bool filterAcceptsRow(int source_row, const QModelIndex& source_parent) const override;

 private:
  // Brings the index and the flags up to date with the rows.
  void Recompute() const;
  // The rows changed: the index is made anew, from the first row.
  void RestartIndex();
  // Adds up to `rows` rows to the index in the making; true when it is done.
  bool IndexSome(std::size_t rows) const;

  RowListModel* rows_;
  RowFilter filter_;
  bool active_ = false;
  mutable bool stale_ = true;  // the rows changed since the index was made
  mutable SearchIndex index_;
  mutable SearchIndex making_;  // the index being made while idle
  QTimer idle_indexing_;
  mutable std::vector<bool> matches_;
};

}  // namespace missivo
