#include "shell/language_files.h"

#include <QFile>
#include <QString>
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

namespace {

// The bytes of the language file of this name that ship with the program:
// the built-in Russian file, or a bundled resource; empty for another name.
std::string ShippedLanguageBytes(const std::filesystem::path& path) {
  const std::string name = path.filename().string();
  if (name == "Russian.lng") return DefaultRussianFileBytes();
  QFile shipped(QStringLiteral(":/languages/") + QString::fromStdString(name));
  if (!shipped.open(QIODevice::ReadOnly)) return {};
  const QByteArray bytes = shipped.readAll();
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

}  // namespace

bool LoadLanguageFile(const std::filesystem::path& path, LanguageLines& lines) {
  const Result<std::string> bytes = ReadWholeFile(path);
  if (!bytes.ok()) return false;
  lines.LoadFromBytes(bytes.value());
  if (const std::string shipped_bytes = ShippedLanguageBytes(path); !shipped_bytes.empty()) {
    LanguageLines shipped;
    shipped.LoadFromBytes(shipped_bytes);
    lines.CompleteFrom(shipped);
  }
  return true;
}

}  // namespace missivo
