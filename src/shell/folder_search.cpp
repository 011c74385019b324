#include "shell/folder_search.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

namespace missivo {
namespace {

char Fold(char c) {
  return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

// Sub-folders deeper than this are not searched, so that a link to a parent
// folder cannot make the search endless.
constexpr int kMaxDepth = 16;

void Search(std::string folder, std::string_view mask, std::vector<std::string>& list,
            const std::function<void()>& each_entry, int depth);

}  // namespace

bool MatchesMask(std::string_view name, std::string_view mask) {
  if (mask == "*.*" || mask == "*") return true;
  // Iterative wildcard match with one backtracking point for the last '*'.
  std::size_t n = 0;
  std::size_t m = 0;
  std::size_t star = std::string_view::npos;
  std::size_t star_name = 0;
  while (n < name.size()) {
    if (m < mask.size() && (mask[m] == '?' || Fold(mask[m]) == Fold(name[n]))) {
      ++n;
      ++m;
    } else if (m < mask.size() && mask[m] == '*') {
      star = m++;
      star_name = n;
    } else if (star != std::string_view::npos) {
      m = star + 1;
      n = ++star_name;
    } else {
      return false;
    }
  }
  while (m < mask.size() && mask[m] == '*')
    ++m;
  return m == mask.size();
}

void FindAllFiles(std::string folder, std::string_view mask, std::vector<std::string>& list,
                  const std::function<void()>& each_entry) {
  if (mask.empty()) mask = "*.*";
  if (folder.empty() || folder.back() != '/') folder += '/';
  Search(std::move(folder), mask, list, each_entry, 0);
}

std::vector<std::string> FindFilesEndingWith(const std::string& folder, std::string_view tail,
                                             const std::function<void()>& each_entry) {
  std::vector<std::string> found;
  FindAllFiles(folder, "*.*", found, each_entry);
  std::vector<std::string> kept;
  for (std::string& path : found) {
    if (std::string_view(path).ends_with(tail)) kept.push_back(std::move(path));
  }
  return kept;
}

namespace {

void Search(std::string folder, std::string_view mask, std::vector<std::string>& list,
            const std::function<void()>& each_entry, int depth) {
  struct Entry {
    std::string name;
    bool directory;
  };
  std::vector<Entry> entries;
  std::error_code error;
  for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
       it.increment(error)) {
    std::string name = it->path().filename().string();
    if (!MatchesMask(name, mask)) continue;
    std::error_code kind_error;
    entries.push_back({std::move(name), it->is_directory(kind_error)});
  }
  std::sort(entries.begin(), entries.end(),
            [](const Entry& a, const Entry& b) { return a.name < b.name; });

  for (const Entry& entry : entries) {
    if (each_entry) each_entry();
    if (entry.directory) {
      const std::string sub = folder + entry.name + "/";
      list.push_back(sub);
      if (depth < kMaxDepth) Search(sub, mask, list, each_entry, depth + 1);
    } else {
      list.push_back(folder + entry.name);
    }
  }
}

}  // namespace

}  // namespace missivo
