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

#include "app/program.h"
#include "app/row_model.h"
#include "full_archive.h"
#include "store/list_file.h"

namespace missivo {
namespace {

class StartFolder {
 public:
  StartFolder() {
    char pattern[] = "/tmp/missivo-bench-XXXXXX";
    folder_ = ::mkdtemp(pattern);
    ::setenv("XDG_CONFIG_HOME", (folder_ / "config").c_str(), 1);
    if (!WriteFullArchiveFolder(folder_ / "program")) std::abort();
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
