// Message rows grouped by correspondent: one conversation per number (the
// national digits, so "Мама (+79035550101)" and "89035550101" are one), or per
// From for a sender without a number.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <vector>

#include "store/row.h"

namespace missivo {

struct Conversation {
  std::string key;     // CorrespondentKey of its rows
  std::string name;    // the contact name of its newest row that has one (UTF-8), else empty
  std::string number;  // the number of its newest row that has one, as written, else empty
  std::string last_date_time;     // the Date/Time field of its newest row
  std::vector<std::size_t> rows;  // positions in the list, oldest first (RowsInTimeOrder)

  // The name, else the number, else the From of a sender without a number.
  std::string Title() const { return !name.empty() ? name : number; }
};

// The conversations of `rows`, the one with the newest message first; a tie
// keeps the order in which the correspondents first appear.
std::vector<Conversation> GroupConversations(const std::vector<Row>& rows);

// `positions` ordered by the rows' Date/Time, oldest first; rows of the same
// time keep their list order, rows without a valid date come first.
std::vector<std::size_t> RowsInTimeOrder(const std::vector<Row>& rows,
                                         std::span<const std::size_t> positions);

}  // namespace missivo
