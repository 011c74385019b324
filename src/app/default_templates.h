// The default export templates "Data/TextTemplate.tml" and "Data/HtmlTemplate.tml",
// with their labels in the language in use.
#pragma once

#include <filesystem>
#include <string>

namespace missivo {

class LanguageLines;

// The bytes of the text template: seven lines, Windows-1251, each ended by CR LF.
std::string DefaultTextTemplate(const LanguageLines& lang);
// The bytes of the HTML template: thirteen lines, Windows-1251, each ended by CR LF.
std::string DefaultHtmlTemplate(const LanguageLines& lang);

// Writes each template into `data_folder` when its file does not exist.
void WriteDefaultTemplates(const std::filesystem::path& data_folder, const LanguageLines& lang);

}  // namespace missivo
