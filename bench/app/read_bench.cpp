// The read command of the window (F3) on 1,000 messages from phonesim on an
// unthrottled line, with the terminal log on and off: the log must not make
// the read noticeably slower. Each read runs into an empty archive and an
// empty terminal. Run on Qt's offscreen platform:
//   QT_QPA_PLATFORM=offscreen build-rel/bench/app/read_bench
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>

#include "app/check_box.h"
#include "app/program.h"
#include "app/row_model.h"
#include "app/terminal_view.h"
#include "phone/serial/com_port.h"
#include "support/phone_fixture.h"

namespace missivo {
namespace {

constexpr int kMessages = 1000;

std::string Scenario() {
  nlohmann::json messages = nlohmann::json::array();
  for (int i = 1; i <= kMessages; ++i) {
    messages.push_back({{"index", i},
                        {"status", "REC READ"},
                        {"sender", "+7916" + std::to_string(1000000 + i)},
                        {"date", "2024/05/01,12:00:00"},
                        {"text", "Сообщение номер " + std::to_string(i) +
                                     ": встретимся завтра у входа в парк в семь вечера"}});
  }
  return nlohmann::json{{"echo", true}, {"messages", messages}}.dump();
}

void BM_ReadThousandMessages(benchmark::State& state) {
  const bool logging = state.range(0) != 0;
  test::TempFolder folder;
  ::setenv("XDG_CONFIG_HOME", (folder / "config").c_str(), 1);
  test::PhoneSim phone(Scenario());
  TForm1::Options options;
  options.program_folder = folder / "program";
  std::filesystem::create_directories(options.program_folder);
  options.scripted_dialogs = true;
  Program program(options);
  program.Start();
  TForm1& form = program.form1();
  form.Check3->SetChecked(logging);
  form.PT->setEditText(QString::fromStdString(phone.Device()));
  form.ConnBClick();

  for (auto _ : state) {
    form.N18->trigger();
    state.PauseTiming();
    if (form.List1Rows->rows().size() != kMessages) state.SkipWithError("the read fell short");
    const bool log_kept = std::filesystem::exists(form.ProgramFolder() / "Terminal.log");
    if (log_kept != logging) state.SkipWithError("the log is not as asked");
    form.bsSkinButton2Click();
    form.List4Rows->SetRows({});
    std::filesystem::remove(form.Files().archive);
    QCoreApplication::processEvents();
    state.ResumeTiming();
  }
  state.counters["messages"] = kMessages;
}
BENCHMARK(BM_ReadThousandMessages)
    ->ArgName("log")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(5.0)
    ->UseRealTime();

}  // namespace
}  // namespace missivo
