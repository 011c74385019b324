// Helpers shared by the tests: a temporary folder on the real file system and a
// user interface that records what it was asked to show and answers from a script.
#pragma once

#include <deque>
#include <filesystem>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "core/ui.h"
#include "store/row.h"
#include "store/stored_list.h"

namespace missivo::test {

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(std::string_view name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

// Whole-file helpers; ReadBytes of a missing file gives an empty text.
std::string ReadBytes(const std::filesystem::path& path);
void WriteBytes(const std::filesystem::path& path, std::string_view bytes);

// Windows-1251 text from UTF-8 source text, for readable expectations.
std::string W(std::string_view utf8);

// One data file as a program that holds only it sees it: a folder lock of
// its own, no password, and a damaged file refused (left as it is).
struct StandaloneFile {
  explicit StandaloneFile(const std::filesystem::path& path,
                          DamagePolicy policy = DamagePolicy::kRefuse)
      : folder_lock(path.parent_path()), file(path, folder_lock, lock_state, policy) {}
  LockState lock_state;
  FolderLock folder_lock;
  StoredList file;
};

// Saves `list` as a program that has just loaded the file would: the list
// replaces what the file holds (through StoredList::Save, under the lock).
Status ReplaceListFile(RowList& list, const std::filesystem::path& path, UserInterface& ui);
// The row with only its first five sub-items: a message row without its
// lossless fields, to compare with the five as the description makes them.
Row FiveOf(Row row);

// A user interface for tests: it records every message, question and progress
// step, and answers questions from a queue (Yes when the queue is empty).
class ScriptedUserInterface : public UserInterface {
 public:
  struct Message {
    std::string text;
    MessageKind kind;
    std::string caption;
  };

  void ShowMessage(const std::string& text, MessageKind kind, const std::string& caption) override;
  bool AskYesNo(const std::string& text) override;
  void ProcessPendingEvents() override { ++events_processed; }
  void ShowProgress(int maximum, int position) override;
  void SetProgressPosition(int position) override { progress_position = position; }
  void HideProgress() override { progress_visible = false; }
  void SetProgressText(const std::string& text) override;

  std::deque<bool> answers;
  std::vector<Message> messages;
  std::vector<std::string> questions;
  std::vector<std::string> progress_texts;
  int progress_maximum = 0;
  int progress_position = 0;
  bool progress_visible = false;
  int events_processed = 0;
};

}  // namespace missivo::test

namespace missivo {
// How a failed expectation shows a row: its texts as UTF-8, its image.
void PrintTo(const Row& row, std::ostream* out);
}  // namespace missivo
