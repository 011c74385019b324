// Checking and mending UTF-8 texts on their way into a file format.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "text/cp1251.h"

namespace missivo {

// The text with every byte that is not valid UTF-8, and every character that
// XML 1.0 cannot hold (C0 controls other than TAB, LF and CR; U+FFFE, U+FFFF),
// replaced by U+FFFD. `replaced` counts them.
std::string XmlSafeText(std::string_view text, std::size_t* replaced = nullptr);

// The number of characters of a UTF-8 text.
std::size_t CodePoints(std::string_view utf8);

// Whether the text is valid UTF-8.
bool IsValidUtf8(std::string_view text);

}  // namespace missivo
