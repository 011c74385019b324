#include "store/row_search.h"

#include <string.h>

#include <algorithm>

#include "store/message_fields.h"
#include "text/search_fold.h"

namespace missivo {
namespace {

constexpr char kFieldSeparator = '\x1F';

bool Contains(std::string_view haystack, std::string_view needle) {
  return needle.empty() ||
         memmem(haystack.data(), haystack.size(), needle.data(), needle.size()) != nullptr;
}

// "yyyy/mm/dd" as yyyymmdd, 0 for anything else.
std::uint32_t DayNumber(std::string_view day) {
  if (day.size() != 10) return 0;
  std::uint32_t value = 0;
  for (const char c : day) {
    if (c == '/') continue;
    if (c < '0' || c > '9') return 0;
    value = value * 10 + static_cast<std::uint32_t>(c - '0');
  }
  return value;
}

void AddTerm(std::string_view text, std::vector<SearchTerm>& terms) {
  std::string folded = FoldForSearch(text);
  while (!folded.empty() && folded.front() == ' ')
    folded.erase(0, 1);
  while (!folded.empty() && folded.back() == ' ')
    folded.pop_back();
  if (folded.empty()) return;
  std::string digits = LooksLikeNumber(text) ? NationalDigits(text) : std::string();
  terms.push_back({std::move(folded), std::move(digits)});
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

std::size_t WordEnd(std::string_view text, std::size_t at) {
  while (at < text.size() && !IsBlank(text[at]) && text[at] != '"')
    ++at;
  return at;
}

// A word made of what numbers are written with, a digit among it.
bool IsNumberWord(std::string_view word) {
  bool digit = false;
  for (std::size_t i = 0; i < word.size(); ++i) {
    const char c = word[i];
    if (c >= '0' && c <= '9') {
      digit = true;
    } else if (!(c == '-' || c == '(' || c == ')' || (c == '+' && i == 0))) {
      return false;
    }
  }
  return digit;
}

}  // namespace

// The filter made ready for matching row after row.
struct CompiledFilter {
  std::vector<SearchTerm> terms;
  std::string from_digits;  // a number filter
  std::string from_name;    // a name filter, folded
  std::uint32_t since = 0;
  std::uint32_t until = 0;
  std::optional<RowKind> kind;
  bool any = false;  // whether anything filters at all
};

namespace {

CompiledFilter Compile(const RowFilter& filter) {
  CompiledFilter compiled;
  compiled.terms = ParseSearchText(filter.text);
  if (LooksLikeNumber(filter.from)) {
    compiled.from_digits = NationalDigits(filter.from);
  } else {
    std::vector<SearchTerm> name;
    AddTerm(filter.from, name);
    if (!name.empty()) compiled.from_name = name.front().folded;
  }
  compiled.since = DayNumber(filter.since);
  compiled.until = DayNumber(filter.until);
  compiled.kind = filter.kind;
  compiled.any = !compiled.terms.empty() || !compiled.from_digits.empty() ||
                 !compiled.from_name.empty() || compiled.since != 0 || compiled.until != 0 ||
                 compiled.kind.has_value();
  return compiled;
}

}  // namespace

bool RowFilter::Active() const {
  return Compile(*this).any;
}

std::vector<SearchTerm> ParseSearchText(std::string_view text) {
  std::vector<SearchTerm> terms;
  std::size_t at = 0;
  while (at < text.size()) {
    if (IsBlank(text[at])) {
      ++at;
    } else if (text[at] == '"') {
      const std::size_t close = text.find('"', at + 1);
      const std::size_t end = close == std::string_view::npos ? text.size() : close;
      AddTerm(text.substr(at + 1, end - at - 1), terms);
      at = end + 1;
    } else {
      std::size_t end = WordEnd(text, at);
      // Number words one after another are one number: "+7 903 555 01 01".
      if (IsNumberWord(text.substr(at, end - at))) {
        for (std::size_t next = end; next < text.size();) {
          std::size_t start = next;
          while (start < text.size() && IsBlank(text[start]))
            ++start;
          const std::size_t next_end = WordEnd(text, start);
          if (start == next_end || !IsNumberWord(text.substr(start, next_end - start))) break;
          end = next = next_end;
        }
      }
      AddTerm(text.substr(at, end - at), terms);
      at = end;
    }
  }
  return terms;
}

SearchIndex::Span SearchIndex::AddText(std::string_view text) {
  const Span span{static_cast<std::uint32_t>(pool_.size()),
                  static_cast<std::uint32_t>(text.size())};
  pool_.append(text);
  return span;
}

SearchIndex::SearchIndex(const std::vector<Row>& rows) {
  Reserve(rows.size());
  for (const Row& row : rows)
    Append(row);
}

void SearchIndex::Reserve(std::size_t rows) {
  entries_.reserve(rows);
  pool_.reserve(rows * 96);
}

void SearchIndex::Append(const Row& row) {
  Entry entry;
  const std::size_t start = pool_.size();
  // The lossless fields are read once for every fact; a row without them has
  // its whole text in the caption.
  const std::optional<MessageFields> fields = ReadMessageFields(row);
  if (fields) {
    AppendFolded(pool_, fields->text);
  } else {
    AppendFoldedCp1251(pool_, row.caption);
  }
  pool_ += kFieldSeparator;
  entry.from = AddText(FoldForSearch(RowFrom(row, fields)));
  entry.haystack = {static_cast<std::uint32_t>(start),
                    static_cast<std::uint32_t>(pool_.size() - start)};
  entry.name = AddText(FoldForSearch(RowName(row, fields)));
  entry.digits = AddText(NationalDigits(RowNumber(row, fields)));
  entry.day = DayNumber(RowDay(row));
  entry.kind = BestKind(row, fields);
  entries_.push_back(entry);
}

std::vector<bool> SearchIndex::Matches(const RowFilter& filter) const {
  const CompiledFilter compiled = Compile(filter);
  std::vector<bool> matches(entries_.size(), true);
  if (!compiled.any) return matches;
  for (std::size_t i = 0; i < entries_.size(); ++i)
    matches[i] = Passes(entries_[i], compiled);
  return matches;
}

bool SearchIndex::Passes(const Entry& entry, const CompiledFilter& compiled) const {
  bool pass = !compiled.kind || compiled.kind == entry.kind;
  if (pass && (compiled.since != 0 || compiled.until != 0)) {
    pass = entry.day != 0 && (compiled.since == 0 || entry.day >= compiled.since) &&
           (compiled.until == 0 || entry.day <= compiled.until);
  }
  if (pass && !compiled.from_digits.empty()) pass = View(entry.digits) == compiled.from_digits;
  if (pass && !compiled.from_name.empty()) {
    pass = View(entry.name) == compiled.from_name || View(entry.from) == compiled.from_name;
  }
  for (std::size_t t = 0; pass && t < compiled.terms.size(); ++t) {
    const SearchTerm& term = compiled.terms[t];
    pass = Contains(View(entry.haystack), term.folded) ||
           (!term.digits.empty() && Contains(View(entry.digits), term.digits));
  }
  return pass;
}

// One pass over the rows, each indexed on its own and let go: no index of the
// whole list is kept, since nothing searches it again.
std::vector<std::size_t> FindRows(const std::vector<Row>& rows, const RowFilter& filter) {
  const CompiledFilter compiled = Compile(filter);
  std::vector<std::size_t> found;
  SearchIndex one;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    one.pool_.clear();
    one.entries_.clear();
    one.Append(rows[i]);
    if (!compiled.any || one.Passes(one.entries_.front(), compiled)) found.push_back(i);
  }
  return found;
}

std::vector<std::pair<std::size_t, std::size_t>> MatchRanges(std::string_view shown,
                                                             std::string_view search_text) {
  std::vector<std::pair<std::size_t, std::size_t>> ranges;
  const FoldedText folded = FoldWithOrigins(shown);
  for (const SearchTerm& term : ParseSearchText(search_text)) {
    for (std::size_t at = folded.text.find(term.folded); at != std::string::npos;
         at = folded.text.find(term.folded, at + 1)) {
      ranges.emplace_back(folded.origin[at], folded.origin[at + term.folded.size()]);
    }
  }
  std::sort(ranges.begin(), ranges.end());
  std::vector<std::pair<std::size_t, std::size_t>> merged;
  for (const auto& range : ranges) {
    if (!merged.empty() && range.first <= merged.back().second) {
      merged.back().second = std::max(merged.back().second, range.second);
    } else {
      merged.push_back(range);
    }
  }
  return merged;
}

}  // namespace missivo
