#include "shell/bundled_files.h"

#include <QDirIterator>
#include <QFile>
#include <system_error>

#include "core/atomic_file.h"
#include "shell/text_files.h"

namespace missivo {

void CopyMissingResourceFiles(const QString& resource_folder, const std::filesystem::path& target) {
  QDirIterator it(resource_folder, QDir::Files, QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString source = it.next();
    const QString relative = source.mid(resource_folder.size() + 1);
    const std::filesystem::path destination = target / relative.toStdString();
    std::error_code error;
    if (std::filesystem::exists(destination, error)) continue;
    std::filesystem::create_directories(destination.parent_path(), error);
    QFile file(source);
    if (!file.open(QIODevice::ReadOnly)) continue;
    const QByteArray bytes = file.readAll();
    // A failed copy leaves the file missing; the next start tries again.
    (void)WriteFileAtomically(
        destination, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())),
        kTextFileMode);
  }
}

}  // namespace missivo
