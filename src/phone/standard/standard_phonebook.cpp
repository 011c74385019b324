#include "phone/standard/standard_phonebook.h"

#include <algorithm>

#include "phone/at_exchange.h"
#include "phone/standard/standard_commands.h"
#include "phone/standard/standard_profile.h"
#include "phone/standard/standard_replies.h"
#include "phone/ucs2.h"
#include "store/contact_fields.h"
#include "text/cp1251.h"
#include "text/lines.h"

namespace missivo {
namespace {

constexpr int kBatchSize = 50;

bool IsUcs2Hex(std::string_view field) {
  return !field.empty() && field.size() % 4 == 0 &&
         field.find_first_not_of("0123456789ABCDEFabcdef") == std::string_view::npos;
}

std::string DecodedNumber(const std::string& field, bool ucs2) {
  if (!ucs2 || !IsUcs2Hex(field)) return field;
  std::string digits;
  for (char16_t unit : DecodeUcs2Units(field)) {
    if (unit > 0x7F || std::string_view("0123456789+*#pwPW").find(static_cast<char>(unit)) ==
                           std::string_view::npos) {
      return field;
    }
    digits.push_back(static_cast<char>(unit));
  }
  return digits;
}

bool Accepted(AtChannel& channel, const std::string& command) {
  std::string reply;
  channel.ExchangeQuietly(command, reply);
  return !reply.empty() && !IsErrorReply(reply);
}

struct ContactStorage {
  std::string name;
  PhonebookRange range;
};

}  // namespace

std::optional<Row> ParseStandardContact(std::string_view line, bool ucs2) {
  const auto rest = AfterPrefix(line, "+CPBR:");
  if (!rest) return std::nullopt;
  const std::vector<std::string> fields = SplitFields(*rest);
  if (fields.size() < 2 || fields[0].empty() || fields[0].starts_with('(')) return std::nullopt;
  const std::string number = DecodedNumber(Unquote(fields[1]), ucs2);
  std::string name = fields.size() > 3 ? Unquote(fields[3]) : std::string();
  name = ucs2 && IsUcs2Hex(name) ? DecodeUcs2HexToUtf8(name) : Cp1251ToUtf8(name);
  return MakeContactRow(name, Cp1251ToUtf8(number));
}

std::vector<std::string> ContactStorages(const std::vector<std::string>& offered) {
  return StoragesToRead(offered);
}

std::optional<std::vector<Row>> StandardProfile::ReadPhonebook(AtChannel& channel,
                                                               const LanguageLines& language,
                                                               UserInterface& ui) const {
  const bool ucs2 = Accepted(channel, standard::kUcs2Command) ||
                    Accepted(channel, standard::kUcs2UnquotedCommand);
  std::vector<ContactStorage> storages;
  std::string reply;
  for (const std::string& name : ContactStorages(identity_.phonebook_storages)) {
    if (!name.empty() && !Accepted(channel, standard::SelectPhonebookCommand(name))) continue;
    channel.ExchangeQuietly(standard::kPhonebookRangeCommand, reply);
    if (const auto range = ParsePhonebookRangeReply(reply)) storages.push_back({name, *range});
  }
  if (storages.empty()) return std::nullopt;

  int total = 0;
  for (const ContactStorage& storage : storages)
    total += storage.range.last - storage.range.first + 1;
  ui.ShowProgress(total, 0);
  ui.SetProgressText(language.LangText("Str76"));
  std::vector<Row> contacts;
  int done = 0;
  try {
    for (const ContactStorage& storage : storages) {
      if (!storage.name.empty()) {
        channel.ExchangeQuietly(standard::SelectPhonebookCommand(storage.name), reply);
      }
      for (int first = storage.range.first; first <= storage.range.last; first += kBatchSize) {
        const int last = std::min(storage.range.last, first + kBatchSize - 1);
        // An empty slot answers "+CME ERROR: 22" or nothing: no error for the user.
        channel.ExchangeQuietly(standard::PhonebookBatchCommand(first, last), reply);
        for (const std::string& line : SplitAnyBreak(reply)) {
          if (auto contact = ParseStandardContact(line, ucs2))
            contacts.push_back(std::move(*contact));
        }
        done += last - first + 1;
        ui.SetProgressPosition(done);
        ui.ProcessPendingEvents();
      }
    }
  } catch (...) {
    ui.HideProgress();
    ui.SetProgressText({});
    throw;
  }
  ui.HideProgress();
  ui.SetProgressText({});
  return contacts;
}

}  // namespace missivo
