#include "app_test_support.h"

#include <stdlib.h>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QSettings>

#include "text/lines.h"

namespace missivo::test {

MissivoApplication& App() {
  static MissivoApplication* app = [] {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static int argc = 1;
    static char name[] = "app_tests";
    static char* argv[] = {name, nullptr};
    auto* made = new MissivoApplication(argc, argv);
    // Tests close many main windows; none of them ends the test program.
    made->setQuitOnLastWindowClosed(false);
    return made;
  }();
  return *app;
}

std::vector<QString> Captions(const QMenu* menu) {
  std::vector<QString> captions;
  for (const QAction* item : menu->actions())
    captions.push_back(item->text());
  return captions;
}

std::vector<bool> Marks(const QMenu* menu) {
  std::vector<bool> marks;
  for (const QAction* item : menu->actions())
    marks.push_back(item->isChecked());
  return marks;
}

AppTest::AppTest() {
  App();
  if (const char* old = ::getenv("XDG_CONFIG_HOME")) {
    had_config_home_ = true;
    old_config_home_ = old;
  }
  ::setenv("XDG_CONFIG_HOME", (folder() / "config").c_str(), 1);
}

AppTest::~AppTest() {
  qApp->setStyleSheet(QString());
  if (had_config_home_) {
    ::setenv("XDG_CONFIG_HOME", old_config_home_.c_str(), 1);
  } else {
    ::unsetenv("XDG_CONFIG_HOME");
  }
}

std::filesystem::path AppTest::SettingsFile() const {
  return folder() / "config" / "Missivo" / "Missivo.conf";
}

void AppTest::StoreSettings(const std::map<std::string, std::string>& values) {
  QSettings settings(QString::fromStdString(SettingsFile().string()), QSettings::IniFormat);
  settings.beginGroup(QStringLiteral("Missivo"));
  for (const auto& [key, value] : values) {
    settings.setValue(QString::fromStdString(key), QString::fromStdString(value));
  }
  settings.endGroup();
  settings.sync();
}

std::map<std::string, std::string> AppTest::StoredSettings() const {
  // Read from the file on disk, not through a QSettings that might share the
  // program's unwritten state.
  std::map<std::string, std::string> values;
  bool in_section = false;
  for (const std::string& line : SplitAnyBreak(ReadBytes(SettingsFile()))) {
    if (!line.empty() && line.front() == '[') {
      in_section = line == "[Missivo]";
      continue;
    }
    const auto equals = line.find('=');
    if (in_section && equals != std::string::npos) {
      values[line.substr(0, equals)] = line.substr(equals + 1);
    }
  }
  return values;
}

TForm1::Options AppTest::Options() const {
  TForm1::Options options;
  options.program_folder = folder() / "program";
  std::filesystem::create_directories(options.program_folder);
  options.scripted_dialogs = true;
  return options;
}

std::unique_ptr<Program> AppTest::StartProgram(std::chrono::milliseconds splash_time) {
  auto program = std::make_unique<Program>(Options(), splash_time);
  program->Start();
  return program;
}

}  // namespace missivo::test

// fontconfig keeps parts of its configuration for the life of the process;
// the leak checker is told so instead of failing every window test.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n";
}
