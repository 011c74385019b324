#include "phone/at_exchange.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "core/ui.h"
#include "phone/byte_link.h"
#include "phone/com_error.h"
#include "phone/reply_frame.h"
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

std::string AtExchange::Collected::Reply(std::string_view command) const {
  const std::string_view proper = std::string_view(bytes).substr(0, end);
  return unsolicited ? WithoutUnsolicited(proper, command) : std::string(proper);
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
  const Collected collected = Collect(command, /*wait_for_prompt=*/false);
  // The terminal shows everything; the caller gets the reply without the
  // codes the device sent on its own.
  terminal_.AppendLine(collected.bytes);
  std::string answer = collected.Reply(command);
  if (show_error && IsErrorReply(answer)) {
    ui_.ShowMessage("AT Command Error:" + answer, MessageKind::kPlain);
  }
  reply = std::move(answer);
  terminal_.AppendLine("");
}

bool AtExchange::ExchangeWithPrompt(const std::string& command, const std::string& text,
                                    std::string& reply) {
  reply.clear();
  text_handed_over_ = false;
  if (command.empty()) return false;
  if (!link_.IsOpen()) {
    terminal_.AppendLine(language_.LangText("Str55"));
    return false;
  }
  link_.DropInput();
  link_.Send(command);
  const Collected prompt = Collect(command, /*wait_for_prompt=*/true);
  terminal_.AppendLine(prompt.bytes);
  if (!prompt.prompt) {
    reply = prompt.Reply(command);
    terminal_.AppendLine("");
    return false;
  }
  // No clearing here: the answer to the text may come at once.
  text_handed_over_ = true;
  link_.Send(text + kCtrlZ);
  const Collected answer = Collect(command, /*wait_for_prompt=*/false);
  terminal_.AppendLine(answer.bytes);
  reply = answer.Reply(command);
  terminal_.AppendLine("");
  return true;
}

// Bytes up to and including the line end that follows the final result line;
// the rest of that line end (the LF after CR) is cleared by the next exchange.
// Where the final result may be text of a message (phone/reply_frame.h), the
// reply ends there only when the device then falls quiet for QuietLimit();
// unsolicited codes that come meanwhile are collected after the reply's end.
AtExchange::Collected AtExchange::Collect(std::string_view command, bool wait_for_prompt) {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point deadline = Clock::now() + command_limit_;
  Collected collected;
  std::string& reply = collected.bytes;
  const auto ended = [&](std::size_t end) {
    collected.end = end;
    return std::move(collected);
  };
  std::size_t line_start = 0;
  ReplyFrame frame(command);
  // Set while a final result line waits for the quiet: where the reply ends then.
  std::optional<std::size_t> end_if_quiet;
  bool carried_line = false;  // the next line belongs to a two-line unsolicited code
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
    if (end_if_quiet && line_start == reply.size() && !carried_line &&
        !link_.InputWithin(std::min(left, quiet_limit_))) {
      // Only the LF of the final line's CR LF came: it is left out as above.
      if (reply.size() == *end_if_quiet + 1 && reply.back() == '\n') reply.pop_back();
      return ended(*end_if_quiet);
    }
    const char c = link_.ReceiveWithin(std::min(left, silence_limit_));
    reply.push_back(c);
    if (c == '\n' && line_start + 1 == reply.size() && reply.size() >= 2 &&
        reply[reply.size() - 2] == '\r') {
      line_start = reply.size();  // the LF of a CR LF ends no line of its own
    } else if (IsLineEnd(c)) {
      const std::string_view line(reply.data() + line_start, reply.size() - 1 - line_start);
      line_start = reply.size();
      if (std::exchange(carried_line, false)) continue;
      if (IsUnsolicitedLine(line, command)) {
        collected.unsolicited = true;
        carried_line = IsTwoLineUnsolicited(line);
        continue;
      }
      if (end_if_quiet) {
        if (line.empty()) continue;
        end_if_quiet.reset();
        frame.NotTheEnd();
      }
      switch (frame.Line(line)) {
        case ReplyFrame::End::kYes:
          return ended(reply.size());
        case ReplyFrame::End::kIfQuiet:
          end_if_quiet = reply.size();
          break;
        case ReplyFrame::End::kNo:
          break;
      }
    } else if (reply.size() == 2 && reply == "OK") {
      return ended(reply.size());
    } else if (wait_for_prompt && c == ' ' && reply.size() - line_start == 2 &&
               reply[line_start] == '>') {
      collected.prompt = true;
      return ended(reply.size());
    }
  }
}

}  // namespace missivo
