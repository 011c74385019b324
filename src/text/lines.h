// Cutting texts into lines and joining them again.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace missivo {

// Lines ended by CR LF, a lone CR or a lone LF (CR LF counts once). A last line
// without a line end counts; a line end at the very end starts no further line.
std::vector<std::string> SplitAnyBreak(std::string_view text);

// Lines ended by CR LF pairs only; a lone CR or LF stays inside its line. Each
// line keeps at most `max_line` characters. A last piece without CR LF counts
// when it is not empty.
std::vector<std::string> SplitCrLf(std::string_view text, std::size_t max_line = 4096);

// The lines joined, each followed by CR LF (the form of every file the program writes).
std::string JoinCrLf(const std::vector<std::string>& lines);

// The text up to its first NUL byte.
std::string_view UpToNul(std::string_view text);

// The `index`-th line (from 0), or an empty text beyond either end.
const std::string& LineAt(const std::vector<std::string>& lines, std::ptrdiff_t index);

}  // namespace missivo
