// missivo-cli list: the rows of the archive or of the phonebook copy, as UTF-8
// text or JSON.
#include <nlohmann/json.hpp>
#include <optional>
#include <span>
#include <string>

#include "cli/commands.h"
#include "cli/program_session.h"
#include "cli/terminal_text.h"
#include "store/message_fields.h"
#include "text/cp1251.h"
#include "transfer/message_json.h"

namespace missivo::cli {
namespace {

// The sub-items a row shows: the five of a message row that carries lossless
// fields (those are shown by name), every one of any other row.
std::span<const std::string> ShownSubItems(const Row& row) {
  const std::size_t count = HasMessageFields(row) ? kMessageFieldCount : row.sub_items.size();
  return std::span<const std::string>(row.sub_items).first(count);
}

std::string AsText(const std::vector<Row>& rows) {
  std::string out;
  for (const Row& row : rows) {
    // Every row one line of TAB-separated fields, harmless on a terminal: the
    // whole text (line breaks as \n), then the sub-items.
    out += ForTerminalUtf8(BestText(row), LineBreaks::kEscaped);
    for (const std::string& sub_item : ShownSubItems(row)) {
      out += '\t';
      out += ForTerminal(sub_item, LineBreaks::kEscaped);
    }
    out += '\n';
  }
  return out;
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
      object["name"] = Cp1251ToUtf8(row.caption);
      object["number"] = Cp1251ToUtf8(SubItem(row, kNumber));
    } else {
      AddMessageKeys(row, object);
    }
    array.push_back(std::move(object));
  }
  std::string json =
      array.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
  // The dump escapes C0 controls; the one C1 control of the code page (U+0098,
  // which starts a string a terminal swallows) is escaped too.
  for (std::size_t at = json.find("\xC2\x98"); at != std::string::npos;
       at = json.find("\xC2\x98", at))
    json.replace(at, 2, "\\u0098");
  return json;
}

}  // namespace

int RunList(const CommandLine& line, TerminalUserInterface& ui) {
  const std::string& what = OneOperand(line, "archive or phonebook");
  if (what != "archive" && what != "phonebook") {
    throw CliError("list wants \"archive\" or \"phonebook\", not \"" + what + "\"", kExitUsage);
  }
  TakePasswordFile(line, ui);
  ProgramSession session(ProgramFolderOf(line), ui, /*make_data_folder=*/false);
  const RowList list = what == "archive" ? session.LoadArchive() : session.LoadPhonebook();
  session.Close();
  WriteOut(line.Has("json") ? AsJson(list.rows, what == "phonebook") : AsText(list.rows));
  return kExitOk;
}

}  // namespace missivo::cli
