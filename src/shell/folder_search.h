// FindAllFiles: the recursive listing of a folder by a name mask, used for the
// language files and the skin descriptors.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace missivo {

// Whether `name` matches `mask`: '*' stands for any run of characters, '?' for
// one; letters compare without regard to case. "*.*" matches every name, also
// one without a dot.
bool MatchesMask(std::string_view name, std::string_view mask);

// Appends to `list` every entry of `folder` whose name matches `mask` (empty
// means "*.*"): a file as folder + name, a sub-folder as folder + name + "/"
// followed at once by its own entries, searched the same way. Entries of one
// folder come in name order. `each_entry` runs before every entry is taken
// (the window lets pending events through there). A folder that does not exist
// or cannot be read adds nothing.
void FindAllFiles(std::string folder, std::string_view mask, std::vector<std::string>& list,
                  const std::function<void()>& each_entry = {});

// The entries that FindAllFiles lists under `folder` with the mask "*.*" whose
// last characters are exactly `tail` (compared with letter case).
std::vector<std::string> FindFilesEndingWith(const std::string& folder, std::string_view tail,
                                             const std::function<void()>& each_entry = {});

}  // namespace missivo
