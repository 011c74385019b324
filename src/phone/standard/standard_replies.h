// Parsers of the replies of standards-following phones and modems (the message
// commands of TS 27.005 and the identification and phonebook commands of
// TS 27.007). Pure functions: a reply in, fields out. They never fail on
// malformed input: what cannot be read is left out or empty. Echo lines, empty
// lines and the final result are skipped wherever they stand.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace missivo {

// `text` without the blanks and TABs at either end.
std::string_view TrimBlanks(std::string_view text);

// The fields of a line after its "+NAME:" prefix, split at commas outside
// double quotes, each without the blanks around it; quotes are kept.
//   +CMGL: 1,"REC READ","+31625044454",,"07/07/05,09:56:03+08"
//   -> 1 | "REC READ" | "+31625044454" | (empty) | "07/07/05,09:56:03+08"
std::vector<std::string> SplitFields(std::string_view fields);

// A field without its surrounding double quotes, if it has them.
std::string Unquote(std::string_view field);

// The part of `line` after "+NAME:" (and the blanks after the colon), or
// nothing when the line does not start with `prefix` (e.g. "+CPMS:").
std::optional<std::string_view> AfterPrefix(std::string_view line, std::string_view prefix);

// The text of an identification reply (AT+CGMI, AT+CGMM, AT+CGMR): its
// information lines joined by blanks, an echo of `command` and a "+CGMI:"-like
// prefix left out, quotes taken off. Empty for an error reply.
//   AT+CGMI / huawei / OK           -> "huawei"
//   +CGMM: "E3372" / OK             -> "E3372"
std::string ParseIdentityReply(std::string_view reply, std::string_view command);

// The message modes of "AT+CMGF=?": 0 PDU, 1 text.
//   +CMGF: (0,1)     +CMGF: (0-1)     +CMGF: (0)     +CMGF: 1
struct MessageModes {
  bool known = false;  // the reply had a +CMGF line
  bool pdu = false;
  bool text = false;
};
MessageModes ParseMessageModes(std::string_view reply);

// The quoted names of a list in parentheses: ("SM","ME") -> SM, ME. Blanks
// after commas are allowed; names are kept as given.
std::vector<std::string> ParseNameList(std::string_view list);

// The storage lists of "AT+CPMS=?": one list per group (where messages are
// read and deleted, where they are written and sent, where new ones arrive).
//   +CPMS: ("SM","ME","MT"),("SM","ME","MT"),("SM","ME","MT")
//   +CPMS: (),(),()          +CPMS:             (none)
std::vector<std::vector<std::string>> ParseStorageGroups(std::string_view reply);

// The storages of "AT+CPBS=?": +CPBS: ("SM","DC","FD","LD","MC","ME","RC","EN","ON")
std::vector<std::string> ParsePhonebookStorages(std::string_view reply);

// Used and total of the first storage, from the answer to AT+CPMS="SM" or to
// AT+CPMS? (where each pair follows the storage's name).
//   +CPMS: 1,20,1,20,1,20            -> 1 of 20
//   +CPMS: "MT", 0, 100, "MT", ...   -> 0 of 100
struct StorageCount {
  int used = 0;
  int total = 0;
};
std::optional<StorageCount> ParseStorageCount(std::string_view reply);

// The range of "AT+CPBR=?" with the longest number and name the storage holds.
//   +CPBR: (1-250),24,20
struct PhonebookRange {
  int first = 0;
  int last = 0;
  int number_length = 0;
  int name_length = 0;
};
std::optional<PhonebookRange> ParsePhonebookRangeReply(std::string_view reply);

}  // namespace missivo
