// The named fields of a message row as JSON, shared by `missivo-cli list
// --json` and the JSON export so that both say the same.
#pragma once

#include <nlohmann/json.hpp>

#include "store/row.h"

namespace missivo {

// Adds "text", "from", "number", "contact", "time", "kind", "size", "index",
// "parts" and "storage" to `object`: the lossless fields where the row has
// them, else what the five sub-items say; nothing is made up for an older row.
void AddMessageKeys(const Row& row, nlohmann::ordered_json& object);

}  // namespace missivo
