#include "shell/language_choice.h"

#include <filesystem>

#include "text/lines.h"

namespace missivo {

std::string LanguageCaption(const std::string& path, const std::vector<std::string>& lines) {
  const std::string& first = LineAt(lines, 0);
  return first.size() > 5 ? first.substr(5) : std::filesystem::path(path).stem().string();
}

std::optional<std::size_t> StartLanguage(const std::vector<std::string>& files,
                                         const std::vector<std::string>& captions,
                                         const std::optional<std::string>& stored,
                                         const std::string& russian) {
  if (files.empty()) return std::nullopt;
  if (stored) {
    for (std::size_t i = captions.size(); i-- > 0;) {
      if (captions[i] == *stored) return i;
    }
  }
  for (std::size_t i = 0; i < files.size(); ++i) {
    if (files[i] == russian) return i;
  }
  return 0;
}

}  // namespace missivo
