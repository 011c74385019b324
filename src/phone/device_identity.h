// What a device says about itself, and the profile chosen from it.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "phone/at_channel.h"
#include "phone/device_profile.h"
#include "phone/standard/standard_replies.h"

namespace missivo {

struct DeviceIdentity {
  std::string maker;     // AT+CGMI
  std::string model;     // AT+CGMM
  std::string revision;  // AT+CGMR
  MessageModes modes;    // AT+CMGF=?
  // The storages messages are read from and deleted in (the first list of AT+CPMS=?).
  std::vector<std::string> message_storages;
  std::vector<std::string> phonebook_storages;  // AT+CPBS=?
  bool vendor_phonebook = false;                // the family's phonebook command answers a range
};

// Asks the device who it is and what it supports. Every question is asked
// quietly (an error is an answer here) and shows in the terminal. A port
// failure leaves by its exception.
[[nodiscard]] DeviceIdentity IdentifyDevice(AtChannel& channel);

// What a standard device holds, for a report: each message storage with its
// count, each contact storage with its range.
struct StorageReport {
  std::string name;
  std::optional<StorageCount> count;  // none: the device did not say
};
struct PhonebookReport {
  std::string name;
  std::optional<PhonebookRange> range;
};
struct DeviceReport {
  std::vector<StorageReport> message_storages;
  std::vector<PhonebookReport> contact_storages;
};

// Selects each message storage and each contact storage of `identity` in turn
// and notes what it holds (quietly). Leaves the last ones selected.
[[nodiscard]] DeviceReport DescribeDevice(AtChannel& channel, const DeviceIdentity& identity);

// The kind an automatic choice makes: the family when its own phonebook
// command answers with a range; a standard device when it answers a standard
// question (message modes, message or phonebook storages); otherwise the
// family, as the program always spoke to a device it knew nothing of.
PhoneKind ChooseKind(const DeviceIdentity& identity);

// The profile of `kind` (kAutomatic chooses from the identity); null for the
// family, whose profile is FamilyProfile().
std::unique_ptr<DeviceProfile> MakeProfile(PhoneKind kind, const DeviceIdentity& identity);

// The profile of one connection, chosen when it is first needed and kept
// until Forget() (the port closed): forced by the setting, or chosen from the
// device's identity. A forced family asks the device nothing, so its
// conversation is exactly the family's.
class ConnectionProfile {
 public:
  explicit ConnectionProfile(PhoneKind setting = PhoneKind::kAutomatic) : setting_(setting) {}

  void SetSetting(PhoneKind setting);
  PhoneKind Setting() const { return setting_; }

  // The profile, identifying the device first when it must. A port failure
  // during the identification leaves by its exception and chooses nothing.
  // With the port closed: the family's, and nothing is chosen yet.
  const DeviceProfile& Get(AtChannel& channel);
  // The identity learnt on this connection, if the device was asked.
  const DeviceIdentity* Identity() const { return identity_ ? &*identity_ : nullptr; }
  // Whether a profile has been chosen on this connection.
  bool Chosen() const { return chosen_; }
  void Forget();

 private:
  PhoneKind setting_;
  std::optional<DeviceIdentity> identity_;
  std::unique_ptr<DeviceProfile> profile_;  // null: the family's
  bool chosen_ = false;
};

}  // namespace missivo
