// missivo-cli: the read command, listing, export and import without a window,
// for backups from scripts and cron.
#include <cstdio>
#include <exception>
#include <map>
#include <string>
#include <vector>

#include "cli/cli_args.h"
#include "cli/commands.h"
#include "cli/program_session.h"
#include "cli/terminal_ui.h"
#include "core/secrets.h"
#include "core/version.h"

namespace missivo::cli {
namespace {

constexpr char kEveryCommand[] = R"(
Options of every command:
  --folder DIR          the program folder (see missivo-cli --help)
  --password-file FILE  the program password on the first line of FILE (UTF-8)
  --lock-wait S         wait at most S seconds for another Missivo program to
                        finish with the data folder (default 60)
)";

constexpr OptionSpec kReadOptions[] = {
    {"device", true},         {"speed", true},       {"timeout", true},
    {"reply-time", true},     {"kind", true},        {"delete", false},
    {"phonebook", false},     {"no-archive", false}, {"skip-incoming", false},
    {"skip-outgoing", false}, {"skip-drafts", false}};
constexpr OptionSpec kWatchOptions[] = {
    {"device", true},         {"speed", true},        {"timeout", true},
    {"reply-time", true},     {"kind", true},         {"delete", false},
    {"phonebook", false},     {"no-archive", false},  {"skip-incoming", false},
    {"skip-outgoing", false}, {"skip-drafts", false}, {"retry", true}};
constexpr OptionSpec kListOptions[] = {{"json", false}, {"search", true}, {"from", true},
                                       {"since", true}, {"until", true},  {"kind", true}};
constexpr OptionSpec kConversationsOptions[] = {{"json", false}};
constexpr OptionSpec kIdentifyOptions[] = {
    {"device", true}, {"speed", true}, {"timeout", true}, {"kind", true}};
constexpr OptionSpec kSendOptions[] = {
    {"device", true},      {"speed", true},  {"timeout", true}, {"reply-time", true},
    {"kind", true},        {"to", true},     {"text", true},    {"text-file", true},
    {"no-archive", false}, {"report", false}};
constexpr OptionSpec kExportOptions[] = {{"format", true}, {"output", true}};
constexpr OptionSpec kImportOptions[] = {{"partial", false}};

constexpr char kReadHelp[] =
    R"(Usage: missivo-cli [--folder DIR] read --device PATH [--speed N] [--timeout S]
         [--reply-time S] [--kind K] [--delete] [--phonebook] [--no-archive]
         [--skip-incoming] [--skip-outgoing] [--skip-drafts]

Runs the window program's read command: opens the serial device, reads the
messages, appends the new ones to the archive (the window's duplicate test),
reads the phonebook when asked, puts contact names on the senders, saves, and
prints one line such as
  read 12 messages, 3 new in the archive (57 rows), phonebook 40 contacts
The options mirror the read settings of the window, with its defaults.

  --device PATH    the phone's serial device (/dev/ttyACM0, /dev/serial/by-id/...)
  --speed N        line speed in bits per second (default 115200)
  --timeout S      give up when the phone sends nothing for S seconds (default 30)
  --reply-time S   give up when a reply has not ended S seconds after its command,
                   however it trickles (default 600)
  --kind K         the kind of phone: automatic (chosen from what the device
                   says), family (the +MPBR phone family) or standard (phones and
                   modems of the 3GPP standard); default: the window's setting
                   "Phone kind", else automatic
  --delete         delete the messages read on the phone. With the archive on, a
                   message is deleted only once the saved archive holds that
                   very message: the same text, sender, time, kind and place
                   (every part of a long message; one with parts missing stays)
  --phonebook      read the phonebook after the messages
  --no-archive     do not append the messages read to the archive
  --skip-incoming  do not read incoming messages already read (unread ones are
                   always read)
  --skip-outgoing  do not read sent messages
  --skip-drafts    do not read drafts

The line counts only what the saved archive holds ("none saved in the
archive" when the save failed, with exit status 1) and names the messages that
could not be read or decoded, which stay on the phone. A phone that refuses to
list its messages (a busy SIM, ERROR) makes the read fail with exit status 1
and the phone's answer. A copy the phone keeps of a message sent with send
completes the archived message with its place instead of adding it again.

Ctrl-C (SIGINT) or SIGTERM stops the read at once: the messages read so far
are saved in the archive, nothing more is deleted on the phone, exit status 130.
)";

constexpr char kWatchHelp[] =
    R"(Usage: missivo-cli [--folder DIR] watch [--device PATH|auto] [--retry S]
         [read options]

Waits for the phone and runs the read command (see missivo-cli read --help)
each time it is plugged in, then waits for the next time; a phone already
there is read at once. Each read prints one line with the time and the device:
  2024-05-01 12:00:00 /dev/ttyACM0: read 12 messages, 3 new in the archive (57 rows)
What goes wrong is written to standard error with the time, and the watch goes
on: a failed read is tried again when the phone is next plugged in; a device
that another program holds, or a phone whose SIM is busy, is tried again every
S seconds while it is there.

  --device PATH  the phone's device (a /dev/serial/by-id link, /dev/ttyACM0);
                 its folder is watched, so a link that comes and goes is seen
                 without udev
  --device auto  (the default) the first device under /dev/serial/by-id, else
                 the port chosen in the window program's settings
  --retry S      how often a refused device, a busy SIM, a locked archive or a
                 busy data folder is tried again (default 10)
  The read options --speed, --timeout, --reply-time, --kind, --delete,
  --phonebook, --no-archive and --skip-* are those of the read command.

Nothing is asked on a terminal. When the data files are locked with the program
password, it is taken from --password-file, else from the file named by the
setting WatchPasswordFile in $XDG_CONFIG_HOME/Missivo/Missivo.conf; without
one the watch says that the archive is locked and waits (the phone keeps its
messages). SIGTERM or SIGINT during a read saves what was read (nothing more
is deleted on the phone) and ends the watch with status 0, as it does between
reads.
)";

constexpr char kSendHelp[] =
    R"help(Usage: missivo-cli [--folder DIR] send --device PATH --to NUMBER-OR-CONTACT
         (--text TEXT | --text-file FILE | < FILE) [--speed N] [--timeout S]
         [--reply-time S] [--kind K] [--no-archive] [--report]

Sends one message (UTF-8) and prints the message references the phone gave,
  sent in 3 parts, references 7, 8, 9
A text that does not fit one message goes in parts: on standard devices one
long message of numbered parts (7-bit when every character is in the SMS
alphabet, else UCS2); on the +MPBR phone family separate messages of at most
67 characters, in order. The message is added to the archive as sent, with
the time it went.

