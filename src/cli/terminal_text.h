// Texts from outside (the phone's replies, data files, import files) on their
// way to a terminal: a terminal acts on control characters (ESC starts a
// sequence that may retitle the window, move the cursor or write to the
// clipboard; CR and backspace overwrite), so those are written as \xNN.
#pragma once

#include <string>
#include <string_view>

namespace missivo::cli {

enum class LineBreaks {
  kEscaped,  // one line: \ TAB CR LF written as \\ \t \r \n (list rows)
  kKept,     // CR LF, LF and a CR at the very end end lines, TAB stays (messages)
};

// A Windows-1251 text as UTF-8 with every other control character (C0, DEL
// and the C1 character of the code page) written as \xNN.
std::string ForTerminal(std::string_view cp1251, LineBreaks breaks);

// The same for a UTF-8 text (the lossless fields of a row): C0 controls, DEL
// and the C1 controls as \xNN of their code, a byte that is not UTF-8 as \xNN
// of the byte.
std::string ForTerminalUtf8(std::string_view utf8, LineBreaks breaks);

}  // namespace missivo::cli
