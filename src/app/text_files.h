// Writing the program's own text files (language files, templates, bundled
// skins): whole or not at all.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace missivo {

// Writes `bytes` to a temporary file beside `path`, flushes it and renames it
// over `path`. False, with `path` untouched, when any step fails.
[[nodiscard]] bool WriteTextFile(const std::filesystem::path& path, std::string_view bytes);

// The lines of a text file (any line break; the text ends at its first NUL);
// none when the file cannot be read.
std::vector<std::string> ReadTextLines(const std::filesystem::path& path);

}  // namespace missivo
