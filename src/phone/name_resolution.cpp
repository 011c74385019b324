#include "phone/name_resolution.h"

#include <string>

#include "store/contact_fields.h"
#include "store/message_fields.h"

namespace missivo {
namespace {

constexpr std::size_t kLongestPrefix = 2;  // F may be this much longer than N

}  // namespace

ContactIndex::ContactIndex(const std::vector<Row>& contacts) {
  first_by_number_.reserve(contacts.size());
  for (std::size_t i = 0; i < contacts.size(); ++i) {
    const std::string& number = SubItem(contacts[i], kNumber);
    if (number.empty()) continue;
    first_by_number_.emplace(number, i);  // keeps the first one
    if (has_length_.size() <= number.size()) has_length_.resize(number.size() + 1);
    has_length_[number.size()] = true;
  }
}

std::optional<std::size_t> ContactIndex::FindContact(std::string_view from) const {
  std::optional<std::size_t> best;
  for (std::size_t shorter = 0; shorter <= kLongestPrefix && shorter < from.size(); ++shorter) {
    const std::size_t length = from.size() - shorter;
    if (length >= has_length_.size() || !has_length_[length]) continue;
    for (std::size_t start = 0; start <= shorter; ++start) {
      const auto found = first_by_number_.find(from.substr(start, length));
      if (found != first_by_number_.end() && (!best || found->second < *best)) best = found->second;
    }
  }
  return best;
}

std::size_t ResolveNames(std::vector<Row>& rows, const std::vector<Row>& contacts) {
  if (rows.empty() || contacts.empty()) return 0;
  const ContactIndex index(contacts);
  // The names Windows-1251 cannot hold, by contact; empty for the others.
  std::vector<std::string> lossless(contacts.size());
  for (std::size_t i = 0; i < contacts.size(); ++i) {
    if (HasContactFields(contacts[i])) lossless[i] = LosslessContact(ContactName(contacts[i]));
  }
  std::size_t changed = 0;
  for (Row& row : rows) {
    if (row.sub_items.size() <= kFrom) continue;
    const auto contact = index.FindContact(row.sub_items[kFrom]);
    if (!contact) continue;
    const Row& match = contacts[*contact];
    row.sub_items[kFrom] = match.caption + " (" + SubItem(match, kNumber) + ")";
    // The real name goes with the row's lossless fields; rows of older
    // archives, which have none, keep the Windows-1251 one.
    if (!lossless[*contact].empty() && HasMessageFields(row)) {
      MessageFields fields = *ReadMessageFields(row);
      fields.contact = lossless[*contact];
      WriteMessageFields(row, fields);
    }
    ++changed;
  }
  return changed;
}

void ResolveMessageNames(std::vector<Row>& list1, const std::vector<Row>& list2) {
  ResolveNames(list1, list2);
}

void ResolveArchiveNames(std::vector<Row>& list4, const std::vector<Row>& list2,
                         const std::function<void()>& save_archive) {
  if (list4.empty() || list2.empty()) return;
  ResolveNames(list4, list2);
  if (save_archive) save_archive();
}

}  // namespace missivo
