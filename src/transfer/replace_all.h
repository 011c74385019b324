// Replacing every occurrence of a pattern, as the export templates need it.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace missivo {

// `text` with every occurrence of `pattern` replaced by `value`. Occurrences are
// found from left to right with FindFrom, each search starting right after the
// previous occurrence, so they never overlap and inserted values are never
// searched. Byte for byte and case-sensitive; an empty pattern changes nothing.
// The result is allocated once, at its final length.
std::string ReplaceAll(std::string_view text, std::string_view pattern, std::string_view value);

// ReplaceAll, or nothing when the result would be longer than both `limit`
// and `text`: only growth past the limit is refused, before it is allocated.
std::optional<std::string> ReplaceAllWithin(std::string_view text, std::string_view pattern,
                                            std::string_view value, std::size_t limit);

}  // namespace missivo
