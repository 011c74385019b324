#include "phone/device_profile.h"

#include "phone/phone_delete.h"
#include "phone/phonebook_read.h"

namespace missivo {
namespace {

class Family : public DeviceProfile {
 public:
  PhoneKind Kind() const override { return PhoneKind::kFamily; }
  MessageReadResult ReadMessages(AtChannel& channel, const ReadOptions& options,
                                 const LanguageLines& language, UserInterface& ui) const override {
    return missivo::ReadMessages(channel, options, language, ui);
  }
  std::optional<std::vector<Row>> ReadPhonebook(AtChannel& channel, const LanguageLines& language,
                                                UserInterface& ui) const override {
    return missivo::ReadPhonebook(channel, language, ui);
  }
  void DeleteMessages(AtChannel& channel, const std::vector<PhoneSlot>& slots,
                      UserInterface& ui) const override {
    std::vector<std::string> indexes;
    for (const PhoneSlot& slot : slots)
      indexes.push_back(slot.index);
    DeleteMessagesOnPhone(channel, indexes, ui);
  }
  // Text mode: the family is sent no status-report request.
  Result<SendPlan> PlanSend(std::string_view number, std::string_view text,
                            std::uint16_t /*reference*/, bool /*status_report*/) const override {
    return FamilySendPlan(number, text);
  }
};

constexpr std::pair<PhoneKind, std::string_view> kNames[] = {
    {PhoneKind::kAutomatic, "automatic"},
    {PhoneKind::kFamily, "family"},
    {PhoneKind::kStandard, "standard"},
};

}  // namespace

std::string_view PhoneKindName(PhoneKind kind) {
  for (const auto& [k, name] : kNames) {
    if (k == kind) return name;
  }
  return "automatic";
}

std::optional<PhoneKind> PhoneKindFromName(std::string_view name) {
  for (const auto& [k, known] : kNames) {
    if (known == name) return k;
  }
  return std::nullopt;
}

const DeviceProfile& FamilyProfile() {
  static const Family family;
  return family;
}

}  // namespace missivo
