#include "store/conversations.h"

#include <algorithm>
#include <unordered_map>

#include "store/row_facts.h"

namespace missivo {

std::vector<std::size_t> RowsInTimeOrder(const std::vector<Row>& rows,
                                         std::span<const std::size_t> positions) {
  std::vector<std::pair<std::string, std::size_t>> keyed;
  keyed.reserve(positions.size());
  for (const std::size_t position : positions)
    if (position < rows.size()) keyed.emplace_back(RowTime(rows[position]), position);
  std::stable_sort(keyed.begin(), keyed.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<std::size_t> ordered;
  ordered.reserve(keyed.size());
  for (const auto& [time, position] : keyed)
    ordered.push_back(position);
  return ordered;
}

std::vector<Conversation> GroupConversations(const std::vector<Row>& rows) {
  std::vector<Conversation> conversations;
  std::vector<std::string> newest;  // time key of each conversation's newest row
  std::unordered_map<std::string, std::size_t> by_key;
  std::vector<std::string> times(rows.size());
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const Row& row = rows[i];
    const std::optional<MessageFields> fields = ReadMessageFields(row);
    std::string key = CorrespondentKey(row, fields);
    auto [found, added] = by_key.try_emplace(key, conversations.size());
    if (added) {
      conversations.push_back({});
      conversations.back().key = std::move(key);
      newest.emplace_back();
    }
    Conversation& conversation = conversations[found->second];
    conversation.rows.push_back(i);
    times[i] = RowTime(row);
    // The newest row so far gives the date, and the name and number where it has them.
    const bool newer = times[i] >= newest[found->second];
    if (newer) {
      newest[found->second] = times[i];
      conversation.last_date_time = SubItem(row, kDateTime);
    }
    if (newer || conversation.name.empty() || conversation.number.empty()) {
      std::string name = RowName(row, fields);
      std::string number = RowNumber(row, fields);
      if (!name.empty() && (newer || conversation.name.empty()))
        conversation.name = std::move(name);
      if (!number.empty() && (newer || conversation.number.empty()))
        conversation.number = std::move(number);
    }
  }
  for (Conversation& conversation : conversations) {
    std::stable_sort(conversation.rows.begin(), conversation.rows.end(),
                     [&times](std::size_t a, std::size_t b) { return times[a] < times[b]; });
  }
  std::vector<std::size_t> order(conversations.size());
  for (std::size_t i = 0; i < order.size(); ++i)
    order[i] = i;
  std::stable_sort(order.begin(), order.end(),
                   [&newest](std::size_t a, std::size_t b) { return newest[a] > newest[b]; });
  std::vector<Conversation> sorted;
  sorted.reserve(conversations.size());
  for (const std::size_t i : order)
    sorted.push_back(std::move(conversations[i]));
  return sorted;
}

}  // namespace missivo
