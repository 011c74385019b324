// missivo-cli list: the rows of the archive (all, or those a filter finds) or
// of the phonebook copy, as UTF-8 text or JSON; missivo-cli conversations: the
// archive's correspondents.
#include <nlohmann/json.hpp>
#include <optional>
#include <span>
#include <string>
#include <utility>

#include "cli/commands.h"
#include "cli/program_session.h"
#include "cli/terminal_text.h"
#include "store/contact_fields.h"
#include "store/conversations.h"
#include "store/message_fields.h"
#include "store/row_search.h"
#include "text/cp1251.h"
#include "transfer/message_json.h"

namespace missivo::cli {
namespace {

// The sub-items a row shows: the five of a message row and the number of a
// contact row that carry lossless fields (those are shown by name), every one
// of any other row.
std::span<const std::string> ShownSubItems(const Row& row) {
  std::size_t count = row.sub_items.size();
  if (HasMessageFields(row)) count = kMessageFieldCount;
  if (HasContactFields(row)) count = kNumber + 1;
  return std::span<const std::string>(row.sub_items).first(count);
}

std::string AsText(const std::vector<Row>& rows, bool phonebook) {
  std::string out;
  for (const Row& row : rows) {
    // Every row one line of TAB-separated fields, harmless on a terminal: the
    // whole text (line breaks as \n) or a contact's whole name, then the
    // sub-items, a contact's number whole.
    out += ForTerminalUtf8(phonebook ? ContactName(row) : BestText(row), LineBreaks::kEscaped);
    const std::span<const std::string> shown = ShownSubItems(row);
    for (std::size_t i = 0; i < shown.size(); ++i) {
      out += '\t';
      out += phonebook && i == kNumber ? ForTerminalUtf8(ContactNumber(row), LineBreaks::kEscaped)
                                       : ForTerminal(shown[i], LineBreaks::kEscaped);
    }
    out += '\n';
  }
  return out;
}

std::string Dump(const nlohmann::ordered_json& array) {
  std::string json =
      array.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
  // The dump escapes C0 controls; the one C1 control of the code page (U+0098,
  // which starts a string a terminal swallows) is escaped too.
  for (std::size_t at = json.find("\xC2\x98"); at != std::string::npos;
       at = json.find("\xC2\x98", at))
    json.replace(at, 2, "\\u0098");
  return json;
}

using Json = nlohmann::ordered_json;

std::string AsJson(const std::vector<Row>& rows, bool phonebook) {
  Json array = Json::array();
  for (const Row& row : rows) {
    Json sub_items = Json::array();
    for (const std::string& sub_item : ShownSubItems(row))
      sub_items.push_back(Cp1251ToUtf8(sub_item));
    Json object = {
        {"caption", Cp1251ToUtf8(row.caption)}, {"sub_items", sub_items}, {"image", row.image}};
    if (phonebook) {
      object["name"] = ContactName(row);
      object["number"] = ContactNumber(row);
    } else {
      AddMessageKeys(row, object);
    }
    array.push_back(std::move(object));
  }
  return Dump(array);
}

// The filter of --search, --from, --since, --until and --kind; nothing when
// none is given. A date or kind that cannot be used is a usage error.
std::optional<RowFilter> FilterOf(const CommandLine& line) {
  RowFilter filter;
  bool any = false;
  if (const auto text = line.Value("search")) {
    filter.text = *text;
    any = true;
  }
  if (const auto from = line.Value("from")) {
    filter.from = *from;
    any = true;
  }
  for (const auto& [option, day] : {std::pair{"since", &filter.since}, {"until", &filter.until}}) {
    const auto value = line.Value(option);
    if (!value) continue;
    const std::optional<std::string> parsed = ParseDay(*value);
    if (!parsed) {
      throw CliError(
          std::string("--") + option + " wants a date such as 2006-01-31, not \"" + *value + "\"",
          kExitUsage);
    }
    *day = *parsed;
    any = true;
  }
  if (const auto kind = line.Value("kind")) {
    filter.kind = KindOfName(*kind);
    if (!filter.kind) {
      throw CliError("--kind wants incoming, outgoing, draft or imported, not \"" + *kind + "\"",
                     kExitUsage);
    }
    any = true;
  }
  if (!any) return std::nullopt;
  return filter;
}

std::string ConversationsAsText(const std::vector<Conversation>& conversations) {
  std::string out;
  for (const Conversation& conversation : conversations) {
    out += ForTerminal(Utf8ToCp1251(conversation.Title()), LineBreaks::kEscaped) + '\t' +
           ForTerminal(conversation.number, LineBreaks::kEscaped) + '\t' +
           std::to_string(conversation.rows.size()) + '\t' +
           ForTerminal(conversation.last_date_time, LineBreaks::kEscaped) + '\n';
  }
  return out;
}

std::string ConversationsAsJson(const std::vector<Conversation>& conversations) {
  nlohmann::ordered_json array = nlohmann::ordered_json::array();
  for (const Conversation& conversation : conversations) {
    array.push_back({{"name", conversation.Title()},
                     {"number", conversation.number},
                     {"messages", conversation.rows.size()},
                     {"last", Cp1251ToUtf8(conversation.last_date_time)}});
  }
  return Dump(array);
}

}  // namespace

int RunList(const CommandLine& line, TerminalUserInterface& ui) {
  const std::string& what = OneOperand(line, "archive or phonebook");
  if (what != "archive" && what != "phonebook") {
    throw CliError("list wants \"archive\" or \"phonebook\", not \"" + what + "\"", kExitUsage);
  }
  const std::optional<RowFilter> filter = FilterOf(line);
  if (filter && what != "archive")
    throw CliError("--search, --from, --since, --until and --kind choose archive rows", kExitUsage);
  TakePasswordFile(line, ui);
  ProgramSession session(ProgramFolderOf(line), ui, /*make_data_folder=*/false, LockWaitOf(line));
  RowList list = what == "archive" ? session.LoadArchive() : session.LoadPhonebook();
  if (filter) {
    std::vector<Row> found;
    for (const std::size_t position : FindRows(list.rows, *filter))
      found.push_back(std::move(list.rows[position]));
    list.rows = std::move(found);
  }
  WriteOut(line.Has("json") ? AsJson(list.rows, what == "phonebook")
                            : AsText(list.rows, what == "phonebook"));
  return kExitOk;
}

int RunConversations(const CommandLine& line, TerminalUserInterface& ui) {
  if (!line.operands.empty())
    throw CliError("conversations takes no operand, not \"" + line.operands.front() + "\"",
                   kExitUsage);
  TakePasswordFile(line, ui);
  ProgramSession session(ProgramFolderOf(line), ui, /*make_data_folder=*/false, LockWaitOf(line));
  const RowList archive = session.LoadArchive();
  const std::vector<Conversation> conversations = GroupConversations(archive.rows);
  WriteOut(line.Has("json") ? ConversationsAsJson(conversations)
                            : ConversationsAsText(conversations));
  return kExitOk;
}

}  // namespace missivo::cli
