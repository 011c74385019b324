// Pieces of phonesim scenarios (tools/phonesim/README.md) for tests.
#pragma once

#include <nlohmann/json.hpp>
#include <string>

namespace missivo::test {

// One message stored in the simulated phone; texts are UTF-8. An empty date
// leaves the time stamp out of the message's header.
inline nlohmann::json SimMessage(int index, const std::string& status, const std::string& sender,
                                 const std::string& text,
                                 const std::string& date = "24/05/01,12:00:00+12") {
  return {{"index", index}, {"status", status}, {"sender", sender}, {"date", date}, {"text", text}};
}

}  // namespace missivo::test
