// missivo-cli list: the rows of the archive or of the phonebook copy, as UTF-8
// text or JSON.
#include <nlohmann/json.hpp>
#include <string>

#include "cli/commands.h"
#include "cli/program_session.h"
#include "cli/terminal_text.h"
#include "text/cp1251.h"

namespace missivo::cli {
namespace {

std::string AsText(const std::vector<Row>& rows) {
  std::string out;
  for (const Row& row : rows) {
    // Every row one line of TAB-separated fields, harmless on a terminal.
    out += ForTerminal(row.caption, LineBreaks::kEscaped);
    for (const std::string& sub_item : row.sub_items) {
      out += '\t';
      out += ForTerminal(sub_item, LineBreaks::kEscaped);
    }
    out += '\n';
  }
  return out;
}

std::string AsJson(const std::vector<Row>& rows) {
  nlohmann::ordered_json array = nlohmann::ordered_json::array();
  for (const Row& row : rows) {
    nlohmann::ordered_json sub_items = nlohmann::ordered_json::array();
    for (const std::string& sub_item : row.sub_items)
      sub_items.push_back(Cp1251ToUtf8(sub_item));
    array.push_back(
        {{"caption", Cp1251ToUtf8(row.caption)}, {"sub_items", sub_items}, {"image", row.image}});
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
  ProgramSession session(ProgramFolderOf(line), ui, /*make_data_folder=*/false, LockWaitOf(line));
  const RowList list = what == "archive" ? session.LoadArchive() : session.LoadPhonebook();
  WriteOut(line.Has("json") ? AsJson(list.rows) : AsText(list.rows));
  return kExitOk;
}

}  // namespace missivo::cli
