// What a skin descriptor ("skin.ini") says, taken from its lines. No Qt and no
// files here, so the reading of a descriptor can be checked on its own.
#pragma once

#include <string>
#include <vector>

namespace missivo {

// The file name of the first "StyleSheet=" line (key in any letter case) that
// names one; empty when none does.
std::string StyleSheetNameOf(const std::vector<std::string>& lines);

// The third line without its first nine characters ("SkinName="); empty when
// that line is missing or no longer than that.
std::string SkinCaptionOf(const std::vector<std::string>& lines);

}  // namespace missivo
