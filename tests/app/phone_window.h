// Window tests against the simulated phone: a started program whose port list
// names phonesim's device, and waiting on the event loop with a deadline.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app_test_support.h"
#include "support/phone_fixture.h"

namespace missivo::test {

// Shows the window once the splash has gone, makes it the active one and puts
// the focus on `widget`'s tab and on `widget`; returns the widget that has the
// focus then, where typed keys land.
// Keys as a person types them: to whatever has the focus.
void Press(int key, Qt::KeyboardModifiers modifiers = {});
// Each character as a key carrying it (Cyrillic letters have no key code of
// their own in the test library), to the focused widget.
void Type(const char* utf8);

QWidget* FocusOn(Program& program, QWidget* tab, QWidget* widget);

class PhoneWindowTest : public AppTest {
 protected:
  // Starts the program (scripted dialogs), points PT at `device` and, when
  // `connect`, clicks "Подключить".
  std::unique_ptr<Program> StartOn(const std::string& device, bool connect = true);

  // The texts of the messages and questions shown so far, as UTF-8.
  static std::vector<std::string> ShownTexts(TForm1& form);
};

// Runs the event loop until `done` holds; false when `limit` passes first.
bool WaitFor(const std::function<bool()>& done,
             std::chrono::milliseconds limit = std::chrono::seconds(10));

// Message rows of the scenario form phonesim reads ("messages": [...]).
std::string ScenarioWithMessages(int count, const std::string& extra_json = {});

}  // namespace missivo::test
