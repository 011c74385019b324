// Device profiles: what differs between the kinds of phones the program reads
// (the commands of a read, the header form, the phonebook commands, the
// character set, PDU or text mode, which storages to read). One profile object
// per device kind, chosen per connection: the phone family whose conversation
// the program was first built for, and standards-following phones and modems.
// Reading, the phonebook read and deleting go through the profile; no other
// code spells out a command.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/ui.h"
#include "phone/at_channel.h"
#include "phone/message_read.h"
#include "phone/message_send.h"
#include "store/row.h"
#include "text/language.h"

namespace missivo {

// The setting "Phone kind": chosen from what the device says, or forced.
enum class PhoneKind { kAutomatic, kFamily, kStandard };

// The setting's stored text ("automatic", "family", "standard") and back;
// an unknown text gives nothing.
std::string_view PhoneKindName(PhoneKind kind);
std::optional<PhoneKind> PhoneKindFromName(std::string_view name);

class DeviceProfile {
 public:
  virtual ~DeviceProfile() = default;

  // kFamily or kStandard.
  virtual PhoneKind Kind() const = 0;

  // The messages stored in the phone that `options` select, as rows (see
  // ReadMessages in phone/message_read.h). Nothing is deleted here.
  [[nodiscard]] virtual MessageReadResult ReadMessages(AtChannel& channel,
                                                       const ReadOptions& options,
                                                       const LanguageLines& language,
                                                       UserInterface& ui) const = 0;

  // The contacts of the phonebook, or nothing when the phone gave no usable
  // range (the phonebook and its file then stay as they were).
  [[nodiscard]] virtual std::optional<std::vector<Row>> ReadPhonebook(AtChannel& channel,
                                                                      const LanguageLines& language,
                                                                      UserInterface& ui) const = 0;

  // Deletes the messages at `slots` on the phone, in order, letting pending
  // events through before each. The replies are not examined.
  virtual void DeleteMessages(AtChannel& channel, const std::vector<PhoneSlot>& slots,
                              UserInterface& ui) const = 0;

  // What sending `text` (UTF-8) to `number` says to the phone (see
  // SendMessage in phone/message_send.h); the parts of a long text share
  // `reference` where the device's form carries one, and each asks for a
  // status report with `status_report` where the device's form can. Fails,
  // saying why, when the text or the number cannot be sent this way.
  [[nodiscard]] virtual Result<SendPlan> PlanSend(std::string_view number, std::string_view text,
                                                  std::uint16_t reference,
                                                  bool status_report) const = 0;
};

// The family's profile: its conversation exactly as it has always been.
const DeviceProfile& FamilyProfile();

}  // namespace missivo
