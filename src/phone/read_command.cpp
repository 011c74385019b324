#include "phone/read_command.h"

#include <exception>
#include <string>
#include <thread>
#include <unordered_set>
#include <utility>
#include <vector>

#include "phone/delivery_reports.h"
#include "phone/name_resolution.h"
#include "phone/phonebook_read.h"
#include "phone/sent_copies.h"
#include "phone/standard/message_parts.h"
#include "store/archive.h"

namespace missivo {
namespace {

// Keeps the first failure.
void NoteFailure(Status& first, Status status) {
  if (first.ok() && !status.ok()) first = std::move(status);
}

std::string SlotKey(const PhoneSlot& slot) {
  return slot.storage + '\n' + slot.index;
}

// The slots of the rows, each once, in the order they first come; with
// `archive`, only slots all of whose rows the archive holds: as themselves,
// or as the messages sent that they are copies of (`sent_copies`).
std::vector<PhoneSlot> SlotsToDelete(const std::vector<Row>& list1,
                                     const std::vector<std::vector<PhoneSlot>>& row_slots,
                                     const std::vector<Row>* archive,
                                     const std::vector<bool>& sent_copies) {
  std::unordered_set<std::string> missing;
  if (archive != nullptr) {
    const ArchiveIndex archived(*archive);
    for (std::size_t i = 0; i < list1.size() && i < row_slots.size(); ++i) {
      const Row& row = list1[i];
      if ((i < sent_copies.size() && sent_copies[i]) || archived.IsArchived(row)) continue;
      for (const PhoneSlot& slot : row_slots[i])
        missing.insert(SlotKey(slot));
    }
  }
  std::vector<PhoneSlot> slots;
  std::unordered_set<std::string> taken;
  for (const std::vector<PhoneSlot>& row : row_slots) {
    for (const PhoneSlot& slot : row) {
      const std::string key = SlotKey(slot);
      if (!missing.contains(key) && taken.insert(key).second) slots.push_back(slot);
    }
  }
  return slots;
}

// The command refused: another phone command runs.
ReadCommandResult Refused() {
  ReadCommandResult refused;
  refused.outcome = ReadCommandOutcome::kBusy;
  return refused;
}

// One run of the command: the lists, the files and what has been done so far.
class ReadCommandRun {
 public:
  ReadCommandRun(AtChannel& channel, const DeviceProfile& profile, ReadCommandLists lists,
                 const ReadCommandOptions& options, DataStore& store, const LanguageLines& language,
                 UserInterface& ui, const ReadCommandHooks& hooks)
      : channel_(channel),
        profile_(profile),
        lists_(lists),
        options_(options),
        store_(store),
        language_(language),
        ui_(ui),
        hooks_(hooks) {}

  ReadCommandResult Run() {
    if (channel_.IsOpen()) {
      result_.port_open = true;
      try {
        if (!ReadFromPhone()) return result_;
      } catch (...) {
        // What was read and appended is kept before the failure goes on.
        if (archive_unsaved_) SaveArchive();
        throw;
      }
    }
    ResolveArchiveNames(lists_.list4.rows, lists_.list2.rows, [this] { SaveArchive(); });
    ResolveMessageNames(lists_.list1.rows, lists_.list2.rows);
    Changed();
    if (hooks_.wait) {
      hooks_.wait(kReadCommandWait);
    } else {
      std::this_thread::sleep_for(kReadCommandWait);
    }
    if (!lists_.list4.rows.empty()) SaveArchive();
    return result_;
  }

 private:
  // Steps 1 to 4; false when the command ends there.
  bool ReadFromPhone() {
    MessageReadResult read = profile_.ReadMessages(channel_, options_.read, language_, ui_);
    lists_.list1.rows = std::move(read.rows);
    result_.messages_read = lists_.list1.rows.size();
    result_.refusal = std::move(read.refusal);
    result_.refused_storage = std::move(read.refused_storage);
    result_.busy = read.busy;
    result_.unreadable = read.unreadable;
    Changed();

    if (options_.check13) {
      // A long message archived with gaps is completed in its own row.
      if (profile_.Kind() == PhoneKind::kStandard &&
          CompleteGapRows(lists_.list4.rows, lists_.list1.rows) > 0) {
        archive_unsaved_ = true;
      }
      // The phone's copies of messages the program sent complete their rows.
      SentCopies copies = PlaceSentCopies(lists_.list4.rows, lists_.list1.rows);
      if (copies.completed > 0) archive_unsaved_ = true;
      sent_copies_ = std::move(copies.held);
      std::vector<Row> fresh;
      for (std::size_t i = 0; i < lists_.list1.rows.size(); ++i) {
        if (!sent_copies_[i]) fresh.push_back(lists_.list1.rows[i]);
      }
      result_.archived = AppendToArchive(lists_.list4, fresh, ui_);
      archive_unsaved_ = archive_unsaved_ || result_.archived > 0;
      Changed();
    }
    // Status reports mark the messages sent that they confirm.
    if (MarkDelivered(lists_.list4.rows, read.deliveries) > 0) {
      archive_unsaved_ = true;
      Changed();
    }
    if (read.port_error) std::rethrow_exception(read.port_error);

    if (options_.check6 && !read.row_slots.empty()) DeleteReadMessages(read.row_slots);

    if (options_.check7) {
      PhonebookReadResult phonebook = ReadPhonebookIntoList(channel_, profile_, lists_.list2,
                                                            store_.phonebook(), language_, ui_);
      NoteFailure(result_.save, std::move(phonebook.save));
      if (!phonebook.usable) {
        result_.outcome = ReadCommandOutcome::kPhonebookUnusable;
        if (archive_unsaved_) SaveArchive();
        return false;
      }
      result_.contacts = phonebook.contacts;
      Changed();
    }
    return true;
  }

