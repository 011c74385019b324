// Reading the program's own text files (language files, skin descriptors).
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace missivo {

// Files the program writes for the user to read or edit (language files,
// templates, skins) are readable by everyone, unlike data files.
inline constexpr unsigned kTextFileMode = 0644;

// The lines of a text file (any line break; the text ends at its first NUL);
// none when the file cannot be read.
std::vector<std::string> ReadTextLines(const std::filesystem::path& path);

}  // namespace missivo
