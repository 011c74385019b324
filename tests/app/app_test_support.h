// Helpers for the window tests: one application object for the whole test
// program, and a fixture that gives each test its own program folder and
// settings file ($XDG_CONFIG_HOME points into the test's temporary folder).
#pragma once

#include <gtest/gtest.h>

#include <QString>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

class QMenu;

#include "app/application.h"
#include "app/main_window.h"
#include "app/program.h"
#include "support/test_support.h"

namespace missivo::test {

// The application object, made at the first call (tests run offscreen).
MissivoApplication& App();

// UTF-8 source text as a QString.
inline QString Q(const char* utf8) {
  return QString::fromUtf8(utf8);
}

// The captions and the check marks of a menu's items, in order.
std::vector<QString> Captions(const QMenu* menu);
std::vector<bool> Marks(const QMenu* menu);

class AppTest : public ::testing::Test {
 protected:
  AppTest();
  ~AppTest() override;

  const std::filesystem::path& folder() const { return folder_.path(); }
  // The settings file the program of this test uses.
  std::filesystem::path SettingsFile() const;
  // Stores values in the settings section before the program starts.
  void StoreSettings(const std::map<std::string, std::string>& values);
  // Every key and value of the settings section (UTF-8), read from the file itself.
  std::map<std::string, std::string> StoredSettings() const;

  TForm1::Options Options() const;
  // Creates the windows and runs the start sequence with scripted dialogs; the
  // splash stays up for a minute unless told otherwise.
  std::unique_ptr<Program> StartProgram(
      std::chrono::milliseconds splash_time = std::chrono::minutes(1));

 private:
  TempFolder folder_;
  std::string old_config_home_;
  bool had_config_home_ = false;
};

}  // namespace missivo::test