  --to WHO         a number (+79161234567; blanks, dashes and brackets are
                   left out) or the name of a contact in the phonebook copy
  --text TEXT      the text; without --text and --text-file it is read from
                   standard input (one line end at its end is not sent)
  --text-file FILE the text from FILE
  --no-archive     do not add the message to the archive
  --report         ask for a delivery report of each part (standard devices); a
                   later read that brings them marks the archived message
                   delivered, with the time
  --device, --speed, --timeout, --reply-time, --kind: as for read

Exit status 0 when the phone confirmed every part. Otherwise 1 with the
reason: the phone's error in words ("+CMS ERROR: 38 (network out of order)"),
or which parts were confirmed, which one was handed over without a
confirmation (the line hung up or fell silent after it, or the phone gave a
reference and then an error) and may or may not have gone, and which were not
sent. Nothing is ever sent twice on its own, and a message not wholly
confirmed is not archived.
)help";

constexpr char kListHelp[] = R"(Usage: missivo-cli [--folder DIR] list archive|phonebook [--json]
         [--search TEXT] [--from NUMBER-OR-NAME] [--since DATE] [--until DATE]
         [--kind incoming|outgoing|draft|imported]

Prints the rows of the archive or of the phonebook copy in UTF-8, one row a
line, the fields separated by TAB: text, from, date/time, size, index and type
of a message; name and number of a contact. Backslash, TAB, CR and LF inside a
field are written \\, \t, \r and \n.

  --json    a JSON array instead: one object per row with "caption", "sub_items"
            (an array of texts) and "image" (the row's picture number)

The archive's rows can be chosen as in the window's search bar:
  --search TEXT  words that must all occur in the text, the sender's name or
                 number, in any case (ё matches е); "a phrase" in quotes
                 must occur as written; a number matches with or without
                 +7 or 8 in front
  --from WHO     one correspondent: a number in any form, or a contact name
  --since DATE   messages of DATE or later (2006-01-31, 31.01.2006 or 31/01/2006)
  --until DATE   messages of DATE or earlier
  --kind KIND    incoming, outgoing, draft or imported messages only
)";

