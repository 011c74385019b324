// The default export templates "Data/TextTemplate.tml" and "Data/HtmlTemplate.tml",
// with their labels in the language in use.
#pragma once

#include <filesystem>

#include "core/status.h"

namespace missivo {

class LanguageLines;

// Writes each template into `data_folder` when its file does not exist. The
// first template that cannot be written is the failure (each is tried again at
// the next start; an export meanwhile uses the default template).
[[nodiscard]] Status WriteDefaultTemplates(const std::filesystem::path& data_folder,
                                           const LanguageLines& lang);

}  // namespace missivo
