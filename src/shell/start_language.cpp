#include "shell/start_language.h"

#include <optional>
#include <string>
#include <vector>

#include "shell/folder_search.h"
#include "shell/language_choice.h"
#include "shell/language_files.h"
#include "shell/settings_file.h"
#include "shell/text_files.h"
#include "store/settings_interface.h"
#include "text/default_language.h"

namespace missivo {

LanguageLines LoadProgramLanguage(const std::filesystem::path& folder) {
  // A folder that cannot take the default file still gets its texts (below).
  (void)WriteDefaultLanguage(folder);
  const std::filesystem::path language_folder = folder / "Language";
  const std::vector<std::string> files = FindFilesEndingWith(language_folder.string(), "lng");
  std::vector<std::string> captions;
  for (const std::string& path : files)
    captions.push_back(LanguageCaption(path, ReadTextLines(path)));

  const TRzRegIniFile settings;
  const std::string section(kSettingsSection);
  std::optional<std::string> stored;
  if (settings.ValueExists(section, "LngName"))
    stored = settings.ReadString(section, "LngName", "");

  LanguageLines language;
  const auto chosen =
      StartLanguage(files, captions, stored, (language_folder / "Russian.lng").string());
  if (!chosen || !LoadLanguageFile(files[*chosen], language)) {
    // The folder could not take the default file: its texts all the same.
    language.LoadFromBytes(DefaultRussianFileBytes());
  }
  return language;
}

}  // namespace missivo
