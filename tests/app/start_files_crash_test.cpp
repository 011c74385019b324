// The start writes the default language file and the export templates when
// they are missing; a process killed while it does so leaves each file either
// missing (written at the next start) or whole, never a part that the next
// start would keep.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/default_templates.h"
#include "shell/language_files.h"
#include "support/kill_loop.h"
#include "support/test_support.h"
#include "text/default_language.h"
#include "text/language.h"
#include "transfer/templates.h"

namespace missivo::test {
namespace {

// 0 when the file is missing or whole, -1 when it holds anything else.
int MissingOrWhole(const std::filesystem::path& path, const std::string& whole) {
  if (!std::filesystem::exists(path)) return 0;
  return ReadBytes(path) == whole ? 0 : -1;
}

TEST(StartFilesCrashTest, KilledTemplateWritesLeaveNoTemplateOrAWholeOne) {
  TempFolder folder;
  LanguageLines language;
  language.LoadFromBytes(DefaultRussianFileBytes());
  const auto text = folder / TemplateFileName(TemplateKind::kText);
  const auto html = folder / TemplateFileName(TemplateKind::kHtml);
  (void)KillDuringSaves(
      [&](int) {
        std::filesystem::remove(text);
        std::filesystem::remove(html);
        return WriteDefaultTemplates(folder.path(), language).ok();
      },
      [&] {
        return std::min(MissingOrWhole(text, DefaultTemplate(TemplateKind::kText, language)),
                        MissingOrWhole(html, DefaultTemplate(TemplateKind::kHtml, language)));
      },
      folder.path(), {}, {.kills = 150});
}

TEST(StartFilesCrashTest, KilledLanguageWritesLeaveNoFileOrAWholeOne) {
  TempFolder folder;
  const auto russian = folder / "Language" / "Russian.lng";
  std::filesystem::create_directories(russian.parent_path());
  (void)KillDuringSaves(
      [&](int) {
        std::filesystem::remove(russian);
        return WriteDefaultLanguage(folder.path()).ok();
      },
      [&] { return MissingOrWhole(russian, DefaultRussianFileBytes()); }, folder / "Language", {},
      {.kills = 150});
}

}  // namespace
}  // namespace missivo::test
