// The read command ("Считать", F3): the messages from the phone into the
// messages list, the new ones into the archive, the phonebook when asked for,
// names on the senders, and the archive saved. One function for the window and
// for missivo-cli.
#pragma once

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>

#include "core/status.h"
#include "core/ui.h"
#include "phone/at_channel.h"
#include "phone/device_identity.h"
#include "phone/device_profile.h"
#include "phone/message_read.h"
#include "phone/phone_command_guard.h"
#include "store/row_list.h"
#include "store/stored_list.h"
#include "text/language.h"

namespace missivo {

// The options of the settings tab the command reads; defaults are the window's.
struct ReadCommandOptions {
  ReadOptions read;     // Check8, Check9, Check10: which messages are read
  bool check6 = false;  // delete the messages read on the phone
  bool check7 = false;  // read the phonebook after the messages
  bool check13 = true;  // append the messages read to the archive
};

// The main window's three lists.
struct ReadCommandLists {
  RowList& list1;  // messages read from the phone
  RowList& list4;  // the archive
  RowList& list2;  // the phonebook copy
};

// What the command needs from the program around it besides the user interface.
struct ReadCommandHooks {
  // The pause before the last save; the window lets events run meanwhile.
  // Empty: the calling thread sleeps.
  std::function<void(std::chrono::milliseconds)> wait;
  // A list was changed (rows replaced, appended or renamed); the window
  // refreshes its views. Runs before pending events are let through again.
  std::function<void()> lists_changed;
};

enum class ReadCommandOutcome {
  kDone,
  kBusy,               // another phone command runs: nothing was done
  kPhonebookUnusable,  // the phonebook's range reply was unusable: the command ended there
};

struct ReadCommandResult {
  ReadCommandOutcome outcome = ReadCommandOutcome::kDone;
  bool port_open = false;         // the phone was read (the port was open)
  std::size_t messages_read = 0;  // rows of List1 made by this read
  std::size_t archived = 0;       // rows appended to the archive
  // Of those, the rows the archive file holds: all of them unless the saves
  // that would have written them failed.
  std::size_t archived_saved = 0;
  // The rows of the archive file after the command's last successful save of
  // it; none when the command saved it never.
  std::optional<std::size_t> archive_rows;
  std::size_t deleted = 0;              // messages the phone was told to delete
  std::optional<std::size_t> contacts;  // contacts read, when the phonebook was read
  Status save;  // the first failed save of a data file (already shown), or success
  // The phone's answer when it refused to list messages (MessageReadResult):
  // not every message was read. Empty when it listed all.
  std::string refusal;
  std::string refused_storage;
  bool busy = false;           // the refusal says the SIM or the phone is busy for a moment
  std::size_t unreadable = 0;  // messages listed that could not be read or decoded
};

// The pause of the command before its last save.
inline constexpr std::chrono::milliseconds kReadCommandWait{100};

struct PhonebookReadResult {
  bool usable = false;       // false: the range reply was unusable and nothing changed
  std::size_t contacts = 0;  // contacts the phone gave
  Status save;               // the save of the phonebook file (a failure is shown)
};

// Reads the phonebook into List2 (the F4 read and the read command's): when the
// phone gives contacts they replace List2's rows, and List2 is saved to
// `phonebook_file` either way. When the range reply is unusable List2 and its
// file stay as they were. A port failure leaves by its exception.
[[nodiscard]] PhonebookReadResult ReadPhonebookIntoList(AtChannel& channel, RowList& list2,
                                                        StoredList& phonebook_file,
                                                        const LanguageLines& language,
                                                        UserInterface& ui);
// The same through `profile`.
[[nodiscard]] PhonebookReadResult ReadPhonebookIntoList(AtChannel& channel,
                                                        const DeviceProfile& profile,
                                                        RowList& list2, StoredList& phonebook_file,
                                                        const LanguageLines& language,
                                                        UserInterface& ui);

// The read command, refused (kBusy) while `guard` is taken; it holds the guard
// while it runs. With the port open:
//   1. ReadMessages; List1 takes the rows read.
//   2. With Check13, AppendToArchive of List1's rows; the phone's copies of
//      messages the program sent complete their archive rows instead
//      (PlaceSentCopies).
//   3. With Check6, the messages read are deleted on the phone (every part of
//      a long one, each in its own storage): with Check13 only after the
//      archive holding them has been saved (under the folder lock, with other
//      processes' rows merged in), and only those that the saved archive holds
//      (appended now or archived before); without Check13 as soon as the list
//      is complete. Nothing is deleted before. A long message whose parts have
//      not all come stays on the phone.
//   4. With Check7, ReadPhonebookIntoList; an unusable range ends the command
//      (after saving the archive when rows were appended to it).
// Then, open or not: ResolveArchiveNames (saving the archive when both lists
// have rows), ResolveMessageNames, the wait of 100 ms, and the archive saved
// when it has rows.
// A port failure during the read still leaves List1 with the rows read and,
// with Check13, appends them and saves the archive; nothing more is deleted on
// the phone, and the failure then leaves by its exception (as does one of the
// phonebook read or the deletes, after the archive was saved).
// The phone is read through `profile`; without one, as the family.
[[nodiscard]] ReadCommandResult RunReadCommand(AtChannel& channel, PhoneCommandGuard& guard,
                                               ReadCommandLists lists,
                                               const ReadCommandOptions& options, DataStore& store,
                                               const LanguageLines& language, UserInterface& ui,
                                               const ReadCommandHooks& hooks = {});
// With the profile of the connection: chosen (the device identified) once the
// command holds the guard and the port is open.
[[nodiscard]] ReadCommandResult RunReadCommand(AtChannel& channel, ConnectionProfile& profile,
                                               PhoneCommandGuard& guard, ReadCommandLists lists,
                                               const ReadCommandOptions& options, DataStore& store,
                                               const LanguageLines& language, UserInterface& ui,
                                               const ReadCommandHooks& hooks = {});
[[nodiscard]] ReadCommandResult RunReadCommand(AtChannel& channel, const DeviceProfile& profile,
                                               PhoneCommandGuard& guard, ReadCommandLists lists,
                                               const ReadCommandOptions& options, DataStore& store,
                                               const LanguageLines& language, UserInterface& ui,
                                               const ReadCommandHooks& hooks = {});

}  // namespace missivo
