#include "phone/read_command.h"

#include <exception>
#include <string>
#include <thread>
#include <unordered_set>
#include <utility>
#include <vector>

#include "phone/name_resolution.h"
#include "phone/phone_delete.h"
#include "phone/phonebook_read.h"
#include "store/archive.h"
#include "store/list_file.h"

namespace missivo {
namespace {

// Keeps the first failure.
void NoteFailure(Status& first, Status status) {
  if (first.ok() && !status.ok()) first = std::move(status);
}

// The indexes of `indexes` all of whose rows in `list1` the archive holds.
std::vector<std::string> IndexesKeptIn(const std::vector<Row>& archive,
                                       const std::vector<Row>& list1,
                                       const std::vector<std::string>& indexes) {
  const ArchiveIndex archived(archive);
  std::unordered_set<std::string> missing;
  for (const Row& row : list1) {
    if (!archived.IsArchived(row.caption, SubItem(row, kFrom), SubItem(row, kIndex))) {
      missing.insert(SubItem(row, kIndex));
    }
  }
  std::vector<std::string> kept;
  for (const std::string& index : indexes) {
    if (!missing.contains(index)) kept.push_back(index);
  }
  return kept;
}

// One run of the command: the lists, the files and what has been done so far.
class ReadCommandRun {
 public:
  ReadCommandRun(AtChannel& channel, ReadCommandLists lists, const ReadCommandOptions& options,
                 const DataFiles& files, const LanguageLines& language, UserInterface& ui,
                 const ReadCommandHooks& hooks)
      : channel_(channel),
        lists_(lists),
        options_(options),
        files_(files),
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
    MessageReadResult read = ReadMessages(channel_, options_.read, language_, ui_);
    lists_.list1.rows = std::move(read.rows);
    result_.messages_read = lists_.list1.rows.size();
    Changed();

    if (options_.check13) {
      result_.archived = AppendToArchive(lists_.list4, lists_.list1.rows, ui_);
      archive_unsaved_ = result_.archived > 0;
      Changed();
    }
    if (read.port_error) std::rethrow_exception(read.port_error);

    if (options_.check6 && !read.read_indexes.empty()) DeleteReadMessages(read.read_indexes);

    if (options_.check7) {
      PhonebookReadResult phonebook =
          ReadPhonebookIntoList(channel_, lists_.list2, files_.phonebook, language_, ui_);
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
  void DeleteReadMessages(const std::vector<std::string>& indexes) {
    std::vector<std::string> deletable = indexes;
    if (options_.check13) {
      if (!SaveArchive()) return;
      deletable = IndexesKeptIn(lists_.list4.rows, lists_.list1.rows, indexes);
    }
    DeleteMessagesOnPhone(channel_, deletable, ui_);
    result_.deleted = deletable.size();
  }

  // Saves the archive; a failure (already shown) is kept in the result. True
  // when the archive on disk now holds the list.
  bool SaveArchive() {
    Status status = SaveListFile(lists_.list4, files_.archive, ui_);
    const bool saved = status.ok();
    if (saved) archive_unsaved_ = false;
    NoteFailure(result_.save, std::move(status));
    return saved;
  }

  void Changed() {
    if (hooks_.lists_changed) hooks_.lists_changed();
  }

  AtChannel& channel_;
  ReadCommandLists lists_;
  const ReadCommandOptions& options_;
  const DataFiles& files_;
  const LanguageLines& language_;
  UserInterface& ui_;
  const ReadCommandHooks& hooks_;
  ReadCommandResult result_;
  bool archive_unsaved_ = false;  // rows were appended that the file does not hold yet
};

}  // namespace

PhonebookReadResult ReadPhonebookIntoList(AtChannel& channel, RowList& list2,
                                          const std::filesystem::path& phonebook_path,
                                          const LanguageLines& language, UserInterface& ui) {
  PhonebookReadResult result;
  std::optional<std::vector<Row>> contacts = ReadPhonebook(channel, language, ui);
  if (!contacts) return result;
  result.usable = true;
  result.contacts = contacts->size();
  if (!contacts->empty()) list2.rows = std::move(*contacts);
  result.save = SaveListFile(list2, phonebook_path, ui);
  return result;
}

ReadCommandResult RunReadCommand(AtChannel& channel, PhoneCommandGuard& guard,
                                 ReadCommandLists lists, const ReadCommandOptions& options,
                                 const DataFiles& files, const LanguageLines& language,
                                 UserInterface& ui, const ReadCommandHooks& hooks) {
  const PhoneCommandGuard::Hold hold = guard.TryStart();
  if (!hold) {
    ReadCommandResult refused;
    refused.outcome = ReadCommandOutcome::kBusy;
    return refused;
  }
  return ReadCommandRun(channel, lists, options, files, language, ui, hooks).Run();
}

}  // namespace missivo
