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
  // otherwise `reply` is emptied first and stays empty when the port is closed.
  // Port failures leave by the port's exception (EComError or the silent abort).
  virtual void ExchangeCommand(const std::string& command, std::string& reply) = 0;

  // As ExchangeCommand, but an error reply is not shown to the user: for
  // questions whose error is an answer (what a device supports, an empty slot).
  // Still shown in the terminal.
  virtual void ExchangeQuietly(const std::string& command, std::string& reply) {
    ExchangeCommand(command, reply);
  }

  // Whether the port is open.
  virtual bool IsOpen() const = 0;
};

}  // namespace missivo
