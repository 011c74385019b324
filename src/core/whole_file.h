// Reading a whole file, and writing one so that it is either replaced completely
// or left as it was.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

namespace missivo {

// Reads every byte of the regular file at `path` into `bytes`. A folder, a
// missing file or a read error gives the error and leaves `bytes` empty.
[[nodiscard]] std::error_code ReadWholeFile(const std::filesystem::path& path, std::string& bytes);

// Writes `bytes` to a temporary file in the folder of `path`, flushes it to disk
// and renames it over `path`. A new file gets `new_file_mode`; a regular file
// that is replaced keeps its permission bits. On failure the temporary file is
// removed, `path` keeps its old content and the error is returned.
[[nodiscard]] std::error_code WriteFileAtomically(const std::filesystem::path& path,
                                                  std::string_view bytes,
                                                  unsigned new_file_mode = 0600);

}  // namespace missivo
