// Which language file a start applies: the one the "Язык" menu would select.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace missivo {

// The caption under which a language file is offered and remembered as
// "LngName": its first line without the first five characters ("Str0="), or the
// file's name without its extension when that line is not longer than five
// characters.
std::string LanguageCaption(const std::string& path, const std::vector<std::string>& lines);

// The position in `files` (with their `captions`) that a start selects: the last
// one whose caption is `stored` (the "LngName" setting) when there is one;
// otherwise `russian` (the default language file); otherwise the first file.
// Nothing when there are no files.
std::optional<std::size_t> StartLanguage(const std::vector<std::string>& files,
                                         const std::vector<std::string>& captions,
                                         const std::optional<std::string>& stored,
                                         const std::string& russian);

}  // namespace missivo
