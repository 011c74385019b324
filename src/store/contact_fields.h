// The lossless fields of a contact row (a phonebook copy's row): the name and
// the number in UTF-8 when the caption and sub-item 0, which hold them in
// Windows-1251, cannot ("王小明", Greek, emoji). Readers that know only the
// caption and the number skip them.
//
// On-row form (version 1). The caption and sub-item 0 stay as they always
// were: the name and the number in Windows-1251, "?" for what the code page
// cannot hold. From sub-item 1 on the row carries one UTF-8 text, cut and
// joined as the message rows' fields are (field_block.h): header lines ended
// by LF, no body.
//
//   missivo-contact/1         the marker and the form's version (sub-item 1 starts with it)
//   name=王小明               the name; no line when the caption holds it exactly
//   number=+7 916 123-45-67   the number; no line when sub-item 0 holds it exactly
//
// Values are escaped as the message rows' header values are. Lines with keys
// this version does not know are kept: the row is saved as it was read. The fields
// are written only when a line is needed, so a phonebook whose names and
// numbers the code page holds stays as it always was, byte for byte. A
// lossless value whose Windows-1251 form is no longer the caption (or
// sub-item 0) gives way to them: a program that knows only those changed the
// row since.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "store/row.h"

namespace missivo {

inline constexpr std::string_view kContactFieldsMarker = "missivo-contact/1";

struct ContactFields {
  std::string name;    // UTF-8; empty when the caption holds the name
  std::string number;  // UTF-8; empty when sub-item 0 holds the number
  // Header lines of later versions, key and value, kept so that a row read and
  // written again loses nothing.
  std::vector<std::pair<std::string, std::string>> other;

  friend bool operator==(const ContactFields&, const ContactFields&) = default;
};

// The contact row of a name and a number in UTF-8: caption and sub-item 0 in
// Windows-1251, the image of a contact, and the lossless fields when the code
// page cannot hold either.
Row MakeContactRow(std::string_view name, std::string_view number);

// Whether the row carries lossless fields (cheaper than reading them).
bool HasContactFields(const Row& row);

// The lossless fields of a row; nullopt for rows without them.
std::optional<ContactFields> ReadContactFields(const Row& row);

// The name and the number of a contact row, UTF-8: the lossless ones where
// the row has them, else the caption and sub-item 0.
std::string ContactName(const Row& row);
std::string ContactNumber(const Row& row);

}  // namespace missivo