  // With Check13 the messages are deleted only once the saved archive holds
  // them; without it the user has chosen not to keep them.
  void DeleteReadMessages(const std::vector<std::vector<PhoneSlot>>& row_slots) {
    if (options_.check13 && !SaveArchive()) return;
    const std::vector<PhoneSlot> deletable =
        SlotsToDelete(lists_.list1.rows, row_slots, options_.check13 ? &lists_.list4.rows : nullptr,
                      sent_copies_);
    profile_.DeleteMessages(channel_, deletable, ui_);
    result_.deleted = deletable.size();
  }

  // Saves the archive; a failure (already shown) is kept in the result. True
  // when the archive on disk now holds the list.
  bool SaveArchive() {
    Status status = SaveListFile(lists_.list4, store_.archive(), ui_);
    const bool saved = status.ok();
    if (saved) {
      archive_unsaved_ = false;
      result_.archived_saved = result_.archived;
      result_.archive_rows = lists_.list4.rows.size();
    }
    NoteFailure(result_.save, std::move(status));
    return saved;
  }

  void Changed() {
    if (hooks_.lists_changed) hooks_.lists_changed();
  }

  AtChannel& channel_;
  const DeviceProfile& profile_;
  ReadCommandLists lists_;
  const ReadCommandOptions& options_;
  DataStore& store_;
  const LanguageLines& language_;
  UserInterface& ui_;
  const ReadCommandHooks& hooks_;
  ReadCommandResult result_;
  bool archive_unsaved_ = false;   // rows were appended that the file does not hold yet
  std::vector<bool> sent_copies_;  // per row of List1: the copy of a message sent (archived)
};

}  // namespace

PhonebookReadResult ReadPhonebookIntoList(AtChannel& channel, RowList& list2,
                                          StoredList& phonebook_file, const LanguageLines& language,
                                          UserInterface& ui) {
  return ReadPhonebookIntoList(channel, FamilyProfile(), list2, phonebook_file, language, ui);
}

PhonebookReadResult ReadPhonebookIntoList(AtChannel& channel, const DeviceProfile& profile,
                                          RowList& list2, StoredList& phonebook_file,
                                          const LanguageLines& language, UserInterface& ui) {
  PhonebookReadResult result;
  std::optional<std::vector<Row>> contacts = profile.ReadPhonebook(channel, language, ui);
  if (!contacts) return result;
  result.usable = true;
  result.contacts = contacts->size();
  if (!contacts->empty()) list2.rows = std::move(*contacts);
  result.save = SaveListFile(list2, phonebook_file, ui);
  return result;
}

ReadCommandResult RunReadCommand(AtChannel& channel, PhoneCommandGuard& guard,
                                 ReadCommandLists lists, const ReadCommandOptions& options,
                                 DataStore& store, const LanguageLines& language, UserInterface& ui,
                                 const ReadCommandHooks& hooks) {
  return RunReadCommand(channel, FamilyProfile(), guard, lists, options, store, language, ui,
                        hooks);
}

ReadCommandResult RunReadCommand(AtChannel& channel, ConnectionProfile& profile,
                                 PhoneCommandGuard& guard, ReadCommandLists lists,
                                 const ReadCommandOptions& options, DataStore& store,
                                 const LanguageLines& language, UserInterface& ui,
                                 const ReadCommandHooks& hooks) {
  const PhoneCommandGuard::Hold hold = guard.TryStart();
  if (!hold) return Refused();
  const DeviceProfile& chosen = channel.IsOpen() ? profile.Get(channel) : FamilyProfile();
  return ReadCommandRun(channel, chosen, lists, options, store, language, ui, hooks).Run();
}

ReadCommandResult RunReadCommand(AtChannel& channel, const DeviceProfile& profile,
                                 PhoneCommandGuard& guard, ReadCommandLists lists,
                                 const ReadCommandOptions& options, DataStore& store,
                                 const LanguageLines& language, UserInterface& ui,
                                 const ReadCommandHooks& hooks) {
  const PhoneCommandGuard::Hold hold = guard.TryStart();
  if (!hold) return Refused();
  return ReadCommandRun(channel, profile, lists, options, store, language, ui, hooks).Run();
}

}  // namespace missivo
