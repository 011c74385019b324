// Unsolicited result codes: lines a device sends on its own (a new message, the
// network, the signal, a ring), which may arrive before, inside or after the
// reply to a command and are no part of it.
#pragma once

#include <string>
#include <string_view>

namespace missivo {

// Whether `line` (without its line end) is an unsolicited result code that is
// not the answer to `command`: "+CREG: 1" is the answer to "AT+CREG?" and
// unsolicited after any other command.
//   +CMTI: "SM",3      +CDSI: "SR",1     +CREG: 1,"00C3","0001"
//   ^RSSI:17           ^BOOT:22633994,0,0,0,64                 RING
bool IsUnsolicitedLine(std::string_view line, std::string_view command);

// Whether the unsolicited code of `line` carries one more line (a PDU or a
// text): "+CMT:", "+CDS:", "+CBM:".
bool IsTwoLineUnsolicited(std::string_view line);

// The reply without its unsolicited lines (each with its line end, and the
// line that a two-line code carries); every other byte stays as it came.
std::string WithoutUnsolicited(std::string_view reply, std::string_view command);

}  // namespace missivo
