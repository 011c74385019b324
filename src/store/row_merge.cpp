#include "store/row_merge.h"

#include <algorithm>
#include <functional>
#include <string_view>

namespace missivo {
namespace {

void Mix(std::uint64_t& hash, std::uint64_t value) {
  hash ^= value + 0x9E3779B97F4A7C15ULL + (hash << 6) + (hash >> 2);
}

void MixText(std::uint64_t& hash, const std::string& text) {
  Mix(hash, text.size());
  Mix(hash, std::hash<std::string_view>{}(text));
}

// How many of a row the merge keeps, from its counts in the three lists.
std::int64_t MergedCount(std::int64_t base, std::int64_t ours, std::int64_t theirs) {
  const std::int64_t our_change = ours - base;
  const std::int64_t their_change = theirs - base;
  if (our_change >= 0 && their_change >= 0) return base + std::max(our_change, their_change);
  if (our_change <= 0 && their_change <= 0) return base + std::min(our_change, their_change);
  return base + our_change + their_change;
}

}  // namespace

std::uint64_t RowKey(const Row& row) {
  std::uint64_t hash = 0;
  MixText(hash, row.caption);
  Mix(hash, row.sub_items.size());
  for (const std::string& text : row.sub_items)
    MixText(hash, text);
  Mix(hash, static_cast<std::uint32_t>(row.image));
  return hash;
}

RowCounts CountRows(const std::vector<Row>& rows) {
  RowCounts counts;
  counts.reserve(rows.size());
  for (const Row& row : rows)
    ++counts[RowKey(row)];
  return counts;
}

std::vector<Row> MergeRows(const RowCounts& base, const std::vector<Row>& ours,
                           const std::vector<Row>& theirs) {
  const RowCounts our_counts = CountRows(ours);
  const RowCounts their_counts = CountRows(theirs);
  const auto count_in = [](const RowCounts& counts, std::uint64_t key) -> std::int64_t {
    const auto found = counts.find(key);
    return found == counts.end() ? 0 : found->second;
  };
  // How many more of each row may still be written.
  std::unordered_map<std::uint64_t, std::int64_t> left;
  left.reserve(our_counts.size() + their_counts.size());
  const auto allow = [&](std::uint64_t key) {
    left.try_emplace(key, MergedCount(count_in(base, key), count_in(our_counts, key),
                                      count_in(their_counts, key)));
  };
  for (const auto& [key, count] : our_counts)
    allow(key);
  for (const auto& [key, count] : their_counts)
    allow(key);

  std::vector<Row> merged;
  merged.reserve(std::max(ours.size(), theirs.size()));
  for (const std::vector<Row>* side : {&ours, &theirs}) {
    for (const Row& row : *side) {
      std::int64_t& remaining = left[RowKey(row)];
      if (remaining <= 0) continue;
      --remaining;
      merged.push_back(row);
    }
  }
  return merged;
}

}  // namespace missivo
