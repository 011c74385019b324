// The language a start applies to a program folder, the same for the window
// program and missivo-cli.
#pragma once

#include <filesystem>

#include "text/language.h"

namespace missivo {

// The language the window would start with in `folder`: the language file
// whose caption the "LngName" setting names, else "Russian.lng", which is
// written first when the "Language" folder does not hold it.
LanguageLines LoadProgramLanguage(const std::filesystem::path& folder);

}  // namespace missivo
