#include "transfer/templates.h"

#include <iterator>

#include "core/atomic_file.h"
#include "text/lines.h"
#include "transfer/line_breaks.h"

namespace missivo {
namespace {

// The language keys of the six labels, in the order of the placeholders.
constexpr const char* kLabelKeys[] = {"Str90", "Str9", "Str91", "Str10", "Str11", "Str12"};

}  // namespace

const char* TemplateFileName(TemplateKind kind) {
  return kind == TemplateKind::kHtml ? "HtmlTemplate.tml" : "TextTemplate.tml";
}

std::string DefaultTextTemplate(const LanguageLines& language) {
  std::string text = std::string(30, '*') + "\r\n";
  for (std::size_t i = 0; i < std::size(kLabelKeys); ++i)
    text += language.LangText(kLabelKeys[i]) + " " + kPlaceholders[i] + "\r\n";
  return text;
}

std::string DefaultHtmlTemplate(const LanguageLines& language) {
  std::string text = "<table border=\"0\" width=\"100%\" id=\"table1\"><tr>\r\n";
  for (std::size_t i = 0; i < std::size(kLabelKeys); ++i) {
    const bool last = i + 1 == std::size(kLabelKeys);
    text += "<td width=\"103\"><b>" + language.LangText(kLabelKeys[i]) + "</b></td>\r\n";
    text += std::string("<td>") + kPlaceholders[i] +
            (last ? "</td></tr></table><hr>\r\n" : "</td></tr><tr>\r\n");
  }
  return text;
}

std::string DefaultTemplate(TemplateKind kind, const LanguageLines& language) {
  return kind == TemplateKind::kHtml ? DefaultHtmlTemplate(language)
                                     : DefaultTextTemplate(language);
}

std::string TemplateBufferFromBytes(std::string_view bytes) {
  return BreaksToCrLf(UpToNul(bytes), /*end_with_break=*/false);
}

std::string LoadTemplateBuffer(const std::filesystem::path& data_folder, TemplateKind kind,
                               const LanguageLines& language) {
  const Result<std::string> bytes = ReadWholeFile(data_folder / TemplateFileName(kind));
  if (!bytes.ok()) return DefaultTemplate(kind, language);
  return TemplateBufferFromBytes(bytes.value());
}

}  // namespace missivo
