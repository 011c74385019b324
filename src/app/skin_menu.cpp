// The "Оформление" menu: one item per skin descriptor under "Skins", then the
// default item; the choice is remembered as "SkinName".
#include <QCoreApplication>
#include <filesystem>

#include "app/image_list.h"
#include "app/main_window.h"
#include "app/menu_items.h"
#include "app/skin_descriptor.h"
#include "shell/folder_search.h"
#include "shell/text_files.h"

namespace missivo {
namespace {

// The caption of a skin: its descriptor's third line without its first nine
// characters ("SkinName="); the skin's folder name when that line is missing.
std::string SkinCaption(const std::string& descriptor) {
  std::string caption = SkinCaptionOf(ReadTextLines(descriptor));
  if (!caption.empty()) return caption;
  return std::filesystem::path(descriptor).parent_path().filename().string();
}

}  // namespace

void TForm1::BuildSkinMenu() {
  SkinFiles = FindFilesEndingWith((program_folder_ / "Skins").string(), "skin.ini",
                                  [] { QCoreApplication::processEvents(); });
  for (const std::string& path : SkinFiles) {
    QAction* item = CaptionedItem(SkinMenu, SkinCaption(path));
    connect(item, &QAction::triggered, this, [this, item] { SkinItemClick(item); });
  }
  QAction* default_item = CaptionedItem(SkinMenu, LangText("Str81"));
  default_item->setChecked(true);
  connect(default_item, &QAction::triggered, this,
          [this, default_item] { DefaultSkinItemClick(default_item); });

  if (!SettingExists("SkinName")) return;
  const std::string stored = ReadSetting("SkinName", "");
  for (QAction* item : SkinMenu->actions()) {
    if (CaptionOf(item) == stored) item->trigger();
  }
}

void TForm1::SkinItemClick(QAction* item) {
  const QList<QAction*> items = SkinMenu->actions();
  for (QAction* each : items) {
    each->setChecked(false);
    each->setIcon(ImageList::Icon(kImageSkinItem));
  }
  const qsizetype position = items.indexOf(item);
  if (position < 0 || position >= static_cast<qsizetype>(SkinFiles.size())) return;
  item->setChecked(true);
  WriteSetting("SkinName", CaptionOf(item));
  // A skin that cannot be read leaves the look as it was.
  (void)Skins.LoadSkin(SkinFiles[static_cast<std::size_t>(position)]);
}

void TForm1::DefaultSkinItemClick(QAction* item) {
  Skins.ClearSkin();
  for (QAction* each : SkinMenu->actions())
    each->setChecked(each == item);
  WriteSetting("SkinName", CaptionOf(item));
}

}  // namespace missivo
