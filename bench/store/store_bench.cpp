// The store at the list file's limit: an archive of 65,535 message rows with
// texts of 70 to 160 Cyrillic letters. Loading, saving, sorting, appending,
// the memory the archive takes, and the container's speed against nettle's
// raw Blowfish. The first argument of the archive benchmarks is the rows'
// shape: 0 the five sub-items only (an archive of older versions); 2 lossless
// fields as a read of a common message makes them (kind, number, zoned time,
// part index; the caption holds the whole text, so the text is not repeated);
// 1 lossless fields with a text the caption cannot hold (a line break and an
// emoji), so the whole UTF-8 text is stored beside the caption: the largest
// rows the read makes.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <stdlib.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <new>
#include <random>
#include <string>
#include <vector>

#include "core/ui.h"
#include "store/archive.h"
#include "store/container.h"
#include "store/crypto.h"
#include "store/list_file.h"
#include "store/message_fields.h"
#include "store/row_list.h"
#include "store/stored_list.h"
#include "text/cp1251.h"

// Every allocation through operator new is counted, to know the peak.
namespace {

std::atomic<std::size_t> g_live_bytes{0};
std::atomic<std::size_t> g_peak_bytes{0};

void* Allocate(std::size_t size) {
  void* block = std::malloc(size + sizeof(std::max_align_t));
  if (block == nullptr) throw std::bad_alloc();
  *static_cast<std::size_t*>(block) = size;
  const std::size_t live = g_live_bytes.fetch_add(size) + size;
  std::size_t peak = g_peak_bytes.load();
  while (live > peak && !g_peak_bytes.compare_exchange_weak(peak, live)) {
  }
  return static_cast<char*>(block) + sizeof(std::max_align_t);
}

void Release(void* pointer) {
  if (pointer == nullptr) return;
  void* block = static_cast<char*>(pointer) - sizeof(std::max_align_t);
  g_live_bytes.fetch_sub(*static_cast<std::size_t*>(block));
  std::free(block);
}
}  // namespace

void* operator new(std::size_t size) {
  return Allocate(size);
}
void* operator new[](std::size_t size) {
  return Allocate(size);
}
void operator delete(void* pointer) noexcept {
  Release(pointer);
}
void operator delete[](void* pointer) noexcept {
  Release(pointer);
}
void operator delete(void* pointer, std::size_t) noexcept {
  Release(pointer);
}
void operator delete[](void* pointer, std::size_t) noexcept {
  Release(pointer);
}

