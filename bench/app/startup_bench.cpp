// The window program's start with the archive at the list file's limit:
// 65,535 message rows with texts of 70 to 160 Cyrillic letters and a small
// phonebook. Measured from creating the windows to a shown and painted main
// window with the archive loaded (the second start in a folder: language
// files, skins and templates are there already). Run on Qt's offscreen
// platform:
//   QT_QPA_PLATFORM=offscreen build-rel/bench/app/startup_bench
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <QCoreApplication>
#include <QTreeView>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "app/program.h"
#include "app/row_model.h"
#include "store/list_file.h"

namespace missivo {
namespace {

std::vector<Row> FullArchive() {
  std::mt19937 random(42);
  std::uniform_int_distribution<int> length(70, 160);
  std::uniform_int_distribution<int> letter(0xE0, 0xFF);  // а..я in Windows-1251
  std::vector<Row> rows;
  rows.reserve(kListFileLimit);
  for (std::size_t i = 0; i < kListFileLimit; ++i) {
    std::string text;
    const int size = length(random);
    for (int c = 0; c < size; ++c)
      text.push_back(static_cast<char>(letter(random)));
    rows.push_back(
        Row{text,
            {"+7900" + std::to_string(1000000 + i % 5000), "05/01/2006,10:00:00",
             std::to_string(size), std::to_string(i + 1), "\xC2\xF5\xEE\xE4\xFF\xF9\xE8\xE5"},
            2});
  }
  return rows;
}

class StartFolder {
 public:
  StartFolder() {
    char pattern[] = "/tmp/missivo-bench-XXXXXX";
    folder_ = ::mkdtemp(pattern);
    std::filesystem::create_directories(folder_ / "program" / "Data");
    ::setenv("XDG_CONFIG_HOME", (folder_ / "config").c_str(), 1);
    if (!WriteListFile(FullArchive(), folder_ / "program" / "Data" / "Messages.sms").ok()) {
      std::abort();
    }
  }
  ~StartFolder() { std::filesystem::remove_all(folder_); }
  TForm1::Options Options() const {
    TForm1::Options options;
    options.program_folder = folder_ / "program";
    options.scripted_dialogs = true;
    return options;
  }

 private:
  std::filesystem::path folder_;
};

void BM_StartWithFullArchive(benchmark::State& state) {
  StartFolder folder;
  {
    Program first(folder.Options());  // the first start writes languages, skins, templates
    first.Start();
  }
  for (auto _ : state) {
    auto program = std::make_unique<Program>(folder.Options());
    if (!program->Start()) state.SkipWithError("the start ended the program");
    program->form1().show();
    program->form1().repaint();
    QCoreApplication::processEvents();
    benchmark::DoNotOptimize(program->form1().List4->model()->rowCount());
    state.PauseTiming();
    if (program->form1().List4Rows->rows().size() != kListFileLimit) {
      state.SkipWithError("the archive did not load");
    }
    program.reset();
    QCoreApplication::processEvents();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_StartWithFullArchive)->Unit(benchmark::kMillisecond)->MinTime(3.0);

}  // namespace
}  // namespace missivo
