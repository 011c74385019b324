// Whole-file reads and all-or-nothing writes. A write goes to a temporary file
// in the target's folder, is flushed to the disk and then renamed over the
// target, so a crash or a full disk leaves either the old file or the new one,
// never a mixture. Failures come back as values whose message names the file.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <string_view>

#include "core/status.h"

namespace missivo {

// Files that hold messages, contacts or passwords are readable by the user only.
inline constexpr mode_t kDataFileMode = 0600;

// Streams a new content for `target` into a temporary file beside it. Nothing
// changes at `target` until Commit succeeds; a writer destroyed without a
// successful Commit removes its temporary file. A `target` that is a symbolic
// link is written through to the file it leads to: the temporary file is made
// beside that file and renamed over it, and the link stays.
class AtomicFileWriter {
 public:
  explicit AtomicFileWriter(std::filesystem::path target, mode_t mode = kDataFileMode);
  ~AtomicFileWriter();
  AtomicFileWriter(const AtomicFileWriter&) = delete;
  AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

  // Appends bytes. After the first failure further writes do nothing and
  // Commit reports that failure.
  void Write(std::string_view bytes);

  // Flushes the temporary file, gives it the mode, renames it over the target
  // and flushes the folder. On failure the temporary file is removed and the
  // target is as it was.
  [[nodiscard]] Status Commit();

 private:
  void Fail(std::string_view action, int error_number);
  void Discard();

  std::filesystem::path target_;
  std::filesystem::path temp_;
  mode_t mode_;
  int fd_ = -1;
  off_t written_ = 0;     // bytes written so far
  off_t flush_from_ = 0;  // where the writeback not yet started begins
  Status status_;
};

// The file a write to `path` changes: `path` itself, or the end of its chain of
// symbolic links (relative links taken from the link's own folder). A link
// whose target is missing leads to that target, which the write then creates;
// a loop or a chain of more than 40 links gives `path` itself, which a writer
// refuses.
std::filesystem::path WriteTargetOf(const std::filesystem::path& path);

// Replaces the whole content of `path` with `bytes`, all or nothing.
[[nodiscard]] Status WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes,
                                         mode_t mode = kDataFileMode);

// The whole content of the file at `path`.
[[nodiscard]] Result<std::string> ReadWholeFile(const std::filesystem::path& path);

// Removes the file at `path` (a missing file is no error) and flushes its folder.
// A symbolic link is removed itself, not the file it leads to.
[[nodiscard]] Status RemoveFile(const std::filesystem::path& path);

// Whether a file (or anything else) exists at `path`; false when it cannot be told.
bool FileExists(const std::filesystem::path& path);

// A file's name for messages: its full path as Windows-1251 text in quotes.
std::string QuotedFileName(const std::filesystem::path& path);

}  // namespace missivo
