// Pieces of a text and substring search with positions counted from 1.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace missivo {

using Pos = std::ptrdiff_t;

// The piece of `text` from position `start` (from 1) of `length` characters:
// a start before 1 counts as 1 with the length kept; a start past the end or a
// negative length gives an empty piece; a length past the end stops at the end.
std::string Piece(std::string_view text, Pos start, Pos length);

// Position of `sub` in `text` at or after `start` (0 acts as 1), byte for byte;
// 0 when absent or when either text is empty.
Pos FindFrom(std::string_view sub, std::string_view text, Pos start);

// Characters counted from 1: the character at `pos`, or 0 outside the text.
char CharAt(std::string_view text, Pos pos);

}  // namespace missivo
