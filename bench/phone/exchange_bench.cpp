// AT exchanges and the message read against phonesim: throughput on an
// unthrottled line, and the CPU the program spends on an emulated 115200 baud
// line; the same for a standard USB stick read in PDU mode.
//
//   build-rel/bench/phone/phone_exchange_bench
//   build-rel/bench/phone/phone_exchange_bench --write-standard-scenario FILE
//     (writes the stick's scenario for bench/phone/compare_gammu.sh, prints
//     its part locations and ends)
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <random>
#include <string>

#include "core/ui.h"
#include "phone/at_exchange.h"
#include "phone/device_identity.h"
#include "phone/message_read.h"
#include "phone/serial/com_port.h"
#include "sms/sms_encode.h"
#include "support/phone_fixture.h"
#include "support/standard_phones.h"
#include "text/cp1251.h"
#include "text/default_language.h"
#include "text/language.h"

namespace missivo {
namespace {

class CountingTerminal : public TerminalSink {
 public:
  void AppendLine(const std::string& line) override {
    bytes += line.size();
    ++lines;
  }
  std::size_t bytes = 0;
  std::size_t lines = 0;  // two per exchange: the reply and an empty line
};

// About 2 KB of answer: information lines, then OK.
std::string BigReply() {
  std::string reply = "\r\n";
  for (int i = 0; reply.size() < 2040; ++i) {
    reply += "+CMGL: " + std::to_string(i) + ", \"REC READ\", \"+79161234567\"\r\n";
    reply += "041F04400438043204350442002C0020043C04380440\r\n";
  }
  return reply + "\r\nOK\r\n";
}

double CpuSeconds() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// phonesim with a scenario, and the program's port and exchange open on it.
struct BenchLink {
  explicit BenchLink(const nlohmann::json& scenario) : phone(scenario.dump()) {
    language.LoadFromBytes(DefaultRussianFileBytes());
    port.SetBaudRate(TBaudRate::brCustom);
    port.SetCustomBaudRate(115200);
    port.SetDeviceName(phone.Device());
    port.OnLineError = [](TCustomComPort&, TLineErrors) {
    };  // the event thread runs, as in the program
    port.Open();
  }

  test::PhoneSim phone;
  TComPort port;
  CountingTerminal terminal;
  SilentUserInterface ui;
  LanguageLines language;
  AtExchange exchange{port, terminal, ui, language};
};

// Wall and CPU time from construction on.
struct Clocks {
  double WallSeconds() const {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - wall_start).count();
  }
  double CpuSecondsSpent() const { return CpuSeconds() - cpu_start; }

  double cpu_start = CpuSeconds();
  std::chrono::steady_clock::time_point wall_start = std::chrono::steady_clock::now();
};

void RunExchanges(benchmark::State& state, int line_speed) {
  const std::string reply = BigReply();
  BenchLink link({
      {"echo", true},
      {"line_speed", line_speed},
      {"replies", {{{"command", "AT+BIG"}, {"reply", reply}}}},
  });
  std::string answer;
  std::size_t bytes = 0;
  const Clocks clocks;
  for (auto _ : state) {
    link.exchange.ExchangeCommand("AT+BIG", answer);
    bytes += answer.size();
  }
  const double wall = clocks.WallSeconds();
  const double cpu = clocks.CpuSecondsSpent();
  if (answer.size() + 1 != reply.size()) state.SkipWithError("reply not collected whole");
  const auto n = static_cast<double>(state.iterations());
  state.SetItemsProcessed(state.iterations());
  state.SetBytesProcessed(static_cast<std::int64_t>(bytes));
  state.counters["reply_bytes"] = static_cast<double>(answer.size());
  state.counters["cpu_us_per_reply"] = cpu / n * 1e6;
  state.counters["cpu_share_percent"] = cpu / wall * 100.0;
}

void BM_Exchange2KBUnthrottled(benchmark::State& state) {
  RunExchanges(state, 0);
}
BENCHMARK(BM_Exchange2KBUnthrottled)->UseRealTime()->Unit(benchmark::kMicrosecond);

void BM_Exchange2KBAt115200(benchmark::State& state) {
  RunExchanges(state, 115200);
}
BENCHMARK(BM_Exchange2KBAt115200)->UseRealTime()->Iterations(25)->Unit(benchmark::kMillisecond);

// 120 messages as phones hold them: Cyrillic texts of 70 to 160 letters, the
// four statuses, dates with two-digit years.
nlohmann::json HundredTwentyMessages() {
  std::mt19937 random(20060517);
  nlohmann::json messages = nlohmann::json::array();
  const char* const statuses[] = {"REC READ", "REC UNREAD", "STO SENT", "STO UNSENT"};
  for (int index = 1; index <= 120; ++index) {
    std::string text;  // Windows-1251: а..я and blanks
    const std::size_t length = 70 + random() % 91;
    while (text.size() < length)
      text.push_back(random() % 8 == 0 ? ' ' : static_cast<char>(0xE0 + random() % 32));
    messages.push_back({{"index", index},
                        {"status", statuses[index % 4]},
                        {"sender", "+7916" + std::to_string(1000000 + index)},
                        {"date", "24/05/01,12:00:00+12"},
                        {"text", Cp1251ToUtf8(text)}});
  }
  return messages;
}

// ReadMessages of all 120 messages, each iteration one whole read.
void BM_ReadMessages120(benchmark::State& state, int line_speed) {
  BenchLink link(
      {{"echo", true}, {"line_speed", line_speed}, {"messages", HundredTwentyMessages()}});
  std::size_t rows = 0;
  const Clocks clocks;
  for (auto _ : state) {
    const MessageReadResult result = ReadMessages(link.exchange, {}, link.language, link.ui);
    rows = result.rows.size();
  }
  const double wall = clocks.WallSeconds();
  const double cpu = clocks.CpuSecondsSpent();
  if (rows != 120) state.SkipWithError("not every message was read");
  const auto messages = static_cast<double>(state.iterations()) * 120;
  state.counters["messages_per_s"] = messages / wall;
  state.counters["line_bytes"] = static_cast<double>(link.terminal.bytes) / state.iterations();
  state.counters["cpu_us_per_message"] = cpu / messages * 1e6;
  state.counters["cpu_share_percent"] = cpu / wall * 100.0;
}

BENCHMARK_CAPTURE(BM_ReadMessages120, Unthrottled, 0)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReadMessages120, At115200, 115200)
    ->UseRealTime()
    ->Iterations(2)
    ->Unit(benchmark::kMillisecond);

