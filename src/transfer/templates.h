// The export templates: their files, their default contents and the template
// buffer loaded from them.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "text/language.h"

namespace missivo {

enum class TemplateKind { kHtml, kText };

// The placeholders of a template, in the order a block replaces them: From,
// Date/Time, Size, Index, Type, then the message text.
inline constexpr const char* kPlaceholders[] = {"$Number", "$Date", "$Size",
                                                "$Index",  "$Type", "$Message"};

// "HtmlTemplate.tml" or "TextTemplate.tml", the file's name in the Data folder.
const char* TemplateFileName(TemplateKind kind);

// The default templates with the labels of `language` (Windows-1251, every line
// ended by CR LF). The start writes them when the files are missing, and an
// export uses them when the file of its kind has gone.
std::string DefaultTextTemplate(const LanguageLines& language);
std::string DefaultHtmlTemplate(const LanguageLines& language);
std::string DefaultTemplate(TemplateKind kind, const LanguageLines& language);

// The template buffer made from a template file's bytes: the text up to its
// first NUL, every line break (CR LF, lone CR, lone LF) written as CR LF.
std::string TemplateBufferFromBytes(std::string_view bytes);

// The template buffer of an export: the file of `kind` in `data_folder` when it
// can be read, otherwise the default template of that kind.
std::string LoadTemplateBuffer(const std::filesystem::path& data_folder, TemplateKind kind,
                               const LanguageLines& language);

}  // namespace missivo
