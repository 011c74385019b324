#include "phone_window.h"

#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QTest>
#include <QToolButton>
#include <nlohmann/json.hpp>

#include "app/qt_user_interface.h"
#include "text/cp1251.h"

namespace missivo::test {

QWidget* FocusOn(Program& program, QWidget* tab, QWidget* widget) {
  program.form2().hide();
  TForm1& form = program.form1();
  form.show();
  form.activateWindow();
  QApplication::setActiveWindow(&form);  // the offscreen platform activates no window itself
  EXPECT_TRUE(QTest::qWaitForWindowActive(&form));
  form.bsSkinPageControl1->setCurrentWidget(tab);
  widget->setFocus(Qt::TabFocusReason);
  QWidget* focused = QApplication::focusWidget();
  EXPECT_NE(focused, nullptr);
  return focused;
}

std::unique_ptr<Program> PhoneWindowTest::StartOn(const std::string& device, bool connect) {
  auto program = StartProgram();
  TForm1& form = program->form1();
  form.PT->setEditText(QString::fromStdString(device));
  if (connect) form.ConnB->click();
  return program;
}

std::vector<std::string> PhoneWindowTest::ShownTexts(TForm1& form) {
  std::vector<std::string> texts;
  for (const auto& shown : form.bsSkinMessage1->shown())
    texts.push_back(Cp1251ToUtf8(shown.text));
  return texts;
}

bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!done()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 50);
  }
  return true;
}

std::string ScenarioWithMessages(int count, const std::string& extra_json) {
  nlohmann::json scenario =
      extra_json.empty() ? nlohmann::json::object() : nlohmann::json::parse(extra_json);
  nlohmann::json messages = nlohmann::json::array();
  for (int i = 1; i <= count; ++i) {
    messages.push_back({{"index", i},
                        {"status", i % 3 == 0 ? "STO SENT" : "REC READ"},
                        {"sender", "+7916000" + std::to_string(1000 + i)},
                        {"date", "2024/05/01,12:00:00"},
                        {"text", "Сообщение номер " + std::to_string(i)}});
  }
  scenario["messages"] = messages;
  return scenario.dump();
}

void Press(int key, Qt::KeyboardModifiers modifiers) {
  QWidget* focus = QApplication::focusWidget();
  ASSERT_NE(focus, nullptr);
  QTest::keyClick(focus, static_cast<Qt::Key>(key), modifiers);
}

void Type(const char* utf8) {
  QWidget* focus = QApplication::focusWidget();
  ASSERT_NE(focus, nullptr);
  for (const QChar c : Q(utf8))
    QTest::sendKeyEvent(QTest::Click, focus, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

}  // namespace missivo::test
