// Where the program keeps its Data, Language and Skins folders.
#pragma once

#include <filesystem>

namespace missivo {

// The folder of the running executable when it is writable (portable use, the
// build tree, the demo); otherwise the per-user data folder
// ($XDG_DATA_HOME/Missivo, by default ~/.local/share/Missivo), created if missing.
std::filesystem::path ResolveProgramFolder();

// The folder of the running executable.
std::filesystem::path ExecutableFolder();

}  // namespace missivo
