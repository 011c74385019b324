#include "app/default_templates.h"

#include <system_error>

#include "app/text_files.h"
#include "core/atomic_file.h"
#include "text/language.h"
#include "transfer/templates.h"

namespace missivo {
namespace {

void WriteIfMissing(const std::filesystem::path& path, const std::string& bytes) {
  std::error_code error;
  if (std::filesystem::exists(path, error)) return;
  // A template that cannot be written is tried again at the next start.
  (void)WriteFileAtomically(path, bytes, kTextFileMode);
}

}  // namespace

void WriteDefaultTemplates(const std::filesystem::path& data_folder, const LanguageLines& lang) {
  for (const TemplateKind kind : {TemplateKind::kText, TemplateKind::kHtml}) {
    WriteIfMissing(data_folder / TemplateFileName(kind), DefaultTemplate(kind, lang));
  }
}

}  // namespace missivo
