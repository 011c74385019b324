// missivo-cli list: the rows of the archive or of the phonebook copy, as UTF-8
// text or JSON.
#include <nlohmann/json.hpp>
#include <string>

#include "cli/commands.h"
#include "cli/program_session.h"
#include "text/cp1251.h"

namespace missivo::cli {
namespace {

// A field on one line of the text form: backslash, TAB, CR and LF written as
// \\, \t, \r and \n, so that every row stays one line of TAB-separated fields.
std::string TextField(const std::string& cp1251) {
  std::string field;
  for (const char c : Cp1251ToUtf8(cp1251)) {
    switch (c) {
      case '\\':
        field += "\\\\";
        break;
      case '\t':
        field += "\\t";
        break;
      case '\r':
        field += "\\r";
        break;
      case '\n':
        field += "\\n";
        break;
      default:
        field.push_back(c);
    }
  }
  return field;
}

std::string AsText(const std::vector<Row>& rows) {
  std::string out;
  for (const Row& row : rows) {
    out += TextField(row.caption);
    for (const std::string& sub_item : row.sub_items) {
      out += '\t';
      out += TextField(sub_item);
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
  return array.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
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
  WriteOut(line.Has("json") ? AsJson(list.rows) : AsText(list.rows));
  return kExitOk;
}

}  // namespace missivo::cli
