// missivo-cli send: one message to a number or a contact of the phonebook copy.
#include <iostream>
#include <iterator>
#include <string>

#include "cli/commands.h"
#include "cli/phone_port.h"
#include "cli/program_session.h"
#include "core/atomic_file.h"
#include "phone/dates.h"
#include "phone/device_identity.h"
#include "phone/message_send.h"
#include "store/stored_list.h"
#include "text/utf8.h"

namespace missivo::cli {
namespace {

// The text of --text, --text-file or standard input; one line end at the end
// of a file or of the input (as editors and `echo` leave it) is not sent.
std::string TextToSend(const CommandLine& line) {
  if (line.Has("text") && line.Has("text-file")) {
    throw CliError("give --text or --text-file, not both", kExitUsage);
  }
  std::string text;
  if (const auto given = line.Value("text")) {
    text = *given;
  } else {
    if (const auto path = line.Value("text-file")) {
      Result<std::string> bytes = ReadWholeFile(*path);
      if (!bytes.ok()) throw CliError("the text file cannot be read: " + bytes.message());
      text = std::move(bytes).value();
    } else {
      text.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
      if (std::cin.bad()) throw CliError("standard input cannot be read");
    }
    if (text.ends_with('\n')) text.pop_back();
    if (text.ends_with('\r')) text.pop_back();
  }
  std::size_t first_bad = std::string::npos;
  (void)Utf8ToCodePoints(text, &first_bad);
  if (first_bad != std::string::npos) {
    throw CliError("the text is not UTF-8 (byte " + std::to_string(first_bad + 1) + ")",
                   kExitUsage);
  }
  if (text.empty()) throw CliError("the text is empty", kExitUsage);
  return text;
}

}  // namespace

int RunSend(const CommandLine& line, TerminalUserInterface& ui) {
  if (!line.operands.empty()) throw CliError("send takes no operand", kExitUsage);
  const std::optional<std::string> to = line.Value("to");
  if (!to || to->empty()) throw CliError("send needs --to NUMBER-OR-CONTACT", kExitUsage);
  const std::string text = TextToSend(line);
  PhonePort phone(line, ui, "send");
  ConnectionProfile profile(PhoneKindOf(line));
  const bool archive = !line.Has("no-archive");

  TakePasswordFile(line, ui);
  ProgramSession session(ProgramFolderOf(line), ui, /*make_data_folder=*/archive, LockWaitOf(line));
  // Both lists are read before anything is sent: a damaged file stops the
  // send, not the saving of a message already gone.
  const RowList list2 = session.LoadPhonebook();
  RowList list4 = archive ? session.LoadArchive() : MakeMessageList();
  const Result<std::string> number = RecipientNumber(*to, list2.rows);
  if (!number.ok()) throw CliError("--to: " + number.message(), kExitUsage);

  SendReport report;
  phone.Run([&](AtChannel& channel) {
    report = SendMessage(channel, profile.Get(channel), number.value(), text,
                         {.status_report = line.Has("report"), .reference = std::nullopt});
  });
  if (report.AllConfirmed()) {
    WriteOut(report.Summary() + "\n");
    if (archive) {
      list4.rows.push_back(MakeSentRow(number.value(), text, report, list2.rows, session.language(),
                                       MakeDate(), IsoTimeNow()));
      if (!SaveListFile(list4, session.store().archive(), ui).ok()) {
        throw session.SaveFailure("the message went, but the archive could not be saved");
      }
    }
  }
  if (!report.AllConfirmed()) {
    throw CliError(report.Summary() + (report.references.empty() && !report.uncertain
                                           ? ""
                                           : "; nothing was resent, and nothing was archived"));
  }
  if (StopRequested()) throw CliError(kStoppedText, kExitInterrupted);
  return kExitOk;
}

}  // namespace missivo::cli
