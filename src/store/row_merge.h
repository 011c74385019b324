// Taking in another process's changes of a list file before saving one's own:
// a three-way merge of rows with the list as this process last read or wrote
// it as the base. A row is its whole content (caption, every sub-item, image);
// an edit is the old row going and the new one coming.
#pragma once

#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "store/row.h"

namespace missivo {

// A row's identity for the merge: a 64-bit hash of all its fields.
std::uint64_t RowKey(const Row& row);

// How many times each row occurs in a list, by RowKey: what a process keeps
// of the last state of a file it saw.
using RowCounts = std::unordered_map<std::uint64_t, std::uint32_t>;
RowCounts CountRows(const std::vector<Row>& rows);

// The merged rows. For every row the change of `ours` and the change of
// `theirs` against `base` are both applied: rows either side added stay, rows
// either side removed go. Where both changed the same row the same way (both
// added it, or both removed it) the larger change counts once, so a message
// both appended is there once. Order: `ours`, then what only `theirs` added,
// in their order.
std::vector<Row> MergeRows(const RowCounts& base, const std::vector<Row>& ours,
                           const std::vector<Row>& theirs);

}  // namespace missivo
