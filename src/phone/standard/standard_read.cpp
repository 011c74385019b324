// The message read of a standard device: the mode, the character set, every
// storage that holds messages listed once, status reports left alone, long
// messages joined, and rows in the family's form.
#include <algorithm>
#include <cstdio>

#include "phone/at_exchange.h"
#include "phone/dates.h"
#include "phone/error_replies.h"
#include "phone/message_rows.h"
#include "phone/standard/message_parts.h"
#include "phone/standard/standard_commands.h"
#include "phone/standard/standard_listing.h"
#include "phone/standard/standard_profile.h"
#include "phone/ucs2.h"
#include "sms/sms_pdu.h"
#include "store/message_fields.h"
#include "text/cp1251.h"

namespace missivo {
namespace {

constexpr std::size_t kDateLength = 19;

enum class Charset { kUcs2, kDevice };

struct ReadSetup {
  bool pdu = true;
  Charset charset = Charset::kDevice;
};

bool Accepted(AtChannel& channel, const std::string& command) {
  std::string reply;
  channel.ExchangeQuietly(command, reply);
  return !reply.empty() && !IsErrorReply(reply);
}

// PDU mode where the device has it or does not say; text mode otherwise, with
// UCS2 as the character set where the device takes it (quoted, as the
// standard writes it, or unquoted).
ReadSetup ChooseMode(AtChannel& channel, const DeviceIdentity& identity) {
  ReadSetup setup;
  const bool try_pdu = identity.modes.pdu || !identity.modes.known;
  if (try_pdu && Accepted(channel, standard::kPduModeCommand)) return setup;
  setup.pdu = false;
  std::string reply;
  channel.ExchangeCommand(standard::kTextModeCommand, reply);
  if (Accepted(channel, standard::kUcs2Command) ||
      Accepted(channel, standard::kUcs2UnquotedCommand)) {
    setup.charset = Charset::kUcs2;
  }
  return setup;
}

bool IsStatusSelected(const std::string& status, const ReadOptions& options) {
  return IsSelectedForRead(status, options);
}

// A text-mode field in UCS2 hexadecimal when the device sends it so: only
// hexadecimal digits, four to a character, every character printable.
std::string DecodedAddress(const std::string& field, Charset charset) {
  if (charset != Charset::kUcs2 || field.empty() || field.size() % 4 != 0 ||
      field.find_first_not_of("0123456789ABCDEFabcdef") != std::string::npos) {
    return field;
  }
  std::string plain;
  for (char16_t unit : DecodeUcs2Units(field)) {
    if (unit < 0x20 || unit > 0x7E) return field;
    plain.push_back(static_cast<char>(unit));
  }
  return plain;
}

// What the listings gave: the parts of the messages, the status reports, and
// how many entries could not be decoded (they stay on the phone).
struct Listed {
  std::vector<MessagePart> parts;
  std::vector<DeliveryNote> notes;
  std::size_t undecodable = 0;
  std::string refusal;  // the phone's answer to the first storage or listing it refused
  std::string refused_storage;
  bool busy = false;
};

void AddPduParts(const std::string& storage, const std::string& reply, const ReadOptions& options,
                 Listed& listed) {
  std::vector<MessagePart>& parts = listed.parts;
  std::vector<DeliveryNote>& notes = listed.notes;
  for (const PduEntry& entry : ParsePduListing(reply)) {
    const std::string status = StatusOfStat(entry.stat);
    Result<sms::Pdu> pdu = sms::DecodePdu(entry.pdu);
    // A PDU that does not decode stays on the phone; a status report is no
    // message, but says whether one sent was delivered (it stays on the phone).
    if (!pdu.ok()) {
      ++listed.undecodable;
      continue;
    }
    if (pdu.value().type == sms::MessageType::kStatusReport) {
      const sms::Pdu& report = pdu.value();
      notes.push_back({report.message_reference, report.address.text,
                       report.discharge_time.Iso8601(),
                       sms::StatusKindOf(report.status) == sms::StatusKind::kDelivered});
      continue;
    }
    if (!IsStatusSelected(status, options)) continue;
    MessagePart part;
    part.slot = {storage, entry.index};
    part.status = status;
    part.sender = pdu.value().address.text;
    if (pdu.value().type == sms::MessageType::kDeliver) part.time = pdu.value().service_centre_time;
    part.data = std::move(pdu.value().user_data);
    parts.push_back(std::move(part));
  }
}

void AddTextParts(const std::string& storage, const std::string& reply, Charset charset,
                  const ReadOptions& options, std::vector<MessagePart>& parts) {
  for (TextEntry& entry : ParseTextListing(reply)) {
    if (entry.status_report || !IsStatusSelected(entry.status, options)) continue;
    MessagePart part;
    part.slot = {storage, entry.index};
    part.status = entry.status;
    part.sender = DecodedAddress(entry.address, charset);
    part.stamp = entry.stamp;
    if (charset == Charset::kUcs2) {
      part.data.ucs2 = DecodeUcs2Units(entry.body);
    } else {
      part.data.text = std::move(entry.body);
    }
    parts.push_back(std::move(part));
  }
}

// The first refusal of a storage or its listing.
void NoteRefusal(Listed& listed, const std::string& storage, const std::string& reply) {
  if (!listed.refusal.empty()) return;
  listed.refusal = ErrorReplyText(reply);
  listed.refused_storage = storage;
  listed.busy = IsBusyReply(reply);
}

// Selects each storage in turn, lists it when it holds messages, and keeps the
// parts the options select; a storage or a listing the phone refuses is noted
// and the others are still read. A port failure ends it by its exception; what
// was read until then stays in `listed`.
void TalkToPhone(AtChannel& channel, const DeviceIdentity& identity, const ReadOptions& options,
                 const LanguageLines& language, UserInterface& ui, Listed& listed) {
  const std::vector<std::string> storages = StoragesToRead(identity.message_storages);
  const int steps = static_cast<int>(storages.size()) + 1;
  ui.ShowProgress(steps, 0);
  ui.SetProgressText(language.LangText("Str64"));
  const ReadSetup setup = ChooseMode(channel, identity);
  ui.SetProgressPosition(1);
  ui.SetProgressText(language.LangText("Str65"));
  int step = 1;
  std::string reply;
  for (const std::string& storage : storages) {
    if (!storage.empty()) {
      channel.ExchangeQuietly(standard::SelectStorageCommand(storage), reply);
      const std::optional<StorageCount> count = ParseStorageCount(reply);
      if (IsErrorReply(reply)) NoteRefusal(listed, storage, reply);
      if (IsErrorReply(reply) || (count && count->used == 0)) {
        ui.SetProgressPosition(++step);
        continue;
      }
    }
    channel.ExchangeCommand(setup.pdu ? standard::kPduListCommand : standard::kTextListCommand,
                            reply);
    if (IsErrorReply(reply)) {
      NoteRefusal(listed, storage, reply);
    } else if (setup.pdu) {
      AddPduParts(storage, reply, options, listed);
    } else {
      AddTextParts(storage, reply, setup.charset, options, listed.parts);
    }
    ui.SetProgressPosition(++step);
    ui.ProcessPendingEvents();
  }
}

// The phone's own local time of the stamp, in the program's form.
std::string DateOf(const MessagePart& first, const std::string& read_moment) {
  if (first.time) {
    char text[32];
    std::snprintf(text, sizeof text, "%02d/%02d/%04d,%02d:%02d:%02d", first.time->day,
                  first.time->month, first.time->year, first.time->hour, first.time->minute,
                  first.time->second);
    return text;
  }
  if (!first.stamp.empty() && !IsStoredByUser(first.status)) return NormalizeDate(first.stamp);
  return read_moment;
}

Row MakeRow(const JoinedMessage& message, const LanguageLines& language,
            const std::string& read_moment) {
  const MessagePart& first = *message.parts.front();
  const std::string text = Utf8ToCp1251(message.text);
  Row row;
  row.caption = MessageCaption(text);
  row.sub_items.resize(kMessageFieldCount);
  row.sub_items[kFrom] = Utf8ToCp1251(first.sender);
  row.sub_items[kDateTime] = DateOf(first, read_moment).substr(0, kDateLength);
  row.sub_items[kSize] = std::to_string(text.size());
  row.sub_items[kIndex] = first.slot.index;
  row.sub_items[kType] = TypeOfStatus(first.status, language);
  row.image = ImageOfStatus(first.status);

  MessageFields fields;
  fields.kind = KindOfStatus(first.status);
  fields.text = message.text;
  fields.number = first.sender;
  if (first.time) {
    fields.time = first.time->Iso8601();
  } else if (!first.stamp.empty() && !IsStoredByUser(first.status)) {
    fields.time = IsoTimeOfStamp(first.stamp);
  }
  fields.storage = first.slot.storage;
  std::string storages;
  bool one_storage = true;
  for (const MessagePart* part : message.parts) {
    fields.parts.push_back(part->slot.index);
    storages += (storages.empty() ? "" : ",") + part->slot.storage;
    one_storage = one_storage && part->slot.storage == first.slot.storage;
  }
  // Parts in several storages: the storage of each part, in the order of `parts`.
  if (!one_storage) fields.other.emplace_back(kPartStoragesKey, storages);
  if (message.total > 1 && first.data.concatenation) {
    fields.other.emplace_back(kConcatenationKey,
                              std::to_string(first.data.concatenation->reference));
  }
  WriteMessageFields(row, fields);
  return row;
}

}  // namespace

std::vector<std::string> StoragesToRead(const std::vector<std::string>& offered) {
  const auto has = [&](const char* name) {
    return std::find(offered.begin(), offered.end(), name) != offered.end();
  };
  std::vector<std::string> storages;
  for (const char* name : {"SM", "ME"}) {
    if (has(name)) storages.emplace_back(name);
  }
  if (storages.empty() && has("MT")) storages.emplace_back("MT");
  if (storages.empty()) storages.emplace_back();
  return storages;
}

MessageReadResult StandardProfile::ReadMessages(AtChannel& channel, const ReadOptions& options,
                                                const LanguageLines& language,
                                                UserInterface& ui) const {
  MessageReadResult result;
  Listed listed;
  try {
    TalkToPhone(channel, identity_, options, language, ui, listed);
  } catch (...) {
    result.port_error = std::current_exception();
  }
  const std::vector<MessagePart>& parts = listed.parts;
  result.deliveries = std::move(listed.notes);
  result.refusal = std::move(listed.refusal);
  result.refused_storage = std::move(listed.refused_storage);
  result.busy = listed.busy;
  result.unreadable = listed.undecodable;
  ui.HideProgress();
  if (!result.port_error) ui.SetProgressText(language.LangText("Str66"));
  const std::string read_moment = MakeDate();
  for (const JoinedMessage& message : JoinParts(parts)) {
    ui.ProcessPendingEvents();
    result.rows.push_back(MakeRow(message, language, read_moment));
    // A message whose parts have not all come stays on the phone until they have.
    std::vector<PhoneSlot> slots;
    for (const MessagePart* part : message.parts) {
      if (message.complete) slots.push_back(part->slot);
    }
    if (message.complete) result.read_indexes.push_back(message.parts.front()->slot.index);
    result.row_slots.push_back(std::move(slots));
  }
  ui.SetProgressText({});
  return result;
}

void StandardProfile::DeleteMessages(AtChannel& channel, const std::vector<PhoneSlot>& slots,
                                     UserInterface& ui) const {
  std::string selected;
  std::string reply;
  for (const PhoneSlot& slot : slots) {
    ui.ProcessPendingEvents();
    if (!slot.storage.empty() && slot.storage != selected) {
      channel.ExchangeCommand(standard::SelectStorageCommand(slot.storage), reply);
      selected = slot.storage;
    }
    channel.ExchangeCommand(standard::DeleteCommand(slot.index), reply);
  }
}

}  // namespace missivo
