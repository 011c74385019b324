// missivo-cli export and import: the archive through the folder's templates,
// and the two older message formats into the archive.
#include <algorithm>
#include <string>

#include "cli/commands.h"
#include "cli/program_session.h"
#include "phone/name_resolution.h"
#include "store/stored_list.h"
#include "text/cp1251.h"
#include "transfer/export_rows.h"
#include "transfer/p2ktools_import.h"
#include "transfer/templates.h"
#include "transfer/v1_import.h"

namespace missivo::cli {
namespace {

TemplateKind FormatOf(const CommandLine& line) {
  const std::string format = line.Value("format").value_or("");
  if (format == "html") return TemplateKind::kHtml;
  if (format == "txt") return TemplateKind::kText;
  throw CliError("export needs --format html or --format txt", kExitUsage);
}

// The entries of the import file, or CliError when it cannot be read.
template <typename Entry>
std::vector<Entry> EntriesOf(ImportRead<Entry> read) {
  if (!read.ok()) throw CliError("cannot import: " + Cp1251ToUtf8(read.error));
  return std::move(read.entries);
}

}  // namespace

int RunExport(const CommandLine& line, TerminalUserInterface& ui) {
  const std::string& what = OneOperand(line, "archive or phonebook");
  if (what != "archive" && what != "phonebook") {
    throw CliError("export takes \"archive\" or \"phonebook\"", kExitUsage);
  }
  const std::string format = line.Value("format").value_or("");
  if (what == "phonebook" || (format != "html" && format != "txt")) {
    return RunExchangeExport(line, ui, what, format);
  }
  const TemplateKind kind = FormatOf(line);
  const std::optional<std::string> output = line.Value("output");

  TakePasswordFile(line, ui);
  ProgramSession session(ProgramFolderOf(line), ui, /*make_data_folder=*/false, LockWaitOf(line));
  const RowList archive = session.LoadArchive();
  if (output && archive.rows.empty()) {
    WriteOut("the archive is empty: nothing exported, " + *output + " not written\n");
    return kExitOk;
  }
  if (output) {
    const ExportResult result = ExportRows(archive.rows, RowSelection::All(), kind,
                                           session.files().folder, *output, session.language(), ui);
    if (!result.ok()) throw CliError("the export failed");  // the reason is shown already
    WriteOut("exported " + Counted(result.exported, "message") + " to " + *output + "\n");
    return kExitOk;
  }
  const Status made =
      WriteExport(archive.rows, RowSelection::All(),
                  LoadTemplateBuffer(session.files().folder, kind, session.language()), kind,
                  [](std::string_view block) { WriteOut(block); });
  if (!made.ok()) throw CliError("cannot export: " + Cp1251ToUtf8(made.message()));
  return kExitOk;
}

int RunImport(const CommandLine& line, TerminalUserInterface& ui) {
  const auto kinds = {"p2ktools", "v1", "android-xml", "vcard"};
  if (line.operands.size() != 2 ||
      std::find(kinds.begin(), kinds.end(), line.operands[0]) == kinds.end()) {
    throw CliError("import wants p2ktools, v1, android-xml or vcard and the file to import",
                   kExitUsage);
  }
  if (line.operands[0] == "android-xml" || line.operands[0] == "vcard") {
    return RunExchangeImport(line, ui);
  }
  const bool p2ktools = line.operands[0] == "p2ktools";
  const std::filesystem::path file = line.operands[1];

  TakePasswordFile(line, ui);
  ProgramSession session(ProgramFolderOf(line), ui, /*make_data_folder=*/true, LockWaitOf(line));
  RowList archive = session.LoadArchive();
  const RowList phonebook = session.LoadPhonebook();
  const auto resolve_names = [&] {
    // The import saves the archive itself right after.
    ResolveArchiveNames(archive.rows, phonebook.rows, {});
  };
  const ImportCount added =
      p2ktools ? AppendP2kToolsRows(archive.rows, EntriesOf(ReadP2kToolsFile(file)),
                                    session.language(), ui, resolve_names)
               : AppendV1MessageRows(archive.rows, EntriesOf(ParseV1MessageFile(file)),
                                     session.language(), ui, resolve_names);
  const Status saved = SaveListFile(archive, session.store().archive(), ui);
  if (!saved.ok()) throw session.SaveFailure("the archive was not saved; it is as it was");
  WriteOut("imported " + Counted(added.added, "message") + ", " + std::to_string(added.already) +
           " already in the archive (" + Counted(archive.rows.size(), "row") + ")\n");
  return kExitOk;
}

}  // namespace missivo::cli