constexpr char kConversationsHelp[] =
    R"help(Usage: missivo-cli [--folder DIR] conversations [--json]

Prints the archive's correspondents, the most recent conversation first, one a
line: name (or number), number, message count and the date of the last message,
separated by TAB. Messages from one number are one conversation however the
number is written ("Мама (+79035550101)", "+79035550101", "89035550101").

  --json  a JSON array instead: one object per correspondent with "name",
          "number", "messages" and "last"
)help";

constexpr char kExportHelp[] =
    R"(Usage: missivo-cli [--folder DIR] export archive --format FORMAT [--output FILE]
       missivo-cli [--folder DIR] export phonebook --format vcf|csv [--output FILE]

Writes every archive row, or every contact of the phonebook copy.

Archive formats:
  xml        the XML backup of Android SMS backup apps (<smses><sms .../>),
             UTF-8, which phones restore; incoming, outgoing and draft become
             types 1, 2 and 3, the date is the message's time in milliseconds
             (UTC). Rows whose time has no zone (older rows, outgoing rows
             stamped at the read) are taken as stamped in this computer's zone
  csv        RFC 4180 CSV in UTF-8: kind,time,number,contact,text,index
  json       a JSON array of the named fields of `list archive --json`
  html-utf8  a complete UTF-8 web page, the messages as conversations
  html, txt  through the folder's template, Data/HtmlTemplate.tml or
             Data/TextTemplate.tml (the default one when the file is missing),
             as the window's export does: Windows-1251 text with CR LF line
             ends; in HTML the message fields are escaped. The HTML is a
             fragment without a charset: open it in a browser with the
             Windows-1251 (Cyrillic) encoding
Phonebook formats:
  vcf        vCard 3.0 (UTF-8), one card per contact
  csv        RFC 4180 CSV in UTF-8: name,number

  --format FORMAT  the format
  --output FILE    the file to write (replaced whole); standard output without it
)";

constexpr char kImportHelp[] =
    R"(Usage: missivo-cli [--folder DIR] import p2ktools|v1|android-xml|vcard FILE [--partial]

Brings the messages or contacts of FILE in and saves, as the window's
"Конвертировать" items do:
  p2ktools     a message text file saved by the P2kTools phone utility
  v1           an inbox file (.msg) saved by Missivo 1.x
  android-xml  the XML backup of Android SMS backup apps: sms elements, and
               the texts of mms elements (their pictures and other media are
               counted and left out). A message already in the archive (same
               text, sender and time to the second) is not added again, so
               importing a file twice, or a file exported from this archive,
               adds nothing
  vcard        contacts of a vCard file (2.1, 3.0, 4.0) into the phonebook
               copy, one contact per number; contacts already there are not
               added again; then contact names are put on the archive's
               senders, as after a phonebook read
The archive's senders get contact names after p2ktools, v1 and android-xml.
A p2ktools or v1 message the archive holds already (the window's duplicate
test: the same text, index and sender) is not added again; the summary line
tells how many were already there.

A file that is damaged or cut short is named with the place where it broke,
and nothing is added, unless

  --partial  adds what was read before the fault (android-xml, vcard)
)";

constexpr char kIdentifyHelp[] =
    R"(Usage: missivo-cli identify --device PATH [--speed N] [--timeout S] [--kind K]

Asks the device who it is and what it holds, and prints the lines to paste into
a bug report: maker, model, revision, the profile the read would use, the
message modes (PDU, text), the message storages with their counts, the
phonebook storages and the range of each contact storage. Nothing is read or
changed on the phone or in the program folder. Options as for read.
)";

constexpr Command kCommands[] = {
    {"read", kReadOptions, kReadHelp, RunRead},
    {"watch", kWatchOptions, kWatchHelp, RunWatch},
    {"identify", kIdentifyOptions, kIdentifyHelp, RunIdentify},
    {"send", kSendOptions, kSendHelp, RunSend},
    {"list", kListOptions, kListHelp, RunList},
    {"conversations", kConversationsOptions, kConversationsHelp, RunConversations},
    {"export", kExportOptions, kExportHelp, RunExport},
    {"import", kImportOptions, kImportHelp, RunImport},
};

