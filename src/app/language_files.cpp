#include "app/language_files.h"

#include <system_error>

#include "app/bundled_files.h"
#include "app/text_files.h"
#include "core/atomic_file.h"
#include "text/default_language.h"

namespace missivo {

Status WriteDefaultLanguage(const std::filesystem::path& program_folder) {
  const auto folder = program_folder / "Language";
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  const auto russian = folder / "Russian.lng";
  if (std::filesystem::exists(russian, error)) return {};
  return WriteFileAtomically(russian, DefaultRussianFileBytes(), kTextFileMode);
}

void InstallBundledLanguages(const std::filesystem::path& program_folder) {
  CopyMissingResourceFiles(QStringLiteral(":/languages"), program_folder / "Language");
}

}  // namespace missivo
