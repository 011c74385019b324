// The replies of standard devices taken apart as identification, the standard
// read and the standard phonebook do: any bytes give fields or nothing, never
// a crash; a listing's parts are joined without losing or doubling a part;
// unsolicited lines come out of a reply and nothing else does.
#include <algorithm>

#include "fuzz_support.h"
#include "phone/message_send.h"
#include "phone/standard/message_parts.h"
#include "phone/standard/standard_listing.h"
#include "phone/standard/standard_phonebook.h"
#include "phone/standard/standard_replies.h"
#include "phone/unsolicited.h"
#include "text/lines.h"

namespace missivo {
namespace {

bool HasLineBreak(std::string_view text) {
  return text.find_first_of("\r\n") != std::string_view::npos;
}

void CheckIdentification(std::string_view reply) {
  fuzz::Require(!HasLineBreak(ParseIdentityReply(reply, "AT+CGMI\r")),
                "an identification text is one line");
  (void)ParseMessageModes(reply);
  for (const auto& group : ParseStorageGroups(reply)) {
    for (const std::string& name : group)
      fuzz::Require(!name.empty() && !HasLineBreak(name), "a storage name is one line, not empty");
  }
  for (const std::string& name : ParsePhonebookStorages(reply))
    fuzz::Require(!HasLineBreak(name), "a phonebook storage name is one line");
  if (const auto count = ParseStorageCount(reply))
    fuzz::Require(count->used >= 0 && count->total >= 0, "storage counts are not negative");
  if (const auto range = ParsePhonebookRangeReply(reply))
    fuzz::Require(range->first >= 0 && range->first <= range->last, "a range runs upward");
}

void CheckListings(std::string_view reply) {
  std::vector<MessagePart> parts;
  for (const PduEntry& entry : ParsePduListing(reply)) {
    // The index goes into the delete command: a break would start another command.
    fuzz::Require(!HasLineBreak(entry.index) && !entry.index.empty(), "a PDU index is one number");
    fuzz::Require(!HasLineBreak(entry.pdu), "a PDU is one line");
    Result<sms::Pdu> pdu = sms::DecodePdu(entry.pdu);
    if (!pdu.ok()) continue;
    MessagePart part;
    part.slot = {"SM", entry.index};
    part.sender = pdu.value().address.text;
    part.data = std::move(pdu.value().user_data);
    parts.push_back(std::move(part));
  }
  std::size_t placed = 0;
  for (const JoinedMessage& message : JoinParts(parts)) {
    fuzz::Require(!message.parts.empty(), "a joined message has a part");
    fuzz::Require(message.parts.size() == message.sequences.size(), "one number per part");
    fuzz::Require(message.complete == (static_cast<int>(message.parts.size()) == message.total),
                  "complete means every part is there");
    placed += message.parts.size();
  }
  fuzz::Require(placed <= parts.size(), "no part is taken twice");
  for (const TextEntry& entry : ParseTextListing(reply)) {
    fuzz::Require(!HasLineBreak(entry.index), "a text-mode index is one line");
    fuzz::Require(!HasLineBreak(entry.address) && !HasLineBreak(entry.stamp),
                  "header fields are one line");
  }
  for (const std::string& line : SplitAnyBreak(reply)) {
    for (bool ucs2 : {false, true}) {
      if (const auto contact = ParseStandardContact(line, ucs2)) fuzz::RequireContactRow(*contact);
    }
  }
}

void CheckUnsolicited(std::string_view reply) {
  const std::string kept = WithoutUnsolicited(reply, "AT+CMGL=4");
  fuzz::Require(kept.size() <= reply.size(), "taking codes out never adds bytes");
  const std::vector<std::string> lines = SplitAnyBreak(reply);
  const bool any = std::any_of(lines.begin(), lines.end(), [](const std::string& line) {
    return IsUnsolicitedLine(line, "AT+CMGL=4");
  });
  if (!any) fuzz::Require(kept == reply, "a reply without codes stays as it is");
}

// The answer to a send: a reference of 0 to 255 or none; an error code only
// from a final "+CMS ERROR:" or "+CME ERROR:" line.
void CheckSendReply(std::string_view reply) {
  if (const auto reference = ParseMessageReference(reply))
    fuzz::Require(*reference >= 0 && *reference <= 255, "a message reference is one octet");
  if (ParseErrorCode(reply)) {
    fuzz::Require(reply.find("ERROR:") != std::string_view::npos, "an error code has its line");
  }
  if (const auto number = CleanNumber(reply)) {
    fuzz::Require(number->find_first_not_of("+0123456789") == std::string::npos,
                  "a cleaned number is digits after an optional +");
  }
}

void Check(std::string_view input) {
  CheckIdentification(input);
  CheckSendReply(input);
  CheckListings(input);
  CheckUnsolicited(input);
  const auto pieces = fuzz::NulParts(input, 2);
  if (IsEarlierFormOf(pieces[0], pieces[1])) {
    fuzz::Require(pieces[0].find(kMissingPartRow) != std::string_view::npos,
                  "an earlier form has a gap");
  }
}

}  // namespace
}  // namespace missivo

MISSIVO_FUZZ_TEXT_TARGET(missivo::Check)
