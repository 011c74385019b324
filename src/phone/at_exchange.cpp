#include "phone/at_exchange.h"

#include <algorithm>

#include "core/ui.h"
#include "phone/byte_link.h"
#include "phone/com_error.h"
#include "phone/unsolicited.h"
#include "text/language.h"

namespace missivo {

namespace {

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

bool IsLineEnd(char c) {
  return c == '\r' || c == '\n';
}

}  // namespace

bool IsFinalResultLine(std::string_view line) {
  return line == "OK" || line == "ERROR" || StartsWith(line, "+CME ERROR:") ||
         StartsWith(line, "+CMS ERROR:") || line == "COMMAND NOT SUPPORT";
}

bool IsErrorReply(std::string_view reply) {
  while (!reply.empty() && IsLineEnd(reply.back()))
    reply.remove_suffix(1);
  const std::size_t start = reply.find_last_of("\r\n");
  const std::string_view last = start == std::string_view::npos ? reply : reply.substr(start + 1);
  return last != "OK" && IsFinalResultLine(last);
}

AtExchange::AtExchange(ByteLink& link, TerminalSink& terminal, UserInterface& ui,
                       const LanguageLines& language)
    : link_(link), terminal_(terminal), ui_(ui), language_(language) {}

bool AtExchange::IsOpen() const {
  return link_.IsOpen();
}

void AtExchange::ExchangeCommand(const std::string& command, std::string& reply) {
  Exchange(command, reply, /*show_error=*/true);
}

void AtExchange::ExchangeQuietly(const std::string& command, std::string& reply) {
  Exchange(command, reply, /*show_error=*/false);
}

void AtExchange::Exchange(const std::string& command, std::string& reply, bool show_error) {
  if (command.empty()) return;
  reply.clear();
  if (!link_.IsOpen()) {
    terminal_.AppendLine(language_.LangText("Str55"));
    return;
  }
  // Clear first, then write: a quick phone's answer must not be thrown away.
  link_.DropInput();
  link_.Send(command + "\n\r");
  bool unsolicited = false;
  std::string collected = Collect(command, unsolicited);
  // The terminal shows everything; the caller gets the reply without the
  // codes the device sent on its own.
  terminal_.AppendLine(collected);
  if (unsolicited) collected = WithoutUnsolicited(collected, command);
  if (show_error && IsErrorReply(collected)) {
    ui_.ShowMessage("AT Command Error:" + collected, MessageKind::kPlain);
  }
  reply = std::move(collected);
  terminal_.AppendLine("");
}

bool AtExchange::ExchangeWithPrompt(const std::string& command, const std::string& text,
                                    std::string& reply) {
  reply.clear();
  if (command.empty()) return false;
  if (!link_.IsOpen()) {
    terminal_.AppendLine(language_.LangText("Str55"));
    return false;
  }
  link_.DropInput();
  link_.Send(command);
  bool unsolicited = false;
  bool prompt = false;
  std::string collected = Collect(command, unsolicited, &prompt);
  terminal_.AppendLine(collected);
  if (!prompt) {
    reply = unsolicited ? WithoutUnsolicited(collected, command) : std::move(collected);
    terminal_.AppendLine("");
    return false;
  }
  // No clearing here: the answer to the text may come at once.
  link_.Send(text + kCtrlZ);
  unsolicited = false;
  collected = Collect(command, unsolicited);
  terminal_.AppendLine(collected);
  reply = unsolicited ? WithoutUnsolicited(collected, command) : std::move(collected);
  terminal_.AppendLine("");
  return true;
}

// Bytes up to and including the line end that follows the final result line;
// the rest of that line end (the LF after CR) is cleared by the next exchange.
std::string AtExchange::Collect(std::string_view command, bool& unsolicited, bool* prompt) {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point deadline = Clock::now() + command_limit_;
  std::string reply;
  std::size_t line_start = 0;
  command_limit_reached_ = false;
  for (;;) {
    if (reply.size() >= reply_limit_) {
      link_.Fail(EComError(std::string(kReplyTooLongMessage) + ": the phone sent more than " +
                               std::to_string(reply_limit_) + " bytes without a final result",
                           0));
    }
    // The wait for the next byte ends at the silence limit or at the command's
    // deadline, whichever comes first; either way the link fails with "Timeout".
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
    command_limit_reached_ = left <= silence_limit_;
    if (left.count() <= 0) link_.Fail(EComError(kTimeoutMessage, 0));
    const char c = link_.ReceiveWithin(std::min(left, silence_limit_));
    reply.push_back(c);
    if (IsLineEnd(c)) {
      const std::string_view line(reply.data() + line_start, reply.size() - 1 - line_start);
      if (IsFinalResultLine(line)) return reply;
      if (!unsolicited && IsUnsolicitedLine(line, command)) unsolicited = true;
      line_start = reply.size();
    } else if (reply.size() == 2 && reply == "OK") {
      return reply;
    } else if (prompt != nullptr && c == ' ' && reply.size() - line_start == 2 &&
               reply[line_start] == '>') {
      *prompt = true;
      return reply;
    }
  }
}

}  // namespace missivo
