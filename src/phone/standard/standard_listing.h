// Parsers of the message listings of standard devices, in PDU and in text mode.
// Pure: a reply in, entries out; never fail, a malformed entry is left out.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace missivo {

// One entry of a PDU-mode listing: the header and the PDU line after it.
//   +CMGL: 0,0,,35                      <index>,<stat>,[<alpha>],<length>
//   07917248014000F3240B917247587706F400003110824115248012C8329BFD06C9C373B8B82C97E741F034
// The PDU is the next line that is not empty; an entry without one is left out.
struct PduEntry {
  std::string index;
  int stat = -1;  // 0 unread, 1 read, 2 stored unsent, 3 stored sent
  std::string pdu;

  friend bool operator==(const PduEntry&, const PduEntry&) = default;
};
std::vector<PduEntry> ParsePduListing(std::string_view reply);

// One entry of a text-mode listing ("+CMGL:") or read ("+CMGR:", no index).
//   +CMGL: 1,"REC READ","+31625044454",,"07/07/05,09:56:03+08"[,145,14]
//   +CMGR: "REC READ","+393488535999",,"07/04/05,18:02:28+08",145,4,0,0,"+3934...",145,93
//   +CMGL: 2,"STO SENT","+31625044454",,
// A header without the name field ("+CMGL: 1,"REC READ","+316...","07/07/05,...")
// is read too. A status report ("+CMGL: 3,"REC READ",6,183,...": a number in the
// place of the address) is marked as one. The body is every line after the
// header up to the next header or the reply's final result (its last line; a
// line "OK" before it is text), joined by LF, empty lines at its end left out.
struct TextEntry {
  std::string index;
  std::string status;  // "REC UNREAD", "REC READ", "STO UNSENT", "STO SENT"
  std::string address;
  std::string stamp;  // the time stamp without quotes, or empty
  std::string body;
  bool status_report = false;

  friend bool operator==(const TextEntry&, const TextEntry&) = default;
};
std::vector<TextEntry> ParseTextListing(std::string_view reply, std::string_view header = "+CMGL:");

// The status text of a PDU-mode status number: 0 "REC UNREAD", 1 "REC READ",
// 2 "STO UNSENT", 3 "STO SENT"; any other number gives an empty text.
std::string StatusOfStat(int stat);

}  // namespace missivo
