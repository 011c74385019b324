#include "scenario.h"

#include <algorithm>
#include <cctype>
#include <nlohmann/json.hpp>
#include <stdexcept>

namespace phonesim {

namespace {

using nlohmann::json;

template <typename T>
T Get(const json& object, const char* key, T fallback) {
  if (!object.contains(key)) return fallback;
  try {
    return object.at(key).get<T>();
  } catch (const json::exception&) {
    throw std::runtime_error(std::string("scenario: \"") + key + "\" has the wrong type");
  }
}

char Upper(char c) {
  return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}

}  // namespace

bool CommandMatches(std::string_view pattern, std::string_view command) {
  const bool prefix = !pattern.empty() && pattern.back() == '*';
  if (prefix) pattern.remove_suffix(1);
  if (prefix ? command.size() < pattern.size() : command.size() != pattern.size()) return false;
  return std::equal(pattern.begin(), pattern.end(), command.begin(),
                    [](char a, char b) { return Upper(a) == Upper(b); });
}

Scenario ParseScenario(const std::string& json_text) {
  json root;
  try {
    root = json::parse(json_text);
  } catch (const json::parse_error& e) {
    throw std::runtime_error(std::string("scenario is not valid JSON: ") + e.what());
  }
  if (!root.is_object()) throw std::runtime_error("scenario: the top level must be an object");

  Scenario s;
  s.profile = Get(root, "profile", s.profile);
  if (s.profile != "family" && s.profile != "standard")
    throw std::runtime_error("scenario: profile is \"family\" or \"standard\"");
  s.maker = Get<std::string>(root, "maker", "");
  s.model = Get<std::string>(root, "model", "");
  s.revision = Get<std::string>(root, "revision", "");
  if (root.contains("standard")) {
    const json& d = root["standard"];
    StandardDevice& device = s.standard;
    device.modes = Get(d, "modes", device.modes);
    device.storages = Get(d, "storages", device.storages);
    device.storage_size = Get(d, "storage_size", device.storage_size);
    device.unquoted_ucs2 = Get(d, "unquoted_ucs2", device.unquoted_ucs2);
    device.ucs2 = Get(d, "ucs2", device.ucs2);
    device.blank_before_final = Get(d, "blank_before_final", device.blank_before_final);
    device.phonebook_storages = Get(d, "phonebook_storages", device.phonebook_storages);
    device.phonebook_size = Get(d, "phonebook_size", device.phonebook_size);
    device.ucs2_numbers = Get(d, "ucs2_numbers", device.ucs2_numbers);
    device.empty_slot_error = Get(d, "empty_slot_error", device.empty_slot_error);
    device.error_word = Get(d, "error_word", device.error_word);
  }
  for (const json& u : Get(root, "unsolicited", json::array())) {
    s.unsolicited.push_back({Get<std::string>(u, "command", "*"), Get<std::string>(u, "line", ""),
                             Get<std::string>(u, "where", "inside")});
  }
  s.family = Get(root, "family", s.family);
  if (s.family != "+C" && s.family != "+M")
    throw std::runtime_error("scenario: family is +C or +M");
  s.separator = Get(root, "separator", s.separator);
  s.echo = Get(root, "echo", s.echo);
  s.split_length = Get<std::size_t>(root, "split_length", 0);
  s.latency_ms = Get(root, "latency_ms", 0);
  if (root.contains("line_speed") && root["line_speed"].is_string()) {
    if (root["line_speed"] != "device") {
      throw std::runtime_error("scenario: line_speed is a number or \"device\"");
    }
    s.line_speed_from_device = true;
  } else {
    s.line_speed = Get<std::uint32_t>(root, "line_speed", 0);
  }
  s.phonebook_range = Get(root, "phonebook_range", s.phonebook_range);
  s.hang_up_after = Get(root, "hang_up_after", 0);
  s.first_reference = Get(root, "first_reference", s.first_reference);
  if (s.first_reference < 0 || s.first_reference > 255)
    throw std::runtime_error("scenario: first_reference is 0 to 255");
  s.replug_after_hang_up = Get<std::string>(root, "after_hang_up", "exit") == "replug";

  for (const json& m : Get(root, "messages", json::array())) {
    Message message;
    message.index = Get(m, "index", 0);
    message.status = Get<std::string>(m, "status", "REC READ");
    message.sender = Get<std::string>(m, "sender", "");
    message.date = Get<std::string>(m, "date", "");
    message.text = Get<std::string>(m, "text", "");
    message.storage = Get<std::string>(m, "storage", "SM");
    message.status_report = Get<std::string>(m, "kind", "message") == "status_report";
    message.reference = Get(m, "reference", -1);
    for (const json& p : Get(m, "parts", json::array())) {
      message.parts.push_back({Get(p, "sequence", 1),
                               Get<std::string>(p, "storage", message.storage),
                               Get(p, "index", 0)});
    }
    s.messages.push_back(message);
  }
  for (const json& c : Get(root, "phonebook", json::array())) {
    Contact contact;
    contact.index = Get(c, "index", 0);
    contact.number = Get<std::string>(c, "number", "");
    contact.type = Get(c, "type", !contact.number.empty() && contact.number[0] == '+' ? 145 : 129);
    contact.name = Get<std::string>(c, "name", "");
    contact.storage = Get<std::string>(c, "storage", "SM");
    s.phonebook.push_back(contact);
  }
  for (const json& f : Get(root, "faults", json::array())) {
    Fault fault;
    fault.command = Get<std::string>(f, "command", "*");
    fault.number = Get(f, "number", 0);
    fault.times = Get(f, "times", 0);
    const std::string action = Get<std::string>(f, "action", "silent");
    if (action == "silent") {
      fault.action = FaultAction::kSilent;
    } else if (action == "error") {
      fault.action = FaultAction::kError;
    } else if (action == "cms_error") {
      fault.action = FaultAction::kCmsError;
      fault.code = Get(f, "code", 500);
    } else if (action == "endless" || action == "trickle") {
      fault.action = action == "endless" ? FaultAction::kEndless : FaultAction::kTrickle;
      fault.stream = Get<std::string>(f, "stream", "0041");
      if (fault.stream.empty()) throw std::runtime_error("scenario: an endless stream is empty");
      fault.interval_ms = Get(f, "interval_ms", 1000);
      if (fault.action == FaultAction::kTrickle && fault.interval_ms <= 0) {
        throw std::runtime_error("scenario: a trickle's interval_ms is not above 0");
      }
    } else if (action == "reply") {
      fault.action = FaultAction::kReply;
      fault.stream = Get<std::string>(f, "reply", "");
    } else {
      throw std::runtime_error(
          "scenario: fault action is \"silent\", \"error\", \"cms_error\", \"reply\", "
          "\"endless\" or \"trickle\"");
    }
    s.faults.push_back(fault);
  }
  for (const json& r : Get(root, "replies", json::array())) {
    s.replies.push_back({Get<std::string>(r, "command", ""), Get<std::string>(r, "reply", "")});
  }
  return s;
}

}  // namespace phonesim
