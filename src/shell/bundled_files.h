// Files shipped inside the program (Qt resources): language files, skins.
#pragma once

#include <QString>
#include <filesystem>

namespace missivo {

// Copies every file under the resource folder (":/…") into `target`, keeping
// sub-folders, and leaves files that already exist there as they are.
void CopyMissingResourceFiles(const QString& resource_folder, const std::filesystem::path& target);

}  // namespace missivo
