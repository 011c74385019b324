#include "phone/message_read.h"

#include <algorithm>
#include <unordered_set>
#include <utility>

#include "phone/dates.h"
#include "phone/message_rows.h"
#include "phone/reply_parsers.h"
#include "text/lines.h"

namespace missivo {
namespace {

const char* const kSetUpCommands[] = {
    "AT+CMGF=1\r\n",
    "AT+CSCS=UCS2\r\n",
    "AT+CPBS=\"MT\"\r\n",
};
constexpr const char* kListCommand = "at+cmgl=\"ALL\"\r\n";
constexpr int kSetUpSteps = 4;

// A message read: its index and the records of its reply. The reply itself is
// not kept, so a read holds the messages, not every byte the phone sent.
struct KeptReply {
  std::string index;
  std::vector<MessageRecord> records;
};

// Sends the set-up commands and the listing, then reads the selected messages,
// keeping each reply with its index. A port failure ends it by its exception;
// what was kept until then stays in `kept`.
void TalkToPhone(AtChannel& channel, const ReadOptions& options, const LanguageLines& language,
                 UserInterface& ui, std::vector<KeptReply>& kept) {
  ui.ShowProgress(kSetUpSteps, 0);
  ui.SetProgressText(language.LangText("Str64"));
  std::string reply;
  int step = 0;
  for (const char* command : kSetUpCommands) {
    channel.ExchangeCommand(command, reply);
    ui.SetProgressPosition(++step);
  }
  channel.ExchangeCommand(kListCommand, reply);
  ui.SetProgressPosition(++step);
  const std::vector<ListingEntry> entries = ParseMessageList(SplitAnyBreak(reply));

  const int listed = static_cast<int>(entries.size());
  ui.ShowProgress(std::max(4 * listed - 1, 0), 0);
  ui.SetProgressText(language.LangText("Str65"));
  for (int k = 0; k < listed; ++k) {
    const ListingEntry& entry = entries[static_cast<std::size_t>(k)];
    if (IsSelectedForRead(entry.status, options)) {
      channel.ExchangeCommand("AT+CMGR=" + entry.index + "\r\n", reply);
      // Lines uncut: the parser cuts them for the row's five sub-items and keeps
      // the whole text for its lossless fields.
      kept.push_back({entry.index, ParseMessageReplies(SplitCrLf(reply, std::string::npos))});
    }
    ui.SetProgressPosition(4 * k);
    ui.ProcessPendingEvents();
  }
}

}  // namespace

bool IsSelectedForRead(std::string_view status, const ReadOptions& options) {
  return (status == "REC READ" && options.check8) || status == "REC UNREAD" ||
         (status == "STO SENT" && options.check9) || (status == "STO UNSENT" && options.check10);
}

MessageReadResult ReadMessages(AtChannel& channel, const ReadOptions& options,
                               const LanguageLines& language, UserInterface& ui) {
  MessageReadResult result;
  std::vector<KeptReply> kept;
  try {
    TalkToPhone(channel, options, language, ui, kept);
  } catch (...) {
    result.port_error = std::current_exception();
  }
  ui.HideProgress();
  if (!result.port_error) ui.SetProgressText(language.LangText("Str66"));

  std::unordered_set<std::string> indexes_with_rows;
  for (const KeptReply& read : kept) {
    for (const MessageRecord& record : read.records) {
      ui.ProcessPendingEvents();
      result.rows.push_back(MakeMessageRow(record, read.index, language, MakeDate()));
      if (indexes_with_rows.insert(read.index).second) result.read_indexes.push_back(read.index);
    }
  }
  ui.SetProgressText({});
  return result;
}

}  // namespace missivo
