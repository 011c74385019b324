// Line breaks of templates and blocks written the one way the program writes them.
#pragma once

#include <string>
#include <string_view>

namespace missivo {

// `text` with every line break (CR LF, a lone CR, a lone LF) written as CR LF.
// With `end_with_break`, a last line without a break gets one too, which makes
// the result equal to JoinCrLf(SplitAnyBreak(text)) in one pass.
std::string BreaksToCrLf(std::string_view text, bool end_with_break);

// Whether `text` holds a CR or an LF.
bool HasLineBreak(std::string_view text);

}  // namespace missivo
