// Name resolution over a full archive: 65,535 rows against 2,000 contacts.
#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

#include "phone/message_rows.h"
#include "phone/name_resolution.h"
#include "store/contact_fields.h"

namespace missivo {
namespace {

// `prefix` followed by `count` random digits.
std::string Digits(std::mt19937& random, std::string prefix, int count) {
  std::string digits = std::move(prefix);
  for (int i = 0; i < count; ++i)
    digits.push_back(static_cast<char>('0' + random() % 10));
  return digits;
}

struct Lists {
  std::vector<Row> archive;
  std::vector<Row> contacts;
};

// Contacts in the forms phones keep ("+7916…", "8916…", "916…"); senders that are
// contacts in another form, strangers, and short service numbers.
Lists MakeLists(std::size_t rows, std::size_t contacts) {
  std::mt19937 random(7);
  Lists lists;
  std::vector<std::string> numbers;
  for (std::size_t i = 0; i < contacts; ++i) {
    const std::string core = Digits(random, "9", 9);
    std::string number = i % 3 == 0 ? "+7" : (i % 3 == 1 ? "8" : "");
    number.append(core);
    numbers.push_back(core);
    std::string name = "Contact ";
    name.append(std::to_string(i));
    lists.contacts.push_back(MakeContactRow(std::move(name), std::move(number)));
  }
  for (std::size_t i = 0; i < rows; ++i) {
    std::string from;
    switch (random() % 4) {
      case 0:
      case 1:
        from = "+7";
        from.append(numbers[random() % numbers.size()]);
        break;
      case 2:
        from = Digits(random, "+7", 10);
        break;
      default:
        from = Digits(random, "", 4);
    }
    lists.archive.push_back(Row{"text", {from, "17/05/2006,14:03:59", "4", "1", "t"}, 2});
  }
  return lists;
}

void BM_ResolveArchive(benchmark::State& state) {
  const Lists lists =
      MakeLists(static_cast<std::size_t>(state.range(0)), static_cast<std::size_t>(state.range(1)));
  std::size_t resolved = 0;
  for (auto _ : state) {
    state.PauseTiming();
    std::vector<Row> archive = lists.archive;
    state.ResumeTiming();
    resolved = ResolveNames(archive, lists.contacts);
    benchmark::DoNotOptimize(archive.data());
  }
  state.counters["resolved"] = static_cast<double>(resolved);
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ResolveArchive)->Args({65535, 2000})->Unit(benchmark::kMillisecond);

// A second run over an archive already resolved: nothing matches any more.
void BM_ResolveResolvedArchive(benchmark::State& state) {
  Lists lists = MakeLists(65535, 2000);
  ResolveNames(lists.archive, lists.contacts);
  for (auto _ : state)
    benchmark::DoNotOptimize(ResolveNames(lists.archive, lists.contacts));
}
BENCHMARK(BM_ResolveResolvedArchive)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace missivo

BENCHMARK_MAIN();
