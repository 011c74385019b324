#include "app/default_templates.h"

#include <system_error>
#include <vector>

#include "app/text_files.h"
#include "store/atomic_file.h"
#include "text/language.h"
#include "text/lines.h"

namespace missivo {
namespace {

// The six fields of a message in template order: the label's key and the placeholder.
struct Field {
  const char* key;
  const char* placeholder;
};
constexpr Field kFields[] = {
    {"Str90", "$Number"}, {"Str9", "$Date"},  {"Str91", "$Size"},
    {"Str10", "$Index"},  {"Str11", "$Type"}, {"Str12", "$Message"},
};

void WriteIfMissing(const std::filesystem::path& path, const std::string& bytes) {
  std::error_code error;
  if (std::filesystem::exists(path, error)) return;
  // A template that cannot be written is tried again at the next start.
  (void)WriteFileAtomically(path, bytes, kTextFileMode);
}

}  // namespace

std::string DefaultTextTemplate(const LanguageLines& lang) {
  std::vector<std::string> lines = {std::string(30, '*')};
  for (const Field& field : kFields) {
    lines.push_back(lang.LangText(field.key) + " " + field.placeholder);
  }
  return JoinCrLf(lines);
}

std::string DefaultHtmlTemplate(const LanguageLines& lang) {
  std::vector<std::string> lines = {R"(<table border="0" width="100%" id="table1"><tr>)"};
  for (std::size_t i = 0; i < std::size(kFields); ++i) {
    const bool last = i + 1 == std::size(kFields);
    lines.push_back(R"(<td width="103"><b>)" + lang.LangText(kFields[i].key) + "</b></td>");
    lines.push_back(std::string("<td>") + kFields[i].placeholder +
                    (last ? "</td></tr></table><hr>" : "</td></tr><tr>"));
  }
  return JoinCrLf(lines);
}

void WriteDefaultTemplates(const std::filesystem::path& data_folder, const LanguageLines& lang) {
  WriteIfMissing(data_folder / "TextTemplate.tml", DefaultTextTemplate(lang));
  WriteIfMissing(data_folder / "HtmlTemplate.tml", DefaultHtmlTemplate(lang));
}

}  // namespace missivo
