// Contacts as vCard files: read 2.1 (CHARSET=, QUOTED-PRINTABLE with soft line
// breaks), 3.0 and 4.0, folded lines, several TEL per card; written as 3.0.
//
//   BEGIN:VCARD
//   VERSION:2.1
//   N;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:=D0=98=D0=B2=D0=B0=D0=BD;;;;
//   TEL;CELL:+79161234567
//   END:VCARD
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "transfer/sms_record.h"

namespace missivo {

// The contacts of a file in card order, one per TEL (a card with three numbers
// gives three, each with the card's name). `error` (Windows-1251) is empty
// when the whole file was read; otherwise it names the file, the line and the
// fault, and `contacts` holds the cards that were whole before it.
struct VCardRead {
  std::vector<ContactRecord> contacts;
  std::size_t cards = 0;
  std::size_t cards_without_number = 0;
  std::string error;
  bool ok() const { return error.empty(); }
};

// The longest name or number taken; a longer value (a 10 MB line) is a fault.
// Other properties (photos, notes) are skipped whatever their length.
inline constexpr std::size_t kMaxVCardValue = 64 * 1024;

// Reads the cards of `bytes`; `name` stands for the file in the error.
VCardRead ParseVCards(std::string_view bytes, const std::string& name);

// Reads the cards of the file at `path`.
[[nodiscard]] VCardRead ReadVCardFile(const std::filesystem::path& path);

// vCard 3.0 in UTF-8 with CR LF line ends, lines folded at 75 bytes: one card
// (FN, N and one TEL each) for every run of neighbouring contacts with the
// same name, so reading it back gives the same contacts in the same order.
std::string WriteVCards(const std::vector<ContactRecord>& contacts);

}  // namespace missivo
