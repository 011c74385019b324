// The SMS codec: decoding a phone's listing of 120 PDUs (100 messages of one
// part, 10 of two), and encoding a text of three parts.
//
//   build-rel/bench/sms/sms_bench
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "sms/sms_encode.h"
#include "sms/sms_pdu.h"

namespace missivo::sms {
namespace {

std::string Text(const std::string& piece, std::size_t length) {
  std::string text;
  while (text.size() < length)
    text += piece;
  return text;
}

// The PDUs of a full listing: 7-bit and UCS2 messages of one part near their
// limits, and ten long 7-bit messages of two parts each.
std::vector<std::string> Listing() {
  std::vector<std::string> pdus;
  for (int i = 0; i < 110; ++i) {
    DeliverMessage message;
    message.service_centre = "+79037011111";
    message.sender = "+7916123" + std::to_string(1000 + i);
    message.time = Timestamp{2026, 1 + i % 12, 1 + i % 28, i % 24, i % 60, 30, 12};
    message.reference = static_cast<std::uint16_t>(i);
    if (i < 10)
      message.text = Text("A long message of two parts, number " + std::to_string(i) + ". ", 250);
    else if (i % 2 == 0)
      message.text = Text("Plain text with [brackets] and €. ", 120);
    else
      message.text = Text("Привет, как дела? ", 90);
    const auto parts = EncodeDeliver(message);
    if (!parts.ok()) continue;
    pdus.insert(pdus.end(), parts.value().begin(), parts.value().end());
  }
  return pdus;
}

void BM_DecodeListing(benchmark::State& state) {
  const std::vector<std::string> pdus = Listing();
  if (pdus.size() != 120) state.SkipWithError("the listing is not 120 PDUs");
  for (auto _ : state) {
    for (const std::string& hex : pdus) {
      const Result<Pdu> pdu = DecodePdu(hex);
      benchmark::DoNotOptimize(pdu.ok());
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(pdus.size()));
}
BENCHMARK(BM_DecodeListing);

void BM_EncodeThreeParts(benchmark::State& state) {
  const bool ucs2 = state.range(0) != 0;
  const std::string text = ucs2 ? Text("Длинное сообщение 😘 ", 300) : Text("Long text {x} ", 380);
  SubmitOptions options;
  options.reference = 42;
  for (auto _ : state) {
    const auto parts = EncodeSubmit("+79161234567", text, options);
    if (!parts.ok() || parts.value().size() != 3) state.SkipWithError("not three parts");
    benchmark::DoNotOptimize(parts.ok());
  }
}
BENCHMARK(BM_EncodeThreeParts)->Arg(0)->Arg(1)->ArgName("ucs2");

}  // namespace
}  // namespace missivo::sms

BENCHMARK_MAIN();
