// Reading the messages stored in the phone into the rows of the messages list.
#pragma once

#include <cstddef>
#include <exception>
#include <string>
#include <string_view>
#include <vector>

#include "core/ui.h"
#include "phone/at_channel.h"
#include "phone/delivery_reports.h"
#include "store/row.h"
#include "text/language.h"

namespace missivo {

// Which listed messages are read. Unread incoming messages ("REC UNREAD") are
// always read; statuses other than the four never are.
struct ReadOptions {
  bool check8 = true;   // incoming messages already read, "REC READ"
  bool check9 = true;   // outgoing, "STO SENT"
  bool check10 = true;  // drafts, "STO UNSENT"
};

// Whether a listed message of `status` is read (exact, case-sensitive comparison).
bool IsSelectedForRead(std::string_view status, const ReadOptions& options);

// Where a message (or one part of a long one) lives on the phone: its storage
// ("SM", "ME"; empty for the phone's only one) and its index there.
struct PhoneSlot {
  std::string storage;
  std::string index;

  friend bool operator==(const PhoneSlot&, const PhoneSlot&) = default;
};

// The lossless fields' key (an extra header line of store/message_fields.h) of
// the storage of each part, for a long message whose parts lie in several.
inline constexpr const char* kPartStoragesKey = "storages";

// The lossless fields' key of the concatenation reference that the parts of a
// long message share, as read from them or as sent.
inline constexpr const char* kConcatenationKey = "concatenation";

// Where the message of a row lives on the phone: from its lossless fields
// (the storage and index of every part), else its Index in the phone's only
// storage.
std::vector<PhoneSlot> SlotsOfRow(const Row& row);

struct MessageReadResult {
  // The new contents of the messages list, one row per message record, in the
  // order of reading.
  std::vector<Row> rows;
  // The indexes of the messages that gave rows whose headers all parsed, in the
  // order of reading, each once: what deleting the messages read sends
  // "AT+CMGD=" for. A message with an unreadable header stays on the phone.
  std::vector<std::string> read_indexes;
  // Per row, where its message lives on the phone (every part of a long one):
  // what deleting the messages read deletes.
  std::vector<std::vector<PhoneSlot>> row_slots;
  // The status reports the phone holds (standard devices in PDU mode); they
  // stay on the phone.
  std::vector<DeliveryNote> deliveries;
  // The phone's answer when it refused to list messages (a storage or its
  // listing), in words: "+CMS ERROR: 314 (SIM busy)"; empty when it listed all
  // that was asked for. The first refusal only; the read went on with the rest.
  std::string refusal;
  std::string refused_storage;  // the storage refused ("SM"), or empty for the only one
  // Whether the refusal says that the SIM or the phone is busy for a moment.
  bool busy = false;
  // Messages listed that could not be read or decoded: they stay on the phone.
  std::size_t unreadable = 0;
  // The port failure that ended the read early, or null. The rows then hold the
  // messages read before it; the caller keeps them and then rethrows it.
  std::exception_ptr port_error;
};

// Lists the messages ("AT+CMGF=1", "AT+CSCS=UCS2", `AT+CPBS="MT"`, `at+cmgl="ALL"`,
// each with CR LF), reads each one that the options select with "AT+CMGR=" and its
// index (an index listed twice is read once), and makes the rows. A listing
// the phone refuses is the read's refusal; a message whose read is refused or
// has no header, or whose header does not parse, counts as unreadable. Progress: a gauge of 4
// set-up steps with Str64, then one of 4n - 1 for n listed messages with Str65, pending events let
// through after each listed message and before each row, Str66 when the phone is done, the text
// cleared at the end. Nothing is deleted on the phone here: the caller deletes `read_indexes` once
// the messages are kept where they belong.
[[nodiscard]] MessageReadResult ReadMessages(AtChannel& channel, const ReadOptions& options,
                                             const LanguageLines& language, UserInterface& ui);

}  // namespace missivo
