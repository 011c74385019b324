// Where a reply ends. A final result line ("OK", "ERROR", "+CMS ERROR: 314",
// ...) ends a reply only where it can stand, not inside the body of a message:
//
//   +CMGL: 1,"REC READ","+31625044454",,"07/07/05,09:56:03+08"   <- a header
//   Are you coming?                                              <- its body
//   OK                                                           <- still the body
//   +CMGL: 2,"REC READ","+31625044454",,"07/07/05,09:58:12+08"
//   ERROR 404 at the gate                                        <- body again
//   OK                                                           <- the end
//
// A header (+CMGL:, +CMGR:, and the family's +MMGL:, +MMGR:) announces a body
// of one or more lines up to the next header or the final result. A body of
// hexadecimal lines (a PDU, a text in UCS2) cannot hold a result line, so one
// after it ends the reply at once. After a body of plain text, or right after a
// header, a result line ends the reply only when the device then falls quiet:
// a device sends a reply in one go, and falls quiet only after its real end.
// So does a result line that a listing or a message read gives before any
// header (an empty listing, a refusal): a stray "OK" left over from the
// command before is followed by the real reply.
#pragma once

#include <string_view>

namespace missivo {

class ReplyFrame {
 public:
  // The frame of the reply to `command`, as sent.
  explicit ReplyFrame(std::string_view command);

  enum class End {
    kNo,       // the reply goes on
    kYes,      // the reply ends with this line
    kIfQuiet,  // the reply ends with this line when nothing follows it
  };

  // The next whole line of the reply, without its line end (CR, LF or CR LF).
  End Line(std::string_view line);

  // A line that ended kIfQuiet was followed by more: it was text of a message.
  void NotTheEnd();

 private:
  bool lists_messages_;  // the command lists or reads messages
  bool header_seen_ = false;
  bool in_body_ = false;
  int body_lines_ = 0;
  bool hex_body_ = true;  // every body line so far is hexadecimal
};

// Whether a command lists or reads messages (AT+CMGL, AT+CMGR and the family's
// AT+MMGL, AT+MMGR; any case).
bool ListsOrReadsMessages(std::string_view command);

// Whether a line is a message header that announces a body: +CMGL:, +CMGR:,
// +MMGL:, +MMGR:.
bool IsMessageHeader(std::string_view line);

}  // namespace missivo
