// Where the program keeps its Data, Language and Skins folders.
#pragma once

#include <filesystem>

namespace missivo {

// The folder of the running executable when it is writable and not a system
// folder (portable use, the build tree, the demo); otherwise the per-user data
// folder ($XDG_DATA_HOME/Missivo, by default ~/.local/share/Missivo), created if
// missing.
std::filesystem::path ResolveProgramFolder();

// Whether `folder` is where installed programs live (/usr and everything under
// it, /bin, /sbin). An installed copy keeps its files in the user's data folder
// even when its user may write there (root), so that nothing lands among the
// system's files and removing the package leaves nothing behind.
bool IsSystemFolder(const std::filesystem::path& folder);

// The folder of the running executable.
std::filesystem::path ExecutableFolder();

}  // namespace missivo
