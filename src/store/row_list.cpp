#include "store/row_list.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <numeric>
#include <string_view>
#include <utility>

#include "text/pieces.h"

namespace missivo {
namespace {

// Upper case of each Windows-1251 byte as the Windows ANSI upper-casing gives
// it: Latin and Russian letters, and the other Cyrillic letters of the page.
constexpr std::array<unsigned char, 256> MakeUpperTable() {
  std::array<unsigned char, 256> table{};
  for (int i = 0; i < 256; ++i)
    table[i] = static_cast<unsigned char>(i);
  for (int i = 'a'; i <= 'z'; ++i)
    table[i] = static_cast<unsigned char>(i - 0x20);
  for (int i = 0xE0; i <= 0xFF; ++i)
    table[i] = static_cast<unsigned char>(i - 0x20);
  constexpr std::pair<int, int> kOthers[] = {
      {0xB8, 0xA8}, {0x90, 0x80}, {0x83, 0x81}, {0x9A, 0x8A}, {0x9C, 0x8C},
      {0x9D, 0x8D}, {0x9E, 0x8E}, {0x9F, 0x8F}, {0xA2, 0xA1}, {0xB3, 0xB2},
      {0xB4, 0xA5}, {0xBA, 0xAA}, {0xBC, 0xA3}, {0xBE, 0xBD}, {0xBF, 0xAF},
  };
  for (const auto& [lower, upper] : kOthers)
    table[lower] = static_cast<unsigned char>(upper);
  return table;
}

constexpr std::array<unsigned char, 256> kUpper = MakeUpperTable();

enum class KeyKind { kText, kDate, kNumber };

KeyKind KindOfColumn(int column) {
  switch (column) {
    case kColumnDateTime:
      return KeyKind::kDate;
    case kColumnSize:
    case kColumnIndex:
      return KeyKind::kNumber;
    default:
      return KeyKind::kText;
  }
}

const std::string& ColumnValue(const Row& row, int column) {
  return column == 0 ? row.caption : SubItem(row, static_cast<std::size_t>(column - 1));
}

// The order of the rows sorted ascending by `key` (equal keys keep their
// order), or descending when `descending`.
template <typename Key>
std::vector<std::size_t> SortedOrder(const std::vector<Key>& key, bool descending) {
  std::vector<std::size_t> order(key.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  if (descending) {
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return key[b] < key[a]; });
  } else {
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return key[a] < key[b]; });
  }
  return order;
}

// Keys are made once per row, so each comparison is a plain compare.
std::vector<std::size_t> OrderByColumn(const std::vector<Row>& rows, int column, bool descending) {
  const KeyKind kind = KindOfColumn(column);
  if (kind == KeyKind::kNumber) {
    std::vector<std::int32_t> keys;
    keys.reserve(rows.size());
    for (const Row& row : rows)
      keys.push_back(WholeNumberOrZero(ColumnValue(row, column)));
    return SortedOrder(keys, descending);
  }
  std::vector<std::string> keys;
  keys.reserve(rows.size());
  for (const Row& row : rows) {
    const std::string& value = ColumnValue(row, column);
    keys.push_back(kind == KeyKind::kDate ? DateSortKey(value) : UpperCaseAnsi(value));
  }
  return SortedOrder(keys, descending);
}

}  // namespace

std::vector<Row> RowsAt(const RowList& list, std::span<const std::size_t> positions) {
  std::vector<Row> rows;
  rows.reserve(positions.size());
  for (const std::size_t position : positions) {
    if (position < list.rows.size()) rows.push_back(list.rows[position]);
  }
  return rows;
}

std::size_t RemoveRowsAt(RowList& list, std::span<const std::size_t> positions) {
  std::vector<bool> doomed(list.rows.size(), false);
  for (const std::size_t position : positions) {
    if (position < doomed.size()) doomed[position] = true;
  }
  std::size_t kept = 0;
  for (std::size_t i = 0; i < list.rows.size(); ++i) {
    if (doomed[i]) continue;
    if (kept != i) list.rows[kept] = std::move(list.rows[i]);
    ++kept;
  }
  const std::size_t removed = list.rows.size() - kept;
  list.rows.resize(kept);
  return removed;
}

std::string UpperCaseAnsi(std::string text) {
  for (char& c : text)
    c = static_cast<char>(kUpper[static_cast<unsigned char>(c)]);
  return text;
}

std::string DateSortKey(const std::string& date_time) {
  return Piece(date_time, 7, 4) + Piece(date_time, 6, 1) + Piece(date_time, 4, 2) +
         Piece(date_time, 6, 1) + Piece(date_time, 1, 2) + Piece(date_time, 12, 8);
}

std::int32_t WholeNumberOrZero(const std::string& text) {
  std::string_view digits = text;
  if (digits.starts_with('+')) {
    digits.remove_prefix(1);
    if (digits.starts_with('-')) return 0;
  }
  std::int32_t value = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (error != std::errc() || end != digits.data() + digits.size()) return 0;
  return value;
}

void SortListByColumn(RowList& list, int column, SortState& state) {
  if (column < 0 || static_cast<std::size_t>(column) >= list.markers.size()) return;
  if (column != state.last_column) {
    for (const std::int32_t marker : list.markers) {
      if (marker == kMarkerDescending) state.next_direction = 0;
      if (marker == kMarkerAscending) state.next_direction = 1;
    }
    state.last_column = column;
  }
  std::fill(list.markers.begin(), list.markers.end(), kNoMarker);

  const bool ascending = state.next_direction == 1;
  const std::vector<std::size_t> order = OrderByColumn(list.rows, column, !ascending);
  std::vector<Row> sorted;
  sorted.reserve(list.rows.size());
  for (const std::size_t position : order)
    sorted.push_back(std::move(list.rows[position]));
  list.rows = std::move(sorted);

  list.markers[static_cast<std::size_t>(column)] = ascending ? kMarkerAscending : kMarkerDescending;
  state.next_direction = ascending ? 0 : 1;
}

}  // namespace missivo
