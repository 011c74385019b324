#include "phone/standard/message_parts.h"

#include <algorithm>
#include <map>
#include <tuple>

#include "store/archive.h"

namespace missivo {
namespace {

using GroupKey = std::tuple<std::string, std::uint16_t, int>;  // sender, reference, total

bool IsPartOfLong(const MessagePart& part) {
  const auto& concat = part.data.concatenation;
  return concat && concat->total > 1 && concat->sequence >= 1 && concat->sequence <= concat->total;
}

// The text of the parts in part order: runs of present parts are joined
// (so a surrogate pair split between two parts comes back whole), each missing
// part is kMissingPart.
std::string TextWithGaps(const std::vector<const MessagePart*>& by_sequence) {
  std::string text;
  std::vector<const sms::UserData*> run;
  const auto flush = [&] {
    if (!run.empty()) text += sms::JoinedText(run);
    run.clear();
  };
  for (const MessagePart* part : by_sequence) {
    if (part == nullptr) {
      flush();
      text += kMissingPart;
    } else {
      run.push_back(&part->data);
    }
  }
  flush();
  return text;
}

}  // namespace

bool IsEarlierFormOf(std::string_view caption, std::string_view complete) {
  const std::string_view gap = kMissingPartRow;
  if (caption.find(gap) == std::string_view::npos || complete.find(gap) != std::string_view::npos) {
    return false;
  }
  std::size_t at = 0;  // where the next piece may start in `complete`
  std::size_t from = 0;
  for (bool first = true;; first = false) {
    const std::size_t end = caption.find(gap, from);
    const std::string_view piece =
        caption.substr(from, end == std::string_view::npos ? std::string_view::npos : end - from);
    if (end == std::string_view::npos) {
      // The last piece ends the complete text, after everything matched so far.
      return complete.size() >= at + piece.size() && complete.ends_with(piece);
    }
    const std::size_t found = first ? (complete.starts_with(piece) ? 0 : std::string_view::npos)
                                    : complete.find(piece, at);
    if (found == std::string_view::npos) return false;
    at = found + piece.size();
    from = end + gap.size();
  }
}

std::size_t CompleteGapRows(std::vector<Row>& archive, const std::vector<Row>& rows) {
  std::size_t completed = 0;
  for (const Row& row : rows) {
    for (Row& archived : archive) {
      if (SameSender(SubItem(archived, kFrom), SubItem(row, kFrom)) &&
          IsEarlierFormOf(archived.caption, row.caption)) {
        archived = row;
        ++completed;
        break;
      }
    }
  }
  return completed;
}

std::vector<JoinedMessage> JoinParts(const std::vector<MessagePart>& parts) {
  std::vector<JoinedMessage> messages;
  std::map<GroupKey, std::size_t> groups;              // key -> position in `messages`
  std::vector<std::vector<const MessagePart*>> slots;  // per message: its parts by sequence
  for (const MessagePart& part : parts) {
    if (!IsPartOfLong(part)) {
      JoinedMessage whole;
      whole.parts = {&part};
      whole.sequences = {1};
      messages.push_back(std::move(whole));
      slots.emplace_back();
      continue;
    }
    const auto& concat = *part.data.concatenation;
    const GroupKey key{part.sender, concat.reference, concat.total};
    auto [it, fresh] = groups.emplace(key, messages.size());
    if (fresh) {
      JoinedMessage joined;
      joined.total = concat.total;
      messages.push_back(std::move(joined));
      slots.emplace_back(static_cast<std::size_t>(concat.total), nullptr);
    }
    auto& by_sequence = slots[it->second];
    const MessagePart*& place = by_sequence[static_cast<std::size_t>(concat.sequence - 1)];
    if (place == nullptr) place = &part;
  }
  for (std::size_t m = 0; m < messages.size(); ++m) {
    JoinedMessage& message = messages[m];
    if (message.parts.size() == 1 && slots[m].empty()) {
      message.text = sms::JoinedText({&message.parts.front()->data});
      continue;
    }
    message.parts.clear();
    for (std::size_t s = 0; s < slots[m].size(); ++s) {
      if (slots[m][s] == nullptr) {
        message.complete = false;
        continue;
      }
      message.parts.push_back(slots[m][s]);
      message.sequences.push_back(static_cast<int>(s) + 1);
    }
    message.text = TextWithGaps(slots[m]);
  }
  return messages;
}

}  // namespace missivo
