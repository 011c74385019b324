// Pieces of phonesim scenarios (tools/phonesim/README.md) for tests.
#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace missivo::test {

// One message stored in the simulated phone; texts are UTF-8. An empty date
// leaves the time stamp out of the message's header.
inline nlohmann::json SimMessage(int index, const std::string& status, const std::string& sender,
                                 const std::string& text,
                                 const std::string& date = "24/05/01,12:00:00+12") {
  return {{"index", index}, {"status", status}, {"sender", sender}, {"date", date}, {"text", text}};
}

// "<prefix><number>", a phone's tag. Built by appending: GCC 12 at -O2 warns
// falsely (-Wrestrict) on a literal + std::to_string.
inline std::string Tag(const char* prefix, long number) {
  std::string tag = prefix;
  tag.append(std::to_string(number));
  return tag;
}

// `count` messages with texts of their own ("<tag> 1", "<tag> 2", ...; the
// index is the number) as the "messages" of a scenario.
inline nlohmann::json UniqueMessages(const std::string& tag, int count) {
  nlohmann::json messages = nlohmann::json::array();
  for (int i = 1; i <= count; ++i)
    messages.push_back(SimMessage(i, "REC UNREAD", "+7916555" + std::to_string(1000 + i),
                                  tag + " " + std::to_string(i)));
  return messages;
}

// The indexes the phone was told to delete ("AT+CMGD=N"), in order.
inline std::vector<int> DeletedIndexes(const std::vector<std::string>& commands) {
  std::vector<int> indexes;
  for (const std::string& command : commands) {
    if (command.starts_with("AT+CMGD=")) indexes.push_back(std::stoi(command.substr(8)));
  }
  return indexes;
}

}  // namespace missivo::test
