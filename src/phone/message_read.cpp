#include "phone/message_read.h"

#include <algorithm>
#include <unordered_set>
#include <utility>

#include "phone/at_exchange.h"
#include "phone/dates.h"
#include "phone/error_replies.h"
#include "phone/family_commands.h"
#include "phone/message_rows.h"
#include "phone/reply_parsers.h"
#include "store/message_fields.h"
#include "text/lines.h"

namespace missivo {
namespace {

constexpr int kSetUpSteps = 4;

// A message read: its index and the records of its reply. The reply itself is
// not kept, so a read holds the messages, not every byte the phone sent.
struct KeptReply {
  std::string index;
  std::vector<MessageRecord> records;
};

// Sends the set-up commands and the listing, then reads the selected messages,
// keeping each reply with its index; a refused listing is noted in `result`.
// A port failure ends it by its exception; what was kept until then stays in
// `kept`.
void TalkToPhone(AtChannel& channel, const ReadOptions& options, const LanguageLines& language,
                 UserInterface& ui, std::vector<KeptReply>& kept, MessageReadResult& result) {
  ui.ShowProgress(kSetUpSteps, 0);
  ui.SetProgressText(language.LangText("Str64"));
  std::string reply;
  int step = 0;
  for (const char* command : family::kSetUpCommands) {
    channel.ExchangeCommand(command, reply);
    ui.SetProgressPosition(++step);
  }
  channel.ExchangeCommand(family::kListCommand, reply);
  ui.SetProgressPosition(++step);
  if (IsErrorReply(reply)) {
    result.refusal = ErrorReplyText(reply);
    result.busy = IsBusyReply(reply);
  }
  const std::vector<ListingEntry> entries = ParseMessageList(SplitAnyBreak(reply));

  const int listed = static_cast<int>(entries.size());
  ui.ShowProgress(std::max(4 * listed - 1, 0), 0);
  ui.SetProgressText(language.LangText("Str65"));
  std::unordered_set<std::string> asked;  // an index the listing gives twice is read once
  for (int k = 0; k < listed; ++k) {
    const ListingEntry& entry = entries[static_cast<std::size_t>(k)];
    if (IsSelectedForRead(entry.status, options) && asked.insert(entry.index).second) {
      channel.ExchangeCommand(family::ReadCommand(entry.index), reply);
      // Lines uncut: the parser cuts them for the row's five sub-items and keeps
      // the whole text for its lossless fields.
      kept.push_back({entry.index, ParseMessageReplies(SplitCrLf(reply, std::string::npos))});
    }
    ui.SetProgressPosition(4 * k);
    ui.ProcessPendingEvents();
  }
}

}  // namespace

std::vector<PhoneSlot> SlotsOfRow(const Row& row) {
  const std::optional<MessageFields> fields = ReadMessageFields(row);
  if (!fields || fields->storage.empty() || fields->parts.empty()) {
    return {PhoneSlot{{}, SubItem(row, kIndex)}};
  }
  std::vector<std::string> storages;
  for (const auto& [key, value] : fields->other) {
    if (key != kPartStoragesKey) continue;
    for (std::size_t at = 0; at <= value.size();) {
      const std::size_t comma = std::min(value.find(',', at), value.size());
      storages.push_back(value.substr(at, comma - at));
      at = comma + 1;
    }
  }
  std::vector<PhoneSlot> slots;
  for (std::size_t i = 0; i < fields->parts.size(); ++i) {
    slots.push_back({i < storages.size() ? storages[i] : fields->storage, fields->parts[i]});
  }
  return slots;
}

bool IsSelectedForRead(std::string_view status, const ReadOptions& options) {
  return (status == "REC READ" && options.check8) || status == "REC UNREAD" ||
         (status == "STO SENT" && options.check9) || (status == "STO UNSENT" && options.check10);
}

MessageReadResult ReadMessages(AtChannel& channel, const ReadOptions& options,
                               const LanguageLines& language, UserInterface& ui) {
  MessageReadResult result;
  std::vector<KeptReply> kept;
  try {
    TalkToPhone(channel, options, language, ui, kept, result);
  } catch (...) {
    result.port_error = std::current_exception();
  }
  ui.HideProgress();
  if (!result.port_error) ui.SetProgressText(language.LangText("Str66"));

  std::unordered_set<std::string> indexes_with_rows;
  for (const KeptReply& read : kept) {
    bool all_readable = !read.records.empty();
    for (const MessageRecord& record : read.records) {
      ui.ProcessPendingEvents();
      result.rows.push_back(MakeMessageRow(record, read.index, language, MakeDate()));
      result.row_slots.push_back({PhoneSlot{{}, read.index}});
      all_readable = all_readable && record.header_readable;
    }
    // A message whose header did not parse stays on the phone: what it was
    // cannot be told, and the row holds only its text.
    if (!all_readable) {
      ++result.unreadable;
    } else if (indexes_with_rows.insert(read.index).second) {
      result.read_indexes.push_back(read.index);
    }
  }
  ui.SetProgressText({});
  return result;
}

}  // namespace missivo
