// The AT exchange over a byte link (the serial port on a real device): one
// command line out, the phone's reply back, copied to the terminal.
#pragma once

#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>

#include "phone/at_channel.h"

namespace missivo {

class ByteLink;
class LanguageLines;
class UserInterface;

// Where every reply goes as it is shown to the user: the terminal view, a
// recorder in tests.
class TerminalSink {
 public:
  virtual ~TerminalSink() = default;
  // One line; CR LF pairs inside it show as line breaks.
  virtual void AppendLine(const std::string& line) = 0;
};

// Whether `line` (without its line end) is a final result: exactly "OK",
// "ERROR" or "COMMAND NOT SUPPORT" (a modem's own form of ERROR), or an
// extended error "+CME ERROR:..." or "+CMS ERROR:...".
bool IsFinalResultLine(std::string_view line);

// Whether a reply ends with an error result line ("ERROR", "+CME ERROR: n",
// "+CMS ERROR: n", "COMMAND NOT SUPPORT"), its line end not counted.
bool IsErrorReply(std::string_view reply);

// Ends the text written after the "> " prompt (Ctrl-Z).
inline constexpr char kCtrlZ = '\x1A';

// The start of the link error (code 0) that ends a reply grown past the limit.
inline constexpr char kReplyTooLongMessage[] = "Reply too long";

class AtExchange : public AtChannel {
 public:
  static constexpr std::chrono::milliseconds kDefaultSilenceLimit{30000};
  // The longest reply taken: far above what a phone holds (a listing of a
  // thousand messages of two full text lines each is about 8 KB a message),
  // and a bound on what a phone that never ends its reply can make us keep.
  static constexpr std::size_t kDefaultReplyLimit = std::size_t{4} << 20;
  // The longest a reply may take in all, however it trickles. 10 minutes: at
  // 9600 baud that carries over 500 KB, far more than a phonebook batch of 100
  // entries (about 25 KB) or the listing of a full phone; at 115200 baud it
  // carries a reply of the whole ReplyLimit().
  static constexpr std::chrono::milliseconds kDefaultCommandLimit{600000};
  // How long the device must stay quiet after a final result that may be text
  // of a message (phone/reply_frame.h) for it to end the reply. A device sends
  // a reply in one go: the gaps inside one are milliseconds, even where it
  // reads each message from the SIM.
  static constexpr std::chrono::milliseconds kDefaultQuietLimit{500};

  AtExchange(ByteLink& link, TerminalSink& terminal, UserInterface& ui,
             const LanguageLines& language);

  // Clears the input, writes the command followed by LF CR, and collects the
  // reply up to the line end after its final result line (a reply that is just
  // "OK" ends at the "K"). The reply goes to the terminal, followed by an empty
  // line; an error reply is also shown as "AT Command Error:" + reply. With the
  // link closed the terminal gets the "no connection" line and `reply` stays
  // empty. When no byte comes for SilenceLimit(), the link fails with "Timeout"
  // (code 0) through ByteLink::Fail, and so it does when the whole reply has
  // not ended within CommandLimit() of the command's sending; when the reply
  // grows past ReplyLimit() bytes without its final result, with
  // kReplyTooLongMessage (code 0).
  // A final result ends the reply only where it can stand (phone/reply_frame.h):
  // not inside the text of a message; where it may be such text, only when
  // the device then stays quiet for QuietLimit().
  // Unsolicited result codes (phone/unsolicited.h) that arrive before the
  // final result are shown in the terminal but left out of `reply`.
  void ExchangeCommand(const std::string& command, std::string& reply) override;
  void ExchangeQuietly(const std::string& command, std::string& reply) override;
  // The prompt is "> " at the start of a line; the limits above hold for the
  // wait for it and for the reply after the text alike.
  [[nodiscard]] bool ExchangeWithPrompt(const std::string& command, const std::string& text,
                                        std::string& reply) override;
  bool TextHandedOver() const override { return text_handed_over_; }
  bool IsOpen() const override;

  std::chrono::milliseconds SilenceLimit() const { return silence_limit_; }
  void SetSilenceLimit(std::chrono::milliseconds limit) { silence_limit_ = limit; }
  std::size_t ReplyLimit() const { return reply_limit_; }
  void SetReplyLimit(std::size_t bytes) { reply_limit_ = bytes; }
  std::chrono::milliseconds CommandLimit() const { return command_limit_; }
  void SetCommandLimit(std::chrono::milliseconds limit) { command_limit_ = limit; }
  std::chrono::milliseconds QuietLimit() const { return quiet_limit_; }
  void SetQuietLimit(std::chrono::milliseconds limit) { quiet_limit_ = limit; }
  // Whether the last time-out came from CommandLimit() rather than the silence.
  bool CommandLimitReached() const { return command_limit_reached_; }

 private:
  // What was collected for one reply: every byte (what the terminal shows), of
  // which the reply proper is the first `end`.
  struct Collected {
    std::string bytes;
    std::size_t end = 0;
    bool unsolicited = false;  // a line of it is an unsolicited code
    bool prompt = false;       // it ended at the "> " prompt
    // The reply proper without the unsolicited codes: what the caller gets.
    std::string Reply(std::string_view command) const;
  };

  void Exchange(const std::string& command, std::string& reply, bool show_error);
  // With `wait_for_prompt`, also ends at a "> " line start.
  Collected Collect(std::string_view command, bool wait_for_prompt);

  ByteLink& link_;
  TerminalSink& terminal_;
  UserInterface& ui_;
  const LanguageLines& language_;
  std::chrono::milliseconds silence_limit_ = kDefaultSilenceLimit;
  std::size_t reply_limit_ = kDefaultReplyLimit;
  std::chrono::milliseconds command_limit_ = kDefaultCommandLimit;
  std::chrono::milliseconds quiet_limit_ = kDefaultQuietLimit;
  bool command_limit_reached_ = false;
  bool text_handed_over_ = false;
};

}  // namespace missivo
