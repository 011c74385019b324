// What the simulated phone holds and how it behaves: read from a JSON scenario
// (format in README.md).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace phonesim {

// Where one part of a long message is stored (standard profile).
struct PartPlace {
  int sequence = 1;
  std::string storage;
  int index = 0;
};

struct Message {
  int index = 0;
  std::string status;  // "REC READ", "REC UNREAD", "STO SENT", "STO UNSENT"
  std::string sender;
  std::string date;  // "yyyy/mm/dd,hh:mm:ss"; empty: the header has no time stamp
  std::string text;  // UTF-8
  // Standard profile only:
  std::string storage = "SM";
  bool status_report = false;    // a status report for message reference `reference`
  int reference = -1;            // of a long message's parts; -1: the index
  std::vector<PartPlace> parts;  // where each part is; empty: all at index, index + 1, ...
};

struct Contact {
  int index = 0;
  std::string number;
  int type = 129;
  std::string name;            // UTF-8
  std::string storage = "SM";  // standard profile
};

// A line the phone sends on its own with the answer to a command.
struct Unsolicited {
  std::string command = "*";  // pattern as for faults
  std::string line;
  std::string where = "inside";  // "before" the echo, "inside" the answer, "after" it
};

// What a standards-following device has (profile "standard").
struct StandardDevice {
  std::string modes = "pdu+text";  // "pdu+text", "pdu" or "text"
  std::vector<std::string> storages = {"SM", "ME", "MT"};
  int storage_size = 50;
  bool unquoted_ucs2 = true;  // takes AT+CSCS=UCS2 without quotes too
  bool ucs2 = true;           // has the character set UCS2 at all
  // An answer's final result follows an empty line ("...\r\n\r\nOK\r\n"), as
  // the standard frames it; false: right after the last line, as some modules
  // send it ("...\r\nOK\r\n").
  bool blank_before_final = true;
  std::vector<std::string> phonebook_storages = {"SM", "DC", "FD", "LD", "MC", "ME", "RC", "ON"};
  int phonebook_size = 250;
  bool ucs2_numbers = false;         // numbers in UCS2 hexadecimal when the character set is UCS2
  bool empty_slot_error = true;      // a batch without entries answers "+CME ERROR: 22"
  std::string error_word = "ERROR";  // the answer to an unknown command
};

enum class FaultAction { kSilent, kError, kCmsError, kReply, kEndless, kTrickle };

struct Fault {
  std::string command = "*";  // pattern: case-insensitive, a trailing '*' matches any rest
  int number = 0;             // only the command of this number (counted from 1); 0 any
  int times = 0;              // only the first this many commands it fits; 0 every one
  FaultAction action = FaultAction::kSilent;
  int code = 0;
  std::string stream;   // kEndless, kTrickle: the bytes sent again and again; kReply: the answer
  int interval_ms = 0;  // kTrickle: the pause before each byte
};

struct CannedReply {
  std::string command;  // pattern as for faults
  std::string reply;    // sent as it is, instead of echo and answer
};

struct Scenario {
  std::string profile = "family";      // "family" or "standard"
  std::string maker, model, revision;  // AT+CGMI, AT+CGMM, AT+CGMR; empty: ERROR
  StandardDevice standard;
  std::vector<Unsolicited> unsolicited;
  std::string family = "+C";     // "+C" or "+M": header family of message listings and reads
  std::string separator = ", ";  // between the fields of message headers
  bool echo = true;
  std::size_t split_length = 0;  // texts longer than this many UTF-16 units use two lines
  int latency_ms = 0;
  std::uint32_t line_speed = 0;  // bits per second; 0 unthrottled
  bool line_speed_from_device = false;
  std::vector<Message> messages;
  std::vector<Contact> phonebook;
  std::string phonebook_range = "1-1000,40,24";
  int first_reference = 1;  // the message reference of the first message sent (AT+CMGS)
  int hang_up_after = 0;    // hang up while answering this command (counted from 1); 0 never
  bool replug_after_hang_up = false;
  std::vector<Fault> faults;
  std::vector<CannedReply> replies;
};

// Throws std::runtime_error with a message naming what is wrong.
Scenario ParseScenario(const std::string& json_text);

bool CommandMatches(std::string_view pattern, std::string_view command);

}  // namespace phonesim
