#include "shell/language_files.h"

#include <string>
#include <system_error>

#include "core/atomic_file.h"
#include "shell/bundled_files.h"
#include "shell/text_files.h"
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

bool LoadLanguageFile(const std::filesystem::path& path, LanguageLines& lines) {
  const Result<std::string> bytes = ReadWholeFile(path);
  if (!bytes.ok()) return false;
  lines.LoadFromBytes(bytes.value());
  return true;
}

}  // namespace missivo
