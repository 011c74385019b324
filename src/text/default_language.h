// The built-in Russian language: the lines of "Russian.lng".
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace missivo {

// The lines "Str0=…" to "Str123=…" in Windows-1251.
const std::vector<std::string>& DefaultRussianLines();

// The bytes of "Russian.lng": every line followed by CR LF, Windows-1251, no BOM.
std::string DefaultRussianFileBytes();

class LanguageLines;

// The text of `key` in `language`, or the built-in Russian text when the file
// has no line for it (a language file written before the line existed).
std::string LangTextOrDefault(const LanguageLines& language, std::string_view key);

}  // namespace missivo
