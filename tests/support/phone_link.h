// A port on the simulated phone with the program's connection handlers, an AT
// exchange over it, and recorders for what reaches the user.
#pragma once

#include <chrono>
#include <string>
#include <vector>

#include "phone/at_exchange.h"
#include "phone/serial/com_port.h"
#include "phone/serial/main_thread_invoker.h"
#include "support/phone_fixture.h"
#include "support/test_support.h"
#include "text/language.h"

namespace missivo::test {

// The terminal view of the tests: every line appended.
class RecordingTerminal : public TerminalSink {
 public:
  void AppendLine(const std::string& line) override { lines.push_back(line); }
  std::vector<std::string> lines;
};

// What the program does with port errors and line errors: close on a hang-up
// and on codes 31, 0 and 2. Every event is recorded in `events`.
void AttachConnectionHandlers(TCustomComPort& port, std::vector<std::string>& events);

struct PhoneLink {
  explicit PhoneLink(const std::string& scenario_json);

  PhoneSim phone;
  std::vector<std::string> events;  // before the port: its destructor reports the close
  TComPort port;
  RecordingTerminal terminal;
  ScriptedUserInterface ui;
  LanguageLines language;
  AtExchange exchange{port, terminal, ui, language};

  std::string Exchange(const std::string& command);
};

// Runs the main thread's pending port events until `done` holds; false when
// `limit` passes first.
template <typename Predicate>
bool ProcessEventsUntil(Predicate done, std::chrono::milliseconds limit = std::chrono::seconds(5)) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!done()) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return false;
    DefaultMainThreadInvoker().WaitAndProcess(left);
  }
  return true;
}

}  // namespace missivo::test
