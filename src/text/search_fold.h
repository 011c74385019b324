// Folding of UTF-8 text for search: what a person reading treats as the same
// letter becomes the same code point, so that a plain substring test finds it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace missivo {

// The folded form of one code point: Latin and Cyrillic capitals (Russian,
// Ukrainian, Belarusian letters included) to small letters, ё and Ё to е,
// every white space character (line breaks, tab, no-break space) to a space.
char32_t FoldCodePoint(char32_t code_point);

// `text` folded code point by code point, with each run of white space as one
// space.
std::string FoldForSearch(std::string_view text);

// Appends the folded form of `text` (UTF-8), or of `cp1251` (Windows-1251,
// folded as its UTF-8 conversion would be, without making that conversion).
void AppendFolded(std::string& out, std::string_view text);
void AppendFoldedCp1251(std::string& out, std::string_view cp1251);

// The folded text and, for each of its bytes and for its end, the byte offset
// in the original text it came from: a match at [b, e) in `text` covers
// [origin[b], origin[e]) of the original.
struct FoldedText {
  std::string text;
  std::vector<std::uint32_t> origin;
};
FoldedText FoldWithOrigins(std::string_view text);

}  // namespace missivo
