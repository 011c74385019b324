// Putting contact names on the sender numbers of message rows.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "store/row.h"

namespace missivo {

// The contacts of the phonebook list by number. A contact's number N matches a
// From field F when N is not empty, occurs in F, and F is at most two characters
// longer (F's length is N's, N's + 1 or N's + 2): a number without a country
// prefix of one or two characters still matches. Such an N is one of the at
// most six pieces of F of those lengths, so a lookup costs six hash probes,
// whatever the number of contacts. The index points into `contacts`, which must
// outlive it unchanged.
class ContactIndex {
 public:
  explicit ContactIndex(const std::vector<Row>& contacts);

  // The position of the first contact in list order whose number matches `from`.
  std::optional<std::size_t> FindContact(std::string_view from) const;

 private:
  std::unordered_map<std::string_view, std::size_t> first_by_number_;
  std::vector<bool> has_length_;  // whether some number is this long: no probe otherwise
};

// Replaces the From of every row that a contact matches by the contact's name,
// " (", the contact's number and ")"; the first matching contact in list order
// wins. A name that Windows-1251 cannot hold goes whole into the row's
// lossless fields (their contact) when the row has them. A From resolved once is too long to match
// again. Returns how many rows changed.
std::size_t ResolveNames(std::vector<Row>& rows, const std::vector<Row>& contacts);

// Resolves the messages list against the phonebook list.
void ResolveMessageNames(std::vector<Row>& list1, const std::vector<Row>& list2);

// Resolves the archive against the phonebook list and then, when both have rows,
// saves the archive through `save_archive`, whether or not a From changed.
void ResolveArchiveNames(std::vector<Row>& list4, const std::vector<Row>& list2,
                         const std::function<void()>& save_archive);

}  // namespace missivo
