// The default export templates "Data/TextTemplate.tml" and "Data/HtmlTemplate.tml",
// with their labels in the language in use.
#pragma once

#include <filesystem>

namespace missivo {

class LanguageLines;

// Writes each template into `data_folder` when its file does not exist.
void WriteDefaultTemplates(const std::filesystem::path& data_folder, const LanguageLines& lang);

}  // namespace missivo