namespace missivo {
namespace {

// The archive file as the window holds it: loads go through the folder lock
// and remember what they read, as every program's do.
struct StoredArchive {
  explicit StoredArchive(const std::filesystem::path& path)
      : folder_lock(path.parent_path()), file(path, folder_lock, lock, DamagePolicy::kSetAside) {}
  LockState lock;
  FolderLock folder_lock;
  StoredList file;
};

constexpr std::size_t kRows = 65535;

std::string Digits(std::mt19937& random, int count) {
  std::string digits;
  for (int i = 0; i < count; ++i)
    digits.push_back(static_cast<char>('0' + random() % 10));
  return digits;
}

std::string TwoDigits(unsigned value) {
  return std::string(1, static_cast<char>('0' + value / 10)) + static_cast<char>('0' + value % 10);
}

// A message as a phone delivers it: Cyrillic words, blanks, some punctuation;
// `length` letters, or 70 to 160. With `shape` 1 or 2, the row's lossless
// fields as the read writes them; with 1 for the text with a line break in the
// middle and an emoji at the end (the caption shows "?").
Row RealisticRow(std::mt19937& random, std::int64_t shape = 0, std::size_t length = 0) {
  if (length == 0) length = 70 + random() % 91;
  std::string text;
  while (text.size() < length) {
    const unsigned pick = random() % 12;
    if (pick == 0 && !text.empty() && text.back() != ' ') {
      text.push_back(' ');
    } else if (pick == 1 && !text.empty() && text.back() != ' ') {
      text.push_back(",.!?"[random() % 4]);
    } else {
      text.push_back(static_cast<char>(0xC0 + random() % 64));  // А..я
    }
  }
  std::string from = "+7916" + Digits(random, 7);
  if (random() % 3 == 0) from = "\xC8\xE2\xE0\xED (" + from.substr(2) + ")";  // "Иван (…)"
  const std::string date = TwoDigits(1 + random() % 28) + "/" + TwoDigits(1 + random() % 12) +
                           "/200" + std::to_string(5 + random() % 3) + "," +
                           TwoDigits(random() % 24) + ":" + TwoDigits(random() % 60) + ":" +
                           TwoDigits(random() % 60);
  const bool incoming = random() % 4 != 0;
  const std::string index = std::to_string(1 + random() % 350);
  Row row{text,
          {from, date, std::to_string(text.size()), index,
           incoming ? "\xC2\xF5\xEE\xE4\xFF\xF9\xE8\xE5" : "\xC8\xF1\xF5\xEE\xE4\xFF\xF9\xE8\xE5"},
          incoming ? kImageIncoming : kImageOutgoing};
  if (shape != 0) {
    MessageFields fields;
    fields.kind = incoming ? RowKind::kIncoming : RowKind::kOutgoing;
    fields.text = Cp1251ToUtf8(text);
    if (shape == 1) {
      row.caption.back() = '?';
      std::string whole = Cp1251ToUtf8(text.substr(0, text.size() - 1));
      std::size_t middle = whole.size() / 2;
      while ((static_cast<unsigned char>(whole[middle]) & 0xC0) == 0x80)
        --middle;
      whole.insert(middle, "\n");
      fields.text = whole + "\xF0\x9F\x91\x8B";  // U+1F44B
    }
    fields.number = "+7916" + Digits(random, 7);
    fields.time = "2006-05-17T14:03:59+03:00";
    fields.parts = {index};
    WriteMessageFields(row, fields);
  }
  return row;
}

std::vector<Row> MakeArchiveRows(std::int64_t shape, std::size_t length) {
  std::mt19937 random(20060517);
  std::vector<Row> made;
  made.reserve(kRows);
  for (std::size_t i = 0; i < kRows; ++i)
    made.push_back(RealisticRow(random, shape, length));
  return made;
}

// The archive rows of each shape (0, 1, 2; see the top of the file).
const std::vector<Row>& ArchiveRows(std::int64_t shape = 0) {
  static const std::vector<Row> rows[3] = {MakeArchiveRows(0, 0), MakeArchiveRows(1, 0),
                                           MakeArchiveRows(2, 0)};
  return rows[shape];
}

// A folder for the benchmark's files, removed at exit.
const std::filesystem::path& BenchFolder() {
  static const std::filesystem::path folder = [] {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "missivo-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    std::atexit([] { std::filesystem::remove_all(BenchFolder()); });
    return std::filesystem::path(pattern);
  }();
  return folder;
}

std::filesystem::path WrittenArchive(const std::vector<Row>& rows, const char* name) {
  std::filesystem::path file = BenchFolder() / name;
  if (!WriteListFile(rows, file).ok()) std::abort();
  return file;
}

// The archive file of ArchiveRows(shape).
const std::filesystem::path& ArchiveFile(std::int64_t shape = 0) {
  static const std::filesystem::path files[3] = {WrittenArchive(ArchiveRows(0), "Messages.sms"),
                                                 WrittenArchive(ArchiveRows(1), "Lossless.sms"),
                                                 WrittenArchive(ArchiveRows(2), "Common.sms")};
  return files[shape];
}

void BM_LoadArchive(benchmark::State& state) {
  const auto& path = ArchiveFile(state.range(0));
  SilentUserInterface ui;
  StoredArchive stored(path);
  for (auto _ : state) {
    RowList archive = MakeMessageList();
    if (!LoadListFile(archive, stored.file, ui).ok()) state.SkipWithError("load failed");
    benchmark::DoNotOptimize(archive.rows.data());
    state.PauseTiming();
    archive.rows = {};
    state.ResumeTiming();
  }
  state.counters["file_MB"] = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
}
BENCHMARK(BM_LoadArchive)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

void BM_SaveArchive(benchmark::State& state) {
  const std::vector<Row>& rows = ArchiveRows(state.range(0));
  const auto path = BenchFolder() / "Saved.sms";
  for (auto _ : state) {
    if (!WriteListFile(rows, path).ok()) state.SkipWithError("save failed");
  }
}
BENCHMARK(BM_SaveArchive)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

// Encoding and sealing alone, without the disk.
void BM_EncodeAndSealArchive(benchmark::State& state) {
  const std::vector<Row>& rows = ArchiveRows(state.range(0));
  for (auto _ : state) {
    std::string sealed = SealBytes(EncodeListFile(rows).value(), kFixedPassphrase);
    benchmark::DoNotOptimize(sealed.data());
  }
}
BENCHMARK(BM_EncodeAndSealArchive)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

void BM_SortArchive(benchmark::State& state) {
  const int column = static_cast<int>(state.range(0));
  RowList archive = MakeMessageList();
  for (auto _ : state) {
    state.PauseTiming();
    archive.rows = ArchiveRows(state.range(1));
    SortState sort;
    state.ResumeTiming();
    SortListByColumn(archive, column, sort);
    benchmark::DoNotOptimize(archive.rows.data());
  }
}
BENCHMARK(BM_SortArchive)
    ->ArgsProduct({benchmark::CreateDenseRange(0, 5, 1), {0, 1, 2}})
    ->Unit(benchmark::kMillisecond);

// 200 rows read from the phone, half of them already archived, into a full archive.
void BM_AppendToArchive(benchmark::State& state) {
  const std::int64_t shape = state.range(0);
  std::mt19937 random(7);
  std::vector<Row> incoming;
  for (int i = 0; i < 100; ++i)
    incoming.push_back(RealisticRow(random, shape));
  for (int i = 0; i < 100; ++i)
    incoming.push_back(ArchiveRows(state.range(0))[static_cast<std::size_t>(i) * 600]);
  RowList archive = MakeMessageList();
  archive.rows = ArchiveRows(state.range(0));
  archive.rows.reserve(kRows + incoming.size());
  SilentUserInterface ui;
  std::size_t appended = 0;
  for (auto _ : state) {
    appended = AppendToArchive(archive, incoming, ui);
    state.PauseTiming();
    archive.rows.resize(kRows);
    state.ResumeTiming();
  }
  state.counters["appended"] = static_cast<double>(appended);
}
BENCHMARK(BM_AppendToArchive)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

// The archive file of 65,535 rows of exactly 160 letters each, of each shape.
const std::filesystem::path& Archive160(std::int64_t shape) {
  static const std::filesystem::path files[3] = {
      WrittenArchive(MakeArchiveRows(0, 160), "Five160.sms"),
      WrittenArchive(MakeArchiveRows(1, 160), "Lossless160.sms"),
      WrittenArchive(MakeArchiveRows(2, 160), "Common160.sms")};
  return files[shape];
}

// The memory the loaded archive holds (malloc's own count, overhead
// included) and the peak of the live allocations while it loads. Arguments:
// the rows' shape (0, 1, 2); texts of 70 to 160 letters (0) or of 160 (1).
void BM_ArchiveMemory(benchmark::State& state) {
  const auto& path = state.range(1) != 0 ? Archive160(state.range(0)) : ArchiveFile(state.range(0));
  SilentUserInterface ui;
  StoredArchive stored(path);
  double held_mb = 0;
  double peak_mb = 0;
  for (auto _ : state) {
    const std::size_t heap_before = mallinfo2().uordblks;
    const std::size_t live_before = g_live_bytes.load();
    g_peak_bytes.store(live_before);
    RowList archive = MakeMessageList();
    if (!LoadListFile(archive, stored.file, ui).ok()) state.SkipWithError("load failed");
    held_mb = static_cast<double>(mallinfo2().uordblks - heap_before) / 1e6;
    peak_mb = static_cast<double>(g_peak_bytes.load() - live_before) / 1e6;
  }
  state.counters["held_MB"] = held_mb;
  state.counters["peak_MB"] = peak_mb;
  state.counters["file_MB"] = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
}
BENCHMARK(BM_ArchiveMemory)
    ->ArgsProduct({{0, 1, 2}, {0, 1}})
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

// Damaged list files whose counts promise more than their bytes hold: five
// bytes claiming 65535 rows (argument 0), and one row claiming 65535
// sub-items with none there (argument 1). Both fail; the peak is what the
// decoder allocated before it found out.
void BM_DecodeListFileClaimingTooMuch(benchmark::State& state) {
  const std::string plain = state.range(0) == 0
                                ? std::string("LVF\xFF\xFF", 5)
                                : std::string("LVF\x01\x00\xFF\xFF\0\0\0\0\0\0", 13);
  double peak_kb = 0;
  for (auto _ : state) {
    const std::size_t live_before = g_live_bytes.load();
    g_peak_bytes.store(live_before);
    if (DecodeListFile(plain).ok()) state.SkipWithError("a damaged file decoded");
    peak_kb = static_cast<double>(g_peak_bytes.load() - live_before) / 1e3;
  }
  state.counters["peak_KB"] = peak_kb;
}
BENCHMARK(BM_DecodeListFileClaimingTooMuch)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

std::string Buffer() {
  return std::string(16 << 20, '\x5A');
}

void BM_ContainerSeal(benchmark::State& state) {
  std::string plain = Buffer();
  for (auto _ : state) {
    std::string sealed = SealBytes(plain, kFixedPassphrase);
    benchmark::DoNotOptimize(sealed.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * plain.size()));
}
BENCHMARK(BM_ContainerSeal)->Unit(benchmark::kMillisecond);

void BM_ContainerUnseal(benchmark::State& state) {
  const std::string sealed = SealBytes(Buffer(), kFixedPassphrase);
  for (auto _ : state) {
    Result<std::string> plain = UnsealBytes(sealed, kFixedPassphrase);
    benchmark::DoNotOptimize(plain.value().data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * (sealed.size() - 16)));
}
BENCHMARK(BM_ContainerUnseal)->Unit(benchmark::kMillisecond);

// nettle's Blowfish on whole blocks, with no chaining: the practical limit.
// Argument 0 encrypts, 1 decrypts.
void BM_RawBlowfish(benchmark::State& state) {
  std::string data = Buffer();
  const std::uint8_t key[56] = {1, 2, 3};
  const Blowfish cipher(key);
  auto* bytes = reinterpret_cast<std::uint8_t*>(data.data());
  const bool decrypt = state.range(0) == 1;
  for (auto _ : state) {
    if (decrypt) {
      cipher.Decrypt(bytes, bytes, data.size());
    } else {
      cipher.Encrypt(bytes, bytes, data.size());
    }
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * data.size()));
}
BENCHMARK(BM_RawBlowfish)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace missivo

BENCHMARK_MAIN();
