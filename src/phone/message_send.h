// Sending a message: the text cut into parts, each handed to the phone after
// its "> " prompt and confirmed by the message reference the phone answers
// with. Nothing is ever sent again on its own: a part whose answer did not
// come is reported as one that may or may not have gone.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/status.h"
#include "phone/at_channel.h"
#include "store/row.h"
#include "text/language.h"

namespace missivo {

class DeviceProfile;

// What a send says to the phone: the set-up commands (sent with
// ExchangeCommand, answers not examined beyond an error), then one prompt
// exchange per part.
struct SendPart {
  std::string command;  // "AT+CMGS=23\r", ending with its CR
  std::string text;     // the PDU or the text in hexadecimal, without Ctrl-Z
};
struct SendPlan {
  std::vector<std::string> set_up;
  std::vector<SendPart> parts;
  // The concatenation reference the parts share, when they carry one (the
  // parts of a long text in PDU mode).
  std::optional<std::uint16_t> concatenation{};
};

// The texts of the separate messages the family sends a text as (UTF-8), in
// order; nothing when the text cannot be sent so.
[[nodiscard]] Result<std::vector<std::string>> FamilySendPieces(std::string_view text);

// The family's plan: text mode and the UCS2 character set, then each part as
// AT+CMGS="<number>" with the part's text in UCS2 hexadecimal. Text mode
// carries no concatenation header: a text longer than one message (70
// characters) goes as separate messages of at most 67 characters each, in order.
[[nodiscard]] Result<SendPlan> FamilySendPlan(std::string_view number, std::string_view text);

// A standard device's plan: PDU mode, then each SMS-SUBMIT part as
// AT+CMGS=<TPDU octets> and the PDU; the parts of a long text share the
// concatenation `reference` and are numbered from 1.
[[nodiscard]] Result<SendPlan> PduSendPlan(std::string_view number, std::string_view text,
                                           std::uint16_t reference, bool status_report = false);

// The number of `+CMGS: <mr>[,<scts>]` in a reply, 0 to 255.
std::optional<int> ParseMessageReference(std::string_view reply);

// The code of a "+CMS ERROR: n" (or "+CME ERROR: n") final line.
std::optional<int> ParseErrorCode(std::string_view reply);

// The meaning of a common +CMS ERROR code in words ("network out of order");
// empty for another code.
std::string_view CmsErrorMeaning(int code);

// How a send went.
struct SendReport {
  int parts = 0;                // parts the text was cut into (0: nothing was planned)
  std::vector<int> references;  // the reference of each confirmed part, in order
  // Empty when every part was confirmed; else why the send stopped, in words.
  std::string reason;
  // Whether the part after the confirmed ones was handed over (its text
  // written, or begun to be) without a confirmation: an answer that never
  // came, or a reference followed by an error. It may or may not have gone;
  // the parts after it were not handed over.
  bool uncertain = false;
  // The concatenation reference the parts shared, when they carried one.
  std::optional<std::uint16_t> concatenation{};

  bool AllConfirmed() const {
    return parts > 0 && references.size() == static_cast<std::size_t>(parts);
  }
  // For the user: "sent in 3 parts, references 7, 8, 9"; or "part 1 of 3
  // confirmed (reference 7); part 2 may or may not have gone; part 3 not
  // sent: <reason>"; or "part 1 of 3 may or may not have gone; parts 2-3 not
  // sent: <reason>"; or "not sent: <reason>".
  std::string Summary() const;
};

struct SendOptions {
  bool status_report = false;  // ask for a status report of each part (standard devices)
  std::optional<std::uint16_t> reference;  // shared by the parts; none: a random one
};

// Sends `text` (UTF-8) to `number` through `profile`. A port failure (a
// hang-up, a time-out) does not leave by its exception: it ends the send and
// is reported, with which parts were confirmed. Never repeats a part.
[[nodiscard]] SendReport SendMessage(AtChannel& channel, const DeviceProfile& profile,
                                     std::string_view number, std::string_view text,
                                     const SendOptions& options = {});

// The number a user typed, for the phone: blanks, '-', '(' and ')' left out;
// "+" and digits stay. Nothing when what is left is not an optional "+" and 1
// to 20 digits.
std::optional<std::string> CleanNumber(std::string_view typed);

// The number to send to: `who` itself when it is a number (CleanNumber), else
// the number of the one contact of `contacts` (phonebook rows) whose name is
// `who` (UTF-8; case and ё/е not minded). An error names what is wrong: no
// such contact, several contacts of that name, a contact without a number.
[[nodiscard]] Result<std::string> RecipientNumber(std::string_view who,
                                                  const std::vector<Row>& contacts);

// The archive row of a sent message: the text as caption, the number (with
// the contact's name on it, as name resolution writes it, when `contacts`
// knows it) as From, `send_moment` (MakeDate()) as Date/Time, Type "sent" and
// the outgoing picture; the lossless fields hold the whole text, the number,
// the send time in ISO 8601 with its zone, the references of the parts and the
// concatenation reference they shared (kConcatenationKey), by which a read
// knows the phone's stored copy of it (phone/sent_copies.h).
Row MakeSentRow(std::string_view number, std::string_view text, const SendReport& report,
                const std::vector<Row>& contacts, const LanguageLines& language,
                std::string_view send_moment, std::string_view iso_time);

// The current local time in ISO 8601 with the zone ("2026-12-10T17:50:02+03:00").
std::string IsoTimeNow();

}  // namespace missivo
