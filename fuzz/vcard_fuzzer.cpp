// vCard files: any bytes give the contacts of the cards that were whole and,
// when there is a fault, a message naming the file and the line; names and
// numbers are UTF-8 of bounded length.
#include "fuzz_support.h"
#include "transfer/utf8_text.h"
#include "transfer/vcard.h"

namespace missivo {
namespace {

void Check(std::string_view bytes) {
  const VCardRead read = ParseVCards(bytes, "\"fuzz.vcf\"");
  fuzz::Require(read.ok() || read.error.find("\"fuzz.vcf\", line ") == 0, "a fault names the line");
  for (const ContactRecord& contact : read.contacts) {
    fuzz::Require(IsValidUtf8(contact.name) && IsValidUtf8(contact.number), "contacts are UTF-8");
    fuzz::Require(contact.number.size() <= 3 * kMaxVCardValue, "a number is bounded");
    fuzz::Require(!contact.number.empty(), "a contact has a number");
  }
}

}  // namespace
}  // namespace missivo

MISSIVO_FUZZ_TEXT_TARGET(missivo::Check)
