#include "phone/phonebook_read.h"

#include <algorithm>
#include <charconv>
#include <iterator>

#include "phone/family_commands.h"
#include "phone/ucs2.h"
#include "store/contact_fields.h"
#include "text/cp1251.h"
#include "text/lines.h"
#include "text/pieces.h"

namespace missivo {
namespace {

constexpr int kBatchSize = 50;

bool IsDecimal(std::string_view text) {
  return !text.empty() &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

std::optional<int> ParsePhonebookRange(const std::string& reply) {
  const std::vector<std::string> lines = SplitAnyBreak(reply);
  if (lines.size() < 3) return std::nullopt;
  const std::string& info = lines[lines.size() - 3];
  const Pos dash = FindFrom("-", info, 0);
  const Pos comma = FindFrom(",", info, 0);
  const std::string text = Piece(info, dash + 1, comma - dash - 1);
  if (!IsDecimal(text)) return std::nullopt;
  int max = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), max);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  if (max > kMaxPhonebookNumber) return std::nullopt;
  return max;
}

std::vector<PhonebookBatch> PhonebookBatches(int max) {
  std::vector<PhonebookBatch> batches;
  for (int first = 1; first <= max;) {
    const int last = max - first < kBatchSize ? max : first + kBatchSize - 1;
    batches.push_back({first, last});
    if (last == max) break;
    first = last + 1;
  }
  return batches;
}

std::optional<Row> ParsePhonebookEntry(const std::string& line) {
  if (!line.starts_with("+MPBR:")) return std::nullopt;
  const Pos c1 = FindFrom(",", line, 0);
  const Pos c2 = FindFrom(",", line, c1 + 1);
  const Pos c3 = FindFrom(",", line, c2 + 1);
  const Pos c4 = FindFrom(",", line, c3 + 1);
  const std::string number = Piece(line, c1 + 2, c2 - c1 - 3);
  const std::string name = DecodeUcs2HexToUtf8(Piece(line, c3 + 1, c4 - c3 - 1));
  return MakeContactRow(name, Cp1251ToUtf8(number));
}

std::vector<Row> ParsePhonebookReplies(const std::vector<std::string>& replies) {
  std::vector<Row> contacts;
  for (const std::string& reply : replies) {
    for (const std::string& line : SplitCrLf(reply)) {
      if (auto contact = ParsePhonebookEntry(line)) contacts.push_back(std::move(*contact));
    }
  }
  return contacts;
}

std::optional<std::vector<Row>> ReadPhonebook(AtChannel& channel, const LanguageLines& language,
                                              UserInterface& ui) {
  std::string reply;
  for (const char* command : family::kPhonebookSetUpCommands)
    channel.ExchangeCommand(command, reply);
  channel.ExchangeCommand(family::kPhonebookRangeCommand, reply);
  const std::optional<int> max = ParsePhonebookRange(reply);
  if (!max) return std::nullopt;

  ui.ShowProgress(*max, 0);
  ui.SetProgressText(language.LangText("Str76"));
  // Each reply is parsed as it comes: the read keeps contacts, not replies.
  std::vector<Row> contacts;
  try {
    for (const PhonebookBatch& batch : PhonebookBatches(*max)) {
      channel.ExchangeCommand(family::PhonebookBatchCommand(batch.first, batch.last), reply);
      std::vector<Row> batch_contacts = ParsePhonebookReplies({reply});
      contacts.insert(contacts.end(), std::make_move_iterator(batch_contacts.begin()),
                      std::make_move_iterator(batch_contacts.end()));
      ui.SetProgressPosition(batch.last);
      ui.ProcessPendingEvents();
    }
  } catch (...) {
    // A port failure ends the read; the gauge must not stay behind.
    ui.HideProgress();
    ui.SetProgressText({});
    throw;
  }
  ui.HideProgress();
  ui.SetProgressText({});
  return contacts;
}

}  // namespace missivo
