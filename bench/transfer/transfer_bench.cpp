// Export of a full archive through the default HTML template, and a P2kTools
// import of 10,000 records.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/ui.h"
#include "text/cp1251.h"
#include "text/default_language.h"
#include "transfer/export_rows.h"
#include "transfer/p2ktools_import.h"
#include "transfer/templates.h"

namespace missivo {
namespace {

struct BenchFolder {
  std::filesystem::path path;
  BenchFolder() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "missivo-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    path = pattern;
  }
  ~BenchFolder() { std::filesystem::remove_all(path); }
};

LanguageLines Russian() {
  LanguageLines language;
  language.LoadFromBytes(DefaultRussianFileBytes());
  return language;
}

// A message text of about 120 characters, Cyrillic with some markup to escape.
std::string MessageText(std::size_t i) {
  return Utf8ToCp1251("Сообщение №" + std::to_string(i) +
                      ": встреча в 18:00 у входа <метро> & потом \"кафе\", не опаздывай, "
                      "пожалуйста, перезвони когда сможешь.");
}

void BM_ExportArchiveToHtml(benchmark::State& state) {
  const auto row_count = static_cast<std::size_t>(state.range(0));
  const LanguageLines language = Russian();
  std::vector<Row> rows;
  rows.reserve(row_count);
  for (std::size_t i = 0; i < row_count; ++i) {
    const std::string text = MessageText(i);
    rows.push_back(Row{text,
                       {Utf8ToCp1251("Иван Петров (+7916") + std::to_string(1000000 + i) + ")",
                        "17/05/2006,14:03:59", std::to_string(text.size()), std::to_string(i % 100),
                        Utf8ToCp1251("Входящие")},
                       kImageIncoming});
  }
  BenchFolder folder;
  std::filesystem::create_directory(folder.path / "Data");
  std::ofstream(folder.path / "Data" / "HtmlTemplate.tml", std::ios::binary)
      << DefaultHtmlTemplate(language);
  SilentUserInterface ui;
  for (auto _ : state) {
    const ExportResult result =
        ExportRows(rows, RowSelection::All(), TemplateKind::kHtml, folder.path / "Data",
                   folder.path / "out.html", language, ui);
    if (!result.ok()) state.SkipWithError(result.error.c_str());
  }
  state.counters["bytes"] =
      static_cast<double>(std::filesystem::file_size(folder.path / "out.html"));
}
BENCHMARK(BM_ExportArchiveToHtml)->Arg(65535)->Unit(benchmark::kMillisecond);

void BM_ImportP2kToolsFile(benchmark::State& state) {
  const auto record_count = static_cast<std::size_t>(state.range(0));
  const LanguageLines language = Russian();
  BenchFolder folder;
  const std::filesystem::path file = folder.path / "messages.txt";
  {
    std::string bytes;
    for (std::size_t i = 0; i < record_count; ++i) {
      bytes += Utf8ToCp1251("Номер:\r\n+7916") + std::to_string(1000000 + i) + "\r\n";
      for (int filler = 2; filler <= 6; ++filler)
        bytes += Utf8ToCp1251("Поле\r\n");
      bytes += "2006/05/17,14:03:59\r\n";
      for (int filler = 8; filler <= 10; ++filler)
        bytes += Utf8ToCp1251("Поле\r\n");
      bytes += MessageText(i) + "   \r\n";
    }
    std::ofstream(file, std::ios::binary) << bytes;
  }
  SilentUserInterface ui;
  for (auto _ : state) {
    std::vector<Row> archive;
    const ImportRead<P2kToolsEntry> read = ReadP2kToolsFile(file);
    AppendP2kToolsRows(archive, read.entries, language, ui);
    if (archive.size() != record_count) state.SkipWithError("records lost");
    benchmark::DoNotOptimize(archive.data());
  }
}
BENCHMARK(BM_ImportP2kToolsFile)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace missivo

BENCHMARK_MAIN();
