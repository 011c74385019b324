// The profile of standards-following phones and modems: PDU mode where the
// device has it (text mode otherwise), every storage that holds messages, long
// messages joined, the standard phonebook.
#pragma once

#include <string>
#include <vector>

#include "phone/device_identity.h"
#include "phone/device_profile.h"

namespace missivo {

// The storages a read goes through, from the first list of AT+CPMS=?: "SM"
// and "ME" where the device has them (not "MT" as well, which is their
// union), else "MT", else the device's current storage (one empty name).
std::vector<std::string> StoragesToRead(const std::vector<std::string>& offered);

// The contact storages of AT+CPBS=?: "SM" and "ME" where offered (call lists,
// fixed and own numbers are no contacts); "MT" when neither is; none offered,
// the current one (one empty name).
std::vector<std::string> ContactStorages(const std::vector<std::string>& offered);

class StandardProfile : public DeviceProfile {
 public:
  explicit StandardProfile(DeviceIdentity identity) : identity_(std::move(identity)) {}

  PhoneKind Kind() const override { return PhoneKind::kStandard; }
  const DeviceIdentity& Identity() const { return identity_; }

  [[nodiscard]] MessageReadResult ReadMessages(AtChannel& channel, const ReadOptions& options,
                                               const LanguageLines& language,
                                               UserInterface& ui) const override;
  [[nodiscard]] std::optional<std::vector<Row>> ReadPhonebook(AtChannel& channel,
                                                              const LanguageLines& language,
                                                              UserInterface& ui) const override;
  // Each slot in its own storage: the storage is selected when it changes.
  void DeleteMessages(AtChannel& channel, const std::vector<PhoneSlot>& slots,
                      UserInterface& ui) const override;
  // PDU mode; a device that has only text mode is refused.
  [[nodiscard]] Result<SendPlan> PlanSend(std::string_view number, std::string_view text,
                                          std::uint16_t reference,
                                          bool status_report) const override;

 private:
  DeviceIdentity identity_;
};

}  // namespace missivo
