// The searcher of message rows that the window's search bar and missivo-cli
// share. A search text is words and "phrases in quotes"; a row matches when
// every one occurs in its whole text, its From (contact name and number) or,
// for a term written as a number, in its number with or without "+7"/"8".
// Matching folds case for Latin and Cyrillic alike, ё to е, and white space
// runs (line breaks too) to one space.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "store/row.h"
#include "store/row_facts.h"

namespace missivo {

// What a list is filtered by; an empty field does not filter.
struct RowFilter {
  std::string text;   // the search text (UTF-8)
  std::string from;   // a number (any form) or a contact name (UTF-8)
  std::string since;  // the first day shown, "yyyy/mm/dd" (ParseDay)
  std::string until;  // the last day shown, "yyyy/mm/dd"
  std::optional<RowKind> kind;

  bool Active() const;
  friend bool operator==(const RowFilter&, const RowFilter&) = default;
};

// One word or phrase of a search text, folded; `digits` holds the national
// digits of a term written as a number, else it is empty.
struct SearchTerm {
  std::string folded;
  std::string digits;
  friend bool operator==(const SearchTerm&, const SearchTerm&) = default;
};

// The terms of a search text: words split at white space, and the text
// between a pair of double quotes as one phrase (an unclosed quote runs to the
// end); words of digits (with "+", "-", "(" and ")") written one after another
// are one number ("+7 903 555-01-01"); empty terms are dropped.
std::vector<SearchTerm> ParseSearchText(std::string_view text);

// The searchable form of every row of a list, made once, so that each step
// while the user types is a scan of folded text. It copies what it needs: the
// rows may change afterwards, but the index then describes the old ones.
struct CompiledFilter;

class SearchIndex {
 public:
  SearchIndex() = default;
  explicit SearchIndex(const std::vector<Row>& rows);

  std::size_t size() const { return entries_.size(); }

  // Room for `rows` rows; then rows added one by one, in list order, so that a
  // window can make the index a piece at a time while it is idle.
  void Reserve(std::size_t rows);
  void Append(const Row& row);

  // Whether each row passes `filter` (one flag per row).
  std::vector<bool> Matches(const RowFilter& filter) const;

 private:
  struct Span {
    std::uint32_t start = 0;
    std::uint32_t size = 0;
  };
  struct Entry {
    Span haystack;          // folded text, a separator, folded From
    Span name;              // folded contact name
    Span from;              // folded From
    Span digits;            // national digits of the number
    std::uint32_t day = 0;  // yyyymmdd, 0 without a valid date
    std::optional<RowKind> kind;
  };
  std::string_view View(Span span) const { return {pool_.data() + span.start, span.size}; }
  Span AddText(std::string_view text);
  bool Passes(const Entry& entry, const CompiledFilter& filter) const;

  friend std::vector<std::size_t> FindRows(const std::vector<Row>& rows, const RowFilter& filter);

  std::string pool_;
  std::vector<Entry> entries_;
};

// Positions of the rows of `rows` that pass `filter`, ascending.
std::vector<std::size_t> FindRows(const std::vector<Row>& rows, const RowFilter& filter);

// Where the terms of `search_text` occur in `shown` (UTF-8, as a preview
// shows it): byte ranges [first, second), ascending, overlaps merged.
std::vector<std::pair<std::size_t, std::size_t>> MatchRanges(std::string_view shown,
                                                             std::string_view search_text);

}  // namespace missivo
