// The reply end of the AT exchange, through a real pseudo-terminal and the
// serial port: the input is everything the phone sends after the command.
// The exchange must return the input up to the line end after its first final
// result line (or a leading "OK"), or, when the input holds none, fail with
// the time-out; never crash or hang.
//
// The phone's end feeds the input from the port's BeforeRead event, one chunk
// at a time, and waits until the chunk is readable on the port's end; with a
// silence limit of zero the time-out then comes exactly when the input is all
// taken, so every run is deterministic and quick.
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <optional>

#include "core/ui.h"
#include "fuzz_support.h"
#include "phone/at_exchange.h"
#include "phone/serial/com_port.h"

namespace missivo {
namespace {

// Below the line discipline's 4 KB input buffer, so a chunk is never held back.
constexpr std::size_t kChunk = 2048;

class CountingTerminal : public TerminalSink {
 public:
  void AppendLine(const std::string& line) override { lines.push_back(line); }
  std::vector<std::string> lines;
};

class CountingUserInterface : public SilentUserInterface {
 public:
  void ShowMessage(const std::string& text, MessageKind, const std::string&) override {
    messages.push_back(text);
  }
  std::vector<std::string> messages;
};

[[noreturn]] void Fail(const char* what) {
  std::perror(what);
  std::abort();
}

// The phone's end of a pseudo-terminal, with the port open on the other end.
class Link {
 public:
  Link() {
    phone_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (phone_ < 0 || ::grantpt(phone_) != 0 || ::unlockpt(phone_) != 0) Fail("posix_openpt");
    const std::string device = ::ptsname(phone_);
    // A second descriptor of the port's end, taken before the port's exclusive
    // use, to see how many bytes wait there.
    watch_ = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (watch_ < 0) Fail("open");
    port.SetDeviceName(device);
    port.Open();
    port.BeforeRead = [this](TCustomComPort&, const void*, std::int32_t, bool) { Feed(); };
    exchange.SetSilenceLimit(std::chrono::milliseconds(0));
  }

  // Starts a new reply; the exchange's own clear drops what is left of the last.
  void SetReply(std::string_view reply) { pending_ = reply; }

  // Throws away the command lines the port wrote.
  void DrainCommands() {
    char buffer[256];
    while (::read(phone_, buffer, sizeof buffer) > 0) {
    }
  }

  TComPort port;
  CountingTerminal terminal;
  CountingUserInterface ui;
  LanguageLines language;
  AtExchange exchange{port, terminal, ui, language};

 private:
  int Waiting() const {
    int count = 0;
    if (::ioctl(watch_, FIONREAD, &count) != 0) Fail("FIONREAD");
    return count;
  }

  // The next chunk once the port has taken the last one from the terminal.
  void Feed() {
    if (pending_.empty() || Waiting() > 0) return;
    const std::string_view chunk = pending_.substr(0, kChunk);
    const ssize_t written = ::write(phone_, chunk.data(), chunk.size());
    if (written <= 0) Fail("write");
    pending_.remove_prefix(static_cast<std::size_t>(written));
    // The terminal hands bytes on asynchronously: wait until they all arrived.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (Waiting() < written) {
      if (std::chrono::steady_clock::now() > deadline) Fail("the pseudo-terminal lost bytes");
      pollfd p{watch_, POLLIN, 0};
      ::poll(&p, 1, 1);
    }
  }

  int phone_ = -1;
  int watch_ = -1;
  std::string_view pending_;
};

bool IsFinal(std::string_view line) {
  return line == "OK" || line == "ERROR" || line.starts_with("+CME ERROR:") ||
         line.starts_with("+CMS ERROR:");
}

// The reply the exchange must return for `input`, or nothing for a time-out.
std::optional<std::string> ExpectedReply(std::string_view input) {
  std::size_t line_start = 0;
  for (std::size_t i = 0; i < input.size(); ++i) {
    if (input[i] == '\r' || input[i] == '\n') {
      if (IsFinal(input.substr(line_start, i - line_start)))
        return std::string(input.substr(0, i + 1));
      line_start = i + 1;
    } else if (i == 1 && input.starts_with("OK")) {
      return "OK";
    }
  }
  return std::nullopt;
}

void Check(Link& link, std::string_view input) {
  link.terminal.lines.clear();
  link.ui.messages.clear();
  link.SetReply(input);
  const std::optional<std::string> expected = ExpectedReply(input);
  std::string reply = "not emptied";
  try {
    link.exchange.ExchangeCommand("AT", reply);
    fuzz::Require(expected.has_value(), "a reply without a final result line times out");
    fuzz::Require(reply == *expected, "the reply ends after its first final result line");
    fuzz::Require(link.terminal.lines == std::vector<std::string>{reply, ""},
                  "the terminal shows the reply and an empty line");
    fuzz::Require(link.ui.messages.size() == (IsErrorReply(reply) ? 1u : 0u),
                  "an error reply is shown once");
  } catch (const EComError& error) {
    fuzz::Require(!expected.has_value(), "a reply with a final result line does not time out");
    fuzz::Require(error.ErrorCode() == 0 && std::string_view(error.what()) == kTimeoutMessage,
                  "the exchange fails with the time-out");
    fuzz::Require(reply.empty(), "a failed exchange leaves the reply empty");
  }
  fuzz::Require(link.port.Active(), "the port stays open");
  link.DrainCommands();
}

}  // namespace
}  // namespace missivo

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static missivo::Link link;
  missivo::Check(link, missivo::fuzz::AsText(data, size));
  return 0;
}
