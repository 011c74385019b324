// The start sequence in a fresh and in a used program folder, the templates,
// the splash window, the exit sequence and the application's error handler.
#include <QAction>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <stdexcept>

#include "app/check_box.h"
#include "app/default_templates.h"
#include "app/guard.h"
#include "app/password_windows.h"
#include "app/qt_user_interface.h"
#include "app/row_model.h"
#include "app/splash.h"
#include "app/status_panel.h"
#include "app_test_support.h"
#include "text/default_language.h"
#include "text/lines.h"
#include "transfer/templates.h"

namespace missivo::test {
namespace {

using StartupTest = AppTest;

const char kRussianText[] =
    "******************************\r\n"
    "Номер: $Number\r\n"
    "Дата/Время: $Date\r\n"
    "Размер: $Size\r\n"
    "Индекс: $Index\r\n"
    "Тип: $Type\r\n"
    "Сообщение: $Message\r\n";

const char kRussianHtml[] =
    "<table border=\"0\" width=\"100%\" id=\"table1\"><tr>\r\n"
    "<td width=\"103\"><b>Номер:</b></td>\r\n"
    "<td>$Number</td></tr><tr>\r\n"
    "<td width=\"103\"><b>Дата/Время:</b></td>\r\n"
    "<td>$Date</td></tr><tr>\r\n"
    "<td width=\"103\"><b>Размер:</b></td>\r\n"
    "<td>$Size</td></tr><tr>\r\n"
    "<td width=\"103\"><b>Индекс:</b></td>\r\n"
    "<td>$Index</td></tr><tr>\r\n"
    "<td width=\"103\"><b>Тип:</b></td>\r\n"
    "<td>$Type</td></tr><tr>\r\n"
    "<td width=\"103\"><b>Сообщение:</b></td>\r\n"
    "<td>$Message</td></tr></table><hr>\r\n";

TEST_F(StartupTest, FirstStartInAnEmptyFolderSpeaksRussianAtOnce) {
  auto program = StartProgram();
  TForm1& form = program->form1();
  const auto base = form.ProgramFolder();

  EXPECT_EQ(form.windowTitle(), Q("Missivo 3.3"));
  EXPECT_TRUE(std::filesystem::is_directory(base / "Skins"));
  EXPECT_TRUE(std::filesystem::is_directory(base / "Data"));
  // The folder and the Russian file come in the same start, so nothing reads "---".
  EXPECT_EQ(ReadBytes(base / "Language" / "Russian.lng"), DefaultRussianFileBytes());
  EXPECT_TRUE(std::filesystem::exists(base / "Language" / "English.lng"));
  EXPECT_TRUE(std::filesystem::exists(base / "Language" / "Ukrainian.lng"));
  EXPECT_TRUE(std::filesystem::exists(base / "Skins" / "Daylight" / "skin.ini"));
  EXPECT_TRUE(std::filesystem::exists(base / "Skins" / "Nightfall" / "skin.qss"));

  EXPECT_EQ(form.ConnB->text(), Q("Подключить"));
  EXPECT_EQ(form.N1->title(), Q("Телефон"));
  EXPECT_EQ(form.bsSkinPageControl1->tabText(0), Q("Сообщения"));
  EXPECT_EQ(form.bsSkinPageControl1->tabText(1), Q("Архив"));
  EXPECT_EQ(form.bsSkinPageControl1->currentWidget(), form.SMSTAB);
  EXPECT_EQ(form.Panel1->Text(), Q("Статус: Отключен"));
  EXPECT_EQ(form.SkinMenu->actions().last()->text(), Q("По умолчанию"));

  // The Russian item is chosen, and the choice is the only setting written.
  QAction* russian = nullptr;
  for (QAction* item : form.N14->actions()) {
    if (item->isChecked()) russian = item;
  }
  ASSERT_NE(russian, nullptr);
  EXPECT_EQ(russian->text(), Q("Русский    (Автор: Varsk)"));
  EXPECT_EQ(StoredSettings(),
            (std::map<std::string, std::string>{{"LngName", "Русский    (Автор: Varsk)"}}));

  EXPECT_EQ(ReadBytes(base / "Data" / "TextTemplate.tml"), W(kRussianText));
  EXPECT_EQ(ReadBytes(base / "Data" / "HtmlTemplate.tml"), W(kRussianHtml));
  EXPECT_EQ(form.bsSkinMessage1->password_prompts(), 0);
  EXPECT_TRUE(form.bsSkinMessage1->shown().empty());
}

TEST_F(StartupTest, SecondStartChoosesTheRememberedLanguageAndKeepsFiles) {
  StartProgram();
  const auto language = folder() / "program" / "Language" / "Russian.lng";
  const auto templ = folder() / "program" / "Data" / "TextTemplate.tml";
  WriteBytes(templ, "my own template\r\n");

  auto program = StartProgram();
  TForm1& form = program->form1();
  ASSERT_EQ(form.N14->actions().size(), 3);
  int checked = 0;
  for (QAction* item : form.N14->actions()) {
    if (!item->isChecked()) continue;
    ++checked;
    EXPECT_EQ(item->text(), Q("Русский    (Автор: Varsk)"));
  }
  EXPECT_EQ(checked, 1);
  EXPECT_EQ(ReadBytes(language), DefaultRussianFileBytes());
  EXPECT_EQ(ReadBytes(templ), "my own template\r\n");
}

TEST_F(StartupTest, TemplatesTakeTheirLabelsFromTheLanguage) {
  LanguageLines english;
  english.LoadFromBytes(ReadBytes(std::filesystem::path(MISSIVO_SOURCE_DIR) / "resources" /
                                  "languages" / "English.lng"));
  EXPECT_EQ(DefaultTextTemplate(english),
            "******************************\r\nNumber: $Number\r\nDate/Time: $Date\r\n"
            "Size: $Size\r\nIndex: $Index\r\nType: $Type\r\nMessage: $Message\r\n");
  // With no language at all every label reads "---".
  const auto html = SplitCrLf(DefaultHtmlTemplate(LanguageLines()));
  ASSERT_EQ(html.size(), 13u);
  EXPECT_EQ(html[1], "<td width=\"103\"><b>---</b></td>");
}

// Notes that a widget was shown, however soon it is hidden again: a loaded
// machine may run the show and the splash's short timer in one batch of events.
class ShowWatcher : public QObject {
 public:
  bool shown = false;
  bool eventFilter(QObject* object, QEvent* event) override {
    if (event->type() == QEvent::Show) shown = true;
    return QObject::eventFilter(object, event);
  }
};

TEST_F(StartupTest, SplashShowsAtTheFirstEventsAndHidesAfterItsTime) {
  Program program(Options(), std::chrono::milliseconds(200));
  TForm2& splash = program.form2();
  ShowWatcher watcher;
  splash.installEventFilter(&watcher);
  EXPECT_FALSE(splash.isVisible());
  EXPECT_TRUE(splash.Timer1->isActive());
  EXPECT_TRUE(splash.windowFlags().testFlag(Qt::FramelessWindowHint));
  EXPECT_EQ(splash.size(), QSize(TForm2::kPictureWidth + 8, TForm2::kPictureHeight + 8));
  program.Start();
  EXPECT_TRUE(QTest::qWaitFor([&] { return watcher.shown; }, 5000));
  EXPECT_FALSE(program.form1().Timer3->isActive());
  EXPECT_TRUE(QTest::qWaitFor([&] { return !splash.isVisible(); }, 5000));
  EXPECT_FALSE(splash.Timer1->isActive());
}

TEST_F(StartupTest, ExitDeletesTheTerminalLogOnlyWithCheck11) {
  for (const bool delete_log : {false, true}) {
    auto program = StartProgram();
    TForm1& form = program->form1();
    const auto log = form.ProgramFolder() / "Terminal.log";
    WriteBytes(log, "AT\r\n");
    form.Check11->SetChecked(delete_log);
    form.close();
    EXPECT_EQ(std::filesystem::exists(log), !delete_log) << delete_log;
  }
}

// An object whose events fail, as a port error raised in an event handler does.
class FailingObject : public QObject {
 public:
  bool event(QEvent* event) override {
    if (event->type() == QEvent::User) throw std::runtime_error("Port /dev/ttyUSB0: timeout");
    return QObject::event(event);
  }
};

TEST_F(StartupTest, ErrorsReachingTheEventLoopAreShown) {
  auto program = StartProgram();
  TForm1& form = program->form1();
  QPushButton button;
  QObject::connect(&button, &QPushButton::clicked,
                   Guarded([] { throw std::runtime_error(W("Ощибка2: нет устройства")); }));
  QTest::mouseClick(&button, Qt::LeftButton);
  FailingObject failing;
  QEvent user(QEvent::User);
  QCoreApplication::sendEvent(&failing, &user);

  const auto& shown = form.bsSkinMessage1->shown();
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[0].text, W("Ощибка2: нет устройства"));
  EXPECT_EQ(shown[0].kind, MessageKind::kError);
  EXPECT_EQ(shown[1].text, "Port /dev/ttyUSB0: timeout");
}

TEST_F(StartupTest, ExitCommandsCloseTheWindow) {
  auto program = StartProgram();
  TForm1& form = program->form1();
  form.show();
  form.N9->trigger();
  EXPECT_FALSE(form.isVisible());

  auto second = StartProgram();
  second->form1().show();
  second->form1().bsSkinSpeedButton5->click();
  EXPECT_FALSE(second->form1().isVisible());
}

}  // namespace
}  // namespace missivo::test
