// missivo-cli identify: who the device on a serial port is and what it holds,
// the lines a user pastes into a bug report.
#include <string>

#include "cli/commands.h"
#include "cli/phone_port.h"
#include "phone/device_identity.h"

namespace missivo::cli {
namespace {

std::string OrUnknown(const std::string& text) {
  return text.empty() ? "(not given)" : text;
}

std::string Joined(const std::vector<std::string>& names) {
  std::string text;
  for (const std::string& name : names)
    text += (text.empty() ? "" : ", ") + name;
  return text.empty() ? "(not given)" : text;
}

std::string Report(const DeviceIdentity& identity, PhoneKind setting, PhoneKind chosen,
                   const DeviceReport& report) {
  std::string out = "maker: " + OrUnknown(identity.maker) + "\n";
  out += "model: " + OrUnknown(identity.model) + "\n";
  out += "revision: " + OrUnknown(identity.revision) + "\n";
  out += "profile: " + std::string(PhoneKindName(chosen)) +
         (setting == PhoneKind::kAutomatic ? " (chosen from the device's answers)" : " (forced)") +
         "\n";
  std::string modes;
  if (identity.modes.pdu) modes = "PDU";
  if (identity.modes.text) modes += modes.empty() ? "text" : ", text";
  out += "message modes: " + (identity.modes.known ? modes : std::string("(not given)")) + "\n";
  std::string storages;
  for (const StorageReport& storage : report.message_storages) {
    storages += (storages.empty() ? "" : ", ") + storage.name;
    if (storage.count) {
      storages +=
          " " + std::to_string(storage.count->used) + " of " + std::to_string(storage.count->total);
    }
  }
  out += "message storages: " + (storages.empty() ? "(not given)" : storages) + "\n";
  out += "phonebook storages: " + Joined(identity.phonebook_storages) + "\n";
  for (const PhonebookReport& storage : report.contact_storages) {
    out += "phonebook " + storage.name + ": ";
    out += storage.range
               ? std::to_string(storage.range->first) + "-" + std::to_string(storage.range->last)
               : std::string("(no range)");
    out += "\n";
  }
  out +=
      std::string("vendor phonebook command: ") + (identity.vendor_phonebook ? "yes" : "no") + "\n";
  return out;
}

}  // namespace

int RunIdentify(const CommandLine& line, TerminalUserInterface& ui) {
  if (!line.operands.empty()) throw CliError("identify takes no operand", kExitUsage);
  PhonePort phone(line, ui, "identify");
  const PhoneKind setting = PhoneKindOf(line);
  std::string text;
  phone.Run([&](AtChannel& channel) {
    const DeviceIdentity identity = IdentifyDevice(channel);
    const PhoneKind chosen = setting == PhoneKind::kAutomatic ? ChooseKind(identity) : setting;
    const DeviceReport report =
        chosen == PhoneKind::kStandard ? DescribeDevice(channel, identity) : DeviceReport{};
    text = Report(identity, setting, chosen, report);
  });
  WriteOut(text);
  return kExitOk;
}

}  // namespace missivo::cli
