// The byte link: what the AT layer needs of the line to a device, and all it
// knows of it. The serial port (phone/serial/) is one; another transport, or a
// test's own, can stand behind the AT layer in its place.
#pragma once

#include <chrono>
#include <string_view>

#include "phone/com_error.h"

namespace missivo {

// Use a link on one thread. Failures leave as the link's exception: EComError,
// or ESilentAbort when the link's owner has already told the user.
class ByteLink {
 public:
  virtual ~ByteLink() = default;

  // Whether the link is open. The calls below fail on a closed link.
  virtual bool IsOpen() const = 0;

  // Drops every byte received so far that has not been taken.
  virtual void DropInput() = 0;

  // Hands `bytes` to the link as they are. The call may return before they have
  // all gone out; the link goes on sending them while a receive waits.
  virtual void Send(std::string_view bytes) = 0;

  // The next byte received, waiting at most `limit` for it; fails with
  // kTimeoutMessage (code 0) when none came.
  virtual char ReceiveWithin(std::chrono::milliseconds limit) = 0;

  // Whether a byte has come that has not been taken yet, waiting at most
  // `limit` for one; nothing is taken. A hang-up fails as a receive does.
  virtual bool InputWithin(std::chrono::milliseconds limit) = 0;

  // Ends the current transfer with `error` the way the link's own failures end:
  // the link's owner hears of it first, then it leaves by exception.
  [[noreturn]] virtual void Fail(const EComError& error) = 0;
};

}  // namespace missivo
