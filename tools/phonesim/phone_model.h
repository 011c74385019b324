// The simulated phone's answers: the echo and the answer for one command line.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "scenario.h"
#include "standard_phone.h"
#include "text/utf8.h"

namespace phonesim {

struct Answer {
  std::string echo;             // sent at once
  std::string response;         // sent after the latency
  std::string endless;          // then sent again and again until the next command
  int endless_interval_ms = 0;  // > 0: the endless bytes one at a time, this far apart
};

class PhoneModel {
 public:
  // Throws std::runtime_error when the scenario's messages cannot be stored.
  explicit PhoneModel(Scenario scenario);
  PhoneModel(PhoneModel&&) = default;

  // The answer to command line number `number` (counted from 1, without its
  // line end).
  Answer Handle(const std::string& command, int number);

  const Scenario& scenario() const { return s_; }

  // Whether the last command was a send that the prompt answered: the bytes
  // up to Ctrl-Z are its text.
  bool AwaitingText() const;
  // The answer to the text of a send (without its Ctrl-Z), line number `number`:
  // the message is stored as sent and its reference answered. Faults apply by
  // number as for commands.
  Answer HandleText(const std::string& text, int number);
  // ESC instead of Ctrl-Z: the send is dropped.
  Answer CancelText();

 private:
  Answer HandleWithoutUnsolicited(const std::string& command, int number);
  std::string Respond(const std::string& command);
  std::string ListMessages(std::string_view argument) const;
  std::string ReadMessage(int index);
  std::string DeleteMessage(int index);
  std::string ReadPhonebook(std::string_view argument) const;
  std::string MessageLines(const Message& message, std::string_view header) const;
  void AddUnsolicited(const std::string& command, Answer& answer) const;

  std::string SubmitText(const std::string& text);
  // The first fault that fits the line and has hits left; the hit is counted.
  const Fault* FaultFor(const std::string& line, int number);

  Scenario s_;
  std::unique_ptr<StandardPhone> standard_;  // profile "standard"
  std::optional<std::string> send_number_;   // family: the number of the send awaiting its text
  int next_reference_ = 0;
  std::vector<int> fault_hits_;  // per fault of the scenario, the commands it has hit
};

using missivo::Utf8ToUtf16;

// Four upper-case hexadecimal digits per UTF-16 code unit.
std::string Ucs2Hex(std::u16string_view units);

}  // namespace phonesim