// A USB stick (PDU mode, storages SM and ME) holding 120 messages, 10 of them
// in two parts (130 PDUs): Latin and Cyrillic texts, incoming and sent. A
// short Cyrillic text stays within one UCS2 part (70 characters). Every part's
// location is written out, each message taking as many as it has parts.
nlohmann::json StandardStick120(int line_speed) {
  std::mt19937 random(20240501);
  nlohmann::json messages = nlohmann::json::array();
  int index[2] = {1, 1};
  for (int m = 0; m < 120; ++m) {
    const bool long_one = m % 12 == 5;  // 10 of the 120
    const bool cyrillic = m % 3 == 0;
    std::string text;
    const std::size_t length =
        long_one ? (cyrillic ? 120 : 250) : (cyrillic ? 30 + random() % 41 : 40 + random() % 100);
    while (text.size() < length) {
      if (cyrillic) {
        text.push_back(random() % 8 == 0 ? ' ' : static_cast<char>(0xE0 + random() % 32));
      } else {
        text.push_back(random() % 8 == 0 ? ' ' : static_cast<char>('a' + random() % 26));
      }
    }
    const int storage = m % 2;
    const std::string storage_name = storage == 0 ? "SM" : "ME";
    const std::string utf8 = Cp1251ToUtf8(text);
    nlohmann::json message =
        test::StandardMessage(storage_name, index[storage], m % 5 == 4 ? "STO SENT" : "REC READ",
                              "+7916" + std::to_string(1000000 + m), utf8);
    message["reference"] = m;
    const auto parts = sms::SplitText(utf8);
    const std::size_t count = parts.ok() ? parts.value().size() : 1;
    for (std::size_t k = 1; k <= count; ++k) {
      message["parts"].push_back(
          {{"sequence", k}, {"storage", storage_name}, {"index", index[storage]++}});
    }
    messages.push_back(message);
  }
  return {{"profile", "standard"},
          {"maker", "huawei"},
          {"model", "E3372"},
          {"revision", "21.180.01.00.00"},
          {"echo", true},
          {"line_speed", line_speed},
          {"standard", {{"storages", {"SM", "ME", "MT"}}, {"storage_size", 100}}},
          {"messages", messages}};
}

// The whole read of the stick through its profile, identification included,
// each iteration a new connection's read.
void BM_StandardRead120(benchmark::State& state, int line_speed) {
  BenchLink link(StandardStick120(line_speed));
  std::size_t rows = 0;
  std::size_t bytes = 0;
  const Clocks clocks;
  for (auto _ : state) {
    const std::size_t before = link.terminal.bytes + link.terminal.lines / 2;
    ConnectionProfile profile;
    const MessageReadResult result =
        profile.Get(link.exchange).ReadMessages(link.exchange, {}, link.language, link.ui);
    rows = result.rows.size();
    // What the device sent: every reply shown, and the LF after each final CR.
    bytes = link.terminal.bytes + link.terminal.lines / 2 - before;
  }
  const double wall = clocks.WallSeconds();
  const double cpu = clocks.CpuSecondsSpent();
  if (rows != 120) state.SkipWithError("not every message was read");
  const auto reads = static_cast<double>(state.iterations());
  state.counters["ms_per_read"] = wall / reads * 1e3;
  state.counters["device_bytes"] = static_cast<double>(bytes);
  state.counters["cpu_share_percent"] = cpu / wall * 100.0;
  if (line_speed > 0) {
    const double floor = static_cast<double>(bytes) * 10.0 / line_speed;
    state.counters["line_floor_ms"] = floor * 1e3;
    state.counters["times_floor"] = wall / reads / floor;
  }
}

BENCHMARK_CAPTURE(BM_StandardRead120, Unthrottled, 0)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_StandardRead120, At115200, 115200)
    ->UseRealTime()
    ->Iterations(2)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace missivo

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--write-standard-scenario") {
    const nlohmann::json stick = missivo::StandardStick120(0);
    missivo::test::WriteBytes(argv[2], stick.dump(1));
    // The part locations, one "storage index" a line, for the comparison's check.
    for (const auto& message : stick["messages"]) {
      for (const auto& part : message["parts"])
        std::printf("%s %d\n", part["storage"].get<std::string>().c_str(),
                    part["index"].get<int>());
    }
    return 0;
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
