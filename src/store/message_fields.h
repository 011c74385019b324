// The lossless fields of a message row: what the five Windows-1251 sub-items
// (From, Date/Time, Size, Index, Type) cannot hold — the whole text in UTF-8
// with its line breaks and every character, the number as the source gave it,
// the source's time stamp with its zone, the kind of message, and where it
// lives on the phone. They travel in further sub-items of the same row, which
// readers that know only the five skip.
//
// On-row form (version 1). Sub-items 0-4 are the five, untouched. From
// sub-item 5 on the row carries one UTF-8 text, cut at character boundaries
// into as many sub-items as it needs (at most 65,535 bytes each, the list
// file's limit); a reader joins them (field_block.h). The text is a header of
// lines ended by LF, then, when the message text is written, an empty line and
// the message text to the end:
//
//   missivo-fields/1          the marker and the form's version (sub-item 5 starts with it)
//   kind=incoming             incoming | outgoing | draft | imported
//   number=+79161234567       the sender (recipient for outgoing) as given
//   time=2024-05-01T12:00:00+03:00   ISO 8601; no line when the source gave none
//   storage=SM                the phone's storage; no line when not known
//   parts=3,4                 the storage index of every part, in order
//   contact=王小明            the contact's name when the From's Windows-1251 cannot hold it
//   (empty line)
//   Привет,\nмир 👋           the message text, line breaks as the source gave them
//
// The message text is left out (no empty line either) when the caption,
// converted from Windows-1251, already is the whole text: no line break,
// control character or character outside Windows-1251, nothing cut. Header
// lines other than "kind" are left out when empty; lines with keys this
// version does not know are kept as read and written back. Header values
// write '%', ',', CR, LF and NUL as %25, %2C, %0D, %0A and %00. In the message
// text U+0000 is the two bytes C0 80, since a list file field ends at a zero
// byte. A row whose sub-item 5 does not start with the marker line (older
// archives, contact rows, a later version of the form) has no lossless fields.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "store/row.h"

namespace missivo {

enum class RowKind { kIncoming, kOutgoing, kDraft, kImported };

struct MessageFields {
  RowKind kind = RowKind::kIncoming;
  std::string text;     // UTF-8, line breaks and every character as the source gave them
  std::string number;   // UTF-8, as the source gave it; name resolution never changes it
  std::string time;     // ISO 8601 with the zone when known; empty when the source gave none
  std::string storage;  // the phone's storage ("SM", "ME", ...); empty when not known
  std::vector<std::string> parts;  // the storage index of every part, in order; empty when none
  // The name of the contact on a resolved From ("name (number)"), UTF-8, when
  // Windows-1251 cannot hold it; empty otherwise. It stands only while the
  // From's name is its Windows-1251 form (BestContact).
  std::string contact;
  // Header lines of later versions, key and value, kept so that a row read and
  // written again loses nothing.
  std::vector<std::pair<std::string, std::string>> other;

  friend bool operator==(const MessageFields&, const MessageFields&) = default;
};

inline constexpr std::string_view kMessageFieldsMarker = "missivo-fields/1";

// "incoming", "outgoing", "draft", "imported"; and back (nullopt for another word).
std::string_view KindName(RowKind kind);
std::optional<RowKind> KindOfName(std::string_view name);

// The lossless fields of a row; nullopt for rows without them (older archives,
// contact rows) and for a later version of the form.
std::optional<MessageFields> ReadMessageFields(const Row& row);

// Writes the fields after the five sub-items, replacing whatever stood after
// them; a row with fewer than five gets empty ones up to five. Call it after
// the caption is set: whether the text is written depends on it.
void WriteMessageFields(Row& row, const MessageFields& fields);

// Whether the row carries lossless fields (cheaper than reading them).
bool HasMessageFields(const Row& row);

// --- What the views and scripts show -------------------------------------

// The best text of a message row, UTF-8: the lossless text, else the caption
// converted from Windows-1251.
std::string BestText(const Row& row);

// The number inside a From that name resolution wrote as "name (number)", or
// the From itself when it is not of that form (Windows-1251 in and out).
std::string_view NumberInFrom(std::string_view from);

// The contact name of a From that name resolution wrote as "name (number)";
// empty for any other From (Windows-1251 in and out).
std::string_view ContactInFrom(std::string_view from);

// The contact name of a resolved From, UTF-8: the lossless contact when the
// From's name is its Windows-1251 form, else the From's name; empty for a From
// that is not "name (number)".
std::string BestContact(const Row& row);
// The same with the row's fields read already (nullopt for a row without).
std::string BestContact(const Row& row, const std::optional<MessageFields>& fields);

// The From as the list shows it, UTF-8: "name (number)" with the lossless
// contact name, else the From sub-item.
std::string BestFrom(const Row& row);
std::string BestFrom(const Row& row, const std::optional<MessageFields>& fields);

// The lossless contact of a message row for a From "name (number)" whose name
// is `name` (UTF-8): the name when Windows-1251 cannot hold it, else empty,
// which is what MessageFields::contact keeps.
std::string LosslessContact(std::string_view name);

// The best number of a message row, UTF-8: the lossless number when there is
// one, else the number inside the From sub-item.
std::string BestNumber(const Row& row);

// The kind of a message row: the lossless kind, else the one its image index
// stands for (2 incoming, 28 outgoing, 1 draft, 0 imported); nullopt for
// another image.
std::optional<RowKind> BestKind(const Row& row);

// The text with its line breaks (CR LF, lone CR, lone LF) each turned into one
// blank and the other characters below 20 removed: a one-line form for lists.
std::string OneLine(std::string_view utf8);

}  // namespace missivo
