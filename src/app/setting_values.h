// Numbers stored as text in the window's settings, read back at start. No Qt
// here, so the reading can be checked on its own.
#pragma once

#include <optional>
#include <string>

namespace missivo {

// A whole decimal number with an optional sign and nothing else, that fits an int.
std::optional<int> DecimalOf(const std::string& text);

}  // namespace missivo
