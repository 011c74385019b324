// Reading the phone's phonebook into contact rows.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/ui.h"
#include "phone/at_channel.h"
#include "store/row.h"
#include "text/language.h"

namespace missivo {

// The highest entry number from the reply to "AT+MPBR=?": the third line from the
// end (lines split at any break), between its first "-" and its first ",".
//   +MPBR: 1-1000,40,24,8,...        -> 1000
//   (empty line)
//   OK
// Nothing when that text is not a decimal number ("(1-1000)", an "ERROR"
// reply), when the number is above kMaxPhonebookNumber, or when the reply has
// fewer than three lines.
std::optional<int> ParsePhonebookRange(const std::string& reply);

// The highest entry number taken from a phone: as many entries as the
// phonebook file can hold. A phone that claims more would have the read send
// millions of requests.
inline constexpr int kMaxPhonebookNumber = 65535;

// One request of entries, both numbers included.
struct PhonebookBatch {
  int first = 0;
  int last = 0;

  friend bool operator==(const PhonebookBatch&, const PhonebookBatch&) = default;
};

// 1 to `max` in consecutive batches of 50 that do not overlap: 1-50, 51-100, ...,
// the last one ending at `max`. None when `max` is below 1.
std::vector<PhonebookBatch> PhonebookBatches(int max);

// The contact row of one entry line, or nothing when the line is not one (its
// first six characters are not "+MPBR:").
//   +MPBR: 5,"+15555550123",145,041804320430043D,0   -> "Иван", "+15555550123"
// The number is the second field without its quotes, the name the fourth field
// decoded from UCS2 hexadecimal as it stands (fields split at every comma).
std::optional<Row> ParsePhonebookEntry(const std::string& line);

// The contact rows of the entry lines of the replies, in order; each reply is
// split at CR LF, lines cut to 4096 characters.
std::vector<Row> ParsePhonebookReplies(const std::vector<std::string>& replies);

// Asks for the range ("AT+CSCS=UCS2", `AT+CPBS="MT"`, "AT+MPBR=?", each with CR LF)
// and then for the entries batch by batch ("AT+MPBR=" first "," last CR LF), with a
// gauge up to the highest entry number, the text Str76 and pending events let
// through after each batch. Returns nothing when the range reply is unusable: the
// phonebook and its file then stay as they were. Otherwise returns the contacts
// read, which may be none (the phonebook list then keeps its rows). Saving
// "Phonebook.pbk" is the caller's, in both of the latter cases.
[[nodiscard]] std::optional<std::vector<Row>> ReadPhonebook(AtChannel& channel,
                                                            const LanguageLines& language,
                                                            UserInterface& ui);

}  // namespace missivo
