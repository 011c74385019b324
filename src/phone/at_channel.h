// The one way every phone operation talks to the phone: one AT command line out,
// the phone's whole reply back.
#pragma once

#include <string>

namespace missivo {

class AtChannel {
 public:
  virtual ~AtChannel() = default;

  // Sends `command` (followed by LF CR) and collects the reply up to its final
  // result line. An empty command does nothing and leaves `reply` as it is;
  // otherwise `reply` is emptied first and stays empty when the link is closed.
  // Link failures leave by the link's exception (EComError or the silent abort).
  virtual void ExchangeCommand(const std::string& command, std::string& reply) = 0;

  // As ExchangeCommand, but an error reply is not shown to the user: for
  // questions whose error is an answer (what a device supports, an empty slot).
  // Still shown in the terminal.
  virtual void ExchangeQuietly(const std::string& command, std::string& reply) {
    ExchangeCommand(command, reply);
  }

  // Sends `command` written exactly as given (it ends with its own CR; no
  // line end is added, since the phone takes the next bytes as text), waits
  // for the phone's "> " prompt, then writes `text` followed by Ctrl-Z and
  // collects the reply up to its final result line. When the phone answers the
  // command with a final result instead of the prompt, that is the reply and
  // `text` is not written. Returns whether `text` was handed over. Errors are
  // not shown to the user (the caller reports them); the terminal shows all.
  // A channel that cannot do this hands nothing over and leaves `reply` empty.
  [[nodiscard]] virtual bool ExchangeWithPrompt(const std::string& command, const std::string& text,
                                                std::string& reply) {
    (void)command;
    (void)text;
    reply.clear();
    return false;
  }

  // Whether the last ExchangeWithPrompt began to write its text: also when a
  // link failure then left it by its exception, the text may have gone.
  virtual bool TextHandedOver() const { return false; }

  // Whether the link to the phone is open.
  virtual bool IsOpen() const = 0;
};

}  // namespace missivo
