// The three lists of the main window as data (the messages read from the
// phone, the archive and the phonebook copy), with the header marker of each
// column, and sorting by a clicked column with the sort state they share.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "store/row.h"

namespace missivo {

// Header markers: images of the main window's image list.
inline constexpr std::int32_t kMarkerAscending = 32;
inline constexpr std::int32_t kMarkerDescending = 31;
inline constexpr std::int32_t kNoMarker = -1;

// Columns: message lists show the caption and five sub-items, the phonebook
// the caption (name) and the number.
inline constexpr std::size_t kMessageColumns = 6;
inline constexpr std::size_t kContactColumns = 2;

// Column indexes of the message lists.
inline constexpr int kColumnText = 0;
inline constexpr int kColumnFrom = 1;
inline constexpr int kColumnDateTime = 2;
inline constexpr int kColumnSize = 3;
inline constexpr int kColumnIndex = 4;
inline constexpr int kColumnType = 5;

struct RowList {
  explicit RowList(std::size_t columns) : markers(columns, kNoMarker) {}

  std::vector<Row> rows;
  std::vector<std::int32_t> markers;  // one per column
};

// The archive and the messages read from the phone (6 columns), the phonebook (2).
inline RowList MakeMessageList() {
  return RowList(kMessageColumns);
}
inline RowList MakeContactList() {
  return RowList(kContactColumns);
}

// Copies of the rows at `positions`, in the order given; positions past the
// end are skipped.
std::vector<Row> RowsAt(const RowList& list, std::span<const std::size_t> positions);

// Removes the rows at `positions` (any order, repeats and positions past the
// end allowed); the others keep their order. Returns how many went.
std::size_t RemoveRowsAt(RowList& list, std::span<const std::size_t> positions);

// The sort state shared by the three lists.
struct SortState {
  int last_column = -1;    // the column sorted last, in whichever list; -1 for none
  int next_direction = 1;  // 1: the next sort is ascending; 0: descending
};

// A click on the header of `column`: a column other than the last sorted one
// takes the direction of this list's current marker (descending marker: 0,
// ascending: 1) and becomes the last sorted column; then every marker goes,
// the rows are sorted in the next direction, the column gets that direction's
// marker and the next direction flips. Rows that compare equal keep their
// order. A column the list does not have changes nothing.
//
// Comparison by column: 0, 1 and 5 as text, upper-cased the way the Windows
// ANSI code page does it for Windows-1251 and then compared as unsigned bytes
// (a prefix sorts first); 2 (dd/mm/yyyy,hh:mm:ss) as text on the key made of
// characters 7-10, 6, 4-5, 6, 1-2 and 12-19; 3 and 4 as signed 32-bit whole
// numbers, a value that is not one counting as 0.
void SortListByColumn(RowList& list, int column, SortState& state);

// The upper-cased form used by the text comparison.
std::string UpperCaseAnsi(std::string text);

// The sort key of a Date/Time value.
std::string DateSortKey(const std::string& date_time);

// The value of a Size or Index for sorting.
std::int32_t WholeNumberOrZero(const std::string& text);

}  // namespace missivo
