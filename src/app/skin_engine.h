// The skin engine. A skin is a folder under "Skins" holding a descriptor
// ("skin.ini": line 3 "SkinName=<caption>", and "StyleSheet=<file>") and the Qt
// style sheet it names, with any pictures the style sheet uses. Loading a skin
// applies its style sheet to the whole application; clearing removes it, and
// the windows draw in their own look.
#pragma once

#include <QString>
#include <filesystem>

namespace missivo {

class SkinEngine {
 public:
  // Applies the skin of `descriptor`. False, leaving the look as it was, when
  // the descriptor or its style sheet cannot be read.
  bool LoadSkin(const std::filesystem::path& descriptor);
  // Back to the unskinned look.
  void ClearSkin();

  // The descriptor of the skin in use; empty when none.
  const std::filesystem::path& loaded() const { return loaded_; }
  const QString& style_sheet() const { return style_sheet_; }

 private:
  std::filesystem::path loaded_;
  QString style_sheet_;
};

// The style sheet with every relative url(...) made absolute against `folder`,
// so that a skin's pictures are found wherever the program runs from.
QString ResolveStyleSheetUrls(const QString& style_sheet, const std::filesystem::path& folder);

// The style sheet file a descriptor names: its "StyleSheet=" entry (key in any
// letter case) taken beside the descriptor, or "skin.qss" there when it names none.
std::filesystem::path StyleSheetOf(const std::filesystem::path& descriptor);

}  // namespace missivo
