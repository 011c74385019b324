// missivo-cli export and import in the exchange formats: the archive as an SMS
// backup, CSV, JSON or a UTF-8 page; the phonebook as vCard or CSV; and the
// messages of an SMS backup and the contacts of a vCard file brought in.
#include <string>

#include "cli/commands.h"
#include "cli/program_session.h"
#include "phone/name_resolution.h"
#include "store/stored_list.h"
#include "text/cp1251.h"
#include "transfer/exchange_export.h"
#include "transfer/exchange_import.h"

namespace missivo::cli {
namespace {

// The export to --output (replaced whole), or to standard output.
int WriteExported(const std::optional<std::string>& output, ProgramSession& session,
                  std::size_t count, const char* word, TerminalUserInterface& ui,
                  const std::function<Status(const std::function<bool(std::string_view)>&,
                                             const std::function<void(std::size_t)>&)>& write) {
  if (output && count == 0) {
    WriteOut(std::string("nothing to export: ") + *output + " not written\n");
    return kExitOk;
  }
  if (output) {
    const ExportResult result = ExportToFile(count, count, *output, session.language(), ui, write);
    if (!result.ok()) throw CliError("the export failed");  // the reason is shown already
    WriteOut("exported " + Counted(result.exported, word) + " to " + *output + "\n");
    return kExitOk;
  }
  const Status made = write(
      [](std::string_view bytes) {
        WriteOut(bytes);
        return true;
      },
      {});
  if (!made.ok()) throw CliError("cannot export: " + Cp1251ToUtf8(made.message()));
  return kExitOk;
}

// What the file held besides the messages added.
std::string BackupNotes(const AndroidXmlRead& read) {
  std::string notes;
  if (read.media_skipped != 0) {
    notes +=
        ", " + Counted(read.media_skipped, "MMS attachment") + " skipped (only texts are kept)";
  }
  if (read.mms_without_text != 0) {
    notes += ", " + Counted(read.mms_without_text, "MMS") + " without text left out";
  }
  return notes;
}

// A file that broke: its messages before the fault are taken only with --partial.
void CheckWhole(const std::string& error, std::size_t read_before, const char* word,
                const CommandLine& line) {
  if (error.empty()) return;
  const std::string where = Cp1251ToUtf8(error);
  if (!line.Has("partial") || read_before == 0) {
    throw CliError("cannot import: " + where + " Nothing was added" +
                   (read_before != 0 ? " (" + Counted(read_before, word) +
                                           " could be read before that: --partial adds them)"
                                     : std::string()) +
                   ".");
  }
  WriteErr("missivo-cli: " + where + " Adding the " + Counted(read_before, word) +
           " read before that.\n");
}

}  // namespace

int RunExchangeExport(const CommandLine& line, TerminalUserInterface& ui, const std::string& what,
                      const std::string& format) {
  const std::optional<std::string> output = line.Value("output");
  if (what == "phonebook") {
    const std::optional<ContactFormat> contact_format = ContactFormatOfName(format);
    if (!contact_format) throw CliError("export phonebook needs --format vcf or csv", kExitUsage);
    TakePasswordFile(line, ui);
    ProgramSession session(ProgramFolderOf(line), ui, /*make_data_folder=*/false, LockWaitOf(line));
    const RowList phonebook = session.LoadPhonebook();
    return WriteExported(output, session, phonebook.rows.size(), "contact", ui,
                         [&](const auto& sink, const auto&) {
                           return sink(ContactsText(phonebook.rows, *contact_format))
                                      ? Status()
                                      : Status::Failure("The export could not be written.");
                         });
  }
  const std::optional<MessageFormat> message_format = MessageFormatOfName(format);
  if (!message_format) {
    throw CliError("export archive needs --format xml, csv, json, html-utf8, html or txt",
                   kExitUsage);
  }
  TakePasswordFile(line, ui);
  ProgramSession session(ProgramFolderOf(line), ui, /*make_data_folder=*/false, LockWaitOf(line));
  const RowList archive = session.LoadArchive();
  return WriteExported(output, session, archive.rows.size(), "message", ui,
                       [&](const auto& sink, const auto& on_row) {
                         return WriteMessages(archive.rows, RowSelection::All(), *message_format,
                                              sink, on_row);
                       });
}

int RunExchangeImport(const CommandLine& line, TerminalUserInterface& ui) {
  const bool backup = line.operands[0] == "android-xml";
  const std::filesystem::path file = line.operands[1];
  TakePasswordFile(line, ui);
  ProgramSession session(ProgramFolderOf(line), ui, /*make_data_folder=*/true, LockWaitOf(line));
  RowList archive = session.LoadArchive();
  RowList phonebook = session.LoadPhonebook();

  if (backup) {
    BackupRows rows = ReadBackupRows(file, session.language());
    CheckWhole(rows.read.error, rows.rows.size(), "message", line);
    const ImportCount count =
        AppendNewMessages(archive.rows, std::move(rows.rows), session.language(), ui);
    ResolveArchiveNames(archive.rows, phonebook.rows, {});  // saved right below
    const Status saved =
        count.added != 0 ? SaveListFile(archive, session.store().archive(), ui) : Status();
    if (!saved.ok()) throw session.SaveFailure("the archive was not saved; it is as it was");
    WriteOut("imported " + Counted(count.added, "message") + ", " + std::to_string(count.already) +
             " already in the archive" + BackupNotes(rows.read) + " (" +
             Counted(archive.rows.size(), "row") + " in the archive)\n");
    return kExitOk;
  }

  const VCardRead read = ReadVCardFile(file);
  CheckWhole(read.error, read.contacts.size(), "contact", line);
  const ImportCount count = AppendNewContacts(phonebook.rows, read.contacts);
  Status saved;
  if (count.added != 0) {
    saved = SaveListFile(phonebook, session.store().phonebook(), ui);
    // Names are put on the archive's senders as after a phonebook read.
    if (saved.ok()) {
      ResolveArchiveNames(archive.rows, phonebook.rows,
                          [&] { saved = SaveListFile(archive, session.store().archive(), ui); });
    }
  }
  if (!saved.ok())
    throw session.SaveFailure("the data files were not all saved; see the message above");
  WriteOut("imported " + Counted(count.added, "contact") + ", " + std::to_string(count.already) +
           " already in the phonebook" +
           (read.cards_without_number != 0
                ? ", " + Counted(read.cards_without_number, "card") + " without a number left out"
                : std::string()) +
           " (" + Counted(phonebook.rows.size(), "contact") + " in the phonebook)\n");
  return kExitOk;
}

}  // namespace missivo::cli