int Main(const std::vector<std::string>& args, TerminalUserInterface& ui) {
  std::map<std::string, std::span<const OptionSpec>, std::less<>> options;
  for (const Command& command : Commands())
    options[std::string(command.name)] = command.options;
  const CommandLine line = ParseCommandLine(args, options);
  if (line.Has("version")) {
    WriteOut("missivo-cli " MISSIVO_VERSION "\n");
    return kExitOk;
  }
  if (line.command.empty()) {
    if (!line.Has("help")) throw CliError("no command given (see missivo-cli --help)", kExitUsage);
    WriteOut(ProgramHelp());
    return kExitOk;
  }
  for (const Command& command : Commands()) {
    if (command.name != line.command) continue;
    if (line.Has("help")) {
      WriteOut(std::string(command.help) + kEveryCommand);
      return kExitOk;
    }
    return command.run(line, ui);
  }
  return kExitUsage;
}

}  // namespace

void WriteErr(const std::string& text) {
  std::fputs(text.c_str(), stderr);
}

std::span<const Command> Commands() {
  return kCommands;
}

std::string ProgramHelp() {
  return R"(Usage: missivo-cli [--folder DIR] [--password-file FILE] COMMAND [OPTIONS]

Missivo without its window, for backups from scripts and cron: the same program
folder, data files, language and settings as the window program.

Commands (missivo-cli COMMAND --help for each):
  read           read the messages (and the phonebook) from the phone into the archive
  watch          read the phone each time it is plugged in (for a user service)
  identify       print who the phone is and what it holds, for a bug report
  send           send a message to a number or a contact, and archive it
  list           print the archive or the phonebook copy, or the messages found
  conversations  the archive's correspondents with their message counts
  export         write the archive (SMS backup XML, CSV, JSON, a UTF-8 page, or
                 through a template) or the phonebook (vCard, CSV)
  import         bring in an SMS backup, a vCard file, or a P2kTools or Missivo 1.x file

Options of every command:
  --folder DIR          the program folder, holding Data and Language. Without it,
                        the window program's own: missivo-cli is built and
                        installed beside it, so this is the folder of the
                        executable when it is writable (the build tree, a portable
                        copy) and otherwise $XDG_DATA_HOME/Missivo (by default
                        ~/.local/share/Missivo), as for an installed copy.
  --password-file FILE  the program password, on the first line of FILE (UTF-8),
                        when the data files are locked with it; without it the
                        password is asked on the terminal
  --lock-wait S         the window program and other missivo-cli commands may
                        work on the same folder: every change of a data file
                        waits for the folder's lock, and each program takes in
                        what the others saved. Wait at most S seconds for it
                        (default 60), showing a line while waiting
  -h, --help            this text
  --version             the version of missivo-cli

The messages are in the language the window uses in that folder (the setting
"LngName" in $XDG_CONFIG_HOME/Missivo/Missivo.conf, else Language/Russian.lng,
which is written when missing). Locked data files stay locked on disk: the
password opens them in memory, and every save writes them locked.

Exit status: 0 done; 1 failed (device, phone, damaged or unwritable data file);
2 wrong or missing program password, a --password-file that cannot be read
included (the data files are unchanged); 64 wrong command line; 75 another
Missivo program kept the data folder locked longer than --lock-wait (nothing
was changed; try again); 130 stopped by a signal. A password file that others
may read is used, with a warning.
)";
}

}  // namespace missivo::cli

int main(int argc, char** argv) {
  using namespace missivo::cli;
  // The program holds plain messages and the program password.
  missivo::KeepOutOfCrashFiles();
  InstallStopSignals();
  TerminalUserInterface ui;
  try {
    return Main(std::vector<std::string>(argv + 1, argv + argc), ui);
  } catch (const CliError& error) {
    WriteErr("missivo-cli: " + error.message() + "\n");
    return error.status();
  } catch (const std::exception& error) {
    WriteErr(std::string("missivo-cli: ") + error.what() + "\n");
    return kExitFailure;
  }
}
