// The language files under the program folder's "Language": the default
// Russian file and the other languages shipped with the program.
#pragma once

#include <filesystem>

#include "core/status.h"
#include "text/language.h"

namespace missivo {

// Makes sure "Language" holds the default "Russian.lng": creates the folder
// when it is missing and writes the file when it is not there, in the same
// start, so that a first start already has its texts. A file that cannot be
// written is a failure naming it (tried again at the next start).
[[nodiscard]] Status WriteDefaultLanguage(const std::filesystem::path& program_folder);

// Writes each language file shipped with the program (English.lng,
// Ukrainian.lng) into "Language" when no file of that name is there.
void InstallBundledLanguages(const std::filesystem::path& program_folder);

// Replaces `lines` with those of the language file at `path`. A file of a
// language shipped with the program that has fewer lines than the shipped copy
// (written by an older version) takes the missing lines from that copy, in
// memory only. Returns false, leaving `lines` as they were, when the file
// cannot be read.
[[nodiscard]] bool LoadLanguageFile(const std::filesystem::path& path, LanguageLines& lines);

}  // namespace missivo
