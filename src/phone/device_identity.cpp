#include "phone/device_identity.h"

#include "phone/at_exchange.h"
#include "phone/standard/standard_commands.h"
#include "phone/standard/standard_profile.h"
#include "phone/standard/standard_replies.h"

namespace missivo {
namespace {

std::string Ask(AtChannel& channel, const char* command) {
  std::string reply;
  channel.ExchangeQuietly(command, reply);
  return reply;
}

// A phonebook that lives behind the family's own command: its range answer.
bool HasVendorPhonebook(std::string_view reply) {
  return reply.find("+MPBR:") != std::string_view::npos;
}

}  // namespace

DeviceIdentity IdentifyDevice(AtChannel& channel) {
  DeviceIdentity identity;
  identity.maker =
      ParseIdentityReply(Ask(channel, standard::kMakerCommand), standard::kMakerCommand);
  identity.model =
      ParseIdentityReply(Ask(channel, standard::kModelCommand), standard::kModelCommand);
  identity.revision =
      ParseIdentityReply(Ask(channel, standard::kRevisionCommand), standard::kRevisionCommand);
  identity.modes = ParseMessageModes(Ask(channel, standard::kMessageModesCommand));
  const auto groups = ParseStorageGroups(Ask(channel, standard::kStoragesCommand));
  if (!groups.empty()) identity.message_storages = groups.front();
  identity.phonebook_storages =
      ParsePhonebookStorages(Ask(channel, standard::kPhonebookStoragesCommand));
  // A device that answers no standard question is read as the family anyway:
  // only one that does is asked for the family's own phonebook command.
  if (ChooseKind(identity) == PhoneKind::kStandard) {
    identity.vendor_phonebook = HasVendorPhonebook(Ask(channel, standard::kVendorPhonebookCommand));
  }
  return identity;
}

DeviceReport DescribeDevice(AtChannel& channel, const DeviceIdentity& identity) {
  DeviceReport report;
  std::string reply;
  for (const std::string& name : identity.message_storages) {
    channel.ExchangeQuietly(standard::SelectStorageCommand(name), reply);
    report.message_storages.push_back({name, ParseStorageCount(reply)});
  }
  for (const std::string& name : ContactStorages(identity.phonebook_storages)) {
    if (name.empty()) continue;
    channel.ExchangeQuietly(standard::SelectPhonebookCommand(name), reply);
    if (IsErrorReply(reply)) continue;
    channel.ExchangeQuietly(standard::kPhonebookRangeCommand, reply);
    report.contact_storages.push_back({name, ParsePhonebookRangeReply(reply)});
  }
  return report;
}

PhoneKind ChooseKind(const DeviceIdentity& identity) {
  if (identity.vendor_phonebook) return PhoneKind::kFamily;
  const bool standard = identity.modes.known || !identity.message_storages.empty() ||
                        !identity.phonebook_storages.empty();
  return standard ? PhoneKind::kStandard : PhoneKind::kFamily;
}

std::unique_ptr<DeviceProfile> MakeProfile(PhoneKind kind, const DeviceIdentity& identity) {
  if (kind == PhoneKind::kAutomatic) kind = ChooseKind(identity);
  if (kind == PhoneKind::kFamily) return nullptr;
  return std::make_unique<StandardProfile>(identity);
}

void ConnectionProfile::SetSetting(PhoneKind setting) {
  if (setting != setting_) Forget();
  setting_ = setting;
}

const DeviceProfile& ConnectionProfile::Get(AtChannel& channel) {
  if (chosen_) return profile_ ? *profile_ : FamilyProfile();
  // Nothing to ask without a connection; the family's commands then only
  // note "no connection", as they always have.
  if (!channel.IsOpen()) return FamilyProfile();
  if (setting_ != PhoneKind::kFamily) {
    identity_ = IdentifyDevice(channel);
    profile_ = MakeProfile(setting_, *identity_);
  }
  chosen_ = true;
  return profile_ ? *profile_ : FamilyProfile();
}

void ConnectionProfile::Forget() {
  identity_.reset();
  profile_.reset();
  chosen_ = false;
}

}  // namespace missivo
