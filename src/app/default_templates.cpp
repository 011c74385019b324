#include "app/default_templates.h"

#include <system_error>
#include <utility>

#include "core/atomic_file.h"
#include "shell/text_files.h"
#include "text/language.h"
#include "transfer/templates.h"

namespace missivo {
namespace {

Status WriteIfMissing(const std::filesystem::path& path, const std::string& bytes) {
  std::error_code error;
  if (std::filesystem::exists(path, error)) return {};
  return WriteFileAtomically(path, bytes, kTextFileMode);
}

}  // namespace

Status WriteDefaultTemplates(const std::filesystem::path& data_folder, const LanguageLines& lang) {
  Status first;
  for (const TemplateKind kind : {TemplateKind::kText, TemplateKind::kHtml}) {
    Status status =
        WriteIfMissing(data_folder / TemplateFileName(kind), DefaultTemplate(kind, lang));
    if (first.ok()) first = std::move(status);
  }
  return first;
}

}  // namespace missivo
