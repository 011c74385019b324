// The SMS backup XML with a full archive: 65,535 rows exported, and a backup
// of 65,535 messages imported with the duplicate test. The import's peak is
// the process's resident peak (libxml2 allocates with malloc, not new): run
// it alone, --benchmark_filter=Import, for a figure of the import only.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <sys/resource.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/ui.h"
#include "text/cp1251.h"
#include "text/default_language.h"
#include "transfer/archive_records.h"
#include "transfer/exchange_export.h"
#include "transfer/exchange_import.h"

namespace missivo {
namespace {

constexpr std::size_t kRows = 65535;

LanguageLines Russian() {
  LanguageLines language;
  language.LoadFromBytes(DefaultRussianFileBytes());
  return language;
}

// A full archive as the read makes it: about 120 characters of Cyrillic with
// an emoji, lossless fields with a zone, a resolved sender.
std::vector<Row> FullArchive() {
  const LanguageLines language = Russian();
  std::vector<Row> rows;
  rows.reserve(kRows);
  for (std::size_t i = 0; i < kRows; ++i) {
    SmsRecord record;
    record.kind = i % 3 == 0 ? RowKind::kOutgoing : RowKind::kIncoming;
    record.text = "Сообщение №" + std::to_string(i) +
                  ": встреча в 18:00 у входа <метро> & потом \"кафе\", не опаздывай 😀, "
                  "пожалуйста, перезвони когда сможешь.";
    record.number = "+7916" + std::to_string(1000000 + i % 2000);
    record.contact = "Иван Петров";
    record.time = SmsTime{1700000000000 + static_cast<std::int64_t>(i) * 60000, 180};
    rows.push_back(RowOfRecord(record, language));
  }
  return rows;
}

// A file in a temporary folder that goes when the program ends.
std::filesystem::path TempFile(const char* name) {
  static const struct Folder {
    std::filesystem::path path;
    Folder() {
      std::string pattern =
          (std::filesystem::temp_directory_path() / "missivo-bench-XXXXXX").string();
      if (::mkdtemp(pattern.data()) == nullptr) std::abort();
      path = pattern;
    }
    ~Folder() { std::filesystem::remove_all(path); }
  } folder;
  return folder.path / name;
}

void BM_ExportArchiveToXml(benchmark::State& state) {
  const std::vector<Row> rows = FullArchive();
  const LanguageLines language = Russian();
  const std::filesystem::path out = TempFile("out.xml");
  SilentUserInterface ui;
  for (auto _ : state) {
    const ExportResult result =
        ExportMessages(rows, RowSelection::All(), MessageFormat::kAndroidXml, out, language, ui);
    if (!result.ok()) state.SkipWithError(result.error.c_str());
  }
  state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(out));
}
BENCHMARK(BM_ExportArchiveToXml)->Unit(benchmark::kMillisecond);

// Into an empty archive: every message goes through the duplicate test
// against those before it.
void BM_ImportXmlBackup(benchmark::State& state) {
  const LanguageLines language = Russian();
  const std::filesystem::path file = TempFile("backup.xml");
  {
    const std::vector<Row> rows = FullArchive();
    std::ofstream stream(file, std::ios::binary);
    if (!WriteMessages(rows, RowSelection::All(), MessageFormat::kAndroidXml,
                       [&](std::string_view bytes) {
                         stream.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
                         return true;
                       })
             .ok()) {
      state.SkipWithError("no backup");
    }
  }
  SilentUserInterface ui;
  for (auto _ : state) {
    std::vector<Row> archive;
    BackupRows backup = ReadBackupRows(file, language);
    const ImportCount count = AppendNewMessages(archive, std::move(backup.rows), language, ui);
    if (count.added != kRows) state.SkipWithError("messages lost");
    benchmark::DoNotOptimize(archive.data());
  }
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  state.counters["file_MB"] = static_cast<double>(std::filesystem::file_size(file)) / 1e6;
  state.counters["peak_RSS_MB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}
BENCHMARK(BM_ImportXmlBackup)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace missivo

BENCHMARK_MAIN();
