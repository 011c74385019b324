// Skin descriptors: any bytes read as the window reads "skin.ini" give a
// caption and a style sheet name (or none) taken from one line; never a crash.
#include "app/skin_descriptor.h"
#include "fuzz_support.h"
#include "text/lines.h"

namespace missivo {
namespace {

bool IsPieceOfALine(const std::vector<std::string>& lines, const std::string& text) {
  for (const std::string& line : lines) {
    if (line.ends_with(text)) return true;
  }
  return false;
}

void Check(std::string_view bytes) {
  const std::vector<std::string> lines = SplitAnyBreak(UpToNul(bytes));
  const std::string name = StyleSheetNameOf(lines);
  fuzz::Require(name.empty() || IsPieceOfALine(lines, name),
                "the style sheet name is the end of one line");
  const std::string caption = SkinCaptionOf(lines);
  fuzz::Require(caption.empty() || (lines.size() >= 3 && lines[2].ends_with(caption) &&
                                    caption.size() + 9 == lines[2].size()),
                "the caption is the third line after its key");
}

}  // namespace
}  // namespace missivo

MISSIVO_FUZZ_TEXT_TARGET(missivo::Check)
