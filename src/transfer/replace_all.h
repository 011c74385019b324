// Replacing every occurrence of a pattern, as the export templates need it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace missivo {

// `text` with every occurrence of `pattern` replaced by `value`. Occurrences are
// found from left to right with FindFrom, each search starting right after the
// previous occurrence, so they never overlap and inserted values are never
// searched. Byte for byte and case-sensitive; an empty pattern changes nothing.
// The result is allocated once, at its final length.
std::string ReplaceAll(std::string_view text, std::string_view pattern, std::string_view value);

// How many occurrences ReplaceAll would replace.
std::size_t CountOccurrences(std::string_view text, std::string_view pattern);

}  // namespace missivo
