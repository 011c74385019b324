// The built-in Russian language: the lines of "Russian.lng".
#pragma once

#include <string>
#include <vector>

namespace missivo {

// The lines "Str0=…" to "Str154=…" in Windows-1251: the 110 of the first
// version, then those added since (search, exchange formats, sending,
// automatic backup, the phone kind, conversations, what a read could not do).
const std::vector<std::string>& DefaultRussianLines();

// The bytes of "Russian.lng": every line followed by CR LF, Windows-1251, no BOM.
std::string DefaultRussianFileBytes();

}  // namespace missivo
